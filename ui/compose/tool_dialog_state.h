// What the tool dialogs remember between showings: the sampling step of the solid image.
#pragma once

struct ToolDialogState {
    int solidStep = 4;
};
ToolDialogState& toolDialogState();
void resetToolDialogState();
