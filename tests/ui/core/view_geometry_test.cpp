// The view's arithmetic: drags and keys to angles, snapping and the first increment, the pane of
// a point, client points to model points, workbox texts, progress, page layout, header, the
// monochrome rule and bounded command texts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/view_modes.h"
#include "ui/core/view_geometry.h"
#include "ui/core/view_state.h"

TEST(ViewAngles, AzElDragAndItsLimits) {
    double az = 45, el = 20;
    ASSERT_TRUE(applyAzElDrag(az, el, -400, 100, 803, 500));
    EXPECT_DOUBLE_EQ(az, 134.6637608966376);
    EXPECT_DOUBLE_EQ(el, 2.0);
    // The whole width to the left adds 180 degrees, brought back into range.
    az = 45;
    el = 20;
    applyAzElDrag(az, el, -803, 0, 803, 500);
    EXPECT_DOUBLE_EQ(az, -135.0);
    // Dragged far down, the elevation stops at 90 exactly.
    applyAzElDrag(az, el, 0, -5000, 803, 500);
    EXPECT_EQ(el, 90.0);
    // A client without width or height changes nothing.
    az = 45;
    el = 20;
    EXPECT_FALSE(applyAzElDrag(az, el, 10, 10, 0, 500));
    EXPECT_FALSE(applyAzElDrag(az, el, 10, 10, 803, 0));
    EXPECT_EQ(az, 45.0);
    EXPECT_EQ(el, 20.0);
}

TEST(ViewAngles, NormalisingMatchesStepsOf360WithoutLooping) {
    auto stepped = [](double a) {
        while (a > 180.0) a -= 360.0;
        while (a < -180.0) a += 360.0;
        return a;
    };
    for (double a : {180.0, -180.0, 181.0, -181.0, 540.0, 900.0, -900.0, 725.5, 1e6, -1e6 + 0.5}) {
        double az = a, el = 0;
        normalizeAngles(az, el);
        EXPECT_DOUBLE_EQ(az, stepped(a)) << a;
    }
    double az = 1e300, el = -1e300;
    normalizeAngles(az, el); // returns (no endless loop), in range
    EXPECT_LE(std::fabs(az), 180.0);
    EXPECT_EQ(el, -90.0);
    double nan = std::nan(""), e2 = 95;
    normalizeAngles(nan, e2);
    EXPECT_EQ(e2, 90.0);
}

TEST(ViewGrid, SnappingRoundsHalvesAwayFromZero) {
    EXPECT_EQ(snapCoordinate(14.9, 10), 10.0);
    EXPECT_EQ(snapCoordinate(15, 10), 20.0);
    EXPECT_EQ(snapCoordinate(-15, 10), -20.0);
    EXPECT_EQ(snapCoordinate(0, 10), 0.0);
    EXPECT_EQ(snapCoordinate(-4.9, 10), 0.0);
    // An increment not above 0 leaves the axis alone.
    EXPECT_EQ(snapCoordinate(14.9, 0), 14.9);
    EXPECT_EQ(snapCoordinate(14.9, -1), 14.9);
}

TEST(ViewGrid, FirstIncrementKeepsTheRatioBetween5And50) {
    EXPECT_EQ(firstGridIncrement(150), 10.0); // 150 / 100 < 5
    EXPECT_EQ(firstGridIncrement(600), 100.0);
    EXPECT_EQ(firstGridIncrement(100), 10.0);
    EXPECT_EQ(firstGridIncrement(0), 1.0);
    EXPECT_EQ(firstGridIncrement(-3), 1.0);
    EXPECT_EQ(firstGridIncrement(INFINITY), 1.0);
    for (double w : {0.0012, 0.37, 1.0, 4.99, 5.0, 9.99, 10.0, 49.9, 50.0, 99.9, 150.0, 1234.5, 9.9e7}) {
        const double g = firstGridIncrement(w);
        EXPECT_GE(w / g, 5.0 - 1e-9) << w;
        EXPECT_LT(w / g, 50.0 + 1e-9) << w;
    }
}

TEST(ViewPanes, ThePaneOfAPoint) {
    EXPECT_EQ(paneOfPoint(100, 100, 400, 300), Pane::X);
    EXPECT_EQ(paneOfPoint(100, 400, 400, 300), Pane::Y);
    EXPECT_EQ(paneOfPoint(400, 100, 400, 300), Pane::Y); // px = cx is the y pane
    EXPECT_EQ(paneOfPoint(400, 400, 400, 300), Pane::Y);
    EXPECT_EQ(paneOfPoint(500, 100, 400, 300), Pane::Z);
    EXPECT_EQ(paneOfPoint(500, 300, 400, 300), Pane::Z);
    EXPECT_EQ(paneOfPoint(500, 400, 400, 300), Pane::ThreeD);
}

class ClientToModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetQelViewState();
        resetViewModeState();
        resetSettingsState();
        resetPlotState();
        auto& v = qelViewState();
        v.xPaneMap = {10, 20, 2, 4};
        v.yPaneMap = {0, 0, 1, 1};
        v.zPaneMap = {100, 50, 10, 10};
    }
    void TearDown() override { SetUp(); }
};

TEST_F(ClientToModelTest, FourViewsMapThroughThePaneUnderThePoint) {
    orthogonalMode = 1;
    double p[3] = {7, 7, 7};
    EXPECT_TRUE(ClientToModel(30, 60, p)); // x pane: z from x, y from y
    EXPECT_EQ(p[2], 10.0);
    EXPECT_EQ(p[1], 10.0);
    EXPECT_EQ(p[0], 7.0);
    double q[3] = {7, 7, 7};
    EXPECT_FALSE(ClientToModel(700, 500, q)); // the 3-D pane maps nothing
    EXPECT_EQ(q[0], 7.0);
    double r[3] = {7, 7, 7};
    EXPECT_TRUE(ClientToModel(600, 100, r)); // z pane: x and y
    EXPECT_EQ(r[0], 50.0);
    EXPECT_EQ(r[1], 5.0);
    EXPECT_EQ(r[2], 7.0);
}

TEST_F(ClientToModelTest, SingleViewsAndTheFilm) {
    double p[3] = {1, 2, 3};
    EXPECT_FALSE(ClientToModel(30, 60, p)); // the system view maps nothing
    EXPECT_EQ(p[0], 1.0);
    viewType = kViewAxisY;
    EXPECT_TRUE(ClientToModel(30, 60, p)); // y pane: z and x
    EXPECT_EQ(p[2], 30.0);
    EXPECT_EQ(p[0], 60.0);
    EXPECT_EQ(p[1], 2.0);
    viewType = 0;
    filmMode = 1;
    EXPECT_TRUE(ClientToModel(200, 150, p));
    EXPECT_EQ(p[0], 10.0);
    EXPECT_EQ(p[1], 10.0);
}

TEST(ViewWorkbox, TextsSkipAFlatAxis) {
    const double a[3] = {-10, 5, 3}, b[3] = {30, 5, -1};
    const auto texts = workboxTexts(a, b);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "set/workbox xs=            20 xc=            10");
    EXPECT_EQ(texts[1], "set/workbox zs=             2 zc=             1");
    const double c[3] = {0, 0, 0};
    EXPECT_TRUE(workboxTexts(c, c).empty());
    const double inf[3] = {INFINITY, 0, 0};
    EXPECT_TRUE(workboxTexts(c, inf).empty());
}

TEST(ViewProgress, TextsOfTheFraction) {
    EXPECT_EQ(progressText(0.5), "50 % Complete       ");
    EXPECT_EQ(progressText(0.05), " 5 % Complete       ");
    EXPECT_EQ(progressText(-1), "Escaped                    ");
    EXPECT_EQ(progressText(std::nan("")), " 0 % Complete       ");
}

TEST(ViewPrinting, PageLayoutHeaderAndMonochromeRule) {
    const PageLayout p = pageLayout(9583, 13699, false, 1.6);
    EXPECT_EQ(p.width, 9103);
    EXPECT_EQ(p.height, 13014);
    EXPECT_EQ(p.left, 227);
    EXPECT_EQ(p.top, 325);
    // A solid image keeps the screen's proportions.
    const PageLayout s = pageLayout(13699, 9583, true, 803.0 / 500.0);
    EXPECT_EQ(s.width, 13014);
    EXPECT_EQ(s.height, static_cast<int>(13014 / (803.0 / 500.0)));
    EXPECT_NEAR(static_cast<double>(s.height) / s.width, 500.0 / 803.0, 1e-3);

    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_wday = 2;
    EXPECT_EQ(printHeader(t, "lens.opt"), "11:05PM Tue, Dec 08, 2026  lens.opt");

    EXPECT_TRUE(useMonochromeTable(false, 2));
    EXPECT_FALSE(useMonochromeTable(true, 2));
    EXPECT_FALSE(useMonochromeTable(false, 8));
    EXPECT_FALSE(useMonochromeTable(false, 256));
}

TEST(ViewCommands, BoundedTextsRefuseWhatTheReaderWouldCut) {
    EXPECT_EQ(boundedCommandText("translate/global %s %lg %lg %lg", "lens1", 1.5, -2.0, 0.0),
              "translate/global lens1 1.5 -2 0");
    const std::string long250(250, 'a');
    EXPECT_TRUE(boundedCommandText("%s", long250.c_str()).has_value());
    const std::string long251(251, 'a');
    EXPECT_FALSE(boundedCommandText("%s", long251.c_str()).has_value());
}
