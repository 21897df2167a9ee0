// Bundle traces through meridyn-cli: each kind's rays decoded from rays.dat and spots.dat and
// compared with directions, grids and paths computed here from the command's values and the
// geometry; re-emission from a hand-written reemit.dat; the stored trace repeated; refusals that
// leave the files alone; and the energy bookkeeping of a singlet with Fresnel ghosts.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

const double kPi = 4 * std::atan(1.0);

// The far point of a ray that leaves the model: energy x 1,000,000 along its direction.
V farPoint(V start, V d, double energy = 1.0) {
    return start + (energy * 1e6) * unit(d);
}

// Directions of the source rays of a lone source (every ray misses: start, far point).
std::vector<V> farDirections(const std::vector<RayPoint>& rays, V start) {
    std::vector<V> out;
    for (const RayPoint& r : rays)
        if (r.flag == -1) out.push_back(unit(r.p - start));
    return out;
}

void expectDirections(const std::vector<V>& got, const std::vector<V>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        expectNear(got[i], want[i], 1e-9);
    }
}

V coneDirection(double theta, double phi) {
    return {std::cos(phi) * std::sin(theta), std::sin(phi), std::cos(phi) * std::cos(theta)};
}

TEST(BundleTrace, ConeSpacingsSendTheirRaysWhereTheAnglesSay) {
    CliRun run("define/lightsource lamp\n"
               "place/object lamp 0 0 0\n"
               "raytrace/cone lamp nx=3 ny=2 hfov=60 vfov=20\n");
    ASSERT_TRUE(run.go());
    const double a = 60 * kPi / 180, b = 20 * kPi / 180;
    std::vector<V> want;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j)
            want.push_back(coneDirection(-a / 2 + i * a / 2, -b / 2 + j * b));
    const auto rays = run.rays();
    ASSERT_EQ(rays.size(), 12u);
    EXPECT_EQ(rays[0].flag, 1);
    expectNear(rays[1].p, farPoint({}, want[0]), 1e-6);
    expectDirections(farDirections(rays, {}), want);
    EXPECT_NE(run.file("screen.out").find("Full angle ray spacing.\n"), std::string::npos);

    CliRun eqang("define/lightsource lamp\n"
                 "place/object lamp 0 0 0\n"
                 "raytrace/cone/eqang lamp nx=3 ny=2 hfov=60 vfov=20\n");
    ASSERT_TRUE(eqang.go());
    want.clear();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j)
            want.push_back(coneDirection(-a / 2 + (i + 0.5) * a / 3, -b / 2 + (j + 0.5) * b / 2));
    expectDirections(farDirections(eqang.rays(), {}), want);

    CliRun eqsolid("define/lightsource lamp\n"
                   "place/object lamp 0 0 0\n"
                   "raytrace/eqsolid lamp nx=1 ny=4 hfov=60 vfov=120\n");
    ASSERT_TRUE(eqsolid.go());
    want.clear();
    const double s0 = -std::sin(kPi / 3), ds = 2 * std::sin(kPi / 3) / 4;
    // One column: theta at the middle of the single step.
    for (int j = 0; j < 4; ++j)
        want.push_back(coneDirection(-kPi / 6 + 0.5 * kPi / 3, std::asin(s0 + (j + 0.5) * ds)));
    expectDirections(farDirections(eqsolid.rays(), {}), want);
    EXPECT_NE(eqsolid.file("screen.out").find("Equal solid angle ray spacing.\n"),
              std::string::npos);
}

