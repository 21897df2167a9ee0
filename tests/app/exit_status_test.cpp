// The exit status scripts rely on: 0 for a clean run, 1 when a command reported an error, a FILE
// could not be run or an output could not be written, 2 for bad options and unusable homes,
// 130 after Ctrl-C (no further FILE runs, settings are still written).
#include <gtest/gtest.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

class ExitStatus : public ::testing::Test {
  protected:
    ScratchHome home;
    int runIn(std::vector<std::string> args, const fs::path& input = {}) {
        return run({home.path(), std::move(args), input});
    }
    fs::path at(const char* name) const { return home.path() / name; }
};

TEST_F(ExitStatus, CleanRunsEndWithZeroEvenWithoutAStartupMacro) {
    write(at("ok.mac"), "noop\nset/units/mm\n");
    EXPECT_EQ(runIn({"--home", ".", "ok.mac"}), 0) << readFile(at("stderr.txt"));
    write(at("typed.txt"), "noop\nend\n");
    EXPECT_EQ(runIn({"--home", "."}, at("typed.txt")), 0);
    // The start-up macro's own errors do count.
    write(at("startup.opt"), "raytrace/single object=9\n");
    EXPECT_EQ(runIn({"--home", ".", "ok.mac"}), 1);
}

TEST_F(ExitStatus, AnErrorAnywhereInTheRunGivesOne) {
    write(at("bad.mac"), "noop\ndelete 7\nnoop\n");
    write(at("ok.mac"), "noop\n");
    EXPECT_EQ(runIn({"--home", ".", "bad.mac", "ok.mac"}), 1);
    // Both files ran: an error does not stop the run.
    EXPECT_TRUE(contains(readFile(at("meridyn.log")), "ok.mac"));
    write(at("typed.txt"), "define/lens\nraytrace/single object=5\nnoop\n");
    EXPECT_EQ(runIn({"--home", "."}, at("typed.txt")), 1);
}

TEST_F(ExitStatus, AFileThatCannotBeRunGivesOne) {
    EXPECT_EQ(runIn({"--home", ".", "missing.mac"}), 1);
    EXPECT_TRUE(contains(readFile(at("screen.out")), "missing.mac not found"));
    fs::create_directory(at("folder.mac"));
    EXPECT_EQ(runIn({"--home", ".", "folder.mac"}), 1);
}

TEST_F(ExitStatus, OutputsThatCannotBeWrittenGiveOne) {
    write(at("ok.mac"), "noop\n");
    EXPECT_EQ(runIn({"--home", ".", "--picture", "no/dir/p.png", "ok.mac"}), 1);
    EXPECT_EQ(runIn({"--home", ".", "--hpgl", "no/dir/p.hgl", "ok.mac"}), 1);
    // The log itself: a directory where meridyn.log belongs.
    ScratchHome other;
    fs::create_directory(other.path() / "meridyn.log");
    EXPECT_EQ(run({other.path(), {"--home", "."}}), 1);
    EXPECT_TRUE(contains(readFile(other.path() / "stderr.txt"), "cannot write"));
}

TEST_F(ExitStatus, BadOptionsAndUnusableHomesGiveTwo) {
    EXPECT_EQ(runIn({"--frobnicate"}), 2);
    EXPECT_EQ(runIn({"--home"}), 2);
    EXPECT_EQ(runIn({"--size", "0x0"}), 2);
    EXPECT_EQ(runIn({"--home", "no/such/dir"}), 2);
    write(at("plain"), "x");
    EXPECT_EQ(runIn({"--home", "plain"}), 2);
    EXPECT_FALSE(fs::exists(at("meridyn.log")));
}

TEST_F(ExitStatus, CtrlCEndsWith130AndRunsNoFurtherFile) {
    write(at("long.mac"), "noop 1\nnoop 2\nnoop 3\n");
    write(at("first.mac"), "set/autoretrace/off\nmacro/name=\"long.mac\" iterations=100000000\n"
                           "noop after long\n");
    write(at("second.mac"), "noop second file\n");
    pid_t pid = start({home.path(), {"--home", ".", "first.mac", "second.mac"}});
    ASSERT_TRUE(waitFor(at("meridyn.log"), "noop 3"));
    kill(pid, SIGINT);
    EXPECT_EQ(finish(pid), 130);
    const std::string log = readFile(at("meridyn.log"));
    EXPECT_FALSE(contains(log, "noop after long"));
    EXPECT_FALSE(contains(log, "second file"));
    // Ended as after exit: the settings changed by the run were written.
    EXPECT_TRUE(contains(readFile(at("meridyn.ini")), "retrace=0"));
}

TEST_F(ExitStatus, TheBundledExampleEndsWithZero) {
    const char* source = std::getenv("MERIDYN_SOURCE_DIR");
    if (!source) GTEST_SKIP() << "MERIDYN_SOURCE_DIR not set";
    // As run-example.sh runs it: from out/ beside examples/.
    fs::create_directory_symlink(fs::path(source) / "examples", at("examples"));
    fs::create_directory(at("out"));
    EXPECT_EQ(run({at("out"), {"--home", ".", "--picture", "demo.png", "../examples/demo.mac"}}),
              0)
        << readFile(at("out/screen.out"));
}

} // namespace
