// Alternate-surface chains, slots and listing, MODIFY/ALTSURFACES transcripts, surface
// designators and user parameters.
#include "engine/surfaces/alt_surface_routines.h"
#include "engine/model/model_blocks.h"
#include "engine/commands/modify_altsurfaces.h"
#include "engine/files/ray_files.h"
#include "engine/commands/surface_designator.h"
#include "engine/model/user_parameters.h"
#include "tests/engine/surface_fixture.h"

namespace {

class AltSurfacesTest : public SurfaceTest {
  protected:
    // Object 1 with two plane surfaces; modify commands work on 1.2.
    void SetUp() override {
        SurfaceTest::SetUp();
        lens = makeObject(kTypeLens, 2);
        target = surface(lens, 2);
    }
    // Screen text written since the last call.
    std::string newText() {
        std::string all = screen();
        std::string fresh = all.substr(seen);
        seen = all.size();
        return fresh;
    }
    static AltSurfaceRecord* record(int kind, const char* name = "test") {
        AltSurfaceRecord* r = newAltSurfaceRecord();
        r->kind = kind;
        r->routineName = name;
        return r;
    }
    ObjectRecord* lens = nullptr;
    SurfaceRecord* target = nullptr;
    std::size_t seen = 0;
};

TEST_F(AltSurfacesTest, LoadingFillsSlotsByKindLaterRecordsWinning) {
    AltSurfaceRecord* first = record(kNormalRefinement, "first");
    AltSurfaceRecord* grating = record(kDirectionRefinement, "grating");
    AltSurfaceRecord* second = record(kNormalRefinement, "second");
    for (AltSurfaceRecord* r : {first, grating, second})
        ASSERT_EQ(appendAltSurface(target, r), 1);
    EXPECT_EQ(loadAltSurfaces(target), 3);
    EXPECT_EQ(altSurfaceSlots[kNormalRefinement].present, kNormalRefinement);
    EXPECT_EQ(altSurfaceSlots[kNormalRefinement].record, second);
    EXPECT_EQ(altSurfaceSlots[kDirectionRefinement].record, grating);
    EXPECT_EQ(altSurfaceSlots[kDirectionRefinement].values, grating->values);
    EXPECT_EQ(altSurfaceSlots[kInterceptAlternate].present, 0);

    // Kinds that are not in a chain keep what they had until the slots are cleared.
    EXPECT_EQ(loadAltSurfaces(lens->firstSurface), 0);
    EXPECT_EQ(altSurfaceSlots[kDirectionRefinement].present, kDirectionRefinement);
    clearAltSurfaces();
    for (const AltSurfaceSlot& slot : altSurfaceSlots)
        EXPECT_EQ(slot.present, 0);

    second->kind = 9;
    EXPECT_EQ(loadAltSurfaces(target), 3);
    EXPECT_EQ(newText(), "WARNING: Unknown altsurface type 9 encoutered - object 1 surface 2\n");
    EXPECT_EQ(altSurfaceSlots[kNormalRefinement].record, first);
}

TEST_F(AltSurfacesTest, ChainHoldsAHundredRecords) {
    for (int i = 0; i < kMaxAltSurfaces; ++i)
        ASSERT_EQ(appendAltSurface(target, record(kNormalRefinement)), 1);
    AltSurfaceRecord* extra = record(kNormalRefinement);
    EXPECT_EQ(appendAltSurface(target, extra), 0);
    EXPECT_EQ(altSurfaceCount(target), 100);
    EXPECT_EQ(newText(), "ERROR: Exceeds 100 surface alt functions - command ignored.");
    EXPECT_EQ(errorOccurred, 1);
}

TEST_F(AltSurfacesTest, ListingNamesEveryRecordAndItsParameters) {
    EXPECT_EQ(listAltSurfaces(target), 0);
    EXPECT_EQ(newText(), "No alternate surfaces functions attached.\n");

    AltSurfaceRecord* g = record(kDirectionRefinement, "grating");
    g->namedCount = 3;
    g->names = gratingParameterNames;
    g->values[0] = 600;
    g->values[1] = 12.5;
    g->values[2] = -1;
    AltSurfaceRecord* cpc = record(kInterceptAlternate, "cpc_intercept");
    cpc->namedCount = 1;
    cpc->names = gratingParameterNames;
    AltSurfaceRecord* odd = record(0, "odd");
    for (AltSurfaceRecord* r : {g, cpc, odd})
        appendAltSurface(target, r);
    EXPECT_EQ(listAltSurfaces(target), 4);
    EXPECT_EQ(newText(), "3 alternate surfaces were found for surface 1.2\n"
                         "Alteration 1 function identified as: grating of type: "
                         "DIRECTION_REFINEMENT\n"
                         "Parameters: frequency = 600  theta = 12.5  order = -1  \n"
                         "Alteration 2 function identified as: cpc_intercept of type: "
                         "INTERCEPT_ALTERNATE\n"
                         "Parameters: \n"
                         "Alteration 3 function identified as: odd of type: "
                         "Unknown alternate surface type.\n"
                         "Parameters: \n");
}

TEST_F(AltSurfacesTest, ModifyRefusesWithoutKindOrSurface) {
    parseModify("/altsurfaces", {1.2});
    EXPECT_EQ(modifyAltsurfaces(), 0);
    EXPECT_EQ(newText(), "WARNING: No alternate surface type specified.  Command ignored.\n");

    parseModify("/altsurfaces/grating", {});
    EXPECT_EQ(modifyAltsurfaces(), 0);
    EXPECT_EQ(newText(), "ERROR:  No surface specified, command ignored.\n ");

    parseModify("/altsurfaces/grating", {9.1});
    EXPECT_EQ(modifyAltsurfaces(), 0);
    EXPECT_EQ(newText(), "ERROR: Object 9 is undefined.\nERROR: Surface 1 is undefined.\n");

    parseModify("/altsurfaces/grating", {1.3});
    EXPECT_EQ(modifyAltsurfaces(), 0);
    EXPECT_EQ(newText(), "ERROR: Surface 3 is undefined.\n");
    EXPECT_EQ(target->altSurfaces, nullptr);
    EXPECT_EQ(lens->firstSurface->altSurfaces, nullptr);
}

TEST_F(AltSurfacesTest, GratingIsAddedThenChanged) {
    parseModify("/altsurfaces/gr", {1.2, 600});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    EXPECT_EQ(newText(), "Adding new alternate surface function: grating.\n"
                         "frequency=600 theta=0 order=1\n"
                         "Object 1 surface 2: modified.\n"
                         "1 alternate surfaces were found for surface 1.2\n"
                         "Alteration 1 function identified as: grating of type: "
                         "DIRECTION_REFINEMENT\n"
                         "Parameters: frequency = 600  theta = 0  order = 1  \n");
    AltSurfaceRecord* r = target->altSurfaces;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->kind, kDirectionRefinement);
    EXPECT_EQ(r->routine.direction, gratingAltsurface);

