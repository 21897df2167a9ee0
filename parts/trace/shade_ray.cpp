#include "parts/trace/shade_ray.h"

#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"

// The nearest-hit search is the geometry engine's over the active traceable objects: the same
// objects the bundle tracer visits through its parts.
double ShadeRay(const Vec3& start, const Vec3& direction, const Vec3& light, double* shade) {
    double value = 0.0;
    SurfaceRecord* surface = nullptr;
    Vec3 hit;
    double distance = 0.0;
    int noHit = 1;
    selfHitSurface = nullptr; // a view ray leaves no surface
    findNearestIntercept(start, direction, surface, hit, distance, noHit);
    if (!noHit && surface) {
        Vec3 localPoint, localDirection, localNormal, normal;
        toLocalPoint(hit, localPoint, surface);
        toLocalDirection(direction, localDirection, surface);
        surfaceNormal(surface, localPoint, localDirection, localNormal);
        toGlobalDirection(localNormal, normal, surface);
        normalize3(normal);
        faceNormalAgainstRay(direction, normal);
        Vec3 l = light;
        normalize3(l);
        value = lambertShade(dot3(normal, l));
    }
    if (shade) *shade = value;
    return value;
}

double ShadePixel(const Vec3& start, const Vec3& direction, const Vec3& light, double* shade) {
    Vec3 d = direction;
    normalize3(d);
    return ShadeRay(start, d, light, shade);
}
