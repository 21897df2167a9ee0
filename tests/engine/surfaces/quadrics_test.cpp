// The quadric constructors and helpers of the builders.
#include <cmath>
#include <functional>

#include "tests/engine/define_fixture.h"

namespace {

double evaluate(const double* q, const Vec3& p) {
    const Vec3 qp{q[0] * p.x + q[1] * p.y + q[2] * p.z, q[3] * p.x + q[4] * p.y + q[5] * p.z,
                  q[6] * p.x + q[7] * p.y + q[8] * p.z};
    return dot3(p, qp) + q[9] * p.x + q[10] * p.y + q[11] * p.z + q[12];
}

struct ConstructorCase {
    const char* name;
    std::function<void(double*)> make;
    // A point of the surface for parameters (u, v).
    std::function<Vec3(double, double)> point;
};

} // namespace

TEST(QuadricConstructors, VanishOnSampledSurfacePoints) {
    const double a = 3, b = 5, c = 7;
    const ConstructorCase cases[] = {
        {"cone", [&](double* q) { cone(q, a, b, c); },
         [&](double u, double v) {
             return Vec3{a * v * std::cos(u), b * v * std::sin(u), c * v};
         }},
        {"cylinderAlongX", [&](double* q) { cylinderAlongX(q, a, b); },
         [&](double u, double v) {
             return Vec3{v, a * std::cos(u), b * std::sin(u)};
         }},
        {"cylinderAlongY", [&](double* q) { cylinderAlongY(q, a, b); },
         [&](double u, double v) {
             return Vec3{a * std::cos(u), v, b * std::sin(u)};
         }},
        {"troughAlongX", [&](double* q) { troughAlongX(q, a, b); },
         [&](double u, double v) {
             return Vec3{v, a * std::cos(u), b + b * std::sin(u)};
         }},
        {"cylinderAlongZ", [&](double* q) { cylinderAlongZ(q, a, b); },
         [&](double u, double v) {
             return Vec3{a * std::cos(u), b * std::sin(u), v};
         }},
        {"ellipsoid", [&](double* q) { ellipsoid(q, a, b, c); },
         [&](double u, double v) {
             const double w = std::cos(v);
             return Vec3{a * w * std::cos(u), b * w * std::sin(u), c * std::sin(v)};
         }},
        {"hyperboloidOneSheet", [&](double* q) { hyperboloidOneSheet(q, a, b, c); },
         [&](double u, double v) {
             return Vec3{a * std::cosh(v) * std::cos(u), b * std::cosh(v) * std::sin(u),
                         c * std::sinh(v)};
         }},
        {"hyperboloidTwoSheets", [&](double* q) { hyperboloidTwoSheets(q, a, b, c); },
         [&](double u, double v) {
             return Vec3{a * std::sinh(v) * std::cos(u), b * std::sinh(v) * std::sin(u),
                         c * std::cosh(v)};
         }},
        {"hyperbolicParaboloid", [&](double* q) { hyperbolicParaboloid(q, a, b, c); },
         [&](double u, double v) {
             return Vec3{u, v, c * (v * v / (b * b) - u * u / (a * a))};
         }},
        {"ellipticParaboloid", [&](double* q) { ellipticParaboloid(q, a, b, c); },
         [&](double u, double v) {
             return Vec3{u, v, c * (u * u / (a * a) + v * v / (b * b))};
         }},
        {"plane",
         [&](double* q) {
             plane(q, {1, 2, 3});
         },
         [&](double u, double v) {
             return Vec3{u, v, -(u + 2 * v) / 3};
         }},
        {"sphere",
         [&](double* q) {
             sphere(q, {1, -2, 4}, 6);
         },
         [&](double u, double v) {
             return Vec3{1 + 6 * std::cos(v) * std::cos(u), -2 + 6 * std::cos(v) * std::sin(u),
                         4 + 6 * std::sin(v)};
         }},
    };
    for (const auto& k : cases) {
        double q[13];
        std::fill(q, q + 13, 99.0); // every coefficient is written
        k.make(q);
        for (double u = -1.3; u < 3.2; u += 0.7)
            for (double v = -0.9; v < 1.0; v += 0.45)
                EXPECT_NEAR(evaluate(q, k.point(u, v)), 0, 1e-9) << k.name << " " << u << " " << v;
        // A point off the surface does not vanish.
        EXPECT_GT(std::fabs(evaluate(q, k.point(0.3, 0.2) + Vec3{0.5, 0.5, 0.5})), 1e-6) << k.name;
    }
}