    // Values by name; what is not given stays.
    parseModify("/altsurfaces/grating order=-2 theta=30", {1.2});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    std::string text = newText();
    EXPECT_EQ(text.substr(0, text.find("Object")),
              "Changing existing alternate surface : grating.\n"
              "frequency=600 theta=30 order=-2\n");
    EXPECT_EQ(altSurfaceCount(target), 1);
    EXPECT_EQ(target->altSurfaces, r);
    EXPECT_EQ(r->values[0], 600);
}

TEST_F(AltSurfacesTest, FresnelKeepsItsDistancesAndTakesTheSymmetryEachTime) {
    aliasAdd("biconvex", "1");
    parseModify("/altsurfaces/fresnel/x_cyl", {1.2, 40});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    std::string text = newText();
    EXPECT_EQ(text.substr(0, text.find("1 alternate")),
              "Adding new alternate surface function: fresnel.\n"
              "s=40 sp=100 a=1 b=0 \n"
              "Object biconvex surface 2: modified.\n");
    AltSurfaceRecord* r = target->altSurfaces;
    EXPECT_EQ(r->kind, kNormalRefinement);
    EXPECT_EQ(r->routine.normalRefinement, fresnelAltsurface);

    parseModify("/altsurfaces/fresnel", {1.2});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    text = newText();
    EXPECT_EQ(text.substr(0, text.find("Object")), "Changing existing alternate surface fresnel.\n"
                                                   "s=40 sp=100 a=1 b=1 \n");

    parseModify("/altsurfaces/fresnel/y_cylindrical", {1.2, 5, 6});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    EXPECT_EQ(r->values[0], 5);
    EXPECT_EQ(r->values[1], 6);
    EXPECT_EQ(r->values[2], 0);
    EXPECT_EQ(r->values[3], 1);

    // Both kinds on one surface, listed in the order they were added.
    parseModify("/altsurfaces/grating", {1.2});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    EXPECT_EQ(altSurfaceCount(target), 2);
    EXPECT_EQ(target->altSurfaces->next->kind, kDirectionRefinement);
}

