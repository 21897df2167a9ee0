// The program's random draws. One 15-bit generator (the same one every plug-in compiles in, each
// with its own state) feeds every Monte-Carlo draw of the main program: the cosine-lamp source,
// Henyey-Greenstein cosines and free paths of bulk scattering, and the surface scatter laws.
#pragma once

#include "engine/math/vector_math.h"
#include "platform/rand15.h"

inline constexpr int kRandomMax = platform::Rand15::kMax; // 32767

struct RandomState {
    platform::Rand15 generator{1}; // state 1 until seeded
};

RandomState& randomState();
// Back to the unseeded state (tests).
void resetRandomState();

// The next value in 0..32767 (as the C library's rand with a 15-bit range).
int randomInt();
// Seeds the generator (as srand); set/shuffle calls it.
void seedRandom(unsigned int seed);
// u = randomInt() / 32767: uniform in [0, 1], both ends included.
double randomUniform();

// A cosine 1 - asin(u) / (pi / 2), in [0, 1].
double randomPolarCosine();
// A cosine-lamp direction: |z| = asin(u) / (pi / 2) with a random sign, azimuth uniform.
// Returns 1.
int randomDirection(double& x, double& y, double& z);
// A scattering cosine of the Henyey-Greenstein phase function with asymmetry g; uniform in
// [-1, 1] for g = 0. Always in [-1, 1], also for |g| >= 1.
double drawHenyeyGreenstein(double g);
// A unit direction whose z component is the given polar cosine (taken into [-1, 1]), at a random
// azimuth about +z.
void directionFromCosine(Vec3& out, double cosine);
// An exponential free path for attenuation coefficient mu: -ln(r) / mu with a uniform r of 30
// bits; never negative.
double drawFreePath(double mu);
