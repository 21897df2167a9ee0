// The harness of the window benchmarks: a main window holding 500 placed lenses, and a main that
// runs the benchmarks under an offscreen Qt application.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <fstream>

#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "command/interpreter/reader.h"
#include "ui/core/prompts.h"
#include "ui/qt/main_window.h"

namespace bench {

// A started window on `home` whose document has run the macro that defines 500 lenses and
// places them on a 25 x 20 grid.
inline MainWindow* makeWindow500(ScriptedPrompts& prompts, MacroHome& home) {
    registerCommandHandlers();
    auto* w = new MainWindow(&prompts);
    w->start("");
    {
        std::ofstream out(home.macro());
        for (int i = 1; i <= 500; ++i)
            out << "define/lens l" << i << "\nplace/object l" << i << " " << (i % 25) * 4 << " "
                << (i / 25) * 4 << " 0\n";
    }
    commandBuffer = home.macroCommand();
    w->document().ExecuteLine();
    return w;
}

// Runs the benchmarks the command line selects, offscreen.
inline int runOffscreen(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
