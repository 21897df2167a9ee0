#include "engine/model/object_table.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "engine/model/model_blocks.h"
#include "engine/surfaces/surface_geometry.h"
#include "tests/engine/engine_fixture.h"

using ObjectTableTest = EngineTest;

namespace {
bool isIdentity(const PlacementMatrix& m) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m[i][j] != (i == j ? 1.0 : 0.0)) return false;
    return true;
}
} // namespace

TEST_F(ObjectTableTest, RevivedSlotStartsLikeANewRecord) {
    makeObject(kTypeLens);
    ObjectRecord* second = makeObject(kTypeMirror, 2);
    makeObject(kTypeAxis);
    second->boundingRadius = 12;
    second->referencePoint = {1, 2, 3};
    second->traceable = 1;
    second->placed = 1;
    second->userParameters.names = {"xsize", "ysize"};
    second->userParameters.values = {20, 20};
    second->userParameters.count = 2;

    deleteObjectNow(second);
    EXPECT_EQ(second->number, -2);
    EXPECT_EQ(getObject(1), nullptr);
    EXPECT_EQ(objectCount, 2);
    EXPECT_EQ(highestObjectIndex, 2); // deleting leaves it

    ObjectRecord* revived = allocObjectSlot();
    ASSERT_EQ(revived, second); // same record, same slot, same number
    EXPECT_EQ(revived->number, 2);
    EXPECT_EQ(revived->boundingRadius, 0);
    EXPECT_EQ(revived->referencePoint.x, 0);
    EXPECT_EQ(revived->traceable, 0);
    EXPECT_EQ(revived->placed, 0);
    EXPECT_EQ(revived->defined, 0);
    EXPECT_EQ(revived->userParameters.count, 0);
    EXPECT_TRUE(revived->userParameters.values.empty());
    EXPECT_TRUE(revived->userParameters.names.empty());
    EXPECT_EQ(objectCount, 3);
    EXPECT_EQ(highestObjectIndex, 2);
}

TEST_F(ObjectTableTest, LowestFreeSlotIsReusedFirst) {
    EXPECT_EQ(highestObjectIndex, -1);
    ObjectRecord* a = makeObject(kTypeLens);
    makeObject(kTypeLens);
    ObjectRecord* c = makeObject(kTypeLens);
    deleteObjectNow(c);
    deleteObjectNow(a);
    EXPECT_EQ(allocObjectSlot()->number, 1);
    EXPECT_EQ(allocObjectSlot()->number, 3);
    EXPECT_EQ(allocObjectSlot()->number, 4);
    EXPECT_EQ(highestObjectIndex, 3);
}

TEST_F(ObjectTableTest, FiveHundredObjectsAtMostWithStableAddresses) {
    std::vector<ObjectRecord*> made;
    for (int i = 0; i < kMaxObjects; ++i)
        made.push_back(allocObjectSlot());
    EXPECT_EQ(std::set<ObjectRecord*>(made.begin(), made.end()).size(), 500u);
    EXPECT_EQ(allocObjectSlot(), nullptr);
    EXPECT_EQ(objectCount, 500);
    EXPECT_EQ(highestObjectIndex, 499);
    for (int i = 0; i < kMaxObjects; ++i) {
        ASSERT_EQ(getObject(i), made[i]);
        ASSERT_EQ(made[i]->number, i + 1);
    }
    freeObjectSlot(made[321]);
    EXPECT_EQ(allocObjectSlot(), made[321]);
}

TEST_F(ObjectTableTest, LookupsRejectBadEmptyAndDeletedSlots) {
    ObjectRecord* o = makeObject(kTypeLens, 3);
    EXPECT_EQ(getObject(-1), nullptr);
    EXPECT_EQ(getObject(500), nullptr);
    EXPECT_EQ(getObject(1), nullptr); // empty
    EXPECT_EQ(getObject(0), o);
    EXPECT_EQ(getSurface(0, 3)->number, 3);
    EXPECT_EQ(getSurface(0, 4), nullptr);
    EXPECT_EQ(getSurface(0, 0), nullptr);
    EXPECT_EQ(getSurface(-7, 1), nullptr);
    EXPECT_EQ(getSurface(1, 1), nullptr);
    deleteObjectNow(o);
    EXPECT_EQ(getObject(0), nullptr);
    EXPECT_EQ(getSurface(0, 1), nullptr);
}

TEST_F(ObjectTableTest, FreedSurfacesComeBackLastInFirstOutAndZeroed) {
    SurfaceRecord* a = allocSurface();
    SurfaceRecord* b = allocSurface();
    EXPECT_EQ(surfaceCount, 2);
    a->reflectance = 0.5;
    a->side = -1;
    b->inside = a;
    b->number = 7;
    freeSurface(a);
    freeSurface(b);
    EXPECT_EQ(surfaceCount, 0);
    EXPECT_EQ(surfaceFreeList, b);
    SurfaceRecord* first = allocSurface();
    SurfaceRecord* second = allocSurface();
    EXPECT_EQ(first, b);
    EXPECT_EQ(second, a);
    EXPECT_EQ(first->number, 0);
    EXPECT_EQ(first->inside, nullptr);
    EXPECT_EQ(first->next, nullptr);
    EXPECT_EQ(second->reflectance, 0);
    EXPECT_EQ(second->side, 0);
    EXPECT_EQ(second->intercept, nullptr);
    EXPECT_EQ(surfaceCount, 2);
}

