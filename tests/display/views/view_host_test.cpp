#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "display/plot/plot_primitives.h"
#include "display/views/display_state.h"
#include "display/views/view_host.h"

namespace {

const Rgb kWhite{0xFF, 0xFF, 0xFF};

TEST(HeadlessViewHost, HasTheRasterSizeAndNoStatusLine) {
    HeadlessViewHost host(320, 200);
    EXPECT_EQ(host.clientWidth(), 320);
    EXPECT_EQ(host.clientHeight(), 200);
    EXPECT_EQ(host.statusLineHeight(), 0);
    EXPECT_EQ(host.pickedPoint(), (std::array<double, 3>{0, 0, 0}));
    host.setClientSize(64, 48);
    EXPECT_EQ(host.raster().width(), 64);
    EXPECT_EQ(host.clientHeight(), 48);
}

TEST(HeadlessViewHost, EveryUpdateErasesToWhiteAndPaintsAtOnce) {
    resetDisplayState();
    HeadlessViewHost host(120, 80);
    int paints = 0;
    host.setPaintRoutine([&](ViewHost& view, DrawSurface& surface) {
        ++paints;
        EXPECT_EQ(&view, &host);
        EXPECT_EQ(host.raster().pixel(0, 79), kWhite); // already erased
        beginViewDraw(view, surface);
        setPenColor(3);
        moveAbs(0, 0);
        lineAbs(1200, 0);
    });
    host.updateAllViews();
    EXPECT_EQ(paints, 1);
    // World y 0 maps a hair above device y 0 (the window is widened for the mapping), which
    // lands on the row above the bottom one.
    EXPECT_EQ(host.raster().pixel(60, 78), screenPenColour(3));
    EXPECT_EQ(host.raster().pixel(60, 79), kWhite);
    host.setPaintRoutine(nullptr);
    host.invalidateAndUpdate();
    EXPECT_EQ(host.raster().pixel(60, 78), kWhite);
    resetDisplayState();
}

TEST(TruncateToInt, SaturatesAndMapsNanToZero) {
    EXPECT_EQ(truncateToInt(12.9), 12);
    EXPECT_EQ(truncateToInt(-12.9), -12);
    EXPECT_EQ(truncateToInt(1e300), INT_MAX);
    EXPECT_EQ(truncateToInt(-1e300), INT_MIN);
    EXPECT_EQ(truncateToInt(std::nan("")), 0);
}

} // namespace
