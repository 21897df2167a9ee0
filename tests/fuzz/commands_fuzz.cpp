// Fuzz target of the whole interpreter: every command handler of the program is registered, as
// the console driver does, and the input is run either as a macro file or, when its first byte
// is '>', as command lines typed one after another (the rest of the input, line by line).
//
// Everything happens in a scratch directory made at the first call, which is the working
// directory and the home directory and is emptied before every input. A guard on the file
// system refuses (and notes on standard error) every write elsewhere while an input runs.
// Standard input is /dev/null, message boxes and questions go to quiet hooks, and a poll of the
// Escape key that says yes after a fixed number of polls ends inputs that would run for ever.
// Between inputs every module is reset to its load-time state and a new document is made.
//
// Running it (absolute paths: the target changes its working directory; the fuzzer's own
// folders must be named in MERIDYN_FUZZ_ALLOW so that it can save inputs while the guard holds):
//   MERIDYN_FUZZ_ALLOW=$PWD commands_fuzz $PWD/corpus -dict=.../tests/fuzz/commands.dict
//       -max_len=2000 -timeout=10 -artifact_prefix=$PWD/
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "display/views/console_view.h"
#include "platform/platform_hooks.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/write_guard.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxInput = 16 * 1024;
constexpr std::size_t kMaxTypedLines = 400;
constexpr long kPollsBeforeEscape = 2000;
// A small view keeps the repaints cheap.
constexpr int kViewWidth = 96, kViewHeight = 64;

// The console driver's document hooks without the terminal: the view repaints on request.
class FuzzDocumentHooks : public DocumentHooks {
  public:
    explicit FuzzDocumentHooks(ConsoleView& view) : view_(view) {}
    void updateAllViews() override { view_.updateAllViews(); }

  private:
    ConsoleView& view_;
};

// Files an earlier input left behind would make a later one behave differently.
void emptyScratchDirectory(const std::string& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::error_code ignored;
        fs::remove_all(entry.path(), ignored);
    }
}

void runInput(CQelDoc& doc, ConsoleView& view, const std::string& text) {
    if (!text.empty() && text[0] == '>') {
        std::size_t start = 1, lines = 0;
        while (start <= text.size() && lines++ < kMaxTypedLines) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            platform::hooks().escapePending();
            commandBuffer = line;
            doc.ExecuteCommand();
            view.afterCommand();
            if (doc.StopWordTyped()) break;
            start = end + 1;
        }
        return;
    }
    const std::string macroPath = programHome + "/fuzz.mac";
    fuzzsupport::writeInput(macroPath, text);
    commandBuffer = "macro/name=\"fuzz.mac\"";
    doc.ExecuteCommandAndRedraw();
    view.afterCommand();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    const std::string& home =
        fuzzsupport::scratchDirectory("meridyn-cmdfuzz-XXXXXX", writeguard::disarm);
    static fuzzsupport::QuietHooks hooks(kPollsBeforeEscape);
    platform::setHooks(&hooks);
    hooks.polls = 0;
    emptyScratchDirectory(home);
    resetAllState();
    programHome = home;
    writeguard::arm(home);
    {
        registerCommandHandlers();
        ConsoleView view(kViewWidth, kViewHeight);
        FuzzDocumentHooks documentHooks(view);
        CQelDoc doc(&documentHooks);
        doc.OnNewDocument();
        view.afterCommand();
        runInput(doc, view, std::string(reinterpret_cast<const char*>(data), size));
    }
    // For triage: MERIDYN_FUZZ_SHOW=1 copies the input's screen text to standard error.
    if (std::getenv("MERIDYN_FUZZ_SHOW")) {
        std::ifstream in(home + "/screen.out", std::ios::binary);
        std::cerr << in.rdbuf() << std::flush;
    }
    resetAllState();
    writeguard::disarm();
    platform::setHooks(nullptr);
    return 0;
}
