// raytrace/single through meridyn-cli on four behaviours of the shared optics core: surfaces
// that were given no medium border air, gratings keep the orientation of their lines, an
// aspheric mirror reflects on the side the mirror did, and an absorbing surface never gives
// back more energy than arrived. Paths and spot energies are computed here from the geometry,
// Snell's law, the grating equation and Fresnel's equations.
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

constexpr double kExit = 2500; // a ray that leaves the model is drawn this far

std::string num(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// --- A medium of index 0 is air -------------------------------------------------------------

// The default lens (faces of radius 100 and -100, 20 thick, index 1.33) at the origin, a ray
// along +z from (0, 10, -50).
struct LensPath {
    V start{0, 10, -50}, entry, exit, out;
};
LensPath lensPath() {
    LensPath p;
    const V d0{0, 0, 1}, c1{0, 0, 90}, c2{0, 0, -90};
    p.entry = p.start + sphereRoot(p.start, d0, c1, 100, false) * d0;
    const V d1 = snell(d0, p.entry - c1, 1.0, 1.33);
    p.exit = p.entry + sphereRoot(p.entry, d1, c2, 100, true) * d1;
    p.out = snell(d1, p.exit - c2, 1.33, 1.0);
    return p;
}

TEST(OpticsCoreTrace, LensAndSourceInsideACavitySeeAir) {
    const LensPath want = lensPath();
    // The figures of the worked example, as a check on the computation above.
    expectNear(want.entry, {0, 10, -9.4987}, 1e-4);
    expectNear(want.exit, {0, 9.5255, 9.5453}, 1e-4);
    expectNear(want.out, {0, -0.0649, 0.9979}, 1e-4);

    // Lens and source inside the cavity: through the glass, then on to the cavity's wall.
    CliRun inside("define/cavity/ellipsoid a=200 b=200 c=200\n"
                  "define/lens\n"
                  "define/lightsource\n"
                  "place 1 0 0 0\n"
                  "place/inside 2 1 0 0 0\n"
                  "place/inside 3 1 0 10 -50\n"
                  "raytrace/single object=3\n");
    ASSERT_TRUE(inside.go());
    const auto rays = inside.rays();
    ASSERT_GE(rays.size(), 4u);
    const V wall = want.exit + sphereRoot(want.exit, want.out, {0, 0, 0}, 200, true) * want.out;
    expectPath({rays.begin(), rays.begin() + 4},
               {{1, want.start}, {0, want.entry}, {0, want.exit}, {0, wall}});

    // The same lens placed globally without the cavity: the same path, then out of the model.
    CliRun global("define/lens\ndefine/lightsource\nplace 1 0 0 0\nplace 2 0 10 -50\n"
                  "raytrace/single object=2\n");
    ASSERT_TRUE(global.go());
    expectPath(
        global.rays(),
        {{1, want.start}, {0, want.entry}, {0, want.exit}, {0, want.exit + kExit * want.out}});
}

// --- Grating orientation ---------------------------------------------------------------------

// A rod of index 1.5 (faces at z = -50 and 50) with a 500 lines/mm grating, order 1, on its entry
// face; one ray along the axis at 0.6 micrometres.
std::vector<RayPoint> gratingRun(double theta) {
    CliRun run("set/wavelength 0.6\n"
               "define/rod length=100 diameter=100 n=1.5\n"
               "define/lightsource\n"
               "place 1 0 0 0\n"
               "place 2 0 0 -100\n"
               "modify/altsurfaces/grating surface=1.1 frequency=500 theta=" +
               num(theta) + " order=1\nraytrace/single object=2\n");
    EXPECT_TRUE(run.go());
    return run.rays();
}

TEST(OpticsCoreTrace, GratingLinesKeepTheirOrientation) {
    const double fl = 500 * 0.6e-3; // frequency x wavelength
    std::vector<std::vector<RayPoint>> paths;
    for (double theta : {30.0, -30.0, 0.0, 90.0, 210.0}) {
        SCOPED_TRACE(theta);
        const double c = std::cos(theta * M_PI / 180), s = std::sin(theta * M_PI / 180);
        // The grating equation in the glass, then in air behind the parallel exit face.
        const V inGlass{fl * c / 1.5, fl * s / 1.5, std::sqrt(1 - fl * fl / 2.25)};
        const V inAir{fl * c, fl * s, std::sqrt(1 - fl * fl)};
        const V entry{0, 0, -50};
        const V exit = entry + (100 / inGlass.z) * inGlass;
        paths.push_back(gratingRun(theta));
        const auto& got = paths.back();
        ASSERT_EQ(got.size(), 4u);
        expectPath({got.begin(), got.begin() + 3}, {{1, {0, 0, -100}}, {0, entry}, {0, exit}});
        expectNear(unit(got[3].p - got[2].p), inAir, 1e-10); // from points 2500 apart
    }
    // Mirror-image lines, mirror-image directions; turned by 180 degrees, the opposite order.
    const auto out = [&](int k) { return unit(paths[k][3].p - paths[k][2].p); };
    const V a = out(0), b = out(1), r = out(4);
    EXPECT_NEAR(a.x, b.x, 1e-10);
    EXPECT_NEAR(a.y, -b.y, 1e-10);
    EXPECT_NEAR(a.z, b.z, 1e-10);
    EXPECT_NEAR(a.x, -r.x, 1e-10);
    EXPECT_NEAR(a.y, -r.y, 1e-10);
}

// --- Aspheric mirrors keep their reflecting side ----------------------------------------------

std::vector<RayPoint> mirrorRun(const std::string& mirror, const std::string& aspheric, V from,
                                V direction) {
    CliRun run(mirror + "\ndefine/lightsource\nplace 1 0 0 0\nplace 2 " + num(from.x) + " " +
               num(from.y) + " " + num(from.z) + "\n" + aspheric + "\nraytrace/single object=2 u=" +
               num(direction.x) + " v=" + num(direction.y) + " w=" + num(direction.z) + "\n");
    EXPECT_TRUE(run.go());
    return run.rays();
}

TEST(OpticsCoreTrace, AsphericMirrorReflectsOnTheSameSide) {
    // A concave sphere of radius 100 (centre at z = -100) and the same sphere as an aspheric.
    const V front{0, 5, -200}, behind{0, 5, 200}, axial{0, 0, 1};
    const V centre{0, 0, -100};
    const V hit = front + sphereRoot(front, axial, centre, 100, true) * axial;
    const V out = reflect(axial, hit - centre);
    // Where the reflected ray crosses the axis.
    const double crossing = hit.z - hit.y * out.z / out.y;
    EXPECT_NEAR(crossing, -49.94, 0.005);
    for (const char* aspheric : {"", "modify/altsurfaces/aspheric surface=1.1 cv=-0.01 k=0"}) {
        SCOPED_TRACE(aspheric);
        expectPath(mirrorRun("define/mirror/spherical fl=-50", aspheric, front, axial),
                   {{1, front}, {0, hit}, {0, hit + kExit * out}});
        expectPath(mirrorRun("define/mirror/spherical fl=-50", aspheric, behind, -1 * axial),
                   {{1, behind}, {0, hit}});
    }

    // A flat mirror reflects from +z ("front"), from -z ("back"), or both; an aspheric of any
    // curvature on it keeps that. The ray meets the plane at (0, 10, 0) before the aspheric.
    const V slope = unit({0, 0.1, 1});
    const V below{0, 5, -50}, above{0, 5, 50}, plane{0, 10, 0};
    const V down{0, slope.y, -slope.z};
    struct Case {
        const char* side;
        bool fromBelow, fromAbove;
    } cases[] = {{"", false, true}, {"/back", true, false}, {"/both", true, true}};
    for (const Case& c : cases) {
        for (const char* aspheric : {"", "modify/altsurfaces/aspheric surface=1.1 cv=0 k=0",
                                     "modify/altsurfaces/aspheric surface=1.1 cv=-0.002 k=-1"}) {
            SCOPED_TRACE(std::string(c.side) + " " + aspheric);
            const std::string mirror = std::string("define/mirror/flat") + c.side;
            const auto up = mirrorRun(mirror, aspheric, below, slope);
            const auto back = mirrorRun(mirror, aspheric, above, down);
            ASSERT_GE(up.size(), 2u);
            ASSERT_GE(back.size(), 2u);
            EXPECT_EQ(up.size(), c.fromBelow ? 3u : 2u);
            EXPECT_EQ(back.size(), c.fromAbove ? 3u : 2u);
            if (*aspheric == '\0') {
                expectNear(up[1].p, plane);
                expectNear(back[1].p, plane);
            }
            // A reflected ray goes back to the side it came from.
            if (up.size() == 3) {
                EXPECT_LT(up[2].p.z, up[1].p.z);
            }
            if (back.size() == 3) {
                EXPECT_GT(back[2].p.z, back[1].p.z);
            }
        }
    }
}

// --- No energy is created at an absorbing surface ----------------------------------------------

// Unpolarised Fresnel reflectance from air into glass of index n at the angle a (radians).
double fresnel(double a, double n) {
    const double ci = std::cos(a), st = std::sin(a) / n, ct = std::sqrt(1 - st * st);
    const double rs = (ci - n * ct) / (ci + n * ct), rp = (n * ci - ct) / (ct + n * ci);
    return (rs * rs + rp * rp) / 2;
}

struct Split {
    double reflected = 0, transmitted = 0; // spot energies, 0 when no spot
};

// A ray meets the entry face of a rod of index 1.5 at its centre (0, 0, -50) at `degrees` from
// the axis; the face has the absorption given. Detector 3 (below the face, outside the rod)
// catches the reflection, detector 4 (inside the glass) the transmission.
Split absorbingFaceRun(double degrees, double absorption) {
    const double a = degrees * M_PI / 180;
    const V d{0, std::sin(a), std::cos(a)};
    const V start = V{0, 0, -50} - 5 * d;
    CliRun run("define/rod length=100 diameter=20 n=1.5\n"
               "define/lightsource\n"
               "define/detector xsize=25 ysize=49.75\n"
               "define/detector xsize=5 ysize=5\n"
               "place 1 0 0 0\n"
               "place 2 0 " +
               num(start.y) + " " + num(start.z) +
               "\n"
               "place 3 0 50.25 -52\n"
               "place/inside 4 1 0 4 -45\n"
               "set/fresnel/on\n"
               "modify/surface surface=1.1 absor=" +
               num(absorption) + "\nraytrace/single object=2 v=" + num(d.y) + " w=" + num(d.z) +
               "\n");
    EXPECT_TRUE(run.go());
    Split s;
    for (const Spot& spot : run.spots()) {
        if (spot.object == 3) s.reflected += spot.energy;
        if (spot.object == 4) s.transmitted += spot.energy;
    }
    return s;
}

TEST(OpticsCoreTrace, AbsorbingSurfaceCreatesNoEnergy) {
    // The worked example: R = 0.6128 at 85 degrees, absorption 0.5. The surface takes its half;
    // the other half is reflected and nothing is transmitted.
    EXPECT_NEAR(fresnel(85 * M_PI / 180, 1.5), 0.6128, 1e-4);
    const Split worst = absorbingFaceRun(85, 0.5);
    EXPECT_NEAR(worst.reflected, 0.5, 1e-12);
    EXPECT_EQ(worst.transmitted, 0.0);

    // A sweep: below the limit R and T = 1 - absorption - R as they are; never more than arrived.
    for (double degrees : {20.0, 60.0, 80.0, 88.0}) {
        for (double absorption : {0.1, 0.45, 0.8}) {
            SCOPED_TRACE(std::to_string(degrees) + " " + std::to_string(absorption));
            const Split got = absorbingFaceRun(degrees, absorption);
            const double R = fresnel(degrees * M_PI / 180, 1.5);
            const double T = 1 - absorption - R;
            // Branches at or below 0.01 of the ray's energy are not followed.
            const double wantReflected = T < 0 ? 1 - absorption : R > 0.01 ? R : 0;
            const double wantTransmitted = T > 0.01 ? T : 0;
            EXPECT_NEAR(got.reflected, wantReflected, 1e-9);
            EXPECT_NEAR(got.transmitted, wantTransmitted, 1e-9);
            EXPECT_LE(got.reflected + got.transmitted + absorption, 1 + 1e-12);
        }
    }
}

} // namespace
