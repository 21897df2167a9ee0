// The pages' applies byte for byte, their type choices, and what they refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "ui/props/page_commands.h"

namespace {

// " %16.11lg" of each value.
std::string f16(std::initializer_list<double> values) {
    std::string out;
    char buffer[64];
    for (double v : values) {
        std::snprintf(buffer, sizeof buffer, " %16.11g", v);
        out += buffer;
    }
    return out;
}

std::string only(const ComposedCommands& c) {
    EXPECT_TRUE(c.ok()) << c.refusal;
    EXPECT_EQ(c.texts.size(), 1u);
    return c.texts.empty() ? std::string() : c.texts.front();
}

TEST(PageCommands, ExtentWithAndWithoutHoleSection) {
    ExtentPageValues v;
    v.name = "mir.1";
    v.xMin = -10, v.xMax = 10, v.yMin = -5, v.yMax = 5, v.zMin = 0, v.zMax = 1.25;
    const std::string extent = "modify/extent mir.1" + f16({-10, -5, 0, 10, 5, 1.25});
    EXPECT_EQ(extent.size(), 19u + 6 * 17);
    EXPECT_EQ(only(composeExtent(v)), extent);

    v.holeSection = 1;
    v.holeType = 2;
    v.holeXCenter = 1, v.holeYCenter = 2, v.holeXHalf = 3, v.holeYHalf = 0.1;
    ComposedCommands c = composeExtent(v);
    ASSERT_EQ(c.texts.size(), 2u);
    EXPECT_EQ(c.texts[0], "modify/hole/oval mir.1" + f16({1, 2, 3, 0.1}));
    EXPECT_EQ(c.texts[1], extent);
    v.holeType = 1;
    EXPECT_EQ(composeExtent(v).texts[0].substr(0, 27), "modify/hole/rectang mir.1  ");
    v.holeType = 0;
    EXPECT_EQ(composeExtent(v).texts[0], "modify/hole/delete mir.1");
}

TEST(PageCommands, DefinitionCountsGlassAndValueOrder) {
    DefinitionPageValues v;
    v.defineText = "define/lens/spherical";
    v.glassNames = {"   ", "BK7", "F2"};
    EXPECT_EQ(only(composeDefinition(v)), "define/lens/spherical ");
    v.valueCount = 11; // outside 1..10: no values
    EXPECT_EQ(only(composeDefinition(v)), "define/lens/spherical ");
    for (int i = 0; i < 10; ++i)
        v.values[static_cast<std::size_t>(i)] = i + 1;
    v.valueCount = 10;
    v.glassSelection = 2;
    const std::string t = only(composeDefinition(v));
    EXPECT_EQ(t.substr(0, 33), "define/lens/spherical/material=F2");
    // The tenth value is the last.
    EXPECT_EQ(t.substr(t.size() - 17), "               10");
    EXPECT_EQ(t.size(), 33u + 1 + 10 * 17);
    v.valueCount = 2;
    v.glassSelection = 0;
    EXPECT_EQ(only(composeDefinition(v)),
              "define/lens/spherical                 1                2");
}

TEST(PageCommands, PlacementActivationAndInPlace) {
    PlacementPageValues v;
    v.name = "len.1";
    v.x = 1.5, v.y = -2, v.z = 30, v.alpha = 0, v.beta = 90, v.gamma = 12.25;
    const std::string nums = "             1.5              -2              30               0"
                             "              90           12.25";
    // The first combo entry: the command ends with the numbers and a blank.
    EXPECT_EQ(only(composePlacement(v)), "plac/rota len.1" + nums + " ");
    v.insideName = "box";
    EXPECT_EQ(only(composePlacement(v)), "plac/rota len.1" + nums + " box");
    EXPECT_EQ(only(composeInPlace(v, true)), "plac/rota len.1" + nums + " box");
    EXPECT_EQ(only(composeInPlace(v, false)), "remove len.1");
    EXPECT_EQ(only(composeActivated(v, true)), "activate len.1");
    EXPECT_EQ(only(composeActivated(v, false)), "deactivate len.1");
}

TEST(PageCommands, SurfacePages) {
    AttributesPageValues a;
    a.name = "len.2";
    a.refl = 0.04, a.absor = 0.5;
    EXPECT_EQ(only(composeAttributes(a)),
              "modify/surface/attributes len.2             0.04              0.5");

    AltSurfacePageValues t;
    t.name = "len.1";
    chooseAltSurfaceType(t, 0);
    EXPECT_EQ(only(composeAltSurface(t)), "modify/altsurfaces/none len.1");
    chooseAltSurfaceType(t, 1);
    EXPECT_EQ(only(composeAltSurface(t)), "modify/altsurfaces/toric len.1              100"
                                          "              200                0");
    chooseAltSurfaceType(t, 2);
    EXPECT_EQ(t.labels[5], "a4");
    EXPECT_EQ(only(composeAltSurface(t)).size(),
              std::string("modify/altsurfaces/aspheric len.1").size() + 6 * 17);
    chooseAltSurfaceType(t, 3);
    EXPECT_EQ(t.fresnelKind, 0);
    EXPECT_EQ(only(composeAltSurface(t)),
              "modify/altsurfaces/fresnel/radial len.1               50              100");
    t.fresnelKind = 1;
    EXPECT_EQ(only(composeAltSurface(t)).substr(0, 38), "modify/altsurfaces/fresnel/x_c len.1  ");
    t.fresnelKind = 2;
    EXPECT_EQ(only(composeAltSurface(t)).substr(0, 38), "modify/altsurfaces/fresnel/y_c  len.1 ");
    chooseAltSurfaceType(t, 4);
    EXPECT_EQ(only(composeAltSurface(t)), "modify/altsurfaces/grating len.1               50"
                                          "                0                1");
    chooseAltSurfaceType(t, 5);
    EXPECT_EQ(t.fresnelKind, -1);
    EXPECT_EQ(only(composeAltSurface(t)), "# len.1");

    ScatteringPageValues s;
    s.name = "mir.1";
    s.values = {0.5, 2, 3};
    const char* expected[] = {
        "modify/scatterer/none mir.1", "modify/scatterer/lambertian mir.1              0.5",
        "modify/scatterer/gaussian mir.1              0.5                2",
        "modify/scatterer/powerlaw mir.1              0.5                2",
        "modify/scatterer/xy_exponential mir.1              0.5                2"
        "                3"};
    for (int type = 0; type < 5; ++type) {
        chooseScatteringType(s, type);
        EXPECT_EQ(only(composeScattering(s)), expected[type]) << type;
    }
    EXPECT_EQ(s.labels[2], "ysigma");

    FresnelPageValues f;
    f.name = "len.1";
    chooseFresnelType(f, 0);
    EXPECT_EQ(only(composeFresnel(f)), "modify/surface/fresnel/off len.1");
    chooseFresnelType(f, 1);
    EXPECT_EQ(only(composeFresnel(f)), "modify/surface/fresnel/on len.1");
    chooseFresnelType(f, 2);
    EXPECT_EQ(only(composeFresnel(f)),
              "modify/surface/metal/on len.1              0.5                1"
              "                1                0              1.5"
              "                0");
    chooseFresnelType(f, 3);
    EXPECT_EQ(only(composeFresnel(f)),
              "modify/surface/lwirmetal/on len.1" + f16({0.5, 1, 8.854e-12, 1.78e+14, 5.0e+5, 0}));
    // No choice made: nothing issued, nothing refused.
    f.type = -1;
    EXPECT_TRUE(composeFresnel(f).ok());
    EXPECT_TRUE(composeFresnel(f).texts.empty());
}

TEST(PageCommands, MediaAndSource) {
    MediaPageValues m;
    m.name = "len.1";
    chooseMediaType(m, 0);
    // An unchanged absorption and no material: only the removal.
    EXPECT_EQ(only(composeMedia(m)), "material/remove len.1");
    m.volumeAbsorption = 0.25;
    ComposedCommands c = composeMedia(m);
    ASSERT_EQ(c.texts.size(), 2u);
    EXPECT_EQ(c.texts[0], "modify/object/absor len.1 0.25 ");
    chooseMediaType(m, 1);
    EXPECT_EQ(composeMedia(m).texts[1], "material/bulk/attach len.1 0.1 0.2 0.8");
    chooseMediaType(m, 2);
    EXPECT_EQ(m.pluginFile, "<select dll>");
    EXPECT_FALSE(composeMedia(m).ok()); // still the placeholder
    m.pluginFile = "/p/ix \"1\".so";
    EXPECT_EQ(composeMedia(m).texts[1],
              "material/grin/name=\"/p/ix \"\"1\"\".so\" len.1 0.01 2 -0.003085809 0 0 0 0 0 0");

    SourcePageValues s;
    s.name = "src.1";
    chooseSourceType(s, 0);
    EXPECT_EQ(only(composeSource(s)), "modify/source src.1");
    chooseSourceType(s, 1);
    EXPECT_EQ(s.dllFile, "<select a source dll>");
    EXPECT_FALSE(composeSource(s).ok());
    s.dllFile = "/a b/raysrc7.so";
    EXPECT_EQ(only(composeSource(s)),
              "modify/source/custom/name=\"/a b/raysrc7.so\" src.1 0 0 0 0 0 0 0 0 0");
    chooseSourceType(s, 2);
    s.tableFile = "/t/lamp.ies";
    EXPECT_EQ(only(composeSource(s)), "modify/source/iesna/name=\"/t/lamp.ies\" src.1");
    chooseSourceType(s, 3);
    s.dllFile = "std.so";
    s.values[7] = 1.0 / 3; // every digit that reads back
    s.values[8] = 1e-3;
    EXPECT_EQ(only(composeSource(s)), "modify/source/standard/name=\"std.so\" src.1 0 0 0 0 0 0 0 "
                                      "0.3333333333333333 0.001");
    chooseSourceType(s, 4);
    EXPECT_EQ(s.tableFile, "<select a source table>");
    s.tableFile = "g.txt";
    EXPECT_EQ(only(composeSource(s)).substr(0, 42), "modify/source/gridsrc/name=\"g.txt\" src.1 0");
    s.type = -1; // a pixel source: no choice, nothing issued
    EXPECT_TRUE(composeSource(s).texts.empty());
    EXPECT_EQ(tableSourceModule(2, "/t/lamp.ies"), "/t/IESNA.DLL");
    EXPECT_EQ(tableSourceModule(4, "g.txt"), "GRIDSRC.DLL");
}

TEST(PageCommands, RefusalsIssueNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ExtentPageValues e;
    e.name = "a.1";
    e.zMax = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(composeExtent(e).ok());
    EXPECT_TRUE(composeExtent(e).texts.empty());
    PlacementPageValues p;
    p.name = "a.1";
    p.beta = nan;
    EXPECT_FALSE(composePlacement(p).ok());
    EXPECT_FALSE(composeInPlace(p, true).ok());
    MediaPageValues m;
    m.name = "a.1";
    m.materialType = 0;
    m.volumeAbsorption = nan;
    EXPECT_FALSE(composeMedia(m).ok());

    // Texts the reader would cut, and paths it would change.
    SourcePageValues s;
    s.name = "a.1";
    s.type = 1;
    s.dllFile = "/" + std::string(230, 'x') + ".so";
    EXPECT_FALSE(composeSource(s).ok());
    s.dllFile = "/a|b.so";
    EXPECT_FALSE(composeSource(s).ok());
    s.dllFile = "/a\nb.so";
    EXPECT_FALSE(composeSource(s).ok());
    s.dllFile = "";
    EXPECT_FALSE(composeSource(s).ok());
    AttributesPageValues a;
    a.name = std::string(240, 'n');
    EXPECT_FALSE(composeAttributes(a).ok());

    double v = 7;
    EXPECT_TRUE(readPageNumber(" 1.5e3 ", v));
    EXPECT_EQ(v, 1500);
    for (const char* bad : {"", "abc", "1,5", "1.5x", "nan", "inf", "1e999"}) {
        v = 7;
        EXPECT_FALSE(readPageNumber(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
    EXPECT_EQ(pageNumberText(0.1), "0.1");
    EXPECT_EQ(pageNumberText(-0.003085809), "-0.003085809");
}

TEST(PageCommands, PlacementChoicesLeaveOutOnlyTheOwnObject) {
    const std::vector<std::string> names = {"   ", "len", "lens", "len2", "mir", "len"};
    EXPECT_EQ(placementChoices(names, "len.1"),
              (std::vector<std::string>{"   ", "lens", "len2", "mir"}));
    EXPECT_EQ(placementChoices(names, "a.b.3"),
              (std::vector<std::string>{"   ", "len", "lens", "len2", "mir"}));
}

} // namespace
