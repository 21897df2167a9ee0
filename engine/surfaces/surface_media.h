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

// The index itself when it is not negative; for -k entry k of the table, 1.0 outside it.
double resolveIndex(double index);

// 0 when the surface has no side flag; else 1 when side x (normal . unit direction) >= 0 (the
// ray meets the surface from its inside).
int rayInsideSurface(const Vec3& localPoint, const Vec3& localDirection, SurfaceRecord* surface);

// The medium the ray enters at the surface: the inside link's (1.0, 0, 0 without a link) when it
// crosses into the inside (side x normal . direction <= 0; the surface's handle becomes
// currentSurfaceObject), else the surface's own medium (currentSurfaceObject cleared).
void surfaceMedia(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                  double& index, double& absorptivity, double& luminance);
