// The dialogs offscreen: captions, labels, presets and refusals, and what their entries send
// through the real window (the dialogs answered by a script in place of the user).
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <map>

#include "command/settings/settings.h"
#include "display/raster/bitmap_holder.h"
#include "display/views/view_modes.h"
#include "parts/templates/define_params.h"
#include "tests/ui/compose/stl_files.h"
#include "tests/ui/qt/shell_fixture.h"
#include "ui/props/document_menu.h"
#include "ui/compose/field_text.h"
#include "ui/core/view_controller.h"
#include "ui/core/view_state.h"
#include "ui/qt/dialogs/command_dialogs.h"
#include "ui/qt/dialogs/dialog_entries.h"
#include "ui/qt/dialogs/stl_progress_dialog.h"
#include "ui/qt/dialogs/tool_dialogs.h"
#include "ui/qt/object_tree.h"
#include "ui/qt/property_frame.h"
#include "ui/qt/qel_view.h"
#include "ui/qt/qt_platform_hooks.h"

namespace {

using shelltest::ShellTest;

// What the script does with the next dialog: fill fields, choose radios, then OK or Cancel.
struct DialogAnswer {
    using Texts = std::map<std::string, std::string>;
    using Radios = std::map<std::string, int>;
    DialogAnswer(Texts t = {}, Radios r = {}, bool pressOk = true)
        : texts(std::move(t)), radios(std::move(r)), ok(pressOk) {}
    Texts texts;
    Radios radios;
    std::map<std::string, bool> checks;
    bool ok = true;
};

class DialogTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        resetToolDialogState();
        resetQelViewState();
        resetDefineParamsState();
        dialogRunner() = [this](QDialog& dialog) {
            captions.push_back(dialog.windowTitle().toStdString());
            if (answers.empty()) return static_cast<int>(QDialog::Rejected);
            DialogAnswer a = answers.front();
            answers.pop_front();
            auto* form = qobject_cast<FormDialog*>(&dialog);
            if (!form || !a.ok) return static_cast<int>(QDialog::Rejected);
            for (const auto& [k, v] : a.texts)
                form->setText(k, v);
            for (const auto& [k, v] : a.radios)
                form->setRadio(k, v);
            for (const auto& [k, v] : a.checks)
                form->checkBox(k)->setChecked(v);
            form->accept();
            if (form->result() != QDialog::Accepted)
                refusals.push_back(form->messageLine()->text().toStdString());
            return form->result();
        };
    }
    void TearDown() override {
        dialogRunner() = nullptr;
        resetViewSeams();
        QLocale::setDefault(QLocale::c());
        ShellTest::TearDown();
    }
    bool logHas(const std::string& line) const { return log().find(line + "\n") != std::string::npos; }

    std::deque<DialogAnswer> answers;
    std::vector<std::string> captions, refusals;
};

TEST_F(DialogTest, ParameterInputShowsOnlyTheRowsInUse) {
    ParameterRequest r;
    r.mode = -1;
    r.count = 5;
    r.names = {"surface", "refl", "absor", "lumin", "diffuse"};
    r.title = "modify/surface/attributes";
    r.objectName = "lens";
    auto d = makeParameterInputDialog(r, nullptr);
    d->show();
    EXPECT_EQ(d->windowTitle(), "modify/surface/attributes");
    EXPECT_EQ(d->label("objectName")->text(), "Object name:");
    EXPECT_EQ(d->text("objectName"), "lens");
    EXPECT_FALSE(d->field("value0")->isVisible()); // the object number travels unseen
    EXPECT_TRUE(d->label("value0")->text().isEmpty());
    for (int i = 1; i < 5; ++i) {
        EXPECT_TRUE(d->field("value" + std::to_string(i))->isVisible());
        EXPECT_EQ(d->label("value" + std::to_string(i))->text().toStdString(), r.names[i]);
    }
    for (int i = 5; i < 10; ++i)
        EXPECT_FALSE(d->field("value" + std::to_string(i))->isVisible());
    EXPECT_FALSE(d->checkBox("doAll")->isVisible());
    d->hide();

    r.mode = 0;
    auto settings = makeParameterInputDialog(r, nullptr);
    settings->show();
    EXPECT_FALSE(settings->field("objectName")->isVisible());
    EXPECT_TRUE(settings->field("value0")->isVisible());
    settings->hide();

    r.mode = -3;
    auto display = makeParameterInputDialog(r, nullptr);
    display->show();
    EXPECT_TRUE(display->checkBox("doAll")->isVisible());
    EXPECT_EQ(display->checkBox("doAll")->text(), "Do All Objects");
    display->hide();
}

