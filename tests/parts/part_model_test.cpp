// Parts: surface handles by kind, the define path and value count, indices from catalog glass,
// placements and their container, and the part commands activate, deactivate and rename.
#include <cmath>

#include "command/interpreter/aliases.h"
#include "command/settings/settings.h"
#include "tests/parts/part_fixture.h"

namespace {

using parttest::PartModelTest;

TEST_F(PartModelTest, HandlesFollowTheSurfaceChainAndTheirKindFollowsTheObject) {
    run("define/mirror/cpc/concave funnel 20 60 5");
    CPart& cpc = part("funnel");
    ASSERT_EQ(cpc.surfaceCount(), cpc.geometry->surfaceCount);
    ASSERT_GE(cpc.surfaceCount(), 2);
    EXPECT_NE(dynamic_cast<CCpcSurfaceHandle*>(cpc.GetSurfaceHandle(1)), nullptr);
    for (int i = 2; i <= cpc.surfaceCount(); ++i)
        EXPECT_EQ(typeid(*cpc.GetSurfaceHandle(i)), typeid(CSurfaceHandle));
    EXPECT_EQ(cpc.GetSurfaceHandle(0), nullptr);
    EXPECT_EQ(cpc.GetSurfaceHandle(cpc.surfaceCount() + 1), nullptr);
    // Each surface knows its handle, and each handle its part.
    int i = 0;
    for (SurfaceRecord* s = cpc.geometry->firstSurface; s; s = s->next) {
        EXPECT_EQ(s->surfaceHandle, cpc.GetSurfaceHandle(++i));
        EXPECT_EQ(s->surfaceHandle->part, &cpc);
        EXPECT_EQ(s->surfaceHandle->coatingMode, kCoatingOff);
    }

    for (const char* step :
         {"polynet/start net", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
          "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close", "polynet/finish"})
        run(step);
    CPart& net = part("net");
    ASSERT_EQ(net.surfaceCount(), 1);
    EXPECT_NE(dynamic_cast<CPolynetSurfaceHandle*>(net.GetSurfaceHandle(1)), nullptr);

    run("define/lightsource lamp");
    EXPECT_EQ(part("lamp").surfaceCount(), 1);
    EXPECT_EQ(typeid(*part("lamp").GetSurfaceHandle(1)), typeid(CSurfaceHandle));
}

TEST_F(PartModelTest, DefinePathAndValueCount) {
    // The template of define/lens/spherical has five values; the builder's defaults fill those
    // the command left out.
    run("define/lens/spherical/material lensa 80");
    run("define/lens/spherical lensb 80");
    CPart& b = part("lensb");
    EXPECT_EQ(b.definePath, "define/lens/spherical");
    EXPECT_EQ(b.modifierCount, 2);
    EXPECT_EQ(b.defineValueCount, 5);
    EXPECT_EQ(b.defineValues[0], 80);
    EXPECT_EQ(b.defineValues[5], 0);
    // More values than the template names: the count reaches the last one given.
    run("define/aperture/oval/hoval ap 30 30 0 0 5 5 0 7");
    EXPECT_EQ(part("ap").defineValueCount, 8);
    EXPECT_EQ(part("ap").defineValues[7], 7);
    // Modifiers in an order no template begins: the given values are kept all the same.
    run("define/mirror/concave/spherical/pledge bowl 80 12");
    CPart& bowl = part("bowl");
    EXPECT_EQ(bowl.definePath, "define/mirror/concave/spherical/pledge");
    EXPECT_EQ(bowl.defineValueCount, 2);
    EXPECT_EQ(written(bowl).find("define/mirror/concave/spherical/pledge bowl 80 12\n") !=
                  std::string::npos,
              true);
    // The material word is no part of the path.
    glassCatalog.LoadText("NM CROWN 2 0 1.5168 64.17\nCD 1.03961212 0.00600069867 0.231792344 "
                          "0.0200179144 1.01046945 103.560653\nLD 0.31 2.5\n");
    run("define/material=CROWN/lens/spherical g 80");
    EXPECT_EQ(part("g").definePath, "define/lens/spherical");
    EXPECT_NE(part("g").catalogGlass, nullptr);
}

TEST_F(PartModelTest, IndicesComeFromTheGlassAtWeightedSlotsClampedToItsRange) {
    glassCatalog.LoadText("NM CROWN 2 0 1.5168 64.17\nCD 1.03961212 0.00600069867 0.231792344 "
                          "0.0200179144 1.01046945 103.560653\nLD 0.31 2.5\n");
    const double wavelengths[kWavelengthSlots] = {0.5, 0.6, 3.0, 0.2, 1.0, 0.7,
                                                  0.7, 0.7, 0.7, 0.7, 0.7, 0.7};
    for (int i = 0; i < kWavelengthSlots; ++i) {
        wavelengthTable[i] = wavelengths[i];
        weightTable[i] = i < 5 ? 1 : 0;
    }
    const std::string printed = run("define/lens/spherical/material=CROWN g 80");
    // Sellmeier, computed here: n^2 = 1 + sum K L / (L - P), L = lambda^2.
    auto sellmeier = [](double lambda) {
        const double l = lambda * lambda;
        return std::sqrt(1 + 1.03961212 * l / (l - 0.00600069867) +
                         0.231792344 * l / (l - 0.0200179144) + 1.01046945 * l / (l - 103.560653));
    };
    CPart& g = part("g");
    EXPECT_NEAR(g.indices[0], sellmeier(0.5), 1e-12);
    EXPECT_NEAR(g.indices[1], sellmeier(0.6), 1e-12);
    EXPECT_NEAR(g.indices[2], sellmeier(2.5), 1e-12); // clamped to the range's top
    EXPECT_NEAR(g.indices[3], sellmeier(0.31), 1e-12);
    for (int i = 5; i < kWavelengthSlots; ++i)
        EXPECT_EQ(g.indices[i], 1.0) << i; // weight 0: untouched
    EXPECT_NE(printed.find("In 2 materials the wavelength had to be adjusted\tto be in the valid "
                           "range.\n"),
              std::string::npos);
    EXPECT_EQ(g.UpdateIndices(), 2);

    // Without glass the indices are the object's; without surfaces nothing changes.
    run("define/rod stick 50 10 1.7");
    EXPECT_EQ(part("stick").indices[11], 1.7);
    CPart bare(nullptr);
    EXPECT_EQ(bare.UpdateIndices(), 0);
    EXPECT_EQ(bare.indices[0], 1.0);

    // The list refreshes once per change of the wavelengths.
    wavelengthsChanged = 1;
    weightTable[6] = 1;
    EXPECT_EQ(list->UpdateIndices(), 1);
    EXPECT_NEAR(g.indices[6], sellmeier(0.7), 1e-12);
    EXPECT_EQ(list->UpdateIndices(), 0);
    resetSettingsState();
}

TEST_F(PartModelTest, PlacementNamesTheContainerButNotTheObjectsOwnFaces) {
    run("define/lens/spherical outer 100 -100 40 80 1.5");
    run("define/lens/doublet pair");
    run("place/object/global outer 1 2 3");
    run("place/object/inside pair outer 0 0 5");
    CPlacementInfo info;
    ASSERT_EQ(part("pair").GetPlacement(info), 1);
    EXPECT_EQ(info.referenceName, "outer");
    EXPECT_EQ(info.referenceNumber, 1);
    EXPECT_NEAR(info.z, 8, 1e-12);
    // A doublet alone: its cemented face links to its own back face, which names no container.
    run("place/object/global pair 0 0 0");
    ASSERT_EQ(part("pair").GetPlacement(info), 1);
    EXPECT_EQ(info.referenceNumber, 0);
    EXPECT_EQ(info.referenceName, "");
    CPart bare(nullptr);
    EXPECT_EQ(bare.GetPlacement(info), 0);
}

TEST_F(PartModelTest, WritePlacementPlacesAgainAndLogsTheMove) {
    run("define/rod stick");
    CPlacementInfo info;
    info.x = 4;
    info.alpha = 90;
    ASSERT_EQ(part("stick").WritePlacement(info), 1);
    EXPECT_EQ(part("stick").geometry->placed, 1);
    EXPECT_EQ(part("stick").geometry->activated, 1);
    CPlacementInfo back;
    part("stick").GetPlacement(back);
    EXPECT_NEAR(back.x, 4, 1e-12);
    const std::string log = testsupport::readFile(dir.file("meridyn.log"));
    EXPECT_NE(log.find("# > adjust placement\nremove stick\n"
                       "place/rotations stick 4 0 0 90 0 0 \n"),
              std::string::npos);
}

TEST_F(PartModelTest, ActivateAndDeactivateActOnTheCurrentPart) {
    run("define/rod stick");
    run("place/object/global stick 0 0 0");
    EXPECT_EQ(run("deactivate stick"), "Part deactivated.\n");
    EXPECT_EQ(part("stick").geometry->activated, 0);
    EXPECT_EQ(run("activate stick"), "Part activated.\n");
    EXPECT_EQ(part("stick").geometry->activated, 1);
    EXPECT_EQ(run("activate 9"), "ERROR: Part not found.\n");
    EXPECT_EQ(run("deactivate"), "ERROR: Part not found.\n");
}

TEST_F(PartModelTest, RenameRefusesTakenNamesAndNamesThatDoNotReadBack) {
    run("define/rod stick");
    run("define/rod pole");
    aliasAdd("taken", "77");
    const std::string inUse = "ERROR: Object name alias is already in use.  Use a different name.\n";
    const std::string unread = " cannot be read back: use a letter, then letters, digits or _ "
                               "(lower case, at most 19).  Command ignored.\n";
    const struct {
        const char* line;
        std::string said;
    } refused[] = {
        {"rename/newname=pole stick", inUse},
        {"rename/newname=taken stick", inUse},
        {"rename stick", ""},
        {"rename/newname=a/newname=b stick",
         "WARNING:  Multiple matches found for Multiple modifiers not permitted. modifier\n"},
        {"rename/newname=abcdefghijklmnopqrst stick", "ERROR:  Name abcdefghijklmnopqrst" + unread},
        {"rename/newname=\"x y\" stick", "ERROR:  Name x y" + unread},
        {"rename/newname=\"Staff\" stick", "ERROR:  Name Staff" + unread},
    };
    for (const auto& r : refused)
        EXPECT_EQ(run(r.line), r.said) << r.line;
    EXPECT_EQ(part("stick").name, "stick");
    EXPECT_EQ(run("rename/newname=staff_2 stick"), "Object stick renamed staff_2");
    EXPECT_EQ(list->FindPart("stick"), nullptr);
    EXPECT_STREQ(aliasLookup("staff_2"), "1");
    EXPECT_EQ(aliasLookup("stick"), nullptr);
    EXPECT_EQ(run("rename/newname=x 7"), "ERROR: Object not found");
    // The part must have its alias.
    CPart& pole = part("pole");
    aliasRemove(aliasFindByName("pole"));
    EXPECT_FALSE(list->RenamePart("pole", "rod"));
    EXPECT_EQ(pole.name, "pole");
}

TEST_F(PartModelTest, StoredTraceParametersAndMaterialNames) {
    run("define/rod stick");
    EXPECT_EQ(list->StoreTraceParameters(7, 1, 2, 3, 4, 0, "cone", 1), 0);
    EXPECT_EQ(
        list->StoreTraceParameters(1, 5, 6, 7.5, 8.5, 1, "a kind word longer than twenty-three", 2),
        1);
    const auto& t = part("stick").lastTrace;
    EXPECT_EQ(t.stored, 1);
    EXPECT_EQ(t.nx, 5);
    EXPECT_EQ(t.vertical, 8.5);
    EXPECT_EQ(t.kindWord, "a kind word longer than");
    std::string name;
    EXPECT_FALSE(GetObjectMaterialName(name, part("stick").geometry->firstSurface));
    glassCatalog.LoadText("NM CROWN 2 0 1.5168 64.17\nCD 1 0 0 0 0 0\n");
    part("stick").catalogGlass = glassCatalog.FindGlass("CROWN");
    EXPECT_TRUE(GetObjectMaterialName(name, part("stick").geometry->firstSurface));
    EXPECT_EQ(name, "CROWN");
}

} // namespace

namespace {

using parttest::PartModelTest;

// The angles read back from a placement, as the writer writes them.
std::string anglesText(CPart& p) {
    CPlacementInfo info;
    p.GetPlacement(info);
    return formatText("%lg %lg %lg", info.alpha, info.beta, info.gamma);
}

TEST_F(PartModelTest, PlacementAnglesReadBackStablyNearTheirPoles) {
    run("define/rod stick");
    for (const char* angles : {"0 1 0", "0 0.01 0", "179.5 1 -179.5", "30 179 50", "90 0 0"}) {
        // Far from the origin, where the axes carry the rounding of the translation.
        run(std::string("place/object/rotations stick 0 0 4525 ") + angles);
        const std::string first = anglesText(part("stick"));
        // Placing again by the angles as written gives the same text.
        run("place/object/rotations stick 0 0 4525 " + first);
        EXPECT_EQ(anglesText(part("stick")), first) << angles;
    }
}

} // namespace
