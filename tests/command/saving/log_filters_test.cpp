// The three log filters on hand-made logs: what each keeps and drops, trailing blanks, long
// lines and the folding of query blocks at both marker columns.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "command/saving/log_filters.h"
#include "tests/command/test_support.h"

namespace {

using Filter = void (*)(std::FILE*, std::FILE*);

std::string run(Filter filter, const std::string& log) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fwrite(log.data(), 1, log.size(), in);
    std::rewind(in);
    filter(in, out);
    std::fclose(in);
    return testsupport::readBack(out);
}

const std::string kLog = "clear\n"
                         "define/lens mylens 100 -100 10 50 1.5\n"
                         "# a user comment    \n"
                         "# > ERROR: something failed\n"
                         "# > REDEFINED: define/rod\n"
                         "macro/name=\"m.mac\"\n"
                         "save/name=x.opt\n"
                         "exit\n"
                         "retrieve\n"
                         "noop  \n"
                         "polynet/start net1\n"
                         "polynet/point 1 2 3\n"
                         "not a command at all\n"
                         "   PLACE/object/global mylens 0 0 1\n"
                         "\n";

TEST(LogFilters, CompressedKeepsUserCommentsAndNoopsOnly) {
    EXPECT_EQ(run(saveLogCompressed, kLog), "# a user comment\nnoop\n");
}

TEST(LogFilters, PolynetsKeepsTheNetLinesOnly) {
    EXPECT_EQ(run(saveLogPolynets, kLog), "polynet/start net1\npolynet/point 1 2 3\n");
}

TEST(LogFilters, CompleteKeepsCommentsAndCommandsButNotMacroSaveExitRetrieve) {
    EXPECT_EQ(run(saveLogComplete, kLog), "clear\n"
                                          "define/lens mylens 100 -100 10 50 1.5\n"
                                          "# a user comment\n"
                                          "# > ERROR: something failed\n"
                                          "# > REDEFINED: define/rod\n"
                                          "noop\n"
                                          "polynet/start net1\n"
                                          "polynet/point 1 2 3\n"
                                          "   PLACE/object/global mylens 0 0 1\n");
}

TEST(LogFilters, AbbreviatedKeywordsAreRecognised) {
    EXPECT_EQ(run(saveLogPolynets, "poly/start a\npolynetx 1\nre 1\n"), "poly/start a\n");
    // "re" is ambiguous: no keyword, so the complete form drops it.
    EXPECT_EQ(run(saveLogComplete, "re 1\nrep/newname=b 1\n"), "rep/newname=b 1\n");
}

TEST(LogFilters, LongLinesStayWhole) {
    const std::string longLine = "noop " + std::string(600, 'x');
    EXPECT_EQ(run(saveLogCompressed, longLine + "\n"), longLine + "\n");
    const std::string comment = "# " + std::string(400, 'c');
    EXPECT_EQ(run(saveLogComplete, comment + "\ndefine/axis\n"), comment + "\ndefine/axis\n");
}

TEST(LogFilters, QueryBlocksFoldAtEitherMarkerColumn) {
    // A macro line is padded to 20 characters, which puts the marker at column 50; a typed line
    // is not.
    const std::string macroBlock = "polynet/point ?     "
                                   "                              #$$$ QUERY ASSIGNMENT\n"
                                   "1                                                 #$$$ x=\n"
                                   "2.5                                               #$$$ y=\n"
                                   "                                                  #$$$ END OF "
                                   "QUERY ASSIGNMENT\n";
    const std::string typedBlock = "polynet/point ?                              #$$$ QUERY "
                                   "ASSIGNMENT\n"
                                   "-4                                                #$$$ z=\n"
                                   "                                                  #$$$ END OF "
                                   "QUERY ASSIGNMENT\n";
    EXPECT_EQ(run(saveLogPolynets, macroBlock + typedBlock),
              "polynet/point x=1 y=2.5\npolynet/point z=-4\n");
    EXPECT_EQ(run(saveLogComplete, macroBlock), "polynet/point x=1 y=2.5\n");
    // A dropped command drops its answers with it.
    EXPECT_EQ(run(saveLogCompressed, macroBlock + "# kept\n"), "# kept\n");
}

TEST(LogFilters, QueryWordFoldsAndKeepsTheWordsAfterIt) {
    const std::string block = "noop query extra                   #$$$ QUERY ASSIGNMENT\n"
                              "7                                                 #$$$ a=\n"
                              "                                                  #$$$ END OF "
                              "QUERY ASSIGNMENT\n";
    EXPECT_EQ(run(saveLogCompressed, block), "noop extra a=7\n");
}

TEST(LogFilters, AnUnclosedQueryBlockEndsItsLine) {
    const std::string block = "noop ?                             #$$$ QUERY ASSIGNMENT\n"
                              "7                                                 #$$$ a=\n"
                              "# after\n";
    EXPECT_EQ(run(saveLogCompressed, block), "noop a=7\n# after\n");
    EXPECT_EQ(run(saveLogCompressed, "noop ?      #$$$ QUERY ASSIGNMENT\n"), "noop\n");
}

} // namespace
