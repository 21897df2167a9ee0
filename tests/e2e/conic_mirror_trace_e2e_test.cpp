// raytrace/single on conic mirrors: a "concave" mirror reflects light that arrives on its concave
// side (a paraboloid, k = -1, through its focus) and stops light that arrives on the other;
// "convex" does the opposite. Both signs of the curvature, so the side never hangs on the sign
// of c.
#include <string>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

constexpr double kExit = 2500; // a ray that leaves the model is drawn this far

struct Shot {
    std::vector<RayPoint> path;
    V focus; // of the paraboloid z = c r^2 / 2
};

// A ray parallel to the axis from z = from towards the mirror, through x = 6, y = 8 (r = 10).
std::vector<RayPoint> shoot(const std::string& side, double c, double from) {
    CliRun run("define/mirror/conic/" + side + " c=" + std::to_string(c) +
               " k=-1\n"
               "define/lightsource\n"
               "place 1 0 0 0\n"
               "place 2 6 8 " +
               std::to_string(from) + "\nraytrace/single object=2 w=" + (from > 0 ? "-1" : "1") +
               "\n");
    EXPECT_TRUE(run.go());
    return run.rays();
}

TEST(ConicMirrorTrace, EachSideReflectsOnlyTheLightArrivingOnIt) {
    for (double c : {0.01, -0.02}) {
        SCOPED_TRACE(c);
        const V focus{0, 0, 1 / (2 * c)};
        const V hit{6, 8, c * 100 / 2};
        // The concave side faces the focus: from there when c > 0, from below when c < 0.
        const double concaveFrom = c > 0 ? 100 : -100, convexFrom = -concaveFrom;
        const V start{6, 8, concaveFrom}, back{6, 8, convexFrom};

        // "concave": light on the concave side goes through the focus; on the other it ends.
        expectPath(shoot("concave", c, concaveFrom),
                   {{1, start}, {0, hit}, {0, hit + kExit * unit(focus - hit)}});
        expectPath(shoot("concave", c, convexFrom), {{1, back}, {0, hit}});

        // "convex": light on the convex side leaves as if from the focus; on the other it ends.
        expectPath(shoot("convex", c, convexFrom),
                   {{1, back}, {0, hit}, {0, hit + kExit * unit(hit - focus)}});
        expectPath(shoot("convex", c, concaveFrom), {{1, start}, {0, hit}});

        // both_sides reflects either way.
        EXPECT_EQ(shoot("both_sides", c, concaveFrom).size(), 3u);
        EXPECT_EQ(shoot("both_sides", c, convexFrom).size(), 3u);
    }
}

} // namespace
