// The object property frame offscreen: opening and hiding, following the selection, the type
// choices, browsing for plug-ins, applies reaching meridyn.log, refusals and the Definition tab.
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <filesystem>

#include "parts/part_list.h"
#include "tests/ui/qt/shell_fixture.h"
#include "ui/qt/property_frame.h"

using namespace shelltest;

namespace {

const std::string kPluginDir = MERIDYN_PLUGIN_DIR;

class PropertyFrameTest : public ShellTest {
  protected:
    PropertyFrame& open(const std::string& label, int surface) {
        EXPECT_TRUE(window->tree()->SelectTreeItem(label, 1));
        QTreeWidgetItem* item = treeItem(
            QString::fromStdString(label) + "(" +
            QString::fromStdString(objectKindName(getObject(viewObject - 1)->typeCode)) + ")");
        if (item && surface > 1 && item->childCount() >= surface)
            window->tree()->setCurrentItem(item->child(surface - 1));
        QAction* entry = findEntry("&Edit>ObjectProperties...");
        EXPECT_TRUE(entry);
        if (entry) entry->trigger();
        return *host()->frame();
    }
    PropertyFrameHost* host() const { return window->findChild<PropertyFrameHost*>(); }
    QAction* findEntry(const std::string& path) const { return byText(path); }
    QAction* byText(const std::string& path) const {
        const QString last = QString::fromStdString(path.substr(path.rfind('>') + 1));
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text() == last) return a;
        return nullptr;
    }
    QWidget* page(PropertyFrame& f, int tab) const { return f.sheet()->widget(tab); }
    QLineEdit* edit(PropertyFrame& f, int tab, const char* name) const {
        return page(f, tab)->findChild<QLineEdit*>(name);
    }
    QButtonGroup* radios(PropertyFrame& f, int tab, const char* name = "type") const {
        return page(f, tab)->findChild<QButtonGroup*>(name);
    }
    void choose(PropertyFrame& f, int tab, int id, const char* name = "type") {
        radios(f, tab, name)->button(id)->click();
    }
    QString label(PropertyFrame& f, int tab, const char* name) const {
        return page(f, tab)->findChild<QLabel*>(name)->text();
    }
    int boxes(const std::string& text) const {
        int n = 0;
        for (const auto& a : prompts.asked)
            if (a.text == text) ++n;
        return n;
    }
};

constexpr const char* kModel = "define/lens/spherical len 100 -80 12 50 1.5\n"
                               "define/mirror/flat/rectangle xhw=25 yhw=20 mir\n"
                               "define/lightsource src\n"
                               "place/rotations mir 0 0 50 0 0 0\n";

TEST_F(PropertyFrameTest, OpensOnTheSelectionHidesOnCloseAndFollowsTheSelection) {
    start(kModel);
    PropertyFrame& f = open("len", 2);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), "Properties for len.2");
    ASSERT_EQ(f.sheet()->count(), 9);
    const QStringList tabs = {"Definition", "Placement", "Attributes", "AltSurfs", "Scattering",
                              "Fresnel",    "Extent",    "Media",      "Sources"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(f.sheet()->tabText(i), tabs[i]);
    EXPECT_EQ(edit(f, kTabDefinition, "value1")->text(), "-80");
    EXPECT_EQ(label(f, kTabDefinition, "valueLabel0"), "r1");

    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(host()->frame(), &f); // hidden, not destroyed
    // Hidden, it still follows the selection; shown again it shows the new object.
    ASSERT_TRUE(window->tree()->SelectTreeItem("mir", 1));
    PropertyFrame& again = open("mir", 1);
    EXPECT_EQ(&again, &f);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), "Properties for mir.1");
    EXPECT_EQ(edit(f, kTabPlacement, "value2")->text(), "50");
    // The place-inside list: no entry, then the others, not the page's own object.
    auto* inside = page(f, kTabPlacement)->findChild<QComboBox*>("inside");
    EXPECT_EQ(inside->count(), 3);
    EXPECT_EQ(inside->itemText(0), "   ");
    EXPECT_EQ(inside->findText("mir"), -1);
}

