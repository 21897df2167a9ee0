// What the commands attach to parts: ray sources, scatterers, coatings, radiometers, materials
// and catalog glass, and the part's centre and extent bookkeeping beside the geometry, each
// driven through the dispatcher rows of modify, material and radiometer.
#include <cmath>
#include <filesystem>

#include "command/settings/settings.h"
#include "engine/model/object_table.h"
#include "parts/attach/source_paths.h"
#include "parts/materials/material.h"
#include "parts/parts_keywords.h"
#include "parts/radiometers/radiometer.h"
#include "parts/scatterers/scatterer.h"
#include "parts/trace/trace_totals.h"
#include "tests/parts/part_fixture.h"

namespace fs = std::filesystem;

namespace {

const std::string kModules = MERIDYN_TEST_MODULE_DIR;
const std::string kRefusingSource = kModules + "/refusing_source_plugin.so";
const std::string kGrinFixture = kModules + "/grin_fixture_plugin.so";

class AttachTest : public parttest::PartModelTest {
  protected:
    void SetUp() override {
        PartModelTest::SetUp();
        setCommandHandler("modify", [this](CQelDoc&) { return modifyWithParts(list.get()); });
        setCommandHandler("material", [this](CQelDoc&) { return list->MaterialCommand(); });
        setCommandHandler("radiometer", [this](CQelDoc&) { return list->RadiometerCommand(); });
        previous = fs::current_path();
        fs::current_path(dir.path());
        run("define/mirror/spherical/rectangle fl=50 xhw=10 yhw=10 mir");
        run("define/lens/spherical len 10 20 5 1.5");
    }
    void TearDown() override {
        fs::current_path(previous);
        PartModelTest::TearDown();
    }
    // The line up to the radiometer row's refresh, which prints the empty command's blank lines.
    std::string radiometer(const std::string& line) {
        std::string printed = run(line);
        const std::size_t refresh = printed.find("\n\n");
        return refresh == std::string::npos ? printed : printed.substr(0, refresh + 1);
    }
    fs::path previous;
};

TEST(SourcePaths, FollowTheKindOfSource) {
    EXPECT_EQ(sourceModulePath(kSourceCustom, "my.dll"), "my.dll");
    EXPECT_EQ(sourceModulePath(kSourceStandard, "/x/std.so"), "/x/std.so");
    EXPECT_EQ(sourceModulePath(kSourceIesna, "c:\\lamps\\a.ies"), "c:\\lamps\\IESNA.DLL");
    EXPECT_EQ(sourceModulePath(kSourceGridsrc, "/opt/t.d/g.txt"), "/opt/t.d/GRIDSRC.DLL");
    EXPECT_EQ(sourceModulePath(kSourceIesna, "a.ies"), "IESNA.DLL");
    // No limit on the folder's length.
    const std::string deep = "/" + std::string(120, 'd') + "/";
    EXPECT_EQ(sourceModulePath(kSourceIesna, deep + "a.ies"), deep + "IESNA.DLL");
    const std::string home = programHome;
    programHome = "/home/m";
    EXPECT_EQ(sourceModulePath(kSourcePixsrc, "ignored"), "/home/m/sources/pixsrc/PIXSRC.DLL");
    programHome = home;
}

TEST_F(AttachTest, SourceBindsChecksAndRemoves) {
    EXPECT_EQ(run("modify/source/name=\"" + kRefusingSource + "\" len 1 2 0 0 0 0 3"),
              "Loaded custom source " + kRefusingSource + " for object len\n");
    CPart& lens = part("len");
    ASSERT_NE(lens.sourceEntry, nullptr);
    EXPECT_EQ(lens.sourceModulePath, kRefusingSource);
    EXPECT_EQ(lens.sourceKind, kSourceCustom);
    EXPECT_EQ(pluginParamName(lens.paramNamesEntry, 0), "width");
    EXPECT_EQ(pluginParamName(lens.paramNamesEntry, 6), "tilt");
    const double* v = lens.sourceRecord.v;
    EXPECT_EQ(v[SRC_PARAM0], 1);
    EXPECT_EQ(v[SRC_PARAM0 + 6], 3);
    // The check call saw the parameters in check mode; the mode is back to ray calls.
    EXPECT_EQ(v[SRC_PARAM0 + 8], 1 + 20 + 300);
    EXPECT_EQ(v[SRC_MODE], 0);

    // A refused check keeps the source bound; parameters not given are 0.
    EXPECT_EQ(run("modify/source/standard/name=\"" + kRefusingSource + "\" len -1"),
              "Loaded custom source " + kRefusingSource +
                  " for object len\nERROR: Bad input values for source\n");
    EXPECT_NE(lens.sourceEntry, nullptr);
    EXPECT_EQ(lens.sourceKind, kSourceStandard);
    EXPECT_EQ(v[SRC_PARAM0 + 6], 0);

    // The full word is the item word too: nothing else of the modify command acts on it.
    EXPECT_EQ(run("modify/sources len"),
              "No source dll or source table name given.  Source removed from object.\n");
    EXPECT_EQ(lens.sourceEntry, nullptr);
    EXPECT_EQ(lens.sourceModulePath, "");
}

TEST_F(AttachTest, SourceThatDoesNotBindLeavesThePartWithoutOne) {
    run("modify/source/name=\"" + kRefusingSource + "\" len");
    CPart& lens = part("len");
    // A library without the entry.
    EXPECT_EQ(run("modify/source/standard/name=\"" + kGrinFixture + "\" len"),
              "ERROR: Could not find UserSourceRay function in DLL\n");
    EXPECT_EQ(lens.sourceEntry, nullptr);
    EXPECT_EQ(lens.sourceModulePath, "");
    EXPECT_EQ(lens.sourceKind, kSourceStandard);
    // No library at all; the outside table kinds have none here.
    EXPECT_EQ(run("modify/source/name=nothere.dll len"), "ERROR: Could not load DLL\n");
    EXPECT_EQ(run("modify/source/iesna/name=\"/no/lamps/a.ies\" len"),
              "ERROR: Could not load DLL\n");
    EXPECT_EQ(lens.sourceTableName, "");
    EXPECT_EQ(lens.sourceKind, kSourceIesna);
    // A name without its value changes nothing.
    lens.sourceKind = kSourceCustom;
    EXPECT_EQ(run("modify/source/pixsrc/name len"),
              "ERROR: Missing custom source DLL name or table file name\n");
    EXPECT_EQ(lens.sourceKind, kSourceCustom);
}

TEST_F(AttachTest, TableSourceBindsTheLibraryOfItsFolderAndKeepsTheTable) {
    fs::create_directory("lamps");
    fs::copy_file(kRefusingSource, "lamps/IESNA.so");
    const std::string table = (dir.path() / "lamps" / "a.ies").string();
    EXPECT_EQ(run("modify/source/iesna/name=\"" + table + "\" len 2"),
              "Loaded custom source " + table + " for object len\n");
    CPart& lens = part("len");
    EXPECT_EQ(lens.sourceModulePath, (dir.path() / "lamps" / "IESNA.DLL").string());
    EXPECT_EQ(lens.sourceTableName, table);
    EXPECT_EQ(lens.sourceKind, kSourceIesna);
}

TEST_F(AttachTest, ScatterersOfEachKindShowNoneAndReplacement) {
    EXPECT_EQ(run("modify/scatterer/show mir.1"), "No scattering defined for surface.\n");
    EXPECT_EQ(run("modify/scatterer/gaussian mir.1 0.3 2"), "");
    CSurfaceHandle* h = part("mir").GetSurfaceHandle(1);
    auto* gaussian = dynamic_cast<CGaussianScatterer*>(h->child.get());
    ASSERT_NE(gaussian, nullptr);
    EXPECT_EQ(gaussian->fraction, 0.3);
    EXPECT_EQ(gaussian->sigma, 2);
    // No kind word shows.
    EXPECT_EQ(run("modify/scatterer mir.1"), gaussian->WriteCommand("mir", 1));

    run("modify/scatterer/xy_exponential len.2 fraction_diffuse=0.5 xsigma=1 ysigma=4");
    auto* xy = dynamic_cast<CXyExponentialScatterer*>(part("len").GetSurfaceHandle(2)->child.get());
    ASSERT_NE(xy, nullptr);
    EXPECT_EQ(xy->xsigma, 1);
    EXPECT_EQ(xy->ysigma, 4);
    run("modify/scatterer/powerlaw mir 0.2 3");
    auto* power = dynamic_cast<CPowerLawScatterer*>(h->child.get());
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->power, 3);
    run("modify/scatterer/lambertian mir 0.7");
    auto* lambertian = dynamic_cast<CLambertianScatterer*>(h->child.get());
    ASSERT_NE(lambertian, nullptr);
    EXPECT_EQ(lambertian->fraction, 0.7);

