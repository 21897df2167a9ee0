// CPC mirrors: the shape, the wall intercept against a brute-force search of the wall equation,
// the normal, two CPCs in one search, and the builder of DEFINE/MIRROR/CPC.
#include <cstring>

#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/model/model_blocks.h"
#include "tests/engine/special_surfaces_fixture.h"

namespace {

constexpr double kDeg = 0.017453292519943295;

// The wall equation |P - F| - (P - F).e - 2f at a local point (positive outside the wall).
double wallValue(const CpcShape& s, const Vec3& p) {
    const double u = std::hypot(p.x, p.y) + s.exitRadius;
    return std::hypot(u, p.z) + u * s.sinIn - p.z * s.cosIn - 2 * s.focalLength;
}

// The first crossing of the wall between its foot and rim along the ray, beyond 1e-5, by sign
// changes over `steps` steps and bisection; -1 when there is none.
double bruteForceHit(const CpcShape& s, const Vec3& p, const Vec3& d, int steps) {
    const double reach = 3 * (s.wallTop + s.entranceRadius) + std::sqrt(dot3(p, p));
    const double step = reach / steps;
    auto g = [&](double t) { return wallValue(s, p + t * d); };
    double before = g(0);
    for (int k = 0; k < steps; ++k) {
        const double after = g((k + 1) * step);
        if ((before > 0) != (after > 0)) {
            double lo = k * step, hi = (k + 1) * step;
            for (int i = 0; i < 100; ++i) {
                const double mid = 0.5 * (lo + hi);
                ((g(lo) > 0) == (g(mid) > 0) ? lo : hi) = mid;
            }
            const double z = p.z + lo * d.z;
            if (lo > 1e-5 && z >= s.wallBottom - 1e-5 && z <= s.wallTop + 1e-5) return lo;
        }
        before = after;
    }
    return -1;
}

class CpcTest : public SpecialSurfaceTest {
  protected:
    // The parsed define command "define/mirror/cpc<modifiers>" with positional values.
    static void parseDefine(const char* modifiers, std::initializer_list<double> values) {
        clearParsedCommand();
        std::strcpy(commandWord, "define");
        splitModifiersAndParameters(modifiers);
        int i = 0;
        for (double v : values) {
            numericValues[i] = v;
            numericGiven[i] = 1;
            ++i;
        }
    }
    // A CPC object built by the define builder and placed.
    ObjectRecord* makeCpc(double inputAngle, double outputAngle, double exitRadius, Vec3 at = {},
                          double beta = 0) {
        ObjectRecord* o = makeObject(kTypeMirror);
        o->traceable = 1;
        parseDefine("/mirror/cpc", {inputAngle, outputAngle, exitRadius});
        EXPECT_EQ(defineCpcMirror(o, o->firstSurface), 0);
        place(o, at, beta);
        return o;
    }
};

TEST_F(CpcTest, ShapesOfSeveralAngleSets) {
    struct Case {
        double in, out, a;
    } cases[] = {{20, 90, 20}, {20, 60, 1}, {45, 89, 3}, {5, 30, 0.01}, {80, 90, 1000}};
    for (const Case& c : cases) {
        CpcShape s;
        ASSERT_TRUE(cpcShape(c.in * kDeg, c.out * kDeg, c.a, s));
        const double ti = c.in * kDeg, to = c.out * kDeg, a = c.a;
        const double R = a * std::sin(to) / std::sin(ti);
        EXPECT_NEAR(s.entranceRadius, R, 1e-12 * R);
        EXPECT_NEAR(s.wallTop, (R + a) / std::tan(ti), 1e-12 * R / std::tan(ti));
        if (c.out < 90) {
            const double phi = (to - ti) / 2;
            EXPECT_TRUE(s.cone);
            EXPECT_NEAR(s.coneApex, a / std::tan(phi), 1e-12 * s.coneApex);
            EXPECT_NEAR(s.wallBottom, 2 * a / (std::tan(to) - std::tan(phi)), 1e-12 * a);
            EXPECT_NEAR(s.bottomRadius, std::tan(phi) * s.wallBottom + a, 1e-12 * a);
        } else {
            EXPECT_FALSE(s.cone);
            EXPECT_EQ(s.wallBottom, 0);
            EXPECT_EQ(s.bottomRadius, a);
        }
        // The wall's foot and rim are on it; the focal ray to the foot makes the output angle
        // with the axis; at the rim the wall runs parallel to the axis.
        EXPECT_NEAR(wallValue(s, {s.bottomRadius, 0, s.wallBottom}), 0, 1e-12 * a);
        EXPECT_NEAR(wallValue(s, {0, R, s.wallTop}), 0, 1e-10 * a);
        EXPECT_NEAR(std::atan2(s.bottomRadius + a, s.wallBottom), to, 1e-12);
        Vec3 n;
        cpcWallNormal(s, {R, 0, s.wallTop}, n);
        EXPECT_NEAR(n.z, 0, 1e-9);
        EXPECT_NEAR(n.x, -1, 1e-9); // towards the axis
    }
    CpcShape s;
    EXPECT_FALSE(cpcShape(60 * kDeg, 60 * kDeg, 1, s)); // a cone needs input < output
    EXPECT_FALSE(cpcShape(20 * kDeg, 90 * kDeg, 0, s));
    EXPECT_FALSE(cpcShape(0, 90 * kDeg, 1, s));
    EXPECT_TRUE(cpcShape(90 * kDeg, 90 * kDeg, 1, s)); // a wall of zero length
    EXPECT_NEAR(s.wallTop, 0, 1e-15);
}

TEST_F(CpcTest, RandomRaysAgainstABruteForceSearchOfTheWall) {
    struct Case {
        double in, out, a;
    } cases[] = {{20, 90, 20}, {25, 65, 1}, {70, 85, 0.003}, {3, 90, 500}};
    for (const Case& c : cases) {
        const double ti = c.in * kDeg, to = c.out * kDeg;
        CpcShape s;
        ASSERT_TRUE(cpcShape(ti, to, c.a, s));
        const double R = s.entranceRadius, lo = s.wallBottom, hi = s.wallTop;
        int hits = 0;
        for (int i = 0; i < 1000; ++i) {
            Vec3 p{uniform(-2, 2) * R, uniform(-2, 2) * R, lo + uniform(-0.3, 1.3) * (hi - lo)};
            Vec3 d{uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
            const double sign = uniform(-1, 1) > 0 ? 1 : -1;
            const double azimuth = uniform(-M_PI, M_PI);
            switch (i % 5) {
            case 1: // along the axis, or just off it
                p.x = p.y = (i % 10 == 1) ? 0 : uniform(-1e-3, 1e-3) * c.a;
                d = {0, 0, sign};
                break;
            case 2: // meridional at exactly the input angle
                d = {std::sin(ti) * std::cos(std::atan2(p.y, p.x)),
                     std::sin(ti) * std::sin(std::atan2(p.y, p.x)), sign * std::cos(ti)};
                if (uniform(-1, 1) > 0) d = {-d.x, -d.y, d.z};
                break;
            case 3: // skew at exactly the input angle
                d = {std::sin(ti) * std::cos(azimuth), std::sin(ti) * std::sin(azimuth),
                     sign * std::cos(ti)};
                break;
            case 4: // skew within a hair of it
                d = {std::sin(ti + uniform(-1e-6, 1e-6)) * std::cos(azimuth),
                     std::sin(ti) * std::sin(azimuth), sign * std::cos(ti)};
                break;
            default:
                break;
            }
            normalize3(d);
            double t = -1;
            Vec3 hit;
            const int found = cpcSolveIntercept(ti, to, c.a, p, d, t, hit, nullptr);
            double expected = bruteForceHit(s, p, d, 4000);
            if ((found != 0) != (expected > 0) || (found && std::fabs(t - expected) > 1e-7 * hi))
                expected = bruteForceHit(s, p, d, 400000); // roots closer than a step
            ASSERT_EQ(found != 0, expected > 0)
                << c.in << " " << c.out << " ray " << i << " t " << t << " expected " << expected;
            if (!found) continue;
            ++hits;
            EXPECT_NEAR(t, expected, 1e-7 * (hi + R)) << c.in << " ray " << i;
            EXPECT_GE(hit.z, lo - 1e-5);
            EXPECT_LE(hit.z, hi + 1e-5);
            EXPECT_NEAR(wallValue(s, hit), 0, 1e-8 * (hi + R));
            EXPECT_FALSE(std::isnan(t));
        }
        EXPECT_GT(hits, 100) << c.in;
    }
}

TEST_F(CpcTest, AxialRaysMissWithoutNaN) {
    for (double z : {-5.0, 0.0, 50.0, 500.0})
        for (double dz : {1.0, -1.0}) {
            double t = -3;
            Vec3 hit{-3, -3, -3};
            EXPECT_EQ(
                cpcSolveIntercept(20 * kDeg, 90 * kDeg, 20, {0, 0, z}, {0, 0, dz}, t, hit, nullptr),
                0);
            EXPECT_EQ(t, -3);
        }
    // A zero direction finds nothing.
    double t = -3;
    Vec3 hit;
    EXPECT_EQ(cpcSolveIntercept(20 * kDeg, 90 * kDeg, 20, {1, 0, 5}, {0, 0, 0}, t, hit, nullptr),
              0);
}

TEST_F(CpcTest, RadialRaysReproduceTheProfile) {
    const double ti = 25 * kDeg, to = 70 * kDeg, a = 4;
    CpcShape s;
    ASSERT_TRUE(cpcShape(ti, to, a, s));
    double previous = 0;
    for (int i = 0; i <= 20; ++i) {
        const double z = s.wallBottom + (s.wallTop - s.wallBottom) * (0.00001 + 0.99998 * i / 20);
        for (double azimuth : {0.0, 1.0, 4.0}) {
            double radius;
            Vec3 hit;
            ASSERT_EQ(cpcSolveIntercept(ti, to, a, {0, 0, z},
                                        {std::cos(azimuth), std::sin(azimuth), 0}, radius, hit,
                                        nullptr),
                      1);
            EXPECT_NEAR(hit.z, z, 1e-12);
            EXPECT_NEAR(wallValue(s, {radius, 0, z}), 0, 1e-10);
            if (azimuth == 0) {
                EXPECT_GT(radius, previous); // widening all the way to the rim
                previous = radius;
            }
        }
    }
    EXPECT_NEAR(previous, s.entranceRadius, 1e-3);
}

TEST_F(CpcTest, BuilderMakesTheWallTheConeAndTheParameters) {
    ObjectRecord* o = makeObject(kTypeMirror);
    SurfaceRecord* wall = o->firstSurface;
    parseDefine("/mirror/cpc/convex", {30, 60, 5});
    ASSERT_EQ(defineCpcMirror(o, wall), 0);
    EXPECT_EQ(newText(), "A terminal cone will be added, as output angle is not 90 degrees.\n");
    CpcShape s;
    ASSERT_TRUE(cpcShape(30 * kDeg, 60 * kDeg, 5, s));
    EXPECT_EQ(o->typeCode, kTypeCpc);
    EXPECT_EQ(o->wireframeKind, kWireCpc);
    EXPECT_EQ(o->surfaceCount, 2);
    EXPECT_EQ(o->boundingRadius, 0);
    ASSERT_EQ(o->userParameters.count, 3);
    EXPECT_EQ(o->userParameters.names[0], "input_angle");
    EXPECT_EQ(o->userParameters.names[2], "radius_exit");
    EXPECT_EQ(o->userParameters.values[1], 60);

    EXPECT_EQ(wall->side, -1);
    EXPECT_EQ(wall->reflectance, 1.0);
    EXPECT_EQ(wall->intercept, cpc_intercept);
    EXPECT_EQ(wall->normal, cpc_normal);
    EXPECT_NEAR(wall->extent[1], s.entranceRadius, 1e-12);
    EXPECT_NEAR(wall->extent[4], s.wallBottom, 1e-12);
    EXPECT_NEAR(wall->extent[5], s.wallTop, 1e-12);
    ASSERT_NE(wall->altSurfaces, nullptr);
    EXPECT_STREQ(wall->altSurfaces->routineName, "cpc_normal");
    EXPECT_EQ(wall->altSurfaces->kind, kNormalAlternate);
    ASSERT_NE(wall->altSurfaces->next, nullptr);
    EXPECT_STREQ(wall->altSurfaces->next->routineName, "cpc_intercept");
    EXPECT_EQ(wall->altSurfaces->next->kind, kInterceptAlternate);
    EXPECT_EQ(wall->altSurfaces->next->routine.intercept, cpc_intercept);

    SurfaceRecord* cone = wall->next;
    ASSERT_NE(cone, nullptr);
    EXPECT_EQ(cone->owner, o);
    EXPECT_EQ(cone->number, 2);
    EXPECT_EQ(cone->shapeCode, kShapeCone);
    EXPECT_EQ(cone->side, 1);
    EXPECT_EQ(cone->typeData, wall);
    EXPECT_NEAR(cone->extent[4], s.coneApex, 1e-12);
    EXPECT_NEAR(cone->extent[5], s.coneApex + s.wallBottom, 1e-12);

    // Placed, a radial ray meets the cone at the exit radius at z = 0 and widens to rc at l.
    place(o, {0, 0, 100});
    for (double f : {0.01, 0.5, 0.99}) {
        const double z = f * s.wallBottom;
        const Hit h = trace({0, 0, 100 + z}, {0, 1, 0});
        ASSERT_EQ(h.surface, cone) << f;
        EXPECT_NEAR(h.distance, 5 + z * (s.bottomRadius - 5) / s.wallBottom, 1e-9);
    }
    const Hit above = trace({0, 0, 100 + s.wallBottom + 1}, {0, 1, 0});
    EXPECT_EQ(above.surface, wall);

    // CPC surfaces take no other function.
    EXPECT_EQ(modifyAlt("/altsurfaces/grating", {1.1}), 0);
    EXPECT_EQ(modifyAlt("/altsurfaces/none", {1.1}), 0);
    EXPECT_NE(wall->altSurfaces, nullptr);
}

TEST_F(CpcTest, BuilderRefusalsInOrderAndTheConeMessage) {
    struct Case {
        std::initializer_list<double> values;
        const char* text;
    } cases[] = {
        {{20, 90, 0}, "ERROR: Exit radius must be greater than 0.\n"},
        {{95, 90.00001, 0.5}, "ERROR: Output angle must be less than or equal to 90.\n"},
        {{95, 0, 0.5}, "ERROR: Input angle must be less than or equal to 90.\n"},
        {{-1, 0, 0.5}, "ERROR: Output angle must be greater than 0.\n"},
        {{0, 30, 0.5}, "ERROR: Input angle must be greater than 0.\n"},
        {{40, 30, 0.5}, "ERROR: Input angle must be less than output angle.\n"},
        {{30, 30, 0.5}, "ERROR: Input angle must be less than output angle.\n"},
    };
    for (const Case& c : cases) {
        ObjectRecord* o = makeObject(kTypeMirror);
        parseDefine("/mirror/cpc", c.values);
        EXPECT_EQ(defineCpcMirror(o, o->firstSurface), 1);
        EXPECT_EQ(newText(), c.text);
        EXPECT_EQ(o->surfaceCount, 1);
        EXPECT_EQ(o->firstSurface->altSurfaces, nullptr);
        EXPECT_EQ(o->firstSurface->next, nullptr);
        EXPECT_EQ(o->typeCode, kTypeMirror);
    }
    // Defaults 20, 90, 20; 90 and 90 pass (no cone, a wall of zero length); "both" is side 0.
    ObjectRecord* o = makeObject(kTypeMirror);
    parseDefine("/mirror/cpc/both", {});
    ASSERT_EQ(defineCpcMirror(o, o->firstSurface), 0);
    EXPECT_EQ(newText(), "A terminal cone will not be added, as output angle is 90 degrees.\n");
    EXPECT_EQ(numericValues[0], 20);
    EXPECT_EQ(numericValues[1], 90);
    EXPECT_EQ(numericValues[2], 20);
    EXPECT_EQ(o->surfaceCount, 1);
    EXPECT_EQ(o->firstSurface->side, 0);
    ObjectRecord* flat = makeObject(kTypeMirror);
    parseDefine("/mirror/cpc", {90, 90, 2});
    ASSERT_EQ(defineCpcMirror(flat, flat->firstSurface), 0);
    EXPECT_EQ(flat->firstSurface->side, 1);

    // Without memory for its records or its cone nothing is attached.
    ObjectRecord* starved = makeObject(kTypeMirror);
    parseDefine("/mirror/cpc", {20, 60, 1});
    failNextModelBlocks(1);
    EXPECT_EQ(defineCpcMirror(starved, starved->firstSurface), 1);
    EXPECT_NE(newText().find("ERROR: Out of memory - command ignored.\n"), std::string::npos);
    EXPECT_EQ(starved->firstSurface->altSurfaces, nullptr);
    EXPECT_EQ(starved->surfaceCount, 1);
}

TEST_F(CpcTest, TwoCpcsInOneSearchEachWithItsOwnNormal) {
    ObjectRecord* first = makeCpc(20, 90, 2, {0, 0, 0});
    ObjectRecord* second = makeCpc(30, 60, 3, {40, 0, 0}, 15);
    CpcShape s1, s2;
    ASSERT_TRUE(cpcShape(20 * kDeg, 90 * kDeg, 2, s1));
    ASSERT_TRUE(cpcShape(30 * kDeg, 60 * kDeg, 3, s2));
    int hitsFirst = 0, hitsSecond = 0;
    for (int i = 0; i < 400; ++i) {
        const Vec3 from{uniform(-10, 50), uniform(-10, 10), uniform(-5, 30)};
        const Vec3 d{uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
        const Hit h = trace(from, d);
        if (h.noHit) continue;
        SurfaceRecord* s = h.surface;
        const CpcShape& shape = s->owner == first ? s1 : s2;
        if (s->shapeCode == kShapeCone) continue;
        (s->owner == first ? hitsFirst : hitsSecond)++;
        Vec3 local, n, own;
        toLocalPoint(h.point, local, s);
        EXPECT_NEAR(wallValue(shape, local), 0, 1e-9);
        // Trace the other CPC last, then ask for the normal of the one that was hit.
        Vec3 dummy{0, 0, 1};
        double nearest = -1;
        cpc_intercept(s->owner == first ? second->firstSurface : first->firstSurface, {40, 0, 5},
                      dummy, nearest);
        cpc_normal(s, local, n);
        cpcWallNormal(shape, local, own);
        EXPECT_NEAR(dot3(n, own), 1, 1e-12);
        // The hook's distance agrees with the nearest search.
        Vec3 unit = d;
        normalize3(unit);
        EXPECT_NEAR(dot3(h.point - from, unit), h.distance, 1e-9);
    }
    EXPECT_GT(hitsFirst, 20);
    EXPECT_GT(hitsSecond, 20);
}

TEST_F(CpcTest, MissingParametersMeanNoWall) {
    ObjectRecord* o = makeCpc(20, 90, 2);
    o->userParameters = UserParameterList{};
    double nearest = -1;
    Vec3 d{1, 0, 0};
    EXPECT_EQ(cpc_intercept(o->firstSurface, {0, 0, 5}, d, nearest), 0);
    Vec3 n;
    cpc_normal(o->firstSurface, {2, 0, 0}, n); // the quadric's answer, no crash
    EXPECT_FALSE(std::isnan(n.x));
}

} // namespace
