// A model of 500 lenses defined, placed, listed and cleared through the document's command
// loop, as a macro would build it. A lookup that grows with the model (aliases, part names,
// labels, inside links) shows up here as quadratic time; the whole round should stay well under
// 50 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/register_commands.h"
#include "command/command_table.h"
#include "command/document.h"
#include "command/messages.h"
#include "command/reader.h"
#include "engine/object_table.h"
#include "platform/platform_hooks.h"

namespace {

constexpr int kLenses = 500;

class QuietHooks : public platform::PlatformHooks {
  public:
    void messageBox(const std::string&, const std::string&, platform::BoxIcon) override {}
    bool askYesNo(const std::string&, const std::string&, bool d) override { return d; }
    void beep() override {}
    bool escapePending() override { return false; }
};

std::string makeHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "meridyn-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

void writeMacro(const std::string& path) {
    std::ofstream out(path);
    for (int i = 1; i <= kLenses; ++i)
        out << "define/lens\n";
    for (int i = 1; i <= kLenses; ++i)
        out << "place lens" << i << " " << 3 * i << " 0 0\n";
    out << "display\ndisplay/surface\ndisplay/extents\ndisplay/object/geometry\n";
    out << "clear\n";
}

void BM_DefinePlaceListClearLenses(benchmark::State& state) {
    static QuietHooks hooks;
    platform::setHooks(&hooks);
    registerCommandHandlers();
    std::string home = makeHome();
    programHome = home;
    std::string macro = home + "/lenses.mac";
    writeMacro(macro);
    {
        CQelDoc doc;
        doc.OnNewDocument();
        for (auto _ : state) {
            commandBuffer = "macro/name=\"" + macro + "\"";
            doc.ExecuteCommand();
            if (objectCount != 0) state.SkipWithError("the model was not cleared");
        }
        state.SetItemsProcessed(state.iterations() * kLenses);
    }
    closeOutputFiles();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    platform::setHooks(nullptr);
}
BENCHMARK(BM_DefinePlaceListClearLenses)->Unit(benchmark::kMillisecond);

} // namespace
