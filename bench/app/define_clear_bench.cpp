// A model of 500 unnamed lenses defined (each named by the part list, which searches its parts
// and the aliases for a free name), placed, listed and cleared through the document's command
// loop with every handler of the program: lookups that grow with the model show up as quadratic
// time here. The target is well under 50 ms for the whole round.
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
#include "parts/part_list.h"

namespace {

constexpr int kLenses = 500;

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
    bench::MacroHome home("lenses.mac");
    writeMacro(home.macro());
    registerCommandHandlers();
    {
        CQelDoc doc;
        doc.OnNewDocument();
        for (auto _ : state) {
            commandBuffer = home.macroCommand();
            doc.ExecuteCommand();
            if (objectCount != 0 || thePartList->partCount() != 0) {
                state.SkipWithError("the model was not cleared");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * kLenses);
    }
    resetAllState();
}
BENCHMARK(BM_DefinePlaceListClearLenses)->Unit(benchmark::kMillisecond);

} // namespace
