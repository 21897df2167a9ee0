#include "engine/surface_geometry.h"

void toLocalPoint(const Vec3& point, Vec3& out, const SurfaceRecord* surface) {
    transformPoint(point, out, surface->globalToSurface);
}

void toLocalDirection(const Vec3& direction, Vec3& out, const SurfaceRecord* surface) {
    Vec3 tip, origin;
    transformPoint(direction, tip, surface->globalToSurface);
    transformPoint(Vec3{}, origin, surface->globalToSurface);
    out = tip - origin;
}

int interceptQuadricSurface(SurfaceRecord*, const Vec3&, Vec3&, double&) {
    return 0;
}

void quadricNormal(SurfaceRecord*, const Vec3&, Vec3& normal) {
    normal = Vec3{};
}
