// A model of 500 lenses built, placed, listed and deleted through the document's command loop:
// a lookup that grows with the model (aliases, labels, links) shows up as quadratic time here.
// The target is well under 50 ms for the whole round.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "command/command_table.h"
#include "command/document.h"
#include "command/messages.h"
#include "command/parsed_command.h"
#include "command/reader.h"
#include "engine/command_values.h"
#include "engine/object_commands_registration.h"
#include "engine/object_definitions.h"
#include "engine/placement_commands.h"
#include "platform/platform_hooks.h"

namespace {

constexpr int kObjects = 500;

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
    for (int i = 1; i <= kObjects; ++i)
        out << "define/lens lens" << i << "\n";
    for (int i = 1; i <= kObjects; ++i)
        out << "place lens" << i << " " << 3 * i << " 0 0\n";
    out << "display\ndisplay/surface\ndisplay/extents\ndisplay/object/geometry\n";
    for (int i = kObjects; i >= 1; --i)
        out << "delete " << i << "\n";
}

// The part list owns define and delete; here they reach the engine directly.
void registerStandIns() {
    addCommandHandler("define", [](CQelDoc&) {
        int found = 0, several = 0, index = 0;
        getModifier(objectTypeWords, &found, &several, &index, " ");
        return found ? defineObject(modifierWords[index]) : 0;
    });
    addCommandHandler("delete", [](CQelDoc&) {
        return deleteObject("object", commandNumberValue(numericValues[0]));
    });
}

void BM_BuildPlaceListDeleteLenses(benchmark::State& state) {
    static QuietHooks hooks;
    platform::setHooks(&hooks);
    std::string home = makeHome();
    programHome = home;
    std::string macro = home + "/lenses.mac";
    writeMacro(macro);
    registerObjectCommands();
    registerStandIns();
    {
        CQelDoc doc;
        for (auto _ : state) {
            state.PauseTiming();
            deleteOutputFiles();
            state.ResumeTiming();
            commandBuffer = "macro/name=\"" + macro + "\"";
            doc.ExecuteCommand();
        }
        state.SetItemsProcessed(state.iterations() * kObjects);
    }
    closeOutputFiles();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    resetCommandHandlers();
    platform::setHooks(nullptr);
}
BENCHMARK(BM_BuildPlaceListDeleteLenses)->Unit(benchmark::kMillisecond);

} // namespace
