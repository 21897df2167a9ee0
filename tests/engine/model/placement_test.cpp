#include "engine/model/placement.h"

#include <cmath>

#include "platform/rand15.h"
#include "tests/engine/engine_fixture.h"

using PlacementTest = EngineTest;

namespace {
void expectIdentity(const PlacementMatrix& m, double tol) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(m[i][j], i == j ? 1.0 : 0.0, tol) << i << j;
}

void expectSame(const PlacementMatrix& a, const PlacementMatrix& b, double tol) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a[i][j], b[i][j], tol) << i << j;
}

void expectVec(const Vec3& v, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

struct Pair {
    PlacementMatrix g, l;
    Pair() {
        identity4(g);
        identity4(l);
    }
};

// The activation order: translate, then z, y, z rotations.
Pair placed(double x, double y, double z, double a, double b, double c) {
    Pair p;
    translatePlacement(x, y, z, p.g, p.l);
    rotatePlacementZ(a, p.g, p.l);
    rotatePlacementY(b, p.g, p.l);
    rotatePlacementZ(c, p.g, p.l);
    return p;
}

Vec3 carried(const PlacementMatrix& m, Vec3 p) {
    Vec3 out;
    transformPoint(p, out, m);
    return out;
}
} // namespace

TEST_F(PlacementTest, PairsStayInverseUnderRandomOperations) {
    platform::Rand15 rng(7);
    for (int trial = 0; trial < 50; ++trial) {
        Pair p;
        for (int step = 0; step < 40; ++step) {
            double v = (rng.unit() - 0.5) * 720;
            switch (rng.next() % 4) {
            case 0:
                translatePlacement(v, -v / 3, v / 7, p.g, p.l);
                break;
            case 1:
                rotatePlacementX(v, p.g, p.l);
                break;
            case 2:
                rotatePlacementY(v, p.g, p.l);
                break;
            default:
                rotatePlacementZ(v, p.g, p.l);
                break;
            }
        }
        PlacementMatrix product;
        multiply4(p.g, p.l, product);
        expectIdentity(product, 1e-12);
        multiply4(p.l, p.g, product);
        expectIdentity(product, 1e-12);
    }
}

TEST_F(PlacementTest, InverseOperationsRestoreThePair) {
    Pair start = placed(3, -4, 5, 10, 20, 30);
    Pair p = start;
    translatePlacement(7, 8, -9, p.g, p.l);
    translatePlacement(-7, -8, 9, p.g, p.l);
    expectSame(p.g, start.g, 1e-12);
    expectSame(p.l, start.l, 1e-12);
    rotatePlacementX(33, p.g, p.l);
    rotatePlacementX(-33, p.g, p.l);
    rotatePlacementY(-71, p.g, p.l);
    rotatePlacementY(71, p.g, p.l);
    rotatePlacementZ(190, p.g, p.l);
    rotatePlacementZ(-190, p.g, p.l);
    expectSame(p.g, start.g, 1e-12);
    expectSame(p.l, start.l, 1e-12);
}

TEST_F(PlacementTest, RotationSenseIsPinnedPerAxis) {
    // What a +90 degree turn does to the object's own axes, seen in global terms.
    Pair x, y, z;
    rotatePlacementX(90, x.g, x.l);
    rotatePlacementY(90, y.g, y.l);
    rotatePlacementZ(90, z.g, z.l);
    expectVec(carried(x.l, {0, 1, 0}), 0, 0, -1);
    expectVec(carried(x.l, {0, 0, 1}), 0, 1, 0);
    expectVec(carried(y.l, {1, 0, 0}), 0, 0, 1);
    expectVec(carried(y.l, {0, 0, 1}), -1, 0, 0);
    expectVec(carried(z.l, {1, 0, 0}), 0, -1, 0);
    expectVec(carried(z.l, {0, 1, 0}), 1, 0, 0);
    // The inverse carries global points into the object frame the other way round.
    expectVec(carried(z.g, {1, 0, 0}), 0, 1, 0);
}

TEST_F(PlacementTest, EachOperationActsInTheFrameAlreadyThere) {
    // Translate, then turn: the turn happens about the object's own origin.
    Pair p = placed(10, 0, 0, 90, 0, 0);
    expectVec(carried(p.l, {0, 0, 0}), 10, 0, 0);
    expectVec(carried(p.l, {1, 0, 0}), 10, -1, 0);
    // Turn, then translate: the move runs along the turned axes.
    Pair q;
    rotatePlacementZ(90, q.g, q.l);
    translatePlacement(10, 0, 0, q.g, q.l);
    expectVec(carried(q.l, {0, 0, 0}), 0, -10, 0);
    Pair r = placed(1, 2, 3, 0, 0, 0);
    expectVec(carried(r.l, {0, 0, 0}), 1, 2, 3);
    expectVec(carried(r.g, {1, 2, 3}), 0, 0, 0);
}

