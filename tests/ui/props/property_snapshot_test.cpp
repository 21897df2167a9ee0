// The loader on models built through the command language, the pages' unchanged applies, and the
// replay of what the pages issued: the log run again rebuilds the same model.
#include <filesystem>
#include <fstream>

#include "engine/model/object_table.h"
#include "parts/glass/glass_catalog.h"
#include "tests/ui/props/props_fixture.h"
#include <algorithm>

#include "engine/model/current_objects.h"
#include "parts/templates/define_params.h"

using namespace propstest;

namespace {

const std::string kModel[] = {
    "define/lens/spherical len 100 -80 12 50 1.5",
    "define/mirror/flat/rectangle xhw=25 yhw=20 mir",
    "define/lightsource src",
};

class SnapshotTest : public PropsTest {
  protected:
    void SetUp() override {
        PropsTest::SetUp();
        for (const auto& line : kModel)
            run(line);
    }
};

TEST_F(SnapshotTest, WithoutPartEveryPageIsBlank) {
    const PropertySnapshot s = LoadPropertySnapshot("nothing", 3);
    EXPECT_FALSE(s.hasPart);
    EXPECT_EQ(s.title, "nothing.3");
    EXPECT_EQ(s.definition.objectName, "n/a");
    EXPECT_EQ(s.definition.labels[0], "n/a");
    EXPECT_EQ(s.altSurface.labels[5], "n/a");
    EXPECT_EQ(s.definition.glassNames, std::vector<std::string>{"   "});
    // A part deleted after a load is found no more.
    run("delete mir");
    EXPECT_FALSE(LoadPropertySnapshot("mir", 1).hasPart);
}

// The Extent page: which kinds edit a hole (an aperture's from its definition too), and the side a
// cavity reflects on.
TEST_F(SnapshotTest, ExtentHoleSectionAndCavitySides) {
    run("define/aperture/rectangle/hoval ap 50 50 5 0 10 10");
    run("define/cavity/cylinder/inside cin");
    run("define/cavity/cylinder/outside cout");
    run("define/cavity/ellipsoid/both_sides cboth");
    const struct {
        const char* name;
        int holeSection, inside, outside, holeType;
    } cases[] = {
        {"ap", 1, 0, 0, 2}, {"mir", 1, 0, 0, 0},  {"len", 0, 0, 0, 0},
        {"cin", 0, 1, 0, 0}, {"cout", 0, 0, 1, 0}, {"cboth", 0, 1, 1, 0},
    };
    for (const auto& c : cases) {
        const ExtentPageValues e = LoadPropertySnapshot(c.name, 1).extent;
        EXPECT_EQ(e.holeSection, c.holeSection) << c.name;
        EXPECT_EQ(e.inside, c.inside) << c.name;
        EXPECT_EQ(e.outside, c.outside) << c.name;
        EXPECT_EQ(e.holeType, c.holeType) << c.name;
    }
    const ExtentPageValues ap = LoadPropertySnapshot("ap", 1).extent;
    EXPECT_EQ(ap.holeXCenter, 5);
    EXPECT_EQ(ap.holeXHalf, 10);
}

TEST_F(SnapshotTest, DefinitionPlacementAndLists) {
    PropertySnapshot s = LoadPropertySnapshot("len", 2);
    ASSERT_TRUE(s.hasPart);
    EXPECT_TRUE(s.faceFound);
    EXPECT_EQ(s.title, "len.2");
    EXPECT_EQ(s.definition.defineText, "define/lens/spherical");
    EXPECT_EQ(s.definition.valueCount, 5);
    EXPECT_EQ(s.definition.labels[0], "r1");
    EXPECT_EQ(s.definition.labels[4], "n");
    EXPECT_EQ(s.definition.labels[5], "n/a");
    // The part's own values, not the template's defaults.
    EXPECT_EQ(s.definition.values[1], -80);
    EXPECT_EQ(s.definition.values[2], 12);
    EXPECT_EQ(s.placement.objectNames, (std::vector<std::string>{"   ", "len", "mir", "src"}));
    // Defined, not yet placed.
    EXPECT_EQ(s.placement.activated, 0);
    EXPECT_EQ(s.placement.inPlace, 0);
    EXPECT_EQ(s.altSurface.type, 0);
    EXPECT_EQ(s.scattering.type, 0);
    EXPECT_EQ(s.fresnel.type, 0);
    EXPECT_EQ(s.media.materialType, 0);
    EXPECT_EQ(s.source.type, 0);
    EXPECT_EQ(s.source.labels[0], "p1");
    EXPECT_EQ(s.extent.holeSection, 0);
    EXPECT_EQ(LoadPropertySnapshot("mir", 1).extent.holeSection, 1);
    // Beyond the part's surfaces: no face, the surface fields stay cleared.
    PropertySnapshot far = LoadPropertySnapshot("len", 9);
    EXPECT_TRUE(far.hasPart);
    EXPECT_FALSE(far.faceFound);
    EXPECT_EQ(far.extent.xMax, 0);

    // The glass list holds each catalog glass once, however often it is loaded.
    glassCatalog.LoadText("NM BK7 2 1.5168 64.17 0 0 0 0\nCD 1.03961212 0.00600069867 0.231792344 "
                          "0.0200179144 1.01046945 103.560653\nLD 0.3 2.5\n");
    LoadPropertySnapshot("len", 1);
    s = LoadPropertySnapshot("len", 1);
    const auto& g = s.definition.glassNames;
    EXPECT_EQ(std::count(g.begin(), g.end(), "   "), 1);
    EXPECT_LE(g.size(), 1 + static_cast<std::size_t>(glassCatalog.GlassCount()));
}

TEST_F(SnapshotTest, SurfaceAttachmentsLoadAsTheCommandsLeftThem) {
    run("modify/altsurfaces/aspheric len.1 0.01 -1 1e-6 0 0 0");
    run("modify/altsurfaces/fresnel/x_cylindrical len.2 40 90");
    run("modify/scatterer/gaussian mir.1 0.3 2.5");
    run("modify/surface/metal/on len.1 0.5 1 1 0 1.5 0");
    run("modify/hole/oval mir.1 1 2 3 4");
    run("modify/surface/attributes mir.1 0.8 0.1");

    PropertySnapshot s = LoadPropertySnapshot("len", 1);
    EXPECT_EQ(s.altSurface.type, 2);
    EXPECT_EQ(s.altSurface.values[0], 0.01);
    EXPECT_EQ(s.altSurface.values[2], 1e-6);
    EXPECT_EQ(s.altSurface.labels[0], "cv");
    EXPECT_EQ(s.fresnel.type, 2);
    EXPECT_EQ(s.fresnel.cons[4], 1.5);
    s = LoadPropertySnapshot("len", 2);
    EXPECT_EQ(s.altSurface.type, 3);
    EXPECT_EQ(s.altSurface.fresnelKind, 1);
    EXPECT_EQ(s.altSurface.values[0], 40);
    run("modify/altsurfaces/fresnel/y_cylindrical len.2 40 90");
    EXPECT_EQ(LoadPropertySnapshot("len", 2).altSurface.fresnelKind, 2);

    s = LoadPropertySnapshot("mir", 1);
    EXPECT_EQ(s.scattering.type, 2);
    EXPECT_EQ(s.scattering.labels[1], "sigma");
    EXPECT_EQ(s.scattering.values[1], 2.5);
    EXPECT_EQ(s.extent.holeType, 2);
    EXPECT_EQ(s.extent.holeXCenter, 1);
    EXPECT_EQ(s.extent.holeYHalf, 4);
    EXPECT_EQ(s.attributes.refl, 0.8);
    EXPECT_EQ(s.attributes.absor, 0.1);
    EXPECT_EQ(s.extent.xMax, 25);
}

TEST_F(SnapshotTest, MediaAndSourcesWithBundledPlugins) {
    run("material/attach len 0.2 0.3 0.7");
    PropertySnapshot s = LoadPropertySnapshot("len", 1);
    EXPECT_EQ(s.media.materialType, 1);
    EXPECT_EQ(s.media.labels[2], "anisotropy");
    EXPECT_EQ(s.media.values[2], 0.7);

    const std::string grin = kPluginDir + "/ixprof01.so";
    run("material/grin/name=\"" + grin + "\" len 0.5 3 4");
    s = LoadPropertySnapshot("len", 1);
    EXPECT_EQ(s.media.materialType, 2);
    EXPECT_EQ(s.media.pluginFile, grin);
    // The step as given, not as stored.
    EXPECT_DOUBLE_EQ(s.media.values[0], 0.5);
    EXPECT_EQ(s.media.values[1], 3);
    EXPECT_EQ(s.media.values[2], 4);
    EXPECT_EQ(s.media.labels[0], "maxdist");
    EXPECT_EQ(s.media.labels[1], "delta_z");

    const std::string source = kPluginDir + "/raysrc7.so";
    run("modify/source/custom/name=\"" + source + "\" src 1 2 3 4 5 6 7");
    s = LoadPropertySnapshot("src", 1);
    EXPECT_EQ(s.source.type, 1);
    EXPECT_EQ(s.source.dllFile, source);
    EXPECT_EQ(s.source.labels[5], "dz");
    EXPECT_EQ(s.source.labels[6], "weight");
    EXPECT_EQ(s.source.values[0], 1);
    EXPECT_EQ(s.source.values[6], 7);
    EXPECT_EQ(s.source.values[7], 0);
}

std::string withoutExtentLines(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(at, end - at);
        if (line.rfind("modify/extent ", 0) != 0) out += line;
        at = end;
    }
    return out;
}

