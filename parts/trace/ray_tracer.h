// The bundle tracer: follows one source ray through the parts of the model with every branch it
// splits into. It finds the nearest hit over the parts' surface handles, decides what happens
// there (absorption, detector, reflection and refraction with Fresnel ghosts and coatings,
// surface scatter, bulk scatter and gradient-index stepping inside a material), walks the ray
// tree depth first on its segment records, and writes rays.dat, spots.dat, the radiometers, the
// chosen-ray and optical-path files and the trace totals.
//
// The walk: at a split the branch to follow later is stored in the current record while the
// ray's ghost count is below the ghost limit (else it is dropped, its energy counted nowhere),
// the other is followed and the record index rises; when a branch ends the nearest record below
// with a stored branch restores it. The records are allocated once and grow by 100 when a tree
// gets deeper than any before: nothing is allocated per ray or per segment.
#pragma once

#include <vector>

#include "command/messages/escape_poll.h"
#include "engine/math/vector_math.h"
#include "engine/model/object_table.h"
#include "engine/optics/coatings.h"
#include "engine/trace/part_search.h"

class CPart;
class CPartList;
class CSurfaceHandle;

// The coating of a surface's handle (kept in a buffer that the next call reuses), or null when
// the surface has no handle or its coating is off. Both tracers take their coatings from here.
const CoatingRecord* coatingOfSurface(const SurfaceRecord* surface);

// One segment record of the ray tree.
struct CRayRecord {
    Vec3 pendingDirection;  // the stored branch's direction
    Vec3 point;             // the hit point of the segment (the stored branch starts here)
    double energy = 1.0;    // the stored branch's energy
    double accumulated = 0; // collected luminance (image rendering)
    double index = 1.0;     // the stored branch's medium
    double absorptivity = 0;
    double luminance = 0;
    int fresh = 1;      // not visited yet
    int pending = 1;    // a branch waits here
    int ghostCount = 0; // the stored branch's ghost count
    double segmentEnergy = 1.0;
    double segmentOpl = 0; // optical path length of the segment
    double segmentLength = 0;
    SurfaceRecord* surface = nullptr; // the surface of the segment's hit
    CPart* mediumPart = nullptr;      // the part whose material the stored branch is in
    Vec3 hitPoint;                    // the global hit that ended the segment
};

// What one segment came to.
struct SegmentResult {
    int branchDone = 0;
    int emitted = 0; // luminance was collected along the segment
    double emittedAmount = 0;
    int detectorHit = 0; // the segment ended on a detector (mode 2)
    int miss = 0;        // nothing was hit: the ray left the system
    int writePoint = 0;  // the hit point belongs to the path
    int cutOff = 0;      // ended at the threshold or the depth limit: no point
    double pathTransmission = 1.0; // of the medium along the segment, up to the hit
    Vec3 hitPoint;
    SurfaceRecord* surface = nullptr;
    CSurfaceHandle* handle = nullptr;
    CPart* part = nullptr;
};

// The split of one interaction (shared with nothing else: the tracer is not re-entrant).
struct TracerBranch {
    int flag = 0;   // 0 not followed, 1 followed now, 2 followed later
    Vec3 direction; // global unit
    double factor = 0;
    double index = 1.0;
    double absorptivity = 0;
    double luminance = 0;
    CPart* mediumPart = nullptr;
};

// Trace modes (the one-ray core's values).
inline constexpr int kTracerModeImage = 1;
inline constexpr int kTracerModeRays = 2;

class CRayTracer {
  public:
    CRayTracer();
    virtual ~CRayTracer() = default;
    CRayTracer(const CRayTracer&) = delete;
    CRayTracer& operator=(const CRayTracer&) = delete;