TEST_F(PlacementTest, MultiplyIsAffineAndSafeWhenOutputAliasesAnInput) {
    Pair p = placed(1, 2, 3, 40, 50, 60);
    Pair q = placed(-4, 5, 6, 7, 8, 9);
    PlacementMatrix expected;
    multiply4(p.l, q.l, expected);
    PlacementMatrix a = p.l;
    multiply4(a, q.l, a);
    expectSame(a, expected, 0);
    PlacementMatrix b = q.l;
    multiply4(p.l, b, b);
    expectSame(b, expected, 0);
    PlacementMatrix sq = p.l, sqExpected;
    multiply4(p.l, p.l, sqExpected);
    multiply4(sq, sq, sq);
    expectSame(sq, sqExpected, 0);

    // Column 3 of the product is (0, 0, 0, A33 B33) whatever the inputs hold there.
    PlacementMatrix m = p.l, n = q.l, out;
    m[0][3] = 5;
    n[1][3] = 7;
    m[3][3] = 2;
    n[3][3] = 3;
    multiply4(m, n, out);
    EXPECT_EQ(out[0][3], 0);
    EXPECT_EQ(out[1][3], 0);
    EXPECT_EQ(out[2][3], 0);
    EXPECT_EQ(out[3][3], 6);
    // Row 3 takes A[3][3] times B's translation.
    EXPECT_NEAR(out[3][0], m[3][0] * n[0][0] + m[3][1] * n[1][0] + m[3][2] * n[2][0] + 2 * n[3][0],
                1e-12);
}

TEST_F(PlacementTest, HomogeneousTransformAndTranslateMatrix) {
    Pair p = placed(1, 2, 3, 0, 0, 90);
    double in[4] = {1, 0, 0, 0}, out[4];
    transformHomogeneous(in, p.l, out); // w = 0: a direction, no translation
    EXPECT_NEAR(out[0], 0, 1e-15);
    EXPECT_NEAR(out[1], -1, 1e-15);
    EXPECT_NEAR(out[2], 0, 1e-15);
    EXPECT_EQ(out[3], 0);
    double in2[4] = {0, 0, 0, 2};
    transformHomogeneous(in2, p.l, out);
    EXPECT_NEAR(out[0], 2, 1e-15);
    EXPECT_NEAR(out[1], 4, 1e-15);
    EXPECT_NEAR(out[2], 6, 1e-15);
    EXPECT_EQ(out[3], 2);

    PlacementMatrix m;
    rotationMatrixZ(90 * kDegree, m);
    translateMatrix({1, 0, 0}, m); // T(t) x M: the translation is turned by M
    expectVec(carried(m, {0, 0, 0}), 0, 1, 0);

    Vec3 zero;
    normalize3(zero); // no direction: stays zero, never NaN
    expectVec(zero, 0, 0, 0, 0);
}

namespace {
// Rebuilds the rotation from angles through the activation order and compares it with the
// object's own.
void expectAnglesRebuild(const ObjectRecord& o, double tol) {
    double a, b, c;
    objectOrientationAngles(&o, a, b, c);
    Pair rebuilt = placed(0, 0, 0, a, b, c);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            ASSERT_NEAR(rebuilt.l[i][j], o.localToGlobal[i][j], tol)
                << "angles " << a << " " << b << " " << c;
}

ObjectRecord objectAt(double x, double y, double z, double a, double b, double c) {
    ObjectRecord o;
    Pair p = placed(x, y, z, a, b, c);
    o.globalToLocal = p.g;
    o.localToGlobal = p.l;
    return o;
}
} // namespace

TEST_F(PlacementTest, RecoveredAnglesRebuildRandomPlacements) {
    platform::Rand15 rng(11);
    for (int trial = 0; trial < 500; ++trial) {
        double a = (rng.unit() - 0.5) * 360, b = (rng.unit() - 0.5) * 360;
        double c = (rng.unit() - 0.5) * 360;
        ObjectRecord o = objectAt(rng.unit() * 100, -50, 7, a, b, c);
        // acos near +-1 keeps only about half the digits: the recovery's own precision.
        expectAnglesRebuild(o, 1e-7);
    }
}

