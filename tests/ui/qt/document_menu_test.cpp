// The document's menu entries on the window offscreen: macros run and rerun from a path with
// blanks, the saved history, Copy text, the options and the enabling table applied to the menus.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>
#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>

#include "parts/part_list.h"
#include "tests/ui/qt/shell_fixture.h"
#include "ui/qt/document_menu_entries.h"
#include "ui/qt/qel_view.h"
#include "ui/props/document_menu.h"

using namespace shelltest;
namespace fs = std::filesystem;

namespace {

class DocumentMenuTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        resetDocumentMenuState();
    }
    void TearDown() override {
        resetDocumentMenuState();
        ShellTest::TearDown();
    }
    // The action of the entry of that path.
    QAction* entry(const std::string& path) {
        const auto& entries = window->entries();
        QList<QAction*> actions;
        for (QAction* a : window->findChildren<QAction*>())
            actions << a;
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].path == path) {
                const QString last = QString::fromStdString(path.substr(path.rfind('>') + 1));
                for (QAction* a : actions)
                    if (a->text() == last) return a;
            }
        ADD_FAILURE() << "no entry " << path;
        return nullptr;
    }
    void trigger(const std::string& path) {
        if (QAction* a = entry(path)) a->trigger();
    }
};

TEST_F(DocumentMenuTest, RunMacroAndRerunQuoteAPathWithBlanks) {
    start();
    window->updateActions();
    EXPECT_FALSE(entry("&File>ReRunLastMacro")->isEnabled());
    EXPECT_FALSE(entry("&File>ClearReRunMacro")->isEnabled());
    fs::create_directories(home.path() / "my macros");
    writeFile("my macros/two lenses.mac", "define/lens\ndefine/lens\n");
    const std::string path = home.file("my macros/two lenses.mac");
    prompts.files.push_back(path);
    trigger("&File>RunMacro...");
    EXPECT_NE(log().find("macro/run/name=\"" + path + "\""), std::string::npos);
    EXPECT_EQ(objectCount, 2);
    EXPECT_TRUE(entry("&File>ReRunLastMacro")->isEnabled());

    // Clearing drops unsaved work: it asks first; Cancel keeps the model, No goes on.
    type("define/lens");
    ASSERT_TRUE(window->document().IsModified());
    trigger("&File>ClearReRunMacro");
    EXPECT_TRUE(prompts.wasAsked("yesnocancel"));
    EXPECT_EQ(objectCount, 3);
    prompts.yesNoCancel = {Answer::No};
    trigger("&File>ClearReRunMacro");
    EXPECT_EQ(objectCount, 2); // cleared, then run again
    // This macro does not clear: rerunning it adds to the model without a question.
    const std::size_t questions = prompts.asked.size();
    trigger("&File>ReRunLastMacro");
    EXPECT_EQ(objectCount, 4);
    EXPECT_EQ(prompts.asked.size(), questions);
    EXPECT_EQ(screen().find("ERROR"), std::string::npos);
    // A saved history begins with clear (after comments, abbreviated, in capitals): rerunning it
    // asks as well.
    writeFile("history.mac", "# > saved\n\n  CLEA\ndefine/lens\n");
    EXPECT_TRUE(macroBeginsWithClear(home.file("history.mac")));
    EXPECT_FALSE(macroBeginsWithClear(home.file("missing.mac")));
    documentMenuModule().lastMacroPath = home.file("history.mac");
    trigger("&File>ReRunLastMacro");
    EXPECT_EQ(prompts.asked.size(), questions + 1);
    EXPECT_EQ(objectCount, 4);
    prompts.yesNoCancel = {Answer::No};
    trigger("&File>ReRunLastMacro");
    EXPECT_EQ(objectCount, 1);

    // A path the reader would change is refused with a box, nothing run.
    prompts.files.push_back(home.file("a|b.mac"));
    const std::string before = log();
    trigger("&File>RunMacro...");
    EXPECT_EQ(log(), before);
    EXPECT_TRUE(prompts.wasAsked("info"));
}

TEST_F(DocumentMenuTest, SaveHistoryWritesTheLogSafelyAndReplays) {
    start("define/lens/spherical len 100 -80 12 50 1.5\ndefine/mirror/flat/rectangle xhw=25 yhw=20 "
          "mir\n");
    type("place/rotations mir 0 0 40 0 0 0");
    const std::string path = home.file("history one.mac");
    prompts.files.push_back(path);
    trigger("&File>SaveHistory(Macr&o)...");
    const std::string saved = testsupport::readFile(path);
    EXPECT_NE(saved.find("place/rotations mir 0 0 40 0 0 0"), std::string::npos);
    EXPECT_FALSE(window->document().IsModified());
    EXPECT_EQ(documentMenuModule().lastMacroPath, path);
    EXPECT_EQ(window->windowTitle(), "history one.mac - MERIDYN");
    EXPECT_EQ(window->recentFiles().entries().front(), path);

    // A target that cannot be written keeps what stood there, with the box.
    fs::create_directory(home.path() / "dir.mac");
    prompts.files.push_back(home.file("dir.mac"));
    trigger("&File>SaveHistory(Macr&o)...");
    EXPECT_TRUE(fs::is_directory(home.path() / "dir.mac"));
    EXPECT_TRUE(prompts.wasAsked("info"));
}

