#include <gtest/gtest.h>

#include <cstring>

#include "tests/command/interpreter_fixture.h"

namespace {

using Strings = std::vector<std::string>;
using testsupport::InterpreterTest;

class ReaderTest : public InterpreterTest {};

// --- splitting ---------------------------------------------------------------------------

TEST_F(ReaderTest, SemicolonsSplitAndEmptyCommandsAreSkipped) {
    EXPECT_EQ(readAll("set/fresnel/on; view\n"), (Strings{"set/fresnel/on", "view"}));
    EXPECT_EQ(readAll("a;;b\n;c;\n\n   \nd\n"), (Strings{"a", "b", "c", "d"}));
}

TEST_F(ReaderTest, AmpersandJoinsPhysicalLines) {
    EXPECT_EQ(readAll("define/lens & ignored text\nname=l1\n"), (Strings{"define/lens name=l1"}));
    // A continuation on the last line hands out what was collected, then the end.
    EXPECT_EQ(readAll("define/lens &"), (Strings{"define/lens"}));
}

TEST_F(ReaderTest, OnlyTwoHundredFiftyCharactersOfALineCount) {
    EXPECT_EQ(readAll(std::string(248, 'a') + ";b\n").size(), 2u);
    auto cut = readAll(std::string(250, 'a') + ";b\n");
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0], std::string(20, 'a')); // the command word keeps 20 characters
}

TEST_F(ReaderTest, ALogicalCommandHoldsTwoHundredFiftyOneCharacters) {
    std::string first = "m /v=" + std::string(194, 'x') + "&";
    std::string second(100, 'y');
    typeOnConsole(first + "\n" + second + "\n");
    std::string command;
    int end = 0, error = 0;
    readCommand(command, &end, &error);
    EXPECT_EQ(command, "m /v=" + std::string(194, 'x') + std::string(52, 'y'));
    // Normalisation then works on its first 250 characters.
    parseOne(first + "\n" + second);
    EXPECT_EQ(std::string(quotedStrings[0]), std::string(194, 'x') + std::string(51, 'y'));
}

TEST_F(ReaderTest, LongLinesAreLoggedWholeUpToTheStoredLimit) {
    readAll(std::string(300, 'q') + "\nnext\n");
    std::string log = this->log();
    EXPECT_NE(log.find(std::string(255, 'q') + "\n"), std::string::npos);
    EXPECT_EQ(log.find(std::string(256, 'q')), std::string::npos);
    EXPECT_NE(log.find("next                \n"), std::string::npos);
}

// --- quotes ------------------------------------------------------------------------------

TEST_F(ReaderTest, QuotedTextKeepsSeparatorsAndCase) {
    EXPECT_EQ(readOne("noop \"a;b\" \"c&d\" \"e#f\""), "noop \"a;b\" \"c&d\" \"e#f\"");
    EXPECT_EQ(readOne("show/name=\"My File; x\""), "show/name=My File; x");
    EXPECT_EQ(readOne("noop \"a\"\"b c\""), "noop \"a\"\"b|c\"");
}

TEST_F(ReaderTest, UnclosedQuoteIsClosedWithAWarning) {
    EXPECT_EQ(readOne("show/name=\"abc"), "show/name=abc");
    EXPECT_EQ(screen(), " MD: Warning, quoted string extends past end of line\n MD: ");
}

// --- comments ----------------------------------------------------------------------------

TEST_F(ReaderTest, CommentEndsTheRestOfItsLine) {
    EXPECT_EQ(readAll("echo/on # comment; set/fresnel/on\nview\n"), (Strings{"echo/on", "view"}));
    EXPECT_EQ(readAll("# only a comment\n"), (Strings{" "}));
}

// --- variables ---------------------------------------------------------------------------

TEST_F(ReaderTest, IllegalVariableReferencesAreDropped) {
    EXPECT_EQ(readOne("noop %r51 %x1 x%"), "noop x");
    std::string message = "Illegal variable syntax, variable value ignored\n";
    EXPECT_EQ(screen(), " MD: " + message + message + message + " MD: ");
}

TEST_F(ReaderTest, VariableValuesOfEveryKind) {
    auto& r = readerState();
    r.realVariables[1] = 2.5;
    r.intVariables[2] = 7;
    r.complexVariables[3][0] = 1;
    r.complexVariables[3][1] = -2;
    std::strcpy(r.stringVariables[4], "Lens A  ");
    EXPECT_EQ(readOne("noop /a=%r1 /b=%I2 /c=%cr3 /d=%ci3 %c3 /e=%sq4 /f=%sq5 %s5 \"%i2\""),
              "noop/a=2.5/b=7/c=1/d=-2/e=Lens A/f= \"%i2\" [1,-2]");
    EXPECT_EQ(readOne("noop x%s4"), "noop xlens a");
}

