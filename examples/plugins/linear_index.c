/*
 * Example gradient-index plug-in for MERIDYN: an index that changes linearly across y,
 *
 *     n = n0 + gy * Y        (Y in millimetres),
 *
 * valid for wavelengths from 0.4 to 0.8 micrometres. Build it with the command in README.md and
 * name the file in a material command, for example
 *
 *     material/grin/name="linear_index.so" 1 0.1 1.5 0.002
 *
 * which binds it to object 1 with the step 0.1 and n0 = 1.5, gy = 0.002 per millimetre.
 */
#include <string.h>

#include "plugin_interface.h"

/* Slot 0 names the integration step of the material command; slots 1..8 name p1..p8. */
static const char* const names[MERIDYN_PARAM_SLOTS] = {"maxdist", "n0", "gy", "", "",
                                                       "",        "",   "",   ""};

MERIDYN_PLUGIN_EXPORT int UserParamNames(char* buffer) {
    unsigned slot = (unsigned char)buffer[0]; /* the slot number is an unsigned byte */
    buffer[0] = '\0';
    if (slot < MERIDYN_PARAM_SLOTS) {
        size_t n = strlen(names[slot]);
        if (n > MERIDYN_PARAM_NAME_LENGTH) n = MERIDYN_PARAM_NAME_LENGTH;
        memcpy(buffer, names[slot], n);
        buffer[n] = '\0';
    }
    return 1;
}

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* record) {
    double* v = record->v;
    const double s = v[GRIN_MM_PER_UNIT]; /* millimetres per model unit */
    const double n0 = v[GRIN_PARAM1];     /* p1 */
    const double gy = v[GRIN_PARAM1 + 1]; /* p2 */
    const double lambda = v[GRIN_WAVELENGTH];
    double n;

    if (!(lambda >= 0.4 && lambda <= 0.8)) {
        /* Outside the valid range: no index here. */
        v[GRIN_INDEX] = 1.0;
        v[GRIN_GRAD_X] = v[GRIN_GRAD_Y] = v[GRIN_GRAD_Z] = 0.0;
        return -1;
    }
    n = n0 + gy * s * v[GRIN_Y];
    if (!(n >= 1.0)) return -1;
    v[GRIN_INDEX] = n;
    /* n times dn/dy per model unit: dn/dY = gy per millimetre, times s millimetres per unit. */
    v[GRIN_GRAD_X] = 0.0;
    v[GRIN_GRAD_Y] = n * gy * s;
    v[GRIN_GRAD_Z] = 0.0;
    return 0;
}