TEST_F(PlacementTest, RecoveredAnglesForAxisParallelPlacements) {
    for (int a = -180; a <= 180; a += 90)
        for (int b = -180; b <= 180; b += 90)
            for (int c = -180; c <= 180; c += 90)
                expectAnglesRebuild(objectAt(0, 0, 0, a, b, c), 1e-12);
}

TEST_F(PlacementTest, RecoveredAnglesWithBetaZeroOrHalfTurn) {
    double a, b, c;
    ObjectRecord identity = objectAt(5, 5, 5, 0, 0, 0);
    objectOrientationAngles(&identity, a, b, c);
    EXPECT_EQ(a, 0); // every sign fits: the first of the search order, all positive
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
    EXPECT_FALSE(std::signbit(a));

    // With beta 0 the two z turns add up and come back as alpha alone.
    ObjectRecord flat = objectAt(0, 0, 0, 30, 0, 20);
    objectOrientationAngles(&flat, a, b, c);
    EXPECT_NEAR(a, 50, 1e-9);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
    ObjectRecord negative = objectAt(0, 0, 0, -70, 0, 0);
    objectOrientationAngles(&negative, a, b, c);
    EXPECT_NEAR(a, -70, 1e-9);

    ObjectRecord flipped = objectAt(0, 0, 0, 10, 180, 25);
    objectOrientationAngles(&flipped, a, b, c);
    EXPECT_NEAR(b, 180, 1e-9);
    EXPECT_EQ(c, 0);
    expectAnglesRebuild(flipped, 1e-12);
}

TEST_F(PlacementTest, RecoveryOftenGivesTheDualTriple) {
    double a, b, c;
    ObjectRecord o = objectAt(0, 0, 0, -30, 40, 50);
    objectOrientationAngles(&o, a, b, c);
    // (-30, 40, 50) and (150, -40, -130) describe one rotation; the search order finds the dual.
    EXPECT_NEAR(a, 150, 1e-9);
    EXPECT_NEAR(b, -40, 1e-9);
    EXPECT_NEAR(c, -130, 1e-9);
}

TEST_F(PlacementTest, SetobjCarriesThePlacementToEverySurface) {
    ObjectRecord* o = makeObject(kTypeLens, 2);
    SurfaceRecord* s2 = o->firstSurface->next;
    // Surface 2 sits 4 along the object's z axis, turned about its x axis.
    translatePlacement(0, 0, 4, s2->objectToSurface, s2->surfaceToObject);
    rotatePlacementX(30, s2->objectToSurface, s2->surfaceToObject);
    Pair p = placed(10, 20, 30, 15, 25, 35);
    o->globalToLocal = p.g;
    o->localToGlobal = p.l;
    o->referencePoint = {0, 0, 2};
    setobj(o);
    EXPECT_EQ(o->globalReferencePoint.x, 0); // no sphere in use: left alone
    o->boundingRadius = 5;
    setobj(o);
    Vec3 ref = carried(p.l, {0, 0, 2});
    expectVec(o->globalReferencePoint, ref.x, ref.y, ref.z);

    for (SurfaceRecord* s = o->firstSurface; s; s = s->next) {
        PlacementMatrix product;
        multiply4(s->globalToSurface, s->surfaceToGlobal, product);
        expectIdentity(product, 1e-12);
    }
    // A point of surface 2's frame goes through the object to the global frame.
    Vec3 inObject = carried(s2->surfaceToObject, {1, 2, 3});
    Vec3 expected = carried(p.l, inObject);
    Vec3 global = carried(s2->surfaceToGlobal, {1, 2, 3});
    expectVec(global, expected.x, expected.y, expected.z);
    expectVec(carried(o->firstSurface->surfaceToGlobal, {0, 0, 0}), carried(p.l, {}).x,
              carried(p.l, {}).y, carried(p.l, {}).z);
}

TEST_F(PlacementTest, SetobjWithoutSurfacesReportsAndChangesNothing) {
    ObjectRecord* o = allocObjectSlot();
    initObjectRecord(o);
    o->boundingRadius = 1;
    o->referencePoint = {1, 1, 1};
    translatePlacement(5, 0, 0, o->globalToLocal, o->localToGlobal);
    testing::internal::CaptureStderr();
    setobj(o);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error in setobj - no surface pointer for object.\n");
    EXPECT_EQ(o->globalReferencePoint.x, 0);
}
