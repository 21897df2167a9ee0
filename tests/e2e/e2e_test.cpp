// Runs macro files and typed input through meridyn-cli and compares what it writes.
//
// A case is a folder of cases/. Every file of it is copied into a fresh home directory, which is
// also the working directory of the run. With stdin.txt the program reads that as standard
// input; otherwise it is given the arguments of args.txt (one a line), by default main.mac.
// expected.screen.out, expected.meridyn.log, expected.stdout and expected.meridyn.ini hold the
// expected texts (each optional), with @HOME@ for the home directory. The run's settings file is
// meridyn.ini of the home directory (a case may bring one).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "tests/e2e/cli_runner.h"

namespace fs = std::filesystem;
using namespace clitest;

namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
    return text;
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(MERIDYN_E2E_CASES, ec))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class MacroCase : public ::testing::TestWithParam<std::string> {};

TEST_P(MacroCase, ProducesTheExpectedTexts) {
    fs::path source = fs::path(MERIDYN_E2E_CASES) / GetParam();
    ScratchHome home;
    ASSERT_FALSE(home.path().empty());
    std::vector<std::string> args = {"--home", "."};
    fs::path input;
    for (const auto& entry : fs::directory_iterator(source)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("expected.", 0) == 0 || name == "args.txt") continue;
        if (name == "stdin.txt") {
            input = entry.path();
            continue;
        }
        fs::copy(entry.path(), home.path() / name, fs::copy_options::recursive);
    }
    if (input.empty()) {
        std::istringstream list(fs::exists(source / "args.txt") ? readFile(source / "args.txt")
                                                                : std::string("main.mac\n"));
        for (std::string line; std::getline(list, line);)
            if (!line.empty()) args.push_back(line);
    }
    Child run = startCli(home.path(), args, input);
    int status = finishCli(run);
    ASSERT_TRUE(WIFEXITED(status)) << "meridyn-cli did not exit normally";
    // A case whose commands report errors ends with the status in expected.status.
    const int expectedStatus =
        fs::exists(source / "expected.status") ? std::stoi(readFile(source / "expected.status")) : 0;
    EXPECT_EQ(WEXITSTATUS(status), expectedStatus) << readFile(home.path() / "stderr.txt");

    std::string homeText = fs::canonical(home.path()).string();
    for (const char* file : {"screen.out", "meridyn.log", "stdout", "meridyn.ini"}) {
        fs::path expected = source / (std::string("expected.") + file);
        if (!fs::exists(expected)) continue;
        fs::path actual = home.path() / (std::string(file) == "stdout" ? "stdout.txt" : file);
        EXPECT_EQ(replaceAll(readFile(actual), homeText, "@HOME@"), readFile(expected))
            << "file " << file << " of case " << GetParam();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MacroCase, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

// Ctrl-C during a long macro is the Escape key: every macro is left and the program goes on
// reading its input; the run then ends with the status of an interrupted one.
TEST(ConsoleEscape, InterruptLeavesTheRunningMacros) {
    ScratchHome home;
    std::ofstream(home.path() / "inner.mac") << "noop 1\nnoop 2\nnoop 3\n";
    std::ofstream(home.path() / "outer.mac")
        << "macro/name=\"inner.mac\" iterations=100000000\nnoop after inner\n";
    std::ofstream(home.path() / "input.txt") << "macro/name=\"outer.mac\"\nnoop typed later\n";
    Child run = startCli(home.path(), {"--home", "."}, home.path() / "input.txt");
    // Wait until the macro is under way.
    for (int i = 0;
         i < 200 && readFile(home.path() / "meridyn.log").find("noop 3") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(run.pid, SIGINT);
    int status = finishCli(run);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    std::string out = readFile(home.path() / "stdout.txt");
    EXPECT_NE(out.find("Operation aborted via escape."), std::string::npos);
    std::string log = readFile(home.path() / "meridyn.log");
    EXPECT_EQ(log.find("noop after inner"), std::string::npos);
    EXPECT_NE(log.find("noop typed later"), std::string::npos);
}

TEST(ConsoleArguments, HomeMustBeADirectory) {
    ScratchHome home;
    Child run = startCli(home.path(), {"--home", "no/such/dir"}, {});
    int status = finishCli(run);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(readFile(home.path() / "stderr.txt").find("is not a directory"), std::string::npos);
    Child missing = startCli(home.path(), {"--home"}, {});
    EXPECT_EQ(WEXITSTATUS(finishCli(missing)), 2);
}

TEST(ConsoleArguments, HelpAndUnknownOptionsDoNotRunAnything) {
    ScratchHome home;
    Child help = startCli(home.path(), {"--help"}, {});
    EXPECT_EQ(WEXITSTATUS(finishCli(help)), 0);
    EXPECT_NE(readFile(home.path() / "stderr.txt").find("usage: meridyn-cli"), std::string::npos);
    Child bogus = startCli(home.path(), {"--bogus"}, {});
    EXPECT_EQ(WEXITSTATUS(finishCli(bogus)), 2);
    EXPECT_NE(readFile(home.path() / "stderr.txt").find("unknown option --bogus"),
              std::string::npos);
    // Neither started the interpreter: no log was written in the home directory.
    EXPECT_FALSE(std::filesystem::exists(home.path() / "meridyn.log"));
}

} // namespace
