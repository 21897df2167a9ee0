// The one-ray trace: follows one source ray through the model, splitting it at every surface
// into a reflected and a transmitted branch, following the stronger at once and storing the
// other in the ray tree, until every branch has ended. The path of every branch goes to
// rays.dat, every ray that ends on a detector to spots.dat.
#pragma once

#include "engine/trace/ray_tree.h"

// The outcome of one interaction.
struct TraceStepResult {
    SurfaceRecord* surface = nullptr; // the surface hit
    Vec3 point;                       // the intercept, global
    int ended = 0;                    // the branch ends here
    int leftSystem = 0;               // nothing was hit
    int interceptProduced = 1;        // `point` is a point of the path
    int hasCollected = 0;
    double collected = 0; // luminance collected along the segment
    int onDetector = 0;   // a ray trace reached a detector
    double attenuation = 1.0; // of the medium along the segment, up to the intercept
};

// One interaction of the current ray: the nearest hit, attenuation and collected luminance,
// then the reflected and transmitted branches with their states.
void traceStep(TraceStepResult& result);

// Traces one ray from `start` along `direction` (any length) with every branch. errorFlag is 1
// when a record could not be written (the ray then ended with a message).
void traceOneRay(const Vec3& start, const Vec3& direction, const ObjectRecord* sourceObject,
                 int& errorFlag);

// The closing point of a ray that leaves the system: 25 x the workbox's z half size along the
// direction, flag 0.
void writeExitPoint(const Vec3& position, const Vec3& direction, int& errorFlag);

// The single-ray trace: one ray from the origin of the source object's frame along `direction`
// (in that frame), with the data files opened and closed around it. The source must have a
// surface and the direction must not be zero: 0 and nothing done otherwise, else 1.
int traceSingleRay(const Vec3& direction, const ObjectRecord* sourceObject);
