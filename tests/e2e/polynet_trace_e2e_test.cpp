// raytrace/single through a closed polygon net built by the polynet command: where a ray meets a
// facet, the facet's normal (which side is outside) and the net's index decide whether it enters
// the glass, leaves it, is totally reflected or passes unbent; a facet with reflect=1 mirrors it.
#include <string>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

constexpr double kExit = 2500; // a ray that leaves the model is drawn this far

struct CubeOptions {
    double index = 1.5;
    bool bottomTurned = false; // the z = -10 facet listed the other way round: its normal inward
    bool mirrorTop = false;    // the z = +10 facet reflects everything
};

// A cube of half width 10 about the origin, named cube: six facets on shared corners, all
// normals outward unless the bottom is turned.
std::string cube(const CubeOptions& o) {
    std::string m = "polynet/start cube index=" + std::to_string(o.index) + "\n";
    m += "polynet/polygon\npolynet/chain\n";
    m += o.bottomTurned ? "polynet/point 10 -10 -10\npolynet/point 10 10 -10\n"
                          "polynet/point -10 10 -10\npolynet/point -10 -10 -10\n"
                        : "polynet/point -10 -10 -10\npolynet/point -10 10 -10\n"
                          "polynet/point 10 10 -10\npolynet/point 10 -10 -10\n";
    m += "polynet/close\n";
    m += std::string("polynet/polygon") + (o.mirrorTop ? " reflect=1" : "") + "\n";
    m += "polynet/chain\npolynet/point -10 -10 10\npolynet/point 10 -10 10\n"
         "polynet/point 10 10 10\npolynet/point -10 10 10\npolynet/close\n";
    // Bottom corners by position in its chain; top corners are (-,-) (+,-) (+,+) (-,+).
    const int mm = o.bottomTurned ? 4 : 1, mp = o.bottomTurned ? 3 : 2;
    const int pp = o.bottomTurned ? 2 : 3, pm = o.bottomTurned ? 1 : 4;
    const int sides[4][2] = {{mm, pm}, {pm, pp}, {pp, mp}, {mp, mm}};
    const int tops[4][2] = {{2, 1}, {3, 2}, {4, 3}, {1, 4}};
    for (int i = 0; i < 4; ++i) {
        m += "polynet/polygon\npolynet/chain\n";
        m += "polynet/vertex " + std::to_string(sides[i][0]) + " 1 1\n";
        m += "polynet/vertex " + std::to_string(sides[i][1]) + " 1 1\n";
        m += "polynet/vertex " + std::to_string(tops[i][0]) + " 1 2\n";
        m += "polynet/vertex " + std::to_string(tops[i][1]) + " 1 2\n";
        m += "polynet/close\n";
    }
    return m + "polynet/finish\n";
}

// The cube at the origin and a light source below it, shooting along u v w.
std::string belowCube(const CubeOptions& o, const std::string& extra, const std::string& uvw) {
    return cube(o) + extra +
           "define/lightsource\nplace cube 0 0 0\nplace 2 0 0 -50\nraytrace/single object=2 " +
           uvw + "\n";
}

const V kUp{0, 0, 1}, kBottom{0, 0, -10}, kTop{0, 0, 10};

// In through the bottom, out through the top, refracted at both by the index n.
std::vector<RayPoint> straightThrough(V d0, double n) {
    const V p0{0, 0, -50};
    const V p1 = onPlane(p0, d0, kBottom, kUp);
    const V d1 = snell(d0, kUp, 1, n);
    const V p2 = onPlane(p1, d1, kTop, kUp);
    const V d2 = snell(d1, kUp, n, 1);
    return {{1, p0}, {0, p1}, {0, p2}, {0, p2 + kExit * d2}};
}

TEST(PolynetTrace, TheNetsIndexBendsTheRayInAndOut) {
    const V d0 = unit({0.1, 0.05, 1});
    for (double n : {1.5, 2.0}) {
        SCOPED_TRACE(n);
        CubeOptions o;
        o.index = n;
        CliRun run(belowCube(o, "", "u=0.1 v=0.05 w=1"));
        ASSERT_TRUE(run.go());
        expectPath(run.rays(), straightThrough(d0, n));
    }
}

TEST(PolynetTrace, ASteepRayIsTotallyReflectedByASideFacet) {
    CliRun run(belowCube(CubeOptions{}, "", "u=0.2 v=0.1 w=1"));
    ASSERT_TRUE(run.go());
    const V d0 = unit({0.2, 0.1, 1}), p0{0, 0, -50}, xAxis{1, 0, 0};
    const V p1 = onPlane(p0, d0, kBottom, kUp);
    const V d1 = snell(d0, kUp, 1, 1.5);
    const V p2 = onPlane(p1, d1, {10, 0, 0}, xAxis);
    ASSERT_LT(p2.z, 10); // the side is met before the top, at 82 degrees: past the critical angle
    const V d2 = reflect(d1, xAxis);
    const V p3 = onPlane(p2, d2, kTop, kUp);
    expectPath(run.rays(),
               {{1, p0}, {0, p1}, {0, p2}, {0, p3}, {0, p3 + kExit * snell(d2, kUp, 1.5, 1)}});
}

