// The texts the shell composes and the checks on what the user typed.
#include <gtest/gtest.h>

#include "command/interpreter/aliases.h"
#include "engine/model/object_table.h"
#include "ui/core/shell_text.h"

TEST(ShellText, BeltsTurnByHalfACellAndAttachWithTwoBlanksBeforeTheQuarterCount) {
    BeltRequest r{36, 0.25, 10};
    auto c = beltCommandTexts(BeltPlane::XY, r);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0], "polynet/belt/xypolar XYPolarRad 10 0.25 36");
    EXPECT_EQ(c[1], "place");
    EXPECT_EQ(c[2], "rotate/z XYPolarRad -5");
    EXPECT_EQ(c[3], "rad/attach XYPolarRad 4  9");
    r.cells = 12;
    c = beltCommandTexts(BeltPlane::YZ, r);
    EXPECT_EQ(c[0], "polynet/belt/yzpolar YZPolarRad 10 0.25 12");
    EXPECT_EQ(c[2], "rotate/x YZPolarRad -15");
    EXPECT_EQ(c[3], "rad/attach YZPolarRad 4  3");
    EXPECT_EQ(beltCommandTexts(BeltPlane::XZ, r)[2], "rotate/y XZPolarRad -15");
}

TEST(ShellText, BeltRequestsOutsideTheRulesAreRefused) {
    EXPECT_FALSE(checkBeltRequest({36, 0.25, 1}));
    EXPECT_FALSE(checkBeltRequest({4, 0.25, 1}));
    EXPECT_FALSE(checkBeltRequest({360, 0.25, 1}));
    EXPECT_TRUE(checkBeltRequest({0, 0.25, 1}));   // would divide by zero
    EXPECT_TRUE(checkBeltRequest({10, 0.25, 1}));  // fewer bins than facets
    EXPECT_TRUE(checkBeltRequest({364, 0.25, 1}));
    EXPECT_TRUE(checkBeltRequest({-4, 0.25, 1}));
    EXPECT_TRUE(checkBeltRequest({36, 0, 1}));
    EXPECT_TRUE(checkBeltRequest({36, 0.25, 0}));
    EXPECT_TRUE(checkBeltRequest({36, 0.25, std::nan("")}));
    EXPECT_DOUBLE_EQ(defaultBeltRadius(3, 4, 12), 13.0);
}

TEST(ShellText, TitlesAndFileNameRules) {
    EXPECT_EQ(windowTitle("Untitled.opt"), "Untitled.opt - MERIDYN");
    EXPECT_TRUE(isModelFileName("/a/x.opt"));
    EXPECT_TRUE(isModelFileName("X.OPT"));
    EXPECT_TRUE(isModelFileName("x.Opt"));
    EXPECT_FALSE(isModelFileName("x.mac"));
    EXPECT_FALSE(isModelFileName("pt"));
    EXPECT_EQ(withModelExtension("/d/model"), "/d/model.opt");
    EXPECT_EQ(withModelExtension("/d/model."), "/d/model.opt");
    EXPECT_EQ(withModelExtension("/d/model.mac"), "/d/model.mac");
    EXPECT_EQ(withModelExtension("/d.x/model"), "/d.x/model.opt");
    EXPECT_EQ(titleOfPath("/a/b/X.OPT"), "X.OPT");
    EXPECT_EQ(macroCommandText("/a/say \"hi\".mac"), "macro/name=\"/a/say \"\"hi\"\".mac\"");
    EXPECT_EQ(saveCommandText("/a/m.opt"), "save/overwrite/name=\"/a/m.opt\"");
    EXPECT_EQ(saveChangesQuestion("m.opt"), "Save changes to m.opt?");
}

TEST(ShellText, TypedTextRunsLineByLineWithControlCharactersAsBlanks) {
    EXPECT_EQ(commandLinesOfTypedText(""), std::vector<std::string>{""});
    EXPECT_EQ(commandLinesOfTypedText("show/workbox"), std::vector<std::string>{"show/workbox"});
    EXPECT_EQ(commandLinesOfTypedText("a\tb\x01"), std::vector<std::string>{"a b "});
    EXPECT_EQ(commandLinesOfTypedText("one\r\ntwo\n\n  \nthree\n"),
              (std::vector<std::string>{"one", "two", "three"}));
    const std::string longLine(400, 'x');
    EXPECT_EQ(commandLinesOfTypedText(longLine)[0].size(), 400u);
}

