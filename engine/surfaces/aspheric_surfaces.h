// Aspheric surfaces: an even asphere about a decentred axis, a base conic of curvature cv and
// conic constant k plus four polynomial terms. The surface keeps the base conic as its quadric
// (bounding, extents and listings keep working); its hooks refine the conic's answer on the true
// sag. The parameters are the values of the surface's INTERCEPT_REFINEMENT record: cv, k, a1,
// a2, a3, a4, xc, yc, zc (zc is carried, not used).
#pragma once

#include "engine/model/object_table.h"

// What asphericSagTerms found at a point.
enum AsphericSagResult : int {
    kSagNotReal = 0, // (k + 1) cv^2 r^2 > 1: only the polynomial part is defined
    kSagComputed = 1,
    kSagCached = 2, // the point was the cached one
};

// The sag cache: the surface whose parameters are loaded, the parameters, the last point and
// its terms. One per program; the hooks reuse it from step to step of an intercept.
struct AsphericCache {
    const SurfaceRecord* surface = nullptr;
    const AltSurfaceRecord* record = nullptr;
    double cv = 0, k = 0, a1 = 0, a2 = 0, a3 = 0, a4 = 0, xc = 0, yc = 0;
    bool havePoint = false;
    double x = 0, y = 0;
    int result = kSagNotReal;
    double dx = 0, dy = 0, r2 = 0;
    double m = 1;      // sqrt(1 - (k + 1) cv^2 r2): 0 at a hemisphere's rim, 1 without a real sag
    double sag = 0;    // the sag at the point
    double mSlope = 0; // m G, where dz/dx = dx G and dz/dy = dy G: finite where m is 0
};

AsphericCache& asphericCache();
// Forgets the cached surface and point.
void clearAsphericCache();

// The surface's aspheric record (its last INTERCEPT_REFINEMENT record named "aspheric"), or
// nullptr.
const AltSurfaceRecord* asphericRecord(const SurfaceRecord* surface);

// Fills the cache for the point (x, y) of the surface frame. When (k + 1) cv^2 r^2 exceeds 1
// (beyond 1.0000001, the band the set-up accepts as a hemisphere) the point has no real sag:
// "Warning - Non real intercept in aspheric.\n" on the output channel and the base part 0.
int asphericSagTerms(const SurfaceRecord* surface, double x, double y);
// The sag z at (x, y) of the surface frame.
double asphericSagAt(const SurfaceRecord* surface, double x, double y);
// The unit normal (dz/dx, dz/dy, -1) / |.| of the sag surface at the point; horizontal at the
// rim of a hemisphere. 0 (after the warning "Error computing aspheric surface normal") when it
// has no length, else 1.
int asphericNormalAt(const SurfaceRecord* surface, const Vec3& point, Vec3& normal);

// Normal hook: asphericNormalAt, negated on surface number 2; the quadric normal when the
// surface has no aspheric record.
void asphericNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal);
// Intercept hook: the base conic's nearest root (found without touching the caller's nearest or
// the hit bookkeeping), refined by Newton steps along the ray onto the sag, at most
// iterationMaxCount of them, to iterationTolerance. A refined point that is not ahead of the ray
// (after the self-hit rule), lies off the surface's outline or in its hole, outside its lens or
// has no real sag is tried once more from the conic's other root when both were accepted. The
// refined distance is noted in the hit bookkeeping and becomes the nearest when it is nearer.
// Without an aspheric record the quadric intercept.
int asphericIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest);
void installAsphericHooks(SurfaceRecord* surface);

// Checks a set-up before anything changes: " Radius must be greater than 0.\n" for a diameter of
// 0 or less, " Illegal combination of values for cc, cv, and diameter.\n" when (1 + k) cv^2
// (D/2)^2 exceeds 1 (up to 1.0000001 counts as 1), both as errors; 1 on error, 0 when valid.
int checkAsphericSetup(double cv, double k, double diameter);
// Rebuilds the surface around its aspheric record: the surface frame moved along z to where the
// face met its axis (a face the builder placed away from its frame's origin), so that the
// aspheric vertex takes the old face's place; the base conic F = cv/2 (x^2 + y^2) +
// (k + 1) cv/2 z^2 - z, the shape code by k, the z extents over the rim sag and the sampled sag
// range, the side flag kept on the same physical side (a mirror with no side keeps none, so a
// mirror reflects on the side it did before), the edge of a 3-surface lens moved to the face's
// rim, and the object's bounding sphere. 1 (after the check's message) when the values are
// refused, with nothing changed; 0 on success.
int setupAsphericSurface(SurfaceRecord* surface, double cv, double k, double diameter);
// The smallest and largest sag at 101 radii from 0 to `radius` (along y from the decentred axis).
void asphericSagRange(const SurfaceRecord* surface, double radius, double& smallest,
                      double& largest);

// Moves the centre of the surface's aspheric record by (dx, dy), clears the cache and reports
// "Moved altsurface to %lg %lg.\n" with the new centre. Nothing happens without an aspheric
// record; a toric record only adds the shift to its values 7 and 8, which count the shifts made
// after it (a saved model writes those after the function's line, the others before it). Used by
// modify/center together with its shift of the base conic.
void moveAltsurface(SurfaceRecord* surface, double dx, double dy);
