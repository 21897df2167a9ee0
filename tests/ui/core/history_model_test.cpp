// The history list read incrementally must equal the list of a full re-read under any writes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "tests/command/test_support.h"
#include "ui/core/history_model.h"

namespace {

// The list as a full read of the file gives it, with the same counter rule.
std::vector<std::string> fullReread(const std::filesystem::path& path, int& count) {
    const auto pieces = splitHistoryPieces(testsupport::readFile(path));
    const long skip = static_cast<long>(count) - kHistoryKeptLines;
    std::vector<std::string> out;
    for (long i = skip > 0 ? skip : 0; i < static_cast<long>(pieces.size()); ++i)
        out.push_back(pieces[static_cast<std::size_t>(i)]);
    count = static_cast<int>(pieces.size());
    return out;
}

void append(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::app | std::ios::binary);
    out << text;
}

} // namespace

TEST(HistoryPieces, LongLinesSplitAt127AndAFullPieceIsFollowedByAnEmptyOne) {
    const std::string l127(127, 'a');
    auto p = splitHistoryPieces(l127 + "\n" + std::string(130, 'b') + "\nend");
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0], l127);
    EXPECT_EQ(p[1], "");
    EXPECT_EQ(p[2], std::string(127, 'b'));
    EXPECT_EQ(p[3], "bbb");
    EXPECT_EQ(p[4], "end");
    EXPECT_TRUE(splitHistoryPieces("").empty());
    EXPECT_EQ(splitHistoryPieces("\n\n").size(), 2u);
}

TEST(HistoryModel, IncrementalReloadsEqualAFullRereadUnderRandomWrites) {
    testsupport::ScratchDir dir;
    const auto path = dir.path() / "screen.out";
    std::mt19937 rng(7);
    HistoryModel model;
    int modelCount = 0, fullCount = 0;
    for (int round = 0; round < 300; ++round) {
        const int writes = static_cast<int>(rng() % 6);
        for (int w = 0; w < writes; ++w) {
            // Lines of every length around the piece size, some left open, some empty.
            const std::size_t length = rng() % 5 == 0 ? 120 + rng() % 20 : rng() % 40;
            std::string text(length, static_cast<char>('a' + rng() % 26));
            if (rng() % 4 != 0) text += '\n';
            append(path, text);
            ++modelCount; // the screen output counts each write
            ++fullCount;
        }
        ASSERT_TRUE(model.reload(path, modelCount));
        const auto expected = fullReread(path, fullCount);
        ASSERT_EQ(model.entries(), expected) << "round " << round;
        ASSERT_EQ(modelCount, fullCount);
        EXPECT_EQ(model.linesShown(), static_cast<int>(expected.size()));
    }
    EXPECT_GT(modelCount, kHistoryKeptLines);
}

TEST(HistoryModel, AMissingFileEmptiesTheListAndKeepsTheCount) {
    testsupport::ScratchDir dir;
    HistoryModel model;
    int count = 17;
    model.addLine("MERIDYN Cleared.");
    EXPECT_FALSE(model.reload(dir.path() / "screen.out", count));
    EXPECT_TRUE(model.entries().empty());
    EXPECT_EQ(count, 17);
}

TEST(HistoryModel, AReplacedFileIsReadFromItsStartAndCountersFollow) {
    testsupport::ScratchDir dir;
    const auto path = dir.path() / "screen.out";
    append(path, "one\ntwo\nthree\n");
    HistoryModel model;
    int count = 0;
    model.reload(path, count);
    EXPECT_EQ(model.linesAdded(), 3);
    model.addLine("added");
    EXPECT_EQ(model.entries().back(), "added");
    std::filesystem::remove(path);
    count = 0;
    model.reload(path, count); // the new document's reload: no file
    append(path, "new\n");
    model.reload(path, count);
    EXPECT_EQ(model.entries(), std::vector<std::string>{"new"});
    EXPECT_EQ(model.linesShown(), 1);
}

TEST(HistoryModel, WithMoreThan200LinesTheListStarts200BeforeThePreviousCount) {
    testsupport::ScratchDir dir;
    const auto path = dir.path() / "screen.out";
    std::string text;
    for (int i = 0; i < 250; ++i)
        text += "line" + std::to_string(i) + "\n";
    append(path, text);
    HistoryModel model;
    int count = 250;
    model.reload(path, count);
    ASSERT_EQ(model.entries().size(), 200u);
    EXPECT_EQ(model.entries().front(), "line50");
    // The count went back (the screen text was counted from 0): the earlier lines show again.
    count = 10;
    model.reload(path, count);
    EXPECT_EQ(model.entries().size(), 250u);
    EXPECT_EQ(model.entries().front(), "line0");
}