    // Traces the ray at every wavelength slot whose weight is above 0; 1, or 0 when a data file
    // could not be written (the trace must stop).
    virtual int TraceAllWavelengths(const Vec3& point, const Vec3& direction, ObjectRecord* object,
                                    int extra);
    // Traces the ray at the current wavelength index; 1, or 0 when a data file failed or the
    // user asked to stop.
    virtual int TraceSourceRay(const Vec3& point, const Vec3& direction, ObjectRecord* object,
                               int extra);
    // The start state of a source ray from `object` (null: air).
    virtual void StartTrace(ObjectRecord* object);
    // The chosen-ray file's entry of a ray that ended on a detector at `detectorPoint` (global)
    // with local coordinates `detectorLocal`; 0 when rays.dat failed.
    virtual int WriteRaysCsv(const Vec3& detectorPoint, const Vec3& detectorLocal);
    // The optical-path file's entry of a ray that ended at `point`.
    virtual int WriteRaysOpl(const Vec3& point);
    // One rays.dat record; 0 after "Out of space for ray data.\n".
    virtual int WriteRayPoint(int flag, const Vec3& point);
    // The far point of a ray leaving the system: energy x 1,000,000 along the direction, flag -1;
    // nearer when that would not be a finite point (a weight beyond any sense).
    virtual int WriteRayEndPoint(const Vec3& point, const Vec3& direction, double energy);
    // One spots.dat record; 0 when it failed.
    virtual int WriteSpotRecord(const Vec3& hitPoint, double energy, SurfaceRecord* surface,
                                int extra);
    // Restores the nearest stored branch below the current record; 0 when the tree is done.
    virtual int NextBranch();
    // Makes sure records 0..count-1 exist with their reset values from `first` on.
    virtual void AllocateRecords(int first, int count);
    virtual void RestoreSegment(int index);
    // The branch flagged 1 becomes the current ray.
    virtual void LoadSourceRay();
    // The branch flagged 2 is stored in record `index`.
    virtual void PushSegment(int index, SurfaceRecord* surface);
    // The nearest hit over the searchable parts: the index of the surface within its part and
    // the hit, or -1 and miss = 1. Ties go to the first found in part and surface order.
    virtual int FindNearestHit(const Vec3& start, Vec3& direction, SurfaceRecord*& surface,
                               Vec3& hitPoint, double& distance, int& miss);
    // One segment of the current ray.
    virtual void Trace(SegmentResult& result);

    // The parts FindNearestHit searches, in list order; built from the part list when the ray
    // files open (and by tests), and again on first use after the model changed. Parts without
    // surfaces or geometry are left out.
    void BuildSearchList(const CPartList* list);

    // Current ray.
    Vec3 point;
    Vec3 direction;
    double energy = 0;
    double accumulated = 0;
    double threshold = 1e-6;
    double mediumIndex = 1.0;
    double absorptivity = 0;
    double luminance = 0;
    Vec3 segmentStart; // the source ray's start point
    int recordIndex = 0;
    int maxDepth = 199;
    int ghostLimit = 5;
    int ghostCount = 0;
    int mode = kTracerModeRays;
    int spacing = 4;
    SurfaceRecord* surface = nullptr; // the surface the ray is leaving
    std::vector<CRayRecord> records;
    CSurfaceHandle* lastHandle = nullptr;
    CPart* lastPart = nullptr;
    CPart* mediumPart = nullptr; // the part whose material the ray is in (none: plain medium)

    // Split state of the last interaction.
    TracerBranch reflected;
    TracerBranch transmitted;

    // Polled for every source ray and every branch: Escape, Ctrl-C or a termination signal
    // ends the ray at once (TraceSourceRay returns 0 with abortRequest set).
    EscapePoll escapePoll;

    // Set by a failed write of rays.dat, spots.dat, the chosen-ray pair or the optical-path
    // file (said once): the trace as a whole must end.
    int writeFailed = 0;

  private:
    PartSearch search_;
    const CPartList* searchList_ = nullptr; // what search_ was built from
    int recordsInUse_ = 0;
    // The alternate-function slots may hold some surface's functions (the last hit's, or those
    // another tracer left): the next hit clears them. Set again whenever a trace's search opens.
    int altSlotsLoaded_ = 1;

    int WriteDetectorOutputs(const SegmentResult& r, const Vec3& hitPoint);
    void RecordDetectorHit(const SegmentResult& r);
    int GrinSegment(SegmentResult& r, double straightDistance);
    bool FarSide(SurfaceRecord* hit, CPart* hitPart, const Vec3& localPoint,
                 const Vec3& localDirection, const Vec3& normal, double& n2, double& a2,
                 double& l2, CPart*& part2);
};
