// The window's costs, offscreen: the ObjectBox with 500 objects (first fill and an unchanged
// refresh), the view's repaint of 500 lenses at 800 x 600, and ExecuteCommandText (the first and
// the last thousand of 100,000 lines; --benchmark_filter=ExecuteCommandText/5000 for a short run).
#include <chrono>

#include "bench/ui/window_bench.h"
#include "ui/qt/object_tree.h"
#include "ui/qt/view_widget.h"

namespace {

// One window holding 500 placed lenses, made once.
MainWindow& window500() {
    static ScriptedPrompts prompts;
    static bench::MacroHome home("lenses.mac");
    static MainWindow* window = bench::makeWindow500(prompts, home);
    return *window;
}

void BM_TreeFirstFill500(benchmark::State& state) {
    MainWindow& w = window500();
    for (auto _ : state) {
        state.PauseTiming();
        w.tree()->ResetTree();
        state.ResumeTiming();
        w.refreshObjectTree();
    }
    state.counters["items"] = w.tree()->root()->childCount();
}
BENCHMARK(BM_TreeFirstFill500)->Unit(benchmark::kMillisecond);

void BM_TreeUnchangedRefresh500(benchmark::State& state) {
    MainWindow& w = window500();
    w.refreshObjectTree();
    for (auto _ : state)
        w.refreshObjectTree();
}
BENCHMARK(BM_TreeUnchangedRefresh500)->Unit(benchmark::kMillisecond);

void BM_ViewRepaint500Lenses(benchmark::State& state) {
    MainWindow& w = window500();
    w.view()->resize(800, 600);
    for (auto _ : state)
        w.view()->invalidateAndUpdate();
}
BENCHMARK(BM_ViewRepaint500Lenses)->Unit(benchmark::kMillisecond);

// Lines through ExecuteCommandText on an empty model; the rate of the first and of the last
// thousand. range(0) lines.
void BM_ExecuteCommandText(benchmark::State& state) {
    MainWindow& w = window500();
    w.ExecuteCommandText("clear");
    const int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        double first = 0, last = 0;
        const auto start = clock::now();
        for (int i = 0; i < lines; ++i) {
            const auto t0 = clock::now();
            w.ExecuteCommandText("noop");
            const double s = std::chrono::duration<double>(clock::now() - t0).count();
            if (i < 1000) first += s;
            if (i >= lines - 1000) last += s;
        }
        const double total = std::chrono::duration<double>(clock::now() - start).count();
        state.counters["lines_per_s"] = lines / total;
        state.counters["first1000_ms"] = first * 1e3;
        state.counters["last1000_ms"] = last * 1e3;
    }
}
BENCHMARK(BM_ExecuteCommandText)->Arg(5000)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runOffscreen(argc, argv);
}
