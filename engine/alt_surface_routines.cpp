#include "engine/alt_surface_routines.h"

#include "command/messages.h"
#include "engine/optics.h"
#include "engine/surface_geometry.h"

int fresnelAltsurface(SurfaceRecord*, const Vec3&, Vec3&, const double*) {
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
