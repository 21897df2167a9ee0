#include "parts/trace/ray_tracer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <typeinfo>
#include <unistd.h>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/files/ray_files.h"
#include "engine/optics/optics.h"
#include "engine/model/model_version.h"
#include "engine/optics/random_sampling.h"
#include "engine/polynet/polynet_intercept.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/quadric_intercept.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"
#include "engine/trace/ray_tree.h"
#include "parts/materials/grin_step.h"
#include "parts/materials/material.h"
#include "parts/output/ray_output_state.h"
#include "parts/part.h"
#include "parts/part_list.h"
#include "parts/radiometers/radiometer.h"
#include "parts/scatterers/scatterer.h"
#include "parts/trace/trace_totals.h"
#include "platform/safe_file.h"

namespace {

constexpr int kInitialRecords = 200;
constexpr int kRecordGrowth = 100;
constexpr double kFarPointScale = 1000000.0;
// The roulette lets one branch in ten survive below the threshold, with ten times its energy.
constexpr int kRouletteSurvival = 3278;
constexpr double kRouletteBoost = 10.0;
constexpr double kGrinReached = 1e-12;
constexpr int kGrinMaxPasses = 20;

bool closedFromInside(int type) {
    return type == kTypeMirror || type == kTypeCone || type == kTypeBarrel || type == kTypeCylinder;
}

void reportOutOfSpace() {
    errorText(outputChannel, "Out of space for ray data.\n");
}

// printf into the end of `out`, through a buffer on the stack: no allocation once `out` has
// grown to its size.
__attribute__((format(printf, 2, 3))) void appendFormatted(std::string& out, const char* format,
                                                           ...) {
    char text[512];
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n > 0)
        out.append(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1));
}

void reportGrinRange() {
    errorText(outputChannel, "Ray point outside valid GRIN material range");
}

void reportMissingOuterObject() {
    errorText(outputChannel, "Error in tracer - missing outer object.\n");
}

int currentSlot() {
    return wavelengthIndex >= 0 && wavelengthIndex < kWavelengthSlots ? wavelengthIndex : 0;
}

bool isGrin(const CPart* part) {
    return part && part->material && part->material->gradientIndex && part->material->entry;
}
bool isBulk(const CPart* part) {
    return part && part->material && part->material->bulk;
}

// The index of a gradient-index part at a global point; <= 0 outside the profile.
double grinIndexAt(CPart* part, const Vec3& global) {
    Vec3 local;
    transformPoint(global, local, part->geometry->globalToLocal);
    double n = 0, gx = 0, gy = 0, gz = 0;
    if (EvalGrinPoint(part->material->entry, part->material->record, n, gx, gy, gz, local.x,
                      local.y, local.z, traceWavelength()) != 0)
        return 0;
    return std::isfinite(n) ? n : 0;
}

// The medium of a part's catalog glass at the current wavelength replaces the index.
void applyCatalogIndex(const CPart* part, double& index) {
    if (part && part->catalogGlass) index = part->indices[currentSlot()];
}

} // namespace

const CoatingRecord* coatingOfSurface(const SurfaceRecord* surface) {
    static CoatingRecord coating;
    const CSurfaceHandle* h = surface ? surface->surfaceHandle : nullptr;
    if (!h || h->coatingMode == kCoatingOff) return nullptr;
    coating.mode = h->coatingMode;
    std::copy(std::begin(h->cons), std::end(h->cons), coating.cons);
    return &coating;
}

CRayTracer::CRayTracer() {
    records.reserve(kInitialRecords);
    records.resize(kInitialRecords);
}

namespace {

// A handle of a class of its own that the search does not know: its own Intersect.
int handleIntersect(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest) {
    return surface->surfaceHandle->Intersect(point, direction, nearest);
}

// The routine that stands for a handle's Intersect; null where the handle intersects through the
// surface's own hook.
InterceptHook handleRoutine(const CSurfaceHandle& h) {
    if (typeid(h) == typeid(CSurfaceHandle)) return nullptr;
    if (typeid(h) == typeid(CCpcSurfaceHandle)) return &cpc_intercept;
    if (typeid(h) == typeid(CPolynetSurfaceHandle)) return &polynetIntercept;
    return h.surface && h.surface->surfaceHandle == &h ? &handleIntersect : nullptr;
}

} // namespace