TEST(QuadricConstructors, ParabolicTroughSetsItsSide) {
    SurfaceRecord s;
    parabolicTrough(&s, 2.5, -1);
    EXPECT_EQ(s.side, -1);
    for (double y = -4; y <= 4; y += 1)
        EXPECT_NEAR(evaluate(s.quadric, {7, y, y * y / 10}), 0, 1e-12);
}

TEST(QuadricIntercept, EachRootCase) {
    double q[13], t1, t2;
    int none, single;
    // Linear along the line (a = 0, b != 0): the plane z = 0 from z = -5.
    plane(q, {0, 0, 1});
    quadricIntercept(q, {0, 0, -5}, {0, 0, 1}, t1, t2, none, single);
    EXPECT_EQ(none, 0);
    EXPECT_EQ(single, 1);
    EXPECT_DOUBLE_EQ(t1, 5);
    EXPECT_DOUBLE_EQ(t2, 5);
    // Tangent (zero discriminant): the unit sphere touched at x = 1.
    sphere(q, {0, 0, 0}, 1);
    quadricIntercept(q, {1, 0, -3}, {0, 0, 1}, t1, t2, none, single);
    EXPECT_EQ(single, 1);
    EXPECT_DOUBLE_EQ(t1, 3);
    // Two roots, with the sign of b both ways.
    quadricIntercept(q, {0, 0, -3}, {0, 0, 1}, t1, t2, none, single);
    EXPECT_EQ(none + single, 0);
    EXPECT_DOUBLE_EQ(std::min(t1, t2), 2);
    EXPECT_DOUBLE_EQ(std::max(t1, t2), 4);
    quadricIntercept(q, {0, 0, 3}, {0, 0, 1}, t1, t2, none, single);
    EXPECT_DOUBLE_EQ(std::min(t1, t2), -4);
    EXPECT_DOUBLE_EQ(std::max(t1, t2), -2);
    // The stable pair keeps the small root exact where the textbook form cancels.
    sphere(q, {0, 0, 1e8}, 1e8);
    quadricIntercept(q, {0, 0, -1}, {0, 0, 1}, t1, t2, none, single);
    EXPECT_NEAR(std::min(t1, t2), 1, 1e-9);
    // No root: a miss, and a line parallel to a plane.
    sphere(q, {0, 0, 0}, 1);
    quadricIntercept(q, {2, 0, -3}, {0, 0, 1}, t1, t2, none, single);
    EXPECT_EQ(none, 1);
    EXPECT_EQ(t1, 0);
    EXPECT_EQ(t2, 0);
    plane(q, {0, 0, 1});
    quadricIntercept(q, {0, 0, -3}, {1, 0, 0}, t1, t2, none, single);
    EXPECT_EQ(none, 1);
}

TEST(ShiftQuadric, MovesTheSurfaceByTheVector) {
    SurfaceRecord s;
    // A non-symmetric Q and every kind of term: the shift must use Q + Qt.
    const double q[13] = {1, 2, 0, -1, 3, 0.5, 0.25, 0, -2, 0.7, -0.4, 1.1, -3};
    std::copy(q, q + 13, s.quadric);
    const Vec3 v{1.5, -2, 0.75};
    shiftQuadric(&s, v);
    for (double x = -2; x <= 2; x += 1.3)
        for (double y = -2; y <= 2; y += 1.1)
            for (double z = -2; z <= 2; z += 0.9)
                EXPECT_NEAR(evaluate(s.quadric, {x, y, z}), evaluate(q, Vec3{x, y, z} - v), 1e-12);
}

