// The table behind the menus and the toolbar, and the status bar.
#include <QAction>
#include <algorithm>
#include <map>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "display/views/view_modes.h"
#include "ui/core/dib.h"
#include "ui/core/shell_state.h"
#include "ui/qt/dialogs/dialog_entries.h"
#include "ui/qt/dib_image.h"
#include "ui/qt/document_menu_entries.h"
#include "ui/qt/main_window.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_platform_hooks.h"
#include "ui/qt/qel_view.h"

namespace {

// The toolbar's buttons in order (0: a separator).
constexpr int kToolBarOrder[] = {57600, 57601, 57603, 0,     57607, 57609, 0,     32768, 32769,
                                 32770, 32771, 32772, 32773, 32962, 32774, 33012, 0,     32784,
                                 32783, 32930, 32931, 0,     32867, 32868, 32869, 0,     32865,
                                 32916, 32981, 32998};

QString menuTitle(const std::string& part) {
    return QString::fromStdString(part);
}

// Identifiers of window entries without one of their own (the view's own start at 34000).
constexpr int kFirstFreeEntryId = 35000;

// A menu path as its tool tip reads: "View > Type > X".
QString pathTip(const QStringList& parts) {
    QStringList words;
    for (const QString& p : parts)
        words << QString(p).remove('&');
    return words.join(" > ");
}

} // namespace

ShellSnapshot MainWindow::snapshot() const {
    ShellSnapshot s;
    s.commandRunning = platform_ && platform_->commandRunning();
    s.clipboardHasImage = clipboardHasImage();
    s.objectBoxVisible = objectBox_ && objectBox_->isVisible();
    s.paletteIndex = bitmapState().paletteIndex;
    s.view = takeViewSnapshot(s.commandRunning);
    return s;
}

