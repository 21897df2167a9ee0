// The main window offscreen: start-up, the command line, the history, the ObjectBox, files and
// prompts, the pause dialog, Escape and closing while a command runs.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QMimeData>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <filesystem>

#include "command/saving/model_saving.h"
#include "tests/ui/qt/shell_fixture.h"
#include "ui/qt/command_line.h"
#include "ui/qt/qt_platform_hooks.h"
#include "ui/qt/view_widget.h"

using namespace shelltest;
namespace fs = std::filesystem;

TEST_F(ShellTest, StartUpRunsStartupOptAndFillsTreeHistoryTitleAndPanes) {
    start(kTwoLenses);
    EXPECT_EQ(treeTexts(), QStringList{"lens1(lens)"});
    EXPECT_EQ(treeItem("lens1(lens)")->childCount(), 3);
    EXPECT_EQ(treeItem("lens1(lens)")->child(2)->text(0), "Surface3");
    EXPECT_EQ(window->windowTitle(), "Untitled.opt - MERIDYN");
    EXPECT_EQ(log().rfind("clear\n", 0), 0u);
    EXPECT_NE(log().find("place/object lens1 0 0 0"), std::string::npos);
    EXPECT_TRUE(history().contains("MERIDYN Cleared.") || !history().isEmpty());
    EXPECT_FALSE(window->document().IsModified());
    EXPECT_EQ(window->pane(4)->text(), "Az/El");
    EXPECT_EQ(window->pane(5)->text(), "45 , 20"); // the view's own angles
    EXPECT_EQ(window->pane(1)->text(), "0");
    // The toolbar holds the file entries in order; the command combo keeps no list.
    const auto tools = window->mainToolBar()->actions();
    ASSERT_GE(tools.size(), 3);
    EXPECT_EQ(tools[0]->text(), "&New (Clear)");
    EXPECT_EQ(tools[2]->text(), "&Save");
    EXPECT_EQ(window->commandLine()->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(window->action(57600)->shortcut(), QKeySequence("Ctrl+N"));
}

TEST_F(ShellTest, EnterRunsTheTypedLineIntoLogScreenHistoryAndTree) {
    start(kTwoLenses);
    const int rendersBefore = window->view()->renderCount();
    type("define/lens lens12");
    EXPECT_NE(log().find("define/lens lens12"), std::string::npos);
    EXPECT_EQ(treeTexts(), (QStringList{"lens1(lens)", "lens12(lens)"}));
    EXPECT_TRUE(window->document().IsModified());
    EXPECT_TRUE(window->commandLine()->currentText().isEmpty());
    EXPECT_EQ(window->commandLine()->count(), 0);
    EXPECT_GT(window->view()->renderCount(), rendersBefore);
    // The history is the tail of screen.out, its last entry selected.
    const QStringList h = history();
    ASSERT_FALSE(h.isEmpty());
    EXPECT_EQ(window->historyCombo()->currentIndex(), window->historyCombo()->count() - 1);
    EXPECT_NE(screen().find(h.back().toStdString()), std::string::npos);
    // Enter through the key goes the same way.
    window->commandLine()->setEditText("define/lens lens3");
    QTest::keyClick(window->commandLine()->edit(), Qt::Key_Return);
    EXPECT_NE(log().find("define/lens lens3"), std::string::npos);
}

TEST_F(ShellTest, PastedLinesRunOneByOneAndInjectedTextCannotHurt) {
    start();
    window->commandLine()->edit()->setText("define/");
    window->commandLine()->edit()->end(false);
    window->commandLine()->edit()->pasteText("lens p1\ndefine/lens p2\n");
    EXPECT_EQ(treeTexts(), (QStringList{"p1(lens)", "p2(lens)"}));
    // A line with control characters and a very long one run as blanks and whole text.
    type(std::string("show/workbox\x01\x02") + std::string(5000, 'x'));
    type("define/lens q;clear");
    EXPECT_FALSE(treeTexts().isEmpty() && objectCount > 0);
}

TEST_F(ShellTest, TheTreeKeepsItemsDropsDeletedOnesAndFollowsTheSelection) {
    start("define/lens lens1\ndefine/lens lens12\ndefine/lens lens3\n");
    QTreeWidgetItem* lens12 = treeItem("lens12(lens)");
    ASSERT_TRUE(lens12);
    lens12->setExpanded(false);
    type("show/workbox");
    EXPECT_EQ(treeItem("lens12(lens)"), lens12); // kept, and kept collapsed
    EXPECT_FALSE(lens12->isExpanded());
    type("delete lens1");
    EXPECT_EQ(treeTexts(), (QStringList{"lens12(lens)", "lens3(lens)"}));
    // A remade lens1 comes after lens12; selecting lens1 must not pick lens12.
    type("define/lens lens1");
    EXPECT_EQ(treeTexts(), (QStringList{"lens12(lens)", "lens3(lens)", "lens1(lens)"}));
    ASSERT_TRUE(window->tree()->SelectTreeItem("lens1", 1));
    EXPECT_EQ(window->tree()->selectedItem(), treeItem("lens1(lens)"));
    EXPECT_EQ(std::string(objectLabel(viewObject)), "lens1");
    EXPECT_FALSE(window->tree()->SelectTreeItem("lens", 1));
}

TEST_F(ShellTest, SelectingASurfaceSelectsItsObjectAndSurfaceNumber) {
    start("define/lens lens1\ndefine/lens lens2\n");
    QTreeWidgetItem* lens1 = treeItem("lens1(lens)");
    window->tree()->setCurrentItem(lens1->child(2));
    EXPECT_EQ(window->tree()->selectedSurface(), 3);
    EXPECT_EQ(window->tree()->selectedItem(), lens1);
    EXPECT_EQ(shellState().treeSurfaceNumber, 3);
    EXPECT_EQ(std::string(objectLabel(viewObject)), "lens1");
    EXPECT_EQ(shellState().selectedPartName, "lens1");
    window->tree()->setCurrentItem(treeItem("lens2(lens)"));
    EXPECT_EQ(window->tree()->selectedSurface(), 1);
    EXPECT_EQ(std::string(objectLabel(viewObject)), "lens2");
    const int before = viewObject;
    window->tree()->setCurrentItem(window->tree()->root());
    EXPECT_EQ(viewObject, before); // the root selects nothing
    // A typed delete leaves no dangling selection: the part is found by name at each use.
    type("delete lens2");
    window->SelectCurrentObjectQuiet();
    EXPECT_NE(shellState().selectedPartName, "lens2");
}

TEST_F(ShellTest, RenameByEditingRunsTheRenameCommandAndRefusesNonNames) {
    start(kTwoLenses);
    auto rename = [&](QTreeWidgetItem* item, const QString& text) {
        ASSERT_TRUE(item);
        window->tree()->editItem(item);
        QLineEdit* editor = nullptr;
        for (auto* e : window->tree()->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        ASSERT_TRUE(editor);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The commit and the rename each wait for the event loop.
        QApplication::processEvents();
        QApplication::processEvents();
    };
    rename(treeItem("lens1(lens)"), "front(lens)");
    EXPECT_NE(log().find("rename/newname=front lens1"), std::string::npos);
    // The tree shows what the model holds after the command, never the typed text itself.
    EXPECT_FALSE(treeItem("lens1(lens)"));
    ASSERT_TRUE(treeItem("front(lens)"));
    rename(treeItem("front(lens)"), "x;clear");
    EXPECT_EQ(log().find("x;clear"), std::string::npos);
    EXPECT_TRUE(prompts.wasAsked("info"));
    EXPECT_EQ(objectCount, 1);
}

TEST_F(ShellTest, OpeningAMacroLeavesItUntitledAndModifiedAnOptFileKeepsItsPath) {
    writeFile("run.mac", "define/lens m1\n");
    writeFile("X.OPT", "define/lens o1\n");
    start("", "run.mac");
    EXPECT_EQ(treeTexts(), QStringList{"m1(lens)"});
    EXPECT_EQ(window->windowTitle(), "Untitled.opt - MERIDYN");
    EXPECT_TRUE(window->pathName().empty());
    EXPECT_TRUE(window->document().GetPathName().empty());
    EXPECT_TRUE(window->document().IsModified());
    EXPECT_TRUE(history().contains("Run macro.") || screen().size() > 0);
    // Unsaved work: opening asks first; Cancel runs nothing.
    prompts.yesNoCancel = {Answer::Cancel};
    EXPECT_FALSE(window->openDocumentFile(home.file("X.OPT")));
    EXPECT_EQ(treeTexts(), QStringList{"m1(lens)"});
    ASSERT_EQ(prompts.asked.back().text, "Save changes to Untitled.opt?");
    prompts.yesNoCancel = {Answer::No};
    EXPECT_TRUE(window->openDocumentFile(home.file("X.OPT")));
    EXPECT_EQ(window->windowTitle(), "X.OPT - MERIDYN");
    EXPECT_EQ(window->pathName(), home.file("X.OPT"));
    EXPECT_FALSE(window->document().IsModified());
    EXPECT_EQ(window->recentFiles().entries().front(), home.file("X.OPT"));
}

TEST_F(ShellTest, SaveModifiedOutcomes) {
    start();
    type("define/lens s1");
    std::vector<std::string> saved;
    bool saveWorks = false;
    shellState().saveDocument = [&](CQelDoc&, const std::string& path) {
        saved.push_back(path);
        return saveWorks;
    };
    prompts.yesNoCancel = {Answer::Cancel};
    EXPECT_FALSE(window->SaveModified());
    // Yes on an untitled document asks for a name; Save As adds .opt.
    prompts.yesNoCancel = {Answer::Yes};
    prompts.files = {home.file("model")};
    EXPECT_FALSE(window->SaveModified()); // the save failed: the close is cancelled
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0], home.file("model.opt"));
    EXPECT_TRUE(window->document().IsModified());
    saveWorks = true;
    prompts.yesNoCancel = {Answer::Yes};
    prompts.files = {home.file("model.opt")};
    EXPECT_TRUE(window->SaveModified());
    EXPECT_FALSE(window->document().IsModified());
    EXPECT_EQ(window->windowTitle(), "model.opt - MERIDYN");
    // A titled document saves under its name; a cancelled chooser saves nothing.
    type("define/lens s2");
    prompts.yesNoCancel = {Answer::Yes};
    EXPECT_TRUE(window->SaveModified());
    EXPECT_EQ(saved.back(), home.file("model.opt"));
    type("define/lens s3");
    prompts.files = {std::nullopt};
    EXPECT_FALSE(window->OnFileSaveAs());
    EXPECT_TRUE(window->document().IsModified());
    prompts.yesNoCancel = {Answer::No};
    EXPECT_TRUE(window->SaveModified());
}

