#include <cmath>
// The nearest hit over the model, its bookkeeping, the self-hit rule, the glue and the media.
#include "engine/trace/ray_tree.h"
#include "tests/engine/surface_fixture.h"

namespace {

class SurfaceHitsTest : public SurfaceTest {
  protected:
};

TEST_F(SurfaceHitsTest, BoundingSphereTestUsesTheWholeLine) {
    const Vec3 c{0, 10, 0};
    EXPECT_TRUE(raySphereTest({0, 0, 0}, {1, 0, 0}, c, 0));  // no sphere
    EXPECT_TRUE(raySphereTest({0, 0, 0}, {1, 0, 0}, c, -1)); // no sphere
    EXPECT_TRUE(raySphereTest({0, 0, 0}, {1, 0, 0}, c, 10)); // grazing
    EXPECT_FALSE(raySphereTest({0, 0, 0}, {1, 0, 0}, c, 9.99));
    EXPECT_TRUE(raySphereTest({0, 9, 0}, {1, 0, 0}, c, 2));  // through it
    EXPECT_TRUE(raySphereTest({50, 9, 0}, {1, 0, 0}, c, 2)); // behind the start still counts
}

TEST_F(SurfaceHitsTest, NearestHitOverTheModel) {
    ObjectRecord* far = makePlaneObject({0, 0, 20});
    ObjectRecord* near = makePlaneObject({0, 0, 10});
    Hit h = trace({1, 2, 0}, {0, 0, 3});
    EXPECT_EQ(h.noHit, 0);
    EXPECT_EQ(h.surface, near->firstSurface);
    EXPECT_DOUBLE_EQ(h.distance, 10);
    EXPECT_DOUBLE_EQ(h.point.z, 10);
    EXPECT_DOUBLE_EQ(h.point.x, 1);
    // Both hits are bookkept, whatever the slot order.
    EXPECT_EQ(hitBookkeeping.nearestSurface, near->firstSurface);
    EXPECT_EQ(hitBookkeeping.secondSurface, far->firstSurface);
    EXPECT_DOUBLE_EQ(hitBookkeeping.secondDistance, 20);

    h = trace({0, 0, 15}, {0, 0, 1});
    EXPECT_EQ(h.surface, far->firstSurface);
    EXPECT_EQ(hitBookkeeping.secondSurface, nullptr);
    EXPECT_EQ(hitBookkeeping.secondDistance, kNoHitDistance);

    h = trace({0, 0, 25}, {0, 0, 1});
    EXPECT_EQ(h.noHit, 1);
    EXPECT_EQ(h.surface, nullptr);
    EXPECT_EQ(h.distance, -7); // untouched on a miss
}

TEST_F(SurfaceHitsTest, EqualDistancesGoToTheFirstInSlotAndChainOrder) {
    ObjectRecord* first = makePlaneObject({0, 0, 10});
    ObjectRecord* second = makePlaneObject({0, 0, 10});
    EXPECT_EQ(trace({}, {0, 0, 1}).surface, first->firstSurface);

    ObjectRecord* twin = makeObject(kTypeMirror, 2);
    for (SurfaceRecord* s = twin->firstSurface; s; s = s->next) {
        setPlane(s);
        setExtent(s, -5, 5, -5, 5, -1, 1);
        offsetSurface(s, {0, 0, 5});
    }
    place(twin, {});
    EXPECT_EQ(trace({}, {0, 0, 1}).surface, twin->firstSurface);
    (void)second;
}

TEST_F(SurfaceHitsTest, InactiveUntraceableAndMissedSpheresAreSkipped) {
    ObjectRecord* a = makePlaneObject({0, 0, 10});
    ObjectRecord* b = makePlaneObject({0, 0, 20});
    ObjectRecord* c = makePlaneObject({0, 0, 30});
    a->activated = 0;
    b->traceable = 0;
    EXPECT_EQ(trace({}, {0, 0, 1}).surface, c->firstSurface);

    // A bounding sphere off the ray's line hides the object, however its surfaces lie.
    c->referencePoint = {100, 0, 0};
    c->boundingRadius = 5;
    setobj(c);
    EXPECT_EQ(trace({}, {0, 0, 1}).noHit, 1);
    c->boundingRadius = 0; // no sphere: tested surface by surface
    EXPECT_EQ(trace({}, {0, 0, 1}).surface, c->firstSurface);

    deleteObjectNow(c);
    EXPECT_EQ(trace({}, {0, 0, 1}).noHit, 1);
}

TEST_F(SurfaceHitsTest, LeavingASurfaceFindsItAgainOnlyBeyondTheSelfHitDistance) {
    ObjectRecord* mirror = makePlaneObject({0, 0, 0});
    ObjectRecord* wall = makePlaneObject({0, 0, 50});
    SurfaceRecord* s = mirror->firstSurface;
    selfHitSurface = s;
    EXPECT_EQ(trace({0, 0, -0.5e-6}, {0, 0, 1}).surface, wall->firstSurface);
    Hit h = trace({0, 0, -2e-6}, {0, 0, 1});
    EXPECT_EQ(h.surface, s);
    EXPECT_NEAR(h.distance, 2e-6, 1e-15);
    selfHitSurface = nullptr;
    EXPECT_EQ(trace({0, 0, -0.5e-6}, {0, 0, 1}).surface, s);
}

TEST_F(SurfaceHitsTest, GlueTakesTheLowerNumberedObjectsIndex) {
    ObjectRecord* first = makePlaneObject({0, 0, 10.0005});
    ObjectRecord* second = makePlaneObject({0, 0, 10});
    first->firstSurface->index = 1.7;
    second->firstSurface->index = 1.4;
    Hit h = trace({}, {0, 0, 1});
    ASSERT_EQ(h.surface, second->firstSurface);

    double n = 1.0;
    applyProximityGlue(n, h.surface);
    EXPECT_EQ(n, 1.0); // no glue distance set
    proximityGlueDistance = 0.001;
    applyProximityGlue(n, nullptr);
    EXPECT_EQ(n, 1.0); // no surface given
    applyProximityGlue(n, h.surface);
    EXPECT_EQ(n, 1.7);

    // An index by number is read through the table.
    refractiveIndexTable = {1.0, 1.0, 1.62};
    first->firstSurface->index = -2;
    applyProximityGlue(n, h.surface);
    EXPECT_EQ(n, 1.62);

    // Too far apart.
    n = 1.0;
    proximityGlueDistance = 0.0005;
    applyProximityGlue(n, h.surface);
    EXPECT_EQ(n, 1.0);

    // Two surfaces of one object are never glued.
    proximityGlueDistance = 100;
    deleteObjectNow(first);
    deleteObjectNow(second);
    ObjectRecord* rod = makeLens(0, 0, 2, 10, 1.5, {});
    h = trace({0, 0, -5}, {0, 0, 1});
    ASSERT_EQ(h.surface, surface(rod, 1));
    ASSERT_EQ(hitBookkeeping.secondSurface, surface(rod, 2));
    applyProximityGlue(n, h.surface);
    EXPECT_EQ(n, 1.0);
}

TEST_F(SurfaceHitsTest, InsideTestFollowsTheSideFlag) {
    ObjectRecord* o = makePlaneObject({});
    SurfaceRecord* s = o->firstSurface;
    EXPECT_EQ(rayInsideSurface({}, {0, 0, 1}, s), 0); // no side flag
    s->side = 1;
    EXPECT_EQ(rayInsideSurface({}, {0, 0, 1}, s), 1);
    EXPECT_EQ(rayInsideSurface({}, {0, 0, -1}, s), 0);
    EXPECT_EQ(rayInsideSurface({}, {1, 0, 0}, s), 1); // grazing counts as inside
    s->side = -1;
    EXPECT_EQ(rayInsideSurface({}, {0, 0, -3}, s), 1);
}

// Directions within rounding of the tangent plane of a lens's curved edge, of about unit length
// and not: the side test must say what the normal's dot with the unit direction says.
TEST_F(SurfaceHitsTest, SideTestNearTheTangentFollowsTheUnitDirection) {
    ObjectRecord* lens = makeLens(100, -100, 20, 70, 1.5, {});
    SurfaceRecord* edge = surface(lens, 3);
    const Vec3 at{35 * 0.6, 35 * 0.8, 1};
    Vec3 n;
    hookNormal(edge, at, n);
    const Vec3 tangent{-0.8, 0.6, 0.3};
    int disagreements = 0, outward = 0;
    for (const double length : {1.0, 1 + 3e-16, 1 - 5e-16, 0.75, 3.0})
        for (int k = -40; k <= 40; ++k) {
            const double tilt = k * 1e-17 * (1 + std::abs(k) % 7);
            const Vec3 v{length * (tangent.x + tilt * n.x), length * (tangent.y + tilt * n.y),
                         length * (tangent.z + tilt * n.z)};
            Vec3 u = v;
            normalize3(u);
            for (const int side : {1, -1}) {
                edge->side = side;
                const int want = side * dot3(n, u) >= 0 ? 1 : 0;
                disagreements += rayInsideSurface(at, v, edge) != want;
                outward += want == 0;
            }
        }
    EXPECT_EQ(disagreements, 0);
    EXPECT_GT(outward, 100); // both answers were asked for
}

struct Medium {
    double index = -9, absorptivity = -9, luminance = -9;
};

TEST_F(SurfaceHitsTest, MediaOfLensFacesInBothDirections) {
    ObjectRecord* lens = makeLens(100, -100, 20, 70, 1.5, {});
    SurfaceRecord* front = surface(lens, 1);
    SurfaceRecord* back = surface(lens, 2);
    SurfaceRecord* edge = surface(lens, 3);
    auto media = [](SurfaceRecord* s, Vec3 local, Vec3 dir) {
        Medium m;
        surfaceMedia(s, local, dir, m.index, m.absorptivity, m.luminance);
        return m;
    };
    // Through the front face into the glass, and back out.
    EXPECT_EQ(media(front, {}, {0, 0, 1}).index, 1.5);
    EXPECT_EQ(media(front, {}, {0, 0, -1}).index, 1.0);
    // Through the back face out into the air, and back in.
    EXPECT_EQ(media(back, {}, {0, 0, 1}).index, 1.0);
    EXPECT_EQ(media(back, {}, {0, 0, -1}).index, 1.5);
    // The edge: outward leaves, inward enters.
    EXPECT_EQ(media(edge, {35, 0, 0}, {1, 0, 0}).index, 1.0);
    EXPECT_EQ(media(edge, {35, 0, 0}, {-1, 0, 0}).index, 1.5);

    // Inside another object the ray leaves into that object's medium, and the surface's handle
    // becomes the current one.
    ObjectRecord* tank = makeLens(0, 0, 500, 500, 1.33, {});
    SurfaceRecord* water = surface(tank, 1);
    water->absorbtivity = 0.25;
    water->luminence = 3;
    back->inside = water;
    auto* handle = reinterpret_cast<CSurfaceHandle*>(back);
    back->surfaceHandle = handle;
    Medium m = media(back, {}, {0, 0, 1});
    EXPECT_EQ(m.index, 1.33);
    EXPECT_EQ(m.absorptivity, 0.25);
    EXPECT_EQ(m.luminance, 3);
    EXPECT_EQ(currentSurfaceObject, handle);
    back->absorbtivity = 0.5;
    m = media(back, {}, {0, 0, -1});
    EXPECT_EQ(m.index, 1.5);
    EXPECT_EQ(m.absorptivity, 0.5);
    EXPECT_EQ(currentSurfaceObject, nullptr);
}

TEST_F(SurfaceHitsTest, SurfacesGivenNoMediumBorderAir) {
    // A lens inside a reflector whose surface was given no index (0): leaving the glass enters
    // air, whatever absorptivity or luminance the reflector's record holds.
    ObjectRecord* lens = makeLens(100, -100, 20, 70, 1.5, {});
    ObjectRecord* reflector = makePlaneObject({0, 0, 300});
    SurfaceRecord* wall = reflector->firstSurface;
    wall->index = 0;
    wall->absorbtivity = 0.5;
    wall->luminence = 2;
    SurfaceRecord* back = surface(lens, 2);
    back->inside = wall;
    Medium m;
    surfaceMedia(back, {}, {0, 0, 1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.0);
    EXPECT_EQ(m.absorptivity, 0);
    EXPECT_EQ(m.luminance, 0);
    // Crossing the reflector's own side: its own medium, air too.
    wall->side = 1;
    surfaceMedia(wall, {}, {0, 0, 1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.0);
    EXPECT_EQ(m.absorptivity, 0);
    // A source placed in it starts in air.
    ObjectRecord* source = makePlaneObject({0, 0, -50});
    source->firstSurface->inside = wall;
    startRayMedium(source);
    EXPECT_EQ(currentRay.index, 1.0);
    EXPECT_EQ(currentRay.absorptivity, 0);
    EXPECT_EQ(currentRay.luminance, 0);
    // Given a medium, the reflector's values are taken as they stand; indices by number too.
    wall->index = 1.2;
    startRayMedium(source);
    EXPECT_EQ(currentRay.index, 1.2);
    EXPECT_EQ(currentRay.absorptivity, 0.5);
    refractiveIndexTable = {9, 1.7};
    wall->index = -1;
    surfaceMedia(back, {}, {0, 0, 1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.7);
    EXPECT_EQ(m.luminance, 2);
    EXPECT_EQ(resolveIndex(0), 1.0);
}

TEST_F(SurfaceHitsTest, MediaOfRodFacesAndIndicesByNumber) {
    ObjectRecord* rod = makeLens(0, 0, 200, 40, -2, {});
    SurfaceRecord* entry = surface(rod, 1);
    SurfaceRecord* exit = surface(rod, 2);
    Medium m;
    refractiveIndexTable = {9, 9, 1.46};
    surfaceMedia(entry, {}, {0, 0, 1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.46);
    surfaceMedia(exit, {}, {0, 0, -1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.46);
    surfaceMedia(exit, {}, {0, 0, 1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.0);
    surfaceMedia(entry, {}, {0, 0, -1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.0);

    // Outside the table an index by number reads 1.0.
    for (SurfaceRecord* s = rod->firstSurface; s; s = s->next)
        s->index = -7;
    surfaceMedia(entry, {}, {0, 0, 1}, m.index, m.absorptivity, m.luminance);
    EXPECT_EQ(m.index, 1.0);
    EXPECT_EQ(resolveIndex(-1e300), 1.0);
    EXPECT_EQ(resolveIndex(1.25), 1.25);
}

} // namespace
