#include "ui/core/shell_state.h"

ShellState& shellState() {
    static ShellState s;
    return s;
}

void resetShellState() {
    shellState() = ShellState{};
}