TEST(PolynetTrace, AFacetFacingInwardLetsTheRayPassUntilTheNetIsNormalized) {
    CubeOptions turned;
    turned.bottomTurned = true;
    // Met along its normal, the turned bottom counts as the way out: air to air, no bend; the
    // top is then also left into air.
    CliRun before(belowCube(turned, "", "u=0.1 v=0.05 w=1"));
    ASSERT_TRUE(before.go());
    const V d0 = unit({0.1, 0.05, 1}), p0{0, 0, -50};
    const V p1 = onPlane(p0, d0, kBottom, kUp), p2 = onPlane(p0, d0, kTop, kUp);
    expectPath(before.rays(), {{1, p0}, {0, p1}, {0, p2}, {0, p2 + kExit * d0}});

    CliRun after(belowCube(turned, "polynet/normalize cube\n", "u=0.1 v=0.05 w=1"));
    ASSERT_TRUE(after.go());
    expectPath(after.rays(), straightThrough(d0, 1.5));
}

TEST(PolynetTrace, AReflectingFacetSendsTheRayBackThroughTheGlass) {
    CubeOptions o;
    o.mirrorTop = true;
    CliRun run(belowCube(o, "", "u=0.1 v=0.05 w=1"));
    ASSERT_TRUE(run.go());
    const V d0 = unit({0.1, 0.05, 1}), p0{0, 0, -50};
    const V p1 = onPlane(p0, d0, kBottom, kUp);
    const V d1 = snell(d0, kUp, 1, 1.5);
    const V p2 = onPlane(p1, d1, kTop, kUp);
    const V d2 = reflect(d1, kUp);
    const V p3 = onPlane(p2, d2, kBottom, kUp);
    expectPath(run.rays(),
               {{1, p0}, {0, p1}, {0, p2}, {0, p3}, {0, p3 + kExit * snell(d2, kUp, 1.5, 1)}});
}

TEST(PolynetTrace, ASourceInsideTheNetStartsInItsGlass) {
    const V d0 = unit({0.5, 0, std::sqrt(0.75)}), p0{0, 0, -8}, xAxis{1, 0, 0};
    const std::string shoot = "raytrace/single object=2 u=0.5 w=0.8660254037844386\n";
    // Inside: 60 degrees on the side facet is past the critical angle; the top lets it out.
    CliRun inside(cube(CubeOptions{}) +
                  "define/lightsource\nplace cube 0 0 0\nplace/inside 2 cube 0 0 -8\n" + shoot);
    ASSERT_TRUE(inside.go());
    const V p1 = onPlane(p0, d0, {10, 0, 0}, xAxis);
    const V d1 = reflect(d0, xAxis);
    const V p2 = onPlane(p1, d1, kTop, kUp);
    expectPath(inside.rays(),
               {{1, p0}, {0, p1}, {0, p2}, {0, p2 + kExit * snell(d1, kUp, 1.5, 1)}});

    // The same source not linked inside is in air: it leaves the net unbent.
    CliRun loose(cube(CubeOptions{}) + "define/lightsource\nplace cube 0 0 0\nplace 2 0 0 -8\n" +
                 shoot);
    ASSERT_TRUE(loose.go());
    expectPath(loose.rays(), {{1, p0}, {0, p1}, {0, p1 + kExit * d0}});
}

// A ball of radius 10 cut into 2 x 24 x 11 triangles on shared corners, every third one listed
// the other way round.
std::string ball() {
    const int rings = 12, sectors = 24;
    auto corner = [&](int i, int j) {
        const double theta = M_PI * i / rings, phi = 2 * M_PI * (j % sectors) / sectors;
        char text[96];
        std::snprintf(text, sizeof text, "polynet/point %.17g %.17g %.17g\n",
                      10 * std::sin(theta) * std::cos(phi), 10 * std::sin(theta) * std::sin(phi),
                      10 * std::cos(theta));
        return std::string(text);
    };
    std::string m = "polynet/start ball index=1.5\n";
    int n = 0;
    auto facet = [&](std::string a, const std::string& b, std::string c) {
        if (++n % 3 == 0) std::swap(a, c);
        m += "polynet/polygon\npolynet/chain\n" + a + b + c + "polynet/close\n";
    };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sectors; ++j) {
            if (i + 1 < rings) facet(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1));
            if (i > 0) facet(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1));
        }
    return m + "polynet/finish\n";
}

TEST(PolynetTrace, TheFacetHierarchyWritesTheFilesTheFacetLoopWrites) {
    // Turned normals put right by normalize, Fresnel ghosts inside the ball, rays through the
    // poles' shared corners and along the meridians' shared edges, one-ray and bundle traces.
    const std::string model = ball() +
                              "polynet/normalize ball\nset/fresnel/on\n"
                              "define/lightsource lamp\ndefine/detector screen\n"
                              "place ball 0 0 0\nplace lamp 0 0 -50\nplace screen 0 0 40\n";
    for (const char* trace :
         {"raytrace/single object=2 u=0 v=0 w=1\n", "raytrace/single object=2 u=0.1 v=0 w=1\n",
          "raytrace/single object=2 u=0.05 v=0.0134 w=1\n",
          "raytrace/collimated lamp nx=17 ny=17 hhwidth=9 vhwidth=9\n",
          "raytrace/cone lamp nx=9 ny=9 hfov=30 vfov=30\n"}) {
        SCOPED_TRACE(trace);
        CliRun plain(model + trace), hierarchy(model + trace);
        ASSERT_TRUE(runBothSearches(plain, hierarchy));
        ASSERT_GT(plain.rays().size(), 3u);
        ASSERT_GT(hierarchy.rays().size(), 3u);
        EXPECT_TRUE(plain.file("rays.dat") == hierarchy.file("rays.dat")) << "rays.dat differs";
        EXPECT_TRUE(plain.file("spots.dat") == hierarchy.file("spots.dat")) << "spots.dat differs";
    }
}

} // namespace
