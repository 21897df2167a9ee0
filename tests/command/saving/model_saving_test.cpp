// Saving through the document: the settings block, the layout of the compressed form, the choice
// of form by name, failures that keep the old file, and opening files.
#include <gtest/gtest.h>

#include <filesystem>

#include "command/saving/model_saving.h"
#include "command/settings/settings.h"
#include "tests/command/interpreter_fixture.h"

namespace {

class ModelSavingTest : public testsupport::DocumentTest {
  protected:
    void TearDown() override {
        resetSaveState();
        resetSettingsState();
        DocumentTest::TearDown();
    }
    std::string settingsBlock() {
        std::FILE* f = std::tmpfile();
        doc->WriteSettings(f);
        return testsupport::readBack(f);
    }
};

TEST_F(ModelSavingTest, SettingsBlockNamesEverySettingAsACommand) {
    viewRays = 0;
    workbox.center[1] = -2.5;
    workbox.halfSize[2] = 1e6;
    addRays = 1;
    fresnelOn = 1;
    autoRedraw = 0;
    settingsState().savedEcho = 1; // never written as on
    rayRainbow = 1;
    energyAbsolute = 0;
    energyPercentage = 1;
    spotsOff = 1;
    proximityGlueDistance = 0.0001;
    iterationMaxCount = 20;
    iterationTolerance = 1e-6;
    for (int i = 0; i < kWavelengthSlots; ++i) {
        wavelengthTable[i] = 0.4 + 0.05 * i;
        weightTable[i] = i % 2;
    }
    EXPECT_EQ(settingsBlock(),
              "# > These are the settings at the time this file was saved:\n"
              "view\n"
              "set/workbox 0 -2.5 0 75 50 1e+06\n"
              "set/add_rays/on\n"
              "set/fresnel/on\n"
              "set/autoredraw/off\n"
              "echo/off\n"
              "set/autoretrace/on\n"
              "set/rayrainbow/on\n"
              "set/sphlensvertex/off\n"
              "set/energy/density/off\n"
              "set/energy/percentage/on\n"
              "set/energy/relative\n"
              "set/saverays/on\n"
              "set/savespots/off\n"
              "set/fletch/off\n"
              "set/proximity_glue maxdistance=0.0001\n"
              "set/iteration maxcount=20 tolerance=1e-06\n"
              "set/raylimits maxdepth=140 mintrans=0.01 maxghost=2\n"
              "set/wavelength 0.4 0.45 0.5 0.55 0.6 0.65   0.7 0.75 0.8 0.85 0.9 0.95\n"
              "set/weightwave 0 1 0 1 0 1   0 1 0 1 0 1\n");
}

TEST_F(ModelSavingTest, TheFormFollowsTheNameEndingAlone) {
    EXPECT_TRUE(isCompressedSaveName("a.opt"));
    EXPECT_TRUE(isCompressedSaveName("A.OPT"));
    EXPECT_TRUE(isCompressedSaveName("/" + std::string(200, 'd') + "/model.opt"));
    EXPECT_FALSE(isCompressedSaveName("a.Opt"));
    EXPECT_FALSE(isCompressedSaveName("a.mac"));
    EXPECT_FALSE(isCompressedSaveName("pt"));
}

TEST_F(ModelSavingTest, CompressedFormLayout) {
    saveHooks().loadedCatalogs = [] { return std::vector<std::string>{"/c/one.cat", "two.cat"}; };
    saveHooks().writeParts = [](std::FILE* f) { return std::fputs("<parts>\n", f) >= 0; };
    execute("polynet/start net");
    execute("# a comment");
    execute("define/lens");
    execute("noop");
    const std::string path = dir.file("m.opt");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    const std::string saved = testsupport::readFile(path);
    const std::size_t settingsEnd = saved.find("set/weightwave");
    ASSERT_NE(settingsEnd, std::string::npos);
    EXPECT_EQ(saved.substr(saved.find('\n', settingsEnd) + 1),
              "set/matcatalog/name=\"/c/one.cat\"\n"
              "set/matcatalog/name=\"two.cat\"\n"
              "polynet/start net\n"
              "<parts>\n"
              "# a comment\n"
              "noop\n");
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(ui.history.back(), "Saving compressed form of macro in .opt file.");

    ASSERT_TRUE(doc->OnSaveDocument(dir.file("m.mac")));
    EXPECT_EQ(ui.history.back(), "Saving complete form of macro.");
    const std::string complete = testsupport::readFile(dir.file("m.mac"));
    EXPECT_EQ(complete.find("set/"), std::string::npos);
    EXPECT_NE(complete.find("define/lens\n"), std::string::npos);
}

TEST_F(ModelSavingTest, AFailedSaveKeepsTheOldFileAndThePathName) {
    const std::string path = writeFile("keep.opt", "old model\n");
    doc->SetPathName("before.opt");
    doc->SetModifiedFlag(true);
    // The log is opened first: without it nothing is written.
    const std::string logPath = messageState().logPath;
    messageState().logPath = dir.file("missing/meridyn.log");
    EXPECT_FALSE(doc->OnSaveDocument(path));
    EXPECT_EQ(hooks.boxes.back().text, "Error opening log file MERIDYN.LOG");
    messageState().logPath = logPath;
    EXPECT_EQ(testsupport::readFile(path), "old model\n");
    // A folder in the way, and one that does not exist.
    std::filesystem::create_directory(dir.file("folder.opt"));
    EXPECT_FALSE(doc->OnSaveDocument(dir.file("folder.opt")));
    EXPECT_FALSE(doc->OnSaveDocument(dir.file("none/x.opt")));
    EXPECT_EQ(hooks.boxes.back().text,
              "Error opening save file.  Exit and recover via MERIDYN.LOG");
    EXPECT_EQ(doc->GetPathName(), "before.opt");
    EXPECT_TRUE(doc->IsModified());
    // The log itself is never replaced by a model.
    execute("noop");
    EXPECT_FALSE(doc->OnSaveDocument(messageState().logPath));
    EXPECT_EQ(testsupport::readFile(messageState().logPath).find("set/workbox"), std::string::npos);
}

TEST_F(ModelSavingTest, ASaveThroughALinkReplacesTheFileItNames) {
    const std::string real = writeFile("real.opt", "old\n");
    std::filesystem::create_symlink(real, dir.file("link.opt"));
    ASSERT_TRUE(doc->OnSaveDocument(dir.file("link.opt")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.opt")));
    EXPECT_NE(testsupport::readFile(real).find("set/workbox"), std::string::npos);
}

TEST_F(ModelSavingTest, OpeningRunsTheFileAsAMacro) {
    const std::string opt = writeFile("m.OPT", "define/lens\n");
    ASSERT_TRUE(doc->OnOpenDocument(opt));
    EXPECT_EQ(ui.history.front(), "Retrieving compressed .opt file.");
    EXPECT_EQ(doc->GetPathName(), opt);
    EXPECT_FALSE(doc->IsModified());
    ASSERT_FALSE(ran.empty());
    EXPECT_EQ(ran.back(), "define/lens");

    const std::string mac = writeFile("m.mac", "define/rod\n");
    ASSERT_TRUE(doc->OnOpenDocument(mac));
    EXPECT_EQ(ui.history.back(), "Run macro.");
    EXPECT_EQ(doc->GetPathName(), "Untitled.opt");
    EXPECT_TRUE(doc->IsModified());
    // A file that is not there is reported by the macro command; opening still succeeds.
    EXPECT_TRUE(doc->OnOpenDocument(dir.file("absent.opt")));
}

} // namespace
