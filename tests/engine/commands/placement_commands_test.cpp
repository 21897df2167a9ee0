#include <cmath>
#include <functional>

#include "command/interpreter/aliases.h"
#include "engine/model/current_objects.h"
#include "engine/model/placement.h"
#include "engine/polynet/polynet_records.h"
#include "engine/commands/surface_designator.h"
#include "tests/engine/object_commands_fixture.h"

namespace {

void expectSameMatrix(const PlacementMatrix& a, const PlacementMatrix& b, double tol = 1e-12) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a[i][j], b[i][j], tol) << "[" << i << "][" << j << "]";
}

void expectIdentityProduct(const ObjectRecord* o) {
    PlacementMatrix p;
    multiply4(o->globalToLocal, o->localToGlobal, p);
    PlacementMatrix id;
    identity4(id);
    expectSameMatrix(p, id, 1e-12);
}

} // namespace

using PlacementOps = ObjectCommandsTest;

TEST_F(PlacementOps, ActivationTranslatesThenTurnsAndReplacesTheEarlierPlacement) {
    ObjectRecord* o = makeObject(kTypeLens, 3);
    ASSERT_EQ(activateObject(1, 10, 20, 30, 30, 45, 60, 0), 1);
    EXPECT_EQ(captured, "Object 1 is now activated and in place.\n");
    EXPECT_EQ(lastActivatedObject, 1);
    EXPECT_EQ(o->placed, 1);
    EXPECT_EQ(o->activated, 1);

    PlacementMatrix g, l;
    identity4(g);
    identity4(l);
    translatePlacement(10, 20, 30, g, l);
    rotatePlacementZ(30, g, l);
    rotatePlacementY(45, g, l);
    rotatePlacementZ(60, g, l);
    expectSameMatrix(o->localToGlobal, l);
    expectSameMatrix(o->globalToLocal, g);
    // The surfaces follow their object.
    for (SurfaceRecord* s = o->firstSurface; s; s = s->next)
        expectSameMatrix(s->surfaceToGlobal, l);

    // A new activation starts from scratch rather than adding to the old placement.
    captured.clear();
    ASSERT_EQ(activateObject(1, 0, 0, 0, 0, 0, 0, 0), 1);
    PlacementMatrix id;
    identity4(id);
    expectSameMatrix(o->localToGlobal, id);
    expectSameMatrix(o->globalToLocal, id);
}

TEST_F(PlacementOps, LocalMovesFollowTheObjectsAxesGlobalMovesTheGlobalOnes) {
    ObjectRecord* o = makeObject(kTypeMirror);
    activateObject(1, 1, 2, 3, 0, 90, 0, 0);
    const Vec3 origin = toGlobal(o, {});
    Vec3 axisZ = toGlobal(o, {0, 0, 1}) - origin;
    ASSERT_NEAR(std::fabs(axisZ.x), 1, 1e-12); // turned onto the global x axis

    captured.clear();
    ASSERT_EQ(moveObject("object", "local", 1, 0, 0, 10), 1);
    EXPECT_EQ(captured, "Object 1 has been moved.\n");
    EXPECT_VEC_NEAR(toGlobal(o, {}), origin.x + 10 * axisZ.x, origin.y, origin.z, 1e-12);

    moveObject("object", "global", 1, 0, 0, 10);
    EXPECT_VEC_NEAR(toGlobal(o, {}), origin.x + 10 * axisZ.x, origin.y, origin.z + 10, 1e-12);
    expectIdentityProduct(o);
    expectSameMatrix(o->firstSurface->surfaceToGlobal, o->localToGlobal);
}

TEST_F(PlacementOps, TwoTurnsOf45EqualOneOf90InEveryFrame) {
    ObjectRecord* ref = makeObject(kTypeAxis);
    activateObject(1, 5, -3, 2, 20, 70, -40, 0);
    for (const char* frame : {"local", "global", "relative"}) {
        for (const char* axis : {"x", "y", "z"}) {
            ObjectRecord* a = makeObject(kTypeLens, 2);
            ObjectRecord* b = makeObject(kTypeLens, 2);
            activateObject(a->number, 10, 0, 4, 15, 25, 35, 0);
            activateObject(b->number, 10, 0, 4, 15, 25, 35, 0);
            rotateObject(frame, axis, a->number, ref->number, 45);
            rotateObject(frame, axis, a->number, ref->number, 45);
            rotateObject(frame, axis, b->number, ref->number, 90);
            SCOPED_TRACE(std::string(frame) + " " + axis);
            expectSameMatrix(a->localToGlobal, b->localToGlobal, 1e-12);
            expectSameMatrix(a->globalToLocal, b->globalToLocal, 1e-12);
            expectIdentityProduct(a);
        }
    }
    EXPECT_NE(captured.find("Object 2 has now been rotated.\n"), std::string::npos);
}