TEST_F(DocumentMenuTest, CopyTextOptionsAndTheTable) {
    start();
    type("show/workbox");
    trigger("&Edit>CopyText");
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_FALSE(copied.isEmpty());
    EXPECT_TRUE(screen().find(copied.toStdString()) != std::string::npos ||
                copied.toStdString().find("workbox") != std::string::npos);

    // Text outputs are written through a temporary file; a folder in the way gets the box.
    prompts.files.push_back(home.file("rays out.txt"));
    trigger("&File>SaveRaysAsText...");
    EXPECT_TRUE(fs::is_regular_file(home.path() / "rays out.txt"));
    fs::create_directory(home.path() / "spot.txt");
    prompts.files.push_back(home.file("spot.txt"));
    trigger("&File>SaveSpotsAsText...");
    EXPECT_TRUE(fs::is_directory(home.path() / "spot.txt"));
    bool refused = false;
    for (const auto& a : prompts.asked)
        refused = refused || a.text == "Unable to open spot text file " + home.file("spot.txt") +
                                           " for output.";
    EXPECT_TRUE(refused);

    window->updateActions();
    QAction* addRaysAction = entry("&Options>AddRays");
    EXPECT_FALSE(addRaysAction->isChecked());
    addRaysAction->trigger();
    EXPECT_EQ(addRays, 1);
    EXPECT_TRUE(addRaysAction->isChecked());
    trigger("&Window>SetUnits>mm");
    EXPECT_NE(log().find("set/units/mm"), std::string::npos);
    EXPECT_TRUE(entry("&Window>SetUnits>mm")->isChecked());
    EXPECT_FALSE(entry("&File>Import&IGES...")->isEnabled());
    // Rows for the view's entries: no object, no light source.
    EXPECT_FALSE(entry("&Edit>Translate...")->isEnabled());
    type("define/lens lens1");
    window->updateActions();
    EXPECT_TRUE(entry("&Edit>Translate...")->isEnabled());
}

TEST_F(DocumentMenuTest, PlacementToolMovesTheObjectAsTheLogReplaysIt) {
    start("define/mirror/flat/rectangle xhw=25 yhw=20 mir\nplace/rotations mir 0 0 40 0 0 0\n");
    window->tree()->SelectTreeItem("mir", 1);
    PlacementToolValues shown;
    documentMenuModule().placementDialog = [&shown](const PlacementToolValues& v) {
        shown = v;
        PlacementToolValues edited = v;
        edited.x = 12.25;
        edited.beta = 30;
        return std::optional<PlacementToolValues>(edited);
    };
    window->document().SetModifiedFlag(false);
    QAction* tool = nullptr;
    for (QAction* a : window->findChildren<QAction*>())
        if (a->statusTip() == "Display the objects placement and adjust it numerically.") tool = a;
    ASSERT_TRUE(tool);
    window->updateActions();
    EXPECT_TRUE(tool->isEnabled());
    tool->trigger();
    EXPECT_EQ(shown.name, "mir");
    EXPECT_EQ(shown.z, 40);
    EXPECT_TRUE(shown.placed);
    const std::string l = log();
    EXPECT_NE(l.find("# > adjust placement\nremove mir\nplace/rotations mir 12.25 0 40 0 30 0 \n"),
              std::string::npos)
        << l;
    EXPECT_TRUE(window->document().IsModified());
    CPlacementInfo info;
    ASSERT_TRUE(thePartList->FindPart("mir")->GetPlacement(info));
    EXPECT_DOUBLE_EQ(info.x, 12.25);
    EXPECT_DOUBLE_EQ(info.z, 40);
}

