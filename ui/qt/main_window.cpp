#include "ui/qt/main_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <filesystem>
#include <optional>

#include "command/general/highlighting.h"
#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "command/saving/model_saving.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "display/views/repaint.h"
#include "display/views/view_modes.h"
#include "engine/model/current_objects.h"
#include "parts/part_list.h"
#include "parts/templates/define_params.h"
#include "platform/temp_file.h"
#include "ui/core/dib.h"
#include "ui/core/selected_source.h"
#include "ui/core/shell_state.h"
#include "ui/core/shell_text.h"
#include "ui/core/view_controller.h"
#include "ui/qt/command_line.h"
#include "ui/qt/dib_image.h"
#include "ui/qt/object_tree.h"
#include "ui/qt/qt_platform_hooks.h"
#include "ui/qt/qt_prompts.h"
#include "ui/qt/view_widget.h"
#include "ui/qt/qel_view.h"
#include "ui/qt/property_frame.h"

namespace {
constexpr const char* kModelFilter =
    "MERIDYN static models (*.opt *.OPT);;Macros (*.mac *.MAC);;Demos (*.wdm *.WDM);;All files (*)";
}

MainWindow::MainWindow(Prompts* prompts, QWidget* parent) : QMainWindow(parent) {
    if (!prompts) {
        ownPrompts_ = std::make_unique<QtPrompts>(this);
        prompts = ownPrompts_.get();
    }
    prompts_ = prompts;
    platform_ = std::make_unique<QtPlatformHooks>(prompts_);
    platform_->setProgressSink([this](long done, long total) {
        if (total > 0)
            panes_[0]->setText(QString::asprintf("%2d %% Complete", static_cast<int>(100.0 * done / total)));
    });
    platform::setHooks(platform_.get());
    bitmapState().infoBox = [this](const std::string& text) { prompts_->message("", text, false); };

    view_ = new ViewWidget(this);
    setCentralWidget(view_);
    qelView_ = std::make_unique<QelView>(*this, view_);

    tree_ = new ObjectTree;
    objectBox_ = new QDockWidget("ObjectBox", this);
    objectBox_->setObjectName("ObjectBox");
    objectBox_->setWidget(tree_);
    objectBox_->setAllowedAreas(Qt::LeftDockWidgetArea);
    addDockWidget(Qt::LeftDockWidgetArea, objectBox_);
    tree_->onSelected = [this](const std::string& label, int surface) { onTreeSelected(label, surface); };
    // The object property frame, made on its first show.
    new PropertyFrameHost(*this);
    tree_->onDoubleClicked = [] {
        if (shellState().showPropertyFrame) shellState().showPropertyFrame();
    };
    tree_->onRename = [this](const std::string& before, const std::string& text) {
        onTreeRename(before, text);
    };

    buildEntries();
    buildMenus();
    buildToolBar();
    qelView_->buildMenus();
    buildStatusBar();

    // The command-line bar.
    auto* commandBar = new QToolBar("Command line", this);
    commandBar->setObjectName("CommandLineBar");
    commandLine_ = new CommandLine(commandBar);
    commandBar->addWidget(commandLine_);
    addToolBarBreak();
    addToolBar(Qt::TopToolBarArea, commandBar);
    // The view's tools beside the command line, so that both toolbars show every button.
    if (qelView_->toolBar()) addToolBar(Qt::TopToolBarArea, qelView_->toolBar());
    commandLine_->edit()->onEnter = [this](const QString& text) {
        commandLine_->setEditText(text);
        OnOK();
    };

    // The history bar.
    history_ = new QComboBox;
    history_->setObjectName("History");
    // Fixed pitch, as the command line, so that listings line up.
    history_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    history_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* histCopy = new QAction("Histcopy", history_);
    connect(histCopy, &QAction::triggered, this, [this] { OnHistCopy(); });
    history_->addAction(histCopy);
    historyBar_ = new QDockWidget("History", this);
    historyBar_->setObjectName("HistoryBar");
    historyBar_->setWidget(history_);
    historyBar_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    addDockWidget(Qt::BottomDockWidgetArea, historyBar_);

    connect(view_, &ViewWidget::resizedPicture, this, [this] {
        if (!platform_->commandRunning()) view_->invalidateAndUpdate();
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { updateActions(); });
    setStatusLineHook([this](const std::string& text) { panes_[0]->setText(QString::fromStdString(text)); });

    setAcceptDrops(true);
    setWindowTitle(QString::fromStdString(::windowTitle(title_)));
    resize(1024, 768);

    doc_ = std::make_unique<CQelDoc>(this);
    // The object-definition entry: the selected object's define path and values, for its dialog.
    viewSeams().metamorph = [this](std::string& path) {
        return doc_->Metamorph(viewObject, &defineParams, &path);
    };
    MakePaletteDib(256, 4);
    commandLine_->setFocus();
    updateActions();
}

MainWindow::~MainWindow() {
    viewSeams().metamorph = nullptr;
    qelView_.reset();
    setStatusLineHook({});
    bitmapState().infoBox = nullptr;
    doc_.reset();
    platform::setHooks(nullptr);
}

void MainWindow::start(const std::string& file) {
    guarded([this] { doc_->OnNewDocument(); });
    if (!file.empty()) openDocumentFile(file);
    updateTitle();
    ShowViewAngles(viewAzimuth, viewElevation);
}

void MainWindow::focusCommandLine() {
    activateWindow();
    commandLine_->setFocus();
}

void MainWindow::guarded(const std::function<void()>& run) {
    platform_->beginCommand();
    updateActions();
    run();
    platform_->endCommand();
    updateActions();
}

// ---- execute operations ----

void MainWindow::OnOK() {
    const QString text = commandLine_->currentText();
    // TakeCommandLine: the object named by the line, the text, an empty combo.
    std::string name;
    const std::string first = text.section('\n', 0, 0).toStdString();
    if (auto n = parseCommandObjectName(first, name)) {
        viewObject = *n;
        shellState().selectedObjectName = name;
        SelectCurrentObject();
    }
    commandLine_->clearSelection();
    commandLine_->resetContent();
    runTypedText(text);
}

void MainWindow::runTypedText(const QString& text) {
    for (const auto& line : commandLinesOfTypedText(text.toStdString())) {
        const bool wasModified = doc_->IsModified();
        commandBuffer = line;
        guarded([this] { doc_->ExecuteCommand(); });
        FinishViewCommand();
        if (doc_->StopWordTyped()) {
            if (isBareStopWord(line)) doc_->SetModifiedFlag(wasModified);
            QTimer::singleShot(0, this, [this] { close(); });
            break;
        }
    }
}

void MainWindow::IssueCommandText(const std::string& text) {
    commandBuffer = text;
    guarded([this] { doc_->ExecuteCommand(); });
    FinishViewCommand();
    RedrawIfAutoRedraw();
    if (shellState().refreshObjectProperties) shellState().refreshObjectProperties();
}

void MainWindow::ExecuteCommandText(const std::string& text) {
    commandBuffer = text;
    guarded([this] { doc_->ExecuteLine(); });
    // A rename or a belt is work the user would lose at close.
    if (errorOccurred == 0) doc_->SetModifiedFlag(true);
    reloadHistory();
}

void MainWindow::FinishViewCommand() {
    // The view's step: retrace, the intensity image again in its view, redraw.
    qelView_->core().FinishViewCommand();
}

QPrinter& MainWindow::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void MainWindow::RedrawIfAutoRedraw() {
    if (autoRedraw) updateAllViews();
}

void MainWindow::SelectCurrentObjectQuiet() {
    if (!doc_) return;
    pendingSelection = 1;
    pendingSelectedObject = viewObject;
    refreshCurrentObjects(0);
    const std::string label = viewObject > 0 ? objectLabel(viewObject) : "";
    shellState().selectedPartName =
        thePartList && thePartList->FindPart(label) ? label : std::string();
    scheduleUpdateActions();
}

void MainWindow::SelectCurrentObject() {
    SelectCurrentObjectQuiet();
    RedrawIfAutoRedraw();
    // A light source keeps its last trace: raytrace/last and the trace dialogs take it up.
    recallSelectedSourceTrace();
}

// ---- DocumentHooks ----

void MainWindow::updateAllViews() {
    // The repaint polls Escape while it replays many rays; outside a command that Escape stops
    // the repaint alone.
    const bool outside = !platform_->commandRunning();
    if (outside) platform_->beginCommand();
    view_->invalidateAndUpdate();
    if (outside) {
        platform_->endCommand();
        abortRequest = 0;
    }
    // The paint may have fallen back to another view type.
    scheduleUpdateActions();
}

void MainWindow::redrawIfAutoRedraw() {
    RedrawIfAutoRedraw();
}

void MainWindow::refreshObjectTree() {
    if (objectCount < 1) {
        tree_->ResetTree();
    } else {
        tree_->BeginFill();
        for (int i = 0; i <= highestObjectIndex && i < kMaxObjects; ++i) {
            const ObjectRecord* o = objectTable[static_cast<std::size_t>(i)];
            if (!o || o->number <= 0) continue;
            tree_->Fill(objectLabel(o->number), objectKindName(o->typeCode), o->typeCode - 1,
                        o->surfaceCount);
        }
        tree_->FinishFill();
    }
    if (viewType == kViewIntensity) {
        // The intensity view follows the selection to an object with geometry.
        if (!getObject(viewObject - 1)) viewObjectArg(0, 0.0);
        SelectCurrentObjectQuiet();
        viewType = 0;
        if (getObject(viewObject - 1)) {
            viewType = kViewIntensity;
            bitmapState().paletteIndex = kPaletteSpectrum;
            MakeObjectDib(objectLabel(viewObject));
            updateAllViews();
        }
    }
}

void MainWindow::reloadHistory() {
    auto& m = messageState();
    flushOutputFiles();
    historyModel_.reload(m.screenOutPath, m.screenLineCount);
    const auto& entries = historyModel_.entries();
    const QSignalBlocker block(history_);
    // Usually the combo already holds most of the new list: lines scrolled off the front are
    // dropped, the matching middle stays and only what differs at the end is replaced.
    const long drop = historyModel_.firstPiece() - shownFirst_;
    if (!shownValid_ || drop < 0 || drop > static_cast<long>(shownTexts_.size())) {
        history_->clear();
        shownTexts_.clear();
        shownFirst_ = historyModel_.firstPiece();
    } else {
        // One removal of the rows that scrolled off, not one a row.
        if (drop > 0) history_->model()->removeRows(0, static_cast<int>(drop));
        shownTexts_.erase(shownTexts_.begin(), shownTexts_.begin() + drop);
        shownFirst_ += drop;
        std::size_t same = 0;
        while (same < shownTexts_.size() && same < entries.size() && shownTexts_[same] == entries[same])
            ++same;
        if (shownTexts_.size() > same) {
            history_->model()->removeRows(static_cast<int>(same),
                                          static_cast<int>(shownTexts_.size() - same));
            shownTexts_.resize(same);
        }
    }
    QStringList items;
    for (std::size_t i = shownTexts_.size(); i < entries.size(); ++i) {
        items.push_back(QString::fromStdString(entries[i]));
        shownTexts_.push_back(entries[i]);
    }
    history_->addItems(items);
    shownValid_ = true;
    history_->setCurrentIndex(history_->count() - 1);
}

void MainWindow::addHistoryLine(const std::string& text) {
    historyModel_.addLine(text);
    shownValid_ = false;
    history_->addItem(QString::fromStdString(text));
    history_->setCurrentIndex(history_->count() - 1);
}

void MainWindow::selectViewObjectItem() {
    if (viewObject > 0)
        tree_->SelectTreeItem(objectLabel(viewObject), shellState().treeSurfaceNumber);
    // After every run the property sheet shows what the commands left.
    if (shellState().refreshObjectProperties) shellState().refreshObjectProperties();
}

void MainWindow::clearHeldBitmap() {
    bitmapState().dibHandle.clear();
    InitDibInfo();
}

bool MainWindow::showPauseDialog(const std::string& note) {
    return prompts_->pause(note);
}

void MainWindow::OnPauseMacro() {
    doc_->SetPaused(!doc_->Paused());
    updateActions();
}

void MainWindow::waitWhilePaused() {
    updateActions();
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        if (!doc_->Paused() || platform_->escapeWaiting()) loop.quit();
    });
    poll.start(50);
    loop.exec();
    updateActions();
}