TEST_F(PlacementOps, RelativeTurnsAreAboutTheReferencesAxesThroughItsOrigin) {
    ObjectRecord* ref = makeObject(kTypeAxis);
    ObjectRecord* o = makeObject(kTypeLens);
    activateObject(1, 5, 0, 0, 0, 90, 0, 0); // reference z axis along global x
    activateObject(2, 5, 10, 0, 0, 0, 0, 0);
    const Vec3 refAxis = toGlobal(ref, {0, 0, 1}) - toGlobal(ref, {});
    ASSERT_EQ(rotateObject("relative", "z", 2, 1, 90), 1);
    const Vec3 moved = toGlobal(o, {}) - Vec3{5, 0, 0};
    // Turned a quarter about the reference's z axis: still 10 from its origin, now off the
    // plane of the axis and the old position.
    EXPECT_NEAR(std::sqrt(dot3(moved, moved)), 10, 1e-12);
    EXPECT_NEAR(dot3(moved, refAxis), 0, 1e-12);
    EXPECT_NEAR(moved.y, 0, 1e-12);
    EXPECT_NEAR(std::fabs(moved.z), 10, 1e-12);

    // A global turn is about the global origin; a local one leaves the origin where it is.
    const Vec3 before = toGlobal(o, {});
    rotateObject("local", "x", 2, 0, 33);
    EXPECT_VEC_NEAR(toGlobal(o, {}), before.x, before.y, before.z, 1e-12);
    rotateObject("global", "z", 2, 0, 180);
    EXPECT_VEC_NEAR(toGlobal(o, {}), -before.x, -before.y, before.z, 1e-12);
}

TEST_F(PlacementOps, RemovedObjectsArePlacedAfresh) {
    ObjectRecord* o = makeObject(kTypeLens, 3);
    activateObject(1, 3, 4, 5, 0, 0, 0, 0);
    moveObject("object", "global", 1, 100, 0, 0);
    captured.clear();
    ASSERT_EQ(removeObject("object", 1), 1);
    EXPECT_EQ(captured, "Removed object 1. Use the place command to reinstate.\n");
    EXPECT_EQ(o->placed, 0);
    EXPECT_EQ(o->activated, 0);
    captured.clear();
    ASSERT_EQ(placeObjectRelative("global", 1, 0, 3, 4, 5), 1);
    EXPECT_EQ(captured, "Object 1 is now activated and in place.\n");
    EXPECT_VEC_NEAR(toGlobal(o, {}), 3, 4, 5, 1e-12);
    EXPECT_EQ(o->placed, 1);
}

TEST_F(PlacementOps, RelativePlacementTakesTheOffsetInTheReferencesFrame) {
    makeObject(kTypeAxis);
    ObjectRecord* o = makeObject(kTypeLens);
    activateObject(1, 10, 0, 0, 90, 0, 0, 0);
    captured.clear();
    ASSERT_EQ(placeObjectRelative("relative", 2, 1, 5, 0, 0), 1);
    EXPECT_EQ(captured, "Placement is relative to object 1. Object 2 is now activated and in "
                        "place.\n");
    const Vec3 expected = toGlobal(getObject(0), {5, 0, 0});
    EXPECT_VEC_NEAR(toGlobal(o, {}), expected.x, expected.y, expected.z, 1e-12);
    EXPECT_EQ(lastActivatedObject, 2);
    EXPECT_EQ(o->firstSurface->inside, nullptr); // relative is not inside
}

