// File > ImportSTL... against the same facets run as a macro of polynet commands by meridyn-cli:
// a binary STL of range(0) facets imported by the window (offscreen, dialogs answered by a
// script), the same import against a document without a window, and the macro of its
// 6 x range(0) + 2 commands run by the console program. Counters:
// facets per second. The import should take at most twice the macro's time, and 40,000 facets
// at most 2.3 times 20,000. Beside them an ASCII file of range(0) lines in capitals, each of
// which warns (two log lines a line in the progress dialog's list), against a macro of as many
// polynet lines: at most twice the macro's time, and linear in the lines.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "ui/compose/field_text.h"
#include "ui/compose/stl_import.h"
#include "ui/core/prompts.h"
#include "ui/qt/dialogs/dialog_entries.h"
#include "ui/qt/dialogs/form_dialog.h"
#include "ui/qt/main_window.h"

namespace {

namespace fs = std::filesystem;

std::string scratch() {
    static std::string dir = [] {
        std::string pattern = (fs::temp_directory_path() / "meridyn-stl-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return dir;
}

// Facet i: a small right triangle on a 200-wide grid in the plane z = 0.
void corners(int i, float c[3][3]) {
    const float x = static_cast<float>(i % 200) * 0.5f, y = static_cast<float>(i / 200) * 0.5f;
    const float v[3][3] = {{x, y, 0}, {x + 0.5f, y, 0}, {x, y + 0.5f, 0}};
    std::memcpy(c, v, sizeof v);
}

std::string binaryStl(int facets) {
    const std::string path = scratch() + "/grid" + std::to_string(facets) + ".stl";
    std::ofstream out(path, std::ios::binary);
    char header[80] = "grid";
    out.write(header, 80);
    const std::uint32_t n = static_cast<std::uint32_t>(facets);
    out.write(reinterpret_cast<const char*>(&n), 4);
    for (int i = 0; i < facets; ++i) {
        float record[12] = {0, 0, 1};
        corners(i, reinterpret_cast<float(*)[3]>(record + 3));
        out.write(reinterpret_cast<const char*>(record), sizeof record);
        out.write("\0\0", 2);
    }
    return path;
}

std::string polynetMacro(int facets) {
    const std::string path = scratch() + "/grid" + std::to_string(facets) + ".mac";
    std::ofstream out(path);
    out << "polynet/start grid refl=1 abs=0 index=1\n";
    for (int i = 0; i < facets; ++i) {
        float c[3][3];
        corners(i, c);
        out << "polynet/polygon\npoly/chain\n";
        for (const auto& v : c)
            out << "poly/poi " << floatNumber(v[0]) << " " << floatNumber(v[1]) << " "
                << floatNumber(v[2]) << "\n";
        out << "polynet/close\n";
    }
    out << "polynet/fin\n";
    return path;
}

// An ASCII STL in capitals: the reader's keywords are lower case, so every line warns.
std::string capitalsStl(int lines) {
    const std::string path = scratch() + "/caps" + std::to_string(lines) + ".stl";
    std::ofstream out(path);
    const char* facet[] = {"FACET NORMAL 0 0 1", "OUTER LOOP", "VERTEX 0 0 0", "VERTEX 1 0 0",
                           "VERTEX 0 1 0",       "ENDLOOP",    "ENDFACET"};
    out << "SOLID CAPS\n";
    for (int i = 0; i < lines - 2; ++i)
        out << facet[i % 7] << "\n";
    out << "ENDSOLID CAPS\n";
    return path;
}

// A macro of `lines` polynet lines: a start, whole facets, a finish.
std::string polynetLinesMacro(int lines) {
    const std::string path = scratch() + "/lines" + std::to_string(lines) + ".mac";
    std::ofstream out(path);
    out << "polynet/start lines\n";
    for (int i = 0; i < lines - 2; ++i) {
        switch (i % 6) {
        case 0: out << "polynet/polygon\n"; break;
        case 1: out << "poly/chain\n"; break;
        case 5: out << "polynet/close\n"; break;
        default: out << "poly/poi " << (i % 6 == 3) << " " << (i % 6 == 4) << " " << i / 6 << "\n";
        }
    }
    out << "polynet/fin\n";
    return path;
}

MainWindow& window() {
    static ScriptedPrompts prompts;
    static MainWindow* w = [] {
        programHome = scratch();
        setenv("MERIDYN_INI", (scratch() + "/meridyn.ini").c_str(), 1);
        registerCommandHandlers();
        auto* made = new MainWindow(&prompts);
        made->start("");
        dialogRunner() = [](QDialog& dialog) {
            auto* form = qobject_cast<FormDialog*>(&dialog);
            if (!form) return static_cast<int>(QDialog::Rejected);
            form->setText("name", "grid");
            form->accept();
            return form->result();
        };
        return made;
    }();
    static_cast<void>(prompts);
    return *w;
}

// Imports `path` through the window once an iteration, the model cleared before; `good` judges
// each result. `unit` per second is the counter.
template <typename Good>
void importInWindow(benchmark::State& state, const std::string& path, Good good,
                    const char* unit) {
    MainWindow& w = window();
    for (auto _ : state) {
        state.PauseTiming();
        w.ExecuteCommandText("clear");
        static_cast<ScriptedPrompts&>(w.prompts()).files = {path};
        state.ResumeTiming();
        if (!good(importStlFile(w))) state.SkipWithError("the import gave another result");
    }
    state.counters[unit] = benchmark::Counter(
        static_cast<double>(state.range(0)) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_StlImportWindow(benchmark::State& state) {
    const int facets = static_cast<int>(state.range(0));
    importInWindow(state, binaryStl(facets),
                   [facets](const StlImportResult& r) { return r.facets == facets; },
                   "facets_per_s");
}
BENCHMARK(BM_StlImportWindow)->Arg(20000)->Arg(40000)->Arg(200000)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The window's import of a file of capitals; it ends with the box of the deleted void net.
void BM_StlCapitalsWindow(benchmark::State& state) {
    importInWindow(state, capitalsStl(static_cast<int>(state.range(0))),
                   [](const StlImportResult& r) { return r.facets == 0; },
                   "lines_per_s");
}
BENCHMARK(BM_StlCapitalsWindow)->Arg(2000)->Arg(20000)->Arg(200000)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The same import against a document without a window (the interpreter's share of the cost).
void BM_StlImportDocument(benchmark::State& state) {
    const int facets = static_cast<int>(state.range(0));
    const std::string path = binaryStl(facets);
    window(); // handlers registered, home set
    CQelDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        commandBuffer = "clear";
        doc.ExecuteLine();
        StlImportUi ui;
        ui.chooseFile = [&path] { return std::optional<std::string>(path); };
        ui.askParameters = [](const StlParameters&) {
            return std::optional<StlParameters>(StlParameters{"grid", 1, 0, 1});
        };
        state.ResumeTiming();
        const auto result = OnFileImportStl(doc, ui, scratch() + "/mshwklog.txt");
        if (result.facets != facets) state.SkipWithError("the import did not read every facet");
    }
    state.counters["facets_per_s"] =
        benchmark::Counter(static_cast<double>(facets) * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StlImportDocument)->Arg(20000)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// Runs `macro` with meridyn-cli in a home of its own, once an iteration.
void runCli(benchmark::State& state, const std::string& macro) {
    const std::string home = scratch() + "/cli";
    fs::create_directories(home);
    const std::string command = std::string("MERIDYN_INI=") + home + "/meridyn.ini '" +
                                MERIDYN_CLI_PATH + "' --home '" + home + "' '" + macro +
                                "' </dev/null >/dev/null 2>&1";
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        fs::remove(home + "/meridyn.log", ec);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("meridyn-cli failed");
    }
}

void BM_PolynetMacroCli(benchmark::State& state) {
    const int facets = static_cast<int>(state.range(0));
    runCli(state, polynetMacro(facets));
    state.counters["facets_per_s"] =
        benchmark::Counter(static_cast<double>(facets) * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PolynetMacroCli)->Arg(20000)->Arg(40000)->Arg(200000)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// As many polynet lines as the file of capitals has lines, run by the console program.
void BM_PolynetLinesMacroCli(benchmark::State& state) {
    runCli(state, polynetLinesMacro(static_cast<int>(state.range(0))));
    state.counters["lines_per_s"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PolynetLinesMacroCli)->Arg(2000)->Arg(20000)->Arg(200000)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(scratch(), ec);
    return 0;
}
