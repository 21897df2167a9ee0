#include "command/messages/messages.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/scripted_hooks.h"
#include "tests/command/scratch_home_fixture.h"

using testsupport::readFile;

class MessagesTest : public testsupport::ScratchHomeTest {
  protected:
    std::string log() {
        std::fflush(messageState().logFile);
        return readFile(dir.file("meridyn.log"));
    }
    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};
};

TEST_F(MessagesTest, ErrorGoesToChannelAndLogWithPrefixes) {
    errorText(outputChannel, " Macro file %s not found, command ignored.\n", "lamp.mac");
    EXPECT_EQ(screen(), "ERROR:  Macro file lamp.mac not found, command ignored.\n");
    EXPECT_EQ(log(), "\n# > ERROR:  Macro file lamp.mac not found, command ignored.\n");
    EXPECT_EQ(errorOccurred, 1);
    EXPECT_EQ(hooks.beeps, 1);
    EXPECT_TRUE(hooks.boxes.empty());
}

TEST_F(MessagesTest, WarningAndPlainOutput) {
    warningText(outputChannel, "odd %d\n", 3);
    outText(outputChannel, "x=%5.2f\n", 1.5);
    outText(logChannel, "set/fresnel/on\n");
    EXPECT_EQ(screen(), "WARNING: odd 3\nx= 1.50\n");
    EXPECT_EQ(log(), "\n# > WARNING: odd 3\nset/fresnel/on\n");
    EXPECT_EQ(errorOccurred, 0);
}

TEST_F(MessagesTest, ErrorPopupYesRequestsAbort) {
    errorPopup = 1;
    hooks.answers = {true};
    errorText(outputChannel, "bad\n");
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].title, "MERIDYN Input Error - Abort Now?");
    EXPECT_EQ(abortRequest, 1);
    hooks.answers = {false};
    abortRequest = 0;
    errorText(outputChannel, "bad\n");
    EXPECT_EQ(abortRequest, 0);
}

TEST_F(MessagesTest, LongMessagesAreNotCut) {
    std::string name(2000, 'a');
    outText(outputChannel, "%s\n", name.c_str());
    EXPECT_EQ(screen(), name + "\n");
}

TEST_F(MessagesTest, ConsoleBufferKeepsLastElevenLines) {
    for (int i = 0; i < 20; ++i)
        outText(outputChannel, "line %d\n", i);
    auto& s = messageState();
    EXPECT_EQ(s.consoleLines, 11);
    EXPECT_EQ(s.consoleBuffer.substr(0, 7), "line 9\n");
    EXPECT_EQ(s.screenLineCount, 20);
}

TEST_F(MessagesTest, TheConsoleKeepsTheNewestTextOfLongOutputsQuietly) {
    // A text of 64 rows, one longer than the whole buffer, then rows one by one: no box, the
    // newest lines stay, and screen.out receives everything.
    std::string rows;
    for (int i = 0; i < 64; ++i)
        rows += "row " + std::to_string(i) + "\n";
    const std::string wide(3000, 'w');
    outText(outputChannel, "%s", rows.c_str());
    outText(outputChannel, "%s\n", wide.c_str());
    for (int i = 0; i < 30; ++i)
        outText(outputChannel, "%s\n", wide.substr(0, 200).c_str());
    EXPECT_TRUE(hooks.boxes.empty());
    const auto& s = messageState();
    EXPECT_LE(s.consoleBuffer.size(), 1023u);
    EXPECT_EQ(s.consoleBuffer.substr(s.consoleBuffer.size() - 201), wide.substr(0, 200) + "\n");
    EXPECT_EQ(s.consoleLines, static_cast<int>(std::count(s.consoleBuffer.begin(), s.consoleBuffer.end(), '\n')));
    outText(outputChannel, "%s", rows.c_str());
    EXPECT_EQ(s.consoleLines, 11);
    EXPECT_EQ(s.consoleBuffer.substr(0, 7), "row 53\n");
    EXPECT_EQ(screen(), rows + wide + "\n" + [&] {
        std::string t;
        for (int i = 0; i < 30; ++i)
            t += wide.substr(0, 200) + "\n";
        return t;
    }() + rows);
}

TEST_F(MessagesTest, BannerOnlyOnce) {
    startInterpreter();
    printBanner(outputChannel);
    startInterpreter();
    EXPECT_EQ(screen(), "");
    resetMessageState();
    programHome = dir.path().string();
    startInterpreter();
    printBanner(outputChannel);
    EXPECT_EQ(screen(), "\nMERIDYN Version 5.0132\n");
}