// Every page applied unchanged leaves the model as it was.
TEST_F(SnapshotTest, UnchangedAppliesKeepTheModel) {
    run("modify/altsurfaces/toric len.1 300 400 0");
    run("modify/scatterer/xy_exponential mir.1 0.2 1 2");
    run("modify/surface/lwirmetal/on mir.1 0.5 1 8.854e-12 1.78e+14 5.0e+5 0");
    run("material/attach len 0.2 0.3 0.7");
    run("modify/hole/rectang mir.1 1 2 3 4");
    run("modify/source/custom/name=\"" + kPluginDir + "/raysrc7.so\" src 1 2 3 4 5 6 7");
    run("place/rotations mir 10 20 30 5 10 15");
    const std::string before = model();
    for (const auto& [label, n] :
         {std::pair<std::string, int>{"len", 1}, {"len", 2}, {"mir", 1}, {"src", 1}}) {
        const PropertySnapshot s = LoadPropertySnapshot(label, n);
        const std::string loaded = describe(s);
        issue(composeExtent(s.extent));
        // Place&Activate places an object that is not placed yet; for a placed one it is the
        // same placement.
        if (s.placement.inPlace) issue(composePlacement(s.placement));
        issue(composeAttributes(s.attributes));
        issue(composeAltSurface(s.altSurface));
        issue(composeScattering(s.scattering));
        issue(composeFresnel(s.fresnel));
        issue(composeMedia(s.media));
        issue(composeSource(s.source));
        EXPECT_EQ(describe(LoadPropertySnapshot(label, n)), loaded) << label << "." << n;
    }
    // The part keeps the extent it was given beside the geometry's; the geometry is compared
    // through the loads above.
    EXPECT_EQ(withoutExtentLines(model()), before);
}

