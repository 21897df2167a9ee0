// Throughput of building a 20,000-facet net the way a triangle-mesh import does: six polynet
// commands per facet from a macro, through the document's command loop, with every message
// written to screen.out and every line to meridyn.log.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/messages/messages.h"
#include "command/interpreter/reader.h"
#include "engine/model/object_table.h"
#include "engine/commands/polynet_command.h"

namespace {

constexpr int kFacets = 20000;
constexpr int kCommands = 6 * kFacets + 2;

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
    bench::MacroHome home("mesh.mac");
    registerCommandHandlers();
    writeMacro(home.macro());
    {
        CQelDoc doc;
        for (auto _ : state) {
            state.PauseTiming();
            deleteOutputFiles();
            resetObjectTable();
            resetPolynets();
            state.ResumeTiming();
            commandBuffer = home.macroCommand();
            doc.ExecuteCommandAndRedraw();
        }
        state.SetItemsProcessed(state.iterations() * kCommands);
        const ObjectRecord* o = getObject(0);
        const auto* net =
            o ? static_cast<const PolynetRecord*>(o->firstSurface->typeData) : nullptr;
        if (!net || net->polygonCount != kFacets) state.SkipWithError("net was not built");
    }
    resetAllState();
}
BENCHMARK(BM_BuildNetThroughTheCommandLoop)->Unit(benchmark::kMillisecond);

} // namespace