TEST_F(ShellTest, ASaveThatFailsKeepsTheModelAndTheOldFile) {
    start();
    type("define/lens keep");
    // A name taken by a folder cannot be replaced by the saved file, whoever runs the test.
    const fs::path target = home.path() / "old.opt";
    fs::create_directory(target);
    { std::ofstream(target / "inside.txt") << "kept\n"; }
    prompts.files = {target.string()};
    EXPECT_FALSE(window->OnFileSaveAs());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(testsupport::readFile(target / "inside.txt"), "kept\n");
    EXPECT_EQ(treeTexts(), QStringList{"keep(lens)"});
    EXPECT_TRUE(window->document().IsModified());
}

TEST_F(ShellTest, SaveWritesTheDocumentsSavedModelAndOpenRunsItBack) {
    start();
    type("define/lens saved1");
    type("place/object saved1 0 0 12");
    prompts.files = {home.file("kept")};
    ASSERT_TRUE(window->OnFileSaveAs());
    // The document's compressed form: it defines and places the part.
    const std::string text = testsupport::readFile(home.path() / "kept.opt");
    EXPECT_NE(text.find("define/lens"), std::string::npos) << text;
    EXPECT_NE(text.find("saved1"), std::string::npos) << text;
    EXPECT_EQ(window->windowTitle(), "kept.opt - MERIDYN");
    EXPECT_TRUE(history().contains("Saving compressed form of macro in .opt file."));
    EXPECT_EQ(window->document().GetPathName(), home.file("kept.opt"));
    EXPECT_FALSE(window->document().IsModified());
    // A failed save shows the document's one box.
    const fs::path blocked = home.path() / "dir.opt";
    fs::create_directory(blocked);
    type("define/lens saved2");
    const std::size_t boxes = prompts.asked.size();
    prompts.files = {blocked.string()};
    EXPECT_FALSE(window->OnFileSaveAs());
    ASSERT_EQ(prompts.asked.size(), boxes + 2); // the chooser and one box
    EXPECT_EQ(prompts.asked.back().text, kSaveFileError);
    // Opened in a fresh document, the file rebuilds the model.
    window->document().SetModifiedFlag(false);
    window->OnFileNew();
    ASSERT_TRUE(treeTexts().isEmpty());
    EXPECT_TRUE(window->openDocumentFile(home.file("kept.opt")));
    EXPECT_TRUE(treeTexts().contains("saved1(lens)"));
    EXPECT_EQ(window->pathName(), home.file("kept.opt"));
    EXPECT_FALSE(window->document().IsModified());
}