// What the pages issue reaches the log, and the log run again in a fresh program rebuilds the
// same model.
TEST_F(SnapshotTest, ReplayingTheLogRebuildsTheModel) {
    PropertySnapshot s = LoadPropertySnapshot("len", 1);
    chooseAltSurfaceType(s.altSurface, 2);
    issue(composeAltSurface(s.altSurface));
    chooseFresnelType(s.fresnel, 2);
    issue(composeFresnel(s.fresnel));
    chooseMediaType(s.media, 1);
    s.media.volumeAbsorption = 0.05;
    issue(composeMedia(s.media));
    s = LoadPropertySnapshot("mir", 1);
    s.placement.x = 12.5;
    s.placement.beta = 45;
    issue(composePlacement(s.placement));
    chooseScatteringType(s.scattering, 1);
    s.scattering.values[0] = 0.4;
    issue(composeScattering(s.scattering));
    s.extent.holeType = 1;
    s.extent.holeXHalf = s.extent.holeYHalf = 2;
    s.extent.xMax = 24;
    issue(composeExtent(s.extent));
    s.attributes.refl = 0.9;
    issue(composeAttributes(s.attributes));
    s = LoadPropertySnapshot("src", 1);
    chooseSourceType(s.source, 1);
    s.source.dllFile = kPluginDir + "/raysrc7.so";
    s.source.values[5] = 2;
    issue(composeSource(s.source));
    s = LoadPropertySnapshot("len", 1);
    s.placement.insideName = "";
    issue(composeActivated(s.placement, false));

    const std::string built = model();
    const std::string pages[] = {describe(LoadPropertySnapshot("len", 1)),
                                 describe(LoadPropertySnapshot("mir", 1)),
                                 describe(LoadPropertySnapshot("src", 1))};
    const std::string logged = log();
    EXPECT_NE(logged.find("modify/scatterer/lambertian mir.1"), std::string::npos);
    EXPECT_EQ(screen().find("ERROR"), std::string::npos) << screen();

    // A fresh program runs the log as a macro.
    doc.reset();
    const std::filesystem::path macro = std::filesystem::temp_directory_path() /
                                        ("props-replay-" + std::to_string(getpid()) + ".mac");
    {
        std::ofstream out(macro);
        out << logged;
    }
    start();
    run("macro/name=\"" + macro.string() + "\"");
    std::filesystem::remove(macro);
    EXPECT_EQ(model(), built);
    EXPECT_EQ(describe(LoadPropertySnapshot("len", 1)), pages[0]);
    EXPECT_EQ(describe(LoadPropertySnapshot("mir", 1)), pages[1]);
    EXPECT_EQ(describe(LoadPropertySnapshot("src", 1)), pages[2]);
}

} // namespace