TEST_F(DialogTest, ParameterInputRefusesNoNumberAndABadName) {
    ParameterRequest r;
    r.mode = -1;
    r.count = 2;
    r.names = {"object", "value"};
    r.title = "modify/x";
    auto d = makeParameterInputDialog(r, nullptr);
    d->setText("value1", "abc");
    d->accept();
    EXPECT_NE(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->messageLine()->text(), "Please enter a number.");
    d->setText("value1", "2.5");
    d->setText("objectName", "x;clear");
    d->accept();
    EXPECT_NE(d->result(), QDialog::Accepted);
    d->setText("objectName", "lens");
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    readParameterInputDialog(*d, r);
    EXPECT_EQ(r.values[1], 2.5);
    EXPECT_EQ(r.objectName, "lens");
}

TEST_F(DialogTest, SmallDialogsCaptionsAndPresets) {
    auto name = makeObjectNameDialog(nullptr);
    EXPECT_EQ(name->windowTitle(), "Enter a name for the object");
    EXPECT_EQ(name->field("name")->maxLength(), 19);
    auto side = makeReflectiveSideDialog(4, nullptr);
    EXPECT_EQ(side->windowTitle(), "Mirror Reflective Side");
    EXPECT_EQ(side->radio("side"), 0);
    EXPECT_EQ(side->radioGroup("side")->button(1)->text(), "Front (Inside)");
    EXPECT_EQ(side->radioGroup("side")->button(2)->text(), "Back (Outside)");
    auto rot = makeRotationDialog(nullptr);
    EXPECT_EQ(rot->windowTitle(), "Rotation Tool");
    EXPECT_EQ(rot->radio("frame"), 1);
    EXPECT_EQ(rot->radio("axis"), 0);
    EXPECT_EQ(rot->label("angle")->text(), "Angle (Degrees)");
    auto place = makePlacementDialog(nullptr);
    EXPECT_EQ(place->windowTitle(), "Placement Tool");
    EXPECT_EQ(place->radioGroup("type")->button(3)->text(), "Rotations");
    auto plot = makePlotScalingDialog(nullptr);
    EXPECT_EQ(plot->windowTitle(), "Plot Scaling");
    EXPECT_EQ(plot->text("value"), "100");
    auto iges = makeIgesDialog(nullptr);
    EXPECT_EQ(iges->windowTitle(), "Data to Include IGES file about to be written");
    EXPECT_EQ(iges->text("file"), "output.igs");
    auto cc = makeCubeCornerDialog({"retro-1", 10, 1.5}, nullptr);
    EXPECT_EQ(cc->windowTitle(), "Define Cube Corner");
    EXPECT_EQ(cc->label("halfWidth")->text(), "Half-width");
    EXPECT_EQ(cc->text("index"), "1.5");
    auto wl = makeWavelengthDialog(nullptr);
    EXPECT_EQ(wl->windowTitle(), "Wavelengths and Weights");
    EXPECT_EQ(wl->text("wavelength0"), "0.5");
    EXPECT_EQ(wl->text("weight0"), "1");
    auto rep = makeReplicateDialog(nullptr);
    rep->setText("copies", "500");
    rep->accept();
    EXPECT_NE(rep->result(), QDialog::Accepted);
    EXPECT_EQ(rep->messageLine()->text(), "Please enter a number between 1 and 499.");
    rep->setText("copies", "499");
    rep->setText("base", "b_");
    rep->accept();
    EXPECT_EQ(rep->result(), QDialog::Accepted);
    auto wb = makeWorkboxDialog(nullptr);
    EXPECT_EQ(wb->windowTitle(), "WorkBox Control");
    wb->setText("sizez", "0");
    wb->accept();
    EXPECT_NE(wb->result(), QDialog::Accepted);
}

