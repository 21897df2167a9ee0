// The main window: menus and toolbar from one table, six status panes, the command line, the
// history bar and the ObjectBox around the view. It is the document's user interface
// (DocumentHooks): every menu entry, the command line and the tree run command text through the
// document's execute operations, and the document brings the window up to date after each run.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command/document/document.h"
#include "ui/core/history_model.h"
#include "ui/core/prompts.h"
#include "ui/core/shell_options.h"
#include "ui/core/view_entries.h"

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QToolBar;
class QPrinter;
class CommandLine;
class ObjectTree;
class QtPlatformHooks;
class ViewWidget;
class QelView;

// A snapshot of what menu entries are enabled or checked by.
struct ShellSnapshot {
    bool commandRunning = false;
    bool clipboardHasImage = false;
    bool objectBoxVisible = true;
    int paletteIndex = 0;
    ViewSnapshot view; // what the view's entries are enabled and checked by
};

// One entry of the menus and the toolbar.
struct ShellEntry {
    int id = 0;
    std::string path; // "&File>&New (Clear)"
    std::string shortcut;
    std::function<void()> handler;
    std::function<bool(const ShellSnapshot&)> enabled; // unset: always
    std::function<bool(const ShellSnapshot&)> checked; // unset: not checkable
    bool whileRunning = false; // may run while a command runs (every other entry is disabled)
};

class MainWindow : public QMainWindow, public DocumentHooks {
    Q_OBJECT
  public:
    // `prompts` answers every question (not owned; null: real dialogs). The document is made
    // here; File New has not run yet (start() does it).
    explicit MainWindow(Prompts* prompts = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The first File New (startup.opt), then FILE when given.
    void start(const std::string& file);

    CQelDoc& document() { return *doc_; }
    // Puts the keyboard into the command line.
    void focusCommandLine();
    Prompts& prompts() { return *prompts_; }
    QtPlatformHooks& platformHooks() { return *platform_; }
    ViewWidget* view() const { return view_; }
    // The view's behaviour around the widget (mouse, keys, printing, its menu entries).
    QelView* qelView() const { return qelView_.get(); }
    // The one printer of Print Setup, Print and Print Preview.
    QPrinter& printer();
    ObjectTree* tree() const { return tree_; }
    CommandLine* commandLine() const { return commandLine_; }
    QComboBox* historyCombo() const { return history_; }
    QDockWidget* objectBox() const { return objectBox_; }
    QToolBar* mainToolBar() const { return toolBar_; }
    QLabel* pane(int i) const { return panes_[i]; }
    const HistoryModel& historyModel() const { return historyModel_; }
    RecentFiles& recentFiles() { return recent_; }
    // The action of a menu entry by its id (null when none).
    QAction* action(int id) const;
    const std::vector<ShellEntry>& entries() const { return entries_; }
    ShellSnapshot snapshot() const;
    // Enables and checks the entries from a fresh snapshot.
    void updateActions();
    // The same once the events now waiting are handled (after a selection or a paint).
    void scheduleUpdateActions();

    // The execute operations of the window.
    // Enter in the command line: the typed text, line by line, through ExecuteCommand.
    void OnOK();
    void runTypedText(const QString& text);
    // A dialog's or page's command: ExecuteCommand, then the view's post-command step.
    void IssueCommandText(const std::string& text);
    // A replayed line: ExecuteLine and ReloadHistory; the document counts as changed after a
    // line without error.
    void ExecuteCommandText(const std::string& text);
    void FinishViewCommand();
    void RedrawIfAutoRedraw();
    void SelectCurrentObject();
    void SelectCurrentObjectQuiet();

    // Files.
    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    // SaveModified, then the file is run as the document opens it.
    bool openDocumentFile(const std::string& path);
    // True when the work may be dropped (saved, or the user said No).
    bool SaveModified();
    const std::string& pathName() const { return pathName_; }
    // The document's file is now `path`: the title and the recent files follow.
    void setPathName(const std::string& path);
    const std::string& documentTitle() const { return title_; }

    // Switches the macro pause flag (File > PauseMacro).
    void OnPauseMacro();
    // The history bar.
    void OnHistCopy();
    // The polar radiometer belts of the Design menu.
    void OnPolarBelt(BeltPlane plane);
    // Help.
    void OnHelp();
    void OnAppAbout();
    // Bitmaps.
    void OnPasteBitmap();
    void OnCopyBitmap();
    void OnBitmapToMask();

    // Status panes.
    void ShowViewAngles(double azimuth, double elevation);
    void ShowPaneLabels(const std::string& first, const std::string& second);
    void ShowPaneValues(double a, double b, double c);

    // DocumentHooks.
    void updateAllViews() override;
    void redrawIfAutoRedraw() override;
    void refreshObjectTree() override;
    void reloadHistory() override;
    void addHistoryLine(const std::string& text) override;
    void selectViewObjectItem() override;
    void clearHeldBitmap() override;
    bool showPauseDialog(const std::string& note) override;
    void waitWhilePaused() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildEntries();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void updateRecentMenu();
    void updateTitle();
    bool saveTo(const std::string& path);
    void openDocument(const std::string& path);
    // Runs one execute operation with the input guard up.
    void guarded(const std::function<void()>& run);
    void onTreeSelected(const std::string& label, int surface);
    void onTreeRename(const std::string& labelBefore, const std::string& newText);

    std::unique_ptr<Prompts> ownPrompts_;
    Prompts* prompts_;
    std::unique_ptr<QtPlatformHooks> platform_;
    std::unique_ptr<CQelDoc> doc_;
    ViewWidget* view_ = nullptr;
    std::unique_ptr<QelView> qelView_;
    ObjectTree* tree_ = nullptr;
    QDockWidget* objectBox_ = nullptr;
    QDockWidget* historyBar_ = nullptr;
    CommandLine* commandLine_ = nullptr;
    QComboBox* history_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* panes_[6] = {};
    QMenu* recentMenu_ = nullptr;
    std::vector<ShellEntry> entries_;
    std::vector<std::pair<int, QAction*>> actions_;
    HistoryModel historyModel_;
    // What the history combo holds when it holds the model's list (from piece shownFirst_ on);
    // shownValid_ is false once a line was added to it outside the model.
    std::deque<std::string> shownTexts_;
    long shownFirst_ = 0;
    bool shownValid_ = false;
    RecentFiles recent_;
    std::unique_ptr<QPrinter> printer_;
    std::string pathName_;
    std::string title_ = kUntitledName;
    bool closing_ = false;
    bool updateScheduled_ = false;
};
