// The start-up both programs share: the home resolved from where the program started, the paths
// of the command line taken from there, the home made the working directory and locked.
#include "command/document/program_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "command/messages/messages.h"
#include "tests/command/test_support.h"

namespace fs = std::filesystem;

TEST(ProgramHome, ResolvesFromTheStartEntersTheHomeAndLocksIt) {
    testsupport::ScratchDir dir;
    fs::create_directories(dir.path() / "start");
    fs::create_directories(dir.path() / "home");
    const fs::path back = fs::current_path();
    ASSERT_EQ(chdir((dir.path() / "start").c_str()), 0);
    setenv("MERIDYN_INI", "settings/meridyn.ini", 1);
    std::string error;
    ProgramHome missing;
    EXPECT_FALSE(missing.resolve("../nowhere", error));
    EXPECT_EQ(error, "../nowhere is not a directory");

    auto first = std::make_unique<ProgramHome>();
    ASSERT_TRUE(first->resolve("../home/", error)) << error;
    const std::string start = (dir.path() / "start").string();
    EXPECT_EQ(first->startDirectory(), start);
    EXPECT_EQ(first->path(), (dir.path() / "home").string());
    EXPECT_EQ(first->fromStart("run.mac"), start + "/run.mac");
    EXPECT_EQ(first->fromStart("/abs.mac"), "/abs.mac");
    EXPECT_EQ(first->fromStart(""), "");
    ASSERT_TRUE(first->enter(error)) << error;
    EXPECT_EQ(fs::current_path(), dir.path() / "home");
    EXPECT_EQ(programHome, (dir.path() / "home").string());
    EXPECT_EQ(std::string(std::getenv("MERIDYN_INI")), start + "/settings/meridyn.ini");

    // A second program on the same home is refused until the first one ends.
    EXPECT_EQ(first->lock(), platform::FileLock::Result::Locked);
    ProgramHome second;
    ASSERT_TRUE(second.resolve("", error));
    EXPECT_EQ(second.path(), (dir.path() / "home").string());
    EXPECT_EQ(second.lock(), platform::FileLock::Result::Busy);
    first.reset();
    EXPECT_EQ(second.lock(), platform::FileLock::Result::Locked);

    unsetenv("MERIDYN_INI");
    programHome.clear();
    ASSERT_EQ(chdir(back.c_str()), 0);
}