TEST_F(ReaderTest, ExpansionBeyondTheLineLengthIgnoresTheCommand) {
    std::strcpy(readerState().stringVariables[1], std::string(80, 'z').c_str());
    EXPECT_EQ(readOne("show %s1 %s1 %s1 %s1"), "noop");
    EXPECT_EQ(screen(),
              " MD:  Line length exceeded due to variable expansion, command ignored.\n MD: ");
}

TEST_F(ReaderTest, SelfReferringVariableEnds) {
    std::strcpy(readerState().stringVariables[1], "%s1");
    EXPECT_EQ(readOne("show %s1"), "noop");
}

TEST_F(ReaderTest, PercentInACommentIsNotAVariable) {
    EXPECT_EQ(readOne("noop # 50% done, see %x1"), "noop");
    EXPECT_EQ(screen(), " MD:  MD: ");
}

// --- normalisation -----------------------------------------------------------------------

TEST_F(ReaderTest, BlanksCommasTabsAndAssignments) {
    EXPECT_EQ(readOne("  place , object = 3\tx= 1"), "place object=3 x=1");
    EXPECT_EQ(readOne("DEFINE/LENS/Name=\"Big One\""), "define/lens/name=Big One");
    EXPECT_EQ(readOne("set name = \"a b\""), "set name=\"a|b\"");
    EXPECT_EQ(readOne("a/b/c"), "a/b/c");
}

// --- block IF ----------------------------------------------------------------------------

TEST_F(ReaderTest, BlockIfWordsAreMarked) {
    EXPECT_EQ(readOne("if 1 < 2 then"), "IFTHEN < [1,2]");
    EXPECT_EQ(readOne("IF 1 <= 2 THEN"), "IFTHEN <= [1,2]");
    EXPECT_EQ(readOne("else if a = b then"), "LSEIF a = b");
    EXPECT_EQ(readOne("if \"x y\" <> \"x z\" then"), "IFTHEN \"x|y\" <> \"x|z\"");
    EXPECT_EQ(readOne("else"), "ELSE");
    EXPECT_EQ(readOne("end if"), "ENDIF");
    EXPECT_EQ(readOne("endif"), "ENDIF");
    EXPECT_EQ(screen().find("Illegal"), std::string::npos);
}

TEST_F(ReaderTest, IfWithoutThenStaysAnUnknownWord) {
    EXPECT_EQ(readOne("if 1 < 2"), "if < [1,2]");
}

TEST_F(ReaderTest, IllegalConditionsBecomeNoop) {
    EXPECT_EQ(readOne("if a < b then"), "noop");
    EXPECT_EQ(readOne("if 1 = a then"), "noop");
    EXPECT_EQ(readOne("if 1 x 2 then"), "noop");
    EXPECT_EQ(readOne("if 1 ="), "noop");
    EXPECT_EQ(readOne("elseif 1 = 1"), "noop");
    EXPECT_EQ(readOne("if 1 = 1 then go"), "noop");
    std::string illegal = " MD:  Illegal logical expression.  Please re-enter.\n MD: ";
    EXPECT_EQ(screen(),
              illegal + illegal + illegal + illegal +
                  " MD:  Illegal syntax in else if statement.\n MD: " +
                  " MD:  Illegal characters after THEN keyword.  Please re-enter.\n MD: ");
}

// --- numbers -----------------------------------------------------------------------------

TEST_F(ReaderTest, NumbersLeaveTheWordsAndTwentyAreKept) {
    EXPECT_EQ(readOne("noop 12abc 1.2.3 5- 1e3 -.5"), "noop 12abc 1.2.3 5- [1000,-0.5]");
    std::string line = "noop";
    for (int i = 1; i <= 22; ++i)
        line += " " + std::to_string(i);
    parseOne(line);
    EXPECT_EQ(numericGiven[19], 1);
    EXPECT_DOUBLE_EQ(numericValues[19], 20);
    EXPECT_EQ(screen(), " MD:  MD:  MD: ERROR:  Too many numeric parameters.  Excess numerics "
                        "ignored.\n");
}

// --- aliases -----------------------------------------------------------------------------

TEST_F(ReaderTest, AliasesExpandWithSurfaceSuffix) {
    aliasAdd("lens1", "7");
    EXPECT_EQ(readOne("modify lens1.2 Lens1 lens12"), "modify lens12 [7.2,7]");
    readerState().verboseOn = 1;
    readOne("modify Lens1.2");
    EXPECT_NE(screen().find(" =>modify Lens1.2\nLens1.2 <- 7.2\n"), std::string::npos);
}

TEST_F(ReaderTest, AliasExpandedFlagLastsForTheWholeCommand) {
    aliasAdd("lens1", "7");
    parseOne("modify lens1 5 6"); // numbers after the alias must not clear the flag
    EXPECT_EQ(readerState().aliasExpanded, 1);
    parseOne("modify 5 6");
    EXPECT_EQ(readerState().aliasExpanded, 0);
}

