// The STL reader and the import loop on generated files, with the commands recorded.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <limits>

#include "tests/command/test_support.h"
#include "tests/ui/compose/stl_files.h"
#include "ui/compose/stl_import.h"

namespace {

using stltest::Triangle;

class StlReaderTest : public ::testing::Test {
  protected:
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    StlSinks sinks() {
        return {[this](const std::string& c) {
                    commands.push_back(c);
                    return failAt >= 0 && static_cast<int>(commands.size()) - 1 == failAt;
                },
                [this](const std::string& t) { logged += t; },
                [this](const std::string& caption, const std::string& text) {
                    boxes.push_back(caption + "|" + text);
                }};
    }
    // Reads the whole file as the import loop does, without polling.
    StlReader& readAll(const std::string& path, bool binary) {
        reader = std::make_unique<StlReader>(sinks());
        reader->logPath = dir.file("mshwklog.txt");
        reader->startCommand = "polynet/start net refl=1 abs=0 index=1";
        if (binary ? reader->OpenBinary(path) : reader->OpenAscii(path)) {
            int guard = 0;
            while ((binary ? reader->ReadBinary() : reader->ParseAscii()) && ++guard < 1000000) {
            }
            reader->Finish();
        }
        return *reader;
    }
    int count(const std::string& command) const {
        int n = 0;
        for (const auto& c : commands)
            n += c == command;
        return n;
    }

    testsupport::ScratchDir dir;
    std::vector<std::string> commands;
    std::string logged;
    std::vector<std::string> boxes;
    int failAt = -1;
    std::unique_ptr<StlReader> reader;
};

TEST_F(StlReaderTest, SniffingTellsAsciiFromBinary) {
    const auto cube = stltest::cubeTriangles();
    EXPECT_EQ(StlReader::SniffFormat(write("a.stl", stltest::asciiSolid(cube)), sinks()), 1);
    EXPECT_EQ(StlReader::SniffFormat(write("b.stl", stltest::binaryStl(cube)), sinks()), 2);
    // A blank second line: taken for binary.
    EXPECT_EQ(StlReader::SniffFormat(write("c.stl", "solid x\n\n  facet normal 0 0 1\n"), sinks()), 2);
    // Capitals are still ASCII.
    EXPECT_EQ(StlReader::SniffFormat(write("d.stl", "SOLID X\nFACET NORMAL 0 0 1\n"), sinks()), 1);
    EXPECT_EQ(StlReader::SniffFormat(write("e.stl", ""), sinks()), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(StlReader::SniffFormat(dir.file("missing.stl"), sinks()), 0);
    EXPECT_EQ(StlReader::SniffFormat(dir.path().string(), sinks()), 0); // a directory
    // A FIFO nobody writes to is refused at once, never waited on.
    mkfifo(dir.file("pipe.stl").c_str(), 0600);
    EXPECT_EQ(StlReader::SniffFormat(dir.file("pipe.stl"), sinks()), 0);
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], dir.file("missing.stl") + "|Unable to open file.");
}

TEST_F(StlReaderTest, AsciiCubeWritesSixCommandsAFacet) {
    const auto cube = stltest::cubeTriangles();
    auto& r = readAll(write("a.stl", stltest::asciiSolid(cube)), false);
    EXPECT_EQ(r.facetCount, 12);
    EXPECT_EQ(r.warningCount, 0);
    ASSERT_EQ(commands.size(), 2u + 12 * 6);
    EXPECT_EQ(commands.front(), "polynet/start net refl=1 abs=0 index=1");
    EXPECT_EQ(commands[1], "polynet/polygon");
    EXPECT_EQ(commands[2], "poly/chain");
    EXPECT_EQ(commands[3], "poly/poi 0 0 0");
    EXPECT_EQ(commands[4], "poly/poi 1 1 0");
    EXPECT_EQ(commands[6], "polynet/close");
    EXPECT_EQ(commands.back(), "polynet/fin");
    EXPECT_EQ(logged, "Meshwick has commenced processing file.\nEnd of file reached, " +
                          std::to_string(2 + 12 * 7) +
                          " lines, with 0 warning(s).\nProcessed 1 solid(s) - 12 facets "
                          "successfully.\n");
    EXPECT_EQ(testsupport::readFile(dir.file("mshwklog.txt")), logged);
    EXPECT_EQ(r.bytesProcessed, r.fileLength);
    EXPECT_EQ(r.state, 1);
}

