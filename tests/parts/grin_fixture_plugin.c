/* A gradient-index plug-in for tests. p1 selects the profile:
     0  constant index p2, no gradient
     1  n = p2 sqrt(1 - p3^2 r^2) with r the distance from the z axis: D = -p2^2 p3^2 (x, y, 0)
     2  the constant index p2 returned negated
   p4 > 0 makes call number p4 (counted in p16, which the test clears) fail by p5:
     0 the result -1, 1 an index of 0, 2 a NaN gradient, 3 an infinite index. */
#include <math.h>

#include "plugin_interface.h"

MERIDYN_PLUGIN_EXPORT int UserGrinDefinition(GrinCallRecord* record) {
    double* v = record->v;
    const double* p = v + GRIN_PARAM1 - 1; /* p[1] .. p[16] */
    double n = p[2], gx = 0.0, gy = 0.0, gz = 0.0;
    double call = (v[GRIN_PARAM1 + 15] += 1.0);
    if (p[1] == 1.0) {
        double x = v[GRIN_X], y = v[GRIN_Y], g2 = p[3] * p[3];
        n = p[2] * sqrt(1.0 - g2 * (x * x + y * y));
        gx = -p[2] * p[2] * g2 * x;
        gy = -p[2] * p[2] * g2 * y;
    } else if (p[1] == 2.0) {
        n = -p[2];
    }
    if (p[4] > 0.0 && call == p[4]) {
        if (p[5] == 0.0) return -1;
        if (p[5] == 1.0) n = 0.0;
        if (p[5] == 2.0) gy = NAN;
        if (p[5] == 3.0) n = INFINITY;
    }
    v[GRIN_INDEX] = n;
    v[GRIN_GRAD_X] = gx;
    v[GRIN_GRAD_Y] = gy;
    v[GRIN_GRAD_Z] = gz;
    return 0;
}