TEST(ShellText, BareStopWords) {
    EXPECT_TRUE(isBareStopWord("exit"));
    EXPECT_TRUE(isBareStopWord("  QUIT "));
    EXPECT_FALSE(isBareStopWord("define/lens x; exit"));
    EXPECT_FALSE(isBareStopWord("exits"));
}

TEST(ShellText, TreeItemTexts) {
    EXPECT_EQ(treeItemText("lens1", "lens"), "lens1(lens)");
    EXPECT_EQ(labelOfItemText("lens1(lens)"), "lens1");
    EXPECT_EQ(labelOfItemText("(odd)"), "(odd)");
    EXPECT_EQ(labelOfItemText("plain"), "plain");
    EXPECT_EQ(surfaceNumberOfItemText("Surface3"), 3);
    EXPECT_EQ(surfaceNumberOfItemText("Surface12"), 12);
    EXPECT_EQ(surfaceNumberOfItemText("Surface0"), 1);
    EXPECT_EQ(surfaceNumberOfItemText("Surface"), 1);
    EXPECT_EQ(surfaceNumberOfItemText("Surface2x"), 1);
    EXPECT_EQ(surfaceNumberOfItemText("lens1(lens)"), 1);
    EXPECT_GE(surfaceNumberOfItemText("Surface99999999999999"), 1000000); // no overflow
}

TEST(ShellText, RenameTakesOnlyAliasNames) {
    bool refused = false;
    EXPECT_EQ(renameCommandText("lens1", "front", &refused), "rename/newname=front lens1");
    EXPECT_EQ(renameCommandText("lens1", "front(lens)", &refused), "rename/newname=front lens1");
    EXPECT_EQ(renameCommandText("lens1", "Front_2", &refused), "rename/newname=front_2 lens1");
    EXPECT_FALSE(renameCommandText(kTreeRootText, "x", &refused));
    EXPECT_FALSE(refused);
    EXPECT_FALSE(renameCommandText("lens1", "", &refused));
    EXPECT_FALSE(refused);
    for (const char* bad : {"x;clear", "1abc", "a b", "a/b", "a=b", "abcdefghijklmnopqrst", "_a"}) {
        EXPECT_FALSE(renameCommandText("lens1", bad, &refused)) << bad;
        EXPECT_TRUE(refused) << bad;
    }
    EXPECT_TRUE(isValidAliasName("abcdefghijklmnopqrs"));
    EXPECT_TRUE(isValidAliasName("a_1"));
}

class ObjectNameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetAliasState();
        resetObjectTable();
    }
    void TearDown() override {
        resetAliasState();
        resetObjectTable();
    }
};

TEST_F(ObjectNameTest, ATypedLineMovesTheSelectionOnlyForAnAliasOrAnExistingObject) {
    std::string name;
    EXPECT_FALSE(parseCommandObjectName("define/lens", name));
    EXPECT_EQ(name, "fine/lens");
    ASSERT_NE(allocObjectSlot(), nullptr); // object 1
    aliasAdd("lens12", "1");
    EXPECT_EQ(parseCommandObjectName("..lens12 (lens)", name), 1);
    EXPECT_EQ(name, "lens12");
    EXPECT_EQ(parseCommandObjectName("  1(lens)", name), 1);
    EXPECT_FALSE(parseCommandObjectName("  2", name));   // no such object
    EXPECT_FALSE(parseCommandObjectName("  0", name));
    EXPECT_FALSE(parseCommandObjectName("  1x", name));
    EXPECT_FALSE(parseCommandObjectName("x", name));
    EXPECT_EQ(objectNumberOfLabel("lens12"), 1);
    EXPECT_EQ(objectNumberOfLabel("7"), 7);
    EXPECT_EQ(objectNumberOfLabel(""), 0);
}
