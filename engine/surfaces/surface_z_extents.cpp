#include "engine/surfaces/surface_z_extents.h"

#include <cmath>

namespace {
constexpr int kGridSteps = 30;
constexpr double kWiden = 0.00001;

// The root of a z^2 + b z + c = 0 nearer 0; false when there is none.
bool nearerRoot(double a, double b, double c, double& z) {
    if (a == 0) {
        if (b == 0) return false;
        z = -c / b;
    } else {
        const double disc = b * b - 4 * a * c;
        if (disc < 0) return false;
        const double q = -(b + (b >= 0 ? 1.0 : -1.0) * std::sqrt(disc)) / 2;
        const double z1 = q / a;
        const double z2 = q != 0 ? c / q : z1;
        z = std::fabs(z1) <= std::fabs(z2) ? z1 : z2;
    }
    return std::isfinite(z);
}
} // namespace

int surfaceZExtents(const SurfaceRecord* surface, double& zmin, double& zmax) {
    if (!surface) return 0;
    const double* e = surface->extent;
    const double wx = e[1] - e[0], wy = e[3] - e[2];
    if (!(wx > 0 && wy > 0)) return 0;
    const double* q = surface->quadric;
    // F(x, y, z) along z: a z^2 + b z + c with a = A_zz.
    const double a = q[8];
    double lo = 1e300, hi = -1e300;
    bool any = false;
    for (int i = 0; i <= kGridSteps; ++i) {
        const double x = e[0] + i * (wx / kGridSteps);
        for (int j = 0; j <= kGridSteps; ++j) {
            const double y = e[2] + j * (wy / kGridSteps);
            const double b = q[11] + (q[2] + q[6]) * x + (q[5] + q[7]) * y;
            const double c =
                q[0] * x * x + (q[1] + q[3]) * x * y + q[4] * y * y + q[9] * x + q[10] * y + q[12];
            double z;
            if (!nearerRoot(a, b, c, z)) continue;
            if (z < lo) lo = z;
            if (z > hi) hi = z;
            any = true;
        }
    }
    if (!any) return 0;
    const double margin = kWiden * (hi - lo);
    zmin = lo - margin;
    zmax = hi + margin;
    return 1;
}