// ---- the tree ----

void MainWindow::onTreeSelected(const std::string& label, int surface) {
    shellState().treeSurfaceNumber = surface;
    viewObject = objectNumberOfLabel(label);
    setSurfaceHighlight(viewObject, surface, highlightState().surfaceColour);
    SelectCurrentObject();
    if (shellState().refreshObjectProperties) shellState().refreshObjectProperties();
}

void MainWindow::onTreeRename(const std::string& labelBefore, const std::string& newText) {
    if (platform_->commandRunning()) return;
    bool refused = false;
    auto command = renameCommandText(labelBefore, newText, &refused);
    if (refused) {
        prompts_->message("", "\"" + newText + "\" is not a name: a letter, then letters, digits "
                              "or _, at most 19 characters.", false);
        return;
    }
    if (!command) return;
    ExecuteCommandText(*command);
    refreshObjectTree();
    SelectCurrentObject();
    if (shellState().refreshObjectProperties) shellState().refreshObjectProperties();
}

// ---- files ----

void MainWindow::setPathName(const std::string& path) {
    pathName_ = path;
    title_ = path.empty() ? kUntitledName : titleOfPath(path);
    if (!path.empty()) {
        recent_.add(path);
        updateRecentMenu();
    }
    updateTitle();
}

void MainWindow::updateTitle() {
    setWindowTitle(QString::fromStdString(::windowTitle(title_)));
}