void CRayTracer::BuildSearchList(const CPartList* list) {
    search_.clear();
    searchList_ = list;
    altSlotsLoaded_ = 1;
    if (list) {
        for (int i = 0; i < list->partCount(); ++i) {
            CPart* p = list->part(i);
            if (!p || !p->geometry || p->handles.empty()) continue;
            search_.addPart(p->geometry, p);
            for (auto& h : p->handles)
                search_.addSurface(h->surface, handleRoutine(*h), h.get());
        }
    }
    search_.finish(modelVersion(), true);
}

void CRayTracer::AllocateRecords(int first, int count) {
    if (count > static_cast<int>(records.size())) {
        const int size = static_cast<int>(records.size());
        records.resize(static_cast<std::size_t>(
            size + ((count - size + kRecordGrowth - 1) / kRecordGrowth) * kRecordGrowth));
    }
    // Only records below recordsInUse_ hold other than their reset values.
    first = std::max(first, 0);
    for (int i = first; i < recordsInUse_; ++i)
        records[static_cast<std::size_t>(i)] = CRayRecord{};
    if (recordsInUse_ > first) recordsInUse_ = first;
}

void CRayTracer::StartTrace(ObjectRecord* object) {
    AllocateRecords(0, 1);
    recordIndex = 0;
    ghostCount = 0;
    accumulated = 0;
    point = direction = Vec3{};
    energy = weightTable[currentSlot()];
    lastHandle = nullptr;
    lastPart = nullptr;
    surface = object ? object->firstSurface : nullptr;
    SurfaceRecord* link = surface ? surface->inside : nullptr;
    surfaceOwnMedium(link, mediumIndex, absorptivity, luminance);
    if (!link) mediumIndex = 1.0, absorptivity = 0, luminance = 0;
    mediumPart = link && link->surfaceHandle ? link->surfaceHandle->part : nullptr;
    applyCatalogIndex(mediumPart, mediumIndex);
}

int CRayTracer::WriteRayPoint(int flag, const Vec3& p) {
    int error = 0;
    writeRayRecord(flag, p, error);
    if (error) {
        if (!writeFailed) reportOutOfSpace();
        writeFailed = 1;
        return 0;
    }
    return 1;
}

int CRayTracer::WriteRayEndPoint(const Vec3& p, const Vec3& d, double e) {
    const Vec3 far = farRayPoint(p, d, e * kFarPointScale);
    int error = 0;
    writeRayRecord(kRayFlagFarPoint, far, error);
    if (error) {
        if (!writeFailed) reportOutOfSpace();
        writeFailed = 1;
        return 0;
    }
    return 1;
}

int CRayTracer::WriteSpotRecord(const Vec3& hitPoint, double e, SurfaceRecord* s, int) {
    Vec3 localDirection;
    localRayDirection(s, hitPoint, direction, localDirection);
    int error = 0;
    writeSpotRecord(hitPoint, e, s, error, localDirection);
    if (error) {
        if (!writeFailed) errorText(outputChannel, "Unable to write %s\n", spotFilePath().c_str());
        writeFailed = 1;
        return 0;
    }
    return 1;
}

int CRayTracer::TraceAllWavelengths(const Vec3& p, const Vec3& d, ObjectRecord* object, int extra) {
    // Also a source ray that no weight lets through is a place to stop.
    if (escapePoll.stop()) return 0;
    const int saved = wavelengthIndex;
    for (int i = 0; i < kWavelengthSlots; ++i) {
        if (!(weightTable[i] > 0)) continue;
        wavelengthIndex = i;
        if (!TraceSourceRay(p, d, object, extra)) {
            wavelengthIndex = saved;
            return 0;
        }
    }
    wavelengthIndex = saved;
    return 1;
}

