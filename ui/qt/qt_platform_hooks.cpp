#include "ui/qt/qt_platform_hooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include "ui/core/prompts.h"

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
    return prompts_->askYesNo(title, text);
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
            escape_ = true;
            return true;
        }
    }
    if (type == QEvent::Close && qobject_cast<QWidget*>(watched) &&
        static_cast<QWidget*>(watched)->isWindow() && !insideModal(watched)) {
        event->ignore();
        return true;
    }
    if (isUserInput(type) && !insideModal(watched)) return true;
    return false;
}
