#include "ui/qt/qel_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRubberBand>
#include <QToolBar>
#include <ctime>
#include <map>

#include "command/document/document.h"
#include "command/general/file_names.h"
#include "command/settings/settings.h"
#include "display/raster/bitmap_holder.h"
#include "display/raster/emf_surface.h"
#include "ui/core/view_entries.h"
#include "ui/core/view_geometry.h"
#include "ui/core/view_state.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_platform_hooks.h"
#include "ui/qt/qt_surface.h"
#include "ui/qt/view_widget.h"

QelView::QelView(MainWindow& window, ViewWidget* widget)
    : QObject(widget), window_(window), widget_(widget), core_(*this) {
    theView = &core_;
    resetQelViewState();
    band_ = new QRubberBand(QRubberBand::Rectangle, widget_);
    overlay_ = new QLabel(widget_);
    overlay_->setObjectName("ViewOverlay");
    overlay_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    overlay_->setStyleSheet("QLabel { color: black; background: transparent; }");
    overlay_->hide();
    widget_->installEventFilter(this);
    widget_->setContextMenuPolicy(Qt::DefaultContextMenu);
    widget_->setPaintRoutine([this](ViewHost& host, DrawSurface& surface) {
        overlay_->hide();
        qelViewState().progressText.clear();
        core_.OnDraw(host, surface);
    });
    window_.platformHooks().setProgressSink([this](long done, long total) {
        if (total <= 0) return;
        const double fraction = done < 0 ? -1.0 : static_cast<double>(done) / total;
        window_.pane(0)->setText(QString::fromStdString(progressText(fraction)).trimmed());
        core_.ShowProgress(fraction);
    });
}

QelView::~QelView() {
    if (theView == &core_) theView = nullptr;
    window_.platformHooks().setProgressSink({});
    widget_->setPaintRoutine(&paintView);
}

void QelView::buildMenus() {
    contextMenu_ = new QMenu(widget_);
    toolBar_ = new QToolBar("View tools", &window_);
    toolBar_->setObjectName("ViewToolBar");
    toolBar_->setIconSize(QSize(16, 16));
    std::map<QString, QMenu*> menus;
    // The window's entries of the context menu and the view's toolbar (the view's own and the
    // document's).
    for (const ShellEntry& e : window_.entries()) {
        QAction* a = window_.action(e.id);
        if (!a) continue;
        const QString path = QString::fromStdString(e.path);
        if (path.startsWith("#105>")) {
            const QStringList parts = path.mid(5).split('>');
            QMenu* menu = contextMenu_;
            QString key;
            for (int i = 0; i + 1 < parts.size(); ++i) {
                key += parts[i] + ">";
                auto it = menus.find(key);
                if (it == menus.end()) {
                    QMenu* sub = menu->addMenu(parts[i]);
                    connect(sub, &QMenu::aboutToShow, &window_, [this] { window_.updateActions(); });
                    it = menus.emplace(key, sub).first;
                }
                menu = it->second;
            }
            menu->addAction(a);
        } else if (path.startsWith("#toolbar>")) {
            toolBar_->addAction(a);
        }
    }
    connect(contextMenu_, &QMenu::aboutToShow, &window_, [this] { window_.updateActions(); });
    window_.addToolBar(Qt::TopToolBarArea, toolBar_);
}

// ---- ViewUi ----

CQelDoc* QelView::document() {
    return &window_.document();
}

void QelView::guarded(const std::function<void()>& run) {
    window_.platformHooks().beginCommand();
    window_.updateActions();
    run();
    window_.platformHooks().endCommand();
    window_.updateActions();
}

void QelView::executeCommand() {
    guarded([this] { window_.document().ExecuteCommand(); });
}

void QelView::executeLine() {
    guarded([this] { window_.document().ExecuteLine(); });
}

void QelView::runCommandLoop() {
    guarded([this] { window_.document().RunCommandLoop(); });
}

bool QelView::commandRunning() const {
    return window_.platformHooks().commandRunning();
}

void QelView::updateAllViews() {
    window_.updateAllViews();
}

void QelView::refreshObjectTree() {
    window_.refreshObjectTree();
    window_.selectViewObjectItem();
}

int QelView::clientWidth() const {
    return widget_->clientWidth();
}

int QelView::clientHeight() const {
    return widget_->clientHeight();
}

void QelView::showViewAngles(double azimuth, double elevation) {
    window_.ShowViewAngles(azimuth, elevation);
}

void QelView::showPaneLabels(const std::string& first, const std::string& second) {
    window_.ShowPaneLabels(first, second);
}

