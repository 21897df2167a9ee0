// Signals and closed channels: SIGTERM and SIGHUP end the run as exit does (settings written,
// files complete) with 143 and 129; Ctrl-C and SIGTERM stop a trace at once, in a long row of
// rays or inside one ray's tree of ghosts; a closed output pipe only stops the mirroring; closed
// standard descriptors never swallow the program's own files; a full disk is said once and
// counts as a failed run.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

const char* const kLongMacro = "noop 1\nnoop 2\nnoop 3\n";

class Signals : public ::testing::Test {
  protected:
    ScratchHome home;
    fs::path at(const char* name) const { return home.path() / name; }
    // A run busy in a macro that would take very long, after changing a setting.
    pid_t startBusy() {
        write(at("long.mac"), kLongMacro);
        write(at("main.mac"), "set/autoretrace/off\nmacro/name=\"long.mac\" iterations=100000000\n"
                              "noop after long\n");
        write(at("next.mac"), "noop next file\n");
        return start({home.path(), {"--home", ".", "main.mac", "next.mac"}});
    }
};

TEST_F(Signals, TerminationEndsTheRunAsExitDoes) {
    for (int sig : {SIGTERM, SIGHUP}) {
        fs::remove(at("meridyn.ini"));
        fs::remove(at("meridyn.log"));
        pid_t pid = startBusy();
        ASSERT_TRUE(waitFor(at("meridyn.log"), "noop 3"));
        kill(pid, sig);
        EXPECT_EQ(finish(pid), 128 + sig);
        const std::string log = readFile(at("meridyn.log"));
        EXPECT_FALSE(contains(log, "noop after long"));
        EXPECT_FALSE(contains(log, "next file"));
        // Settings written, the log ends with a whole line.
        EXPECT_TRUE(contains(readFile(at("meridyn.ini")), "retrace=0"));
        EXPECT_EQ(log.back(), '\n');
    }
}

TEST_F(Signals, TerminationAtThePromptEndsTheRun) {
    FeedPipe feed(at("feed"));
    pid_t pid = start({home.path(), {"--home", "."}, feed.path()});
    ASSERT_TRUE(feed.open());
    feed.send("set/autoredraw/off\n");
    ASSERT_TRUE(waitFor(at("meridyn.log"), "set/autoredraw/off"));
    kill(pid, SIGTERM);
    EXPECT_EQ(finish(pid), 143);
    EXPECT_TRUE(contains(readFile(at("meridyn.ini")), "redraw=0"));
}

TEST_F(Signals, CtrlCAndTerminationStopATraceAtOnce) {
    const std::string lenses = "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                               "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                               "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                               "define/lightsource\ndefine/detector\nplace 1 0 0 0\n"
                               "place 2 0 0 30\nplace 3 0 0 60\nplace 4 0 0 -50\n"
                               "place 5 0 0 200\n";
    // A runaway tree: every ghost followed to the deepest level allowed.
    const std::string ghosts = "set/fresnel/on\nset/raylimits maxdepth=150 mintrans=1e-300 "
                               "maxghost=150\n";
    struct Run {
        const char* trace;
        const char* started; // in screen.out once it runs
    };
    const Run runs[] = {
        {"raytrace/cone object=4 nx=1 ny=2000000000\n", "Full angle ray spacing."},
        {"raytrace/collimated object=4 nx=1 ny=1\n", "Maximum ray depth (150)"},
        {"raytrace/single object=4\n", "Maximum ray depth (150)"},
    };
    for (const Run& r : runs) {
        for (int sig : {SIGINT, SIGTERM}) {
            ScratchHome h;
            const bool tree = std::string(r.started) != "Full angle ray spacing.";
            write(h.path() / "t.mac", lenses + (tree ? ghosts : "") + r.trace);
            const pid_t pid = start({h.path(), {"--home", ".", "t.mac"}});
            ASSERT_TRUE(waitFor(h.path() / "screen.out", r.started)) << r.trace;
            // The row has begun to fill rays.dat.
            auto filling = [&] {
                std::error_code ec;
                const auto n = fs::file_size(h.path() / "rays.dat", ec);
                return !ec && n > 0;
            };
            for (int i = 0; i < 500 && !tree && !filling(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto asked = std::chrono::steady_clock::now();
            kill(pid, sig);
            EXPECT_EQ(finish(pid), 128 + sig) << r.trace;
            EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1)) << r.trace;
            // Whole records only.
            EXPECT_EQ(fs::file_size(h.path() / "rays.dat") % 28, 0u) << r.trace;
            EXPECT_EQ(fs::file_size(h.path() / "spots.dat") % 68, 0u) << r.trace;
        }
    }
}

TEST_F(Signals, AClosedOutputPipeStopsOnlyTheMirroring) {
    std::string lines;
    for (int i = 0; i < 300; ++i)
        lines += "show/units\nnoop line " + std::to_string(i) + "\n";
    write(at("many.mac"), lines);
    ScratchHome quiet;
    write(quiet.path() / "many.mac", lines);
    ASSERT_EQ(run({quiet.path(), {"--home", ".", "many.mac"}}), 0);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]); // nobody reads: the first write meets a broken pipe
    Launch l{home.path(), {"--home", ".", "many.mac"}};
    l.outputFd = fds[1];
    pid_t pid = start(l);
    close(fds[1]);
    EXPECT_EQ(finish(pid), 0);
    // The files are those of a run whose output was read.
    for (const char* name : {"meridyn.log", "screen.out"}) {
        std::string mine = readFile(at(name)), theirs = readFile(quiet.path() / name);
        const std::string a = fs::canonical(home.path()).string();
        const std::string b = fs::canonical(quiet.path()).string();
        for (std::size_t p = 0; (p = mine.find(a, p)) != std::string::npos; p += b.size())
            mine.replace(p, a.size(), b);
        EXPECT_EQ(mine, theirs) << name;
    }
}

TEST_F(Signals, ClosedStandardDescriptorsDoNotTakeTheProgramsFiles) {
    write(at("m.mac"), "show/units\nnoop once\n");
    Launch l{home.path(), {"--home", ".", "m.mac"}};
    l.closeChannels = true;
    EXPECT_EQ(run(l), 0);
    const std::string screen = readFile(at("screen.out"));
    // Each text once, and nothing meant for the terminal in the file.
    EXPECT_EQ(screen.find("MERIDYN Cleared."), std::string::npos) << screen;
    const auto first = screen.find("Units are");
    ASSERT_NE(first, std::string::npos) << screen;
    EXPECT_EQ(screen.find("Units are", first + 1), std::string::npos) << screen;
    EXPECT_TRUE(contains(readFile(at("meridyn.log")), "noop once"));
}

TEST_F(Signals, AFullDiskIsSaidOnceAndFailsTheRun) {
    std::string lines;
    for (int i = 0; i < 500; ++i)
        lines += "show/units\nnoop filling the disk " + std::to_string(i) + "\n";
    write(at("many.mac"), lines);
    Launch l{home.path(), {"--home", ".", "many.mac"}};
    l.fileSizeLimit = 4096;
    EXPECT_EQ(run(l), 1);
    const std::string err = readFile(at("stderr.txt"));
    const std::string said = "meridyn.log: File too large";
    const auto first = err.find(said);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(said, first + 1), std::string::npos) << err;
    EXPECT_TRUE(contains(err, "screen.out: File too large")) << err;
}

} // namespace
