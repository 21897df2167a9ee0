// The view's paint of 500 placed lenses into the window's picture (the view's whole paint,
// offscreen) and into the console's raster, at 800 x 600 and 1920 x 1080.
#include "bench/ui/window_bench.h"
#include "display/views/view_host.h"
#include "ui/qt/view_widget.h"

namespace {

// One shown window holding 500 placed lenses, made once.
MainWindow& window500() {
    static ScriptedPrompts prompts;
    static bench::MacroHome home("lenses.mac");
    static MainWindow* window = [] {
        MainWindow* w = bench::makeWindow500(prompts, home);
        w->show();
        return w;
    }();
    return *window;
}

void BM_ViewPaint500(benchmark::State& state) {
    MainWindow& w = window500();
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    w.view()->setMinimumSize(width, height);
    w.view()->resize(width, height);
    for (auto _ : state)
        w.view()->invalidateAndUpdate();
    state.counters["width"] = w.view()->picture().width();
    state.counters["height"] = w.view()->picture().height();
}
BENCHMARK(BM_ViewPaint500)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_ConsolePaint500(benchmark::State& state) {
    window500();
    HeadlessViewHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        host.invalidateAndUpdate();
}
BENCHMARK(BM_ConsolePaint500)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runOffscreen(argc, argv);
}