    run("modify/scatterer/none mir.1");
    EXPECT_EQ(h->child, nullptr);
    // A surface that does not exist: the designator's own messages, nothing attached.
    EXPECT_EQ(run("modify/scatterer/lambertian 9.1 0.5"),
              "ERROR: Object 9 is undefined.\nERROR: Surface 1 is undefined.\n");
}

TEST_F(AttachTest, CoatingsByModeWithTheirChecks) {
    CSurfaceHandle* h = part("mir").GetSurfaceHandle(1);
    EXPECT_EQ(run("modify/surface/fresnel/on mir.1"), "Surface mir.1 set fresnel mode ON.\n");
    EXPECT_EQ(h->coatingMode, kCoatingFresnel);
    EXPECT_EQ(run("modify/surface/fresnel/off mir.1"), "Surface mir.1 set fresnel mode OFF.\n");
    EXPECT_EQ(h->coatingMode, kCoatingOff);

    // The absorb flag is mended and shown mended.
    EXPECT_EQ(run("modify/surface/metal/on mir.1 0.5 2 1 0 1.5 3"),
              "Error: absorptance must be either 0 or 1\nAbsorb_flag set to 1.0\n"
              "Surface mir.1 set fresnel mode METAL 0.5 1 1 0 1.5 3 .\n");
    EXPECT_EQ(h->coatingMode, kCoatingMetal);
    EXPECT_EQ(h->cons[1], 1.0);
    // A bare metal has no indices: refused, the surface ends without a coating.
    EXPECT_EQ(run("modify/surface/metal/on mir.1"),
              "Error: METAL n0 must be positive and n1, k1 not both 0\n"
              "Surface mir.1 set fresnel mode OFF.\n");
    EXPECT_EQ(h->coatingMode, kCoatingOff);

    CSurfaceHandle* back = part("len").GetSurfaceHandle(2);
    EXPECT_EQ(run("modify/surface/lwir/on len.2 cons1=0.5 cons3=1 cons4=2"),
              "Surface len.2 set fresnel mode LWIRMETAL 0.5 0 1 2 0 0 .\n");
    EXPECT_EQ(back->coatingMode, kCoatingLwirMetal);
    EXPECT_EQ(run("modify/surface/lwirmetal len.2 0.5 0 1 0"),
              "Error: All LWIR Parameters Must be Positive\nSurface len.2 set fresnel mode OFF.\n");
    EXPECT_EQ(run("modify/surface/metal len.2 1.5 0 1 0 1 1"),
              "Error: pfraction must be between 0 and 1\nSurface len.2 set fresnel mode OFF.\n");
    // A bad designator is reported once, by the geometry step.
    EXPECT_EQ(run("modify/surface/fresnel mir.4"), "ERROR: Surface 4 is undefined.\n");
}

