// The document's menu entries on the window offscreen: macros run and rerun from a path with
// blanks, the saved history, Copy text, the options and the enabling table applied to the menus.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>

#include "parts/part_list.h"
#include "tests/ui/qt/shell_fixture.h"
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

} // namespace
