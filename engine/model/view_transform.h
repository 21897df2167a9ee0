// The viewing transform of the 3-D views: the look-at point goes to the view origin and the eye
// onto the +z axis, with a perspective divide and near/far clipping.
#pragma once

#include "engine/math/vector_math.h"

struct ViewState {
    PlacementMatrix viewMatrix = identityView();
    double eyeDistance = 1e100; // this far the views are parallel to double precision
    double viewDepth = 0;       // view-space z of the eye
    double nearDistance = 0;
    double farDistance = 1e300;

    static PlacementMatrix identityView() {
        PlacementMatrix m;
        identity4(m);
        return m;
    }
};

ViewState& viewState();
void resetViewState();

inline PlacementMatrix& viewMatrix = viewState().viewMatrix;
inline double& eyeDistance = viewState().eyeDistance;
inline double& viewDepth = viewState().viewDepth;

void setViewTransform(const Vec3& eye, const Vec3& lookAt);
// Angles in degrees; the eye stands eyeDistance away from the look-at point.
void setViewFromAngles(double azimuth, double elevation, const Vec3& lookAt);
// angles[0] azimuth, angles[1] elevation (degrees), angles[2] always 0. A vertical line of sight
// gives elevation +90 (upwards) or -90 with azimuth 0; coincident points give 0, 0.
void viewAnglesFromPoints(const Vec3& from, const Vec3& to, double angles[3]);
// 1 and the projected point when p is visible, else 0.
int projectPoint(const Vec3& p, double out2d[2]);
// 0 when no part of the segment is visible; else the projected, clipped ends.
int projectLine(const Vec3& p1, const Vec3& p2, double out1[2], double out2[2]);
// The projected x and y ranges of the box centre +- halfSizes over its visible corners. With no
// corner visible both ranges collapse to the centre's projection, or to 0..0 when that is hidden
// too.
void projectBoxExtents(const Vec3& centre, const Vec3& halfSizes, double xRange[2],
                       double yRange[2]);
