// Compound parabolic concentrators: a mirror of revolution about z whose wall is a tilted
// parabola arc. Rays entering the wide end within the input angle leave the exit aperture of
// radius a within the output angle; below 90 degrees of output a terminal cone joins the wall
// to the exit.
//
// In the meridional half-plane (rho >= 0, z) of the surface frame the wall is the parabola with
// focus F = (-a, 0) that opens along e = (-sin thi, cos thi): |P - F| = (P - F).e + 2f. It
// passes through the top of the cone (rc, l) (through (a, 0) without a cone), where the ray from
// F makes the output angle with the axis, and it ends at its rim (R, Lt), where it runs parallel
// to the axis at the entrance radius R = a sin tho / sin thi. The cone runs from radius a at z = 0
// to rc at z = l, its apex at z = -d.
//
// The CPC surface reads its three parameters from its object's user parameters at every
// intercept: "input_angle", "output_angle" (degrees) and "radius_exit".
#pragma once

#include "engine/model/object_table.h"

// The shape that the two angles (radians) and the exit radius give.
struct CpcShape {
    double exitRadius = 0; // a
    double sinIn = 0, cosIn = 0;
    double focalLength = 0;    // f
    double wallBottom = 0;     // l: the top of the cone, 0 without one
    double wallTop = 0;        // Lt: the rim
    double entranceRadius = 0; // R
    double bottomRadius = 0;   // rc: the wall's radius at l (a without a cone)
    double coneApex = 0;       // d: the cone's apex lies at z = -d (0 without a cone)
    bool cone = false;         // the output angle is below 90 degrees
};

// The shape for input and output angles in radians and the exit radius; false when they make
// none (a radius not above 0, an angle not in (0, 90] degrees, or a cone with the input angle not
// below the output angle).
bool cpcShape(double inputAngle, double outputAngle, double exitRadius, CpcShape& shape);

// Forgets the shape kept for the last parameters (every intercept of a CPC asks for the same).
void resetCpcState();

// The nearest meeting of the ray (local point, local direction of any length) with the wall
// between l and Lt: nonzero with the distance along the unit direction and the local hit point.
// Roots nearer than 1e-5, or nearer than 1e-6 on a surface the ray is leaving (when a surface is
// given), do not count. Also finds the wall radius at height z for a radial ray from (0, 0, z).
int cpcSolveIntercept(double inputAngle, double outputAngle, double exitRadius,
                      const Vec3& localPoint, const Vec3& localDirection, double& distance,
                      Vec3& point, const SurfaceRecord* surface);
// The unit wall normal at a local point of the wall, pointing to the axis side.
void cpcWallNormal(const CpcShape& shape, const Vec3& localPoint, Vec3& normal);

// Intercept hook of a CPC surface: cpcSolveIntercept with the object's parameters (degrees to
// radians with 0.017453292519943295). A hit is noted in the hit bookkeeping and becomes the
// nearest (result 1) when the nearest is unset or farther.
int cpc_intercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest);
// Normal hook of a CPC surface: that CPC's own wall normal at the local point.
void cpc_normal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal);

// DEFINE/MIRROR/CPC on a new object and its first surface, from the parsed command: the values
// "input_angle", "output_angle", "radius_exit" (20, 90, 20) and the "mirror surface type"
// modifier ("concave", "both", "convex"). Builds the CPC surface (its hooks and its
// "cpc_normal" and "cpc_intercept" records), the terminal cone when the output angle is below
// 90, the user parameters, type code 20 and wireframe kind 9. 0 on success; 1 after the message
// of the first refusal, with the object's surfaces as they came.
int defineCpcMirror(ObjectRecord* object, SurfaceRecord* surface);
