#include "engine/model/current_objects.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "tests/engine/engine_fixture.h"

namespace fs = std::filesystem;

class CurrentObjectsTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        setStatusLineHook([this](const std::string& t) { status.push_back(t); });
    }
    // A definition as the define command completes it.
    ObjectRecord* define(int typeCode, bool place = false) {
        ObjectRecord* o = makeObject(typeCode);
        o->placed = o->activated = place ? 1 : 0;
        noteDefinedObject(o->number);
        return o;
    }
    void touchRays() { std::ofstream(home("rays.dat")) << "x"; }
    bool raysExist() { return fs::exists(home("rays.dat")); }
    std::vector<std::string> status;
};

TEST_F(CurrentObjectsTest, EmptyModelHasNoCurrentObjects) {
    viewObject = 4;
    EXPECT_EQ(refreshCurrentObjects(0), 0);
    EXPECT_EQ(viewObject, 0);
    EXPECT_EQ(currentObject, 0);
    EXPECT_TRUE(status.empty());
}

TEST_F(CurrentObjectsTest, NewDefinitionBecomesTheSelection) {
    define(kTypeLens);
    define(kTypeMirror);
    EXPECT_EQ(refreshCurrentObjects(0), 2);
    EXPECT_EQ(currentObject, 2);
    EXPECT_EQ(viewObject, 2);
    EXPECT_EQ(firstDefinedObject, 1);
    EXPECT_EQ(firstUnplacedObject, 1);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status.back(), "Object 2 selected.");
}

TEST_F(CurrentObjectsTest, DefinitionIntoARevivedLowerSlotIsSelected) {
    ObjectRecord* first = define(kTypeLens);
    define(kTypeLens);
    define(kTypeLens);
    refreshCurrentObjects(0);
    deleteObjectNow(first);
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObject, 3);
    EXPECT_EQ(define(kTypeMirror)->number, 1);
    refreshCurrentObjects(0);
    EXPECT_EQ(currentObject, 3);
    EXPECT_EQ(viewObject, 1);
    EXPECT_EQ(status.back(), "Object 1 selected.");
    // Only the refresh right after the definition selects it.
    pendingSelection = 1;
    pendingSelectedObject = 2;
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObject, 2);
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObject, 2);
}

TEST_F(CurrentObjectsTest, DeletedSelectionFallsBackToTheCurrentObject) {
    ObjectRecord* first = define(kTypeLens);
    define(kTypeLens);
    define(kTypeLens);
    refreshCurrentObjects(0);
    pendingSelection = 1;
    pendingSelectedObject = 1;
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObject, 1);
    EXPECT_EQ(pendingSelection, 0);
    deleteObjectNow(first); // the highest object is unchanged
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObject, 3);
    // A selection that names no object at all falls back the same way.
    pendingSelection = 1;
    pendingSelectedObject = 77;
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObject, 3);
}

TEST_F(CurrentObjectsTest, LastObjectDeletedClearsEverything) {
    ObjectRecord* a = define(kTypeLightSource, true);
    ObjectRecord* b = define(kTypeRaytraceDetector, true);
    refreshCurrentObjects(0);
    EXPECT_EQ(currentLightSource, 1);
    EXPECT_EQ(currentDetector, 2);
    deleteObjectNow(a);
    deleteObjectNow(b);
    EXPECT_EQ(refreshCurrentObjects(0), 0);
    EXPECT_EQ(currentObject, 0);
    EXPECT_EQ(viewObject, 0);
    EXPECT_EQ(currentLightSource, 0);
    EXPECT_EQ(currentDetector, 0);
    EXPECT_EQ(currentPolynet, 0);
    EXPECT_EQ(firstDefinedObject, 0);
    EXPECT_EQ(firstUnplacedObject, 0);
}

TEST_F(CurrentObjectsTest, HighestQualifyingObjectsAndUndefinedSlots) {
    define(kTypePolynet);          // 1: unplaced polygon net still counts
    define(kTypeRaytraceDetector); // 2: unplaced detector does not
    define(kTypeRaytraceDetector, true);
    define(kTypeLightSource, true);              // 4
    define(kTypePolynet, true);                  // 5
    define(kTypeLightSource);                    // 6: not placed
    ObjectRecord* undefined = allocObjectSlot(); // 7: live but never completed
    (void)undefined;
    refreshCurrentObjects(1);
    EXPECT_EQ(currentObject, 6);
    EXPECT_EQ(currentLightSource, 4);
    EXPECT_EQ(currentDetector, 3);
    EXPECT_EQ(currentPolynet, 5);
    EXPECT_EQ(firstDefinedObject, 1);
    EXPECT_EQ(firstUnplacedObject, 1);
    EXPECT_EQ(viewObject, 6);
    EXPECT_EQ(isPolynet(1), 1);
    EXPECT_EQ(isPlacedDetector(2), 0);
    EXPECT_EQ(isPlacedLightSource(6), 0);
    EXPECT_EQ(isPlacedLightSource(0), 0);
    EXPECT_EQ(isPlacedLightSource(501), 0);
}

