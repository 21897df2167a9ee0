#include "command/interpreter/parsed_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "command/interpreter/aliases.h"
#include "command/interpreter/reader.h"
#include "platform/scripted_hooks.h"
#include "tests/command/scratch_home_fixture.h"

namespace {

const char* const kShapes[] = {"lens", "mirror", "prism", "rod", "radiometer", " "};
const char* const kXNames[] = {"x", "xmax", "y", " "};

class ParsedCommandTest : public testsupport::ScratchHomeTest {
  protected:
    void SetUp() override {
        ScratchHomeTest::SetUp();
        resetReaderState();
    }
    void TearDown() override {
        if (console) std::fclose(console);
        ScratchHomeTest::TearDown();
    }
    // Makes `text` what the console types from now on.
    void typeOnConsole(const std::string& text) {
        typed = text;
        console = fmemopen(typed.data(), typed.size(), "r");
        messageState().consoleStream = console;
        readerState().inputStream = console;
    }
    std::string log() { return testsupport::readFile(dir.file("meridyn.log")); }

    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};
    std::string typed;
    std::FILE* console = nullptr;
};

TEST(ParseNumber, AcceptsOnlyWholeDecimalNumbers) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"5", true, 5},        {"-5", true, -5},      {"+.5", true, 0.5}, {"1.", true, 1},
        {"1.5e3", true, 1500}, {"2D-2", true, 0.02},  {"3d2", true, 300}, {"1E+2", true, 100},
        {"12abc", false, 0},   {"1.2.3", false, 0},   {"5-", false, 0},   {"-", false, 0},
        {".", false, 0},       {"1e", false, 0},      {"e5", false, 0},   {"", false, 0},
        {"1e999", true, HUGE_VAL}, {" 5", false, 0},      {"5 ", false, 0},   {"0x10", false, 0},
        {"inf", false, 0},     {"1e-400", true, 0.0}, {"--5", false, 0},
    };
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_EQ(parseNumber(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

TEST(ParseNumber, LongNumbersAreReadWhole) {
    double v = 0;
    ASSERT_TRUE(parseNumber("123456789012345678901234", &v));
    EXPECT_DOUBLE_EQ(v, 1.23456789012345678901234e23);
    ASSERT_TRUE(parseNumber("-1.2345678901234567e-100", &v));
    EXPECT_DOUBLE_EQ(v, -1.2345678901234567e-100);
}

TEST_F(ParsedCommandTest, MatchKeywordByUniquePrefix) {
    char word[21] = "mi";
    EXPECT_EQ(matchKeyword(word, kShapes, "shape"), 1);
    EXPECT_STREQ(word, "mirror");
    std::strcpy(word, "rad ignored");
    EXPECT_EQ(matchKeyword(word, kShapes, "shape"), 1);
    EXPECT_STREQ(word, "radiometer");
    std::strcpy(word, " ");
    EXPECT_EQ(matchKeyword(word, kShapes, "shape"), 0); // nothing significant: silent miss
    EXPECT_EQ(screen(), "");
}

TEST_F(ParsedCommandTest, MatchKeywordReportsAmbiguityAndUnknownWords) {
    char word[21] = "r";
    EXPECT_EQ(matchKeyword(word, kShapes, "shape"), 0);
    EXPECT_STREQ(word, "r");
    std::strcpy(word, "xyz");
    EXPECT_EQ(matchKeyword(word, kShapes, "command"), 0);
    EXPECT_EQ(screen(), "ERROR:  r is ambiguous against radiometer and rod\n"
                        "ERROR: The command xyz is not known.\n"
                        "Please check the manual for the correct syntax.\n");
    EXPECT_EQ(errorOccurred, 1);
}

TEST_F(ParsedCommandTest, SilentLabelReportsNothing) {
    char word[21] = "r";
    EXPECT_EQ(matchKeyword(word, kShapes, " "), 0);
    std::strcpy(word, "xyz");
    EXPECT_EQ(matchKeyword(word, kShapes, " "), 0);
    EXPECT_EQ(screen(), "");
    EXPECT_EQ(errorOccurred, 0);
}

TEST_F(ParsedCommandTest, ExactMatchHasNoPriority) {
    const char* const table[] = {"set", "setup", " "};
    char word[21] = "set";
    EXPECT_EQ(matchKeyword(word, table, " "), 0);
    std::strcpy(word, "setu");
    EXPECT_EQ(matchKeyword(word, table, " "), 1);
    EXPECT_STREQ(word, "setup");
}

TEST_F(ParsedCommandTest, WordsLongerThanTwentyCompareTwentyCharacters) {
    const char* const table[] = {"abcdefghijklmnopqrst", " "};
    char word[32] = "abcdefghijklmnopqrstuvw";
    EXPECT_EQ(matchKeyword(word, table, "x"), 1);
    EXPECT_STREQ(word, "abcdefghijklmnopqrst");
}

TEST_F(ParsedCommandTest, ModifierValuesNumbersAndIllegalValues) {
    splitModifiersAndParameters(" /radius=5 /depth=-5 /width=5x /Name=\"My|Lens\"\"s\"");
    ASSERT_EQ(modifierCount, 4);
    EXPECT_STREQ(modifierWords[0], "radius");
    EXPECT_STREQ(quotedStrings[0], "5");
    EXPECT_EQ(modifierHasValue[0], 1);
    EXPECT_EQ(modifierNumberGiven[0], 1);
    EXPECT_DOUBLE_EQ(modifierNumber[0], 5.0);
    EXPECT_STREQ(quotedStrings[1], "-5");
    EXPECT_EQ(modifierNumberGiven[1], 0);
    EXPECT_EQ(modifierHasValue[2], 0);
    EXPECT_STREQ(quotedStrings[2], "");
    EXPECT_STREQ(modifierWords[3], "name");
    EXPECT_STREQ(quotedStrings[3], "My Lens\"s");
    EXPECT_EQ(screen(), " Illegal value assigned to modifier width .  Value ignored.\n");
}

TEST_F(ParsedCommandTest, ModifiersAnywhereAndEmptyNames) {
    splitModifiersAndParameters(" lens1 /on x=3 / \"Some|File\"");
    ASSERT_EQ(modifierCount, 2);
    EXPECT_STREQ(modifierWords[0], "on");
    EXPECT_STREQ(modifierWords[1], " ");
    EXPECT_STREQ(parameterWords[0], "lens1");
    EXPECT_STREQ(parameterWords[1], "x=3");
    EXPECT_STREQ(parameterWords[2], "\"Some|File\"");
    EXPECT_STREQ(parameterWords[3], " ");
}

TEST_F(ParsedCommandTest, LimitsOfModifiersWordsAndValues) {
    std::string text;
    for (int i = 0; i < 22; ++i)
        text += " /m" + std::to_string(i);
    for (int i = 0; i < 22; ++i)
        text += " W" + std::to_string(i);
    text += " /veryveryverylongmodifiername";
    splitModifiersAndParameters(text);
    EXPECT_EQ(modifierCount, 20);
    EXPECT_STREQ(modifierWords[19], "m19");
    EXPECT_STREQ(parameterWords[0], "w0");
    EXPECT_STREQ(parameterWords[19], "w19");
    EXPECT_STREQ(parameterWords[20], " ");
    EXPECT_EQ(screen(), ""); // the excess is dropped without a message

    clearParsedCommand();
    std::string longValue(300, 'a');
    std::string longWord(60, 'b');
    splitModifiersAndParameters(" /name=\"" + longValue + "\" " + longWord +
                                " /abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(std::string(quotedStrings[0]), std::string(255, 'a'));
    EXPECT_STREQ(modifierWords[1], "abcdefghijklmnopqrst");
    EXPECT_EQ(std::string(parameterWords[0]), std::string(40, 'b'));
}

TEST_F(ParsedCommandTest, UnclosedQuotedValueRunsToTheEnd) {
    splitModifiersAndParameters(" /name=\"a|b");
    EXPECT_STREQ(quotedStrings[0], "a b");
    EXPECT_EQ(screen(), " Warning, quoted string extends past end of line.\n");
}

TEST_F(ParsedCommandTest, GetModifierFindsTheFirstMatch) {
    splitModifiersAndParameters(" /on /mir");
    int found = 0, several = 0, index = -1;
    getModifier(kShapes, &found, &several, &index, "shape");
    EXPECT_EQ(found, 1);
    EXPECT_EQ(several, 0);
    EXPECT_EQ(index, 1);
    EXPECT_STREQ(modifierWords[1], "mirror");
    EXPECT_STREQ(modifierWords[0], "on");
}

TEST_F(ParsedCommandTest, GetModifierWarnsAboutSeveralUnlessAllowed) {
    splitModifiersAndParameters(" /lens /prism /rod");
    int found = 0, several = 0, index = -1;
    getModifier(kShapes, &found, &several, &index, "shape");
    EXPECT_EQ(found, 1);
    EXPECT_EQ(several, 1);
    EXPECT_EQ(index, 0);
    EXPECT_STREQ(modifierWords[2], "rod"); // the search ended at the second match
    several = 1;
    getModifier(kShapes, &found, &several, &index, "shape");
    EXPECT_EQ(several, 1);
    EXPECT_EQ(screen(), "WARNING:  Multiple matches found for shape modifier\n");
    EXPECT_EQ(log(), "\n# > WARNING:  Multiple matches found for shape modifier\n");
}

TEST_F(ParsedCommandTest, GetModifierIgnoresAmbiguousModifiersSilently) {
    splitModifiersAndParameters(" /r");
    int found = 1, several = 0, index = 7;
    getModifier(kShapes, &found, &several, &index, "shape");
    EXPECT_EQ(found, 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(screen(), "");
}

TEST_F(ParsedCommandTest, DoubleQuestionMarkAsksForTheModifier) {
    typeOnConsole("Pri\n");
    splitModifiersAndParameters(" /??");
    int found = 0, several = 0, index = -1;
    getModifier(kShapes, &found, &several, &index, "shape");
    EXPECT_EQ(found, 1);
    EXPECT_EQ(index, 1);
    EXPECT_STREQ(modifierWords[1], "prism");
    EXPECT_EQ(screen(), "\nOptions: lens mirror prism rod radiometer \nEnter modifier: MD: ");
}

TEST_F(ParsedCommandTest, ListOptionsEightPerLine) {
    const char* const table[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", " "};
    listOptions(table);
    EXPECT_EQ(screen(), "\nOptions: a b c d e f g h \nOptions: i \n");
}

TEST_F(ParsedCommandTest, EchoParsedCommand) {
    std::strcpy(commandWord, "define");
    splitModifiersAndParameters(" /lens l1 x=2");
    echoParsedCommand(outputChannel);
    EXPECT_EQ(screen(), "==>define/lens l1  x=2 \n");
}

TEST_F(ParsedCommandTest, NamedAssignmentsOverwritePositions) {
    splitModifiersAndParameters(" y=7 xm=2e1 =4");
    numericValues[0] = 1;
    numericGiven[0] = 1;
    numericValues[1] = 3;
    numericGiven[1] = 1;
    getNumericValues(numericValues, kXNames, 3, numericGiven);
    EXPECT_DOUBLE_EQ(numericValues[0], 1);
    EXPECT_DOUBLE_EQ(numericValues[1], 20);
    EXPECT_DOUBLE_EQ(numericValues[2], 7);
    EXPECT_EQ(numericGiven[2], 1);
    EXPECT_EQ(screen(), "");
}

TEST_F(ParsedCommandTest, AmbiguousUnknownAndNonNumericAssignments) {
    splitModifiersAndParameters(" x=1 z=2 y=abc lens1");
    double values[3] = {-1, -1, -1};
    int given[3] = {};
    getNumericValues(values, kXNames, 3, given);
    EXPECT_EQ(given[0] + given[1] + given[2], 0);
    EXPECT_DOUBLE_EQ(values[2], -1);
    EXPECT_EQ(screen(), " ambigious assignment: x=1\n nonexistent assignment: z=2\n");
}

TEST_F(ParsedCommandTest, AssignmentBeyondCountIsNonexistent) {
    splitModifiersAndParameters(" y=1");
    double values[3] = {};
    int given[3] = {};
    getNumericValues(values, kXNames, 2, given);
    EXPECT_EQ(given[2], 0);
    EXPECT_EQ(screen(), " nonexistent assignment: y=1\n");
}

TEST_F(ParsedCommandTest, QueryAsksForEachValueAndMarksTheLog) {
    aliasAdd("lamp", "4");
    typeOnConsole("12\n\nLamp\nabc\n");
    const char* const names[] = {"radius", "thickness", "object", "index", " "};
    logText("define/lens query\n");
    splitModifiersAndParameters(" /lens query");
    double values[4] = {0, 5, 0, 1.5};
    int given[4] = {};
    getNumericValues(values, names, 4, given);
    EXPECT_DOUBLE_EQ(values[0], 12);
    EXPECT_EQ(given[0], 1);
    EXPECT_DOUBLE_EQ(values[1], 5);
    EXPECT_EQ(given[1], 0);
    EXPECT_DOUBLE_EQ(values[2], 4);
    EXPECT_EQ(given[2], 1);
    EXPECT_DOUBLE_EQ(values[3], 1.5);
    EXPECT_EQ(given[3], 0);
    std::string pad30(30, ' '), pad50(50, ' ');
    EXPECT_EQ(log(), "\ndefine/lens query" + pad30 + "#$$$ QUERY ASSIGNMENT\n" +
                         "12                  " + pad30 + "#$$$ radius=\n" +
                         "4                   " + pad30 + "#$$$ object=\n" + pad50 +
                         "#$$$ END OF QUERY ASSIGNMENT\n");
    EXPECT_EQ(screen(), " You will be asked to enter a numeric value for each parameter\n"
                        " To use the default value, hit a carriage return.\n"
                        "Enter a value for radius    \n"
                        "Enter a value for thickness    \n"
                        "Enter a value for object    \n"
                        "Enter a value for index    \n");
    EXPECT_EQ(messageState().promptText, "MD: ");
}

TEST_F(ParsedCommandTest, QueryAtEndOfInputKeepsDefaults) {
    splitModifiersAndParameters(" ?");
    double values[2] = {3, 4};
    int given[2] = {};
    getNumericValues(values, kXNames, 2, given);
    EXPECT_DOUBLE_EQ(values[0], 3);
    EXPECT_DOUBLE_EQ(values[1], 4);
    EXPECT_EQ(given[0] + given[1], 0);
}

TEST_F(ParsedCommandTest, TourWalksEveryPathOfTwoLevels) {
    const char* const first[] = {"a", "b", "c", " "};
    const char* const second[] = {"x", "y", " "};
    auto& tour = tourState();
    tour.on = 1;
    std::set<std::string> paths;
    int runs = 0;
    for (;;) {
        clearParsedCommand();
        tour.level = 0;
        tour.line = "cmd";
        int found = 0, several = 0, index = 0;
        getModifier(first, &found, &several, &index, "first");
        ASSERT_EQ(found, 1);
        getModifier(second, &found, &several, &index, "second");
        ASSERT_EQ(found, 1);
        EXPECT_EQ(modifierCount, 2);
        paths.insert(tour.line);
        ++runs;
        bool more = false;
        for (int l = 0; l < 9; ++l)
            if (tour.index[l] < tour.count[l]) more = true;
        if (!more || runs > 20) break;
    }
    EXPECT_EQ(runs, 6);
    EXPECT_EQ(paths, (std::set<std::string>{"cmd/a/x", "cmd/a/y", "cmd/b/x", "cmd/b/y", "cmd/c/x",
                                            "cmd/c/y"}));
}

TEST_F(ParsedCommandTest, TourEleventhLevelStopsTheTour) {
    const char* const table[] = {"a", " "};
    auto& tour = tourState();
    tour.on = 1;
    tour.line = "t";
    int found = 0, several = 0, index = 0;
    for (int i = 0; i < 10; ++i)
        getModifier(table, &found, &several, &index, "x");
    EXPECT_EQ(tour.on, 1);
    getModifier(table, &found, &several, &index, "x");
    EXPECT_EQ(found, 0);
    EXPECT_EQ(tour.on, 0);
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].text, "Tour Error. t/a/a/a/a/a/a/a/a/a/a\n");
    const char* const names[] = {"p", "q", " "};
    tour.on = 1;
    tour.line.clear();
    getNumericValues(numericValues, names, 2, numericGiven);
    EXPECT_EQ(tour.line, " p q");
}

} // namespace
