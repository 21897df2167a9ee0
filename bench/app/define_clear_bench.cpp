// A model of 500 unnamed lenses defined (each named by the part list, which searches its parts
// and the aliases for a free name), placed, listed and cleared through the document's command
// loop with every handler of the program: lookups that grow with the model show up as quadratic
// time here. The target is well under 50 ms for the whole round.
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
#include "parts/part_list.h"
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
        out << "define/lens r1=" << 40 + i % 7 << "\n";
    for (int i = 1; i <= kLenses; ++i)
        out << "place lens" << i << " 0 0 " << 25 * i << "\n";
    out << "display\n";
    out << "clear\n";
}

void BM_DefinePlaceListClearLenses(benchmark::State& state) {
    static QuietHooks hooks;
    platform::setHooks(&hooks);
    std::string home = makeHome();
    programHome = home;
    std::string macro = home + "/lenses.mac";
    writeMacro(macro);
    registerCommandHandlers();
    {
        CQelDoc doc;
        doc.OnNewDocument();
        for (auto _ : state) {
            commandBuffer = "macro/name=\"" + macro + "\"";
            doc.ExecuteCommand();
            if (objectCount != 0 || thePartList->partCount() != 0) {
                state.SkipWithError("the model was not cleared");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * kLenses);
    }
    closeOutputFiles();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    resetCommandHandlers();
    platform::setHooks(nullptr);
}
BENCHMARK(BM_DefinePlaceListClearLenses)->Unit(benchmark::kMillisecond);

} // namespace
