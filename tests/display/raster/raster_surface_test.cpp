#include <climits>
#include <cmath>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "display/raster/raster_surface.h"
#include "display/plot/stroke_font.h"

namespace {

const Rgb kWhite{0xFF, 0xFF, 0xFF};

std::set<std::pair<int, int>> pixelsOf(const RasterSurface& r, Rgb colour) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (r.pixel(x, y) == colour) out.insert({x, y});
    return out;
}

// The pixels of a line by the rounding rule written out step by step, before the picture's
// bounds are applied.
std::set<std::pair<int, int>> referenceLine(int x0, int y0, int x1, int y1, bool withEnd, int w,
                                            int h) {
    std::set<std::pair<int, int>> out;
    long dx = x1 - x0, dy = y1 - y0;
    long n = std::max(std::labs(dx), std::labs(dy));
    if (n == 0) {
        if (withEnd && x0 >= 0 && y0 >= 0 && x0 < w && y0 < h) out.insert({x0, y0});
        return out;
    }
    for (long i = 0; i <= (withEnd ? n : n - 1); ++i) {
        long major = (std::labs(dx) >= std::labs(dy)) ? dx : dy;
        long minor = (std::labs(dx) >= std::labs(dy)) ? dy : dx;
        long off = (2 * i * std::labs(minor) + n) / (2 * n);
        long ma = (major < 0 ? -i : i), mi = (minor < 0 ? -off : off);
        long x = std::labs(dx) >= std::labs(dy) ? x0 + ma : x0 + mi;
        long y = std::labs(dx) >= std::labs(dy) ? y0 + mi : y0 + ma;
        if (x >= 0 && y >= 0 && x < w && y < h) out.insert({int(x), int(y)});
    }
    return out;
}

TEST(RasterSurface, StartsWhiteAndKeepsSidesInRange) {
    RasterSurface r;
    EXPECT_EQ(r.width(), 800);
    EXPECT_EQ(r.height(), 600);
    EXPECT_EQ(pixelsOf(r, kWhite).size(), 800u * 600u);
    RasterSurface tiny(0, -5);
    EXPECT_EQ(tiny.width(), 1);
    EXPECT_EQ(tiny.height(), 1);
    tiny.resize(100000, 3);
    EXPECT_EQ(tiny.width(), RasterSurface::kMaxSide);
    EXPECT_EQ(tiny.pixels().size(), std::size_t(RasterSurface::kMaxSide) * 3 * 3);
}

TEST(RasterSurface, LinesLeaveOutTheirEndPixel) {
    RasterSurface r(40, 30);
    r.selectPen(3);
    r.moveTo(10, 10);
    r.lineTo(20, 10);
    auto red = pixelsOf(r, screenPenColour(3));
    EXPECT_EQ(red.size(), 10u);
    EXPECT_TRUE(red.count({10, 10}));
    EXPECT_TRUE(red.count({19, 10}));
    EXPECT_FALSE(red.count({20, 10}));
    // The next line continues from the end point, which it draws as its first pixel.
    r.lineTo(20, 15);
    EXPECT_EQ(r.pixel(20, 10), screenPenColour(3));
    EXPECT_EQ(r.pixel(20, 15), kWhite);
}

TEST(RasterSurface, ZeroLengthLineDrawsNothing) {
    RasterSurface r(10, 10);
    r.moveTo(5, 5);
    r.lineTo(5, 5);
    EXPECT_EQ(pixelsOf(r, kWhite).size(), 100u);
}

TEST(RasterSurface, EveryPenDrawsItsExactColour) {
    RasterSurface r(16, 1);
    for (int pen = 0; pen < 16; ++pen) {
        r.selectPen(pen);
        r.moveTo(pen, 0);
        r.lineTo(pen + 1, 0);
    }
    for (int pen = 0; pen < 16; ++pen)
        EXPECT_EQ(r.pixel(pen, 0), kScreenPens[pen]) << pen;
    EXPECT_EQ(screenPenColour(8), (Rgb{0x45, 0x45, 0x45}));
    EXPECT_EQ(screenPenColour(-3), kScreenPens[0]);
    EXPECT_EQ(screenPenColour(40), kScreenPens[15]);
}

TEST(RasterSurface, LinesMatchTheRoundingRuleInEveryDirection) {
    const int w = 37, h = 23;
    int cases = 0;
    for (int x0 = -6; x0 <= 42; x0 += 8)
        for (int y0 = -5; y0 <= 27; y0 += 8)
            for (int x1 = -9; x1 <= 45; x1 += 9)
                for (int y1 = -7; y1 <= 30; y1 += 9) {
                    RasterSurface r(w, h);
                    r.selectPen(2);
                    r.moveTo(x0, y0);
                    r.lineTo(x1, y1);
                    ASSERT_EQ(pixelsOf(r, screenPenColour(2)),
                              referenceLine(x0, y0, x1, y1, false, w, h))
                        << x0 << "," << y0 << " -> " << x1 << "," << y1;
                    ++cases;
                }
    EXPECT_GT(cases, 1000);
}

TEST(RasterSurface, FarReachingLinesAreDrawnAcrossThePicture) {
    RasterSurface r(800, 600);
    r.selectPen(1);
    r.moveTo(INT_MIN, 300);
    r.lineTo(INT_MAX, 300);
    r.moveTo(400, INT_MAX);
    r.lineTo(400, INT_MIN);
    r.moveTo(-1000000, -1000000);
    r.lineTo(1000000, 1000000);
    auto blue = pixelsOf(r, screenPenColour(1));
    for (int x = 0; x < 800; ++x)
        EXPECT_TRUE(blue.count({x, 300})) << x;
    for (int y = 0; y < 600; ++y) {
        EXPECT_TRUE(blue.count({400, y})) << y;
        EXPECT_TRUE(blue.count({y, y})) << y;
    }
    EXPECT_EQ(blue.size(), 800u + 600u + 600u - 3u);
}

TEST(RasterSurface, TextIsStrokedInTheTextColourAtOnePixelPerUnit) {
    RasterSurface r(40, 20);
    r.setTextColor({0, 0, 0});
    r.textOut(0, 0, "-.");
    auto black = pixelsOf(r, {0, 0, 0});
    // "-": (0,10)-(6,10) shifted by the half spacing of 2 and the half-width 3, row 16 - 10.
    for (int x = 2; x <= 8; ++x)
        EXPECT_TRUE(black.count({x, 6})) << x;
    // ".": a single dot on the base line of the next cell, 10 pixels on.
    EXPECT_TRUE(black.count({12, 12}));
    EXPECT_EQ(black.size(), 8u);
    EXPECT_EQ(r.textExtent("-.").cx, 14);
    EXPECT_EQ(r.textExtent("-.").cy, 16);
    r.textOut(INT_MAX - 3, INT_MAX - 3, "WW"); // far outside, and no overflow on the way
    EXPECT_EQ(pixelsOf(r, {0, 0, 0}).size(), 8u);
}

TEST(RasterSurface, EraseRestoresTheWhiteBackground) {
    RasterSurface r(20, 20);
    r.selectPen(4);
    r.moveTo(0, 0);
    r.lineTo(19, 19);
    r.setTextColor({1, 2, 3});
    r.textOut(0, 0, "HI");
    r.erase();
    EXPECT_EQ(pixelsOf(r, kWhite).size(), 400u);
    EXPECT_EQ(r.pixel(-1, 0), Rgb{}); // outside reads as black, never out of bounds
}

} // namespace