void CRayTracer::PushSegment(int index, SurfaceRecord* s) {
    const TracerBranch& b = reflected.flag == 2 ? reflected : transmitted;
    CRayRecord& r = records[static_cast<std::size_t>(index)];
    r.pendingDirection = b.direction;
    r.energy = energy * b.factor;
    r.index = b.index;
    r.absorptivity = b.absorptivity;
    r.luminance = b.luminance;
    r.mediumPart = b.mediumPart;
    r.surface = s;
    r.ghostCount = ghostCount + 1;
    r.pending = 1;
}

void CRayTracer::LoadSourceRay() {
    const TracerBranch& b = reflected.flag == 1 ? reflected : transmitted;
    direction = b.direction;
    energy *= b.factor;
    mediumIndex = b.index;
    absorptivity = b.absorptivity;
    luminance = b.luminance;
    mediumPart = b.mediumPart;
}

void CRayTracer::RestoreSegment(int index) {
    const CRayRecord& r = records[static_cast<std::size_t>(index)];
    point = r.point;
    direction = r.pendingDirection;
    energy = r.energy;
    mediumIndex = r.index;
    absorptivity = r.absorptivity;
    luminance = r.luminance;
    mediumPart = r.mediumPart;
    surface = r.surface;
    ghostCount = r.ghostCount;
}

int CRayTracer::NextBranch() {
    for (int k = recordIndex - 1; k >= 0; --k) {
        CRayRecord& r = records[static_cast<std::size_t>(k)];
        if (mode == kTracerModeImage) r.accumulated += accumulated;
        if (!r.pending) continue;
        AllocateRecords(k + 1, k + 2);
        RestoreSegment(k);
        r.pending = 0;
        recordIndex = k + 1;
        return 1;
    }
    return 0;
}

int CRayTracer::FindNearestHit(const Vec3& start, Vec3& d, SurfaceRecord*& hit, Vec3& hitPoint,
                               double& distance, int& miss) {
    hit = nullptr;
    lastHandle = nullptr;
    lastPart = nullptr;
    if (!search_.builtAt(modelVersion())) BuildSearchList(searchList_);
    normalizeNearUnit(d);
    SearchHit found;
    if (!search_.find(start, d, found)) {
        miss = 1;
        distance = -1;
        return -1;
    }
    hit = found.record;
    lastHandle = static_cast<CSurfaceHandle*>(found.tag);
    lastPart = static_cast<CPart*>(search_.owner(found.part));
    miss = 0;
    distance = found.distance;
    rayPoint(hitPoint, start, d, found.distance);
    return found.surface;
}

bool CRayTracer::FarSide(SurfaceRecord* hit, CPart* hitPart, const Vec3& localPoint,
                         const Vec3& localDirection, const Vec3& normal, double& n2, double& a2,
                         double& l2, CPart*& part2) {
    n2 = 1.0, a2 = 0, l2 = 0;
    surfaceMedia(hit, localPoint, localDirection, n2, a2, l2, &normal);
    if (currentSurfaceObject) {
        // The ray enters the medium of the object this one sits in.
        SurfaceRecord* link = hit->inside;
        if (!link) {
            part2 = nullptr;
        } else if (!link->surfaceHandle || !link->surfaceHandle->part) {
            reportMissingOuterObject();
            return false;
        } else {
            part2 = link->surfaceHandle->part;
        }
    } else {
        part2 = hitPart;
    }
    applyCatalogIndex(part2, n2);
    return true;
}