TEST_F(PropertyFrameTest, TypeChoicesPresetTheirValuesAndAppliesReachTheLog) {
    start(kModel);
    PropertyFrame& f = open("len", 1);
    choose(f, kTabFresnel, 2);
    EXPECT_EQ(edit(f, kTabFresnel, "value4")->text(), "1.5");
    f.applyButton(kTabFresnel)->click();
    EXPECT_NE(log().find("modify/surface/metal/on len.1"), std::string::npos);
    EXPECT_NE(screen().find("set fresnel mode METAL 0.5 1 1 0 1.5 0 ."), std::string::npos);
    // The applied page shows the model again.
    EXPECT_EQ(radios(f, kTabFresnel)->checkedId(), 2);

    choose(f, kTabAltSurfs, 3);
    EXPECT_EQ(radios(f, kTabAltSurfs, "kind")->checkedId(), 0);
    EXPECT_EQ(label(f, kTabAltSurfs, "valueLabel1"), "sp");
    f.applyButton(kTabAltSurfs)->click();
    EXPECT_EQ(radios(f, kTabAltSurfs)->checkedId(), 3);

    choose(f, kTabMedia, 1);
    EXPECT_EQ(label(f, kTabMedia, "valueLabel2"), "anisotropy");
    edit(f, kTabMedia, "absorption")->setText("0.01");
    f.applyButton(kTabMedia)->click();
    const std::string l = log();
    EXPECT_NE(l.find("modify/object/absor len.1 0.01 "), std::string::npos);
    EXPECT_NE(l.find("material/bulk/attach len.1 0.1 0.2 0.8"), std::string::npos);
    EXPECT_EQ(radios(f, kTabMedia)->checkedId(), 1);

    // The placement of the mirror.
    PropertyFrame& m = open("mir", 1);
    edit(m, kTabPlacement, "value0")->setText("7.5");
    m.applyButton(kTabPlacement)->click();
    EXPECT_NE(log().find("plac/rota mir.1             7.5"), std::string::npos);
    EXPECT_EQ(edit(m, kTabPlacement, "value0")->text(), "7.5");
}

TEST_F(PropertyFrameTest, TypedCommandsRefreshTheSheet) {
    start(kModel);
    PropertyFrame& f = open("len", 1);
    type("modify/surface/metal/on len.1 0.5 1 1 0 1.5 0");
    EXPECT_EQ(radios(f, kTabFresnel)->checkedId(), 2);
    type("material/attach len 0.3 0.2 0.5");
    EXPECT_EQ(radios(f, kTabMedia)->checkedId(), 1);
    EXPECT_EQ(edit(f, kTabMedia, "value0")->text(), "0.3");
    // The Media page shows every digit, so an Apply of what it shows gives the same numbers.
    type("material/attach len 0.123456789012345 0.2 0.5");
    EXPECT_EQ(edit(f, kTabMedia, "value0")->text(), "0.123456789012345");
    f.applyButton(kTabMedia)->click();
    EXPECT_NE(log().find("material/bulk/attach len.1 0.123456789012345 0.2 0.5"), std::string::npos)
        << log();
}

TEST_F(PropertyFrameTest, EveryApplyReachesTheLog) {
    start(kModel);
    PropertyFrame& f = open("mir", 1);
    edit(f, kTabAttributes, "value0")->setText("0.9");
    f.applyButton(kTabAttributes)->click();
    choose(f, kTabScattering, 1);
    f.applyButton(kTabScattering)->click();
    choose(f, kTabAltSurfs, 4);
    f.applyButton(kTabAltSurfs)->click();
    choose(f, kTabExtent, 1, "holeType");
    edit(f, kTabExtent, "hole1")->setText("2");
    edit(f, kTabExtent, "hole3")->setText("3");
    f.applyButton(kTabExtent)->click();
    f.applyButton(kTabPlacement)->click();
    const std::string l = log();
    for (const char* line :
         {"modify/surface/attributes mir.1              0.9                0",
          "modify/scatterer/lambertian mir.1                0",
          "modify/altsurfaces/grating mir.1               50                0                1",
          "modify/hole/rectang mir.1                0                0                2            "
          "    3",
          "modify/extent mir.1              -25              -20", "plac/rota mir.1"})
        EXPECT_NE(l.find(line), std::string::npos) << line;
    EXPECT_EQ(screen().find("ERROR"), std::string::npos) << screen();
    // The pages show the model afterwards.
    EXPECT_EQ(radios(f, kTabExtent, "holeType")->checkedId(), 1);
    EXPECT_EQ(edit(f, kTabAttributes, "value0")->text(), "0.9");
    EXPECT_EQ(radios(f, kTabAltSurfs)->checkedId(), 4);
}

TEST_F(PropertyFrameTest, RefusalsIssueNothing) {
    start(kModel);
    PropertyFrame& f = open("mir", 1);
    const std::string before = log();
    edit(f, kTabAttributes, "value0")->setText("0,5");
    f.applyButton(kTabAttributes)->click();
    EXPECT_EQ(boxes("\"0,5\" is not a number; nothing was applied."), 1);
    EXPECT_EQ(log(), before);
    PropertyFrame& s = open("src", 1);
    choose(s, kTabSources, 1);
    EXPECT_EQ(edit(s, kTabSources, "dll")->text(), "<select a source dll>");
    s.applyButton(kTabSources)->click(); // the placeholder is no file
    edit(s, kTabSources, "dll")
        ->setText(QString::fromStdString("/" + std::string(240, 'p') + ".so"));
    s.applyButton(kTabSources)->click(); // too long for the reader
    EXPECT_EQ(log(), before);
    int refusals = 0;
    for (const auto& a : prompts.asked)
        if (a.caption == kPropertyRefusalCaption) ++refusals;
    EXPECT_EQ(refusals, 3);
}

