// Throughput of building a 20,000-facet net the way a triangle-mesh import does: six polynet
// commands per facet from a macro, through the document's command loop, with every message
// written to screen.out and every line to meridyn.log.
#include <benchmark/benchmark.h>

#include <cstdio>
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
#include "engine/polynet_command.h"
#include "platform/platform_hooks.h"

namespace {

constexpr int kFacets = 20000;
constexpr int kCommands = 6 * kFacets + 2;

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

// A strip of triangles, each written as the importer writes a facet.
void writeMacro(const std::string& path) {
    std::ofstream out(path);
    out << "polynet/start refl=1 abs=0 index=1.5\n";
    for (int i = 0; i < kFacets; ++i) {
        double x = 0.5 * i;
        out << "polynet/polygon\npoly/chain\n";
        out << "poly/poi " << x << " 0 0\n";
        out << "poly/poi " << x + 1 << " 0.25 0\n";
        out << "poly/poi " << x << " 1 0.125\n";
        out << "polynet/close\n";
    }
    out << "polynet/fin\n";
}

void BM_BuildNetThroughTheCommandLoop(benchmark::State& state) {
    static QuietHooks hooks;
    platform::setHooks(&hooks);
    registerCommandHandlers();
    std::string home = makeHome();
    programHome = home;
    std::string macro = home + "/mesh.mac";
    writeMacro(macro);
    {
        CQelDoc doc;
        for (auto _ : state) {
            state.PauseTiming();
            deleteOutputFiles();
            resetObjectTable();
            resetPolynets();
            state.ResumeTiming();
            commandBuffer = "macro/name=\"" + macro + "\"";
            doc.ExecuteCommandAndRedraw();
        }
        state.SetItemsProcessed(state.iterations() * kCommands);
        const ObjectRecord* o = getObject(0);
        const auto* net =
            o ? static_cast<const PolynetRecord*>(o->firstSurface->typeData) : nullptr;
        if (!net || net->polygonCount != kFacets) state.SkipWithError("net was not built");
    }
    closeOutputFiles();
    resetCommandHandlers();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    platform::setHooks(nullptr);
}
BENCHMARK(BM_BuildNetThroughTheCommandLoop)->Unit(benchmark::kMillisecond);

} // namespace
