#include "parts/trace/trace_progress.h"

#include "command/messages/messages.h"
#include "platform/platform_hooks.h"

int traceProgress(long done, long total) {
    if (escapePressed()) {
        abortRequest = 1;
        platform::hooks().progress(-1, total);
        return 1;
    }
    platform::hooks().progress(done, total);
    return 0;
}
