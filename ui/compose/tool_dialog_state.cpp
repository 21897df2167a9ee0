#include "ui/compose/tool_dialog_state.h"

ToolDialogState& toolDialogState() {
    static ToolDialogState state;
    return state;
}

void resetToolDialogState() {
    toolDialogState() = ToolDialogState{};
}
