#include "platform/console_hooks.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace platform {

volatile std::sig_atomic_t consoleEscapeRequests = 0;

namespace {
volatile std::sig_atomic_t interruptsSeen = 0; // Ctrl-C presses of the run, never consumed

void onInterrupt(int) {
    // A second Ctrl-C that nobody polled ends the program the default way.
    if (consoleEscapeRequests > 0) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    consoleEscapeRequests = consoleEscapeRequests + 1;
    interruptsSeen = 1;
}

const char* iconWord(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Error:
        return "error";
    case BoxIcon::Warning:
        return "warning";
    case BoxIcon::Question:
        return "question";
    default:
        return "information";
    }
}
} // namespace

void ConsoleHooks::messageBox(const std::string& title, const std::string& text, BoxIcon icon) {
    std::fprintf(stderr, "[%s] %s: %s\n", iconWord(icon), title.c_str(), text.c_str());
    std::fflush(stderr);
}

bool ConsoleHooks::askYesNo(const std::string& title, const std::string& text, bool defaultYes) {
    std::fprintf(stderr, "[question] %s: %s (y/n) ", title.c_str(), text.c_str());
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "%s\n", defaultYes ? "y" : "n");
        return defaultYes;
    }
    std::fflush(stderr);
    int c = std::fgetc(stdin);
    bool yes = defaultYes;
    if (c == 'y' || c == 'Y') yes = true;
    if (c == 'n' || c == 'N') yes = false;
    while (c != EOF && c != '\n')
        c = std::fgetc(stdin);
    return yes;
}

void ConsoleHooks::progress(long done, long total) {
    if (!isatty(STDERR_FILENO)) return;
    if (done < 0) {
        std::fprintf(stderr, "\rstopped\n");
    } else {
        const long percent = total <= 0 || done >= total ? 100 : done * 100 / total;
        std::fprintf(stderr, "\r%3ld%%%s", percent, percent == 100 ? "\n" : "");
    }
    std::fflush(stderr);
}

void ConsoleHooks::beep() {
    if (isatty(STDERR_FILENO)) {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }
}

bool ConsoleHooks::escapePending() {
    if (consoleEscapeRequests == 0) return false;
    consoleEscapeRequests = 0;
    return true;
}

void installConsoleInterruptHandler() {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a blocked console read returns so the loop can see Escape
    sigaction(SIGINT, &sa, nullptr);
}

bool consoleInterrupted() {
    return interruptsSeen != 0;
}

void resetConsoleInterrupts() {
    consoleEscapeRequests = 0;
    interruptsSeen = 0;
}

void requestConsoleEscape() {
    consoleEscapeRequests = consoleEscapeRequests + 1;
}

} // namespace platform