TEST_F(PlacementOps, InsideLinksFollowTheLatestPlacementAndKeepTheObjectsOwn) {
    ObjectRecord* a = makePlaced(kTypeLens, 2);
    ObjectRecord* c = makePlaced(kTypeLens, 2);
    ObjectRecord* b = makeObject(kTypeLens, 3);
    SurfaceRecord* b1 = b->firstSurface;
    SurfaceRecord* b2 = b1->next;
    SurfaceRecord* b3 = b2->next;
    b2->inside = b3; // like a cemented face inside the second element

    placeObjectRelative("inside", 3, 1, 0, 0, 0);
    EXPECT_EQ(b1->inside, a->firstSurface);
    EXPECT_EQ(b2->inside, b3);
    EXPECT_EQ(b3->inside, a->firstSurface);

    placeObjectRelative("inside", 3, 2, 0, 0, 0);
    EXPECT_EQ(b1->inside, c->firstSurface);
    EXPECT_EQ(b3->inside, c->firstSurface);

    placeObjectRelative("global", 3, 0, 0, 0, 0);
    EXPECT_EQ(b1->inside, nullptr);
    EXPECT_EQ(b2->inside, b3);
    EXPECT_EQ(b3->inside, nullptr);

    // Activation with a parent links the same way.
    activateObject(3, 0, 0, 0, 0, 0, 0, 1);
    EXPECT_EQ(b1->inside, a->firstSurface);
    activateObject(3, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(b1->inside, nullptr);
}

TEST_F(PlacementOps, DeleteReturnsTheSurfacesLastInFirstOutAndDropsEveryLinkIntoThem) {
    ObjectRecord* lens = makePlaced(kTypeLens, 3);
    SurfaceRecord* chain[3] = {lens->firstSurface, lens->firstSurface->next,
                               lens->firstSurface->next->next};
    ObjectRecord* inner = makeObject(kTypeLens, 2);
    placeObjectRelative("inside", 2, 1, 0, 0, 0);
    ASSERT_EQ(inner->firstSurface->inside, chain[0]);
    aliasAdd("lens1", "1");
    captured.clear();

    ASSERT_EQ(deleteObject("object", 1), 1);
    EXPECT_EQ(captured, "Deleted object lens1 and its 3 surfaces.\nAlias lens1 removed.\n");
    EXPECT_EQ(getObject(0), nullptr);
    EXPECT_EQ(objectCount, 1);
    for (SurfaceRecord* s = inner->firstSurface; s; s = s->next)
        EXPECT_EQ(s->inside, nullptr);
    EXPECT_EQ(allocSurface(), chain[2]);
    EXPECT_EQ(allocSurface(), chain[1]);
    EXPECT_EQ(allocSurface(), chain[0]);

    // A deleted object cannot be deleted again.
    captured.clear();
    EXPECT_EQ(deleteObject("object", 1), 0);
    EXPECT_EQ(captured, "ERROR: Object 1 not defined.\n");
}

TEST_F(PlacementOps, RefusalsReportOnceAndChangeNothing) {
    ObjectRecord* o = makeObject(kTypeLens, 3);
    makeObject(kTypeMirror);
    const ObjectRecord before = *o;
    auto unchanged = [&] {
        EXPECT_EQ(o->placed, before.placed);
        EXPECT_EQ(o->activated, before.activated);
        expectSameMatrix(o->localToGlobal, before.localToGlobal);
        EXPECT_EQ(o->firstSurface->inside, nullptr);
    };
    struct Case {
        std::function<int()> call;
        const char* message;
    };
    const Case cases[] = {
        {[] { return activateObject(7, 1, 1, 1, 0, 0, 0, 0); }, "ERROR: Object 7 never defined.\n"},
        {[] { return placeObjectRelative("relative", 1, 9, 1, 0, 0); },
         "ERROR: Reference object 9 not found.\n"},
        {[] { return placeObjectRelative("inside", 1, 2, 1, 0, 0); },
         "ERROR: Reference object 2 has not been placed.\n"},
        {[] { return placeObjectRelative("relative", 1, 0, 1, 0, 0); },
         "ERROR: Reference object 0 not found.\n"},
        {[] { return moveObject("object", "local", 1, 1, 0, 0); },
         "ERROR: Object 1 not placed in the workbox.\n"},
        {[] { return rotateObject("global", "x", 1, 0, 10); },
         "ERROR: Object 1 not placed in the workbox.\n"},
        {[] { return removeObject("object", 1); }, "ERROR: Object 1 not placed in the workbox.\n"},
        {[] { return removeObject("object", -4); }, "ERROR: Object -4 never defined.\n"},
        {[] { return deleteObject("object", 501); }, "ERROR: Object 501 never defined.\n"},
        // Another kind word does nothing and says nothing.
        {[] { return moveObject("subassembly", "local", 1, 1, 0, 0); }, ""},
        {[] { return removeObject("subassembly", 1); }, ""},
        {[] { return deleteObject("subassembly", 1); }, ""},
    };
    for (const Case& c : cases) {
        captured.clear();
        EXPECT_EQ(c.call(), 0);
        EXPECT_EQ(captured, c.message);
        unchanged();
    }
    // The relative turn needs a placed reference too.
    activateObject(1, 1, 2, 3, 0, 0, 0, 0);
    const PlacementMatrix placed = o->localToGlobal;
    captured.clear();
    EXPECT_EQ(rotateObject("relative", "z", 1, 2, 10), 0);
    EXPECT_EQ(captured, "ERROR: Object 2 not placed in the workbox.\n");
    expectSameMatrix(o->localToGlobal, placed);
}

TEST_F(PlacementOps, SurfaceDesignatorsUseTheOwnersLabel) {
    ObjectRecord* o = makeObject(kTypeLens, 3);
    EXPECT_EQ(surfaceDesignator(o->firstSurface->next), "1.2");
    aliasAdd("front", "1");
    EXPECT_EQ(surfaceDesignator(o->firstSurface), "front.1");
    o->firstSurface->number = 0;
    EXPECT_EQ(surfaceDesignator(o->firstSurface), "front.1");
    EXPECT_EQ(surfaceDesignator(nullptr), "");
}

TEST_F(PlacementOps, ShowVectorOpensAnInformationBox) {
    showVector("Direction", {1, -2, 0.5});
    ASSERT_FALSE(hooks.boxes.empty());
    EXPECT_EQ(hooks.boxes.back().title, "MERIDYN Information");
    EXPECT_EQ(hooks.boxes.back().text, "Direction: 1.000000 -2.000000 0.500000\n");
}

using SnugWorkbox = ObjectCommandsTest;

namespace {
void setExtent(SurfaceRecord* s, double x0, double x1, double y0, double y1, double z0, double z1) {
    const double e[6] = {x0, x1, y0, y1, z0, z1};
    std::copy(e, e + 6, s->extent);
}
} // namespace

TEST_F(SnugWorkbox, FitsEveryPlacedObjectAndLeavesAnEmptyModelAlone) {
    snugWorkbox();
    EXPECT_EQ(workbox.center[0], 0);
    EXPECT_EQ(workbox.halfSize[0], 75);
    EXPECT_EQ(workbox.halfSize[2], 100);

    ObjectRecord* lens = makeObject(kTypeLens, 2);
    setExtent(lens->firstSurface, -5, 5, -2, 2, 0, 4);
    setExtent(lens->firstSurface->next, -1, 1, -1, 1, -1, 6);
    ObjectRecord* source = makeObject(kTypeLightSource);
    setExtent(source->firstSurface, -50, 50, -50, 50, -50, 50); // ignored: by reference point
    ObjectRecord* unplaced = makeObject(kTypeMirror);
    setExtent(unplaced->firstSurface, -500, 500, -500, 500, -500, 500);
    activateObject(1, 10, 0, 0, 0, 0, 0, 0);
    activateObject(2, 0, 0, -20, 0, 0, 0, 0);
    snugWorkbox();
    EXPECT_DOUBLE_EQ(workbox.center[0], 7.5);
    EXPECT_DOUBLE_EQ(workbox.center[1], 0);
    EXPECT_DOUBLE_EQ(workbox.center[2], -7);
    EXPECT_DOUBLE_EQ(workbox.halfSize[0], 7.5);
    EXPECT_DOUBLE_EQ(workbox.halfSize[1], 2);
    EXPECT_DOUBLE_EQ(workbox.halfSize[2], 13);

    // A turned object is fitted by its corners in global coordinates.
    activateObject(1, 0, 0, 0, 90, 0, 0, 0);
    removeObject("object", 2);
    snugWorkbox();
    EXPECT_NEAR(workbox.halfSize[0], 2, 1e-12);
    EXPECT_NEAR(workbox.halfSize[1], 5, 1e-12);
}

TEST_F(SnugWorkbox, FlatRangesBecomeOneAndPolygonNetsCountByTheirFirstPart) {
    makeObject(kTypeAxis);
    activateObject(1, 4, 5, 6, 0, 0, 0, 0);
    snugWorkbox();
    EXPECT_DOUBLE_EQ(workbox.center[0], 4);
    EXPECT_DOUBLE_EQ(workbox.center[2], 6);
    for (double h : workbox.halfSize)
        EXPECT_EQ(h, 1);

    // A net counts by the vertices of its first part, not by its extent box.
    ObjectRecord* net = makeObject(kTypePolynet);
    setExtent(net->firstSurface, -100, 100, -100, 100, -100, 100);
    PolyPoint points[3] = {{-4, 5, 6}, {4, 9, 6}, {0, 7, 6}};
    VertexNode vertices[3];
    for (int i = 0; i < 3; ++i) {
        vertices[i].point = &points[i];
        vertices[i].next = i < 2 ? &vertices[i + 1] : nullptr;
    }
    ContourNode contour;
    contour.firstVertex = &vertices[0];
    PolygonRecord facet;
    facet.firstContour = &contour;
    PolyPoint far{500, 500, 500};
    VertexNode farVertex;
    farVertex.point = &far;
    ContourNode farContour;
    farContour.firstVertex = &farVertex;
    PolygonRecord farFacet;
    farFacet.firstContour = &farContour;
    PolynetRecord secondPart;
    secondPart.firstPolygon = &farFacet;
    PolynetRecord firstPart;
    firstPart.firstPolygon = &facet;
    firstPart.nextPart = &secondPart;
    net->firstSurface->typeData = &firstPart;
    activateObject(2, 0, 0, 0, 0, 0, 0, 0);
    snugWorkbox();
    EXPECT_DOUBLE_EQ(workbox.center[0], 0);
    EXPECT_DOUBLE_EQ(workbox.halfSize[0], 4);
    EXPECT_DOUBLE_EQ(workbox.halfSize[1], 2);
    EXPECT_EQ(workbox.halfSize[2], 1);
}
