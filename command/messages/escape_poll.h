// The Escape poll of loops that must stop at once: called for every source ray and every branch
// of a ray tree, it costs one load and a count. A Ctrl-C or a termination signal is seen on the
// next call; the host's Escape test, which may be slow (a window processes its events there),
// on one call in `every`.
#pragma once

#include "command/messages/messages.h"
#include "platform/console_hooks.h"
#include "platform/platform_hooks.h"

class EscapePoll {
  public:
    static constexpr int kEvery = 256;
    explicit EscapePoll(int every = kEvery) : every_(every) {}

    // True when the loop must stop: abortRequest is then set and the progress shows the stop.
    bool stop() {
        if (!platform::escapeSignalPending() && ++calls_ < every_) return false;
        calls_ = 0;
        if (!escapePressed()) return false;
        abortRequest = 1;
        platform::hooks().progress(-1, 0);
        return true;
    }

  private:
    int calls_ = 0;
    int every_;
};