TEST_F(AltSurfacesTest, ChangingNeverEditsAnotherSurfacesRecord) {
    parseModify("/altsurfaces/grating", {1.1, 100});
    ASSERT_EQ(modifyAltsurfaces(), 1);
    AltSurfaceRecord* onFirst = lens->firstSurface->altSurfaces;
    // The slots still hold surface 1.1's grating; surface 1.2 gets its own.
    parseModify("/altsurfaces/grating", {1.2, 200});
    ASSERT_EQ(modifyAltsurfaces(), 1);
    EXPECT_NE(target->altSurfaces, onFirst);
    EXPECT_EQ(onFirst->values[0], 100);
    EXPECT_EQ(target->altSurfaces->values[0], 200);
}

int noIntercept(SurfaceRecord*, const Vec3&, Vec3&, double&) {
    return 0;
}

TEST_F(AltSurfacesTest, NoneEmptiesTheChainAndRestoresTheQuadricHooks) {
    parseModify("/altsurfaces/fresnel", {1.2});
    ASSERT_EQ(modifyAltsurfaces(), 1);
    newText();
    target->intercept = noIntercept;
    parseModify("/altsurfaces/none", {1.2});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    EXPECT_EQ(newText(), "");
    EXPECT_EQ(target->altSurfaces, nullptr);
    EXPECT_EQ(target->intercept, interceptQuadricSurface);
    EXPECT_EQ(target->normal, quadricNormal);

    // A polygon net keeps its own hooks.
    ObjectRecord* net = makeObject(kTypePolynet);
    net->firstSurface->intercept = noIntercept;
    parseModify("/altsurfaces/none", {2});
    EXPECT_EQ(modifyAltsurfaces(), 1);
    EXPECT_EQ(net->firstSurface->intercept, noIntercept);
}

TEST_F(AltSurfacesTest, CpcSurfacesTakeNoOtherFunction) {
    AltSurfaceRecord* normal = record(kNormalAlternate, "cpc_normal");
    AltSurfaceRecord* intercept = record(kInterceptAlternate, "cpc_intercept");
    appendAltSurface(target, normal);
    appendAltSurface(target, intercept);
    for (const char* kind : {"/altsurfaces/grating", "/altsurfaces/none"}) {
        parseModify(kind, {1.2});
        EXPECT_EQ(modifyAltsurfaces(), 0);
        EXPECT_EQ(newText(), "ERROR: Cannot modify a CPC with an altsurface.\n");
        EXPECT_EQ(altSurfaceCount(target), 2);
    }
}

TEST_F(AltSurfacesTest, FullChainOrNoMemoryLeavesTheSurfaceAsItWas) {
    for (int i = 0; i < kMaxAltSurfaces; ++i)
        appendAltSurface(target, record(kNormalAlternate));
    parseModify("/altsurfaces/grating", {1.2});
    EXPECT_EQ(modifyAltsurfaces(), 0);
    EXPECT_EQ(newText(), "ERROR: Exceeds 100 surface alt functions - command ignored.");
    EXPECT_EQ(altSurfaceCount(target), 100);

    failNextModelBlocks(1);
    parseModify("/altsurfaces/fresnel", {1.1});
    EXPECT_EQ(modifyAltsurfaces(), 0);
    EXPECT_EQ(newText(), "ERROR: Out of memory - command ignored.\n");
    EXPECT_EQ(lens->firstSurface->altSurfaces, nullptr);
}

TEST_F(AltSurfacesTest, SurfaceDesignators) {
    makeObject(kTypeRod, 3);
    int index = -1, number = -1, error = -1;
    parseSurfaceNumber(2.0, index, number, error);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(error, 0);
    parseSurfaceNumber(2.35, index, number, error);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(error, 0);
    parseSurfaceNumber(2.2, index, number, error); // 0.2 is stored a little below
    EXPECT_EQ(number, 2);
    EXPECT_EQ(newText(), "");
    parseSurfaceNumber(2.4, index, number, error);
    EXPECT_EQ(error, 1);
    EXPECT_EQ(newText(), "ERROR: Surface 4 is undefined.\n");
    parseSurfaceNumber(-1e300, index, number, error);
    EXPECT_EQ(error, 1);
    parseSurfaceNumber(std::nan(""), index, number, error);
    EXPECT_EQ(error, 1);
}

