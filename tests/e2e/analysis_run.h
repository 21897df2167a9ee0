// meridyn-cli fed through a pipe, for the analyses of hand-written rays.dat and spots.dat: a new
// document deletes both files, so the fixtures are put in place once the start-up has run, and
// only then are the commands sent.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/e2e/cli_runner.h"

namespace analysistest {

namespace fs = std::filesystem;

// Little-endian records of the two data files.
inline void putI32(std::string& b, std::int32_t v) {
    for (int k = 0; k < 4; ++k)
        b += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF);
}
inline void putF64(std::string& b, double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    for (int k = 0; k < 8; ++k)
        b += static_cast<char>((u >> (8 * k)) & 0xFF);
}

struct Hit {
    double x, y, energy;
    int object = 1;
    int wavelength = 0;
};
inline std::string spotsFile(const std::vector<Hit>& hits) {
    std::string b;
    for (const Hit& h : hits) {
        for (double v : {h.x, h.y, 0.0, h.energy})
            putF64(b, v);
        putI32(b, h.object);
        putI32(b, 1);
        for (double v : {0.0, 0.0, 1.0})
            putF64(b, v);
        putI32(b, h.wavelength);
    }
    return b;
}

struct RayPoint {
    int flag;
    double x, y, z;
};
inline std::string raysFile(const std::vector<RayPoint>& points) {
    std::string b;
    for (const RayPoint& p : points) {
        putI32(b, p.flag);
        for (double v : {p.x, p.y, p.z})
            putF64(b, v);
    }
    return b;
}

class PipedRun {
  public:
    // Files put into the home after the start-up, before the commands.
    void fixture(const std::string& name, const std::string& content) {
        fixtures_.push_back({name, content});
    }
    // Files put into the home before the run.
    void put(const std::string& name, const std::string& content) {
        std::ofstream(home_.path() / name, std::ios::binary) << content;
    }
    // Runs the commands; extra arguments go before them. True when the run got to its end: exit
    // status 0, or 1 after a command reported an error (the status is kept).
    bool go(const std::string& commands, const std::vector<std::string>& extra = {}) {
        if (home_.path().empty()) return false;
        const fs::path fifo = home_.path() / "input.fifo";
        if (mkfifo(fifo.c_str(), 0600) != 0) return false;
        std::vector<std::string> args{"--home", "."};
        args.insert(args.end(), extra.begin(), extra.end());
        clitest::Child child = clitest::startCli(home_.path(), args, fifo);
        const int fd = open(fifo.c_str(), O_WRONLY); // the run waits for this open
        if (fd < 0) return false;
        // The start-up is over once its macro has been looked for.
        for (int i = 0; i < 500 && file("screen.out").find("startup.opt") == std::string::npos;
             ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (const auto& f : fixtures_)
            put(f.first, f.second);
        std::size_t done = 0;
        while (done < commands.size()) {
            const ssize_t n = write(fd, commands.data() + done, commands.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
        const int status = clitest::finishCli(child);
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return exitStatus_ == 0 || exitStatus_ == 1;
    }
    std::string file(const std::string& name) const {
        return clitest::readFile(home_.path() / name);
    }
    bool exists(const std::string& name) const {
        std::error_code ec;
        return fs::exists(home_.path() / name, ec);
    }
    const fs::path& home() const { return home_.path(); }
    int exitStatus() const { return exitStatus_; }

  private:
    clitest::ScratchHome home_;
    std::vector<std::pair<std::string, std::string>> fixtures_;
    int exitStatus_ = -1;
};

// The lines of `text` from the first that starts with `first`, `count` of them.
inline std::vector<std::string> linesFrom(const std::string& text, const std::string& first,
                                          std::size_t count) {
    std::vector<std::string> out;
    std::size_t at = text.find(first);
    while (at != std::string::npos && at < text.size() && out.size() < count) {
        const std::size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return out;
}

inline std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline std::string fmt(const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

} // namespace analysistest