// Steps the ray through the gradient-index medium it is in; the result holds the hit reached
// (writePoint) or the stepped point. 0 when the branch ended.
int CRayTracer::GrinSegment(SegmentResult& r, double straight) {
    CMaterial& m = *mediumPart->material;
    SurfaceRecord* frame = mediumPart->geometry->firstSurface;
    auto step = [&](Vec3& p, Vec3& d, double length) {
        Vec3 lp, ld;
        transformPoint(p, lp, mediumPart->geometry->globalToLocal);
        RotateIntoObjectFrame(d, ld, frame);
        const double done = length > 0 ? m.GrinStep(lp, ld, length) : m.GrinIndex(lp, ld);
        if (done == 0.0) return false;
        transformPoint(lp, p, mediumPart->geometry->localToGlobal);
        RotateOutOfObjectFrame(ld, d, frame);
        normalize3(d);
        return true;
    };
    if (!(m.maxdist > straight)) {
        // The surface lies beyond one full step: the ray advances one step and goes on.
        Vec3 p = point, d = direction;
        if (!step(p, d, 0)) {
            reportGrinRange();
            r.branchDone = 1;
            return 0;
        }
        const double t = m.maxdist;
        r.hitPoint = p;
        r.surface = nullptr;
        r.writePoint = 1;
        reflected.flag = 0;
        transmitted = TracerBranch{
            1, d, std::exp(-absorptivity * t), mediumIndex, absorptivity, luminance, mediumPart};
        CRayRecord& rec = records[static_cast<std::size_t>(recordIndex)];
        rec.segmentLength = t;
        rec.segmentOpl = mediumIndex * t;
        return 2;
    }
    Vec3 p = point, d = direction;
    double length = straight / 10, travelled = 0;
    for (int pass = 1;; ++pass) {
        if (pass > kGrinMaxPasses) {
            errorText(outputChannel, "GRIN - surface intercept did not converge.");
            r.branchDone = 1;
            return 0;
        }
        outText(outputChannel, "%15.9lg,%15.9lg,%15.9lg,Origin\n", p.x, p.y, p.z);
        outText(outputChannel, "%15.9lg,%15.9lg,%15.9lg,Direc dist %15.9lg\n", d.x, d.y, d.z,
                length);
        if (!step(p, d, length)) {
            reportGrinRange();
            r.branchDone = 1;
            return 0;
        }
        travelled += length;
        outText(outputChannel, "%15.9lg,%15.9lg,%15.9lg,GRIN\n", p.x, p.y, p.z);
        outText(outputChannel, "%15.9lg,%15.9lg,%15.9lg,Dt\n", d.x, d.y, d.z);
        SurfaceRecord* hit = nullptr;
        Vec3 hp;
        double dist = 0;
        int miss = 0;
        FindNearestHit(p, d, hit, hp, dist, miss);
        if (miss) {
            point = p;
            direction = d;
            r.miss = 1;
            r.branchDone = 1;
            return 0;
        }
        const Vec3 gap = hp - p;
        const double gap2 = dot3(gap, gap);
        outText(outputChannel, "%15.9lg,%15.9lg,%15.9lg,Linear\n", hp.x, hp.y, hp.z);
        outText(outputChannel, "dist %lg, distx %lg missdist %lg\n", travelled, dist, gap2);
        if (gap2 < kGrinReached) {
            direction = d;
            point = p;
            r.hitPoint = hp;
            r.surface = hit;
            return 1;
        }
        length = 0.9 * dist;
    }
}

