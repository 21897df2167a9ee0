// 100,000 "noop" lines typed into meridyn-cli on standard input, with no picture requested: the
// cost of reading, logging and running a command line, and of the headless view that draws only
// for a reader. The whole program is run; the target is at least 100,000 lines a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int kLines = 100000;

void BM_StdinNoopLines(benchmark::State& state) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "meridyn-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("no scratch directory");
        return;
    }
    const fs::path home = pattern;
    {
        std::ofstream input(home / "input.txt");
        for (int i = 0; i < kLines; ++i)
            input << "noop\n";
    }
    for (auto _ : state) {
        pid_t pid = fork();
        if (pid == 0) {
            setenv("MERIDYN_INI", (home / "meridyn.ini").c_str(), 1);
            int in = open((home / "input.txt").c_str(), O_RDONLY);
            int out = open("/dev/null", O_WRONLY);
            if (in < 0 || out < 0) _exit(126);
            dup2(in, 0);
            dup2(out, 1);
            dup2(out, 2);
            execl(MERIDYN_CLI, MERIDYN_CLI, "--home", home.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("meridyn-cli failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    std::error_code ec;
    fs::remove_all(home, ec);
}
BENCHMARK(BM_StdinNoopLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
