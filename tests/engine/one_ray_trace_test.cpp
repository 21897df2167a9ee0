// Whole rays through objects built in the object table, compared with paths computed here from
// the geometry and Snell's law.
#include <cmath>
#include <sys/stat.h>

#include "tests/engine/trace_fixture.h"

namespace {

// The root of |p + t d - c| = r along the unit d: the nearer positive one, or the farther.
double sphereRoot(const Vec3& p, const Vec3& d, const Vec3& c, double r, bool farther) {
    const Vec3 w = p - c;
    const double b = dot3(w, d), k = dot3(w, w) - r * r;
    const double s = std::sqrt(b * b - k);
    const double t1 = -b - s, t2 = -b + s;
    if (farther) return t2;
    return t1 > 0 ? t1 : t2;
}

// Snell's law in vector form; the normal may face either way.
Vec3 snell(const Vec3& d, Vec3 n, double n1, double n2) {
    if (dot3(n, d) > 0) n = -1.0 * n;
    const double ci = -dot3(n, d), eta = n1 / n2;
    const double k = 1 - eta * eta * (1 - ci * ci);
    return unit(eta * d + (eta * ci - std::sqrt(k)) * n);
}

Vec3 at(const Vec3& p, const Vec3& d, double t) {
    return p + t * d;
}

class OneRayTest : public TraceTest {
  protected:
    void expectPath(const std::vector<std::pair<int, Vec3>>& expected, double tol = 1e-9) {
        const auto got = rays();
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].flag, expected[i].first);
            EXPECT_VEC_NEAR(got[i].point, expected[i].second, tol);
        }
    }
};

// A biconvex lens of radii 50 / -50, 10 thick, 40 across, index 1.5, at the origin; the source
// 50 in front of it.
class LensTest : public OneRayTest {
  protected:
    void SetUp() override {
        OneRayTest::SetUp();
        lens = makeLens(50, -50, 10, 40, 1.5, {0, 0, 0});
        source = makeSource({0, 0, -50});
    }
    ObjectRecord* lens = nullptr;
    ObjectRecord* source = nullptr;
};

TEST_F(LensTest, AxialRayPassesStraightThrough) {
    // Any length is traced as the unit direction; the box shows it as given.
    ASSERT_EQ(traceSingleRay({0, 0, 5}, source), 1);
    expectPath({{1, {0, 0, -50}}, {0, {0, 0, -5}}, {0, {0, 0, 5}}, {0, {0, 0, 2505}}});
    EXPECT_TRUE(spots().empty());
    ASSERT_EQ(hooks.boxes.size(), 2u);
    EXPECT_EQ(hooks.boxes[0].text, "orign: 0.000000 0.000000 -50.000000\n");
    EXPECT_EQ(hooks.boxes[1].text, "dir: 0.000000 0.000000 5.000000\n");
}

TEST_F(LensTest, OffAxisRayFollowsSnellsLaw) {
    const Vec3 p0{0, 0, -50}, d0 = unit({0, 0.1, 1});
    const Vec3 c1{0, 0, 45}, c2{0, 0, -45};
    const Vec3 p1 = at(p0, d0, sphereRoot(p0, d0, c1, 50, false));
    const Vec3 d1 = snell(d0, unit(p1 - c1), 1.0, 1.5);
    const Vec3 p2 = at(p1, d1, sphereRoot(p1, d1, c2, 50, true));
    const Vec3 d2 = snell(d1, unit(p2 - c2), 1.5, 1.0);
    traceSingleRay({0, 0.1, 1}, source);
    expectPath({{1, p0}, {0, p1}, {0, p2}, {0, at(p2, d2, 2500)}});
}

TEST_F(LensTest, FresnelGhostsFollowTheGhostLimit) {
    fresnelOn = 1;
    const Vec3 A{0, 0, -50}, F{0, 0, -5}, B{0, 0, 5}, fwd{0, 0, 2505}, back{0, 0, -2505};
    maxGhosts = 0;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, A}, {0, F}, {0, B}, {0, fwd}});
    // One generation: the reflections at both faces, each leaving backwards.
    maxGhosts = 1;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, A}, {0, F}, {0, B}, {0, fwd}, {1, B}, {0, F}, {0, back}, {1, F}, {0, back}});
    // Two: the ghost of the ghost (0.96 x 0.04 x 0.04) is below the energy limit at once.
    maxGhosts = 2;
    traceSingleRay({0, 0, 1}, source);
    expectPath(
        {{1, A}, {0, F}, {0, B}, {0, fwd}, {1, B}, {0, F}, {0, back}, {1, F}, {1, F}, {0, back}});
    minRayEnergy = 0.001;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, A},
                {0, F},
                {0, B},
                {0, fwd},
                {1, B},
                {0, F},
                {0, back},
                {1, F},
                {0, B},
                {0, fwd},
                {1, F},
                {0, back}});
}

