#include "engine/surfaces/alt_surface_routines.h"

#include <cmath>

#include "command/messages/messages.h"
#include "engine/optics/optics.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_media.h"

int fresnelAltsurface(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal,
                      const double* values) {
    int beyond = 0;
    return fresnelFacetNormal(localPoint, values[0], values[1], resolveIndex(surface->index),
                              values[2], values[3], normal, beyond);
}

int fresnelFacetNormal(const Vec3& point, double s, double sp, double n, double a, double b,
                       Vec3& normal, int& beyond) {
    beyond = 0;
    const double x = point.x, y = point.y;
    if (x == 0 && y == 0) return 0;
    const double t = std::sqrt(a * x * x + b * y * y);
    if (t == 0) return 1;
    const double w = t / std::sqrt(t * t + s * s);
    const double v = 1 / std::sqrt(t * t + sp * sp);
    const double B = w + t * v;
    const double D = B * B;
    const double A = n * n - w * w;
    if (A < 0) {
        errorText(outputChannel, "Error in fresnel surface specification.\n");
        return 0;
    }
    const double root = sp * v - std::sqrt(A);
    const double F = root * root;
    // Without a facet to turn to, the ray keeps the base surface's normal.
    if (!(D + F > 0)) return 0;
    const double G = B / std::sqrt(D + F);
    if (!(G < 1)) return 0;
    const double rise = std::sqrt(1 - G * G);
    if (!(t < sp * rise / G)) {
        beyond = 1;
        return 0;
    }
    normal = {x * a * G / t, y * b * G / t, rise};
    return 1;
}

int gratingAltsurface(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction, double index,
                      const double* values) {
    Vec3 normal;
    surfaceNormal(surface, localPoint, direction, normal);
    if (gratingDiffract(direction, index, values, normal)) return 1;
    errorText(outputChannel, "Error in grating spec.\n");
    return 0;
}
