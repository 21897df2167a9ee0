// The four surface-scatter laws applied about the specular direction. Offsets are drawn in
// direction-cosine space of the frame whose z axis is the normal.
//
// Common conventions: source is the specular direction, out receives the result (it may be the
// same vector as source). n divides the offsets (the tracer passes 1.0 for a reflected branch and
// the far-side index for a transmitted one). normal is the reference direction and must be the
// normal on the outgoing side: a specular direction with a negative component along it gives 0
// with out unchanged. A normal within 1e-7 of the y axis is nudged in place (see toNormalFrame).
// fraction is the scattered share: 0 or less always keeps the specular direction, 1 or more always
// scatters; a draw is made either way. Each returns 1 with a direction in out, or 0 when the
// direction was on the wrong side or no direction was found in 200 attempts (then
// " NO REAL DIFFUSE RAY FOUND AFTER 200 TRIES" goes to the output channel).
#pragma once

#include "engine/math/vector_math.h"

inline constexpr int kScatterAttempts = 200;

int scatterLambertian(const Vec3& source, double fraction, Vec3& out, double n, Vec3& normal);
// Radial offsets sigma sqrt(-2 ln(1 - u)); sigma of 2 or more is lambertian.
int scatterGaussian(const Vec3& source, double sigma, double fraction, Vec3& out, double n,
                    Vec3& normal);
// Separate exponential offsets along x and y; a sigma of 2 or more is lambertian on its axis.
int scatterXyExponential(const Vec3& source, double xsigma, double ysigma, double fraction,
                         Vec3& out, double n, Vec3& normal);
// Radial offsets 2 u^(1 / (2 - exponent)). An exponent outside [0, 2) reports
// " POWER LAW COEFFICENT OUT OF RANGE" on the output channel and returns 1 with out unchanged.
int scatterPowerLaw(const Vec3& source, double exponent, double fraction, Vec3& out, double n,
                    Vec3& normal);
