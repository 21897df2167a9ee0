// One program per home, and settings that two programs share: a second program on a held home
// is refused without touching the first one's files; two programs sharing a settings file each
// keep the settings they changed.
#include <gtest/gtest.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

TEST(SharedHome, ASecondProgramOnAHeldHomeIsRefused) {
    ScratchHome home;
    FeedPipe feed(home.path() / "feed");
    pid_t first = start({home.path(), {"--home", "."}, feed.path()});
    ASSERT_TRUE(feed.open());
    feed.send("noop from the first\n");
    ASSERT_TRUE(waitFor(home.path() / "meridyn.log", "noop from the first"));

    ScratchHome elsewhere;
    EXPECT_EQ(run({elsewhere.path(), {"--home", home.path().string()}}), 2);
    const std::string expected = "Another MERIDYN is using the home directory " +
                                 fs::canonical(home.path()).string() + ".\n";
    EXPECT_EQ(readFile(elsewhere.path() / "stderr.txt"), expected);

    feed.send("noop still the first\n");
    feed.close();
    EXPECT_EQ(finish(first), 0);
    const std::string log = readFile(home.path() / "meridyn.log");
    EXPECT_TRUE(contains(log, "noop from the first"));
    EXPECT_TRUE(contains(log, "noop still the first"));

    // The lock dies with its holder: the home is free again.
    EXPECT_EQ(run({elsewhere.path(), {"--home", home.path().string()}}), 0);
}

TEST(SharedHome, TwoProgramsSharingSettingsKeepEachOthersChanges) {
    ScratchHome a, b, shared;
    const fs::path ini = shared.path() / "meridyn.ini";
    write(ini, "; shared by two\n[flags]\nredraw=1\nretrace=1\nsphlensvertex=0\n");
    FeedPipe feed(a.path() / "feed");
    pid_t first = start({a.path(), {"--home", "."}, feed.path(), ini});
    ASSERT_TRUE(feed.open());
    feed.send("set/autoredraw/off\n");
    ASSERT_TRUE(waitFor(a.path() / "meridyn.log", "set/autoredraw/off"));

    // The second starts after the first and ends before it, with a change of its own.
    write(b.path() / "m.mac", "set/autoretrace/off\n");
    ASSERT_EQ(run({b.path(), {"--home", ".", "m.mac"}, {}, ini}), 0);
    EXPECT_TRUE(contains(readFile(ini), "retrace=0"));

    feed.close();
    ASSERT_EQ(finish(first), 0);
    const std::string text = readFile(ini);
    EXPECT_TRUE(contains(text, "redraw=0")) << text;
    EXPECT_TRUE(contains(text, "retrace=0")) << text;
    EXPECT_TRUE(contains(text, "; shared by two")) << text;
    EXPECT_TRUE(contains(text, "sphlensvertex=0")) << text;
}

TEST(SharedHome, AKeyThisRunLeftAloneIsNotWrittenBack) {
    ScratchHome home;
    const fs::path ini = home.path() / "meridyn.ini";
    write(ini, "[flags]\nretrace=0\n");
    FeedPipe feed(home.path() / "feed");
    pid_t pid = start({home.path(), {"--home", "."}, feed.path(), ini});
    ASSERT_TRUE(feed.open());
    feed.send("noop\n");
    ASSERT_TRUE(waitFor(home.path() / "meridyn.log", "noop"));
    // Another program changes the key meanwhile; this run leaves it as loaded.
    write(ini, "[flags]\nretrace=1\n");
    feed.close();
    ASSERT_EQ(finish(pid), 0);
    const std::string text = readFile(ini);
    EXPECT_TRUE(contains(text, "retrace=1")) << text;
    // Keys the file lacked are filled in.
    EXPECT_TRUE(contains(text, "redraw=")) << text;
}

} // namespace