TEST_F(AltSurfacesTest, UserParametersReadFortyTwoUntilSet) {
    ObjectRecord* o = lens;
    EXPECT_EQ(printUserParameters(o), 0);
    EXPECT_EQ(newText(), "No parameters attached.\n");

    char names[3][21] = {"input_angle", "output_angle", "radius_exit"};
    const char* table[] = {names[0], names[1], names[2], " "};
    ASSERT_EQ(allocUserParameters(o, 3, table), 1);
    std::strcpy(names[0], "overwritten"); // the object keeps its own copy
    EXPECT_EQ(o->userParameters.count, 3);
    EXPECT_EQ(printUserParameters(o), 1);
    EXPECT_EQ(newText(), "input_angle = 42  output_angle = 42  radius_exit = 42  \n");

    const double values[] = {20, 90, 12.5, 99};
    EXPECT_EQ(setUserParameters(o, values), 3);
    EXPECT_EQ(printUserParameters(o), 1);
    EXPECT_EQ(newText(), "input_angle = 20  output_angle = 90  radius_exit = 12.5  \n");

    // A table shorter than the count leaves the rest unnamed.
    const char* shortTable[] = {"xsize", " "};
    ASSERT_EQ(allocUserParameters(o, 2, shortTable), 1);
    EXPECT_EQ(o->userParameters.names[1], "");
    EXPECT_EQ(o->userParameters.values[1], 42.0);
}

} // namespace

namespace {

class GratingTest : public AltSurfacesTest {
  protected:
    void SetUp() override {
        AltSurfacesTest::SetUp();
        setPlane(target);
        place(lens, {});
        parseModify("/altsurfaces/grating", {1.2, 600, 0, 1});
        ASSERT_EQ(modifyAltsurfaces(), 1);
        newText();
        wavelengthTable[0] = 0.5; // micrometres
        wavelengthIndex = 0;
    }
    double* values() { return target->altSurfaces->values; }
};

TEST_F(GratingTest, FirstOrderFollowsTheGratingEquation) {
    Vec3 unchanged{0, 0, 1};
    clearAltSurfaces();
    EXPECT_EQ(applyDirectionRefinement(target, {}, unchanged, 1.0), 0); // nothing loaded
    loadAltSurfaces(target);
    // 600 lines/mm at 0.5 micrometres: sin(theta) = 0.3 in air, 0.2 in a medium of index 1.5
    // (along x, the grating's orientation 0, on the side the normal's frame gives it).
    Vec3 d{0, 0, 1};
    EXPECT_EQ(applyDirectionRefinement(target, {}, d, 1.0), 1);
    EXPECT_NEAR(std::fabs(d.x), 0.3, 1e-12);
    EXPECT_NEAR(d.y, 0, 1e-12);
    EXPECT_NEAR(d.z, std::sqrt(0.91), 1e-12);
    d = {0, 0, -1}; // a reflected branch keeps going back
    EXPECT_EQ(gratingAltsurface(target, {}, d, 1.5, values()), 1);
    EXPECT_NEAR(std::fabs(d.x), 0.2, 1e-12);
    EXPECT_NEAR(d.z, -std::sqrt(0.96), 1e-12);
    EXPECT_EQ(newText(), "");
}

TEST_F(GratingTest, OrderZeroKeepsTheDirection) {
    values()[2] = 0;
    Vec3 d{0.6, 0, 0.8};
    EXPECT_EQ(gratingAltsurface(target, {}, d, 1.0, values()), 1);
    EXPECT_NEAR(d.x, 0.6, 1e-12);
    EXPECT_NEAR(d.y, 0, 1e-12);
    EXPECT_NEAR(d.z, 0.8, 1e-12);
}

TEST_F(GratingTest, OrderThatDoesNotPropagateLeavesTheDirectionWithAnError) {
    values()[2] = 4; // sin(theta) would be 1.2
    Vec3 d{0, 0.6, 0.8};
    EXPECT_EQ(gratingAltsurface(target, {}, d, 1.0, values()), 0);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0.6);
    EXPECT_EQ(d.z, 0.8);
    EXPECT_EQ(newText(), "ERROR: Error in grating spec.\n");
}

} // namespace
