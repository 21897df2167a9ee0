// Paths pass through whole: a FILE argument or home with blanks, quotes, ';', '&', '#', '%' or
// of any length runs exactly the file named, and a name the command line cannot carry is
// refused before anything runs, never "corrected" to another file.
#include <gtest/gtest.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

TEST(WholePaths, OddCharactersReachTheRightFile) {
    ScratchHome home;
    const std::vector<std::string> names = {"with blank.mac", "quo\"te.mac", "semi;colon.mac",
                                            "amp&er.mac",     "hash#.mac",   "per%cent.mac",
                                            "com,ma.mac",     "  lead.mac"};
    std::vector<std::string> args = {"--home", "."};
    for (std::size_t i = 0; i < names.size(); ++i) {
        write(home.path() / names[i], "noop marker" + std::to_string(i) + "\n");
        args.push_back(names[i]);
    }
    // Decoys the old handling could have run instead.
    write(home.path() / "with.mac", "noop wrong\n");
    write(home.path() / "semi.mac", "noop wrong\n");
    write(home.path() / "amp.mac", "noop wrong\n");
    ASSERT_EQ(run({home.path(), args}), 0) << readFile(home.path() / "stderr.txt");
    const std::string log = readFile(home.path() / "meridyn.log");
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_TRUE(contains(log, "noop marker" + std::to_string(i))) << names[i];
    EXPECT_FALSE(contains(log, "noop wrong"));
}

TEST(WholePaths, ANameTheCommandLineCannotCarryIsRefusedBeforeAnythingRuns) {
    ScratchHome home;
    write(home.path() / "a|b.mac", "noop pipe\n");
    write(home.path() / "a b.mac", "noop blank\n");
    write(home.path() / "ok.mac", "noop ok\n");
    write(home.path() / "tab\tbed.mac", "noop tab\n");
    for (const char* refused : {"a|b.mac", "tab\tbed.mac"}) {
        EXPECT_EQ(run({home.path(), {"--home", ".", "ok.mac", refused}}), 2) << refused;
        EXPECT_TRUE(contains(readFile(home.path() / "stderr.txt"),
                             std::string(refused) + " cannot be run"));
        EXPECT_FALSE(fs::exists(home.path() / "meridyn.log"));
    }
}

TEST(WholePaths, LongPathsRunTheirOwnFileOrAreRefused) {
    ScratchHome start;
    const std::string longName(225, 'd');
    fs::create_directories(start.path() / longName);
    write(start.path() / longName / "m.mac", "noop the long one\n");
    // The cut and "corrected" name of old.
    write(start.path() / (longName + ".mac"), "noop wrong\n");
    fs::create_directory(start.path() / "h");
    // Too long as an absolute path, short enough from the home.
    const std::string file = (start.path() / longName / "m.mac").string();
    ASSERT_GT(file.size(), 250u);
    EXPECT_EQ(run({start.path(), {"--home", "h", file}}), 0)
        << readFile(start.path() / "stderr.txt");
    EXPECT_TRUE(contains(readFile(start.path() / "h" / "meridyn.log"), "the long one"));

    // Too long every way.
    fs::create_directories(start.path() / longName / longName);
    write(start.path() / longName / longName / "m.mac", "noop deeper\n");
    const std::string deeper = longName + "/" + longName + "/m.mac";
    EXPECT_EQ(run({start.path(), {"--home", "h", deeper}}), 2);
    EXPECT_TRUE(contains(readFile(start.path() / "stderr.txt"), "cannot be run"));
    EXPECT_FALSE(contains(readFile(start.path() / "h" / "meridyn.log"), "deeper"));
}

TEST(WholePaths, OddAndLongHomesStillRunTheirStartupMacro) {
    ScratchHome start;
    for (const std::string& home :
         std::vector<std::string>{"q\"uote", "pi|pe", std::string(240, 'h')}) {
        fs::create_directory(start.path() / home);
        write(start.path() / home / "startup.opt", "noop startup ran\n");
        EXPECT_EQ(run({start.path(), {"--home", home}}), 0) << home;
        EXPECT_TRUE(contains(readFile(start.path() / home / "meridyn.log"), "startup ran"))
            << home;
    }
}

} // namespace