TEST_F(AttachTest, CentreAndExtentBookkeepingFollowTheGeometry) {
    CPart& mirror = part("mir");
    run("modify/center mir 1 2");
    run("modify/center mir 1 2");
    EXPECT_EQ(mirror.centerGiven, 1);
    EXPECT_EQ(mirror.centerX, 2);
    EXPECT_EQ(mirror.centerY, 4);
    // Refused shifts add nothing: past the sphere, and not a mirror.
    run("modify/center mir 200 0");
    EXPECT_EQ(mirror.centerX, 2);
    run("modify/center len 1 1");
    EXPECT_EQ(part("len").centerGiven, 0);

    CPart& lens = part("len");
    run("modify/extent len.9 x2=4");
    EXPECT_EQ(lens.extentGiven, 0);
    run("modify/extent len.1 x2=4");
    EXPECT_EQ(lens.extentGiven, 1);
    const SurfaceRecord* s = lens.geometry->firstSurface;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(lens.extentLimits[i], s->extent[i]) << i;
    EXPECT_EQ(lens.extentLimits[1], 4);
    // The writer saves what the geometry took.
    const std::string saved = written(mirror);
    EXPECT_NE(saved.find("modify/center mir.1 2 4\n"), std::string::npos) << saved;
}

TEST_F(AttachTest, CentreShiftsAreSavedOnEitherSideOfTheAsphericTheyPreceded) {
    CPart& mirror = part("mir");
    run("modify/center mir 1 0");
    run("modify/altsurfaces/aspheric mir.1 0.01 -1 1e-6 0 0 0");
    run("modify/center mir 1 1"); // moves the aspheric function too
    const std::string saved = written(mirror);
    const auto before = saved.find("modify/center mir.1 1 0\n");
    const auto aspheric = saved.find("modify/altsurfaces/aspheric mir.1");
    const auto after = saved.find("modify/center mir.1 1 1\n");
    ASSERT_NE(before, std::string::npos) << saved;
    ASSERT_NE(aspheric, std::string::npos) << saved;
    ASSERT_NE(after, std::string::npos) << saved;
    EXPECT_LT(before, aspheric);
    EXPECT_LT(aspheric, after);
    EXPECT_EQ(saved.find("modify/center", after + 1), std::string::npos) << saved;
}

