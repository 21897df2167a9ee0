// Terminal implementation of the platform hooks: boxes go to standard error, a Yes/No question
// takes its default when standard input is not a terminal, and Ctrl-C counts as Escape.
#pragma once

#include <csignal>

#include "platform/platform_hooks.h"

namespace platform {

class ConsoleHooks : public PlatformHooks {
  public:
    void messageBox(const std::string& title, const std::string& text, BoxIcon icon) override;
    bool askYesNo(const std::string& title, const std::string& text, bool defaultYes) override;
    void beep() override;
    bool escapePending() override;
    // A percentage on standard error when it is a terminal, nothing otherwise; a total of 0 or
    // less counts as complete, a done of -1 as stopped.
    void progress(long done, long total) override;
};

// Routes SIGINT to the Escape request of the console hooks (the second Ctrl-C without a poll in
// between still ends the program, so a hung loop can always be left).
void installConsoleInterruptHandler();
// True once Ctrl-C was pressed during the run (polling Escape does not clear it).
bool consoleInterrupted();
// Forgets pending Escape requests and past Ctrl-C presses (tests).
void resetConsoleInterrupts();
// Raises the Escape request as Ctrl-C would.
void requestConsoleEscape();

// Ctrl-C and the termination signals raise this count, which the console's Escape poll consumes.
extern volatile std::sig_atomic_t consoleEscapeRequests;
// True while such a request waits: one load, cheap enough to test for every ray.
inline bool escapeSignalPending() {
    return consoleEscapeRequests != 0;
}

} // namespace platform