TEST(BundleTrace, ADefaultConeIsFourByFourAtThirtyDegrees) {
    CliRun cone("define/lightsource lamp\n"
                "place/object lamp 10 0 0\n"
                "raytrace lamp\n");
    ASSERT_TRUE(cone.go());
    // Full angle spacing over 30 degrees: -15, -5, 5 and 15 degrees both ways.
    std::vector<V> want;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            want.push_back(coneDirection((-15 + 10 * i) * kPi / 180, (-15 + 10 * j) * kPi / 180));
    expectDirections(farDirections(cone.rays(), {10, 0, 0}), want);
    EXPECT_NE(cone.file("screen.out").find("Full angle ray spacing.\n"), std::string::npos);

    CliRun one("define/lightsource lamp\n"
               "place/object lamp 10 0 0\n"
               "raytrace/cone lamp nx=1 ny=1 hfov=0\n");
    ASSERT_TRUE(one.go());
    // One ray along theta = 0 whatever hfov says: hfov is not checked when nx is 1.
    expectDirections(farDirections(one.rays(), {10, 0, 0}), {{0, 0, 1}});
    const std::string screen = one.file("screen.out");
    EXPECT_EQ(screen.find("ERROR", screen.find("main.mac")), std::string::npos) << screen;
}

TEST(BundleTrace, CollimatedGridsAndOvals) {
    CliRun run("define/lightsource lamp\n"
               "define/detector screen xsize=100 ysize=100\n"
               "place/object lamp 0 0 -50\n"
               "place/object screen 0 0 20\n"
               "raytrace/collimated lamp nx=3 ny=2 hhwidth=10 vhwidth=4\n");
    ASSERT_TRUE(run.go());
    const auto spots = run.spots();
    ASSERT_EQ(spots.size(), 6u);
    std::size_t k = 0;
    for (double x : {-10.0, 0.0, 10.0})
        for (double y : {-4.0, 4.0}) {
            SCOPED_TRACE(k);
            expectNear(spots[k].p, {x, y, 0});
            EXPECT_DOUBLE_EQ(spots[k].energy, 1.0);
            ++k;
        }
    // 5 x 5 points over equal half widths: the oval keeps those with x^2 + y^2 <= 1 (in units
    // of the half width), 13 of them.
    CliRun oval("define/lightsource lamp\n"
                "define/detector screen xsize=100 ysize=100\n"
                "place/object lamp 0 0 -50\n"
                "place/object screen 0 0 20\n"
                "raytrace/collimated/oval lamp nx=5 ny=5 hhwidth=10 vhwidth=10\n");
    ASSERT_TRUE(oval.go());
    int inside = 0;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            const double x = -1 + 0.5 * i, y = -1 + 0.5 * j;
            inside += x * x + y * y <= 1;
        }
    EXPECT_EQ(inside, 13);
    EXPECT_EQ(oval.spots().size(), 13u);
}

TEST(BundleTrace, CosLampDefaultsToFiftyRaysAndReemitFollowsTheRecords) {
    CliRun lamp("define/lightsource lamp\n"
                "place/object lamp 0 0 0\n"
                "raytrace/coslamp lamp\n");
    ASSERT_TRUE(lamp.go());
    EXPECT_EQ(farDirections(lamp.rays(), {}).size(), 50u);

    // Two records for object 1 and one for object 2; the first at wavelength slot 0, the
    // second at slot 1 (weight 0.5).
    std::string data;
    auto put = [&data](V p, double e, int obj, int surf, V d, int wl) {
        char b[68] = {};
        auto f64 = [&b](int at, double v) { std::memcpy(b + at, &v, 8); };
        auto i32 = [&b](int at, int v) { std::memcpy(b + at, &v, 4); };
        f64(0, p.x), f64(8, p.y), f64(16, p.z), f64(24, e);
        i32(32, obj), i32(36, surf);
        f64(40, d.x), f64(48, d.y), f64(56, d.z);
        i32(64, wl);
        data.append(b, 68);
    };
    put({1, 2, 0}, 9, 1, 1, {0, 0, 1}, 0);
    put({5, 5, 5}, 9, 2, 1, {0, 1, 0}, 0);
    put({-3, 0, 0}, 9, 1, 1, {0, 3, 4}, 1);
    CliRun re("define/lightsource lamp\n"
              "define/detector screen xsize=100 ysize=100\n"
              "place/object lamp 0 0 -50\n"
              "place/object screen 0 0 20\n"
              "set/wavelength 0.5 0.6\n"
              "set/weightwave 1 0.5\n"
              "raytrace/reemit lamp\n"
              "raytrace/reemit lamp\n");
    re.put("reemit.dat", data);
    ASSERT_TRUE(re.go());
    const auto spots = re.spots();
    ASSERT_EQ(spots.size(), 2u) << re.file("screen.out");
    expectNear(spots[0].p, {1, 2, 0});
    EXPECT_DOUBLE_EQ(spots[0].energy, 1.0);
    EXPECT_EQ(spots[0].wavelength, 0);
    expectNear(spots[1].p, {-3, 70 * 0.75, 0});
    EXPECT_EQ(spots[1].wavelength, 1);
    const auto rays = re.rays();
    ASSERT_EQ(rays.size(), 4u);
    expectNear(rays[0].p, {1, 2, -50});
    EXPECT_EQ(rays[2].flag, 2); // slot 1 + 1
    // The emitter is traceable again afterwards: its own second trace saw the same.
    const std::string screen = re.file("screen.out");
    EXPECT_EQ(screen.find("ERROR", screen.find("main.mac")), std::string::npos) << screen;
}