TEST_F(StlReaderTest, CapitalsGiveAWarningALineAndNoFacet) {
    auto& r = readAll(write("d.stl", "SOLID X\nFACET NORMAL 0 0 1\nENDSOLID X\n"), false);
    EXPECT_EQ(r.facetCount, 0);
    EXPECT_EQ(r.warningCount, 3);
    EXPECT_NE(logged.find("Expected solid keyword at line 2:\n>FACET NORMAL 0 0 1\n"),
              std::string::npos);
    // Only the start: a net without a facet is left for the import to delete.
    EXPECT_EQ(commands.size(), 1u);
    EXPECT_TRUE(r.netVoid);
}

TEST_F(StlReaderTest, AFourthVertexIsWarnedAndTheFacetKeepsThreeVertices) {
    const auto cube = stltest::cubeTriangles();
    std::string text = "solid x\n" + stltest::asciiFacet(cube[0], "      vertex 9 9 9\n") +
                       "endsolid x\n";
    auto& r = readAll(write("f.stl", text), false);
    EXPECT_EQ(r.facetCount, 1);
    EXPECT_EQ(r.warningCount, 1);
    EXPECT_NE(logged.find("Expected endloop keyword at line 7:"), std::string::npos);
    EXPECT_EQ(count("poly/poi 9 9 9"), 0);
    EXPECT_EQ(commands.size(), 2u + 6);
}

TEST_F(StlReaderTest, TwoSolidsLandInOneNet) {
    const auto cube = stltest::cubeTriangles();
    auto& r = readAll(write("t.stl", stltest::asciiSolid(cube, "a") + stltest::asciiSolid(cube, "b")),
                      false);
    EXPECT_EQ(r.solidCount, 2);
    EXPECT_EQ(r.facetCount, 24);
    EXPECT_EQ(count("polynet/start net refl=1 abs=0 index=1"), 1);
    EXPECT_EQ(count("polynet/fin"), 1);
}

TEST_F(StlReaderTest, BrokenVerticesSkipTheirFacet) {
    const auto cube = stltest::cubeTriangles();
    std::string text = "solid x\n" + stltest::asciiFacet(cube[0]) +
                       "facet normal 0 0 1\nouter loop\nvertex 1 2\nvertex 0 0 0\nvertex 1 1 1\n"
                       "endloop\nendfacet\n" +
                       "facet normal 0 0 1\nouter loop\nvertex 1 2 inf\nvertex 0 0 0\nvertex nan 1 "
                       "1\nendloop\nendfacet\n" +
                       stltest::asciiFacet(cube[1]) + "endsolid x\n";
    auto& r = readAll(write("v.stl", text), false);
    EXPECT_EQ(r.facetCount, 2);
    EXPECT_EQ(r.warningCount, 2); // one a facet
    EXPECT_EQ(count("polynet/polygon"), 2);
}

TEST_F(StlReaderTest, LongLinesAreReadWholeAndCountedOnce) {
    const auto cube = stltest::cubeTriangles();
    std::string text = "solid " + std::string(5000, 'n') + "\r\n" + stltest::asciiFacet(cube[0]) +
                       "endsolid\r\n";
    auto& r = readAll(write("l.stl", text), false);
    EXPECT_EQ(r.lineNumber, 9);
    EXPECT_EQ(r.warningCount, 0);
    EXPECT_EQ(r.facetCount, 1);
    EXPECT_EQ(r.bytesProcessed, static_cast<std::int64_t>(text.size()));
}

TEST_F(StlReaderTest, BinaryCubeWritesTwelveFacetsAnd48BytesEach) {
    auto& r = readAll(write("b.stl", stltest::binaryStl(stltest::cubeTriangles())), true);
    EXPECT_EQ(r.facetCount, 12);
    EXPECT_EQ(r.bytesProcessed, 48 * 12);
    EXPECT_EQ(count("polynet/close"), 12);
    EXPECT_EQ(commands[3], "poly/poi 0 0 0");
}