namespace {

// The Definition page redefines through the document's metamorph; the log then holds the part's
// deletion and its whole new definition, so replaying the log rebuilds the redefined part.
TEST_F(SnapshotTest, ReplayingTheLogRebuildsARedefinedPart) {
    run("place/object len 0 0 10");
    PropertySnapshot s = LoadPropertySnapshot("len", 1);
    s.definition.values[2] = 15; // a thicker lens
    viewObject = 1;
    std::string path;
    ASSERT_EQ(doc->Metamorph(0, &defineParams, &path), 1);
    issue(composeDefinition(s.definition));
    const std::string built = model();
    EXPECT_NE(built.find("define/lens/spherical len"), std::string::npos);
    EXPECT_EQ(LoadPropertySnapshot("len", 1).definition.values[2], 15);
    const std::string logged = log();
    EXPECT_EQ(screen().find("ERROR"), std::string::npos) << screen();

    doc.reset();
    const std::filesystem::path macro = std::filesystem::temp_directory_path() /
                                        ("props-redefine-" + std::to_string(getpid()) + ".mac");
    {
        std::ofstream out(macro);
        out << logged;
    }
    start();
    run("macro/name=\"" + macro.string() + "\"");
    std::filesystem::remove(macro);
    // The replayed part is defined anew, so it comes last in the list; each part's commands agree.
    auto blocks = [](const std::string& text) {
        std::vector<std::string> out;
        const std::string mark = "# >          Object definition:";
        for (std::size_t at = text.find(mark); at != std::string::npos;) {
            const std::size_t next = text.find(mark, at + 1);
            out.push_back(text.substr(at, next == std::string::npos ? next : next - at));
            at = next;
        }
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(blocks(model()), blocks(built)) << logged;
    EXPECT_EQ(LoadPropertySnapshot("len", 1).definition.values[2], 15);
}

} // namespace