TEST_F(LensTest, GhostEnergiesReachADetector) {
    fresnelOn = 1;
    maxGhosts = 2;
    minRayEnergy = 0.001;
    ObjectRecord* film = makePlaneObject({0, 0, 20}, 100, kTypeRaytraceDetector);
    traceSingleRay({0, 0, 1}, source);
    const auto hits = spots();
    ASSERT_EQ(hits.size(), 2u);
    // Every face passes 0.96 and reflects 0.04.
    EXPECT_NEAR(hits[0].energy, 0.96 * 0.96, 1e-12);
    EXPECT_NEAR(hits[1].energy, 0.96 * 0.04 * 0.04 * 0.96, 1e-12);
    for (const auto& h : hits) {
        EXPECT_EQ(h.objectNumber, film->number);
        EXPECT_EQ(h.surfaceNumber, 1);
        EXPECT_VEC_NEAR(h.point, (Vec3{0, 0, 0}), 1e-12);
        EXPECT_VEC_NEAR(h.direction, (Vec3{0, 0, 1}), 1e-12);
    }
}

TEST_F(OneRayTest, TotalInternalReflectionInARod) {
    // A rod 100 long and 20 across, index 1.5; the source inside it at its centre.
    ObjectRecord* rod = makeLens(0, 0, 100, 20, 1.5, {0, 0, 0});
    ObjectRecord* source = makeSource({0, 0, 0});
    source->firstSurface->inside = rod->firstSurface;
    const double a = 20 * kDegree; // 70 degrees on the wall: beyond the critical angle
    traceSingleRay({std::sin(a), 0, std::cos(a)}, source);
    const Vec3 wall{10, 0, 10 / std::tan(a)};
    const Vec3 inside{-std::sin(a), 0, std::cos(a)};
    const Vec3 face = at(wall, inside, (50 - wall.z) / inside.z);
    const Vec3 out = snell(inside, {0, 0, 1}, 1.5, 1.0);
    expectPath({{1, {0, 0, 0}}, {0, wall}, {0, face}, {0, at(face, out, 2500)}});
    EXPECT_NEAR(out.x, -1.5 * std::sin(a), 1e-12);
}

TEST_F(OneRayTest, DetectorSpotsWithAndWithoutAddedRays) {
    ObjectRecord* film = makePlaneObject({0, 0, 100}, 50, kTypeRaytraceDetector);
    ObjectRecord* source = makeSource({3, 4, 0});
    wavelengthIndex = 2;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, {3, 4, 0}}, {0, {3, 4, 100}}});
    auto hits = spots();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_VEC_NEAR(hits[0].point, (Vec3{3, 4, 0}), 1e-12);
    EXPECT_EQ(hits[0].energy, 1.0);
    EXPECT_EQ(hits[0].objectNumber, film->number);
    EXPECT_EQ(hits[0].surfaceNumber, 1);
    EXPECT_VEC_NEAR(hits[0].direction, (Vec3{0, 0, 1}), 1e-12);
    EXPECT_EQ(hits[0].wavelengthIndex, 2);

    addRays = 1; // rays.dat grows, spots.dat starts again
    traceSingleRay({0, 0, 1}, source);
    EXPECT_EQ(paths(), 2);
    EXPECT_EQ(spots().size(), 1u);
    addRays = 0;
    traceSingleRay({0, 0, 1}, source);
    EXPECT_EQ(paths(), 1);

    // Image rendering treats a detector as any surface and writes no spot.
    traceMode = kTraceModeImage;
    traceSingleRay({0, 0, 1}, source);
    expectPath({{1, {3, 4, 0}}, {0, {3, 4, 100}}, {0, {3, 4, 2600}}});
}

