// Starting meridyn-cli the ways scripts and careless users do: from any directory, with its own
// settings file, with standard channels closed or piped, and waiting for it or signalling it.
#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "tests/e2e/cli_runner.h"

namespace batchtest {

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::ScratchHome;

struct Launch {
    Launch(fs::path dir, std::vector<std::string> arguments, fs::path in = {}, fs::path ini = {})
        : workDir(std::move(dir)), args(std::move(arguments)), input(std::move(in)),
          settings(std::move(ini)) {}
    fs::path workDir;              // where the program is started
    std::vector<std::string> args; // after the program name
    fs::path input;                // standard input; empty: /dev/null
    fs::path settings;             // MERIDYN_INI; empty: meridyn.ini in workDir
    fs::path output;               // standard output; empty: stdout.txt in workDir
    int outputFd = -1;             // standard output onto this descriptor instead
    bool closeChannels = false;    // standard input, output and error closed
    long fileSizeLimit = -1;       // bytes any file may grow to (a full disk); -1: no limit
};

inline pid_t start(const Launch& l) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(l.workDir.c_str()) != 0) _exit(126);
    const fs::path ini = l.settings.empty() ? l.workDir / "meridyn.ini" : l.settings;
    setenv("MERIDYN_INI", ini.c_str(), 1);
    if (l.closeChannels) {
        close(0);
        close(1);
        close(2);
    } else {
        int in = open(l.input.empty() ? "/dev/null" : l.input.c_str(), O_RDONLY);
        int out = l.outputFd >= 0 ? l.outputFd
                                  : open(l.output.empty() ? "stdout.txt" : l.output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
    }
    if (l.fileSizeLimit >= 0) {
        signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        rlimit limit{static_cast<rlim_t>(l.fileSizeLimit), static_cast<rlim_t>(l.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv{const_cast<char*>(MERIDYN_CLI)};
    for (const auto& a : l.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(MERIDYN_CLI, argv.data());
    _exit(127);
}

// The exit status, or 1000 + the signal that ended the program.
inline int finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

inline int run(const Launch& l) {
    return finish(start(l));
}

// Waits up to five seconds for `file` to hold `text`.
inline bool waitFor(const fs::path& file, const std::string& text) {
    for (int i = 0; i < 500; ++i) {
        if (readFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

inline void write(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A FIFO as standard input that the test feeds: the program waits at its prompt until the test
// writes or closes it.
class FeedPipe {
  public:
    explicit FeedPipe(const fs::path& path) : path_(path) { mkfifo(path.c_str(), 0600); }
    ~FeedPipe() { close(); }
    // Opens the writing end once the program has opened the reading end.
    bool open() {
        for (int i = 0; i < 500 && fd_ < 0; ++i) {
            fd_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd_ < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return fd_ >= 0;
    }
    void send(const std::string& text) {
        if (fd_ >= 0 && ::write(fd_, text.data(), text.size()) < 0) return;
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
    int fd_ = -1;
};

} // namespace batchtest
