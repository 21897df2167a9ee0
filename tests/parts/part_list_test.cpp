// The part list: define and delete through the command loop, part names, and clearing the model.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/messages/messages.h"
#include "command/interpreter/reader.h"
#include "engine/model/clear_model.h"
#include "engine/model/object_table.h"
#include "engine/commands/polynet_command.h"
#include "parts/part_list.h"
#include "parts/parts_state.h"
#include "tests/command/interpreter_fixture.h"

namespace {

class PartListTest : public testsupport::InterpreterTest {
  protected:
    void resetState() override { resetPartsState(); }
    void SetUp() override {
        InterpreterTest::SetUp();
        list = std::make_unique<CPartList>();
        doc = std::make_unique<CQelDoc>();
        addCommandHandler("define", [this](CQelDoc&) { return list->DefinePart(); });
        addCommandHandler("delete", [this](CQelDoc&) { return list->DeleteCommand(); });
        addCommandHandler("polynet", [](CQelDoc&) { return polynetCommand(); });
        addCommandHandler("polynet", [this](CQelDoc&) { return list->DefinePolynet(); });
        messageState().screenMirror = [this](std::string_view text) { out.append(text); };
    }
    void TearDown() override {
        // The mirror captures this fixture; the next test's set-up prints before it sets its own.
        messageState().screenMirror = nullptr;
        doc.reset();
        list.reset();
        // The mirror outlives the message resets; it must not outlive `out`.
        messageState().screenMirror = nullptr;
        InterpreterTest::TearDown();
    }
    // Runs one line as a replayed line; `out` holds what it printed, less the echoed line.
    std::string run(const std::string& line) {
        commandBuffer = line;
        doc->ExecuteLine();
        std::string printed = out;
        out.clear();
        return testsupport::printedAfterEcho(printed, line);
    }
    std::string partNames() const {
        std::string names;
        for (int i = 0; i < list->partCount(); ++i)
            names += (i ? " " : "") + list->part(i)->name;
        return names;
    }

    std::unique_ptr<CPartList> list;
    std::unique_ptr<CQelDoc> doc;
    std::string out;
};

TEST_F(PartListTest, UnnamedObjectsAreNamedByKindAndNumberAndThatNameBecomesTheirAlias) {
    EXPECT_EQ(run("define/lens"),
              "Complete.\nObject 1 consisting of 3 surfaces has been defined.\n");
    EXPECT_EQ(run("define/mirror/flat"),
              "Complete.\nObject 2 consisting of 1 surface has been defined.\n");
    run("define/lightsource");
    run("define/lens/cylindrical");
    EXPECT_EQ(partNames(), "lens1 mirr2 ligh3 cyll4");
    EXPECT_STREQ(aliasLookup("mirr2"), "2");
    EXPECT_STREQ(objectLabel(4), "cyll4");
    const CPart* p = list->FindPart("lens1");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->geometry, getObject(0));
    EXPECT_EQ(p->kindName, "lens");
    EXPECT_EQ(list->FindPart("ligh3")->kindName, "lightsource");
    EXPECT_EQ(list->FindPartIndex("cyll4"), 3);
    EXPECT_EQ(list->FindPartIndex("Lens1"), -1); // names compare exactly
}

TEST_F(PartListTest, TypedNamesNameThePartAndGeneratedNamesAvoidEveryTakenName) {
    EXPECT_EQ(run("define/axis lens2"),
              formatText("Added alias: %20s <== %20s\nObject lens2 consisting of 1 surface has "
                         "been defined.\n",
                         "lens2", "1"));
    // Object 2 is a lens, but lens2 is taken as a part and as an alias.
    run("define/lens");
    // An alias alone also takes a name: the generated one must stay usable as an alias.
    aliasAdd("lens3", "77");
    run("define/lens");
    EXPECT_EQ(partNames(), "lens2 lens2x lens3x");
    EXPECT_STREQ(aliasLookup("lens2x"), "2");
    EXPECT_STREQ(aliasLookup("lens3x"), "3");
    EXPECT_STREQ(aliasLookup("lens3"), "77");
}

TEST_F(PartListTest, MakePartNameForHigherNumbers) {
    for (int i = 0; i < 11; ++i)
        run("define/lightsource");
    run("define/mirror/spherical");
    EXPECT_EQ(list->part(11)->name, "mirr12");
    EXPECT_EQ(MakePartName(*list, getObject(11)), "mirr12x");
    EXPECT_EQ(MakePartName(*list, nullptr), "");
}

