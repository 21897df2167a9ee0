#include <set>
#include <tuple>

#include "display/plot/plot_files.h"
#include "display/raster/recording_surface.h"
#include "display/plot/stroke_font.h"
#include "tests/display/display_test_support.h"

namespace {

using displaytest::PlotTest;
using Lines = std::vector<std::string>;

// A glyph's words as (pen down, x, y).
using Stroke = std::tuple<bool, int, int>;
std::vector<Stroke> strokesOf(char c) {
    const StrokeGlyphEntry* g = findStrokeGlyph(strokeFont, static_cast<unsigned char>(c));
    std::vector<Stroke> out;
    if (!g) return out;
    for (int i = g->firstWord;; ++i) {
        StrokePoint p = decodeStrokeWord(strokeFont.words[i]);
        out.emplace_back(p.penDown, p.x, p.y);
        if (p.last) break;
    }
    return out;
}

constexpr bool M = false, D = true;

TEST(StrokeFontTable, GivenGlyphsAreExact) {
    EXPECT_EQ(strokesOf('!'), (std::vector<Stroke>{{M, 0, 16}, {D, 0, 10}, {M, 0, 4}, {D, 0, 6}}));
    EXPECT_EQ(strokesOf('-'), (std::vector<Stroke>{{M, 0, 10}, {D, 6, 10}}));
    EXPECT_EQ(strokesOf('+'), (std::vector<Stroke>{{M, 4, 6}, {D, 4, 14}, {M, 0, 10}, {D, 8, 10}}));
    EXPECT_EQ(strokesOf('A'), (std::vector<Stroke>{{M, 0, 4},
                                                   {D, 0, 14},
                                                   {D, 2, 16},
                                                   {D, 4, 16},
                                                   {D, 6, 14},
                                                   {D, 6, 4},
                                                   {M, 0, 8},
                                                   {D, 6, 8}}));
    EXPECT_EQ(strokesOf('.'), (std::vector<Stroke>{{M, 0, 4}, {D, 0, 4}}));
    EXPECT_EQ(findStrokeGlyph(strokeFont, '-')->halfWidth, 3);
    EXPECT_EQ(findStrokeGlyph(strokeFont, '+')->halfWidth, 4);
    EXPECT_EQ(findStrokeGlyph(strokeFont, 'A')->halfWidth, 3);
    EXPECT_EQ(findStrokeGlyph(strokeFont, '.')->halfWidth, 0);
}

TEST(StrokeFontTable, RecordAndGlyphTableAreConsistent) {
    EXPECT_EQ(strokeFont.blankHalfAdvance, 4);
    EXPECT_EQ(strokeFont.cellHeight, 8);
    EXPECT_EQ(strokeFont.firstChar, 33);
    EXPECT_EQ(strokeFont.lastChar, 126);
    EXPECT_EQ(findStrokeGlyph(strokeFont, ' '), nullptr);
    EXPECT_EQ(findStrokeGlyph(strokeFont, 127), nullptr);
    int expectedFirst = 0;
    std::set<std::vector<Stroke>> shapes;
    for (int c = 33; c <= 126; ++c) {
        SCOPED_TRACE(static_cast<char>(c));
        const StrokeGlyphEntry* g = findStrokeGlyph(strokeFont, static_cast<unsigned char>(c));
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->firstWord, expectedFirst); // glyphs follow each other in the word table
        EXPECT_GE(g->halfWidth, 0);
        EXPECT_LE(g->halfWidth, 4);
        EXPECT_GE(g->height, 1);
        EXPECT_LE(g->height, 8);
        EXPECT_EQ(g->unused, 0);
        auto strokes = strokesOf(static_cast<char>(c));
        ASSERT_GE(strokes.size(), 2u);
        EXPECT_FALSE(std::get<0>(strokes.front())); // every glyph starts with a move
        int top = 0;
        for (auto [down, x, y] : strokes) {
            EXPECT_GE(x, 0);
            EXPECT_LE(x, 2 * g->halfWidth);
            EXPECT_GE(y, 4);
            EXPECT_LE(y, 16);
            top = std::max(top, y);
        }
        EXPECT_EQ(g->height, top / 2);
        shapes.insert(strokes);
        expectedFirst += static_cast<int>(strokes.size());
    }
    EXPECT_EQ(expectedFirst, strokeFontWordCount());
    // 'O' and '0' share their outline, as do 'l' and '|'; every other glyph is distinct.
    EXPECT_EQ(shapes.size(), 92u);
}

class StrokeTextTest : public PlotTest {
  protected:
    void SetUp() override {
        PlotTest::SetUp();
        ASSERT_TRUE(openPlotFile("text.dsp"));
        // One device unit per world unit, near enough: the records are in world units anyway.
        setScreenRange(0, 1000, 0, 1000);
        setWindow(0, 1000, 0, 1000);
    }
    Lines records() { return fileLines(plotState().displayFile, "text.dsp"); }
    Lines drawn() {
        Lines all = records();
        return Lines(all.begin() + 3, all.end());
    }
};