void CRayTracer::Trace(SegmentResult& r) {
    r = SegmentResult{};
    reflected.flag = transmitted.flag = 0;
    CRayRecord& rec = records[static_cast<std::size_t>(recordIndex)];
    rec.segmentOpl = 0;
    rec.segmentLength = 0;
    TraceTotals& totals = traceTotals();

    if (!(energy > threshold)) {
        if (rayRoulette && randomInt() < kRouletteSurvival) {
            energy *= kRouletteBoost;
        } else {
            ++totals.thresholdCount;
            totals.thresholdEnergy += energy;
            r.branchDone = r.cutOff = 1;
            return;
        }
    }
    if (recordIndex >= maxDepth) {
        ++totals.depthLimitCount;
        totals.depthLimitEnergy += energy;
        outText(outputChannel,
                "Maximum ray depth (%d) exceeded.  Trace terminated.\nSee SET command.\n",
                maxDepth);
        r.branchDone = r.cutOff = 1;
        return;
    }

    // Only the surface the ray is leaving can be a self-hit.
    selfHitSurface = surface;
    SurfaceRecord* hit = nullptr;
    double distance = 0;
    int miss = 0;
    FindNearestHit(point, direction, hit, r.hitPoint, distance, miss);
    CSurfaceHandle* handle = lastHandle;
    CPart* hitPart = lastPart;

    if (!miss && isGrin(mediumPart)) {
        const int got = GrinSegment(r, distance);
        if (got == 0) {
            if (r.miss) {
                ++totals.noHitCount;
                totals.noHitEnergy += energy;
            }
            return;
        }
        if (got == 2) return; // a step inside the medium
        hit = r.surface;
        handle = lastHandle;
        hitPart = lastPart;
        const Vec3 run = r.hitPoint - point;
        distance = std::sqrt(dot3(run, run));
        // The index the ray leaves is the medium's at the hit.
        const double n = grinIndexAt(mediumPart, r.hitPoint);
        if (!(n > 0)) {
            reportGrinRange();
            r.branchDone = 1;
            return;
        }
        mediumIndex = n;
    }
    if (miss) {
        ++totals.noHitCount;
        totals.noHitEnergy += energy;
        r.miss = r.branchDone = 1;
        return;
    }
    r.surface = hit;
    r.handle = handle;
    r.part = hitPart;
    r.writePoint = 1;

    const double tPath = absorptivity != 0 ? std::exp(-absorptivity * distance) : 1.0;
    r.pathTransmission = tPath;
    if (hit->luminance > 0 || luminance != 0) {
        const double medium =
            absorptivity != 0 ? luminance / absorptivity * (1 - tPath) : luminance * distance;
        r.emitted = 1;
        r.emittedAmount = hit->luminance * tPath + medium;
    }
    const int type = hit->owner ? hit->owner->typeCode : 0;
    r.detectorHit = type == kTypeRaytraceDetector && mode == kTracerModeRays;

    if (isBulk(mediumPart)) {
        double t = 0;
        if (mediumPart->material->SampleFreePath(distance, t)) {
            Vec3 d = direction;
            mediumPart->material->ScatterDirection(direction, d);
            rayPoint(r.hitPoint, point, direction, t);
            r.surface = nullptr;
            r.handle = nullptr;
            r.part = nullptr;
            r.detectorHit = 0;
            r.emitted = 0;
            transmitted = TracerBranch{
                1,         d,         std::exp(-absorptivity * t), mediumIndex, absorptivity,
                luminance, mediumPart};
            rec.segmentLength = t;
            rec.segmentOpl = mediumIndex * t;
            return;
        }
    }
    rec.segmentLength = distance;
    rec.segmentOpl = mediumIndex * distance;

    Vec3 localPoint, localDirection;
    toLocalPoint(r.hitPoint, localPoint, hit);
    toLocalDirection(direction, localDirection, hit);
    normalizeNearUnit(localDirection);
    if (hit->absorbtion >= 1 ||
        (closedFromInside(type) && rayInsideSurface(localPoint, localDirection, hit))) {
        r.branchDone = 1;
        return;
    }

    // The surface's own normal at the hit, worked out once for the media and the optics.
    Vec3 hookN;
    hookNormal(hit, localPoint, hookN);
    double n2 = 1.0, a2 = 0, l2 = 0;
    CPart* part2 = nullptr;
    if (!FarSide(hit, hitPart, localPoint, localDirection, hookN, n2, a2, l2, part2)) {
        r.branchDone = 1;
        return;
    }
    if (isGrin(part2)) {
        n2 = grinIndexAt(part2, r.hitPoint);
        if (!(n2 > 0)) {
            reportGrinRange();
            r.branchDone = 1;
            return;
        }
    }
    applyProximityGlue(n2, hit);

    // Slots loaded at an earlier hit must not refine this surface's normal.
    const bool hasAlternates = hit->altSurfaces != nullptr;
    if (hasAlternates || altSlotsLoaded_) clearAltSurfaces();
    if (hasAlternates) loadAltSurfaces(hit);
    altSlotsLoaded_ = hasAlternates;
    currentCoating = coatingOfSurface(hit);
    const double n1 = mediumIndex;
    Vec3 refracted = localDirection;
    int totalInternal = 0;
    double R = 0;
    refractRay(hit, localPoint, localDirection, n1, n2, refracted, totalInternal, R, &hookN);

    BranchFactors split = branchFactors(hit->absorbtion, R, totalInternal);
    if (!totalInternal && coatingTransmitted >= 0) split = {R, coatingTransmitted};
    if (totalInternal) {
        reflected.flag = 1;
    } else if (split.transmitted > split.reflected) {
        transmitted.flag = 1;
        if (split.reflected > 0) reflected.flag = 2;
    } else {
        reflected.flag = 1;
        if (split.transmitted > 0) transmitted.flag = 2;
    }

    CScatterer* scatterer = handle ? handle->child.get() : nullptr;
    Vec3 normal;
    if (scatterer) surfaceNormal(hit, localPoint, localDirection, normal, &hookN);
    if (reflected.flag) {
        Vec3 d;
        reflectRay(hit, localPoint, localDirection, d, &hookN);
        if (hasAlternates) applyDirectionRefinement(hit, localPoint, d, n1);
        normalize3(d);
        if (scatterer) {
            Vec3 faced = normal; // the side the reflected branch leaves into
            scatterer->Scatter(d, 1.0, faced);
        }
        toGlobalDirection(d, reflected.direction, hit);
        normalizeNearUnit(reflected.direction);
        reflected.factor = totalInternal ? tPath : split.reflected * tPath;
        reflected.index = mediumIndex;
        reflected.absorptivity = absorptivity;
        reflected.luminance = luminance;
        reflected.mediumPart = mediumPart;
    }
    if (transmitted.flag) {
        Vec3 d = refracted;
        if (hasAlternates) applyDirectionRefinement(hit, localPoint, d, n2);
        normalizeNearUnit(d);
        if (scatterer) {
            Vec3 back{-normal.x, -normal.y, -normal.z};
            scatterer->Scatter(d, n2, back);
        }
        toGlobalDirection(d, transmitted.direction, hit);
        normalizeNearUnit(transmitted.direction);
        transmitted.factor = split.transmitted * tPath;
        transmitted.index = n2;
        transmitted.absorptivity = a2;
        transmitted.luminance = l2;
        transmitted.mediumPart = part2;
    }
}