TEST(BundleTrace, LastRepeatsTheStoredTraceAndRefusalsChangeNothing) {
    CliRun run("define/lightsource lamp\n"
               "define/detector screen xsize=100 ysize=100\n"
               "place/object lamp 0 0 -50\n"
               "place/object screen 0 0 20\n"
               "raytrace/collimated lamp nx=3 ny=3 hhwidth=5 vhwidth=5\n"
               "macro/name=copy.mac\n"
               "raytrace/cone lamp nx=3 hfov=0\n"
               "raytrace/collimated lamp nx=3 hhwidth=-1\n"
               "raytrace/coslamp screen\n"
               "raytrace/custom lamp\n"
               "raytrace/last\n");
    run.put("copy.mac", "");
    ASSERT_TRUE(run.go(1)); // the refusals are errors of the run
    const auto spots = run.spots();
    ASSERT_EQ(spots.size(), 9u);
    expectNear(spots[0].p, {-5, -5, 0});
    const std::string screen = run.file("screen.out");
    EXPECT_NE(screen.find("Horizontal field of view must be between 0 and 360.\n"),
              std::string::npos);
    EXPECT_NE(screen.find("Horizontal field half width must be greater than 0.\n"),
              std::string::npos);
    EXPECT_NE(screen.find("Object screen is not a ray trace light source.\n"), std::string::npos);
    EXPECT_NE(screen.find("This is not a custom source, and command ignored."), std::string::npos);

    // After the refusals the files still hold the first trace; "last" made them again.
    CliRun once("define/lightsource lamp\n"
                "define/detector screen xsize=100 ysize=100\n"
                "place/object lamp 0 0 -50\n"
                "place/object screen 0 0 20\n"
                "raytrace/collimated lamp nx=3 ny=3 hhwidth=5 vhwidth=5\n");
    ASSERT_TRUE(once.go());
    EXPECT_EQ(run.file("rays.dat"), once.file("rays.dat"));
    EXPECT_EQ(run.file("spots.dat"), once.file("spots.dat"));

    // "last" after the source was deactivated does nothing and forgets the store.
    CliRun gone("define/lightsource lamp\n"
                "place/object lamp 0 0 -50\n"
                "raytrace/coslamp lamp nx=3\n"
                "deactivate lamp\n"
                "raytrace/last\n"
                "activate lamp\n"
                "raytrace/last\n");
    ASSERT_TRUE(gone.go());
    EXPECT_EQ(farDirections(gone.rays(), {0, 0, -50}).size(), 3u);
}

