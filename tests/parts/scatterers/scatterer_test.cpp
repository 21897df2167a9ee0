// The scatter laws of a surface: keywords, command texts, and that each law hands its own
// fields to its distribution in the right order.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "command/messages/messages.h"
#include "engine/optics/random_sampling.h"
#include "parts/scatterers/scatterer.h"

namespace {

// Mean |offset| along x and y of scattered directions about +z (normal +z).
struct Spread {
    double x = 0, y = 0;
    int scattered = 0;
};
Spread spreadOf(CScatterer& s, int n = 20000) {
    Spread out;
    for (int i = 0; i < n; ++i) {
        Vec3 d{0, 0, 1}, normal{0, 0, 1};
        int r = s.Scatter(d, 1.0, normal);
        EXPECT_NEAR(dot3(d, d), 1.0, 1e-9);
        if (r && (d.x != 0 || d.y != 0)) ++out.scattered;
        out.x += std::fabs(d.x);
        out.y += std::fabs(d.y);
    }
    out.x /= n;
    out.y /= n;
    return out;
}

} // namespace

TEST(ScattererTest, KeywordsAndKinds) {
    CScatterer none;
    CLambertianScatterer lambertian(0.5);
    CGaussianScatterer gaussian(0.5, 1);
    CPowerLawScatterer power(0.5, 1);
    CXyExponentialScatterer xy(0.5, 1, 1);
    EXPECT_EQ(none.IsKind("none"), 0); // the base class owns no keyword
    EXPECT_EQ(lambertian.IsKind("lambertian"), 1);
    EXPECT_EQ(lambertian.IsKind("Lambertian"), 0);
    EXPECT_EQ(lambertian.IsKind("lambert"), 0);
    EXPECT_EQ(gaussian.IsKind("gaussian"), 1);
    EXPECT_EQ(gaussian.IsKind("lambertian"), 0);
    EXPECT_EQ(power.IsKind("powerlaw"), 1);
    EXPECT_EQ(xy.IsKind("xy_exponential"), 1);
    EXPECT_EQ(xy.IsKind(nullptr), 0);
    CScatterer* all[] = {&none, &lambertian, &gaussian, &power, &xy};
    const char* keys[] = {"none", "lambertian", "gaussian", "powerlaw", "xy_exponential"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(all[i]->Keyword(), keys[i]);
}

TEST(ScattererTest, CommandTexts) {
    EXPECT_EQ(CScatterer().WriteCommand("m", 2), "modify/scatterer/none m.2\n");
    EXPECT_EQ(CLambertianScatterer(0.25).WriteCommand("m", 1),
              "modify/scatterer/lambertian m.1 0.25\n");
    EXPECT_EQ(CGaussianScatterer(0.5, 2).WriteCommand("lens1", 3),
              "modify/scatterer/gaussian lens1.3 0.5 2\n");
    EXPECT_EQ(CPowerLawScatterer(1, 1.5).WriteCommand("p", 4),
              "modify/scatterer/powerlaw p.4 1 1.5\n");
    EXPECT_EQ(CXyExponentialScatterer(0.75, 0.1, 1e-7).WriteCommand("x", 10),
              "modify/scatterer/xy_exponential x.10 0.75 0.1 1e-07\n");
}

TEST(ScattererTest, NoneLeavesTheDirection) {
    CScatterer none;
    Vec3 d{0.6, 0, 0.8}, normal{0, 0, 1};
    EXPECT_EQ(none.Scatter(d, 1.0, normal), 0);
    EXPECT_EQ(d.x, 0.6);
}

TEST(ScattererTest, FractionZeroStaysSpecularAndOneAlwaysScatters) {
    resetRandomState();
    std::unique_ptr<CScatterer> zero[] = {
        std::make_unique<CLambertianScatterer>(0.0),
        std::make_unique<CGaussianScatterer>(0.0, 0.5),
        std::make_unique<CPowerLawScatterer>(0.0, 1.0),
        std::make_unique<CXyExponentialScatterer>(0.0, 0.5, 0.5)};
    for (auto& s : zero) {
        Spread sp = spreadOf(*s, 2000);
        EXPECT_EQ(sp.scattered, 0) << s->Keyword();
        EXPECT_EQ(sp.x, 0.0) << s->Keyword();
    }
    std::unique_ptr<CScatterer> one[] = {
        std::make_unique<CLambertianScatterer>(1.0),
        std::make_unique<CGaussianScatterer>(1.0, 0.5),
        std::make_unique<CPowerLawScatterer>(1.0, 1.0),
        std::make_unique<CXyExponentialScatterer>(1.0, 0.5, 0.5)};
    // Every ray is scattered; a draw of exactly zero offset (u = 0) may land on the specular
    // direction itself.
    for (auto& s : one) EXPECT_GE(spreadOf(*s, 2000).scattered, 1995) << s->Keyword();
}

TEST(ScattererTest, SpreadFollowsEachLawsOwnFields) {
    resetRandomState();
    CGaussianScatterer narrow(1.0, 0.05), wide(1.0, 0.3);
    Spread n = spreadOf(narrow), w = spreadOf(wide);
    EXPECT_GT(w.x, 4.0 * n.x);
    EXPECT_LT(n.x, 0.06);
    // xsigma spreads along x, ysigma along y.
    CXyExponentialScatterer alongX(1.0, 0.3, 0.01), alongY(1.0, 0.01, 0.3);
    Spread ax = spreadOf(alongX), ay = spreadOf(alongY);
    EXPECT_GT(ax.x, 10.0 * ax.y);
    EXPECT_GT(ay.y, 10.0 * ay.x);
    // Half the rays scatter with fraction 0.5.
    CGaussianScatterer half(0.5, 0.3);
    EXPECT_NEAR(spreadOf(half).scattered / 20000.0, 0.5, 0.02);
}

TEST(ScattererTest, PowerLawHandsOverItsPower) {
    std::string screen;
    messageState().screenMirror = [&](std::string_view t) { screen.append(t); };
    CPowerLawScatterer bad(1.0, 2.5);
    Vec3 d{0, 0, 1}, normal{0, 0, 1};
    EXPECT_EQ(bad.Scatter(d, 1.0, normal), 1);
    EXPECT_EQ(d.z, 1.0);
    EXPECT_NE(screen.find("POWER LAW COEFFICENT OUT OF RANGE"), std::string::npos);
    screen.clear();
    CPowerLawScatterer good(1.0, 1.0);
    good.Scatter(d, 1.0, normal);
    EXPECT_EQ(screen, "");
    messageState().screenMirror = nullptr;
}