void CRayTracer::RecordDetectorHit(const SegmentResult& r) {
    if (!r.part || mode != kTracerModeRays) return;
    // What reaches the surface: the medium on the way took its share.
    const double reaching = energy * r.pathTransmission;
    if (r.detectorHit) {
        if (!spotsOff) WriteSpotRecord(r.hitPoint, reaching, r.surface, 0);
        if (r.part->radiometer) r.part->radiometer->AddHitAt(r.hitPoint, reaching, r.surface);
    } else if (r.part->radiometer && r.part->kindName == "polynet") {
        r.part->radiometer->AddPolynetHit(reaching);
    }
}

int CRayTracer::WriteDetectorOutputs(const SegmentResult& r, const Vec3& hitPoint) {
    if (chosenRayFileOpen()) {
        Vec3 local;
        toLocalPoint(hitPoint, local, r.surface);
        if (!WriteRaysCsv(hitPoint, local)) return 0;
    }
    if (rayOutputState().oplMode != kOplOff && !WriteRaysOpl(hitPoint)) return 0;
    return 1;
}

int CRayTracer::TraceSourceRay(const Vec3& p, const Vec3& d, ObjectRecord* object, int) {
    StartTrace(object);
    const bool output = rayOutputOn && !spotsOff;
    if (output && !WriteRayPoint(wavelengthIndex + 1, p)) return 0;
    TraceTotals& totals = traceTotals();
    ++totals.raysTraced;
    totals.totalSourceEnergy += weightTable[currentSlot()];
    point = segmentStart = p;
    direction = d;
    normalize3(direction);

    SegmentResult r;
    for (;;) {
        // A tree of ghosts may have more branches than anyone can wait for.
        if (escapePoll.stop()) return 0;
        if (recordIndex >= static_cast<int>(records.size()))
            AllocateRecords(recordIndex, recordIndex + 1);
        recordsInUse_ = std::max(recordsInUse_, recordIndex + 1);
        Trace(r);
        if (output) {
            if (r.miss) {
                if (!WriteRayEndPoint(point, direction, energy)) return 0;
            } else if (r.writePoint && !r.cutOff) {
                if (!WriteRayPoint(kRayFlagNext, r.hitPoint)) return 0;
            }
        }
        CRayRecord& rec = records[static_cast<std::size_t>(recordIndex)];
        rec.segmentEnergy = energy;
        rec.hitPoint = r.hitPoint;
        RecordDetectorHit(r);
        if (writeFailed) return 0;
        const bool ends = r.branchDone || reflected.flag + transmitted.flag == 0;
        if (ends) {
            if (r.emitted) accumulated += energy * r.emittedAmount;
            if (r.detectorHit && !r.miss && !WriteDetectorOutputs(r, r.hitPoint)) return 0;
            if (!NextBranch()) return 1;
            if (output && !WriteRayPoint(wavelengthIndex + 1, point)) return 0;
            continue;
        }
        // The segment split or went on.
        rec.fresh = 0;
        rec.point = r.hitPoint;
        const bool later = reflected.flag == 2 || transmitted.flag == 2;
        if (later && ghostCount < ghostLimit) {
            PushSegment(recordIndex, r.surface);
        } else {
            rec.pending = 0;
            rec.surface = r.surface;
        }
        if (r.emitted) accumulated += energy * r.emittedAmount;
        LoadSourceRay();
        point = r.hitPoint;
        // A step inside a material keeps the surface the ray last left.
        if (r.surface) surface = r.surface;
        ++recordIndex;
    }
}