TEST_F(StrokeTextTest, GlyphIsCentredOnItsHalfWidthAndScaled) {
    EXPECT_EQ(strokeGlyph('-', 100, 200, strokeFont, 2), 6);
    EXPECT_EQ(drawn(), (Lines{"ma 94 220", "la 106 220"}));
}

TEST_F(StrokeTextTest, FullStopIsAStrokeFromTheOriginToTheBaseLine) {
    EXPECT_EQ(strokeGlyph('.', 100, 200, strokeFont, 1), 0);
    EXPECT_EQ(drawn(), (Lines{"ma 100 200", "la 100 204"}));
}

TEST_F(StrokeTextTest, BlanksAndUnknownCharactersAdvanceByEight) {
    EXPECT_EQ(strokeGlyph(' ', 0, 0, strokeFont, 1), 8);
    EXPECT_EQ(strokeGlyph('\x7f', 0, 0, strokeFont, 1), 8);
    EXPECT_EQ(strokeGlyph('\xe9', 0, 0, strokeFont, 1), 8);
    EXPECT_TRUE(drawn().empty());
}

TEST_F(StrokeTextTest, TextAdvancesBySpacingPlusGlyphWidth) {
    strokeText(strokeFont, 4, 1, "- -", 100, 200);
    // "-" then 10 units on, a blank of 12 units, then the second "-".
    EXPECT_EQ(drawn(), (Lines{"ma 97 210", "la 103 210", "ma 119 210", "la 125 210"}));
}

TEST_F(StrokeTextTest, PlotTextStrokesAtTheCursorWithWindowHeightSize) {
    moveAbs(100, 200);
    plotText("-");
    // size = 1000 / 280; the cursor is taken back to world units.
    const double size = 1000.0 / 280.0;
    Lines d = drawn();
    ASSERT_EQ(d.size(), 3u);
    char expect[64];
    std::snprintf(expect, sizeof expect, "ma %g %g", 100 - 3 * size, 200 + 10 * size);
    EXPECT_EQ(d[1], expect);
    std::snprintf(expect, sizeof expect, "la %g %g", 100 + 3 * size, 200 + 10 * size);
    EXPECT_EQ(d[2], expect);
}

TEST_F(StrokeTextTest, TextDivisorChangesTheSize) {
    plotState().textHeightDivisor = 250;
    moveAbs(0, 0);
    plotText(".");
    char expect[64];
    std::snprintf(expect, sizeof expect, "la 0 %g", 4 * 1000.0 / 250.0);
    EXPECT_EQ(drawn().back(), expect);
}

class ScreenTextTest : public PlotTest {
  protected:
    void SetUp() override {
        PlotTest::SetUp();
        plotState().drawingSurface = &surface;
        plotState().bottomPixel = 599;
        setScreenRange(0, 799, 0, 599);
        setWindow(0, 799, 0, 599);
    }
    RecordingSurface surface;
};

TEST_F(ScreenTextTest, WithoutFilesTextUsesTheSurfaceFont) {
    setPenColor(3);
    moveAbs(400, 100);
    surface.calls.clear();
    plotText("AB");
    const PlotState& s = plotState();
    // "AB" measures 20 x 16: half the average width is 5, the bottom sits on the cursor.
    int x = truncateToInt(s.screenCursor.x - 5);
    int y = truncateToInt(599 - s.screenCursor.y - 16);
    EXPECT_EQ(surface.calls,
              (Lines{"textcolor 0 0 0", "transparent 1", "pen 3", "extent AB",
                     "text " + std::to_string(x) + " " + std::to_string(y) + " AB"}));
}

TEST_F(ScreenTextTest, ScreenTextIsCutAt160Characters) {
    std::string longText(200, 'x');
    drawScreenText(2, longText, 10, 50);
    ASSERT_FALSE(surface.calls.empty());
    EXPECT_EQ(surface.calls.back(), "text 5 34 " + std::string(160, 'x'));
}

TEST_F(ScreenTextTest, EmptyTextDrawsNothing) {
    drawScreenText(2, "", 10, 50);
    plotText("");
    EXPECT_TRUE(surface.calls.empty());
}

TEST_F(ScreenTextTest, MetafileAndHpglOutputStrokeTheText) {
    RecordingSurface metafile(800, 600, SurfaceKind::Metafile);
    plotState().drawingSurface = &metafile;
    moveAbs(400, 300);
    plotText("+");
    EXPECT_EQ(metafile.drawing().size(), 4u); // two strokes, each a move and a line
    plotState().drawingSurface = &surface;
    ASSERT_TRUE(openHpglFile("t.hgl"));
    plotText("+");
    EXPECT_EQ(surface.drawing().size(), 4u);
    Lines h = fileLines(plotState().hpglFile, "t.hgl");
    EXPECT_EQ(h.size(), 5u); // first line and two pen-up/pen-down pairs
}

TEST(DeviceText, MetricsAreFixed) {
    TextExtent e = deviceTextExtent("A.+ ");
    EXPECT_EQ(e.cx, 10 + 4 + 12 + 12);
    EXPECT_EQ(e.cy, kDeviceTextHeight);
    EXPECT_EQ(deviceTextExtent("").cx, 0);
}

} // namespace
