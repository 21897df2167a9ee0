// The geometry forms of the modify command: a surface's extent, the centre of a spherical or
// parabolic mirror, the bulk media of an object, and a surface's optical attributes or hole.
// Each reads its values from the parsed command; a refusal reports one message and changes
// nothing. Every handler returns 1 when done and 0 when it refused.
#pragma once

#include "engine/model/object_table.h"

// modify: chooses the form by its item modifier (surface, object, center, extent, altsurfaces;
// scatterer and source belong to the part list and do nothing here).
int modifyCommand();

// modify/extent object=n.m x1 y1 z1 x2 y2 z2: replaces the given limits of a surface's extent
// box and recomputes the object's bounding sphere.
int modifyExtent();
// modify/center object=n dx dy: moves the axis of a mirror's spherical or parabolic surface
// sideways within its fixed outline and resamples its depth.
int modifyCenter();
// modify/object/{index[/material]|absorbtivity|luminence}: the medium of every surface of a
// lens, rod, cylindrical lens or polygon net (luminance also of a luminous volume).
int modifyObject();
// modify/surface/{attributes|hole|fresnel|metal|lwirmetal}: reflectance, absorption, luminance
// and diffuse of one surface, or its hole; the coatings are the part list's.
int modifySurface();
// Adds, changes or (with /delete or a half width not above 0) deletes the hole of a surface of
// a mirror, detector or aperture; the hole must lie within the surface's x-y extent.
int modifyHole(SurfaceRecord* surface, double xCentre, double yCentre, double xHalfWidth,
               double yHalfWidth);

// Moves the axis of a spherical (shape 2) or parabolic (shape 5) mirror surface by (dx, dy)
// within its extent: refused when the outline would leave the sphere; otherwise the quadric and
// any aspheric centre move, the z extent is resampled and the owner's reference point and
// bounding sphere follow. 1 done, 0 refused.
int shiftMirrorCentre(SurfaceRecord* surface, double dx, double dy);
