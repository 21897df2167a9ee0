// The platform hooks of the windowed program. Commands run on the GUI thread; while one runs an
// application-wide filter records Escape (and consumes it) and drops other user input outside
// the command's own modal dialogs and the menus, and the Escape poll lets events through at most
// every 50 ms.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>

#include "platform/platform_hooks.h"

class Prompts;

class QtPlatformHooks : public QObject, public platform::PlatformHooks {
    Q_OBJECT
  public:
    // The boxes go through `prompts` (not owned; it may be replaced later).
    explicit QtPlatformHooks(Prompts* prompts, QObject* parent = nullptr);
    ~QtPlatformHooks() override;

    void setPrompts(Prompts* prompts) { prompts_ = prompts; }
    // Where progress goes (the status bar).
    void setProgressSink(std::function<void(long, long)> sink) { progressSink_ = std::move(sink); }

    void messageBox(const std::string& title, const std::string& text,
                    platform::BoxIcon icon) override;
    bool askYesNo(const std::string& title, const std::string& text, bool defaultYes) override;
    void beep() override;
    bool escapePending() override;
    void waitCursor(bool on) override;
    void progress(long done, long total) override;

    // A command starts or ends (nested runs count). While one runs the filter guards the input.
    void beginCommand();
    void endCommand();
    bool commandRunning() const { return running_ > 0; }
    // Raises the Escape request as the key would (tests).
    void requestEscape() { escape_ = true; }
    // True while an Escape waits for the next poll (the poll itself takes it).
    bool escapeWaiting() const { return escape_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Prompts* prompts_;
    std::function<void(long, long)> progressSink_;
    QElapsedTimer lastPoll_;
    int running_ = 0;
    bool escape_ = false;
};