TEST_F(DialogTest, StlParametersRefuseAnEmptyNameWithTheIncompleteBox) {
    int empties = 0;
    auto d = makeStlParametersDialog({}, nullptr, [&empties] { ++empties; });
    EXPECT_EQ(d->windowTitle(), "STL Polynet Parameters");
    EXPECT_EQ(d->label("absorption")->text(), "Surface Absorbtion");
    EXPECT_EQ(d->text("name"), "");
    EXPECT_EQ(d->text("reflectance"), "1");
    EXPECT_EQ(d->text("absorption"), "0");
    EXPECT_EQ(d->text("index"), "1");
    d->accept();
    EXPECT_NE(d->result(), QDialog::Accepted);
    EXPECT_EQ(empties, 1);
    d->setText("name", "part");
    d->setText("reflectance", "0.8");
    d->setText("absorption", "0.3");
    d->accept();
    EXPECT_NE(d->result(), QDialog::Accepted);
    EXPECT_EQ(empties, 1);
    d->setText("absorption", "0.2");
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(DialogTest, AGermanLocaleStillReadsAPoint) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto d = makeCubeCornerDialog({"cc", 10, 1.5}, nullptr);
    EXPECT_EQ(d->text("index"), "1.5");
    d->setText("halfWidth", "2.25");
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->number("halfWidth"), 2.25);
    d->setResult(0);
    d->setText("halfWidth", "2,25");
    d->accept();
    EXPECT_NE(d->result(), QDialog::Accepted);
}

TEST_F(DialogTest, SolidSliderAndNx) {
    auto d = makeSolidDialog(803, 500, nullptr);
    EXPECT_EQ(d->windowTitle(), "Solid Model Display Tool");
    EXPECT_EQ(d->text("nx"), "200");
    EXPECT_EQ(d->text("ny"), "125");
    EXPECT_EQ(d->text("file"), "null");
    EXPECT_EQ(d->findChild<QLabel*>("limit")->text(), "Maximum size Nx = 803 and Ny = 500.");
    // Typing keeps what is typed; the rounding comes when editing ends.
    d->setText("nx", "201");
    EXPECT_EQ(d->text("nx"), "201");
    emit d->field("nx")->editingFinished();
    EXPECT_EQ(d->text("nx"), "204");
    d->findChild<QSlider*>("step")->setValue(2);
    EXPECT_EQ(d->text("nx"), "400");
    EXPECT_EQ(d->text("ny"), "250");
    d->setText("ny", "3");
    d->accept();
    EXPECT_NE(d->result(), QDialog::Accepted);
}

// The define opens the new object's sheet, where its values are edited, also when the last
// selection was a surface the new object lacks.
TEST_F(DialogTest, FlatMirrorWithNameAndBackSideThroughTheWindowOpensItsSheet) {
    start("define/lens/spherical len\n");
    QTreeWidgetItem* lens = treeItem("len(lens)");
    ASSERT_TRUE(lens && lens->childCount() >= 2);
    window->tree()->setCurrentItem(lens->child(1));
    ASSERT_EQ(window->tree()->selectedSurface(), 2);
    answers = {DialogAnswer{{{"name", "m1"}}}, DialogAnswer{{}, {{"side", 2}}}};
    window->qelView()->core().RunCommandDialog(4, "define/mirror/flat/oval");
    EXPECT_EQ(captions, (std::vector<std::string>{"Enter a name for the object",
                                                  "Mirror Reflective Side"}));
    EXPECT_TRUE(logHas("define/mirror/flat/oval/back m1 25 25")) << log();
    EXPECT_EQ(objectCount, 2);
    auto* frame = window->findChild<PropertyFrame*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), "Properties for m1.1");
    // Enter in a value applies the page, on the mirror.
    auto* xhw = frame->sheet()->widget(kTabDefinition)->findChild<QLineEdit*>("value0");
    xhw->setText("30");
    QTest::keyClick(xhw, Qt::Key_Return);
    EXPECT_NE(log().find("REDEFINED: define/mirror/flat/oval/back                30               25"),
              std::string::npos)
        << log();
    EXPECT_EQ(frame->windowTitle(), "Properties for m1.1");
    EXPECT_EQ(objectCount, 2);
}

TEST_F(DialogTest, ModifyEntryWithTheParameterDialog) {
    start("define/lens/spherical lens\n");
    viewObject = 1;
    answers = {DialogAnswer{{{"value1", "0.95"}}}};
    window->qelView()->core().RunCommandDialog(-1, "modify/surface/attributes");
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "modify/surface/attributes");
    EXPECT_TRUE(logHas("modify/surface/attributes lens 0.95 0 0 0")) << log();
}