TEST_F(OneRayTest, SpotEnergyIsTheEnergyAtTheStartOfTheLastSegment) {
    makePlaneObject({0, 0, 100}, 50, kTypeRaytraceDetector);
    ObjectRecord* murk = makeObject(kTypeLens);
    murk->firstSurface->index = 1.0;
    murk->firstSurface->absorbtivity = 0.01;
    ObjectRecord* source = makeSource({0, 0, 0});
    source->firstSurface->inside = murk->firstSurface;
    traceSingleRay({0, 0, 1}, source);
    ASSERT_EQ(spots().size(), 1u);
    EXPECT_EQ(spots()[0].energy, 1.0);
}

TEST_F(OneRayTest, ApertureStopsRaysOutsideItsHole) {
    ObjectRecord* stop = makePlaneObject({0, 0, 50}, 40);
    SurfaceRecord* s = stop->firstSurface;
    s->absorbtion = 1;
    s->hasHole = 1;
    s->holeShape = 1;
    const double hole[4] = {-5, 5, -5, 5};
    std::copy(hole, hole + 4, s->holeLimits);
    traceSingleRay({0, 0, 1}, makeSource({4, 0, 0}));
    expectPath({{1, {4, 0, 0}}, {0, {4, 0, 2500}}});
    traceSingleRay({0, 0, 1}, makeSource({6, 0, 0}));
    expectPath({{1, {6, 0, 0}}, {0, {6, 0, 50}}}); // absorbed: no closing point
    traceSingleRay({0, 0, 1}, makeSource({45, 0, 0}));
    expectPath({{1, {45, 0, 0}}, {0, {45, 0, 2500}}}); // beside the plate
}

TEST_F(OneRayTest, RayThatLeavesAtOnceClosesAtTheWorkboxDistance) {
    workbox.halfSize[2] = 40;
    traceSingleRay({0, 3, 4}, makeSource({1, 2, 3}));
    expectPath({{1, {1, 2, 3}}, {0, {1, 2 + 600, 3 + 800}}});
}

TEST_F(OneRayTest, DepthLimitEndsTheBranchAndThePendingOnesGoOn) {
    // A mirror at z = 0 and a half mirror at z = 10: the ray bounces between them.
    makePlaneObject({0, 0, 0}, 100)->firstSurface->reflectance = 1;
    makePlaneObject({0, 0, 10}, 100)->firstSurface->reflectance = 0.5;
    maxRayDepth = 3;
    maxGhosts = 1;
    minRayEnergy = 0;
    traceSingleRay({0, 0, 1}, makeSource({0, 0, 5}));
    const Vec3 up{0, 0, 10}, down{0, 0, 0};
    // Followed: up (a tie: the reflection is followed, the transmission stored at level 0),
    // down, up (stored at level 2), then the limit. The branch of level 2 starts at the limit
    // and ends at once; the one of level 0 leaves upwards.
    expectPath({{1, {0, 0, 5}}, {0, up}, {0, down}, {0, up}, {1, up}, {1, up}, {0, {0, 0, 2510}}});
    const std::string message =
        "Maximum ray depth (3) exceeded.  Trace terminated.\nSee SET command.\n";
    EXPECT_EQ(screen(), message + message);
}

TEST_F(OneRayTest, UnwritableRayFileEndsTheRayWithOneMessage) {
    ASSERT_EQ(mkdir(home("rays.dat").c_str(), 0755), 0);
    makePlaneObject({0, 0, 10}, 100);
    EXPECT_EQ(traceSingleRay({0, 0, 1}, makeSource({})), 1);
    EXPECT_EQ(screen(), "ERROR: Error writing ray data -- possibly out of disk space.\n");
}

TEST_F(OneRayTest, RefusesWhatItCannotTrace) {
    ObjectRecord* bare = makeObject(kTypeLightSource, 0);
    EXPECT_EQ(traceSingleRay({0, 0, 1}, bare), 0);
    EXPECT_EQ(traceSingleRay({0, 0, 1}, nullptr), 0);
    EXPECT_EQ(traceSingleRay({0, 0, 0}, makeSource({})), 0);
    EXPECT_EQ(traceSingleRay({NAN, 0, 1}, makeSource({})), 0);
    EXPECT_FALSE(std::filesystem::exists(home("rays.dat")));
    EXPECT_TRUE(hooks.boxes.empty());
}

} // namespace
