#include "app/all_state.h"

#include "display/views/display_state.h"
#include "ui/core/dib.h"
#include "ui/core/shell_state.h"

void resetAllState() {
    resetDisplayState();
    // The window's state that needs no windowing library: its hooks and the bitmap holder.
    resetShellState();
    resetBitmapState();
}
