// The parameter-input composer: what each mode and path sends, and that every way that sends
// nothing leaves no redefinition armed.
#include <gtest/gtest.h>

#include "command/interpreter/reader.h"
#include "parts/templates/define_params.h"
#include "tests/ui/compose/scripted_dialog_seam.h"
#include "ui/compose/command_dialog.h"

namespace {

using Answer = ScriptedDialogSeam::ParameterAnswer;

Answer named(const std::string& name) {
    Answer a;
    a.objectName = name;
    return a;
}

class CommandDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetDefineParamsState();
        redefineMode = 0;
        context.clearRedefinitionMark = [this] { ++marksCleared; };
    }
    void TearDown() override {
        resetDefineParamsState();
        redefineMode = 0;
    }
    std::optional<std::string> run(int mode, const std::string& path) {
        return composeCommandDialog(mode, path, context, seam);
    }
    // Arms a redefinition as Metamorph does, so that a no-run exit must disarm it.
    void arm() { redefineMode = 1; }
    void expectDisarmed(int clears = 1) {
        EXPECT_EQ(redefineMode, 0);
        EXPECT_EQ(marksCleared, clears);
    }

    CommandDialogContext context;
    ScriptedDialogSeam seam;
    int marksCleared = 0;
};

TEST_F(CommandDialogTest, FlatMirrorWithNameAndBackSide) {
    seam.names = {std::string("m1")};
    seam.sides = {ReflectiveSide::Back};
    EXPECT_EQ(run(4, "define/mirror/flat/oval"), "define/mirror/flat/oval/back m1 25 25");
    EXPECT_TRUE(seam.shown.empty()); // a define path skips the parameter dialog
    EXPECT_EQ(marksCleared, 0);
}

TEST_F(CommandDialogTest, SideSuffixesOfEveryMode) {
    EXPECT_EQ(sideSuffix(2, ReflectiveSide::Front), "/inside");
    EXPECT_EQ(sideSuffix(2, ReflectiveSide::Back), "/outside");
    EXPECT_EQ(sideSuffix(3, ReflectiveSide::Front), "/concave");
    EXPECT_EQ(sideSuffix(3, ReflectiveSide::Back), "/convex");
    EXPECT_EQ(sideSuffix(4, ReflectiveSide::Front), "/front");
    EXPECT_EQ(sideSuffix(4, ReflectiveSide::Back), "/back");
    for (int mode = 2; mode <= 4; ++mode)
        EXPECT_EQ(sideSuffix(mode, ReflectiveSide::Both), "/both");
    // A cavity's values follow the side.
    seam.names = {std::string("c1")};
    seam.sides = {ReflectiveSide::Front};
    EXPECT_EQ(run(2, "define/cavity/cylinder"), "define/cavity/cylinder/inside c1 50 50 -50 50");
}

TEST_F(CommandDialogTest, EmptyDefineNameSendsTheTemplateValuesAfterAnEmptyName) {
    seam.names = {std::string()};
    EXPECT_EQ(run(1, "define/cavity/cylinder"), "define/cavity/cylinder  50 50 -50 50");
}

TEST_F(CommandDialogTest, UnnamedObjectTravelsAsItsNumberAfterTwoBlanks) {
    context.viewObject = 12;
    context.viewObjectLabel = "12";
    seam.parameters = {Answer{}};
    EXPECT_EQ(run(-1, "modify/surface/attributes"), "modify/surface/attributes  12 1 0 0 0");
    ASSERT_EQ(seam.shown.size(), 1u);
    EXPECT_EQ(seam.shown[0].count, 5);
    EXPECT_EQ(seam.shown[0].names[1], "refl");
    EXPECT_EQ(seam.shown[0].title, "modify/surface/attributes");
}

TEST_F(CommandDialogTest, NamedObjectDropsItsNumberAndFieldsKeepTheirDigits) {
    context.viewObject = 3;
    context.viewObjectLabel = "lens";
    seam.parameters = {Answer{std::nullopt, {{1, 0.4861327}, {2, 100.00125}}}};
    EXPECT_EQ(run(-1, "modify/surface/attributes"),
              "modify/surface/attributes lens 0.4861327 100.00125 0 0");
}

TEST_F(CommandDialogTest, DoAllObjectsSendsTheBarePath) {
    context.viewObject = 2;
    context.viewObjectLabel = "2";
    seam.parameters = {Answer{std::nullopt, {}, true}};
    EXPECT_EQ(run(-3, "display/object"), "display/object");
    // Without the tick the object goes along.
    seam.parameters = {Answer{}};
    EXPECT_EQ(run(-3, "display/object"), "display/object  2");
}

