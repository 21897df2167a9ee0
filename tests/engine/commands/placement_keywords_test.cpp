#include "command/interpreter/aliases.h"
#include "engine/model/current_objects.h"
#include "tests/engine/object_commands_fixture.h"

using PlacementKeywords = ObjectCommandsTest;

TEST_F(PlacementKeywords, PlaceDefaultsToTheObjectJustDefined) {
    makeObject(kTypeLens, 3);
    EXPECT_EQ(run("place"), "ERROR: Item number not given. Command ignored.\n");
    noteDefinedObject(1);
    EXPECT_EQ(run("place 5 6 7"), "ERROR: Object 5 never defined.\n");
    EXPECT_EQ(run("place x=1 y=2 z=3"), "Object 1 is now activated and in place.\n");
    EXPECT_VEC_NEAR(toGlobal(getObject(0), {}), 1, 2, 3, 1e-12);
}

TEST_F(PlacementKeywords, PlaceByAliasRelativeInsideAndWithRotations) {
    ObjectRecord* a = makeObject(kTypeLens, 3);
    ObjectRecord* b = makeObject(kTypeMirror);
    aliasAdd("lens1", "1");
    EXPECT_EQ(run("place/global lens1 10 0 0"), "Object lens1 is now activated and in place.\n");
    // The reference defaults to the object placed last.
    EXPECT_EQ(run("place/relative 2 x=0 y=0 z=5"),
              "Placement is relative to object lens1. Object 2 is now activated and in place.\n");
    EXPECT_VEC_NEAR(toGlobal(b, {}), 10, 0, 5, 1e-12);
    EXPECT_EQ(run("place/inside 2 lens1"),
              "Placement is relative to object lens1. Object 2 is now activated and in place.\n");
    EXPECT_EQ(b->firstSurface->inside, a->firstSurface);
    EXPECT_EQ(run("place/rotations 2 1 2 3 0 90 0 lens1"),
              "reference item =1\nObject 2 is now activated and in place.\n");
    EXPECT_EQ(b->firstSurface->inside, a->firstSurface);
    EXPECT_VEC_NEAR(toGlobal(b, {}), 1, 2, 3, 1e-12);
    EXPECT_EQ(run("place/rotations object=2 beta=90"), "Object 2 is now activated and in place.\n");
    EXPECT_EQ(b->firstSurface->inside, nullptr);
    // Only objects are placed.
    EXPECT_EQ(run("place/subassembly 2 0 0 0"), "");
}

TEST_F(PlacementKeywords, TranslateConfirmsOnlyAMoveThatHappened) {
    ObjectRecord* o = makeObject(kTypeLens);
    EXPECT_EQ(run("translate 1 0 0 5"), "ERROR: Object 1 not placed in the workbox.\n");
    run("place 1");
    EXPECT_EQ(run("translate/local 1 0 0 5"), "Object 1 has been moved.\nTranslate/local.\n");
    EXPECT_EQ(run("translate object=1 x=2"), "Object 1 has been moved.\nTranslate/global.\n");
    EXPECT_VEC_NEAR(toGlobal(o, {}), 2, 0, 5, 1e-12);
    EXPECT_EQ(run("translate/global x=2"), "ERROR: Item number not given. Command ignored.\n");
    EXPECT_EQ(run("translate/subassembly 1 3"), "");
    EXPECT_VEC_NEAR(toGlobal(o, {}), 2, 0, 5, 1e-12);
}

TEST_F(PlacementKeywords, RotateChecksItsArgumentsInOrder) {
    ObjectRecord* o = makeObject(kTypeLens);
    makeObject(kTypeLens);
    run("place 1 1 0 0");
    run("place 2");
    const PlacementMatrix before = o->localToGlobal;
    const std::pair<const char*, const char*> refusals[] = {
        {"rotate 1 45", "ERROR: Rotation axis must be specified.\n"},
        {"rotate/x", "ERROR: Item number not given. Command ignored.\n"},
        {"rotate/x object=3", "ERROR: Angle not given. Command ignored.\n"},
        {"rotate/relative/x 1", "ERROR: Reference item number not give.  Command ignored.\n"},
        {"rotate/relative/x 1 2", "ERROR: Angle not given. Command ignored.\n"},
        {"rotate/y 0 45", "ERROR: Illegal object number.  Command ignored.\n"},
        {"rotate/relative/z 1 -2 45",
         "ERROR: Illegal reference object number.  Command ignored.\n"},
        // Numbers far outside the table name no object.
        {"rotate/z 1e30 45", "ERROR: Object 1000000 never defined.\n"},
        {"rotate/z 3 45", "ERROR: Object 3 never defined.\n"},
        {"rotate/subassembly/z 1 45", ""},
    };
    for (const auto& [line, message] : refusals) {
        EXPECT_EQ(run(line), message) << line;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                EXPECT_EQ(o->localToGlobal[i][j], before[i][j]) << line;
    }
    EXPECT_EQ(run("rotate/global/z 1 90"), "Object 1 has now been rotated.\n");
    // The placement matrices turn x toward -y for a positive angle about z.
    EXPECT_VEC_NEAR(toGlobal(o, {}), 0, -1, 0, 1e-12);
    EXPECT_EQ(run("rotate/relative/z 1 2 -90"), "Object 1 has now been rotated.\n");
    EXPECT_VEC_NEAR(toGlobal(o, {}), 1, 0, 0, 1e-12);
}

TEST_F(PlacementKeywords, RemoveNeedsAnObjectNumber) {
    ObjectRecord* o = makeObject(kTypeLens);
    run("place 1");
    EXPECT_EQ(run("remove"), "ERROR: Item number not given. Command ignored.\n");
    EXPECT_EQ(run("remove/subassembly 1"), "");
    EXPECT_EQ(o->placed, 1);
    EXPECT_EQ(run("remove 1"), "Removed object 1. Use the place command to reinstate.\n");
    EXPECT_EQ(o->placed, 0);
    EXPECT_EQ(run("remove 1"), "ERROR: Object 1 not placed in the workbox.\n");
}
