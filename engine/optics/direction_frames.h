// Rotations between a reference direction and +z, shared by the grating equation and the
// scatter laws, and the deflection update of a travelling direction.
#pragma once

#include "engine/math/vector_math.h"

// The rotation that takes the (unit) reference to +z. Its rows are (z/s, 0, -x/s),
// (-x y/s, s, -y z/s) and (x, y, z) with s = sqrt(x^2 + z^2). A reference within 1e-7 of the y
// axis has its x and z set to 1e-7 first, in the caller's vector, so that every later transform
// with the same vector uses the same frame. out may be v.
void toNormalFrame(const Vec3& v, Vec3& reference, Vec3& out);
// The inverse rotation (the transpose). out may be v.
void toGlobalFromNormalFrame(const Vec3& v, Vec3& reference, Vec3& out);

// Deflects a travelling direction: direction is the current unit direction, changed in place;
// deflection is the deflection drawn about +z (its z the cosine of the deflection angle, its
// azimuth the angle about the current direction). A deflection along +z keeps the direction,
// one along -z reverses it.
void rotateIntoFrame(Vec3& direction, const Vec3& deflection);
