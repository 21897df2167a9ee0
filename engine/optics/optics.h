// The optical half of a ray-surface interaction: the reflected direction, the refracted direction
// with total internal reflection, the reflectance R that splits the ray's energy (fixed value,
// Fresnel formula or a coating model) and the grating equation. Every vector is in the hit
// surface's own frame; callers turn the results back to global coordinates.
#pragma once

#include "engine/optics/coatings.h"
#include "engine/model/object_table.h"

struct OpticsState {
    // The split of 1 - R that the last coating model reported; both -1.0 when no model ran in the
    // last refractRay.
    double coatingTransmitted = -1.0;
    double coatingAbsorbed = -1.0;
    // The coating of the surface being traced. The tracer sets it for every hit before
    // refractRay (nullptr when the surface has no coating).
    const CoatingRecord* currentCoating = nullptr;
    // The coating a surface carries in the part model (which owns coatings); the one-ray trace
    // asks it for every hit. Null (no part model): surfaces have no coatings.
    const CoatingRecord* (*surfaceCoating)(const SurfaceRecord* surface) = nullptr;
};

OpticsState& opticsState();
// Restores the load-time values (tests).
void resetOpticsState();

inline double& coatingTransmitted = opticsState().coatingTransmitted;
inline double& coatingAbsorbed = opticsState().coatingAbsorbed;
inline const CoatingRecord*& currentCoating = opticsState().currentCoating;
inline auto& surfaceCoatingHook = opticsState().surfaceCoating;

// The wavelength of the current trace in micrometres: the wavelength table's entry at the current
// wavelength index. Tracers change it by setting the index. 0 when the index is out of range.
double traceWavelength();

// out = the reflected direction, not normalised (same length as the incoming direction scaled to
// a unit normal component). A direction tangent to the surface is returned unchanged.
// `knownNormal` (here and in refractRay), when given, is hookNormal's result at the point.
void reflectRay(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                Vec3& out, const Vec3* knownNormal = nullptr);

// Refraction of a ray in a medium of index n1 entering one of index n2. totalInternal is set to
// 1 on total internal reflection (out is then unchanged) and cleared otherwise. R is the
// reflectance: the surface's fixed value, or the Fresnel formula when set/fresnel is on and the
// fixed value is 0, or the model of currentCoating. A tangent direction gives out = direction.
void refractRay(SurfaceRecord* surface, const Vec3& localPoint, const Vec3& localDirection,
                double n1, double n2, Vec3& out, int& totalInternal, double& R,
                const Vec3* knownNormal = nullptr);

// The fractions of a ray's energy that its reflected and transmitted branches take at a surface
// of absorption `absorption` and reflectance R (both tracers split through this one function).
// Total internal reflection reflects everything. Otherwise T = 1 - (absorption + R); when
// absorption + R exceeds 1 the surface absorbs its share first and reflects the rest: T = 0 and
// the reflected fraction is 1 - absorption, so reflected + transmitted + absorbed never exceeds 1.
struct BranchFactors {
    double reflected = 0;
    double transmitted = 0;
};
inline BranchFactors branchFactors(double absorption, double R, int totalInternal) {
    if (totalInternal) return {1.0, 0.0};
    const double T = 1 - (absorption + R);
    if (T < 0) return {absorption < 1 ? 1 - absorption : 0.0, 0.0};
    return {R, T};
}

// out = direction / |direction . normal|; tangent = 1 (out unchanged) when the dot product is 0,
// else 0.
void scaleToNormalComponent(const Vec3& direction, const Vec3& normal, Vec3& out, int& tangent);
// out = scaled + 2 normal: the mirror image of the scaled direction.
void reflectScaled(Vec3& out, const Vec3& normal, const Vec3& scaled);
// Vector Snell law: scaled is the direction scaled by scaleToNormalComponent against a normal that
// faces the ray. out = the unit refracted direction, or totalInternal = 1 and out unchanged.
void refractDirection(const Vec3& direction, const Vec3& normal, const Vec3& scaled, double n1,
                      double n2, Vec3& out, int& totalInternal);
// Unpolarised Fresnel reflectance for a unit direction, the normal facing it and the unit
// refracted direction.
double fresnelReflectance(const Vec3& direction, const Vec3& normal, double n1, double n2,
                          const Vec3& transmitted);

// Grating parameters: frequency, orientation in degrees, diffraction order.
// gratingInteraction takes the faced surface normal at the point, then runs gratingDiffract.
int gratingInteraction(SurfaceRecord* surface, const Vec3& localPoint, Vec3& direction, double n,
                       const double* params);
// Applies the grating equation at the current trace wavelength in a medium of index n. The lines'
// orientation is taken in the surface frame, signs and all: on a face of the x-y plane a ray
// from either side shifts its direction cosines by f lambda order (cos t, sin t) / n. Returns 1
// with the new unit direction; 0 when no diffracted order leaves (the ray runs in the grating
// plane, the order does not propagate, or the parameters give no finite answer), the direction
// then left exactly as it came in.
int gratingDiffract(Vec3& direction, double n, const double* params, const Vec3& normal);
