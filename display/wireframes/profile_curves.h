// The profile-curve engine of the wireframes: lines along one axis of a surface's frame are met
// with the surface's quadric at evenly spaced samples, and the points that lie within the
// surface's extent are joined into curves. Also the detail table and small outline helpers.
#pragma once

#include "engine/model/object_table.h"

enum Axis : int { kAxisX = 0, kAxisY = 1, kAxisZ = 2 };

// The curve counts of a plot resolution (1 low, 2 medium, 3 high).
struct WireframeCounts {
    int faceCurves = 0;
    int edgeCurves = 0;
    int troughAcrossY = 5; // sections of a trough counted across y
    int troughAcrossX = 5; // and across x
};
WireframeCounts wireframeCounts(int detailLevel);

inline constexpr int kMaxProfileSamples = 50;
inline constexpr int kDefaultProfileSamples = 21;

// Mark of a sample: where the line along the direction axis meets the surface.
enum ProfileMark : int {
    kMarkMiss = 0, // no point within the extent
    kMarkNear = 1, // one root only, or only the near point within the extent
    kMarkBoth = 2, // both points within the extent
    kMarkFar = 3,  // only the far point within the extent
};

struct ProfileSamples {
    int count = 0;
    Vec3 nearPoint[kMaxProfileSamples];
    Vec3 farPoint[kMaxProfileSamples];
    int mark[kMaxProfileSamples] = {};
};

// Roots of the line p + t d with the surface's quadric (surface frame): 0, 1 or 2 roots, t1 <= t2.
int lineQuadricRoots(const SurfaceRecord* surface, const Vec3& p, const Vec3& d, double& t1,
                     double& t2);
// True when the point lies within the extent box widened by 0.00001 on every side.
bool pointInExtent(const SurfaceRecord* surface, const Vec3& point);
// Distance between the two intercepts of the line through `point` along `axis`; 0 when the
// line misses the quadric or touches it once.
double surfaceSag(int axis, const SurfaceRecord* surface, const Vec3& point);

// The samples of a profile: a count outside 2..35 becomes 21; the sweep coordinate runs from
// centre - span / 2 to centre + span / 2.
void computeProfileSamples(int directionAxis, int sweepAxis, const SurfaceRecord* surface,
                           int samples, const Vec3& centre, double span, ProfileSamples& out);
// Joins consecutive samples in the surface's frame, in five passes: near-near of marks 1-1,
// near-far of 1-2, far-near of 2-1, near-near and far-far of 2-2, far-far of 3-3.
void joinProfileSamples(const SurfaceRecord* surface, const ProfileSamples& samples);
// Computes and draws one profile curve.
void sampleSurfaceProfile(int directionAxis, int sweepAxis, const SurfaceRecord* surface,
                          int samples, const Vec3& centre, double span);

// Point i of n at angle i x 2 pi / n on the ellipse with semi-axes a and b (z = 0).
void drawEllipseRing(double a, double b, Vec3* points, int n);
// Draws the polygon through the points in the surface's frame, closed from the last to the
// first.
void drawClosedPolygon(const SurfaceRecord* surface, const Vec3* points, int n);
