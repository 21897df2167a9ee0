// Throughput of the whole interpreter: a macro of 100,000 simple command lines run through the
// document's command loop, with every line written to meridyn.log.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "command/document/document.h"
#include "command/messages/messages.h"
#include "command/interpreter/reader.h"

namespace {

constexpr int kLines = 100000;

void writeMacro(const std::string& path) {
    static const char* const lines[] = {
        "place/object 1 x=1.5 y=2 z=-3",
        "set/fresnel/on",
        "noop 1 2 3",
        "define/lens mylens radius=5, thickness=2 # a lens",
        "rotate/object/x 2 45; translate/object 2 0 0 1",
        "view/system",
        "modify/surface 3.2 reflect=0.04",
        "show/raylimits",
    };
    std::ofstream out(path);
    for (int i = 0; i < kLines; ++i)
        out << lines[i % (sizeof lines / sizeof lines[0])] << '\n';
}

void BM_MacroThroughTheCommandLoop(benchmark::State& state) {
    bench::MacroHome home("bench.mac");
    writeMacro(home.macro());
    CQelDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        deleteOutputFiles();
        state.ResumeTiming();
        commandBuffer = home.macroCommand();
        doc.ExecuteCommandAndRedraw();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    state.counters["log_bytes"] =
        static_cast<double>(std::filesystem::file_size(home.home() + "/meridyn.log"));
}
BENCHMARK(BM_MacroThroughTheCommandLoop)->Unit(benchmark::kMillisecond);

} // namespace