TEST_F(StlReaderTest, BinaryFloatsKeepTheirDigits) {
    Triangle t{{{0.1f, 1.0f / 3, 1234.5677f}, {1, 0, 0}, {0, 1, 0}}};
    readAll(write("f.stl", stltest::binaryStl({t})), true);
    EXPECT_EQ(commands[3], "poly/poi 0.1 0.33333334 1234.5677");
}

TEST_F(StlReaderTest, BinaryHeadersThatDisagreeWithTheSizeAreRefusedBeforeTheStart) {
    const auto cube = stltest::cubeTriangles();
    // The file, then what is read: -1 refused with a box and no command.
    const struct {
        std::string content;
        long facets;
        long warnings;
    } cases[] = {
        {stltest::binaryStl(cube, 4000000000L), -1, 0},
        {stltest::binaryStl(cube, 0), -1, 0},
        {stltest::binaryStl(cube, 14), -1, 0},
        {stltest::binaryStl(cube, 13), 12, 1}, // one record short: cut, with a warning
        {stltest::binaryStl(cube, 11), 11, 0}, // one record more: the count holds
        {stltest::binaryStl({}, 0), 0, 0},     // the header alone: no facet, net left void
        {"short", -1, 0},
        {"solid x\n\n" + stltest::asciiSolid(cube), -1, 0}, // ASCII taken for binary
    };
    int i = 0;
    for (const auto& c : cases) {
        commands.clear();
        boxes.clear();
        const std::string path = write("c" + std::to_string(i++) + ".stl", c.content);
        auto& r = readAll(path, true);
        if (c.facets < 0) {
            EXPECT_TRUE(commands.empty()) << path;
            ASSERT_EQ(boxes.size(), 1u) << path;
            EXPECT_EQ(boxes[0].rfind(path + "|" + path + " is ", 0), 0u) << boxes[0];
            EXPECT_EQ(r.state, 1);
            continue;
        }
        EXPECT_TRUE(boxes.empty()) << path;
        EXPECT_EQ(r.facetCount, c.facets) << path;
        EXPECT_EQ(r.warningCount, c.warnings) << path;
        EXPECT_EQ(r.netVoid, c.facets == 0) << path;
        EXPECT_EQ(commands.back(), c.facets ? "polynet/fin" : reader->startCommand) << path;
    }
    EXPECT_NE(logged.find("counts 4000000000 triangles, but its 684 bytes hold 12."),
              std::string::npos);
}

TEST_F(StlReaderTest, AShortRecordEndsReading) {
    const std::string path = write("r.stl", stltest::binaryStl(stltest::cubeTriangles()));
    StlReader r(sinks());
    r.logPath = dir.file("mshwklog.txt");
    ASSERT_EQ(r.OpenBinary(path), 1);
    ASSERT_EQ(r.triangleCount, 12u);
    r.triangleCount = 20; // as if the file had shrunk since it was opened
    int records = 0;
    while (r.ReadBinary() && records < 100)
        ++records;
    EXPECT_EQ(r.facetCount, 12);
    EXPECT_EQ(r.warningCount, 1);
    EXPECT_NE(logged.find("record 13 is incomplete"), std::string::npos);
    r.Finish();
    EXPECT_EQ(commands.back(), "polynet/fin");
}

TEST_F(StlReaderTest, NonFiniteBinaryFacetsAreSkipped) {
    auto cube = stltest::cubeTriangles();
    cube[3][1][2] = std::numeric_limits<float>::infinity();
    cube[4][0][0] = std::numeric_limits<float>::quiet_NaN();
    auto& r = readAll(write("n.stl", stltest::binaryStl(cube)), true);
    EXPECT_EQ(r.facetCount, 10);
    EXPECT_EQ(r.warningCount, 2);
    EXPECT_EQ(count("polynet/polygon"), 10);
}

TEST_F(StlReaderTest, ARefusedStartSendsNothingMoreAndALaterErrorFinishesTheNet) {
    const std::string path = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    failAt = 0;
    auto& r = readAll(path, false);
    EXPECT_TRUE(r.startRefused);
    EXPECT_EQ(commands.size(), 1u);
    commands.clear();
    failAt = 8; // the second facet's "poly/chain"
    readAll(path, false);
    ASSERT_EQ(commands.size(), 10u);
    EXPECT_EQ(commands[8], "poly/chain");
    EXPECT_EQ(commands[9], "polynet/fin");
}