TEST(BundleTrace, PluginSourcesRepeatWithAFixedSeed) {
    const std::string module = std::string(MERIDYN_PLUGIN_DIR) + "/raysrc1.so";
    const std::string macro = "define/lightsource lamp\n"
                              "place/object lamp 0 0 -50\n"
                              "modify/sources/name=\"" +
                              module +
                              "\" lamp 4 2 0 0\n"
                              "raytrace/custom lamp nx=4 ny=5 hhwidth=40 vhwidth=40\n";
    setenv("MERIDYN_PLUGIN_SEED", "12345", 1);
    CliRun a(macro), b(macro);
    ASSERT_TRUE(a.go());
    ASSERT_TRUE(b.go());
    unsetenv("MERIDYN_PLUGIN_SEED");
    EXPECT_EQ(a.file("rays.dat"), b.file("rays.dat"));
    const auto rays = a.rays();
    ASSERT_EQ(rays.size(), 40u) << a.file("screen.out");
    for (std::size_t i = 0; i < rays.size(); i += 2) {
        SCOPED_TRACE(i);
        // Each ray starts on the sheet (an ellipse 4 x 2 at the source).
        const V p = rays[i].p, d = unit(rays[i + 1].p - p);
        EXPECT_NEAR(p.z, -50, 1e-9);
        EXPECT_LE(p.x * p.x / 16 + p.y * p.y / 4, 1 + 1e-9);
        // A rectangular bundle: within 20 degrees about either axis.
        EXPECT_LE(std::fabs(d.x / d.z), std::tan(20 * kPi / 180) + 1e-9);
        EXPECT_LE(std::fabs(d.y / d.z), std::tan(20 * kPi / 180) + 1e-9);
    }
}

TEST(BundleTrace, SingletEnergyBookkeepingWithGhosts) {
    // Detected + escaped (read back from the far points) + cut off = emitted; the singlet
    // absorbs nothing, the detector everything.
    CliRun run("set/fresnel/on\n"
               "set/raylimits maxdepth=100 mintrans=1e-12 maxghost=50\n"
               "define/lightsource lamp\n"
               "define/lens singlet\n"
               "define/detector screen xsize=200 ysize=200\n"
               "place/object lamp 0 0 -50\n"
               "place/object singlet 0 0 0\n"
               "place/object screen 0 0 300\n"
               "raytrace/collimated lamp nx=4 ny=4 hhwidth=20 vhwidth=20\n");
    ASSERT_TRUE(run.go());
    double detected = 0, escaped = 0;
    for (const Spot& s : run.spots())
        detected += s.energy;
    const auto rays = run.rays();
    for (std::size_t i = 1; i < rays.size(); ++i)
        if (rays[i].flag == -1) {
            const V from = rays[i - 1].p;
            escaped += std::sqrt(dot(rays[i].p - from, rays[i].p - from)) / 1e6;
        }
    EXPECT_GT(escaped, 0.01); // the ghosts reflected back toward the source
    EXPECT_NEAR(detected + escaped, 16.0, 1e-6);
    EXPECT_LT(detected, 16 * 0.97);
}

} // namespace

namespace {

using namespace tracetest;

// A shuffle seed makes the random bundles repeat byte for byte; another seed changes them.
TEST(BundleTrace, AShuffleSeedRepeatsTheFiles) {
    auto macro = [](int seed) {
        return "set/shuffle " + std::to_string(seed) +
               "\n"
               "define/lightsource lamp\n"
               "define/lens singlet\n"
               "define/detector screen xsize=100 ysize=100\n"
               "place/object lamp 0 0 -50\n"
               "place/object singlet 0 0 0\n"
               "place/object screen 0 0 100\n"
               "raytrace/coslamp lamp nx=200\n";
    };
    CliRun a(macro(5)), b(macro(5)), c(macro(6));
    ASSERT_TRUE(a.go());
    ASSERT_TRUE(b.go());
    ASSERT_TRUE(c.go());
    EXPECT_GT(a.file("rays.dat").size(), 400u * 28);
    EXPECT_EQ(a.file("rays.dat"), b.file("rays.dat"));
    EXPECT_EQ(a.file("spots.dat"), b.file("spots.dat"));
    EXPECT_NE(a.file("rays.dat"), c.file("rays.dat"));
}

} // namespace
