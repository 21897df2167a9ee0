#include "platform/platform_hooks.h"

#include "platform/console_hooks.h"

namespace platform {

namespace {
struct HooksState {
    ConsoleHooks console;
    PlatformHooks* current = nullptr;
    int busy = 0;
};
HooksState& state() {
    static HooksState s;
    return s;
}
} // namespace

PlatformHooks& hooks() {
    auto& s = state();
    return s.current ? *s.current : s.console;
}

void setHooks(PlatformHooks* h) {
    state().current = h;
}

void beginWaitCursor() {
    if (state().busy++ == 0) hooks().waitCursor(true);
}

void endWaitCursor() {
    auto& s = state();
    if (s.busy == 0) return;
    if (--s.busy == 0) hooks().waitCursor(false);
}

int waitCursorDepth() {
    return state().busy;
}

void resetWaitCursor() {
    state().busy = 0;
}

} // namespace platform
