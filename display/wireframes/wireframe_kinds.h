// The wireframe generators, one per wireframe kind, and the outline helpers they share.
#pragma once

#include "display/wireframes/profile_curves.h"

inline constexpr int kRingPoints = 26;

// Centre and sizes of a surface's extent box.
Vec3 extentCentre(const SurfaceRecord* surface);
Vec3 extentSize(const SurfaceRecord* surface);
// The 26-point ellipse inscribed in the extent's x-y rectangle, at height z, closed.
void drawExtentRing(const SurfaceRecord* surface, double z);
// An ellipse or rectangle (x1, x2, y1, y2) at height z; lifted onto the surface when `lift`.
void drawOutline(const SurfaceRecord* surface, const double limits[4], bool elliptic, double z,
                 bool lift);
// One profile curve along z across a section of the surface at `fixed` on `fixedAxis`, over
// the chord of the surface within its extent (and elliptic edge); around a hole that the
// section crosses, two curves of 7 samples from the chord's ends to the hole's edges.
void drawSectionCurve(const SurfaceRecord* surface, int fixedAxis, double fixed, int samples);

void drawAxesWireframe(const ObjectRecord* object);
void drawFlatOutlineWireframe(const ObjectRecord* object);
void drawLensWireframe(const ObjectRecord* object);
void drawPointWireframe(const ObjectRecord* object);
void drawCylindricalLensWireframe(const ObjectRecord* object);
void drawMirrorWireframe(const ObjectRecord* object);
void drawTroughWireframe(const ObjectRecord* object);
void drawEllipsoidWireframe(const ObjectRecord* object);
void drawCpcWireframe(const ObjectRecord* object);
void drawPolynetWireframe(const ObjectRecord* object);
