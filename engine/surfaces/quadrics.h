// Quadric surfaces as the builders make them: the constructors that fill a surface record's 13
// coefficients (Q row by row, linear terms L, constant K: p.Q.p + L.p + K = 0), the roots of a
// line against a quadric, moving a quadric or a surface's frame, and the bounding spheres and
// sizes the builders derive from surface extents.
#pragma once

#include "engine/model/object_table.h"

// Every constructor first clears all 13 coefficients.
void cone(double quadric[13], double a, double b, double c);
void cylinderAlongX(double quadric[13], double a, double b);
void cylinderAlongY(double quadric[13], double a, double b);
// The x-cylinder shifted along z so that it touches the origin.
void troughAlongX(double quadric[13], double a, double b);
void cylinderAlongZ(double quadric[13], double a, double b);
void ellipsoid(double quadric[13], double a, double b, double c);
void hyperboloidOneSheet(double quadric[13], double a, double b, double c);
void hyperboloidTwoSheets(double quadric[13], double a, double b, double c);
void hyperbolicParaboloid(double quadric[13], double a, double b, double c);
// x^2/a^2 + y^2/b^2 = z/c
void ellipticParaboloid(double quadric[13], double a, double b, double c);
// n.p = 0
void plane(double quadric[13], const Vec3& normal);
void sphere(double quadric[13], const Vec3& centre, double radius);
// y^2 = 4 f z; also sets the surface's side.
void parabolicTrough(SurfaceRecord* surface, double f, int side);

// The roots t of the quadric along p + t d. One root: t1 = t2 and singleRoot 1. Two: the
// cancellation-free pair. None (a = b = 0 or a negative discriminant): noRoot 1, t1 = t2 = 0.
void quadricIntercept(const double quadric[13], const Vec3& p, const Vec3& d, double& t1,
                      double& t2, int& noRoot, int& singleRoot);

// Moves the surface's quadric by v within its own frame: q'(p) = q(p - v).
void shiftQuadric(SurfaceRecord* surface, const Vec3& v);

// Moves a surface's frame by t. "local": the object-to-surface and global-to-surface matrices
// take T(-t) on their right and the two inverse matrices T(t) on their left (the surface sits at
// +t in its object); any other mode multiplies on the other sides.
void moveSurface(const char* mode, SurfaceRecord* surface, double dx, double dy, double dz);

// The sag of a sphere of signed radius r at height h: 0 for r = 0, r -+ sqrt(r^2 - h^2). A height
// beyond the radius counts as the radius (the hemisphere).
double sag(double r, double h);

// The length of the corner of the first surface's extent farthest from the axes in each
// direction: sqrt(mx^2 + my^2 + mz^2), m the larger absolute limit of each axis. 0 without a
// surface.
double extentsDiagonal(const ObjectRecord* object);

// The bounding sphere from one surface's extent box: centred in the box, radius the full box
// diagonal. A box without diagonal reports "Warning surface extents not set." and changes
// nothing. Returns 1 when set.
int boundingSphereFromSurface(ObjectRecord* object, const SurfaceRecord* surface);
// The bounding sphere over every surface's extent box, each box first taken into the object
// frame: centred on the mean of the box centres, radius reaching every box corner. An object
// without surfaces keeps a zero centre and radius.
void boundingSphereFromExtents(ObjectRecord* object);

// The refractive index of a named material. No material catalog is loaded by the geometry core,
// so every lookup reports "Material %s not found." (an error) and returns 1; 0 would mean found.
int lookupMaterialIndex(const char* name, double& index);