TEST_F(PartListTest, FindPartOfAnEmptyNameFindsNothing) {
    run("define/lens");
    list->part(0)->name.clear();
    EXPECT_EQ(list->FindPart(""), nullptr);
    EXPECT_EQ(list->FindPartIndex(""), -1);
    EXPECT_EQ(list->part(1), nullptr);
    EXPECT_EQ(list->part(-1), nullptr);
}

TEST_F(PartListTest, RefusedDefinitionsMakeNoPart) {
    EXPECT_EQ(run("define"), "ERROR: Object type not given. Command ignored.\n");
    EXPECT_EQ(run("define/lens/material"), "ERROR: Material requested without name\n");
    EXPECT_EQ(run("define/lens/material=bk7"), "ERROR: Material bk7 not found in catalogs\n");
    EXPECT_EQ(run("define/lens thickness=0"),
              "ERROR: Thickness must be greater than zero.\nTry again.\n");
    EXPECT_EQ(run("define/lens/doublet/mater1=bk7"),
              "ERROR: Material bk7 not found.\nTry again.\n");
    EXPECT_EQ(list->partCount(), 0);
    EXPECT_EQ(objectCount, 0);
    // A command whose name word is already an alias is refused before anything is made.
    run("define/lens");
    clearParsedCommand();
    std::strcpy(commandWord, "define");
    splitModifiersAndParameters("/lens");
    parsedCommand().aliasInUse = 1;
    out.clear();
    EXPECT_EQ(list->DefinePart(), 0);
    EXPECT_EQ(out, "ERROR: Object name alias is already in use.  Use a different name.\n");
    EXPECT_EQ(list->partCount(), 1);
}

// The reader turns a name that is already an alias into its object's number, so the refusal
// rests on that expansion.
TEST_F(PartListTest, ADefinitionNamedByATakenAliasIsRefusedAndMakesNothing) {
    run("define/mirror/flat m1");
    ASSERT_EQ(partNames(), "m1");
    const std::string refused =
        "ERROR: Object name alias is already in use.  Use a different name.\n";
    EXPECT_EQ(run("define/mirror/flat m1"), refused);
    EXPECT_EQ(run("define/lens M1"), refused); // names are read without case
    EXPECT_EQ(run("define/rod m1 thickness=4"), refused);
    EXPECT_EQ(objectCount, 1);
    EXPECT_EQ(partNames(), "m1");
    EXPECT_STREQ(aliasLookup("m1"), "1");
    EXPECT_EQ(getObject(1), nullptr);
    // The refusal does not outlive its command: numbers and fresh names define as ever.
    EXPECT_EQ(run("define/mirror/flat 5"),
              "Complete.\nObject 2 consisting of 1 surface has been defined.\n");
    run("define/mirror/flat m3");
    EXPECT_EQ(partNames(), "m1 mirr2 m3");
}

TEST_F(PartListTest, DeleteRemovesThePartItsObjectAndItsAlias) {
    run("define/lens");
    run("define/rod stick");
    EXPECT_EQ(run("delete lens1"),
              "Deleted object lens1 and its 3 surfaces.\nAlias lens1 removed.\n");
    EXPECT_EQ(partNames(), "stick");
    EXPECT_EQ(getObject(0), nullptr);
    EXPECT_EQ(aliasLookup("lens1"), nullptr);
    EXPECT_EQ(run("delete 2"), "Deleted object stick and its 3 surfaces.\nAlias stick removed.\n");
    EXPECT_EQ(list->partCount(), 0);
    EXPECT_EQ(objectCount, 0);
    // The lowest slot is taken again, and so is its generated name.
    run("define/lens");
    EXPECT_EQ(partNames(), "lens1");
}

