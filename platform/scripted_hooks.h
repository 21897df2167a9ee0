// Scriptable hooks for tests: records every box, answers questions from a script and raises
// Escape on a chosen poll.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/platform_hooks.h"

namespace platform {

class ScriptedHooks : public PlatformHooks {
  public:
    struct Box {
        std::string title;
        std::string text;
        BoxIcon icon;
    };
    std::vector<Box> boxes;
    std::deque<bool> answers; // answers to Yes/No questions, in order; default when empty
    int beeps = 0;
    long escapeOnPoll = -1; // 1-based poll number that sees Escape; -1 never
    long polls = 0;
    std::vector<bool> cursorChanges;
    long lastDone = 0, lastTotal = 0;

    void messageBox(const std::string& title, const std::string& text, BoxIcon icon) override {
        boxes.push_back({title, text, icon});
    }
    bool askYesNo(const std::string& title, const std::string& text, bool defaultYes) override {
        boxes.push_back({title, text, BoxIcon::Question});
        if (answers.empty()) return defaultYes;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }
    bool escapePending() override { return ++polls == escapeOnPoll; }
    void waitCursor(bool on) override { cursorChanges.push_back(on); }
    void progress(long done, long total) override {
        lastDone = done;
        lastTotal = total;
    }
};

// Installs a ScriptedHooks for the lifetime of the guard.
class ScopedHooks {
  public:
    explicit ScopedHooks(PlatformHooks& h) { setHooks(&h); }
    ~ScopedHooks() { setHooks(nullptr); }
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;
};

} // namespace platform
