// The shade of one view ray for the solid image: the nearest hit of the model, lit by a Lambert
// term against the light direction. The solid renderer calls ShadePixel once per pixel.
#pragma once

#include "engine/math/vector_math.h"

inline constexpr double kShadeAmbient = 33.0; // surfaces facing away from the light
inline constexpr double kShadeRange = 221.0;  // added for a surface facing the light squarely

// The shade of the ray from `start` along the unit `direction`: 0 when it hits nothing, else
// 221 e + 33 where e = n . L > 0 (n the hit's normal turned to face the eye, L the light
// direction `light`, normalised here), else 33. Returns the shade and stores it in *shade.
double ShadeRay(const Vec3& start, const Vec3& direction, const Vec3& light, double* shade);
// Normalises the direction, then ShadeRay.
double ShadePixel(const Vec3& start, const Vec3& direction, const Vec3& light, double* shade);

// The Lambert rule alone: 221 e + 33 for e > 0, else 33.
inline double lambertShade(double e) {
    return e > 0.0 ? kShadeRange * e + kShadeAmbient : kShadeAmbient;
}
