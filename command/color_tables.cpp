#include "command/color_tables.h"

// Stand-in until the settings module provides the real tables: every index maps to itself.
int colorLut(int index) {
    return index;
}
