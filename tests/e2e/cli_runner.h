// Runs the built meridyn-cli (MERIDYN_CLI) in a scratch home directory, for the tests that drive
// the program from outside: the home is the working directory of the run and holds its
// settings file; standard output and error go to stdout.txt and stderr.txt there.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "tests/platform/scratch_files.h"

namespace clitest {

namespace fs = std::filesystem;

using testsupport::readFile;

// The home of one run: a fresh temporary directory, removed with everything in it at the end of
// the test. The path is empty when none could be made.
class ScratchHome : public testsupport::ScratchDir {
  public:
    ScratchHome() : ScratchDir("meridyn-cli") {}
};

struct Child {
    pid_t pid = -1;
    int status = -1;
};

// Starts meridyn-cli in `home` with `args`; standard input from `input` (or /dev/null).
inline Child startCli(const fs::path& home, const std::vector<std::string>& args,
                      const fs::path& input = {}) {
    Child run;
    run.pid = fork();
    if (run.pid == 0) {
        if (chdir(home.c_str()) != 0) _exit(126);
        // The settings file of the run lives in its home, never in the user's own.
        setenv("MERIDYN_INI", (home / "meridyn.ini").c_str(), 1);
        int in = open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(MERIDYN_CLI)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(MERIDYN_CLI, argv.data());
        _exit(127);
    }
    return run;
}

// Waits for the run to end; returns its wait status.
inline int finishCli(Child& run) {
    waitpid(run.pid, &run.status, 0);
    return run.status;
}

// Runs meridyn-cli to the end; returns its exit status, -1 when it did not exit normally.
inline int runCli(const fs::path& home, const std::vector<std::string>& args,
                  const fs::path& input = {}) {
    Child run = startCli(home, args, input);
    const int status = finishCli(run);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace clitest