TEST_F(DocumentMenuTest, EveryTableRowIsOneEntryAndItsStateFollowsTheModelAtOnce) {
    start();
    const auto& entries = window->entries();
    auto actionOf = [&](const std::string& path) -> QAction* {
        for (const ShellEntry& e : entries)
            if (e.path == path) return window->action(e.id);
        return nullptr;
    };
    for (const std::string& row : documentMenuTexts()) {
        const auto n = std::count_if(entries.begin(), entries.end(),
                                     [&](const ShellEntry& e) { return e.path == row; });
        EXPECT_EQ(n, 1) << "a row that is not one entry: " << row;
    }
    // One Display and one Raytrace submenu under Analyze.
    QStringList analyze;
    for (QAction* a : window->menuBar()->actions())
        if (a->text() == "&Analyze")
            for (QAction* sub : a->menu()->actions())
                analyze << sub->text();
    EXPECT_EQ(analyze.count("&Display"), 1) << analyze.join("|").toStdString();
    EXPECT_EQ(analyze.count("&Raytrace"), 1);
    EXPECT_FALSE(analyze.contains("Display") || analyze.contains("Raytrace"));

    // Without objects, then with a light source and a lens: each row's action follows the table
    // after the command, without a menu being opened.
    const char* light[] = {"&Analyze>&Raytrace>Cone>Eqangle...", "&Analyze>&Display>Rays",
                           "#105>CosineLamp..."};
    const char* objects[] = {"&Analyze>&Display>Geometry", "#105>Scatterer>Show...",
                             "#toolbar>Display the objects placement and adjust it numerically."};
    for (const char* p : light)
        EXPECT_FALSE(actionOf(p)->isEnabled()) << p;
    for (const char* p : objects)
        EXPECT_FALSE(actionOf(p)->isEnabled()) << p;
    EXPECT_FALSE(actionOf(kPauseMacroPath)->isEnabled());
    type("define/lightsource lamp; place/object lamp 0 0 -50; define/lens lens1");
    for (const char* p : light)
        EXPECT_TRUE(actionOf(p)->isEnabled()) << p;
    for (const char* p : objects)
        EXPECT_TRUE(actionOf(p)->isEnabled()) << p;
    for (const std::string& row : documentMenuTexts()) {
        const auto t = documentMenuItemState(row, documentMenuSnapshot(*window));
        if (!t->enabled) {
            EXPECT_FALSE(actionOf(row)->isEnabled()) << row;
        }
        if (t->checkable) {
            EXPECT_EQ(actionOf(row)->isChecked(), t->checked) << row;
        }
    }
    // A selection in the tree brings the entries up to date once its events are handled: the
    // intensity view follows the selected part's radiometer.
    bitmapState().radiometer = [](const std::string& name) -> std::optional<IntensityBins> {
        if (name != "lamp") return std::nullopt;
        IntensityBins b;
        b.nx = b.ny = 2;
        b.scaled = [](int, int) { return 1.0; };
        return b;
    };
    QAction* intensity = window->action(32962);
    autoRedraw = 0; // no repaint to bring them up to date
    window->tree()->SelectTreeItem("lens1", 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(intensity->isEnabled());
    window->tree()->SelectTreeItem("lamp", 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(intensity->isEnabled());
    bitmapState().radiometer = nullptr;
}

TEST_F(DocumentMenuTest, ToolbarsAndTheObjectBoxShowTheirPictures) {
    start("define/lens lens1\ndefine/lightsource lamp\n");
    // The main toolbar: every button in its order, each with its picture and its menu path as tip.
    const int order[] = {57600, 57601, 57603, 57607, 57609, 32768, 32769, 32770, 32771,
                         32772, 32773, 32962, 32774, 33012, 32784, 32783, 32930, 32931,
                         32867, 32868, 32869, 32865, 32916, 32981, 32998};
    std::vector<int> shown;
    for (QAction* a : window->mainToolBar()->actions()) {
        if (a->isSeparator()) continue;
        for (const ShellEntry& e : window->entries())
            if (window->action(e.id) == a) shown.push_back(e.id);
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    }
    EXPECT_EQ(shown, std::vector<int>(std::begin(order), std::end(order)));
    EXPECT_EQ(window->action(32931)->toolTip(), "File > ReRunLastMacro");
    // The view's toolbar: every button named by its prompt, the placement tool among them.
    int buttons = 0;
    bool placement = false;
    for (QAction* a : window->qelView()->toolBar()->actions()) {
        ++buttons;
        EXPECT_FALSE(a->icon().isNull()) << a->toolTip().toStdString();
        EXPECT_EQ(a->toolTip(), a->text());
        placement = placement || a->toolTip() == "Display the objects placement and adjust it numerically.";
    }
    EXPECT_EQ(buttons, 14);
    EXPECT_TRUE(placement);
    // The held bitmap's entries are in the view's context menu.
    QStringList context;
    for (QAction* a : window->qelView()->contextMenu()->actions())
        context << a->text();
    EXPECT_TRUE(context.contains("CopyBitmap") && context.contains("BitmapToMask"));
    // The ObjectBox: the root, each object by its kind and each surface have their pictures.
    const QTreeWidgetItem* root = window->tree()->root();
    const QImage rootPicture = root->icon(0).pixmap(16, 16).toImage();
    const QImage lens = root->child(0)->icon(0).pixmap(16, 16).toImage();
    const QImage lamp = root->child(1)->icon(0).pixmap(16, 16).toImage();
    const QImage surface = root->child(0)->child(0)->icon(0).pixmap(16, 16).toImage();
    for (const QImage* i : {&rootPicture, &lens, &lamp, &surface})
        EXPECT_EQ(i->size(), QSize(16, 16));
    EXPECT_NE(lens, lamp);
    EXPECT_NE(lens, surface);
    EXPECT_NE(rootPicture, lens);
}

} // namespace
