#include "ui/qt/qt_platform_hooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "ui/core/prompts.h"
#include "ui/qt/qt_prompts.h"

namespace {
constexpr qint64 kPollIntervalMs = 50;

bool isUserInput(QEvent::Type t) {
    switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

// Input to a modal dialog that the running command opened is the command's own.
bool insideModal(QObject* watched) {
    QWidget* modal = QApplication::activeModalWidget();
    // Window-system input reaches the dialog's window before its widgets.
    if (auto* window = qobject_cast<QWindow*>(watched)) return modal && modal->windowHandle() == window;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!modal || !w) return false;
    return w == modal || modal->isAncestorOf(w);
}

// The widget that input to `watched` is for: the widget itself, or the top-level widget of a
// window.
QWidget* widgetOf(QObject* watched) {
    if (auto* w = qobject_cast<QWidget*>(watched)) return w;
    if (auto* window = qobject_cast<QWindow*>(watched))
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window) return top;
    return nullptr;
}

bool inMenu(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w)) return true;
    return false;
}

// Input to the menu bar and the open menus: while a command runs the menus stay open to the
// mouse and the keys (every entry that may not run then is disabled), so that the macro pause
// can be switched.
bool menuInput(QObject* watched, QEvent* event) {
    QWidget* w = widgetOf(watched);
    if (qobject_cast<QWindow*>(watched) && w && !qobject_cast<QMenu*>(w)) {
        // A main window's own window: only the mouse over its menu bar.
        const auto t = event->type();
        if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease) return false;
        w = w->childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    }
    return inMenu(w);
}

// Escape that a dialog keeps for itself (the pause dialog) or that closes an open menu.
bool escapeIsNotTheCommands(QObject* watched) {
    QWidget* w = widgetOf(watched);
    if (qobject_cast<QMenu*>(w) || inMenu(qobject_cast<QWidget*>(watched))) return true;
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->property(kKeepsEscapeProperty).toBool() && insideModal(watched);
}
} // namespace

QtPlatformHooks::QtPlatformHooks(Prompts* prompts, QObject* parent)
    : QObject(parent), prompts_(prompts) {
    lastPoll_.start();
    qApp->installEventFilter(this);
}

QtPlatformHooks::~QtPlatformHooks() {
    if (qApp) qApp->removeEventFilter(this);
}

void QtPlatformHooks::messageBox(const std::string& title, const std::string& text,
                                 platform::BoxIcon icon) {
    if (prompts_) prompts_->message(title, text, icon == platform::BoxIcon::Error);
}

bool QtPlatformHooks::askYesNo(const std::string& title, const std::string& text, bool defaultYes) {
    if (!prompts_) return defaultYes;
    // The one question of the interpreter is the input error's.
    return prompts_->askYesNoError(title, text);
}

void QtPlatformHooks::beep() {
    QApplication::beep();
}

bool QtPlatformHooks::escapePending() {
    if (running_ > 0 && lastPoll_.elapsed() >= kPollIntervalMs) {
        lastPoll_.restart();
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const bool pending = escape_;
    escape_ = false;
    return pending;
}

void QtPlatformHooks::waitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatformHooks::progress(long done, long total) {
    if (progressSink_) progressSink_(done, total);
}

void QtPlatformHooks::beginCommand() {
    if (running_++ == 0) {
        escape_ = false; // an Escape pressed while idle belongs to no command
        lastPoll_.restart();
    }
}

void QtPlatformHooks::endCommand() {
    if (running_ > 0) --running_;
}

bool QtPlatformHooks::eventFilter(QObject* watched, QEvent* event) {
    if (running_ == 0) return false;
    const auto type = event->type();
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (escapeIsNotTheCommands(watched)) return false;
            escape_ = true;
            return true;
        }
    }
    if (type == QEvent::Close && qobject_cast<QWidget*>(watched) &&
        static_cast<QWidget*>(watched)->isWindow() && !insideModal(watched)) {
        event->ignore();
        return true;
    }
    if (isUserInput(type) && !insideModal(watched) && !menuInput(watched, event)) return true;
    return false;
}