TEST_F(MessagesTest, LogLineIsEndedBeforeTheNextCommand) {
    logText("# > ERROR: no end");
    logEnsureLineStart();
    logText("clear\n");
    logEnsureLineStart();
    EXPECT_EQ(log(), "\n# > ERROR: no end\nclear\n");
}

TEST_F(MessagesTest, RemoveLastLineEndJoinsTheMarker) {
    logText("define/lens query\n");
    logRemoveLastLineEnd();
    logText("   marker\n");
    EXPECT_EQ(log(), "\ndefine/lens query   marker\n");
}

TEST_F(MessagesTest, ProgressStepPollsEveryNPlusOneCalls) {
    hooks.escapeOnPoll = 2;
    int seen = 0, calls = 0;
    while (!seen && calls < 100) {
        seen = progressStep(calls, 100, 3);
        ++calls;
    }
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(calls, 8); // polls at calls 4 and 8
    EXPECT_EQ(abortRequest, 1);
}

TEST_F(MessagesTest, DeleteOutputFilesStartsThemAfresh) {
    outText(outputChannel, "a\n");
    outText(logChannel, "b\n");
    deleteOutputFiles();
    outText(outputChannel, "c\n");
    EXPECT_EQ(screen(), "c\n");
    EXPECT_EQ(log(), "");
}

TEST_F(MessagesTest, ConsoleBufferHoldsUpTo1023Characters) {
    // Lines without line ends grow the buffer until it is full.
    std::string piece(100, 'x');
    for (int i = 0; i < 10; ++i)
        outText(outputChannel, "%s", piece.c_str());
    outText(outputChannel, "%s", std::string(22, 'y').c_str());
    EXPECT_TRUE(hooks.boxes.empty());
    EXPECT_EQ(messageState().consoleBuffer.size(), 1022u);
    outText(outputChannel, "z");
    EXPECT_TRUE(hooks.boxes.empty());
    outText(outputChannel, "z");
    // Full: the oldest characters make room, without a box.
    EXPECT_TRUE(hooks.boxes.empty());
    EXPECT_EQ(messageState().consoleBuffer.size(), 1023u);
    EXPECT_EQ(messageState().consoleBuffer.substr(1021), "zz");
}

TEST_F(MessagesTest, DeletingScreenOutForgetsItsLines) {
    outText(outputChannel, "a\nb\n");
    EXPECT_EQ(messageState().screenLineCount, 1);
    deleteOutputFiles();
    EXPECT_EQ(messageState().screenLineCount, 0);
}

TEST_F(MessagesTest, PromptOnlyForTheConsoleAndMarkedForMirrors) {
    std::string mirrored;
    messageState().screenMirror = [&](std::string_view t) {
        if (!messageState().writingPrompt) mirrored += t;
    };
    printPrompt(nullptr, outputChannel); // the console of a windowed program
    printPrompt(stdin, outputChannel);   // not the console stream
    outText(outputChannel, "x\n");
    messageState().screenMirror = nullptr;
    EXPECT_EQ(screen(), " MD: x\n");
    EXPECT_EQ(mirrored, "x\n");
}

TEST_F(MessagesTest, AFlushHoldKeepsMessagesBufferedUntilAFlushOrItsEnd) {
    const std::string logBefore = readFile(dir.file("meridyn.log"));
    {
        OutputFlushHold outer;
        {
            OutputFlushHold inner;
            outText(outputChannel, "polynet/close\n");
            outText(logChannel, "polynet/close\n");
        }
        // The inner hold's end flushes nothing while the outer one lives.
        EXPECT_EQ(readFile(dir.file("screen.out")), "");
        EXPECT_EQ(readFile(dir.file("meridyn.log")), logBefore);
        flushOutputFiles();
        EXPECT_EQ(readFile(dir.file("screen.out")), "polynet/close\n");
        EXPECT_EQ(readFile(dir.file("meridyn.log")), logBefore + "polynet/close\n");
        outText(outputChannel, " MD: ");
        logText("polynet/fin\n");
    }
    EXPECT_EQ(messageState().flushHolds, 0);
    EXPECT_EQ(readFile(dir.file("screen.out")), "polynet/close\n MD: ");
    EXPECT_EQ(readFile(dir.file("meridyn.log")), logBefore + "polynet/close\npolynet/fin\n");
    // Without a hold every message is in the file at once again.
    outText(outputChannel, "x\n");
    EXPECT_EQ(readFile(dir.file("screen.out")), "polynet/close\n MD: x\n");
    // Closing the files writes out what a hold left in them.
    {
        OutputFlushHold hold;
        logText("end\n");
        closeOutputFiles();
    }
    EXPECT_EQ(readFile(dir.file("meridyn.log")), logBefore + "polynet/close\npolynet/fin\nend\n");
}