int CRayTracer::WriteRaysCsv(const Vec3& detectorPoint, const Vec3& detectorLocal) {
    RayOutputState& s = rayOutputState();
    const int count = recordIndex;
    if (rayOutputOn && !spotsOff) {
        if (!WriteRayPoint(wavelengthIndex + 1, segmentStart)) return 0;
        for (int i = 0; i < count; ++i)
            if (!WriteRayPoint(kRayFlagNext, records[static_cast<std::size_t>(i)].point)) return 0;
        if (!WriteRayPoint(kRayFlagNext, detectorPoint)) return 0;
    }
    const bool full = s.chosenMode == kChosenFull;
    if (s.chosenBinary) {
        // The index holds 4-byte offsets: a ray whose trailer they could not address ends the
        // chosen rays, before a wrapped offset is written.
        const long long bytes =
            (full ? static_cast<long long>(count) * kChosenSegmentBytes : 0) + kChosenTrailerBytes;
        if (s.recordOffset + bytes > INT32_MAX) {
            errorText(outputChannel,
                      "Chosen-ray file %s is full: its index cannot address more than 2 GB.\n",
                      s.chosenName.c_str());
            closeChosenRayFiles();
            writeFailed = 1;
            return 0;
        }
    }
    std::string& out = s.chosenPending;
    if (out.capacity() < kChosenFlushBytes) out.reserve(2 * kChosenFlushBytes);
    Vec3 lo = detectorPoint, hi = detectorPoint;
    double cumulative = 0;
    for (int i = 0; i < count; ++i) {
        const CRayRecord& r = records[static_cast<std::size_t>(i)];
        cumulative += r.segmentOpl;
        lo = {std::min(lo.x, r.point.x), std::min(lo.y, r.point.y), std::min(lo.z, r.point.z)};
        hi = {std::max(hi.x, r.point.x), std::max(hi.y, r.point.y), std::max(hi.z, r.point.z)};
        if (!full) continue;
        if (s.chosenBinary) {
            for (double v : {r.point.x, r.point.y, r.point.z, r.segmentEnergy, double(i)})
                appendLittleEndianDouble(out, v);
            s.recordOffset += kChosenSegmentBytes;
        } else {
            appendFormatted(out, "%s%g,%g,%g,%g,%d,%g", i ? "\n" : "", r.point.x, r.point.y,
                            r.point.z, r.segmentEnergy, i, cumulative);
        }
    }
    if (s.chosenBinary) {
        appendLittleEndianInt32(s.indexPending, s.recordOffset);
        const double trailer[] = {detectorPoint.x,
                                  detectorPoint.y,
                                  detectorPoint.z,
                                  energy,
                                  static_cast<double>(count),
                                  lo.x,
                                  lo.y,
                                  lo.z,
                                  hi.x,
                                  hi.y,
                                  hi.z,
                                  detectorLocal.x,
                                  detectorLocal.y,
                                  detectorLocal.z};
        for (double v : trailer)
            appendLittleEndianDouble(out, v);
        s.recordOffset += kChosenTrailerBytes;
    } else {
        appendFormatted(out, "\n%g,%g,%g,%g,%d", detectorPoint.x, detectorPoint.y, detectorPoint.z,
                        energy, count);
        appendFormatted(out, ",%g,%g,%g, ", lo.x, lo.y, lo.z);
        appendFormatted(out, "%g,%g,%g,       %g,%g,%g\n", hi.x, hi.y, hi.z, detectorLocal.x,
                        detectorLocal.y, detectorLocal.z);
    }
    if (out.size() >= kChosenFlushBytes && !flushChosenRays()) {
        writeFailed = 1;
        return 0;
    }
    return 1;
}