void MainWindow::buildEntries() {
    auto idle = [](const ShellSnapshot& s) { return !s.commandRunning; };
    entries_ = {
        {57600, "&File>&New (Clear)", "Ctrl+N", [this] { OnFileNew(); }, idle, {}},
        {57601, "&File>&Open...", "Ctrl+O", [this] { OnFileOpen(); }, idle, {}},
        {57603, "&File>&Save", "Ctrl+S", [this] { OnFileSave(); }, idle, {}},
        {57604, "&File>Save &As...", "", [this] { OnFileSaveAs(); }, idle, {}},
        {57606, "&File>P&rint Setup...", "",
         [this] {
             QPageSetupDialog dialog(&printer(), this);
             dialog.exec();
         },
         idle, {}},
        {57665, "&File>E&xit", "", [this] { close(); }, idle, {}},
        {32998, "&Edit>ObjectProperties...", "",
         [] {
             if (shellState().showPropertyFrame) shellState().showPropertyFrame();
         },
         idle, {}},
        {32990, "&Edit>PasteBitmap", "", [this] { OnPasteBitmap(); },
         [](const ShellSnapshot& s) { return !s.commandRunning && s.clipboardHasImage; }, {}},
    };
    const char* palettes[] = {"Grey", "Red", "Green", "Blue", "Spectrum"};
    for (int i = 0; i < 5; ++i)
        entries_.push_back({33040 + i, std::string("&View>Palettes>") + palettes[i], "",
                            [i] { bitmapState().paletteIndex = i; }, {},
                            [i](const ShellSnapshot& s) { return s.paletteIndex == i; }});
    // The view's entries, in the order users look for them: its File entries above Exit, the
    // rest after the View palettes, so Help stays last. None starts anything while a command
    // runs.
    std::vector<ShellEntry> fileRows, viewRows;
    for (ViewEntry& e : viewEntries(qelView_->core())) {
        auto handler = std::move(e.handler);
        auto enabled = std::move(e.enabled);
        auto checked = std::move(e.checked);
        ShellEntry row{e.id, e.path, e.shortcut,
                       [this, handler] {
                           if (!platform_->commandRunning()) handler();
                       },
                       [enabled](const ShellSnapshot& s) { return !enabled || enabled(s.view); }, {}};
        if (checked) row.checked = [checked](const ShellSnapshot& s) { return checked(s.view); };
        (e.path.rfind("&File>", 0) == 0 ? fileRows : viewRows).push_back(std::move(row));
    }
    // The dialogs' own entries (STL import, cube corner) join the rows of their menus.
    for (ShellEntry& row : installDialogs(*this))
        (row.path.rfind("&File>", 0) == 0 ? fileRows : viewRows).push_back(std::move(row));
    auto exitRow = std::find_if(entries_.begin(), entries_.end(), [](const ShellEntry& r) { return r.id == 57665; });
    entries_.insert(exitRow, fileRows.begin(), fileRows.end());
    entries_.insert(entries_.end(), viewRows.begin(), viewRows.end());
    entries_.push_back({33016, "&Design>PolarRadiometer>XY", "",
                        [this] { OnPolarBelt(BeltPlane::XY); }, idle, {}});
    entries_.push_back({33017, "&Design>PolarRadiometer>XZ", "",
                        [this] { OnPolarBelt(BeltPlane::XZ); }, idle, {}});
    entries_.push_back({33018, "&Design>PolarRadiometer>YZ", "",
                        [this] { OnPolarBelt(BeltPlane::YZ); }, idle, {}});
    entries_.push_back({33022, "&Window>ObjectBox", "",
                        [this] { objectBox_->setVisible(!objectBox_->isVisible()); }, {},
                        [](const ShellSnapshot& s) { return s.objectBoxVisible; }});
    entries_.push_back({57664, "&Help>&About MERIDYN for Windows...", "", [this] { OnAppAbout(); }, {}, {}});
    entries_.push_back({33024, "&Help>MERIDYN Help", "", [this] { OnHelp(); }, {}, {}});
    // The document's entries after the others, so the menus keep their order: its File entries
    // above Exit, the rest at the end of their menus.
    std::vector<ShellEntry> documentRows;
    appendDocumentEntries(*this, documentRows);
    for (ShellEntry& row : documentRows) {
        if (row.path.rfind("&File>", 0) == 0) {
            auto exit = std::find_if(entries_.begin(), entries_.end(),
                                     [](const ShellEntry& r) { return r.id == 57665; });
            entries_.insert(exit, std::move(row));
        } else {
            entries_.push_back(std::move(row));
        }
    }
    // Every entry has an identifier of its own, by which its action is found.
    int next = kFirstFreeEntryId;
    for (ShellEntry& e : entries_)
        if (e.id == 0) e.id = next++;
}

void MainWindow::buildMenus() {
    std::map<QString, QMenu*> menus;
    auto menuFor = [&](const QStringList& parts) {
        QMenu* parent = nullptr;
        QString key;
        for (int i = 0; i + 1 < parts.size(); ++i) {
            key += parts[i] + ">";
            auto it = menus.find(key);
            if (it == menus.end()) {
                QMenu* m = parent ? parent->addMenu(parts[i]) : menuBar()->addMenu(parts[i]);
                connect(m, &QMenu::aboutToShow, this, [this] { updateActions(); });
                it = menus.emplace(key, m).first;
            }
            parent = it->second;
        }
        return parent;
    };
    // Every entry's action runs its handler, then brings the enabled and checked states up to
    // date.
    auto wire = [this](QAction* a, const auto& e) {
        a->setCheckable(static_cast<bool>(e.checked));
        // The toolbars show pictures; the menus keep their texts.
        a->setIcon(toolPicture(e.path));
        a->setIconVisibleInMenu(false);
        auto handler = e.handler;
        const bool whileRunning = e.whileRunning;
        connect(a, &QAction::triggered, this, [this, handler, whileRunning] {
            // The menus stay open while a command runs; only some entries may run then.
            if (platform_->commandRunning() && !whileRunning) return;
            handler();
            updateActions();
        });
        actions_.emplace_back(e.id, a);
    };
    for (const auto& e : entries_) {
        const QStringList parts = menuTitle(e.path).split('>');
        if (e.path.rfind('#', 0) == 0) {
            // The view's context menu and toolbar take these (no main-menu path).
            auto* a = new QAction(parts.back(), this);
            if (parts.front() == "#toolbar") {
                // A button named by its prompt, which is also its tip.
                a->setStatusTip(parts.back());
                a->setToolTip(parts.back());
            }
            wire(a, e);
            continue;
        }
        QMenu* menu = menuFor(parts);
        if (e.id == 57665) {
            // The recent files stand above Exit.
            recentMenu_ = menu;
            menu->addSeparator();
        }
        QAction* a = menu->addAction(parts.back());
        if (!e.shortcut.empty()) a->setShortcut(QKeySequence(QString::fromStdString(e.shortcut)));
        a->setToolTip(pathTip(parts));
        wire(a, e);
    }
}

