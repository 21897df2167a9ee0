// raytrace/single through meridyn-cli on models made by the define and place commands: the
// decoded rays.dat and spots.dat against paths computed here from the geometry and Snell's law.
#include <cmath>
#include <string>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

const char* const kLens = "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                          "define/lightsource\n"
                          "place 1 0 0 0\n"
                          "place 2 0 0 -50\n";

TEST(RaytraceSingle, AxialAndOffAxisRaysThroughALens) {
    CliRun axial(std::string(kLens) + "raytrace/single object=2\n");
    ASSERT_TRUE(axial.go());
    expectPath(axial.rays(),
               {{1, {0, 0, -50}}, {0, {0, 0, -5}}, {0, {0, 0, 5}}, {0, {0, 0, 2505}}});
    EXPECT_NE(axial.file("stdout.txt").find("Direction vector: 0.000000 0.000000 1.000000\n"),
              std::string::npos);
    EXPECT_NE(axial.file("stderr.txt").find("orign: 0.000000 0.000000 -50.000000"),
              std::string::npos);

    CliRun offAxis(std::string(kLens) + "raytrace/single object=2 u=0.2 v=0.1 w=1\n");
    ASSERT_TRUE(offAxis.go());
    const V p0{0, 0, -50}, d0 = unit({0.2, 0.1, 1}), c1{0, 0, 45}, c2{0, 0, -45};
    const V p1 = p0 + sphereRoot(p0, d0, c1, 50, false) * d0;
    const V d1 = snell(d0, p1 - c1, 1.0, 1.5);
    const V p2 = p1 + sphereRoot(p1, d1, c2, 50, true) * d1;
    const V d2 = snell(d1, p2 - c2, 1.5, 1.0);
    expectPath(offAxis.rays(), {{1, p0}, {0, p1}, {0, p2}, {0, p2 + 2500 * d2}});
}

TEST(RaytraceSingle, FresnelGhostsUnderSeveralGhostLimits) {
    const V A{0, 0, -50}, F{0, 0, -5}, B{0, 0, 5}, fwd{0, 0, 2505}, back{0, 0, -2505};
    const std::vector<std::vector<RayPoint>> expected = {
        {{1, A}, {0, F}, {0, B}, {0, fwd}},
        {{1, A}, {0, F}, {0, B}, {0, fwd}, {1, B}, {0, F}, {0, back}, {1, F}, {0, back}},
        // The ghost of the ghost (0.96 x 0.04 x 0.04) starts below the energy limit.
        {{1, A}, {0, F}, {0, B}, {0, fwd}, {1, B}, {0, F}, {0, back}, {1, F}, {1, F}, {0, back}},
    };
    for (int ghosts = 0; ghosts < 3; ++ghosts) {
        SCOPED_TRACE(ghosts);
        CliRun run(std::string(kLens) + "set/fresnel/on\nset/raylimits maxghost=" +
                   std::to_string(ghosts) + "\nraytrace/single object=2\n");
        ASSERT_TRUE(run.go());
        expectPath(run.rays(), expected[ghosts]);
    }
}

TEST(RaytraceSingle, TotalInternalReflectionInARodAroundItsSource) {
    const double a = 20 * M_PI / 180;
    CliRun run("define/rod length=100 diameter=20 n=1.5\n"
               "define/lightsource\n"
               "place 1 0 0 500\n"
               "place/inside 2 1 0 0 0\n"
               "raytrace/single object=2 u=" +
               std::to_string(std::sin(a)) + " w=" + std::to_string(std::cos(a)) + "\n");
    ASSERT_TRUE(run.go());
    // The values went through "%f": recompute from the same digits.
    const V d0 =
        unit({std::stod(std::to_string(std::sin(a))), 0, std::stod(std::to_string(std::cos(a)))});
    const V start{0, 0, 500};
    const V wall = start + (10 / d0.x) * d0; // 70 degrees on the wall: beyond the critical angle
    const V inside{-d0.x, 0, d0.z};
    const V face = wall + ((550 - wall.z) / inside.z) * inside;
    const V out = snell(inside, {0, 0, 1}, 1.5, 1.0);
    expectPath(run.rays(), {{1, start}, {0, wall}, {0, face}, {0, face + 2500 * out}});
}

