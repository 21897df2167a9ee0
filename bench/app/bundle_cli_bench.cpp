// A million source rays of the singlet model through meridyn-cli, start to end: the collimated
// bundle with the ray files off (nosave, spots off), then with rays.dat and spots.dat written.
// Each iteration is one whole program run; one item is one source ray.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/bench_support.h"

namespace {

constexpr long kRays = 1000L * 1000L;

int runCli(const std::string& home, const std::string& file) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(home.c_str()) != 0) _exit(126);
        setenv("MERIDYN_INI", (home + "/meridyn.ini").c_str(), 1);
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        execl(MERIDYN_CLI, MERIDYN_CLI, "--home", ".", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_MillionRaysThroughTheCli(benchmark::State& state) {
    const bool files = state.range(0) != 0;
    bench::MacroHome home("trace.mac");
    std::ofstream(home.macro()) << bench::kSingletModel << (files ? "" : "set/savespots/off\n")
                                << "raytrace/collimated" << (files ? "" : "/nosave")
                                << " lamp nx=1000 ny=1000 hhwidth=30 vhwidth=30\n";
    for (auto _ : state)
        if (runCli(home.home(), "trace.mac") != 0) {
            state.SkipWithError("the run failed");
            break;
        }
    state.SetItemsProcessed(state.iterations() * kRays);
}
BENCHMARK(BM_MillionRaysThroughTheCli)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
