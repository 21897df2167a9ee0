// The part writer's blocks, the order of the parts section, replicate and redefinition.
#include "command/interpreter/aliases.h"
#include "command/interpreter/reader.h"
#include "parts/materials/material.h"
#include "parts/radiometers/radiometer.h"
#include "parts/scatterers/scatterer.h"
#include "parts/templates/define_params.h"
#include "tests/parts/part_fixture.h"

namespace {

using parttest::PartModelTest;

int fakeSource(void*) {
    return 0;
}

TEST_F(PartModelTest, WriterBlockOfALensWithEveryAttachment) {
    run("define/lens/spherical lens 100 -100 10 50 1.5");
    run("modify/surface/attributes lens.1 0.5 0.1 0 0");
    run("modify/object/absorbtivity lens 0.25");
    run("place/object/rotations lens 1 2 3 0 90 0");
    run("deactivate lens");
    CPart& p = part("lens");
    p.GetSurfaceHandle(1)->coatingMode = kCoatingFresnel;
    CSurfaceHandle* h2 = p.GetSurfaceHandle(2);
    h2->coatingMode = kCoatingMetal;
    for (int k = 0; k < 6; ++k)
        h2->cons[k] = k + 0.5;
    h2->SetChild(ScattererPtr(new CLambertianScatterer(0.3)));
    p.GetSurfaceHandle(3)->coatingMode = kCoatingLwir;
    p.radiometer.reset(new CRadiometer(8, 3));
    p.material.reset(new CMaterial(0.1, 0.2, 0.8));
    p.sourceEntry = fakeSource;
    p.sourceModulePath = "/lamps/IESNA.so";
    p.sourceTableName = "/lamps/my lamp.ies";
    p.sourceKind = kSourceIesna;
    for (int k = 0; k < 7; ++k)
        p.sourceRecord.v[SRC_PARAM0 + k] = k;
    p.centerGiven = 1;
    p.centerX = 1.5;
    p.centerY = -2;
    EXPECT_EQ(written(p), "# >          Object definition:               lens\n"
                          "define/lens/spherical lens 100 -100 10 50 1.5\n"
                          "modify/object/index lens 1.5\n"
                          "modify/object/alpha lens 0.25\n"
                          "modify/source/iesna/name=\"/lamps/my lamp.ies\" lens 0 1 2 3 4 5 6\n"
                          "modify/surface/fresnel/on lens.1\n"
                          "modify/surface/attributes lens.1 0.5 0.1 0 0\n"
                          "modify/center lens.1 1.5 -2\n"
                          "modify/scatterer/lambertian lens.2 0.3\n"
                          "modify/surface/metal/on lens.2 0.5 1.5 2.5 3.5 4.5 5.5\n"
                          "modify/surface/attributes lens.2 0 0 0 0\n"
                          "modify/surface/lwir/on lens.3 0 0 0 0 0 0\n"
                          "modify/surface/attributes lens.3 0 0 0 0\n"
                          "radiometer/attach lens 8 3\n"
                          "material/attach lens 0.1 0.2 0.8\n"
                          // The angles are the dual the placement reads back (the same turn).
                          "place/rotations lens 1 2 3 0 90 0 \n"
                          "deactivate lens\n");

    // A gradient-index medium writes its step as given to the command and its 16 parameters;
    // a name beginning with a digit is written with "obno" everywhere.
    p.material.reset(new CMaterial("no such module.so", 0.99991 * 2));
    for (int k = 0; k < 16; ++k)
        p.material->record.v[GRIN_PARAM1 + k] = k;
    p.radiometer.reset();
    p.sourceEntry = nullptr;
    p.name = "12";
    const std::string block = written(p);
    EXPECT_NE(block.find("material/grin/name=\"no such module.so\" obno12 2 0 1 2 3 4 5 6 7 8 9 "
                         "10 11 12 13 14 15\n"),
              std::string::npos);
    EXPECT_NE(block.find("# >          Object definition:               obno12\n"),
              std::string::npos);
    EXPECT_NE(block.find("modify/surface/attributes obno12.3 "), std::string::npos);
    EXPECT_EQ(block.find(" 12"), block.find(" 12 13 14 15")); // no bare 12 anywhere else

    // Under an override every line names the override.
    partNameOverride() = "lens005";
    const std::string copy = written(p);
    partNameOverride().clear();
    EXPECT_NE(copy.find("define/lens/spherical lens005 100"), std::string::npos);
    EXPECT_NE(copy.find("lens005.2 "), std::string::npos);
    EXPECT_EQ(copy.find("obno"), std::string::npos);
}

TEST_F(PartModelTest, WriterLeavesOutWhatTheReloadWouldRefuse) {
    run("define/aperture/rectangle/hoval ap 30 30 0 0 5 5");
    run("define/mirror/flat/rectangle/front m 20 20");
    run("modify/surface/hole/rectangular m.1 1 2 3 4");
    run("define/axis ax");
    run("define/mirror/cpc/concave funnel 20 60 5");
    // The aperture's own hole comes with its define line; mirror holes are written.
    EXPECT_EQ(written(part("ap")).find("hole"), std::string::npos);
    EXPECT_NE(written(part("m")).find("modify/surface/hole/rectangular m.1 1 2 3 4\n"),
              std::string::npos);
    run("modify/surface/hole/oval ap.1 1 1 2 2");
    EXPECT_NE(written(part("ap")).find("modify/surface/hole/oval ap.1 1 1 2 2\n"),
              std::string::npos);
    // No index line for a mirror, no surface lines for an axis, no CPC records.
    EXPECT_EQ(written(part("m")).find("modify/object"), std::string::npos);
    EXPECT_EQ(written(part("ax")), "# >          Object definition:               ax\n"
                                   "define/axis ax 5\n"
                                   "deactivate ax\n");
    EXPECT_EQ(written(part("funnel")).find("altsurfaces"), std::string::npos);
}

TEST_F(PartModelTest, ModifierValuesOfTheDefineCommandAreWrittenBack) {
    run("define/lens/spherical/extra=\"Two Words\" x 80");
    EXPECT_EQ(part("x").definePath, "define/lens/spherical/extra");
    EXPECT_NE(written(part("x")).find("define/lens/spherical/extra=\"Two Words\" x 80\n"),
              std::string::npos);
}

TEST_F(PartModelTest, AlternateSurfacesAreWrittenWholeBeforeTheCentreShift) {
    run("define/mirror/spherical/rectangle/concave sph 100 20 20");
    run("modify/altsurfaces/fresnel/y_cylindrical sph.1 40 90");
    run("modify/altsurfaces/grating sph.1 100 5 2");
    part("sph").centerGiven = 1;
    part("sph").centerX = 1;
    const std::string block = written(part("sph"));
    EXPECT_NE(block.find("modify/altsurfaces/fresnel/y_cylindrical sph.1 40 90\n"
                         "modify/altsurfaces/grating sph.1 100 5 2\n"
                         "modify/center sph.1 1 0\n"),
              std::string::npos);
}

TEST_F(PartModelTest, PartsSectionWritesNetsFirstAndDefersPlacementsInLaterParts) {
    run("define/rod inner");
    run("define/lens/spherical outer 100 -100 40 80 1.5");
    run("place/object/global outer 0 0 0");
    run("place/object/inside inner outer 0 0 1");
    run("deactivate inner");
    for (const char* step :
         {"polynet/start net", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
          "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close", "polynet/finish"})
        run(step);
    const std::string all = writtenAll();
    const std::size_t net = all.find("Object definition:               net\n");
    const std::size_t inner = all.find("define/rod inner");
    const std::size_t outer = all.find("define/lens/spherical outer");
    const std::size_t innerPlace = all.find("place/rotations inner 0 0 1 0 0 0 outer\n"
                                            "deactivate inner\n");
    ASSERT_NE(innerPlace, std::string::npos);
    EXPECT_LT(net, inner);
    EXPECT_LT(inner, outer);
    EXPECT_LT(outer, innerPlace);
    EXPECT_EQ(all.substr(innerPlace), "place/rotations inner 0 0 1 0 0 0 outer\n"
                                      "deactivate inner\n");
    // The net writes no define line and no attributes.
    EXPECT_EQ(all.find("define/polynet"), std::string::npos);
    EXPECT_EQ(all.find("attributes net"), std::string::npos);
}

TEST_F(PartModelTest, ReplicateMakesNamedCopiesFromWholeLines) {
    run("define/lens/spherical lens 100 -100 10 50 1.5");
    run("place/object/global lens 5 0 0");
    run("replicate/newname=twin lens");
    ASSERT_NE(list->FindPart("twin"), nullptr);
    run("replicate/newname=copy lens ncopies=3");
    EXPECT_NE(list->FindPart("copy000"), nullptr);
    EXPECT_NE(list->FindPart("copy002"), nullptr);
    EXPECT_EQ(list->FindPart("copy003"), nullptr);
    EXPECT_EQ(part("copy001").defineValues[4], 1.5);
    EXPECT_EQ(part("copy001").geometry->placed, 1);
    EXPECT_EQ(redefineMode, 0);
    // A line longer than 120 characters is run whole.
    run("modify/altsurfaces/aspheric lens.1 1.23457e-07 1.23457e-07 1.23457e-07 1.23457e-07 "
        "1.23457e-07 1.23457e-07");
    run("replicate/newname=n2345678901234567 lens");
    const SurfaceRecord* s = part("n2345678901234567").geometry->firstSurface;
    ASSERT_NE(s->altSurfaces, nullptr);
    EXPECT_DOUBLE_EQ(s->altSurfaces->values[5], 1.23457e-07);
    // Without newname or a part nothing is written.
    const int parts = list->partCount();
    run("replicate lens");
    run("replicate/newname=z 99");
    EXPECT_EQ(list->partCount(), parts);
}

class RedefinitionTest : public PartModelTest {
  protected:
    void SetUp() override {
        PartModelTest::SetUp();
        documentSteps().metamorph = [this](CQelDoc&, CDefineParams* p, std::string* out) {
            return metamorphPart(*list, p, out);
        };
    }
    // Marks the part of `name` and runs the define line that redefines it.
    int redefine(const std::string& name, const std::string& defineLine) {
        viewObject = part(name).geometry->number;
        CDefineParams params;
        std::string path;
        const int ready = doc->Metamorph(0, &params, &path);
        if (ready != 1) return ready;
        EXPECT_EQ(path, part(name).definePath);
        EXPECT_EQ(std::string(params.paramValues[0]).empty(), part(name).defineValueCount == 0);
        run(defineLine);
        return ready;
    }
};

TEST_F(RedefinitionTest, ALensBecomesAMirrorInPlace) {
    run("define/rod before");
    run("define/lens/spherical lens 100 -100 10 50 1.5");
    run("place/object/rotations lens 1 2 3 0 90 0");
    run("modify/surface/attributes lens.1 0.5 0.1 0 0");
    run("deactivate lens");
    ASSERT_EQ(redefine("lens", "define/mirror/flat/rectangle/front 20 20"), 1);
    CPart& p = part("lens");
    EXPECT_EQ(p.geometry->number, 2);
    EXPECT_EQ(getObject(1), p.geometry);
    EXPECT_EQ(objectCount, 2);
    EXPECT_EQ(highestObjectIndex, 1);
    EXPECT_EQ(p.kindName, "mirror");
    EXPECT_EQ(p.definePath, "define/mirror/flat/rectangle/front");
    EXPECT_EQ(p.surfaceCount(), 1);
    EXPECT_EQ(p.geometry->placed, 1);
    EXPECT_EQ(p.geometry->activated, 0);
    EXPECT_EQ(p.geometry->firstSurface->reflectance, 0.5);
    EXPECT_EQ(p.geometry->firstSurface->surfaceHandle, p.GetSurfaceHandle(1));
    CPlacementInfo info;
    p.GetPlacement(info);
    EXPECT_NEAR(info.z, 3, 1e-12);
    EXPECT_EQ(redefineMode, 0);
    EXPECT_EQ(list->MarkedPart(), nullptr);
    const std::string log = testsupport::readFile(dir.file("meridyn.log"));
    // The log replays the redefinition itself, in place.
    EXPECT_NE(log.find("redefine lens\ndefine/mirror/flat/rectangle/front 20 20\n"
                       "# > object redefined \n"),
              std::string::npos);
    EXPECT_EQ(written(p).find("define/lens"), std::string::npos);
}

TEST_F(RedefinitionTest, MoreSurfacesAndARevivedLowerSlot) {
    run("define/rod gone");
    run("define/rod keep");
    run("define/rod stick");
    run("delete gone");
    part("stick").GetSurfaceHandle(2)->coatingMode = kCoatingFresnel;
    // The doublet takes slot 1 for a moment; it is freed, and object 3 stays the highest.
    ASSERT_EQ(redefine("stick", "define/lens/doublet"), 1);
    CPart& p = part("stick");
    EXPECT_EQ(p.geometry->number, 3);
    EXPECT_EQ(p.surfaceCount(), 5);
    EXPECT_EQ(p.GetSurfaceHandle(2)->coatingMode, kCoatingFresnel);
    EXPECT_EQ(p.GetSurfaceHandle(4)->coatingMode, kCoatingOff);
    EXPECT_EQ(getObject(0), nullptr);
    EXPECT_NE(getObject(1), nullptr);
    EXPECT_EQ(getObject(2), p.geometry);
    EXPECT_EQ(highestObjectIndex, 2);
    EXPECT_EQ(objectCount, 2);
    // The slot can be had again.
    run("define/rod next");
    EXPECT_EQ(part("next").geometry->number, 1);
}

TEST_F(RedefinitionTest, RefusalsChangeNothing) {
    for (const char* step :
         {"polynet/start net", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
          "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close", "polynet/finish"})
        run(step);
    viewObject = 1;
    EXPECT_EQ(doc->Metamorph(0, nullptr, nullptr), -1);
    EXPECT_EQ(list->MarkedPart(), nullptr);
    viewObject = 5;
    EXPECT_EQ(doc->Metamorph(0, nullptr, nullptr), 0);
    EXPECT_EQ(run("redefine"), "ERROR: No object ID given, thus no redefinition.");
    EXPECT_EQ(run("redefine 4"), "ERROR: Part not found.");
    EXPECT_EQ(run("redefine net"), "ERROR: Polynets cannot be redefined in this way.\n");
    run("define/rod stick");
    EXPECT_EQ(run("redefine stick"), "");
    // A redefinition that makes no object leaves the part as it was.
    ASSERT_EQ(redefine("stick", "define/lens thickness=0"), 1);
    EXPECT_EQ(part("stick").kindName, "rod");
    EXPECT_EQ(objectCount, 2);
}

} // namespace