TEST_F(ObjectTableTest, FailedBlockAllocationReturnsNoneAndChangesNothing) {
    failNextModelBlocks(1);
    EXPECT_EQ(allocObjectSlot(), nullptr);
    EXPECT_EQ(objectCount, 0);
    EXPECT_EQ(highestObjectIndex, -1);
    EXPECT_EQ(allocObjectSlot()->number, 1);

    std::vector<SurfaceRecord*> made;
    for (int i = 0; i < kRecordsPerBlock; ++i)
        made.push_back(allocSurface());
    failNextModelBlocks(1); // the 51st needs a new block
    EXPECT_EQ(allocSurface(), nullptr);
    EXPECT_EQ(surfaceCount, 50);
    SurfaceRecord* next = allocSurface();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(std::count(made.begin(), made.end(), next), 0);
    EXPECT_EQ(surfaceCount, 51);
}

TEST_F(ObjectTableTest, InitialisationGivesIdentityAndQuadricHooks) {
    ObjectRecord* o = allocObjectSlot();
    o->activated = o->placed = 1;
    initObjectRecord(o);
    EXPECT_TRUE(isIdentity(o->globalToLocal));
    EXPECT_TRUE(isIdentity(o->localToGlobal));
    EXPECT_EQ(o->defined, 1);
    EXPECT_EQ(o->activated, 0);
    EXPECT_EQ(o->placed, 0);

    SurfaceRecord* s = allocSurface();
    s->shapeCode = 5;
    s->hasHole = 1;
    s->next = s;
    initSurfaceRecord(s);
    EXPECT_TRUE(isIdentity(s->globalToSurface));
    EXPECT_TRUE(isIdentity(s->surfaceToGlobal));
    EXPECT_TRUE(isIdentity(s->surfaceToObject));
    EXPECT_TRUE(isIdentity(s->objectToSurface));
    EXPECT_EQ(s->shapeCode, 0);
    EXPECT_EQ(s->hasHole, 0);
    EXPECT_EQ(s->next, nullptr);
    EXPECT_EQ(s->intercept, &interceptQuadricSurface);
    EXPECT_EQ(s->normal, &quadricNormal);
}

TEST_F(ObjectTableTest, StateChecksReportInOrderAndStopAtTheFirst) {
    ObjectRecord* o = allocObjectSlot(); // live, undefined, unplaced
    aliasAdd("lamp", "1");
    EXPECT_EQ(checkObjectState(0, 1, 1, 1), 0);
    o->defined = 1;
    EXPECT_EQ(checkObjectState(0, 2, 1, 1), 0);
    EXPECT_EQ(checkObjectState(0, 1, 1, 1), 0);
    o->placed = 1;
    EXPECT_EQ(checkObjectState(0, 1, 2, 1), 0);
    EXPECT_EQ(checkObjectState(0, 1, 1, 1), 0);
    o->activated = 1;
    EXPECT_EQ(checkObjectState(0, 1, 1, 2), 0);
    EXPECT_EQ(checkObjectState(0, 1, 1, 1), 1);
    EXPECT_EQ(checkObjectState(1, 3, 3, 3), 0);
    EXPECT_EQ(screen(), "ERROR: Object lamp not defined.\n"
                        "ERROR: Object lamp is already defined.\n"
                        "ERROR: Object lamp not placed in the workbox.\n"
                        "ERROR: Object lamp is already placed in the workbox.\n"
                        "ERROR: Object lamp is not activated.\n"
                        "ERROR: Object lamp is already activated.\n"
                        "ERROR: Object 2 never defined.\n");
}

TEST_F(ObjectTableTest, StateCheckOutsideTheTableIsNeverDefined) {
    EXPECT_EQ(checkObjectState(599, 3, 3, 3), 0);
    EXPECT_EQ(checkObjectState(-5, 1, 1, 1), 0);
    EXPECT_EQ(checkObjectState(500, 3, 3, 3), 0);
    EXPECT_EQ(screen(), "ERROR: Object 600 never defined.\n"
                        "ERROR: Object -4 never defined.\n"
                        "ERROR: Object 501 never defined.\n");
}

TEST_F(ObjectTableTest, NoRulesPassForAnyFilledSlotEvenDeleted) {
    ObjectRecord* o = makeObject(kTypeLens);
    deleteObjectNow(o);
    EXPECT_EQ(checkObjectState(0, 3, 3, 3), 1);
    EXPECT_EQ(checkObjectState(0, 0, 7, -1), 1);
    EXPECT_EQ(checkObjectState(0, 1, 3, 3), 0);
    EXPECT_EQ(screen(), "ERROR: Object 1 not defined.\n");
}

TEST_F(ObjectTableTest, NameTables) {
    EXPECT_STREQ(objectTypeLabel(kTypeLuminousBody), "Lumnious Body ");
    EXPECT_STREQ(objectTypeLabel(kTypeAperture), " Aperture     ");
    EXPECT_STREQ(objectTypeLabel(kTypeCpc), "    Unknown   ");
    EXPECT_STREQ(objectTypeLabel(7), "    Unknown   ");
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 20, 99, -1})
        EXPECT_EQ(std::strlen(objectTypeLabel(code)), 14u) << code;
    EXPECT_STREQ(objectKindName(kTypeRaytraceDetector), "film-r");
    EXPECT_STREQ(objectKindName(kTypeCylindricLens), "cyllens");
    EXPECT_STREQ(objectKindName(kTypeCpc), "cpc");
    for (int code : {0, 16, 17, 18, 19, 21, -3})
        EXPECT_STREQ(objectKindName(code), "") << code;
    EXPECT_STREQ(wireframeKindName(kWirePrism), "prism");
    EXPECT_STREQ(wireframeKindName(kWireEllipsoid), "elipsoid");
    EXPECT_STREQ(wireframeKindName(10), "");
}
