// Surface coatings: the coating record a surface carries, the checks run when a coating is set,
// and the two reflectance models for absorbing (metal) surfaces.
#pragma once

#include "engine/math/vector_math.h"

// Coating modes; any other value means the surface's fixed reflectance alone.
enum CoatingMode : int {
    kCoatingOff = 0,
    kCoatingFresnel = 1,
    kCoatingMetal = 2,
    kCoatingLwirMetal = 3,
};

// The coating of one surface. cons[0] .. cons[5] are the constants cons1 .. cons6:
//   METAL:     pfraction, absorb_flag, n0, k0, n1, k1
//   LWIRMETAL: pfraction, absorb_flag, ep0, omega, sigmast, (cons6: checked, not used)
// pfraction is the fraction of p-polarised light; absorb_flag 0 means what is not reflected is
// transmitted, 1 that it is absorbed. The incident medium's index is n0 (1 + i k0), the metal's
// n1 + i k1.
struct CoatingRecord {
    int mode = kCoatingOff;
    double cons[6] = {};
};

// Checks of the METAL constants: pfraction in [0, 1] (else the command fails), absorb_flag 0 or
// 1 (else it is set to 1.0 and the command goes on), n0 above 0 and the metal's index n1 + i k1
// other than 0 (else the command fails; all four indices finite). The lines go to the output
// channel as they are. Returns 1 when the coating must be refused, else 0.
int checkMetalCoating(CoatingRecord& coating);
// The pfraction and absorb_flag checks, then ep0 and omega above 0 and sigmast and cons6 not
// negative. Returns 1 when the coating must be refused, else 0.
int checkLwirMetalCoating(CoatingRecord& coating);

// Reflectance of an absorbing surface from the complex Fresnel equations. direction is the unit
// incoming direction, normal the unit normal. R receives the reflectance; transmitted and absorbed
// the split of 1 - R by absorb_flag (the other one 0). Returns nonzero when the p term came out
// negative.
int metalReflectance(const Vec3& direction, const Vec3& normal, const CoatingRecord& coating,
                     double& R, double& transmitted, double& absorbed);
// The long-wave infrared metal model, same conventions.
int lwirMetalReflectance(const Vec3& direction, const Vec3& normal, const CoatingRecord& coating,
                         double& R, double& transmitted, double& absorbed);
