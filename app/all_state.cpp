#include "app/all_state.h"

#include "display/views/display_state.h"
#include "ui/core/dib.h"
#include "ui/core/shell_state.h"
#include "ui/compose/tool_dialog_state.h"
#include "ui/props/document_menu.h"

void resetAllState() {
    resetDisplayState();
    // The window's state that needs no windowing library: its hooks and the bitmap holder.
    resetShellState();
    resetBitmapState();
    // The document menu's last macro and its placement dialog.
    resetDocumentMenuState();
    // What the tool dialogs remember between showings.
    resetToolDialogState();
}
