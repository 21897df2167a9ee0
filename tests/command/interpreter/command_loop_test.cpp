#include <gtest/gtest.h>

#include <filesystem>

#include "tests/command/interpreter_fixture.h"

namespace {

using Strings = std::vector<std::string>;

class CommandLoopTest : public testsupport::DocumentTest {
  protected:
    void SetUp() override {
        DocumentTest::SetUp();
        deleteOutputFiles();
    }
    std::string q(const std::string& name) { return "\"" + dir.file(name) + "\""; }
    // Runs text through the loop alone and returns its result.
    int runLoop(const std::string& text) {
        commandBuffer = text;
        commandPending = 1;
        return doc->RunCommandLoop();
    }
};

TEST(CommandKeywords, UniquePrefixesOfTheTable) {
    testsupport::ScratchDir dir;
    resetCommandState();
    programHome = dir.path().string();
    setOutputFiles();
    struct Case {
        const char* typed;
        const char* full;
    } cases[] = {{"def", "define"},  {"ray", "raytrace"}, {"act", "activate"}, {"de", nullptr},
                 {"r", nullptr},     {"re", nullptr},     {"user", nullptr},   {"user5", "user5"},
                 {"e", nullptr},     {"end", "end"},      {"ener", "energy"},  {"IFTHEN", "IFTHEN"},
                 {"ifthen", nullptr}};
    for (const auto& c : cases) {
        char word[21];
        std::snprintf(word, sizeof word, "%s", c.typed);
        EXPECT_EQ(matchKeyword(word, commandKeywords, " "), c.full ? 1 : 0) << c.typed;
        if (c.full) {
            EXPECT_STREQ(word, c.full);
        }
    }
    char word[21] = "de";
    matchKeyword(word, commandKeywords, "command");
    EXPECT_EQ(testsupport::readFile(dir.file("screen.out")),
              "ERROR:  de is ambiguous against define and deactivate\n");
    EXPECT_EQ(keywordTableSize(commandKeywords), 47);
    resetCommandState();
}

TEST_F(CommandLoopTest, UnknownWordsAreReportedAndDoNothing) {
    execute("xyz 1 2");
    EXPECT_EQ(screen(), "xyz 1 2\nERROR: The command xyz is not known.\n"
                        "Please check the manual for the correct syntax.\n MD: ");
    EXPECT_EQ(log(), "xyz 1 2\n# > ERROR: The command xyz is not known.\n");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CommandLoopTest, WordsWithoutHandlersAreSilent) {
    execute("retrieve; write; dos; variable x; user1; noop; ray; photo; IFTHEN; endif");
    EXPECT_EQ(screen(), "retrieve; write; dos; variable x; user1; noop; ray; photo; IFTHEN; endif\n"
                        " MD: ");
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(CommandLoopTest, AbbreviationsReachTheirHandlers) {
    execute("act 3; re; sh/on");
    EXPECT_EQ(ran, (Strings{"activate [3]", "show/on"}));
    EXPECT_NE(screen().find("ERROR:  re is ambiguous against read and redefine\n"),
              std::string::npos);
}

TEST_F(CommandLoopTest, StopWordsAreReportedNotRun) {
    EXPECT_EQ(runLoop("set/a"), 0); // the end made at the end of the text is no stop word
    EXPECT_FALSE(doc->StopWordTyped());
    EXPECT_EQ(runLoop("set/b; quit; set/c"), 1);
    EXPECT_TRUE(doc->StopWordTyped());
    EXPECT_EQ(runLoop("bye"), 1);
    EXPECT_EQ(runLoop("exit"), 1);
    EXPECT_EQ(ran, (Strings{"set/a", "set/b", "set/c"}));
}

TEST_F(CommandLoopTest, EveryRunRunsItsFirstCommand) {
    execute("set/a");
    execute("set/b");
    commandBuffer = "set/c";
    doc->ExecuteLine();
    EXPECT_EQ(ran, (Strings{"set/a", "set/b", "set/c"}));
}

TEST_F(CommandLoopTest, EscapeLeavesEveryMacro) {
    writeFile("outer.mac", "set/o1\nmacro/name=" + q("inner.mac") + "\nset/o2\n");
    writeFile("inner.mac", "set/i1\nset/i2\nset/i3\n");
    hooks.escapeOnPoll = 5; // the poll before set/i2
    execute("macro/name=" + q("outer.mac"));
    EXPECT_EQ(ran, (Strings{"set/o1", "set/i1"}));
    EXPECT_EQ(macroTop, 0);
    EXPECT_EQ(ui.history, (Strings{"Operation aborted via escape."}));
    EXPECT_EQ(abortRequest, 0);
    execute("set/later");
    EXPECT_EQ(ran.back(), "set/later");
}

TEST_F(CommandLoopTest, AbortAfterAnErrorPopupEndsTheMacros) {
    errorPopup = 1;
    hooks.answers = {true};
    writeFile("m.mac", "set/a\nxyz\nset/b\n");
    execute("macro/name=" + q("m.mac"));
    EXPECT_EQ(ran, (Strings{"set/a"}));
    EXPECT_EQ(ui.history, (Strings{"Operation aborted via escape."}));
    errorPopup = 0;
}

TEST_F(CommandLoopTest, EachHandlerRunsInABusyPhase) {
    execute("set/a; show/b");
    EXPECT_EQ(hooks.cursorChanges, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(platform::waitCursorDepth(), 0);
}

TEST_F(CommandLoopTest, HandlersOfAKeywordRunInOrder) {
    setCommandHandler("modify", [this](CQelDoc&) {
        ran.push_back("geometry");
        return 1;
    });
    addCommandHandler("modify", [this](CQelDoc&) {
        ran.push_back("optics");
        return 1;
    });
    execute("modify/surface");
    EXPECT_EQ(ran, (Strings{"geometry", "optics"}));
    for (const char* word : {"macro", "end", "quit", "clear", "pause", "noop", "IFTHEN", "bogus"})
        EXPECT_FALSE(addCommandHandler(word, [](CQelDoc&) { return 1; })) << word;
}

TEST_F(CommandLoopTest, MaterialAndRadiometerResults) {
    execute("material; radiometer"); // no handlers: nothing at all
    EXPECT_EQ(screen(), "material; radiometer\n MD: ");
    deleteOutputFiles();
    ui.history.clear();
    setCommandHandler("material", [](CQelDoc&) { return 0; });
    setCommandHandler("radiometer", [](CQelDoc&) { return 0; });
    execute("material/x; radiometer/y");
    // The radiometer is followed by an empty command run through the document.
    EXPECT_EQ(screen(),
              "material/x; radiometer/y\nMaterial not found.\nRadiometer not found.\n\n MD:  MD: ");
    EXPECT_EQ(log(), "material/x; radiometer/y\n\n");
    EXPECT_EQ(ui.history, (Strings{"\n"}));
}

TEST_F(CommandLoopTest, RedefineAndEnergyFraming) {
    int modeSeen = -1;
    setCommandHandler("redefine", [&](CQelDoc&) {
        modeSeen = redefineMode;
        return 1;
    });
    execute("redefine 3");
    EXPECT_EQ(modeSeen, 1);
    EXPECT_EQ(redefineMode, 0);
    execute("energy/polar/file=\"a b\" mode 1 2.5");
    EXPECT_EQ(doc->LastEnergyCommand(), "energy/polar/file 1 2.5");
}

TEST_F(CommandLoopTest, PauseShowsItsDialogUntilOk) {
    ui.pauseAnswersBeforeOk = 2;
    execute("pause/note=\"Look here\"");
    EXPECT_EQ(ui.pauseNotes, (Strings{"Look here", "Look here", "Look here"}));
    EXPECT_FALSE(doc->Paused());
    ui.pauseNotes.clear();
    execute("pause/note=a/note=b");
    EXPECT_EQ(ui.pauseNotes, (Strings{""}));
    EXPECT_NE(screen().find("Multiple define modifiers not permitted.\n"), std::string::npos);
}

TEST_F(CommandLoopTest, NestedRunReadsOnlyItsOwnText) {
    setCommandHandler("show", [this](CQelDoc& d) {
        ran.push_back(testsupport::describeParsedCommand());
        if (std::string(parameterWords[0]) == "nested") {
            commandBuffer = "set/n1; set/n2";
            d.ExecuteLine();
        } else if (std::string(parameterWords[0]) == "macro") {
            commandBuffer = "macro/name=" + q("n.mac");
            d.ExecuteLine();
        }
        return 1;
    });
    writeFile("n.mac", "set/n3\n");
    writeFile("m.mac", "set/a; show nested; set/b\nshow macro\nset/c\n");
    execute("macro/name=" + q("m.mac"));
    EXPECT_EQ(ran, (Strings{"set/a", "show nested", "set/n1", "set/n2", "set/b", "show macro",
                            "set/n3", "set/c"}));
    EXPECT_EQ(macroTop, 0);
}

TEST_F(CommandLoopTest, ReplicatedCommandsRunOneByOne) {
    setCommandHandler("replicate", [](CQelDoc& d) {
        d.RunReplicatedCommands([](std::FILE* f) { std::fputs("set/r1\nset/r2 x=1\n", f); });
        return 1;
    });
    execute("replicate");
    EXPECT_EQ(ran, (Strings{"set/r1", "set/r2 x=1"}));
    EXPECT_EQ(redefineMode, 0);
    EXPECT_EQ(log(), "replicate\n# > REDEFINED: set/r1\n# > REDEFINED: set/r2 x=1\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename().string().substr(0, 2), "op");
}

TEST_F(CommandLoopTest, IssueFormattedCommand) {
    IssueFormattedCommand(doc.get(), "set/%s %d", "x", 5);
    EXPECT_EQ(ran, (Strings{"set/x [5]"}));
}

TEST_F(CommandLoopTest, ExecuteOperationsDifferInWhatFollows) {
    int after = 0;
    documentSteps().afterRun.push_back([&](CQelDoc&) { ++after; });
    execute("set/a");
    EXPECT_EQ(ui.events, (Strings{"tree", "history", "select"}));
    EXPECT_TRUE(doc->IsModified());
    ui.events.clear();
    doc->SetModifiedFlag(false);
    commandBuffer = "xyz";
    doc->ExecuteCommandAndRedraw();
    EXPECT_EQ(ui.events, (Strings{"tree", "redraw", "history", "select"}));
    EXPECT_FALSE(doc->IsModified()); // an error was reported
    ui.events.clear();
    commandBuffer = "set/b";
    doc->ExecuteLine();
    EXPECT_EQ(ui.events, (Strings{"tree", "select"}));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(after, 3);
}

} // namespace
