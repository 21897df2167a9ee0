#include "display/views/view_host.h"

void HeadlessViewHost::invalidateAndUpdate() {
    if (paintWanted_ && !paintWanted_()) {
        if (paint_) paint_(*this, silent_);
        return;
    }
    raster_.erase();
    if (paint_) paint_(*this, raster_);
}
