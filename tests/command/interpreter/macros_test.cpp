#include <gtest/gtest.h>

#include <filesystem>

#include "tests/command/interpreter_fixture.h"

namespace {

using Strings = std::vector<std::string>;

class MacrosTest : public testsupport::DocumentTest {
  protected:
    void SetUp() override {
        DocumentTest::SetUp();
        deleteOutputFiles();
    }
    std::string q(const std::string& name) { return "\"" + dir.file(name) + "\""; }
};

TEST_F(MacrosTest, MissingNameIsCorrectedToMac) {
    writeFile("lamp.mac", "set/a\n");
    execute("macro/run/name=" + q("lamp"));
    EXPECT_EQ(ran, (Strings{"set/a"}));
    EXPECT_EQ(screen(), "macro/run/name=" + q("lamp") +
                            "\nMacro file name corrected: " + dir.file("lamp.mac") + "\n");
    EXPECT_EQ(log(), "macro/run/name=" + q("lamp") + "\nset/a               \n");
    EXPECT_EQ(macroTop, 0);
}

TEST_F(MacrosTest, CorrectionChangesOnlyTheLastComponent) {
    std::filesystem::create_directory(dir.file("d.v2"));
    writeFile("d.v2/lamp.mac", "set/b\n");
    writeFile("m.mac", "set/c\n");
    execute("macro/name=" + q("d.v2/lamp"));
    execute("macro/name=" + q("m.txt"));
    EXPECT_EQ(ran, (Strings{"set/b", "set/c"}));
}

TEST_F(MacrosTest, NamesKeepTheirCase) {
    writeFile("Lamp.mac", "set/upper\n");
    writeFile("lamp.mac", "set/lower\n");
    execute("macro/name=" + q("Lamp.mac"));
    EXPECT_EQ(ran, (Strings{"set/upper"}));
}

TEST_F(MacrosTest, IterationsByNameOrPosition) {
    writeFile("m.mac", "set/a\n");
    execute("macro/name=" + q("m.mac") + " iterations=3");
    EXPECT_EQ(ran.size(), 3u);
    ran.clear();
    execute("macro/name=" + q("m.mac") + " 2");
    EXPECT_EQ(ran.size(), 2u);
    ran.clear();
    execute("macro/name=" + q("m.mac") + " iterations=-4");
    EXPECT_EQ(ran.size(), 1u);
}

TEST_F(MacrosTest, ThirtyFirstLevelIsRefusedAndOuterLevelsGoOn) {
    writeFile("deep.mac", "set/in\nmacro/name=" + q("deep.mac") + "\nset/out\n");
    execute("macro/name=" + q("deep.mac"));
    ASSERT_EQ(ran.size(), 60u);
    EXPECT_EQ(ran[29], "set/in");
    EXPECT_EQ(ran[30], "set/out");
    std::string s = screen();
    std::string message = " Maxmium macro level exceeded, command ignored\n";
    EXPECT_NE(s.find(message), std::string::npos);
    EXPECT_EQ(s.find(message), s.rfind(message));
    EXPECT_EQ(macroTop, 0);
}

TEST_F(MacrosTest, EndWithoutMacroAndStopWordsInsideMacros) {
    execute("macro/end");
    EXPECT_EQ(screen(), "macro/end\n No macros currently active.  Command ignored.\n MD: ");
    writeFile("m.mac", "set/a\nend\nquit\nset/b\n");
    commandBuffer = "macro/name=" + q("m.mac");
    commandPending = 1;
    EXPECT_EQ(doc->RunCommandLoop(), 1);
    EXPECT_FALSE(doc->StopWordTyped());
    EXPECT_EQ(ran, (Strings{"set/a", "set/b"}));
}

TEST_F(MacrosTest, ExitCurrentAllAndUnknownScope) {
    writeFile("outer.mac", "set/o1\nmacro/name=" + q("inner.mac") + "\nset/o2\n");
    writeFile("inner.mac", "set/i1\nmacro/exit\nset/i2\n");
    execute("macro/name=" + q("outer.mac"));
    EXPECT_EQ(ran, (Strings{"set/o1", "set/i1", "set/o2"}));
    ran.clear();
    writeFile("inner.mac", "set/i1\nmacro/exit/all\nset/i2\n");
    execute("macro/name=" + q("outer.mac"));
    EXPECT_EQ(ran, (Strings{"set/o1", "set/i1"}));
    ran.clear();
    writeFile("inner.mac", "set/i1\nmacro/exit/some\nset/i2\n");
    execute("macro/name=" + q("outer.mac"));
    EXPECT_EQ(ran, (Strings{"set/o1", "set/i1", "set/i2", "set/o2"}));
    EXPECT_NE(screen().find("ERROR: The command some is not known.\n"), std::string::npos);
    deleteOutputFiles();
    execute("macro/exit/all");
    EXPECT_EQ(screen(), "macro/exit/all\n No macros currently active.  Command ignored.\n MD: ");
}

TEST_F(MacrosTest, CheckModeReportsBlockIfErrors) {
    writeFile("good.mac", "if 1 < 2 then\nset/a\nelse if 1 = 2 then\nendif\n");
    execute("macro/check/name=" + q("good.mac"));
    EXPECT_NE(screen().find(" No errors detected in macro file.\n"), std::string::npos);
    EXPECT_EQ(ran, (Strings{"set/a"}));
    deleteOutputFiles();
    writeFile("bad.mac", "if 1 < 2 then\nelseif 1 = 1\nendif\n");
    execute("macro/check/name=" + q("bad.mac"));
    EXPECT_NE(screen().find(" Block if errors detected in macro file.\n"), std::string::npos);
    deleteOutputFiles();
    writeFile("bad2.mac", "if a < b then\nendif\n");
    execute("macro/check/name=" + q("bad2.mac"));
    EXPECT_NE(screen().find(" Block if errors detected in macro file.\n"), std::string::npos);
    execute("macro/check/name=missing");
    EXPECT_EQ(macroState().macroCheckMode, 0);
}

TEST_F(MacrosTest, CheckReportsWhenTheCheckedFileEndsNotItsCallees) {
    writeFile("checked.mac", "macro/name=" + q("callee.mac") + "\nelseif 1 = 1\n");
    writeFile("callee.mac", "set/c\n");
    execute("macro/check/name=" + q("checked.mac"));
    EXPECT_NE(screen().find(" Block if errors detected in macro file.\n"), std::string::npos);
}

TEST_F(MacrosTest, CommandsAfterAMacroCallOnItsLineAreNotRun) {
    writeFile("m.mac", "set/a\n");
    execute("macro/name=" + q("m.mac") + "; set/after");
    EXPECT_EQ(ran, (Strings{"set/a"}));
    execute("macro/name=missing; set/after");
    EXPECT_EQ(ran, (Strings{"set/a", "set/after"}));
}

TEST_F(MacrosTest, NotFoundAndMissingNameMessages) {
    execute("macro/name=nothere");
    execute("macro/run");
    execute("macro/name=");
    std::string longName(45, 'n');
    execute("macro/name=" + longName);
    execute("noop");
    EXPECT_EQ(screen(),
              "macro/name=nothere\nERROR:  Macro file nothere not found, command ignored.\n"
              " MD: macro/run\nERROR:  No macro name given, command ignored.\n"
              " MD: macro/name=\nERROR:  No macro name given, command ignored.\n"
              " MD: macro/name=" +
                  longName + "\nERROR:  Macro file " + longName +
                  " not found, command ignored\n MD: noop\n MD: ");
    // The log line left open by the long form is ended before the next command.
    EXPECT_EQ(log(), "macro/name=nothere\n# > ERROR:  Macro file nothere not found, command "
                     "ignored.\nmacro/run\n# > ERROR:  No macro name given, command ignored.\n"
                     "macro/name=\n# > ERROR:  No macro name given, command ignored.\n"
                     "macro/name=" +
                         longName + "\n# > ERROR:  Macro file " + longName + "\nnoop\n");
}

TEST_F(MacrosTest, DirectoriesAreNoMacros) {
    std::filesystem::create_directory(dir.file("folder"));
    execute("macro/name=" + q("folder"));
    EXPECT_NE(screen().find("not found"), std::string::npos);
    EXPECT_EQ(macroTop, 0);
}

TEST_F(MacrosTest, PushFailureAndReadErrorLeaveTheMacro) {
    EXPECT_FALSE(MACPUSH(dir.file("nope.mac"), 1));
    EXPECT_EQ(macroTop, 0);
    EXPECT_EQ(screen(), " MACPUSH - error on open\n");
    deleteOutputFiles();
    // A directory is no macro; reading /proc/self/mem from its start fails: the macro is left
    // with the I/O message.
    EXPECT_FALSE(MACPUSH(dir.path().string(), 1));
    deleteOutputFiles();
    setCommandHandler("show", [](CQelDoc&) { return MACPUSH("/proc/self/mem", 1) ? 1 : 0; });
    writeFile("m.mac", "show\nset/after\n");
    execute("macro/name=" + q("m.mac"));
    EXPECT_NE(screen().find("ERROR:  Io error in macro file /proc/self/mem macro exited\n"),
              std::string::npos)
        << screen();
    EXPECT_EQ(ran, (Strings{"set/after"}));
    EXPECT_EQ(macroTop, 0);
}

TEST_F(MacrosTest, CarriageReturnsOfForeignFilesAreRemoved) {
    writeFile("m.mac", "set/a\r\nset/b x=1\r\n");
    execute("macro/name=" + q("m.mac"));
    EXPECT_EQ(ran, (Strings{"set/a", "set/b x=1"}));
    EXPECT_EQ(log().find('\r'), std::string::npos);
}

TEST_F(MacrosTest, QueryAnswersComeFromTheMacroFile) {
    setCommandHandler("show", [](CQelDoc&) {
        static const char* const names[] = {"a", "b", " "};
        getNumericValues(numericValues, names, 2, numericGiven);
        outText(outputChannel, "a=%g b=%g\n", numericValues[0], numericValues[1]);
        return 1;
    });
    writeFile("m.mac", "show query\n3\n\nset/next\n");
    execute("macro/name=" + q("m.mac"));
    EXPECT_NE(screen().find("a=3 b=0\n"), std::string::npos);
    EXPECT_EQ(ran, (Strings{"set/next"}));
}

} // namespace
