#include "app/all_state.h"

#include "display/views/display_state.h"

void resetAllState() {
    resetDisplayState();
}
