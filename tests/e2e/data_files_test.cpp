// Switching ray or spot saving off through meridyn-cli deletes the data files of the home
// directory. The files are made while the program runs (a new document may clear them at start).
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/e2e/cli_runner.h"

namespace fs = std::filesystem;
using clitest::readFile;

namespace {

class TypedSession {
  public:
    explicit TypedSession(const fs::path& home) : home_(home) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[1]);
            if (chdir(home.c_str()) != 0) _exit(126);
            setenv("MERIDYN_INI", (home / "meridyn.ini").c_str(), 1);
            int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0) _exit(126);
            dup2(fds[0], 0);
            dup2(out, 1);
            dup2(out, 2);
            execl(MERIDYN_CLI, MERIDYN_CLI, "--home", ".", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[0]);
        input_ = fds[1];
    }
    ~TypedSession() { finish(); }

    // Types a line and waits until the command log shows it was read.
    bool type(const std::string& line) {
        std::string text = line + "\n";
        if (write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            return false;
        for (int i = 0; i < 500; ++i) {
            if (readFile(home_ / "meridyn.log").find(line) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    int finish() {
        if (input_ >= 0) close(input_);
        input_ = -1;
        if (pid_ > 0) {
            waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
        return status_;
    }

  private:
    fs::path home_;
    pid_t pid_ = -1;
    int input_ = -1;
    int status_ = -1;
};

TEST(DataFiles, SavingSwitchedOffDeletesThem) {
    std::string pattern = (fs::temp_directory_path() / "meridyn-data-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    fs::path home = pattern;
    {
        TypedSession session(home);
        ASSERT_TRUE(session.type("noop started"));
        std::ofstream(home / "rays.dat") << "rays";
        std::ofstream(home / "spots.dat") << "spots";
        ASSERT_TRUE(session.type("set/savespots/on"));
        ASSERT_TRUE(session.type("noop after savespots on"));
        EXPECT_TRUE(fs::exists(home / "rays.dat"));
        EXPECT_TRUE(fs::exists(home / "spots.dat"));
        ASSERT_TRUE(session.type("set/saverays/off"));
        ASSERT_TRUE(session.type("noop after saverays off"));
        EXPECT_FALSE(fs::exists(home / "rays.dat"));
        EXPECT_TRUE(fs::exists(home / "spots.dat"));
        std::ofstream(home / "rays.dat") << "rays";
        ASSERT_TRUE(session.type("set/savespots/off"));
        ASSERT_TRUE(session.type("noop after savespots off"));
        EXPECT_FALSE(fs::exists(home / "rays.dat"));
        EXPECT_FALSE(fs::exists(home / "spots.dat"));
        int status = session.finish();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::string out = readFile(home / "stdout.txt");
    EXPECT_NE(out.find("Ray data saving is OFF.\n"), std::string::npos);
    EXPECT_NE(out.find("Spot data saving is OFF.\n"), std::string::npos);
    std::error_code ec;
    fs::remove_all(home, ec);
}

} // namespace
