// The IGES writer's rules alone: record layout, Hollerith counts and continued global records,
// exponent compaction, the break of a parameter record, units and the empty and one-segment
// files read back by the independent reader.
#include <fstream>
#include <string>

#include "command/settings/settings.h"
#include "display/exchange/iges_writer.h"
#include "tests/display/display_test_support.h"
#include "tests/e2e/iges_reader.h"

namespace {

class IgesWriterTest : public displaytest::PlotTest {
  protected:
    void SetUp() override {
        PlotTest::SetUp();
        resetIgesState();
        resetSettingsState();
    }
    void TearDown() override {
        resetIgesState();
        resetSettingsState();
        PlotTest::TearDown();
    }
    // Converts `records` (the intermediate text) into out.igs; its text.
    std::string convert(const std::string& records) {
        std::ofstream(dir.file("lines.tmp")) << records;
        IgesState& s = igesState();
        s.intermediateFile = dir.file("lines.tmp");
        s.outputDirectory = dir.path().string();
        s.outputName = "out.igs";
        EXPECT_EQ(writeIgesFile(), 1);
        return testsupport::readFile(dir.file("out.igs"));
    }
};

TEST_F(IgesWriterTest, RecordsAndHolleriths) {
    EXPECT_EQ(igesRecord("ab", 'G', 12), "ab" + std::string(70, ' ') + "G0000012\n");
    EXPECT_EQ(igesHollerith(""), " ");
    EXPECT_EQ(igesHollerith("A"), " "); // a one-character header text is left blank
    EXPECT_EQ(igesHollerith("M", true), "1HM");
    EXPECT_EQ(igesHollerith("MERIDYN"), "7HMERIDYN");
    // Counted as written: at most 80 characters.
    EXPECT_EQ(igesHollerith(std::string(100, 'x')), "80H" + std::string(80, 'x'));
    EXPECT_EQ(igesDateStamp().size(), 13u);
    EXPECT_EQ(igesDateStamp()[6], '.');
}

TEST_F(IgesWriterTest, ExponentsAndTheBreakOfAParameterRecord) {
    EXPECT_EQ(compactExponents("1.00000E+010,2.5E-005,3E+00,4E+100"), "1.00000E+10,2.5E-5,3E+0,4E+100");
    EXPECT_EQ(igesLineParameters(1e10, 0, 0, 0, 0, 0),
              " 110,1.00000E+10,0.00000,0.00000,0.00000,0.00000,0.00000;");
    // 64 columns fit one line; a ';' that would stand in column 65 moves with its parameter.
    const std::string fits = std::string(55, '1') + ",2345678;";
    ASSERT_EQ(fits.size(), 64u);
    EXPECT_EQ(splitParameters(fits, 64), std::vector<std::string>{fits});
    const std::string over = std::string(55, '1') + ",23456789;";
    ASSERT_EQ(over.size(), 65u);
    EXPECT_EQ(splitParameters(over, 64),
              (std::vector<std::string>{std::string(55, '1') + ",", "23456789;"}));
    // No number is cut: every piece ends at a delimiter.
    const std::string p = igesLineParameters(-1.23456e10, -2.5e-7, 3.75e20, -4e-30, 5.5, -6e15);
    for (const std::string& piece : splitParameters(p, 64)) {
        EXPECT_LE(piece.size(), 64u);
        EXPECT_TRUE(piece.back() == ',' || piece.back() == ';') << piece;
    }
}

TEST_F(IgesWriterTest, UnitsFollowTheModel) {
    const struct {
        int index, flag;
        const char* name;
    } units[] = {{0, 10, "CM"}, {1, 2, "MM"}, {2, 1, "INCH"}, {3, 6, "M"}};
    for (const auto& u : units) {
        int flag = 0;
        std::string name;
        igesUnits(u.index, flag, name);
        EXPECT_EQ(flag, u.flag);
        EXPECT_EQ(name, u.name);
    }
}

TEST_F(IgesWriterTest, EmptyFileHasStartGlobalAndTerminateOnly) {
    const igestest::IgesFile f = igestest::readIges(convert(""));
    ASSERT_EQ(f.error, "");
    EXPECT_EQ(f.counts[0], 1);
    EXPECT_EQ(f.counts[1], 10);
    EXPECT_EQ(f.counts[2], 0);
    EXPECT_EQ(f.counts[3], 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("lines.tmp")));
}

TEST_F(IgesWriterTest, OneSegmentAndACutLabel) {
    currentUnit = 1;
    const std::string text = convert("7 RayData\n110 1 2 3 4 5 6\n3 lightsource\n110 0 0 0 1e10 0 0\n"
                                     "5 half\n110 1 2");
    const igestest::IgesFile f = igestest::readIges(text);
    ASSERT_EQ(f.error, "");
    ASSERT_EQ(f.entities.size(), 2u); // the cut-off third entity is not written
    EXPECT_EQ(f.entities[0].parameters, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(f.entities[0].colour, 7);
    EXPECT_EQ(f.entities[0].label, "RayData");
    EXPECT_EQ(f.entities[0].parameterPointer, 1);
    EXPECT_EQ(f.entities[1].label, "lightsou"); // eight columns
    EXPECT_EQ(f.entities[1].parameters[3], 1e10);
    EXPECT_EQ(f.global[13], "2");
    EXPECT_EQ(f.global[14], "MM");
    EXPECT_EQ(f.counts[2], 4);
    EXPECT_EQ(f.counts[3], 2);
}

TEST_F(IgesWriterTest, LongHeaderTextsContinueOnTheNextGlobalRecord) {
    igesState().header.author = std::string(90, 'a');
    const std::string text = convert("1 x\n110 0 0 0 1 1 1\n");
    const igestest::IgesFile f = igestest::readIges(text);
    ASSERT_EQ(f.error, "");
    EXPECT_EQ(f.counts[1], 11); // "80H", 80 letters and "," take two records
    EXPECT_EQ(f.global[20], std::string(80, 'a'));
}

TEST_F(IgesWriterTest, RefusedTargetsAndMissingInput) {
    igesState().intermediateFile = dir.file("none.tmp");
    igesState().outputName = dir.file("out.igs");
    EXPECT_EQ(writeIgesFile(), 0);
    EXPECT_NE(screen().find("Error opening intermediate file."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.igs")));
    std::filesystem::create_symlink("/dev/null", dir.file("link.igs"));
    std::ofstream(dir.file("lines.tmp")) << "";
    igesState().intermediateFile = dir.file("lines.tmp");
    igesState().outputName = dir.file("link.igs");
    EXPECT_EQ(writeIgesFile(), 0);
    EXPECT_NE(screen().find("Error opening iges output file."), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.igs")));
}

} // namespace