TEST_F(CommandDialogTest, DataOutputFileFollowsThePathWord) {
    context.viewObject = 4;
    context.viewObjectLabel = "det";
    context.dataOutputOn = true;
    context.dataOutputFile = "out.dat";
    seam.parameters = {Answer{}};
    EXPECT_EQ(run(-2, "energy/xlinear"), "energy/xlinear/filename=out.dat det 10");
    context.dataOutputFile = "my dir/out \"1\".dat";
    seam.parameters = {Answer{}};
    EXPECT_EQ(run(-2, "energy/xlinear"),
              "energy/xlinear/filename=\"my dir/out \"\"1\"\".dat\" det 10");
    // Only mode -2 takes it.
    seam.parameters = {Answer{}};
    EXPECT_EQ(run(-1, "energy/xlinear"), "energy/xlinear det 10");
}

TEST_F(CommandDialogTest, PresetValuesSurviveTheTemplate) {
    defineParams.SetParam(1, 7.5);
    context.viewObject = 1;
    context.viewObjectLabel = "1";
    seam.parameters = {Answer{}};
    EXPECT_EQ(run(-1, "modify/surface/attributes"), "modify/surface/attributes  1 7.5 0 0 0");
}

TEST_F(CommandDialogTest, VerifyShowsItsFourSteps) {
    context.verifyTrace = true;
    seam.names = {std::string("m")};
    seam.sides = {ReflectiveSide::Both};
    EXPECT_TRUE(run(4, "define/mirror/flat/oval"));
    EXPECT_EQ(seam.infos, (std::vector<std::string>{"start to fill parambox",
                                                    "commence filling box values",
                                                    "setting param names", "ready to do modal"}));
}

TEST_F(CommandDialogTest, EveryExitThatRunsNothingDisarmsTheRedefinition) {
    // Name dialog cancelled.
    arm();
    EXPECT_FALSE(run(1, "define/cavity/cylinder"));
    expectDisarmed(1);
    // No object selected.
    arm();
    EXPECT_FALSE(run(-1, "modify/surface/attributes"));
    EXPECT_EQ(seam.infos.back(), "Error: no object defined.");
    expectDisarmed(2);
    // No template.
    arm();
    context.viewObject = 1;
    context.viewObjectLabel = "1";
    EXPECT_FALSE(run(-1, "nosuch/path"));
    EXPECT_EQ(seam.infos.back(), "Error: Could not obtain parameters for nosuch/path\n");
    expectDisarmed(3);
    // Parameter dialog cancelled.
    arm();
    EXPECT_FALSE(run(-1, "modify/surface/attributes"));
    expectDisarmed(4);
    // Side dialog cancelled.
    arm();
    seam.names = {std::string("m")};
    EXPECT_FALSE(run(4, "define/mirror/flat/oval"));
    expectDisarmed(5);
    // Too long for the reader: an error box, nothing run.
    arm();
    context.dataOutputOn = true;
    context.dataOutputFile = std::string(230, 'f');
    seam.parameters = {named("det")};
    EXPECT_FALSE(run(-2, "energy/xlinear"));
    ASSERT_EQ(seam.errors.size(), 1u);
    EXPECT_EQ(seam.errors[0].rfind("Error: command too long: energy/xlinear/filename=", 0), 0u);
    expectDisarmed(6);
    // One character less fits exactly: 250 characters are run.
    context.dataOutputFile = std::string(250 - std::string("energy/xlinear/filename= det 10").size(), 'f');
    seam.parameters = {named("det")};
    auto text = run(-2, "energy/xlinear");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 250u);
}

TEST_F(CommandDialogTest, BadNamesKeepTheDialogsOpen) {
    seam.names = {std::string("x;clear"), std::string("1abc"), std::string("ok_name-2")};
    seam.sides = {ReflectiveSide::Both};
    EXPECT_EQ(run(4, "define/mirror/flat/oval"), "define/mirror/flat/oval/both ok_name-2 25 25");
    EXPECT_EQ(seam.namesAsked, 3);
    EXPECT_EQ(seam.refusals.size(), 2u);
    context.viewObject = 1;
    context.viewObjectLabel = "1";
    seam.refusals.clear();
    seam.parameters = {named("a b"), named("good")};
    EXPECT_EQ(run(-1, "modify/surface/attributes"), "modify/surface/attributes good 1 0 0 0");
    EXPECT_EQ(seam.refusals.size(), 1u);
}

} // namespace
