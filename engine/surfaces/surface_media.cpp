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
// normal . unit local direction, with the normal from the surface's own hook.
double normalDotDirection(SurfaceRecord* surface, const Vec3& localPoint,
                          const Vec3& localDirection, const Vec3* known = nullptr) {
    Vec3 n;
    if (known)
        n = *known;
    else
        hookNormal(surface, localPoint, n);
    Vec3 u = localDirection;
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
