// The command line of meridyn, the refusal of a second program and the recent files.
#include <gtest/gtest.h>

#include "tests/command/test_support.h"
#include "ui/core/shell_options.h"

TEST(ShellOptions, OptionsAndOneFile) {
    std::string error;
    auto o = parseShellOptions({"--home", "/h", "model.opt"}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->home, "/h");
    EXPECT_EQ(o->file, "model.opt");
    EXPECT_FALSE(parseShellOptions({"a.mac", "b.mac"}, error));
    EXPECT_FALSE(parseShellOptions({"--size", "3x3"}, error));
    EXPECT_EQ(error, "unknown option --size");
    EXPECT_FALSE(parseShellOptions({"--home"}, error));
    EXPECT_TRUE(parseShellOptions({"--help"}, error)->help);
}

TEST(ShellOptions, TheRefusalOfASecondProgramNamesTheHome) {
    EXPECT_EQ(homeInUseText("/h"), "Another MERIDYN is using the home directory /h.");
}

TEST(RecentFiles, FourNewestFirstSurviveTheSettingsFile) {
    testsupport::ScratchDir dir;
    const auto ini = dir.path() / "meridyn.ini";
    {
        std::ofstream out(ini);
        out << "[flags]\nredraw=1\n";
    }
    RecentFiles r;
    for (const char* p : {"/a.opt", "/b.opt", "/c.opt", "/d.opt", "/e.opt", "/c.opt"})
        r.add(p);
    EXPECT_EQ(r.entries(), (std::vector<std::string>{"/c.opt", "/e.opt", "/d.opt", "/b.opt"}));
    ASSERT_TRUE(r.save(ini));
    RecentFiles back;
    back.load(ini);
    EXPECT_EQ(back.entries(), r.entries());
    EXPECT_NE(testsupport::readFile(ini).find("redraw=1"), std::string::npos);
}