TEST_F(ShellTest, ClosingAsksAboutUnsavedWork) {
    start();
    type("define/lens c1");
    prompts.yesNoCancel = {Answer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    prompts.yesNoCancel = {Answer::No};
    EXPECT_TRUE(window->close());
}

TEST_F(ShellTest, ThePauseDialogShowsAgainUntilOk) {
    start();
    prompts.pauses = {false, false, true};
    type("pause/note=\"look here\"");
    int pauses = 0;
    for (const auto& a : prompts.asked)
        if (a.kind == "pause") {
            ++pauses;
            EXPECT_EQ(a.text, "look here");
        }
    EXPECT_EQ(pauses, 3);
}

TEST_F(ShellTest, EscapeStopsALongMacroAndClosingMidCommandIsRefused) {
    std::string body;
    for (int i = 0; i < 50; ++i)
        body += "show/workbox\n";
    writeFile("long.mac", body);
    start();
    bool closedWhileRunning = true;
    QTimer::singleShot(150, [&] { closedWhileRunning = window->close(); });
    QTimer::singleShot(300, [&] { QTest::keyClick(window->commandLine()->edit(), Qt::Key_Escape); });
    QElapsedTimer clock;
    clock.start();
    type("macro/name=\"" + home.file("long.mac") + "\" iterations=100000");
    EXPECT_LT(clock.elapsed(), 60000);
    EXPECT_FALSE(closedWhileRunning);
    EXPECT_TRUE(history().contains("Operation aborted via escape."));
    EXPECT_FALSE(window->platformHooks().commandRunning());
    // An Escape pressed while idle belongs to no command.
    QTest::keyClick(window->commandLine()->edit(), Qt::Key_Escape);
    type("define/lens after");
    EXPECT_EQ(treeTexts(), QStringList{"after(lens)"});
}

TEST_F(ShellTest, HistCopyPutsTheLastNineEntriesOldestFirstOnTheClipboard) {
    start();
    for (int i = 0; i < 12; ++i)
        window->addHistoryLine("entry" + std::to_string(i));
    window->OnHistCopy();
    EXPECT_EQ(prompts.asked.back().text, "Histcopy");
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines.front(), "entry3");
    EXPECT_EQ(lines.back(), "entry11");
}