TEST_F(DefineTest, MoveSurfaceLocalPlacesTheSurfaceAtTheOffset) {
    ObjectRecord* o = makeObject(kTypeLens);
    SurfaceRecord* s = o->firstSurface;
    moveSurface("local", s, 1, 2, 3);
    moveSurface("local", s, 0, 0, 4);
    Vec3 p;
    transformPoint({0, 0, 0}, p, s->surfaceToObject);
    EXPECT_DOUBLE_EQ(p.z, 7);
    EXPECT_DOUBLE_EQ(p.y, 2);
    transformPoint({1, 2, 7}, p, s->objectToSurface);
    EXPECT_NEAR(dot3(p, p), 0, 1e-24);
    // The global pair follows the same way until setobj recomputes it.
    transformPoint({0, 0, 0}, p, s->surfaceToGlobal);
    EXPECT_DOUBLE_EQ(p.x, 1);
    // Any other mode multiplies on the other side: after a turn the two orders differ.
    rotationMatrixZ(M_PI / 2, s->surfaceToObject);
    rotationMatrixZ(-M_PI / 2, s->objectToSurface);
    moveSurface("object", s, 1, 0, 0);
    transformPoint({0, 0, 0}, p, s->surfaceToObject);
    EXPECT_NEAR(p.x, 1, 1e-12);
    EXPECT_NEAR(p.y, 0, 1e-12);
    transformPoint(p, p, s->objectToSurface);
    EXPECT_NEAR(dot3(p, p), 0, 1e-24);
}

TEST_F(DefineTest, BoundingSphereFromSurfaceAndItsWarning) {
    ObjectRecord* o = makeObject(kTypeCylinder);
    SurfaceRecord* s = o->firstSurface;
    out.clear();
    EXPECT_EQ(boundingSphereFromSurface(o, s), 0);
    EXPECT_EQ(out, "ERROR: Warning surface extents not set.\n");
    EXPECT_EQ(o->boundingRadius, 0);
    setExtent(s, -3, 3, -4, 4, 0, 10);
    out.clear();
    EXPECT_EQ(boundingSphereFromSurface(o, s), 1);
    EXPECT_DOUBLE_EQ(o->referencePoint.z, 5);
    EXPECT_DOUBLE_EQ(o->boundingRadius, std::sqrt(36.0 + 64 + 100));
    EXPECT_EQ(
        out, formatText("Bounding sphere set 0 0 5 radius %lg from surface 1\n", std::sqrt(200.0)));
}

TEST_F(DefineTest, BoundingSphereFromExtentsReachesEveryCornerOfTurnedBoxes) {
    ObjectRecord* empty = makeObject(kTypeMirror, 0);
    out.clear();
    boundingSphereFromExtents(empty);
    EXPECT_EQ(empty->boundingRadius, 0);
    EXPECT_EQ(out, "");

    ObjectRecord* o = makeObject(kTypeMirror, 2);
    SurfaceRecord* a = o->firstSurface;
    SurfaceRecord* b = a->next;
    setExtent(a, -1, 1, -1, 1, 0, 0);
    // The second box lies 10 along x in the surface frame, which is turned a quarter about z:
    // in the object frame it lies 10 along y.
    setExtent(b, 9, 11, -1, 1, 0, 0);
    rotationMatrixZ(M_PI / 2, b->surfaceToObject);
    rotationMatrixZ(-M_PI / 2, b->objectToSurface);
    boundingSphereFromExtents(o);
    EXPECT_NEAR(o->referencePoint.x, 0, 1e-12);
    EXPECT_NEAR(o->referencePoint.y, 5, 1e-12);
    // Corners (+-1, 11) are sqrt(1 + 36) from (0, 5).
    EXPECT_NEAR(o->boundingRadius, std::sqrt(37.0), 1e-12);
    // One box: its centre and half diagonal.
    ObjectRecord* one = makeObject(kTypeMirror);
    setExtent(one->firstSurface, 2, 4, -1, 1, 0, 2);
    out.clear();
    boundingSphereFromExtents(one);
    EXPECT_EQ(out, formatText("Bounding sphere set 3 0 1 radius %lg\n", std::sqrt(3.0)));
}
