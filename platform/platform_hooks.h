// Platform services the interpreter and the computations need from the host:
// message boxes, the beep, the Escape poll, the wait cursor and progress.
// The console driver, the Qt front end and the tests each install their own.
#pragma once

#include <string>

namespace platform {

enum class BoxIcon { Information, Error, Warning, Question };

class PlatformHooks {
  public:
    virtual ~PlatformHooks() = default;
    // A modal box with an OK button.
    virtual void messageBox(const std::string& title, const std::string& text, BoxIcon icon) = 0;
    // A Yes/No question; returns true for Yes. `defaultYes` is the answer when nobody can answer.
    virtual bool askYesNo(const std::string& title, const std::string& text, bool defaultYes) = 0;
    virtual void beep() = 0;
    // True when the user has asked to stop (Escape key, Ctrl-C in the console). Polling consumes
    // the request.
    virtual bool escapePending() = 0;
    // Called when the wait cursor turns on (the busy count leaves 0) and off (it returns to 0).
    virtual void waitCursor(bool on) { (void)on; }
    // Progress of a long loop; total may be 0 when unknown.
    virtual void progress(long done, long total) {
        (void)done;
        (void)total;
    }
};

// The hooks in force. Until a front end installs its own, the console hooks serve.
PlatformHooks& hooks();
// Installs new hooks (not owned); nullptr restores the console hooks.
void setHooks(PlatformHooks* h);

// The busy count behind the wait cursor: nested begin/end pairs show one busy phase.
void beginWaitCursor();
void endWaitCursor();
int waitCursorDepth();
void resetWaitCursor();

} // namespace platform