TEST(RaytraceSingle, DetectorSpotsWithAndWithoutAddedRays) {
    const std::string model = "define/detector xsize=10 ysize=10\n"
                              "define/lightsource\n"
                              "place 1 0 0 100\n"
                              "place 2 3 4 0\n";
    CliRun added(model + "set/add_rays/on\nraytrace/single object=2\nraytrace/single object=2\n");
    ASSERT_TRUE(added.go());
    const std::vector<RayPoint> one = {{1, {3, 4, 0}}, {0, {3, 4, 100}}};
    expectPath(added.rays(), {one[0], one[1], one[0], one[1]});
    auto spots = added.spots(); // spots.dat starts again with every single ray
    ASSERT_EQ(spots.size(), 1u);
    expectNear(spots[0].p, {3, 4, 0});
    EXPECT_EQ(spots[0].energy, 1.0);
    EXPECT_EQ(spots[0].object, 1);
    EXPECT_EQ(spots[0].surface, 1);
    expectNear(spots[0].d, {0, 0, 1});
    EXPECT_EQ(spots[0].wavelength, 0);

    CliRun fresh(model + "raytrace/single object=2\nraytrace/single object=2\n");
    ASSERT_TRUE(fresh.go());
    expectPath(fresh.rays(), one);
    EXPECT_EQ(fresh.spots().size(), 1u);
}

TEST(RaytraceSingle, ApertureStopsWhatMissesItsHole) {
    const std::string model = "define/aperture xhw=20 hxhw=5\n"
                              "define/lightsource\n"
                              "place 1 0 0 50\n";
    const struct {
        double x;
        std::vector<RayPoint> path;
    } cases[] = {
        {4, {{1, {4, 0, 0}}, {0, {4, 0, 2500}}}},    // through the hole: no hit at all
        {12, {{1, {12, 0, 0}}, {0, {12, 0, 50}}}},   // the plate absorbs it
        {25, {{1, {25, 0, 0}}, {0, {25, 0, 2500}}}}, // beside the plate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        CliRun run(model + "place 2 " + std::to_string(c.x) + " 0 0\nraytrace/single object=2\n");
        ASSERT_TRUE(run.go());
        expectPath(run.rays(), c.path);
    }
}

TEST(RaytraceSingle, RayThatLeavesAtOnceWithAChangedWorkbox) {
    CliRun run("define/lightsource\nplace 1 1 2 3\nset/workbox zsize=40\n"
               "raytrace/single object=1 u=0 v=3 w=4\n");
    ASSERT_TRUE(run.go());
    expectPath(run.rays(), {{1, {1, 2, 3}}, {0, {1, 602, 803}}});
}

TEST(RaytraceSingle, RefusalsLeaveTheEarlierRays) {
    CliRun run(std::string(kLens) + "define/lens\n"
                                    "raytrace/single object=2\n"
                                    "raytrace/single\n"
                                    "raytrace/single object=9\n"
                                    "raytrace/single object=3\n"
                                    "remove 1\n"
                                    "raytrace/single object=1\n"
                                    "raytrace/single object=2 w=0\n"
                                    "raytrace/single/cone object=2\n");
    ASSERT_TRUE(run.go(1));
    expectPath(run.rays(), {{1, {0, 0, -50}}, {0, {0, 0, -5}}, {0, {0, 0, 5}}, {0, {0, 0, 2505}}});
    const std::string out = run.file("stdout.txt");
    for (const char* line : {" No object specified.\n", "ERROR: Object 9 never defined.\n",
                             "ERROR: Object lens3 not placed in the workbox.\n",
                             "ERROR: Object lens1 not placed in the workbox.\n",
                             "ERROR: Zero direction vector.  Command ignored.\n",
                             "WARNING:  Multiple matches found for ray trace type modifier\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line;
}

} // namespace