TEST_F(AttachTest, RadiometerAttachRoundsNxReplacesAndRefuses) {
    EXPECT_EQ(radiometer("radiometer/attach mir"), "Nx must be a multiple of four! Reset nx=8\n");
    CPart& mirror = part("mir");
    ASSERT_NE(mirror.radiometer, nullptr);
    EXPECT_EQ(mirror.radiometer->nx, 8);
    EXPECT_EQ(mirror.radiometer->ny, 3);
    EXPECT_EQ(radiometer("radiometer/attach mir nx=4 ny=2"),
              "Deleting attached radiometer and replacing it.\n");
    EXPECT_EQ(mirror.radiometer->nx, 4);
    EXPECT_EQ(radiometer("radiometer/attach mir 6 1"),
              "Nx must be a multiple of four! Reset nx=8\n"
              "Deleting attached radiometer and replacing it.\n");
    // Grids without bins are refused before anything changes, without the row's own line.
    for (const char* line :
         {"radiometer/attach mir 0 3", "radiometer/attach mir 4 -2", "radiometer/attach mir 4 0.5"})
        EXPECT_EQ(radiometer(line),
                  "ERROR: Radiometer nx and ny must be at least 1.  Command ignored.\n")
            << line;
    EXPECT_EQ(radiometer("radiometer/attach mir 100000 100000"),
              "ERROR: Radiometer grid too large.  Command ignored.\n");
    EXPECT_EQ(mirror.radiometer->nx, 8);
    EXPECT_EQ(mirror.radiometer->ny, 1);
    // No current part.
    EXPECT_EQ(radiometer("radiometer/attach 9"), "Radiometer not found.\n");
}

TEST_F(AttachTest, RadiometerReportsResetAndRemoval) {
    EXPECT_EQ(radiometer("radiometer mir"), "Radiometer not found.\n");
    EXPECT_EQ(radiometer("radiometer/reset mir"), "Radiometer not found.\n");
    radiometer("radiometer/attach mir 4 2");
    CRadiometer& r = *part("mir").radiometer;
    r.AddToBin(1, 1, 2.5);
    traceTotals().raysTraced = 7;
    traceTotals().totalSourceEnergy = 3.5;
    const std::string report =
        "Total # rays traced, total system energy, Maximum # rays in a bin, minimum, energy sum\n"
        "7,3.5,2.5,0,2.5\n 0, 0, 0, 0\n 0, 2.5, 0, 0\n";
    EXPECT_EQ(radiometer("radiometer/textout mir"), report);
    EXPECT_EQ(radiometer("radiometer/fileout mir"),
              " No file name given, Name set to meridyn.enr.\n");
    EXPECT_EQ(testsupport::readFile("meridyn.enr"), report);
    radiometer("radiometer/fileout/name=\"my report.txt\" mir");
    EXPECT_EQ(testsupport::readFile("my report.txt"), report);
    EXPECT_EQ(radiometer("radiometer/fileout/name=\"no/such/dir.txt\" mir"),
              "ERROR: Unable to open no/such/dir.txt\n");

    radiometer("radiometer/reset mir");
    EXPECT_EQ(r.Value(1, 1), 0);
    EXPECT_EQ(radiometer("radiometer/remove mir"), "Radiometer deleted.\n");
    EXPECT_EQ(part("mir").radiometer, nullptr);
    EXPECT_EQ(radiometer("radiometer/remove mir"), "No radiometer attached.\n");
    resetTraceTotals();
}

TEST_F(AttachTest, RadiometerOnANetReportsPerFacetArea) {
    for (const char* step :
         {"polynet/start net", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
          "polynet/point 2 0 0", "polynet/point 0 2 0", "polynet/close", "polynet/finish"})
        run(step);
    const int number = part("net").geometry->number;
    radiometer("radiometer/attach " + std::to_string(number) + " 4 1");
    part("net").radiometer->AddFacetHit(1, 6.0);
    const std::string report = radiometer("radiometer " + std::to_string(number));
    // The one facet has area 2.
    EXPECT_NE(report.find("Energy divided by area\n3,0,0,0\n"), std::string::npos) << report;
}

