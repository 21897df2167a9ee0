/* A ray source for tests whose check refuses a negative p0, and which names its parameters.
   The ray call gives a ray from the origin along z and keeps the check's parameters in p8
   (p8 = p0 + 10 p1 + 100 p6), so a test can read back what the check saw. */
#include <string.h>

#include "plugin_interface.h"

static const char* const names[] = {"width", "height", "", "", "", "", "tilt"};

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    unsigned slot = (unsigned char)buffer[0];
    buffer[0] = 0;
    if (slot < sizeof names / sizeof names[0]) strcpy(buffer, names[slot]);
    return 1;
}

MERIDYN_PLUGIN_EXPORT int UserSourceRay(SourceCallRecord* record) {
    double* v = record->v;
    if (v[SRC_MODE] == 1.0) {
        v[SRC_PARAM0 + 8] = v[SRC_PARAM0] + 10.0 * v[SRC_PARAM0 + 1] + 100.0 * v[SRC_PARAM0 + 6];
        return v[SRC_PARAM0] < 0.0 ? -1 : 0;
    }
    v[SRC_X] = v[SRC_Y] = v[SRC_Z] = 0.0;
    v[SRC_DIR_X] = v[SRC_DIR_Y] = 0.0;
    v[SRC_DIR_Z] = 1.0;
    return 0;
}