TEST_F(PartListTest, DeleteWithoutAPartOrANumberChangesNothing) {
    run("define/lens");
    EXPECT_EQ(run("delete"), "ERROR: No object ID given, thus no deletion.");
    EXPECT_EQ(run("delete 7"), "ERROR: Unable to find part 7 to delete\n");
    EXPECT_EQ(run("delete -3"), "ERROR: Unable to find part -3 to delete\n");
    // Numbers no object can have are never turned into an int that overflows.
    EXPECT_EQ(run("delete 1e300"), "ERROR: Unable to find part 1000000 to delete\n");
    EXPECT_EQ(run("delete -1e300"), "ERROR: Unable to find part -1000000 to delete\n");
    EXPECT_EQ(list->partCount(), 1);
    EXPECT_EQ(objectCount, 1);
    // An object whose part is gone is not deleted by number either.
    list->RemoveAll();
    EXPECT_EQ(run("delete 1"), "ERROR: Unable to find part 1 to delete\n");
    EXPECT_NE(getObject(0), nullptr);
}

TEST_F(PartListTest, DeletePartByName) {
    run("define/lens");
    run("define/detector screen");
    EXPECT_FALSE(list->DeletePart("nothing"));
    EXPECT_FALSE(list->DeletePart(""));
    EXPECT_TRUE(list->DeletePart("screen"));
    EXPECT_EQ(partNames(), "lens1");
    EXPECT_EQ(getObject(1), nullptr);
}

TEST_F(PartListTest, ClearingTheModelEmptiesObjectsPartsAliasesAndRayFiles) {
    run("define/lens");
    run("define/mirror/flat sink");
    run("define/rod");
    run("delete 2");
    aliasAdd("stray", "42");
    for (const char* file : {"rays.dat", "spots.dat"})
        std::ofstream(dir.file(file)) << "x";
    out.clear();
    clearAllObjects();
    list->RemoveAll();
    // The slot of the deleted mirror has nothing to report.
    EXPECT_EQ(out, "Deleted object lens1 and its 3 surfaces.\nAlias lens1 removed.\n"
                   "Deleted object rod3 and its 3 surfaces.\nAlias rod3 removed.\n");
    EXPECT_EQ(objectCount, 0);
    EXPECT_EQ(surfaceCount, 0);
    EXPECT_TRUE(aliasState().aliases.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("rays.dat")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("spots.dat")));
    EXPECT_EQ(list->partCount(), 0);
    run("define/lens");
    EXPECT_EQ(partNames(), "lens1");
}

TEST_F(PartListTest, OnlyANetThePolynetCommandCreatedBecomesAPart) {
    run("polynet/start");
    for (const char* step : {"polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                             "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close",
                             "polynet/finish", "polynet/output 1", "polynet/normalize 1"})
        run(step);
    run("polynet/belt/yzpolar band 10 0.5 4");
    run("polynet/start/xzpolar lid");
    ASSERT_EQ(partNames(), "poly1 band lid");
    EXPECT_EQ(list->part(0)->kindName, "polynet");
    EXPECT_EQ(list->part(0)->geometry, getObject(0));
    EXPECT_EQ(list->part(0)->polarPlane, kPolarNone);
    EXPECT_EQ(list->part(1)->polarPlane, kPolarYZ);
    EXPECT_EQ(list->part(2)->polarPlane, kPolarXZ);
    EXPECT_STREQ(aliasLookup("poly1"), "1");
    // A refused start leaves the current object without a second part; so does a lone step.
    EXPECT_EQ(run("polynet/start lid"),
              "ERROR: Object name alias is already in use.  Use a different name.\n");
    EXPECT_EQ(list->DefinePolynet(), 0);
    run("polynet/belt/xypolar ring nfacets=0");
    EXPECT_EQ(partNames(), "poly1 band lid");
    EXPECT_EQ(objectCount, 3);
}

TEST_F(PartListTest, ANetWithAnUnknownMaterialStillGetsItsPart) {
    EXPECT_EQ(run("polynet/start/material=bk7 glassy"),
              formatText("Added alias: %20s <== %20s\n", "glassy", "1") +
                  "Polynet started.\nERROR: Material bk7 not found in catalogs\n");
    EXPECT_EQ(run("polynet/belt/material"), "Polynet started.\nPolynet complete. Radius "
                                            "100.778222, center = 0.000000 0.000000 0.000000\n"
                                            "ERROR: Material requested without name\n");
    EXPECT_EQ(partNames(), "glassy poly2");
    EXPECT_EQ(run("delete glassy"),
              "Deleted object glassy and its 1 surfaces.\nAlias glassy removed.\n");
    EXPECT_EQ(partNames(), "poly2");
}

} // namespace
