// Picking the object nearest to a point.
#include <gtest/gtest.h>

#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "ui/core/object_pick.h"

namespace {

ObjectRecord* placedAt(double x, double y, double z, double radius) {
    ObjectRecord* o = allocObjectSlot();
    identity4(o->localToGlobal);
    o->localToGlobal[3][0] = x;
    o->localToGlobal[3][1] = y;
    o->localToGlobal[3][2] = z;
    o->placed = 1;
    o->boundingRadius = radius;
    return o;
}

class PickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetObjectTable();
        resetCurrentObjects();
    }
    void TearDown() override {
        resetObjectTable();
        resetCurrentObjects();
    }
    const Vec3 halfSizes{75, 50, 100}; // fallback radius 0.05 x 75 = 3.75
};

} // namespace

TEST_F(PickTest, AnObjectWhoseRadiusHoldsThePointWinsOverANearerOne) {
    placedAt(0, 0, 0, 0.5);   // 1: 2 away, radius 0.5 -> outside
    placedAt(5, 0, 0, 10);    // 2: 3 away, radius 10 -> inside
    EXPECT_EQ(PickNearestObject(2, 0, 0, halfSizes), -1);
    EXPECT_EQ(viewObject, 2);
}

TEST_F(PickTest, AmongEqualsTheNearerWinsAndTheFallbackRadiusServes) {
    placedAt(0, 0, 0, 0);     // fallback 3.75: 3 away -> inside
    placedAt(2.5, 0, 0, 0);   // 0.5 away -> inside, nearer
    PickNearestObject(3, 0, 0, halfSizes);
    EXPECT_EQ(viewObject, 2);
    PickNearestObject(-100, 0, 0, halfSizes); // both outside: the nearer
    EXPECT_EQ(viewObject, 1);
}

TEST_F(PickTest, UnplacedAndDeletedObjectsAreNotPickedAndNoObjectKeepsTheSelection) {
    viewObject = 7;
    PickNearestObject(0, 0, 0, halfSizes);
    EXPECT_EQ(viewObject, 7);
    ObjectRecord* a = placedAt(0, 0, 0, 1);
    a->placed = 0;
    placedAt(50, 0, 0, 1);
    PickNearestObject(0, 0, 0, halfSizes);
    EXPECT_EQ(viewObject, 2);
}

TEST_F(PickTest, VectorToCurrentObject) {
    placedAt(1, 2, 3, 0);
    Vec3 out{9, 9, 9};
    viewObject = 2;
    EXPECT_EQ(VectorToCurrentObject(0, 0, 0, out), 0);
    EXPECT_DOUBLE_EQ(out.x, 9);
    viewObject = 1;
    EXPECT_EQ(VectorToCurrentObject(4, 4, 4, out), 1);
    EXPECT_DOUBLE_EQ(out.x, 3);
    EXPECT_DOUBLE_EQ(out.y, 2);
    EXPECT_DOUBLE_EQ(out.z, 1);
}