TEST_F(DialogTest, RotateAndPlaceToolsSendTheirCommands) {
    start("define/lens/spherical lens\ndefine/lens/spherical base\nplace/object base 0 0 0\n");
    viewObject = 1;
    answers = {DialogAnswer{{{"angle", "12.5"}}, {{"frame", 0}, {"axis", 2}}}};
    viewSeams().toolDialog("Rotate...");
    EXPECT_TRUE(logHas("rotate/global/z lens 12.5")) << log();
    answers = {DialogAnswer{{{"x", "1"}, {"y", "2"}, {"z", "3"}, {"reference", "base"}},
                            {{"type", 1}}}};
    viewSeams().toolDialog("Place...");
    EXPECT_EQ(captions.back(), "Placement Tool");
    EXPECT_TRUE(logHas("place/object/relative lens base 1 2 3")) << log();
    EXPECT_EQ(viewObject, 1);
    // A bad object name keeps the dialog open: nothing runs.
    const std::string before = log();
    answers = {DialogAnswer{{{"object", "x;clear"}}}};
    viewSeams().toolDialog("Rotate...");
    EXPECT_EQ(refusals.size(), 1u);
    EXPECT_EQ(log(), before);
    EXPECT_EQ(objectCount, 2);
}

TEST_F(DialogTest, WavelengthCommandsRunAfterCancelWithTheTablesUnchanged) {
    start();
    answers = {DialogAnswer({}, {}, false)};
    viewSeams().toolDialog("Wavelength...");
    EXPECT_TRUE(logHas("set/weightwave 1 0 0 0 0 0   0 0 0 0 0 0")) << log();
    EXPECT_TRUE(logHas("set/wavelength 0.5 1 1 1 1 1  1 1 1 1 1 1")) << log();
    answers = {DialogAnswer{{{"wavelength0", "0.4861327"}, {"weight1", "0.5"}}}};
    viewSeams().toolDialog("Wavelength...");
    EXPECT_TRUE(logHas("set/wavelength 0.4861327 1 1 1 1 1  1 1 1 1 1 1")) << log();
    EXPECT_DOUBLE_EQ(wavelengthTable[0], 0.4861327);
    EXPECT_DOUBLE_EQ(weightTable[1], 0.5);
}

TEST_F(DialogTest, WorkboxAndPerspectiveWriteTheViewSettings) {
    start();
    answers = {DialogAnswer{{{"sizex", "75"}, {"sizey", "50"}, {"sizez", "100"}, {"centerx", "5"}}}};
    viewSeams().toolDialog("SetWorkbox...");
    EXPECT_EQ(workbox.center[0], 5);
    EXPECT_DOUBLE_EQ(qelViewState().gridExtent, 0.333 * 225);
    viewDistance = 500;
    answers = {DialogAnswer{{{"value", "74"}}}};
    viewSeams().toolDialog("Perspective...");
    EXPECT_EQ(captions.back(), "Set value");
    EXPECT_EQ(viewDistance, 500); // below 74.25: ignored
    answers = {DialogAnswer{{{"value", "75"}}}};
    viewSeams().toolDialog("Perspective...");
    EXPECT_EQ(viewDistance, 75);
}

TEST_F(DialogTest, IgesExportWritesTheFileWithTheDialogsTexts) {
    start("define/lens/spherical lens\nplace/object lens 0 0 0\n");
    answers = {DialogAnswer{{{"file", "part.igs"}, {"author", "Ann Author"}, {"productId", "P7"}}}};
    viewSeams().toolDialog("IGES export...");
    EXPECT_EQ(captions.back(), "Data to Include IGES file about to be written");
    const std::string iges = testsupport::readFile(home.path() / "part.igs");
    ASSERT_FALSE(iges.empty()) << screen();
    EXPECT_NE(iges.find("10HAnn Author"), std::string::npos);
    EXPECT_NE(iges.find("2HP7"), std::string::npos);
    EXPECT_NE(iges.find("8Hpart.igs"), std::string::npos);
    // The line records are gone and the data output is off again.
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
        EXPECT_NE(entry.path().filename().string().rfind("iges", 0), 0u) << entry.path();
    EXPECT_EQ(qelViewState().dataOutputOn, 0);
    EXPECT_TRUE(qelViewState().dataOutputFile.empty());
    // Cancel writes nothing.
    answers = {DialogAnswer({}, {}, false)};
    viewSeams().toolDialog("IGES export...");
    EXPECT_FALSE(std::filesystem::exists(home.path() / "output.igs"));
}

TEST_F(DialogTest, SolidToolRendersAndRemembersTheStep) {
    start("define/lens/spherical lens\nplace/object lens 0 0 0\n");
    viewRays = 1; // with the rays shown the wireframe still goes over the image
    answers = {DialogAnswer{{{"nx", "16"}, {"ny", "12"}}}};
    viewSeams().toolDialog("Solid...");
    EXPECT_EQ(captions.back(), "Solid Model Display Tool");
    EXPECT_EQ(memsplit, 1);
    EXPECT_EQ(solidMode, 2);
    EXPECT_EQ(systemMode, 1);
    EXPECT_EQ(toolDialogState().solidStep, 4);
    // Cancel keeps a solid mode already chosen and renders nothing.
    solidMode = 1;
    answers = {DialogAnswer({}, {}, false)};
    viewSeams().toolDialog("Solid...");
    EXPECT_EQ(solidMode, 1);
}