TEST_F(AttachTest, BulkMaterialsDescribeReplaceAndRemove) {
    EXPECT_EQ(run("material len"), "Material not found.\n");
    EXPECT_EQ(run("material/attach len"), "");
    EXPECT_EQ(run("material len"), "Material scatter=0.1 absorb=0.2 anisotropy=0.8\n");
    EXPECT_EQ(run("material/attach len absorb=0.5"),
              "Deleting attached material and replacing it.\n");
    EXPECT_EQ(part("len").material->absorb, 0.5);
    EXPECT_EQ(part("len").material->scatter, 0.1);
    EXPECT_EQ(run("material/remove len"), "Material deleted.\n");
    EXPECT_EQ(run("material/remove len"), "No material attached.\n");
    EXPECT_EQ(run("material/attach 9"), "Material not found.\n");
}

TEST_F(AttachTest, GradientIndexMaterialsBindOrLeaveNone) {
    EXPECT_EQ(run("material/grin/name=\"" + kGrinFixture + "\" len 1 0 1.6 p16=9"), "");
    CMaterial* m = part("len").material.get();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->gradientIndex, 1);
    EXPECT_DOUBLE_EQ(m->maxdist, 0.99991);
    EXPECT_EQ(m->record.v[GRIN_PARAM1 + 1], 1.6);
    EXPECT_EQ(m->record.v[GRIN_PARAM1 + 15], 9);
    EXPECT_EQ(m->record.v[GRIN_PARAM1 + 2], 0);
    run("material/grin/name=\"" + kGrinFixture + "\" len");
    EXPECT_DOUBLE_EQ(part("len").material->maxdist, 0.1 * 0.99991);

    // Refused steps change nothing and add no "not found" line.
    for (const char* line :
         {"material/grin/name=g.dll len maxdist=0", "material/grin/name=g.dll len maxdist=-1"})
        EXPECT_EQ(run(line), "ERROR: Maxdist must be greater than 0.  Command ignored.\n");
    EXPECT_NE(part("len").material, nullptr);
    EXPECT_EQ(run("material/grin len"),
              "ERROR: DLL grin requested without DLL name\nMaterial not found.\n");
    EXPECT_NE(part("len").material, nullptr);
    // A module that does not bind replaces the old material by none.
    EXPECT_EQ(run("material/grin/name=nothere.dll len"),
              "Deleting attached material and replacing it.\nERROR: Could not load DLL\n"
              "Material not found.\n");
    EXPECT_EQ(part("len").material, nullptr);
}

TEST_F(AttachTest, GlassChangeClearsFirstAndUpdatesIndices) {
    glassCatalog.LoadText("NM CROWN 2 0 1.5168 64.17\n"
                          "CD 1.03961212 0.00600069867 0.231792344 0.0200179144 1.01046945 "
                          "103.560653\n"
                          "LD 0.31 2.5\n");
    resetSettingsState(); // one wavelength, 0.5 micrometres
    CPart& lens = part("len");
    EXPECT_EQ(run("material/glasschange/name=CROWN len"), "");
    ASSERT_NE(lens.catalogGlass, nullptr);
    // Sellmeier at 0.5 micrometres.
    const double l2 = 0.25;
    const double n =
        std::sqrt(1 + 1.03961212 * l2 / (l2 - 0.00600069867) +
                  0.231792344 * l2 / (l2 - 0.0200179144) + 1.01046945 * l2 / (l2 - 103.560653));
    EXPECT_NEAR(lens.indices[0], n, 1e-9);

    EXPECT_EQ(run("material/glasschange/name=FLINT len"),
              "ERROR: Material FLINT not found in catalogs\nMaterial not found.\n");
    EXPECT_EQ(lens.catalogGlass, nullptr);
    run("material/glasschange/name=CROWN len");
    EXPECT_EQ(run("material/glasschange/name len"),
              "ERROR: Material requested without name\nMaterial not found.\n");
    EXPECT_EQ(lens.catalogGlass, nullptr);
    run("material/glasschange/name=CROWN len");
    EXPECT_EQ(run("material/glasschange len"), "");
    EXPECT_EQ(lens.catalogGlass, nullptr);
}

} // namespace
