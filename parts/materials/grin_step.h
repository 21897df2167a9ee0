// Gradient-index stepping: one evaluation of a gradient-index plug-in at a point, one
// Runge-Kutta step of the ray equation through the medium, and the rotations that take a
// direction into and out of the frame of the object that holds the medium.
//
// The ray equation in the optical parameter t (dt = ds / n) is d2R/dt2 = D(R) with D = n grad n,
// which the plug-in returns; the optical direction is T = n dR/ds. Positions and directions are
// in the object's own frame, in model units.
#pragma once

#include "engine/math/vector_math.h"
#include "parts/plugin_binder.h"
#include "plugins/include/plugin_interface.h"

struct SurfaceRecord;

// Millimetres per model unit for the plug-in (record index 5): 10 for centimetres, 1 for
// millimetres, 25.4 for inches, 1000 for metres.
double grinMillimetresPerUnit();

// Writes the record's tag (29.0), the point, the wavelength and the millimetres per model unit,
// calls the entry and copies the index and the three gradient components (n dn/dx ...) to the
// outputs, also when the call failed. Returns the plug-in's result: 0, or -1 for a point or
// wavelength outside the profile (also for a null entry).
int EvalGrinPoint(PluginEntry entry, GrinCallRecord& record, double& n, double& gx, double& gy,
                  double& gz, double x, double y, double z, double wavelength);

// One Runge-Kutta step of length `step` from `position` along the unit `direction`, at
// `wavelength`. Returns 0 with both advanced, or -1 as soon as an evaluation fails: the plug-in
// says -1, or gives an index of 0 or a value that is not finite. A failure in the first three
// evaluations leaves both unchanged; in the last (the index at the new point) the position has
// moved and the direction is unchanged. The index is used by its absolute value.
int GrinStep(PluginEntry entry, GrinCallRecord& record, double step, Vec3& position,
             Vec3& direction, double wavelength);

// A global direction turned into the frame of the object that owns `surface` (its placement's
// rotation; the translation cancels), and back. out may be in. A surface without an owner
// leaves the direction as it is.
void RotateIntoObjectFrame(const Vec3& in, Vec3& out, const SurfaceRecord* surface);
void RotateOutOfObjectFrame(const Vec3& in, Vec3& out, const SurfaceRecord* surface);