TEST_F(ReaderTest, PendingAliasNameIsTheLastNameWord) {
    parseOne("define/lens first second x=1");
    EXPECT_EQ(aliasState().pendingAliasName, "second");
    parseOne("noop");
    EXPECT_EQ(aliasState().pendingAliasName, "");
    parseOne("define/lens mylens query");
    EXPECT_EQ(aliasState().pendingAliasName, "mylens");
    parseOne("define/lens query");
    EXPECT_EQ(aliasState().pendingAliasName, "");
}

TEST_F(ReaderTest, BadAliasNamesAreReported) {
    aliasAdd("foo", "bar");
    aliasAdd("bar", "5");
    parseOne("define/lens abcdefghijklmnopqrs"); // 19 characters: fine
    EXPECT_EQ(aliasState().pendingAliasName, "abcdefghijklmnopqrs");
    parseOne("define/lens abcdefghijklmnopqrst");
    parseOne("define/lens foo");
    parseOne("define/lens my.lens");
    EXPECT_EQ(aliasState().pendingAliasName, "");
    EXPECT_EQ(screen(),
              " MD:  MD: ERROR: Name abcdefghijklmnopqrst is too many characters.  Limit is "
              "19.\n MD: ERROR: Alias is already in use: bar.  Use object number.\n MD: "
              "WARNING: The decimal character . is not allowed in an alias.\n");
}

TEST_F(ReaderTest, AssignmentsAndQuotedWordsAreNoAliasNames) {
    parseOne("set tolerance=0.0000010000000000001 \"/some/very/long/file/name.opt\"");
    EXPECT_EQ(errorOccurred, 0);
    EXPECT_EQ(aliasState().pendingAliasName, "");
}

// --- word splitting ----------------------------------------------------------------------

TEST_F(ReaderTest, CommandWordAndIllegalSlash) {
    EXPECT_EQ(readOne("/lens"), " ");
    EXPECT_EQ(screen(), " MD:  Error in input line, illegal use of /.\n MD: ");
    EXPECT_EQ(readOne("abcdefghijklmnopqrstuvwxyz/on"), "abcdefghijklmnopqrst/on");
    setParsedCommandText("macro /exit /all");
    EXPECT_EQ(testsupport::describeParsedCommand(), "macro/exit/all");
}

// --- sources, logging and echo -----------------------------------------------------------

TEST_F(ReaderTest, ConsoleLinesAreLoggedPaddedAndPrompted) {
    readAll("a\r\n" + std::string(25, 'b') + "\n");
    EXPECT_EQ(log(), "\na                   \n" + std::string(25, 'b') + "\n");
    EXPECT_EQ(screen(), " MD:  MD:  MD: ");
}

TEST_F(ReaderTest, UserInterfaceTextIsLoggedAndEchoed) {
    commandBuffer = "set/fresnel/on";
    commandPending = 1;
    int error = 0;
    readCommandLine(&error);
    EXPECT_EQ(testsupport::describeParsedCommand(), "set/fresnel/on");
    EXPECT_EQ(commandPending, 0);
    EXPECT_TRUE(commandBuffer.empty());
    redefineMode = 1;
    commandBuffer = "define/lens";
    commandPending = 1;
    readCommandLine(&error);
    EXPECT_EQ(log(), "\nset/fresnel/on\n# > REDEFINED: define/lens\n");
    EXPECT_EQ(screen(), "set/fresnel/on\ndefine/lens\n");
}

TEST_F(ReaderTest, OpenLogLineIsEndedBeforeTheNextCommand) {
    logText("# > ERROR:  Macro file x");
    readAll("noop\n");
    EXPECT_EQ(log(), "\n# > ERROR:  Macro file x\nnoop                \n");
}

TEST_F(ReaderTest, EchoOfCommandsAndLines) {
    readerState().echoOn = 1;
    readAll("noop, x # c\n#\n");
    // The end made at the end of the input is echoed like any command.
    EXPECT_EQ(screen(), " MD:  ==>noop x\n MD:  ==>\n MD:  ==>end\n");
}

TEST_F(ReaderTest, EndOfInputGivesEndOrMacroEnd) {
    typeOnConsole("");
    int error = 0;
    readCommandLine(&error);
    EXPECT_EQ(readerState().inputExhausted, 1);
    EXPECT_STREQ(commandWord, "end");
    macroState().macroTop = 1; // a macro level (its stream is not read here)
    readerState().lineConsumed = 1;
    readerState().inputAtEnd = 1;
    readCommandLine(&error);
    EXPECT_EQ(testsupport::describeParsedCommand(), "macro/end");
    macroState().macroTop = 0;
}

} // namespace
