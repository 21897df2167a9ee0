#include "engine/surfaces/surface_media.h"

#include <cmath>

#include "engine/surfaces/surface_geometry.h"

SurfaceMediaState& surfaceMediaState() {
    static SurfaceMediaState s;
    return s;
}

void resetSurfaceMediaState() {
    surfaceMediaState() = SurfaceMediaState{};
}

double resolveIndex(double index) {
    if (index == 0) return 1.0;
    if (!(index < 0)) return index;
    const double k = -index;
    const auto& table = surfaceMediaState().indexTable;
    if (!(k < static_cast<double>(table.size()))) return 1.0;
    return table[static_cast<std::size_t>(k)];
}

void surfaceOwnMedium(const SurfaceRecord* record, double& index, double& absorptivity,
                      double& luminance) {
    if (!record || record->index == 0) {
        index = 1.0;
        absorptivity = 0;
        luminance = 0;
        return;
    }
    index = resolveIndex(record->index);
    absorptivity = record->absorbtivity;
    luminance = record->luminence;
}

namespace {
// A number with the sign of normal . unit local direction (all the callers read), with the normal
// from the surface's own hook.
double normalDotDirection(SurfaceRecord* surface, const Vec3& localPoint,
                          const Vec3& localDirection, const Vec3* known = nullptr) {
    Vec3 n;
    if (known)
        n = *known;
    else
        hookNormal(surface, localPoint, n);
    // Making a direction of about unit length unit scales each component by the same positive
    // number, each to within half an ulp: where the dot with the direction as given stands clear
    // of zero by far more than the rounding of both sums, the unit one has its sign, and the
    // square root and the three divisions are spared. Near zero the unit one decides, as always.
    const Vec3& v = localDirection;
    const double s = dot3(v, v);
    if (s > 0.5 && s < 2) {
        const double x = dot3(n, v);
        const double spread = std::fabs(n.x * v.x) + std::fabs(n.y * v.y) + std::fabs(n.z * v.z);
        if (std::fabs(x) > 1e-12 * spread) return x;
    }
    Vec3 u = v;
    normalize3(u);
    return dot3(n, u);
}
} // namespace

int rayInsideSurface(const Vec3& localPoint, const Vec3& localDirection, SurfaceRecord* surface) {
    if (!surface || surface->side == 0) return 0;
    return surface->side * normalDotDirection(surface, localPoint, localDirection) >= 0 ? 1 : 0;
}

void surfaceMedia(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                  double& index, double& absorptivity, double& luminance,
                  const Vec3* knownNormal) {
    if (!surface) return;
    const double x = normalDotDirection(surface, localPoint, localDirection, knownNormal);
    auto& s = surfaceMediaState();
    if (surface->side * x <= 0) {
        surfaceOwnMedium(surface->inside, index, absorptivity, luminance);
        s.currentSurfaceObject = surface->surfaceHandle;
    } else {
        surfaceOwnMedium(surface, index, absorptivity, luminance);
        s.currentSurfaceObject = nullptr;
    }
}
