// Fuzz target of the command reader and the command loop: the input is run once as typed text
// (its first line) and once as a macro file.
//
// Everything happens in a scratch directory made at the first call, which is also the working
// directory and the home directory: the only files the interpreter writes (meridyn.log,
// screen.out) and the macro file of the input live there. No command handlers are registered,
// so no command can write anywhere else. Standard input is /dev/null, and a poll of the Escape
// key that says yes after a fixed number of commands ends inputs that would run for ever
// (macros that call themselves many times over).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "command/document/command_state.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "platform/platform_hooks.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;
constexpr long kCommandsBeforeEscape = 20000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    const std::string& home = fuzzsupport::scratchDirectory("meridyn-fuzz-XXXXXX");
    static fuzzsupport::QuietHooks hooks(kCommandsBeforeEscape);
    platform::setHooks(&hooks);
    hooks.polls = 0;
    resetCommandState();
    programHome = home;

    std::string text(reinterpret_cast<const char*>(data), size);
    std::string macroPath = home + "/fuzz.mac";
    fuzzsupport::writeInput(macroPath, text);
    {
        CQelDoc doc;
        commandBuffer = text.substr(0, text.find('\n'));
        doc.ExecuteCommand();
        commandBuffer = "macro/name=\"fuzz.mac\"";
        doc.ExecuteCommand();
        commandBuffer = "macro/check/name=\"fuzz.mac\" 2";
        doc.ExecuteLine();
    }
    resetCommandState();
    platform::setHooks(nullptr);
    return 0;
}