bool MainWindow::SaveModified() {
    if (!doc_->IsModified()) return true;
    switch (prompts_->askYesNoCancel("MERIDYN", saveChangesQuestion(title_))) {
    case Answer::Yes: return OnFileSave();
    case Answer::No: return true;
    default: return false;
    }
}

void MainWindow::OnFileNew() {
    if (!SaveModified()) return;
    guarded([this] { doc_->OnNewDocument(); });
    setPathName("");
}

void MainWindow::OnFileOpen() {
    auto path = prompts_->chooseOpenFile("Open", kModelFilter);
    if (path) openDocumentFile(*path);
}

bool MainWindow::openDocumentFile(const std::string& path) {
    if (!SaveModified()) return false;
    openDocument(path);
    return true;
}

void MainWindow::openDocument(const std::string& path) {
    const bool model = isModelFileName(path);
    guarded([this, &path] { doc_->OnOpenDocument(path); });
    // A macro leaves the document untitled without a path, so Save asks for a name (rather than
    // overwrite an "Untitled.opt" of the working directory unasked).
    if (!model) doc_->SetPathName("");
    setPathName(model ? path : "");
}

bool MainWindow::OnFileSave() {
    if (pathName_.empty()) return OnFileSaveAs();
    return saveTo(pathName_);
}

