// The media on the two sides of a surface: which side a ray meets the surface from, and the
// index, absorptivity and luminance of the medium it enters. A negative index -k stands for entry
// k of the table of indices by number, which the part model fills.
#pragma once

#include <vector>

#include "engine/model/object_table.h"

struct SurfaceMediaState {
    std::vector<double> indexTable; // entry k is the index that -k stands for
    // The part model's handle of the surface whose inside the ray entered last (surfaceMedia);
    // nullptr after a ray left through a surface's outside.
    CSurfaceHandle* currentSurfaceObject = nullptr;
};

SurfaceMediaState& surfaceMediaState();
void resetSurfaceMediaState();

inline std::vector<double>& refractiveIndexTable = surfaceMediaState().indexTable;
inline CSurfaceHandle*& currentSurfaceObject = surfaceMediaState().currentSurfaceObject;

// The index a surface's own value stands for: 0 (a surface given no medium) is air, 1.0; -k is
// entry k of the table (1.0 outside it); any other value is the index itself.
double resolveIndex(double index);

// The medium a surface record's own values describe: air (1.0, 0, 0) when there is no record or
// its index is 0 (the surface was given no medium), else its index (resolved), absorptivity and
// luminance. Every medium taken from a surface goes through here.
void surfaceOwnMedium(const SurfaceRecord* record, double& index, double& absorptivity,
                      double& luminance);

// 0 when the surface has no side flag; else 1 when side x (normal . unit direction) >= 0 (the
// ray meets the surface from its inside).
int rayInsideSurface(const Vec3& localPoint, const Vec3& localDirection, SurfaceRecord* surface);

// The medium the ray enters at the surface: the inside link's (air without a link) when it
// crosses into the inside (side x normal . direction <= 0; the surface's handle becomes
// currentSurfaceObject), else the surface's own medium (currentSurfaceObject cleared); both
// through surfaceOwnMedium, so a surface of index 0 borders air.
// `knownNormal`, when given, is hookNormal's result at the point.
void surfaceMedia(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                  double& index, double& absorptivity, double& luminance,
                  const Vec3* knownNormal = nullptr);