void QelView::showPaneValues(double a, double b, double c) {
    window_.ShowPaneValues(a, b, c);
}

void QelView::drawOverlayText(int x, int y, const std::string& text) {
    overlay_->setText(QString::fromStdString(text));
    overlay_->adjustSize();
    overlay_->move(x, y);
    overlay_->show();
    overlay_->raise();
}

void QelView::infoBox(const std::string& text) {
    window_.prompts().message("", text, false);
}

void QelView::errorBox(const std::string& text) {
    window_.prompts().message("", text, true);
}

std::optional<std::string> QelView::chooseSaveFile(const std::string& caption,
                                                   const std::string& filter) {
    return window_.prompts().chooseSaveFile(caption, filter, "");
}

void QelView::printTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    // Bitmaps go onto the page as they are (no lossy compression), so every bin keeps its colour.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QelViewState& v = qelViewState();
    const PageLayout layout = pageLayout(page.width(), page.height(), solidMode != 0, v.printAspect);
    painter.translate(layout.left, layout.top);
    QtPainterSurface surface(painter, layout.width, layout.height, SurfaceKind::Printer);
    const bool mono = useMonochromeTable(monochrome != 0,
                                         printer.colorMode() == QPrinter::GrayScale ? 2 : 256);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    core_.OnDraw(*widget_, surface, mono, printHeader(local, window_.documentTitle()));
    painter.end();
}

void QelView::print(bool preview) {
    if (commandRunning()) return;
    QPrinter& printer = window_.printer();
    auto paint = [this](QPrinter* p) { printTo(*p); };
    if (preview) {
        if (previewDialog) {
            previewDialog(printer, paint);
            return;
        }
        QPrintPreviewDialog dialog(&printer, &window_);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, paint);
        dialog.exec();
        return;
    }
    const bool go = printDialog ? printDialog(printer)
                                : QPrintDialog(&printer, &window_).exec() == QDialog::Accepted;
    if (go) printTo(printer);
}

std::vector<std::uint8_t> QelView::metafileBytes() {
    EmfSurface emf(clientWidth(), clientHeight());
    core_.OnDraw(*widget_, emf);
    return emf.bytes();
}

void QelView::writeMetafile(const std::string& path) {
    if (isOwnFile(path))
        errorBox("The file " + path + " is one of MERIDYN's own files; choose another.");
    else if (!writeFileAtomically(path, metafileBytes()))
        errorBox("Unable to open metafile " + path + " for output.");
}

void QelView::copyMetafile() {
    const std::vector<std::uint8_t> bytes = metafileBytes();
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    auto* mime = new QMimeData;
    mime->setData("image/emf", data);
    mime->setData("image/x-emf", data);
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setMimeData(mime);
}

void QelView::copyBitmap() {
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setImage(widget_->picture());
}

// ---- mouse and keys ----

bool QelView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_) return false;
    QelViewState& v = qelViewState();
    const int h = widget_->height();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() != Qt::LeftButton || commandRunning()) return false;
        const QPoint p = m->position().toPoint();
        core_.OnLButtonDown(p.x(), h - 1 - p.y());
        if (v.selectorMode == kSelectSizeBox) {
            band_->setGeometry(QRect(p, QSize()));
            band_->show();
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (!v.dragging) return false;
        const QPoint p = m->position().toPoint();
        core_.OnMouseMove(p.x(), h - 1 - p.y());
        if (v.selectorMode == kSelectSizeBox) {
            const QPoint anchor(v.anchorPoint[0], h - 1 - v.anchorPoint[1]);
            band_->setGeometry(QRect(anchor, p).normalized());
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() != Qt::LeftButton || !v.dragging) return false;
        band_->hide();
        const QPoint p = m->position().toPoint();
        if (commandRunning()) {
            v.dragging = false;
            return true;
        }
        core_.OnLButtonUp(p.x(), h - 1 - p.y());
        window_.scheduleUpdateActions();
        return true;
    }
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (commandRunning()) return false;
        switch (k->key()) {
        case Qt::Key_Left: core_.OnArrowKey(CQelView::Arrow::Left); break;
        case Qt::Key_Up: core_.OnArrowKey(CQelView::Arrow::Up); break;
        case Qt::Key_Right: core_.OnArrowKey(CQelView::Arrow::Right); break;
        case Qt::Key_Down: core_.OnArrowKey(CQelView::Arrow::Down); break;
        default: return false;
        }
        window_.scheduleUpdateActions();
        return true;
    }
    case QEvent::ContextMenu: {
        if (!contextMenu_ || commandRunning()) return false;
        window_.updateActions();
        contextMenu_->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    default: return false;
    }
}