TEST_F(ShellTest, BeltDialogRefusesBadValuesAndStopsAtTheFirstFailingLine) {
    start();
    prompts.belts = {BeltRequest{0, 0.25, 10}, BeltRequest{10, 0.25, 10}, BeltRequest{36, 0.25, 10}};
    window->action(33016)->trigger();
    ASSERT_EQ(prompts.refusals.size(), 2u);
    EXPECT_NE(log().find("polynet/belt/xypolar XYPolarRad 10 0.25 36"), std::string::npos);
    const bool beltFailed = log().find("# > ERROR", log().find("polynet/belt")) != std::string::npos;
    if (beltFailed) {
        EXPECT_EQ(log().find("rotate/z XYPolarRad"), std::string::npos);
    }
    // The preset radius is the length of the workbox half-width vector.
    prompts.belts = {std::nullopt};
    window->action(33017)->trigger();
    EXPECT_EQ(prompts.asked.back().kind, "belt");
}

TEST_F(ShellTest, MenuEntriesFollowTheirState) {
    start();
    QApplication::clipboard()->clear();
    window->updateActions();
    EXPECT_FALSE(window->action(32990)->isEnabled());
    QApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    window->updateActions();
    EXPECT_TRUE(window->action(32990)->isEnabled());
    window->action(33044)->trigger();
    window->updateActions();
    EXPECT_EQ(bitmapState().paletteIndex, kPaletteSpectrum);
    EXPECT_TRUE(window->action(33044)->isChecked());
    EXPECT_FALSE(window->action(33040)->isChecked());
    window->action(33022)->trigger();
    window->updateActions();
    EXPECT_FALSE(window->objectBox()->isVisible());
    EXPECT_FALSE(window->action(33022)->isChecked());
    window->action(57664)->trigger();
    EXPECT_EQ(prompts.asked.back().kind, "about");
}

TEST_F(ShellTest, TheHistoryComboAlwaysHoldsTheHistoryList) {
    start(kTwoLenses);
    auto comboTexts = [&] {
        QStringList out;
        for (int i = 0; i < window->historyCombo()->count(); ++i)
            out << window->historyCombo()->itemText(i);
        return out;
    };
    for (int i = 0; i < 120; ++i) {
        window->ExecuteCommandText(i % 3 ? "show/workbox" : "define/lens h" + std::to_string(i));
        if (i % 7 == 0) window->addHistoryLine("added " + std::to_string(i));
        ASSERT_EQ(comboTexts(), history()) << i;
    }
    EXPECT_GE(history().size(), 200);
    type("clear");
    EXPECT_EQ(comboTexts(), history());
}

TEST_F(ShellTest, ADroppedFileOpensAsFileOpenDoes) {
    writeFile("dropped.mac", "define/lens d1\n");
    start();
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(home.file("dropped.mac")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    QApplication::processEvents();
    EXPECT_EQ(treeTexts(), QStringList{"d1(lens)"});
    EXPECT_TRUE(window->document().IsModified());
    delete data;
}