TEST_F(PropertyFrameTest, BrowsingLabelsFromThePluginAndKeepsTheDirectory) {
    start(kModel);
    const auto cwd = std::filesystem::current_path();
    PropertyFrame& f = open("src", 1);
    choose(f, kTabSources, 1);
    prompts.files.push_back(kPluginDir + "/raysrc7.so");
    page(f, kTabSources)->findChild<QPushButton*>("browseDll")->click();
    EXPECT_EQ(label(f, kTabSources, "valueLabel5"), "dz");
    EXPECT_EQ(label(f, kTabSources, "valueLabel6"), "weight");
    EXPECT_EQ(std::filesystem::current_path(), cwd);
    // Cancel: nothing bound, no box.
    const std::size_t asked = prompts.asked.size();
    page(f, kTabSources)->findChild<QPushButton*>("browseDll")->click();
    EXPECT_EQ(prompts.asked.size(), asked + 1); // the chooser only
    EXPECT_EQ(std::filesystem::current_path(), cwd);
    f.applyButton(kTabSources)->click();
    EXPECT_NE(screen().find("Loaded custom source " + kPluginDir + "/raysrc7.so for object src"),
              std::string::npos);
    EXPECT_EQ(radios(f, kTabSources)->checkedId(), 1);
    EXPECT_EQ(label(f, kTabSources, "valueLabel5"), "dz");

    // Not a plug-in.
    writeFile("notaplugin.so", "text");
    prompts.files.push_back(home.file("notaplugin.so"));
    page(f, kTabSources)->findChild<QPushButton*>("browseDll")->click();
    EXPECT_EQ(boxes("DLL not found or wrong type."), 1);
    EXPECT_EQ(prompts.asked.back().caption, "Source dll error");

    PropertyFrame& m = open("len", 1);
    choose(m, kTabMedia, 2);
    EXPECT_EQ(edit(m, kTabMedia, "dll")->text(), "<select dll>");
    prompts.files.push_back(kPluginDir + "/ixprof01.so");
    page(m, kTabMedia)->findChild<QPushButton*>("browseDll")->click();
    EXPECT_EQ(label(m, kTabMedia, "valueLabel0"), "maxdist");
    EXPECT_EQ(std::filesystem::current_path(), cwd);
}

TEST_F(PropertyFrameTest, DefinitionActivationLogsNothingAndDeletionBlanksThePages) {
    start(kModel);
    PropertyFrame& f = open("len", 1);
    f.sheet()->setCurrentIndex(kTabExtent);
    window->document().SetModifiedFlag(false);
    const std::string before = log(), screenBefore = screen();
    f.sheet()->setCurrentIndex(kTabDefinition);
    EXPECT_EQ(log(), before);
    EXPECT_EQ(screen(), screenBefore);
    EXPECT_FALSE(window->document().IsModified());

    // The sheet keeps no pointer: the next load of the deleted label finds nothing.
    type("delete len");
    f.SetObjectNames("len", 1);
    EXPECT_EQ(edit(f, kTabDefinition, "value0")->text(), "0");
    EXPECT_EQ(label(f, kTabDefinition, "valueLabel0"), "n/a");
    for (int tab = 0; tab < kPropertyTabCount; ++tab)
        EXPECT_FALSE(f.applyButton(tab)->isEnabled()) << tab;
    f.applyButton(kTabFresnel)->click(); // disabled: nothing happens
}

TEST_F(PropertyFrameTest, DefinitionApplyRedefinesThePart) {
    start(kModel);
    PropertyFrame& f = open("len", 1);
    edit(f, kTabDefinition, "value2")->setText("15");
    viewObject = 2; // another selection in the views: the page redefines its own object
    f.applyButton(kTabDefinition)->click();
    EXPECT_NE(log().find("define/lens/spherical "), std::string::npos);
    EXPECT_EQ(edit(f, kTabDefinition, "value2")->text(), "15");
    EXPECT_EQ(treeTexts().size(), 3); // redefined in place, no new object
    EXPECT_EQ(thePartList->FindPart("len")->defineValues[2], 15);
    EXPECT_EQ(thePartList->FindPart("mir")->definePath, "define/mirror/flat/rectangle");
}

} // namespace