bool MainWindow::OnFileSaveAs() {
    const std::string proposed =
        pathName_.empty() ? platform::joinPath(programHome, title_) : pathName_;
    auto path = prompts_->chooseSaveFile("Save As", kModelFilter, proposed);
    if (!path) return false;
    return saveTo(withModelExtension(*path));
}

bool MainWindow::saveTo(const std::string& path) {
    bool ok = false;
    if (shellState().saveDocument) {
        ok = shellState().saveDocument(*doc_, path);
        if (!ok) prompts_->message("", kSaveFileError, false);
    } else {
        // The document writes the model and shows its own box when that fails; a save that
        // worked keeps its line in the history.
        guarded([this, &path, &ok] { ok = doc_->OnSaveDocument(path); });
        if (!ok) reloadHistory();
    }
    if (!ok) return false;
    doc_->SetModifiedFlag(false);
    setPathName(path);
    return true;
}

// ---- history, belts, help, bitmaps ----

void MainWindow::OnHistCopy() {
    prompts_->message("", "Histcopy", false);
    const int count = history_->count();
    QStringList lines;
    for (int i = 9; i >= 1; --i)
        if (count - i >= 0) lines.push_back(history_->itemText(count - i));
    QApplication::clipboard()->setText(lines.join('\n'));
}

void MainWindow::OnPolarBelt(BeltPlane plane) {
    const Vec3 h = workboxHalfSizes();
    BeltRequest preset{36, 0.25, defaultBeltRadius(h.x, h.y, h.z)};
    std::string refusal;
    for (;;) {
        auto request = prompts_->beltDialog(preset, refusal);
        if (!request) return;
        if (auto why = checkBeltRequest(*request)) {
            refusal = *why;
            preset = *request;
            continue;
        }
        for (const auto& command : beltCommandTexts(plane, *request)) {
            ExecuteCommandText(command);
            if (errorOccurred) break;
        }
        RedrawIfAutoRedraw();
        return;
    }
}

void MainWindow::OnHelp() {
    const auto file = std::filesystem::path(programHome) / "mdyn5.hlp";
    std::error_code ec;
    if (std::filesystem::exists(file, ec))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

void MainWindow::OnAppAbout() {
    prompts_->about();
}

void MainWindow::OnPasteBitmap() {
    if (!PasteBitmap()) return;
    doc_->SetModifiedFlag(true);
    updateAllViews();
}

void MainWindow::OnCopyBitmap() {
    CopyBitmap();
}

void MainWindow::OnBitmapToMask() {
    BitmapToMask();
}

// ---- status panes ----

void MainWindow::ShowViewAngles(double azimuth, double elevation) {
    panes_[4]->setText("Az/El");
    panes_[5]->setText(QString::asprintf("%d , %d", static_cast<int>(azimuth), static_cast<int>(elevation)));
}

void MainWindow::ShowPaneLabels(const std::string& first, const std::string& second) {
    panes_[4]->setText(QString::fromStdString(first));
    panes_[5]->setText(QString::fromStdString(second));
}

void MainWindow::ShowPaneValues(double a, double b, double c) {
    panes_[1]->setText(QString::fromStdString(formatText("%g", a)));
    panes_[2]->setText(QString::fromStdString(formatText("%g", b)));
    panes_[3]->setText(QString::fromStdString(formatText("%g", c)));
}

// ---- window events ----

void MainWindow::closeEvent(QCloseEvent* event) {
    if (platform_->commandRunning() || !SaveModified()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !platform_->commandRunning()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        const std::string path = url.toLocalFile().toStdString();
        // Opened after the drop has finished, as File > Open would.
        QTimer::singleShot(0, this, [this, path] { openDocumentFile(path); });
        return;
    }
}
