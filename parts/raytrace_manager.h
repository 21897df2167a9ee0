// The raytrace manager: the raytrace command, which turns its modifiers and values into bundles
// of source rays from a source object (cone, custom plug-in source, collimated, cosine lamp,
// re-emission, and the single ray of the one-ray core). It opens and closes the ray and spot
// files around every trace, remembers the last stored trace for "raytrace/last", shows progress
// with an Escape test, and serves the shaded image one view ray at a time. The document owns
// one manager.
#pragma once

#include <string>

#include "engine/math/vector_math.h"
#include "parts/trace/ray_tracer.h"

// The last stored trace (raytrace/last repeats it).
struct LastTraceStore {
    int objectNumber = 0;
    int nx = 0, ny = 0;
    double horizontal = 0, vertical = 0; // radians for cone and custom
    int oval = 0;
    std::string kindWord;
    int spacing = 4;
    int custom = 0; // the custom flag the last cone or custom command left
    int stored = 0;
    // Which trace this is: the stored object's part keeps the same number, so an object that
    // later took the deleted source's slot is not taken for it. `issued` is the last number
    // given out; forgetting the store keeps it, so no number is given twice.
    long serial = 0, issued = 0;
    bool hasPart = false;
};

LastTraceStore& lastTraceStore();
// Forgets the stored trace (a new program state; tests).
void resetLastTraceStore();

// Spacing kinds of cone bundles.
inline constexpr int kSpacingEqualAngle = 1;
inline constexpr int kSpacingEqualSolidAngle = 3;
inline constexpr int kSpacingFullAngle = 4;

class CRaytraceManager {
  public:
    // The manager becomes theRaytraceManager.
    CRaytraceManager();
    virtual ~CRaytraceManager();
    CRaytraceManager(const CRaytraceManager&) = delete;
    CRaytraceManager& operator=(const CRaytraceManager&) = delete;

    // One ray from the global origin along +z at every weighted wavelength, from `object`'s
    // medium (0: air), with the given limits (the user5 row).
    virtual int TraceUser(int object, int depthLimit, double minimumEnergy, int ghostLimit);
    // Opens rays.dat (and spots.dat in ray-trace mode) for a trace: appended to with addRays,
    // else emptied, with the trace totals zeroed and the radiometers reset. Always 1.
    virtual int OpenRayFiles(int extra);
    virtual void CloseRayFiles();
    // raytrace/last: 0 when nothing is stored or the stored object is gone, undefined, inactive
    // or unplaced, or is another object than the one traced (the store is then forgotten); 1
    // after the trace.
    virtual int RepeatLastTrace();
    // The raytrace command on the parsed command. 1 only for "last".
    virtual int Raytrace();
    // Bundles from object number `object` (1-based). Angles are full angles in radians, widths
    // half widths; `oval` keeps the points inside the ellipse. 1 when traced, 0 when refused.
    virtual int TraceCone(int object, int nx, int ny, double horizontal, double vertical, int oval);
    virtual int TraceCollimated(int object, int nx, int ny, double horizontal, double vertical,
                                int oval);
    virtual int TraceCosLamp(int object, int count);
    // Re-emits the records of reemit.dat that belong to the object (count: at most that many;
    // below 1: all of them).
    virtual int TraceReemit(int object, int count);
    // The shade of one view ray against the light direction: 0 on a miss, else 33..254.
    virtual double ShadeRay(const Vec3& start, const Vec3& direction, const Vec3& light,
                            double* shade);
    virtual double ShadePixel(const Vec3& start, const Vec3& direction, const Vec3& light,
                              double* shade);

    int custom = 0; // 1 while a custom trace runs
    CRayTracer tracer;

  private:
    // raytrace/single: one ray from an object's origin along (u, v, w) of its frame.
    int traceSingle();
    // The limits of every bundle from the settings.
    void loadLimits();
    // Traces one ray given in the source's frame at every weighted wavelength; false when the
    // whole trace must end (a data file failed).
    bool traceLocalRay(ObjectRecord* source, const Vec3& localPoint, const Vec3& localDirection);
    void storeLastTrace(int object, int nx, int ny, double h, double v, int oval, const char* kind);
    int traceCustomCone(ObjectRecord* source, int nx, int ny, double h, double v, int oval);
};

// The document's manager (null before it is made).
inline CRaytraceManager* theRaytraceManager = nullptr;
