// The home is where the program works: files that commands write "in the current directory"
// land in the home, while the paths of the command line mean what they meant where the user
// started.
#include <gtest/gtest.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

TEST(HomeDirectory, CurrentDirectoryOutputsLandInTheHome) {
    ScratchHome start;
    const fs::path home = start.path() / "home";
    fs::create_directory(home);
    fs::create_directory(start.path() / "macros");
    write(start.path() / "macros" / "m.mac",
          "define/lens\nplace lens1 0 0 0\nview/system/save\niges\nset/color/save\n");
    write(home / "startup.opt", "noop from startup\n");
    ASSERT_EQ(run({start.path(),
                   {"--home", "home", "--picture", "pic.png", "--hpgl", "plot.hgl",
                    "macros/m.mac"},
                   {},
                   "settings.ini"}),
              0)
        << readFile(start.path() / "stderr.txt");
    // The FILE was found from the start directory, the start-up macro in the home.
    const std::string log = readFile(home / "meridyn.log");
    EXPECT_TRUE(contains(log, "noop from startup"));
    EXPECT_TRUE(contains(log, "define/lens"));
    for (const char* name : {"meridyn.log", "screen.out", "plot0", "sysview.igs", "colors.opt"})
        EXPECT_TRUE(fs::exists(home / name)) << name;
    for (const char* name : {"meridyn.log", "screen.out", "plot0", "sysview.igs", "colors.opt"})
        EXPECT_FALSE(fs::exists(start.path() / name)) << name;
    // Outputs and the settings file named on the command line stay where they were named.
    EXPECT_TRUE(fs::exists(start.path() / "pic.png"));
    EXPECT_TRUE(fs::exists(start.path() / "plot.hgl"));
    EXPECT_TRUE(fs::exists(start.path() / "settings.ini"));
    EXPECT_FALSE(fs::exists(home / "settings.ini"));
    EXPECT_TRUE(contains(readFile(home / "screen.out"),
                         "The MERIDYN Home Directory is " + fs::canonical(home).string()));
}

TEST(HomeDirectory, RayFilesAndTypedCommandsWorkInTheHome) {
    ScratchHome start;
    const fs::path home = start.path() / "h";
    fs::create_directory(home);
    write(start.path() / "typed.txt",
          "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\ndefine/lightsource\n"
          "place 1 0 0 0\nplace 2 0 0 -50\nraytrace/single object=2\nview/z/save\n");
    ASSERT_EQ(run({start.path(), {"--home", home.string()}, start.path() / "typed.txt"}), 0)
        << readFile(start.path() / "stderr.txt");
    EXPECT_TRUE(fs::exists(home / "rays.dat"));
    EXPECT_TRUE(fs::exists(home / "plot0"));
    EXPECT_FALSE(fs::exists(start.path() / "rays.dat"));
    EXPECT_FALSE(fs::exists(start.path() / "plot0"));
}

} // namespace
