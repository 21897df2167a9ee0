#include "command/settings/color_tables.h"

#include <fstream>

#include "tests/command/settings_fixture.h"

namespace {

using testsupport::readFile;

class ColorTables : public testsupport::SettingsFixture {
  protected:
    std::vector<int> table() {
        std::vector<int> t;
        for (int i = 0; i < kColorCount; ++i)
            t.push_back(colorLut(i));
        return t;
    }
    void writeColors(const std::string& text) { std::ofstream("colors.opt") << text; }
};

TEST_F(ColorTables, SelectionAndListing) {
    EXPECT_EQ(colorLut(0), 0);
    EXPECT_EQ(colorLut(7), 7);
    listColorTable();
    EXPECT_EQ(screen(), "Color mapped mode.\n0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 \n");

    selectColorTable(kBlackOnWhite);
    clearScreen();
    listColorTable();
    EXPECT_EQ(screen(),
              "Colors mapped to monochrome.\n0 15 15 15 15 15 15 15 15 15 15 15 15 15 15 15 \n");

    selectColorTable(kWhiteOnBlack);
    EXPECT_EQ(table(), std::vector<int>(16, 0));
    clearScreen();
    listColorTable();
    EXPECT_EQ(screen().substr(0, 29), "Colors mapped to monochrome.\n");

    selectColorTable(7); // anything else: the colour-mapped table
    EXPECT_EQ(colorLut(5), 5);
    // Out-of-range indices are clamped, never read past the table.
    EXPECT_EQ(colorLut(-3), 0);
    EXPECT_EQ(colorLut(99), 15);
}

TEST_F(ColorTables, EntriesAndRefusals) {
    EXPECT_EQ(setColorMapEntry(12, 3), 1);
    EXPECT_EQ(colorLut(3), 12);
    auto before = table();
    EXPECT_EQ(setColorMapEntry(16, 3), 0);
    EXPECT_EQ(setColorMapEntry(2, -1), 0);
    EXPECT_EQ(setColorMapEntry(-1, 2), 0);
    EXPECT_EQ(setColorMapEntry(2, 16), 0);
    EXPECT_EQ(table(), before);
    std::string refusal = "ERROR:  Color numbers must be 0 to 15.  Command ignored.\n";
    EXPECT_EQ(screen(), refusal + refusal + refusal + refusal);
    // The black-on-white table is not editable: entries change the mapped table only.
    selectColorTable(kBlackOnWhite);
    setColorMapEntry(4, 0);
    EXPECT_EQ(colorLut(0), 0);
    selectColorTable(kColorMapped);
    EXPECT_EQ(colorLut(0), 4);
    resetColorMap();
    EXPECT_EQ(table(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST_F(ColorTables, SaveLoadRoundTrip) {
    setColorMapEntry(12, 3);
    setColorMapEntry(0, 15);
    ASSERT_EQ(saveColorMap(), 1);
    EXPECT_EQ(readFile("colors.opt"), "0\n1\n2\n12\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n0\n");
    resetColorMap();
    selectColorTable(kBlackOnWhite);
    ASSERT_EQ(loadColorMap(), 1);
    EXPECT_EQ(colorTableState().current, kColorMapped); // loading selects the mapped table
    EXPECT_EQ(colorLut(3), 12);
    EXPECT_EQ(colorLut(15), 0);
}

TEST_F(ColorTables, LoadAcceptsBlanksAndExtraLines) {
    writeColors(" 1\n2 \n3\r\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n0\nrubbish\n");
    ASSERT_EQ(loadColorMap(), 1);
    EXPECT_EQ(colorLut(0), 1);
    EXPECT_EQ(colorLut(15), 0);
    writeColors("0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15"); // no final line end
    EXPECT_EQ(loadColorMap(), 1);
}

TEST_F(ColorTables, BadFilesChangeNothing) {
    setColorMapEntry(9, 1);
    selectColorTable(kWhiteOnBlack);
    auto check = [&](const char* what) {
        EXPECT_EQ(loadColorMap(), 0) << what;
        EXPECT_EQ(colorTableState().current, kWhiteOnBlack) << what;
        EXPECT_EQ(colorTableState().mapped[1], 9) << what;
        EXPECT_EQ(colorTableState().mapped[2], 2) << what;
    };
    check("missing");
    writeColors("0\n1\n2\n");
    check("short");
    writeColors("0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n16\n");
    check("out of range");
    writeColors("0\n1\n-2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n");
    check("negative");
    writeColors("0\n1\n2.5\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n");
    check("fraction");
    writeColors("0\n\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n");
    check("empty line");
    writeColors("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n");
    check("one line");
    writeColors("00000000000000000000000000000001\n" + std::string(15, '\n'));
    check("long digits");
}

TEST_F(ColorTables, SaveFailureIsReported) {
    std::filesystem::create_directory("colors.opt"); // cannot be opened as a file
    EXPECT_EQ(saveColorMap(), 0);
}

} // namespace
