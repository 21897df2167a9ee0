#include "display/views/view_host.h"

void HeadlessViewHost::invalidateAndUpdate() {
    raster_.erase();
    if (paint_) paint_(*this, raster_);
}