int CRayTracer::WriteRaysOpl(const Vec3& p) {
    RayOutputState& s = rayOutputState();
    std::string& out = s.oplPending;
    out.clear();
    double total = 0, inAir = 0, inMedia = 0;
    const int count = recordIndex + 1; // the segments up to and including the detector's
    if (s.oplMode == kOplFull)
        out += "Cumulative OPL,                     OPL,       physical distance\n";
    for (int i = 0; i < count; ++i) {
        const CRayRecord& r = records[static_cast<std::size_t>(i)];
        total += r.segmentOpl;
        if (r.segmentOpl == r.segmentLength)
            inAir += r.segmentOpl;
        else
            inMedia += r.segmentOpl;
        if (s.oplMode == kOplFull)
            appendFormatted(out, "> %20.8lf %20.8lf %20.8lf\n", total, r.segmentOpl,
                            r.segmentLength);
    }
    if (s.oplMode == kOplFull) {
        const CRayRecord& last = records[static_cast<std::size_t>(count - 1)];
        appendFormatted(out, "> %20.8lf %20.8lf %20.8lf\n\n", total, last.segmentOpl,
                        last.segmentLength);
    }
    const double wl = traceWavelength();
    if (s.oplMode == kOplPreWavefront) {
        const char* fmt = "%20.8lf %20.8lf  %20.8lf %20.8lf %20.8lf  %20.8lf %20.8lf %20.8lf \n";
        appendFormatted(out, fmt, wl, total, p.x, p.y, p.z, direction.x, direction.y, direction.z);
        outText(outputChannel, fmt, wl, total, p.x, p.y, p.z, direction.x, direction.y,
                direction.z);
    } else {
        const char* fmt = "%20.8lf %20.8lf %20.8lf %20.8lf\n";
        appendFormatted(out, fmt, wl, total, inAir, inMedia);
        outText(outputChannel, fmt, wl, total, inAir, inMedia);
    }
    // One ray at a time, whole: a ray the disk cannot take is cut off again and ends the trace.
    const int fd = openOplFileForAppend();
    bool ok = fd >= 0 && platform::appendWholeRecords(fd, out.data(), out.size());
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (!ok) {
        if (!writeFailed)
            errorText(outputChannel, fd < 0 ? "Unable to open %s\n" : "Unable to write %s\n",
                      s.oplFileName.c_str());
        writeFailed = 1;
        return 0;
    }
    return 1;
}