TEST_F(CurrentObjectsTest, SelectionPreferenceForSourcesDetectorsAndNets) {
    define(kTypeLightSource, true);      // 1
    define(kTypeLightSource, true);      // 2
    define(kTypeRaytraceDetector, true); // 3
    define(kTypeRaytraceDetector, true); // 4
    define(kTypePolynet);                // 5
    define(kTypePolynet);                // 6
    refreshCurrentObjects(0);
    EXPECT_EQ(currentLightSource, 2);
    EXPECT_EQ(currentDetector, 4);
    EXPECT_EQ(currentPolynet, 6);
    for (int pick : {1, 3, 5}) {
        pendingSelection = 1;
        pendingSelectedObject = pick;
        refreshCurrentObjects(0);
    }
    // The picked source and detector stay current while another object is selected.
    EXPECT_EQ(currentLightSource, 1);
    EXPECT_EQ(currentDetector, 3);
    EXPECT_EQ(currentPolynet, 5);
    EXPECT_EQ(viewObject, 5);
    pendingSelection = 1;
    pendingSelectedObject = 4;
    refreshCurrentObjects(0);
    EXPECT_EQ(currentLightSource, 1);
    EXPECT_EQ(currentDetector, 4);
    EXPECT_EQ(currentPolynet, 6); // a net is current only while selected
    // Once the earlier choice no longer qualifies, the highest one is current again.
    getObject(0)->placed = 0;
    refreshCurrentObjects(0);
    EXPECT_EQ(currentLightSource, 2);
}

TEST_F(CurrentObjectsTest, PendingSelectionOfAnUnplacedObjectIsTheFirstUnplaced) {
    define(kTypeLens, true);
    define(kTypeLens);
    define(kTypeLens);
    pendingSelection = 1;
    pendingSelectedObject = 3;
    refreshCurrentObjects(0);
    EXPECT_EQ(firstUnplacedObject, 3);
    refreshCurrentObjects(0);
    EXPECT_EQ(firstUnplacedObject, 2);
}

TEST_F(CurrentObjectsTest, RayFileGoesWhenTheLightSourceGoes) {
    touchRays();
    define(kTypeLens, true);
    refreshCurrentObjects(0);
    EXPECT_TRUE(raysExist()); // rays of a trace from another object stay
    ObjectRecord* lamp = define(kTypeLightSource, true);
    refreshCurrentObjects(0);
    EXPECT_TRUE(raysExist());
    lamp->placed = lamp->activated = 0; // removed from the workbox
    refreshCurrentObjects(0);
    EXPECT_FALSE(raysExist());
    touchRays();
    refreshCurrentObjects(0);
    EXPECT_TRUE(raysExist()); // only the transition deletes
}

TEST_F(CurrentObjectsTest, RayFileGoesWhenTheLastObjectWasTheSource) {
    ObjectRecord* lamp = define(kTypeLightSource, true);
    refreshCurrentObjects(0);
    touchRays();
    deleteObjectNow(lamp);
    refreshCurrentObjects(0);
    EXPECT_FALSE(raysExist());
}

TEST_F(CurrentObjectsTest, DetectorProbeCreatesNoSpotFile) {
    define(kTypeRaytraceDetector, true);
    refreshCurrentObjects(0);
    EXPECT_EQ(currentDetector, 1);
    EXPECT_FALSE(fs::exists(home("spots.dat")));
}

TEST_F(CurrentObjectsTest, QuietRefreshGivesNoStatusText) {
    define(kTypeLens);
    refreshCurrentObjects(1);
    EXPECT_TRUE(status.empty());
    setStatusLineHook({});
    refreshCurrentObjects(0); // no receiver: nothing to do, nothing breaks
}

TEST_F(CurrentObjectsTest, ListEntryText) {
    ObjectRecord* lamp = define(kTypeLightSource, true);
    ObjectRecord* lens = define(kTypeLens);
    aliasAdd("lamp", "1");
    EXPECT_EQ(objectListEntryText(lamp), "..lamp (lightsource)");
    EXPECT_EQ(objectListEntryText(lens), "  2 (lens)");
    lens->placed = 1;
    EXPECT_EQ(objectListEntryText(lens), ". 2 (lens)");
    lens->typeCode = 99;
    EXPECT_EQ(objectListEntryText(lens), ". 2 ()");
    EXPECT_EQ(objectListEntryText(nullptr), "");
}

TEST_F(CurrentObjectsTest, DetectorViewObject) {
    define(kTypeRaytraceDetector, true);
    define(kTypeRaytraceDetector); // defined, not placed
    refreshCurrentObjects(0);
    EXPECT_EQ(viewObjectArg(1, 0.9995), 1);
    EXPECT_EQ(viewObject, 1);
    EXPECT_EQ(viewObjectArg(1, 2), -1);
    EXPECT_EQ(viewObjectArg(1, 7), -1);
    EXPECT_EQ(viewObjectArg(1, std::nan("")), -1);
    EXPECT_EQ(viewObjectArg(1, 1e300), -1);
    EXPECT_EQ(screen(), "ERROR: Object 2 not placed in the workbox.\n");
    viewObject = 2;
    EXPECT_EQ(viewObjectArg(0, 0), 0);
    EXPECT_EQ(viewObject, 1);
    currentDetector = 0;
    EXPECT_EQ(viewObjectArg(0, 0), -1);
}