class StlImportTest : public StlReaderTest {
  protected:
    StlImportUi ui() {
        StlImportUi u;
        u.chooseFile = [this] { return file; };
        u.askParameters = [this](const StlParameters& preset) {
            asked.push_back(preset);
            return answer;
        };
        auto s = sinks();
        u.runCommand = s.command;
        u.messageBox = s.messageBox;
        u.logLine = s.logLine;
        u.openProgress = [this](StlReader& r) {
            events.push_back(std::string("open ") + (r.binary ? "Binary" : "ASCII"));
        };
        u.refreshProgress = [this](StlReader& r) {
            events.push_back("refresh " + std::to_string(r.facetCount));
        };
        u.closeProgress = [this] { events.push_back("close"); };
        u.escapePending = [this] { return --escapeAfter == 0; };
        return u;
    }
    std::optional<std::string> file;
    std::optional<StlParameters> answer = StlParameters{"cube", 0.5, 0.25, 1.5};
    std::vector<StlParameters> asked;
    std::vector<std::string> events;
    int escapeAfter = -1;
};

TEST_F(StlImportTest, CancelledChoicesSendNothing) {
    auto u = ui();
    EXPECT_EQ(importStl(u, dir.file("mshwklog.txt")).end, StlImportEnd::Cancelled);
    file = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    answer.reset();
    EXPECT_EQ(importStl(u, dir.file("mshwklog.txt")).end, StlImportEnd::Cancelled);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "");
    EXPECT_EQ(asked[0].reflectance, 1.0);
    EXPECT_EQ(asked[0].absorption, 0.0);
    EXPECT_EQ(asked[0].index, 1.0);
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(StlImportTest, AnUnreadableFileIsRefusedBeforeTheParameters) {
    file = write("e.stl", "");
    auto u = ui();
    EXPECT_EQ(importStl(u, dir.file("mshwklog.txt")).end, StlImportEnd::Unreadable);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(boxes, (std::vector<std::string>{*file + "|Unable to read file."}));
}

TEST_F(StlImportTest, TheWholeImportRefreshesEveryTwentyPassesAndClosesTheDialog) {
    file = write("b.stl", stltest::binaryStl(stltest::cubeTriangles()));
    auto u = ui();
    auto result = importStl(u, dir.file("mshwklog.txt"));
    EXPECT_EQ(result.end, StlImportEnd::Finished);
    EXPECT_EQ(result.facets, 12);
    EXPECT_EQ(commands.front(), "polynet/start cube refl=0.5 abs=0.25 index=1.5");
    EXPECT_EQ(events, (std::vector<std::string>{"open Binary", "close"}));

    // 86 ASCII lines: polls at passes 20, 40, 60, 80.
    commands.clear();
    events.clear();
    file = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    result = importStl(u, dir.file("mshwklog.txt"));
    EXPECT_EQ(result.end, StlImportEnd::Finished);
    EXPECT_EQ(events.size(), 6u);
    EXPECT_EQ(events.front(), "open ASCII");
    EXPECT_EQ(events.back(), "close");
}

TEST_F(StlImportTest, EscapeFinishesTheNetWithWhatWasRead) {
    file = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    escapeAfter = 2; // the second poll, at pass 40
    auto u = ui();
    auto result = importStl(u, dir.file("mshwklog.txt"));
    EXPECT_EQ(result.end, StlImportEnd::Escaped);
    EXPECT_EQ(result.facets, 5); // 40 lines read: the solid line and five facets of seven
    EXPECT_EQ(commands.back(), "polynet/fin");
    EXPECT_EQ(events.back(), "close");
}

TEST_F(StlImportTest, ARefusedStartEndsWithTheDialogClosed) {
    file = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    failAt = 0;
    auto u = ui();
    EXPECT_EQ(importStl(u, dir.file("mshwklog.txt")).end, StlImportEnd::Refused);
    EXPECT_EQ(commands.size(), 1u);
    EXPECT_EQ(events.back(), "close");
}

} // namespace