TEST_F(DialogTest, CubeCornerFromTheDesignMenu) {
    start("# no start-up commands\n");
    answers = {DialogAnswer{}};
    const int ran = defineCubeCorner(*window);
    EXPECT_EQ(captions, (std::vector<std::string>{"Define Cube Corner"}));
    EXPECT_EQ(ran, 54);
    EXPECT_TRUE(logHas("polynet/start retro-1 index=1.5 refl=0.0")) << log();
    EXPECT_TRUE(logHas("polynet/normal retro-1"));
    EXPECT_EQ(screen().find("ERROR"), std::string::npos) << screen();
    EXPECT_EQ(objectCount, 1);
    // The second one is named after the first.
    answers = {DialogAnswer{}};
    defineCubeCorner(*window);
    EXPECT_TRUE(logHas("polynet/normal retro0"));
    EXPECT_EQ(objectCount, 2);
}

TEST_F(DialogTest, TheMenusHoldTheNewEntries) {
    start();
    bool stl = false, cube = false;
    for (const auto& e : window->entries()) {
        stl = stl || e.path == "&File>ImportSTL...";
        cube = cube || e.path == "&Design>Prism>CornerCube...";
    }
    EXPECT_TRUE(stl);
    EXPECT_TRUE(cube);
}

class StlImportWindowTest : public DialogTest {
  protected:
    std::string writeStl(const std::string& name, const std::string& content) {
        writeFile(name, content);
        return home.file(name);
    }
    static QWidget* progressDialog() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "ReadingStlFile" && w->isVisible()) return w;
        return nullptr;
    }
    std::string bigAscii(int facets) {
        auto cube = stltest::cubeTriangles();
        std::vector<stltest::Triangle> many;
        for (int i = 0; i < facets; ++i) {
            auto t = cube[i % 12];
            for (auto& v : t)
                v[2] += static_cast<float>(i / 12);
            many.push_back(t);
        }
        return stltest::asciiSolid(many);
    }
};

TEST_F(StlImportWindowTest, ABinaryCubeBecomesOneNet) {
    start();
    prompts.files = {writeStl("cube.stl", stltest::binaryStl(stltest::cubeTriangles()))};
    answers = {DialogAnswer{{{"name", "cube"}}}};
    window->document().SetModifiedFlag(false);
    const auto r = importStlFile(*window);
    EXPECT_EQ(r.end, StlImportEnd::Finished);
    EXPECT_EQ(r.facets, 12);
    EXPECT_EQ(captions, (std::vector<std::string>{"STL Polynet Parameters"}));
    ASSERT_TRUE(prompts.wasAsked("open"));
    EXPECT_EQ(prompts.asked[0].text, "STL 3-D models (*.stl)");
    EXPECT_TRUE(logHas("polynet/start cube refl=1 abs=0 index=1")) << log();
    EXPECT_TRUE(logHas("polynet/fin"));
    EXPECT_NE(screen().find("Polynet complete."), std::string::npos);
    EXPECT_TRUE(window->document().IsModified());
    EXPECT_EQ(progressDialog(), nullptr);
    EXPECT_FALSE(window->platformHooks().commandRunning());
    EXPECT_NE(testsupport::readFile(home.path() / "mshwklog.txt").find("Meshwick"),
              std::string::npos);
    EXPECT_NE(treeItem("cube(polynet)"), nullptr) << treeTexts().join("|").toStdString();
}

TEST_F(StlImportWindowTest, TheEmptyNameBoxKeepsTheDialogOpen) {
    start();
    prompts.files = {writeStl("cube.stl", stltest::binaryStl(stltest::cubeTriangles()))};
    answers = {DialogAnswer{}};
    const auto r = importStlFile(*window);
    EXPECT_EQ(r.end, StlImportEnd::Cancelled);
    ASSERT_EQ(refusals.size(), 1u);
    bool incomplete = false;
    for (const auto& a : prompts.asked)
        incomplete = incomplete || (a.caption == "Incomplete" && a.text == "Enter an object name");
    EXPECT_TRUE(incomplete);
    EXPECT_EQ(objectCount, 0);
}

