// The object property sheet's load, offscreen, with the frame shown: a model of 500 parts and a
// glass catalog of 2,000 glasses. The first load fills the long lists; the later ones are the
// cost of following the selection. Also the Qt-free loader alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <fstream>
#include <sstream>

#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "bench/ui/window_bench.h"
#include "command/interpreter/reader.h"
#include "parts/glass/glass_catalog.h"
#include "ui/core/prompts.h"
#include "ui/props/property_snapshot.h"
#include "ui/qt/main_window.h"
#include "ui/qt/object_tree.h"
#include "ui/qt/property_frame.h"

namespace {

MainWindow& window500() {
    static ScriptedPrompts prompts;
    static bench::MacroHome home("parts.mac");
    static MainWindow* window = [] {
        registerCommandHandlers();
        auto* w = new MainWindow(&prompts);
        w->start("");
        {
            std::ofstream out(home.macro());
            for (int i = 1; i <= 500; ++i)
                out << "define/lens/spherical l" << i << " 100 -80 12 50 1.5\nplace/object l" << i
                    << " " << (i % 25) * 4 << " " << (i / 25) * 4 << " 0\n";
        }
        commandBuffer = home.macroCommand();
        w->document().ExecuteLine();
        std::ostringstream catalog;
        for (int g = 0; g < 2000; ++g)
            catalog << "NM G" << g << " 2 1.5168 64.17 0 0 0 0\nCD 1.03961212 0.00600069867 "
                    << "0.231792344 0.0200179144 1.01046945 103.560653\nLD 0.3 2.5\n";
        glassCatalog.LoadText(catalog.str());
        w->refreshObjectTree();
        return w;
    }();
    return *window;
}

void BM_PropertyLoadShownFrame(benchmark::State& state) {
    MainWindow& w = window500();
    auto* host = w.findChild<PropertyFrameHost*>();
    int i = 0;
    w.tree()->SelectTreeItem("l1", 1);
    host->ShowPropertyFrame(); // the first load fills the lists
    for (auto _ : state) {
        host->frame()->SetObjectNames("l" + std::to_string(1 + i % 500), 1 + i % 3);
        ++i;
        QApplication::processEvents();
    }
    state.counters["glasses"] = glassCatalog.GlassCount();
}
BENCHMARK(BM_PropertyLoadShownFrame)->Unit(benchmark::kMillisecond);

void BM_PropertySnapshotOnly(benchmark::State& state) {
    window500();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadPropertySnapshot("l" + std::to_string(1 + (i++ % 500)), 1));
}
BENCHMARK(BM_PropertySnapshotOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runOffscreen(argc, argv);
}
