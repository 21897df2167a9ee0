// Saving models. BM_SaveLongLog: the compressed and the complete form of a model whose command
// log holds 200,000 lines (500 parts with their surface changes, comments, nets and many
// commands the compressed form drops); the target is under 0.5 s a save. BM_SaveReloadSave: a
// 500-part model saved by meridyn-cli, run in a fresh meridyn-cli and saved again; the target is
// under 1 s for the reload and second save.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "parts/part_list.h"

namespace {

constexpr int kParts = 499; // and the net: 500 parts, the table full
constexpr int kLogLines = 200000;

// A net and kParts lenses and mirrors, placed, with an attributes change each; more
// lines of comments and settings queries follow until the log holds about `lines` lines.
void writeModel(const std::string& path, int lines) {
    std::ofstream out(path);
    int written = 0;
    out << "polynet/start net\npolynet/polygon\npolynet/chain\npolynet/point 0 0 0\n"
           "polynet/point 1 0 0\npolynet/point 0 1 0\npolynet/close\npolynet/finish\n";
    written += 8;
    for (int i = 1; i <= kParts; ++i) {
        if (i % 2)
            out << "define/lens/spherical p" << i << " 100 -100 10 50 1.5\n";
        else
            out << "define/mirror/flat/rectangle/front p" << i << " 20 20\n";
        out << "place/object/rotations p" << i << " 0 0 " << 25 * i << " 0 " << i % 90 << " 0\n";
        out << "modify/surface/attributes p" << i << ".1 0.5 0.1 0 0\n";
        written += 3;
    }
    // Each command line also logs the line itself; comments are logged once.
    while (written < lines) {
        out << "# note " << written << "\nnoop\nshow/workbox\n";
        written += 3;
    }
}

void BM_SaveLongLog(benchmark::State& state) {
    bench::MacroHome home("model.mac");
    writeModel(home.macro(), kLogLines);
    registerCommandHandlers();
    {
        CQelDoc doc;
        doc.OnNewDocument();
        commandBuffer = home.macroCommand();
        doc.ExecuteCommand();
        const bool compressed = state.range(0) != 0;
        const std::string target = home.home() + (compressed ? "/saved.opt" : "/saved.mac");
        for (auto _ : state) {
            if (!doc.OnSaveDocument(target)) {
                state.SkipWithError("the save failed");
                break;
            }
        }
        std::ifstream log(messageState().logPath);
        long lines = 0;
        for (std::string line; std::getline(log, line);)
            ++lines;
        state.counters["log_lines"] = static_cast<double>(lines);
        state.counters["parts"] = thePartList ? thePartList->partCount() : 0;
    }
    resetAllState();
}
BENCHMARK(BM_SaveLongLog)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

int runCli(const std::string& home, const std::string& save, const std::string& file) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(home.c_str()) != 0) _exit(126);
        setenv("MERIDYN_INI", (home + "/meridyn.ini").c_str(), 1);
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        execl(MERIDYN_CLI, MERIDYN_CLI, "--save", save.c_str(), file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_SaveReloadSave(benchmark::State& state) {
    bench::MacroHome home("model.mac");
    writeModel(home.macro(), 0);
    if (runCli(home.home(), "a.opt", "model.mac") != 0) {
        state.SkipWithError("the first save failed");
        return;
    }
    for (auto _ : state) {
        if (runCli(home.home(), "b.opt", "a.opt") != 0) {
            state.SkipWithError("the reload or the second save failed");
            break;
        }
    }
    std::ifstream a(home.home() + "/a.opt"), b(home.home() + "/b.opt");
    const std::string first((std::istreambuf_iterator<char>(a)), {});
    const std::string second((std::istreambuf_iterator<char>(b)), {});
    state.counters["identical"] = first == second ? 1 : 0;
}
BENCHMARK(BM_SaveReloadSave)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
