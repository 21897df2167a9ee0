#include "ui/core/shell_state.h"

#include "ui/core/view_controller.h"
#include "ui/core/view_state.h"

ShellState& shellState() {
    static ShellState s;
    return s;
}

void resetShellState() {
    // The view's state and seams belong to the same front end.
    resetQelViewState();
    resetViewSeams();
    shellState() = ShellState{};
}