TEST_F(StlImportWindowTest, ANameInUseIsRefusedInTheDialogFirstAndTheNameComesFirst) {
    start("define/lens/spherical cube\n");
    prompts.files = {writeStl("cube.stl", stltest::binaryStl(stltest::cubeTriangles()))};
    answers = {DialogAnswer{{{"name", "cube"}}}};
    const std::string before = log();
    EXPECT_EQ(importStlFile(*window).end, StlImportEnd::Cancelled);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0], "\"cube\" is already in use.  Use a different name.");
    EXPECT_EQ(log(), before);
    // The fields in the order of their meaning, the keyboard in the first; the Placement Tool
    // asks how and where before the angles.
    auto row = [](FormDialog& f, QWidget* w) {
        int r = 0, col = 0, rs = 0, cs = 0;
        f.grid()->getItemPosition(f.grid()->indexOf(w), &r, &col, &rs, &cs);
        return r;
    };
    auto d = makeStlParametersDialog({}, nullptr, {});
    d->show();
    EXPECT_EQ(d->focusWidget(), d->field("name"));
    EXPECT_EQ(row(*d, d->field("name")), 0);
    auto c = makeCubeCornerDialog({"retro", 10, 1.5}, nullptr);
    c->show();
    EXPECT_EQ(c->focusWidget(), c->field("name"));
    auto p = makePlacementDialog(nullptr);
    EXPECT_EQ(row(*p, p->radioGroup("type")->button(0)->parentWidget()), 0);
    EXPECT_LT(row(*p, p->field("z")), row(*p, p->field("a")));
    // A caption longer than the fields is shown whole.
    ParameterRequest r;
    r.title = "modify/altsurfaces/aspheric/y_cylindrical";
    auto wide = makeParameterInputDialog(r, nullptr);
    wide->show();
    EXPECT_GE(wide->width(), wide->captionWidth());
}

TEST_F(StlImportWindowTest, EscapeAndCancelStopTheImportAndCloseTheDialog) {
    start("# no start-up commands\n");
    const std::string path = writeStl("big.stl", bigAscii(3000));
    for (int way = 0; way < 2; ++way) {
        prompts.files = {path};
        answers = {DialogAnswer{{{"name", way ? "viaCancel" : "viaEscape"}}}};
        bool pressed = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* d = progressDialog();
            if (!d || pressed) return;
            pressed = true;
            if (way == 0)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                static_cast<ReadingStlFileDialog*>(d)->cancelButton()->click();
        });
        timer.start(1);
        const auto r = importStlFile(*window);
        timer.stop();
        EXPECT_TRUE(pressed);
        EXPECT_EQ(r.end, StlImportEnd::Escaped) << way;
        EXPECT_GT(r.facets, 0);
        EXPECT_LT(r.facets, 3000);
        EXPECT_EQ(progressDialog(), nullptr);
        EXPECT_FALSE(window->platformHooks().commandRunning());
    }
    // Both nets were finished with what was read.
    EXPECT_EQ(screen().find("ERROR"), std::string::npos);
    std::size_t complete = 0, at = 0;
    const std::string s = screen();
    while ((at = s.find("Polynet complete.", at)) != std::string::npos) {
        ++complete;
        ++at;
    }
    EXPECT_EQ(complete, 2u);
}

} // namespace

// The document menu's placement tool shows the "Placement Tool" dialog preset with the object's
// placement and hands back what was typed.
TEST_F(DialogTest, ThePlacementToolDialogShowsAndReturnsThePlacement) {
    start("define/lens/spherical lens\nplace/rotations lens 1 2 3 0 30 0\n");
    ASSERT_TRUE(documentMenuModule().placementDialog);
    PlacementToolValues shown;
    shown.name = "lens";
    shown.x = 1, shown.y = 2, shown.z = 3, shown.beta = 30;
    answers = {DialogAnswer{{{"z", "9"}, {"g", "45"}}}};
    const auto edited = documentMenuModule().placementDialog(shown);
    EXPECT_EQ(captions.back(), "Placement Tool");
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->name, "lens");
    EXPECT_DOUBLE_EQ(edited->x, 1);
    EXPECT_DOUBLE_EQ(edited->beta, 30);
    EXPECT_DOUBLE_EQ(edited->z, 9);
    EXPECT_DOUBLE_EQ(edited->gamma, 45);
    answers = {DialogAnswer{{}, {}, false}};
    EXPECT_FALSE(documentMenuModule().placementDialog(shown));
}
