#include "parts/materials/grin_step.h"

#include <cmath>

#include "command/settings/settings.h"
#include "engine/model/object_table.h"

double grinMillimetresPerUnit() {
    switch (currentUnit) {
    case 0: return 10.0;   // centimetres
    case 1: return 1.0;    // millimetres
    case 2: return 25.4;   // inches
    case 3: return 1000.0; // metres
    default: return 1.0;
    }
}

int EvalGrinPoint(PluginEntry entry, GrinCallRecord& record, double& n, double& gx, double& gy,
                  double& gz, double x, double y, double z, double wavelength) {
    double* v = record.v;
    v[GRIN_TAG] = GRIN_TAG_VALUE;
    v[GRIN_X] = x;
    v[GRIN_Y] = y;
    v[GRIN_Z] = z;
    v[GRIN_WAVELENGTH] = wavelength;
    v[GRIN_MM_PER_UNIT] = grinMillimetresPerUnit();
    int result = CallPluginEntry(entry, &record);
    n = v[GRIN_INDEX];
    gx = v[GRIN_GRAD_X];
    gy = v[GRIN_GRAD_Y];
    gz = v[GRIN_GRAD_Z];
    return result;
}

namespace {

// One evaluation for the step: the index's absolute value and D, or false when the point has
// no usable index (so that no division by zero and no NaN follows).
inline bool evaluate(PluginEntry entry, GrinCallRecord& record, const Vec3& p, double wavelength,
                     double& n, Vec3& d) {
    if (EvalGrinPoint(entry, record, n, d.x, d.y, d.z, p.x, p.y, p.z, wavelength) == -1)
        return false;
    n = std::fabs(n);
    return n != 0.0 && std::isfinite(n) && std::isfinite(d.x) && std::isfinite(d.y) &&
           std::isfinite(d.z);
}

constexpr double kSixth = 0.16666666666666666;

} // namespace

int GrinStep(PluginEntry entry, GrinCallRecord& record, double step, Vec3& position,
             Vec3& direction, double wavelength) {
    const Vec3 R = position;
    double nStart = 0, nMid = 0, nEnd = 0;
    Vec3 A, B, C, unused;
    if (!evaluate(entry, record, R, wavelength, nStart, A)) return -1;
    const Vec3 T = nStart * direction;
    const double h = step / nStart;
    const Vec3 first = R + (h * 0.5) * T + (h * h * 0.125) * A;
    if (!evaluate(entry, record, first, wavelength, nMid, B)) return -1;
    const Vec3 second = R + h * T + (h * h * 0.5) * B;
    if (!evaluate(entry, record, second, wavelength, nMid, C)) return -1;
    position = R + h * (T + (h * kSixth) * (A + 2.0 * B));
    const Vec3 Tnew = T + (h * kSixth) * (A + 4.0 * B + C);
    if (!evaluate(entry, record, position, wavelength, nEnd, unused)) return -1;
    direction = (1.0 / nEnd) * Tnew;
    return 0;
}

namespace {

void rotateBy(const Vec3& in, Vec3& out, const PlacementMatrix& m) {
    Vec3 image, origin;
    transformPoint(in, image, m);
    transformPoint(Vec3{}, origin, m);
    out = image - origin;
}

} // namespace

void RotateIntoObjectFrame(const Vec3& in, Vec3& out, const SurfaceRecord* surface) {
    if (!surface || !surface->owner) {
        out = in;
        return;
    }
    rotateBy(in, out, surface->owner->globalToLocal);
}

void RotateOutOfObjectFrame(const Vec3& in, Vec3& out, const SurfaceRecord* surface) {
    if (!surface || !surface->owner) {
        out = in;
        return;
    }
    rotateBy(in, out, surface->owner->localToGlobal);
}