void MainWindow::updateRecentMenu() {
    if (!recentMenu_) return;
    for (QAction* a : recentMenu_->actions())
        if (a->property("recent").toBool()) {
            recentMenu_->removeAction(a);
            a->deleteLater();
        }
    QAction* exitAction = action(57665);
    int n = 1;
    for (const auto& path : recent_.entries()) {
        auto* a = new QAction(QString("&%1 %2").arg(n++).arg(QString::fromStdString(path)), recentMenu_);
        a->setProperty("recent", true);
        connect(a, &QAction::triggered, this, [this, path] { openDocumentFile(path); });
        recentMenu_->insertAction(exitAction, a);
    }
}

void MainWindow::buildToolBar() {
    toolBar_ = addToolBar("Toolbar");
    toolBar_->setObjectName("MainToolBar");
    toolBar_->setIconSize(QSize(16, 16));
    bool pendingSeparator = false;
    for (int id : kToolBarOrder) {
        if (id == 0) {
            pendingSeparator = !toolBar_->actions().isEmpty();
            continue;
        }
        QAction* a = action(id);
        if (!a) continue;
        if (pendingSeparator) toolBar_->addSeparator();
        pendingSeparator = false;
        toolBar_->addAction(a);
    }
}

void MainWindow::buildStatusBar() {
    const int widths[6] = {0, 48, 48, 48, 72, 72};
    for (int i = 0; i < 6; ++i) {
        panes_[i] = new QLabel(this);
        if (i > 0) {
            panes_[i]->setMinimumWidth(widths[i]);
            panes_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            statusBar()->addPermanentWidget(panes_[i]);
        } else {
            statusBar()->addWidget(panes_[i], 1);
        }
    }
    panes_[4]->setText("View Az El:");
    // The view's own angles from the start.
    ShowViewAngles(viewAzimuth, viewElevation);
    ShowPaneValues(0, 0, 0);
}

QAction* MainWindow::action(int id) const {
    for (const auto& [entryId, a] : actions_)
        if (entryId == id) return a;
    return nullptr;
}

void MainWindow::updateActions() {
    updateScheduled_ = false;
    const ShellSnapshot s = snapshot();
    const DocumentMenuState d = documentMenuSnapshot(*this);
    // One action per entry, made in the entries' order. While a command runs only the entries
    // that may run then stay enabled.
    for (std::size_t i = 0; i < entries_.size() && i < actions_.size(); ++i) {
        const ShellEntry& e = entries_[i];
        QAction* a = actions_[i].second;
        const bool own = (!e.enabled || e.enabled(s)) && (!s.commandRunning || e.whileRunning);
        applyDocumentMenuTable(d, e, a, own);
        if (e.checked) a->setChecked(e.checked(s));
    }
    if (recentMenu_)
        for (QAction* a : recentMenu_->actions())
            if (a->property("recent").toBool()) a->setEnabled(!s.commandRunning);
}

void MainWindow::scheduleUpdateActions() {
    if (updateScheduled_) return;
    updateScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        if (updateScheduled_) updateActions();
    });
}
