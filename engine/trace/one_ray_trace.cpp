#include "engine/trace/one_ray_trace.h"

#include <cmath>

#include "command/messages/escape_poll.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/commands/placement_commands.h"
#include "engine/files/ray_files.h"
#include "engine/optics/optics.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"

namespace {

constexpr double kExitDistanceFactor = 25.0;

void reportRayWriteError() {
    errorText(outputChannel, "Error writing ray data -- possibly out of disk space.\n");
}

void reportSpotWriteError() {
    errorText(outputChannel, "Error writing intercept data -- possibly out of disk space.\n");
}

// Objects whose surface ends a ray that meets it from the inside.
bool closedFromInside(int type) {
    return type == kTypeMirror || type == kTypeCone || type == kTypeBarrel || type == kTypeCylinder;
}

void toGlobalUnit(const Vec3& local, Vec3& out, const SurfaceRecord* surface) {
    toGlobalDirection(local, out, surface);
    normalize3(out);
}

} // namespace

void traceStep(TraceStepResult& result) {
    result = TraceStepResult{};
    RayBranch& refl = reflectedBranch;
    RayBranch& trans = transmittedBranch;
    refl.state = trans.state = kBranchNone;
    CurrentRay& ray = currentRay;

    const int depthLimit = rayDepthLimit();
    if (ray.depth >= depthLimit || ray.energy <= minRayEnergy) {
        result.ended = 1;
        result.interceptProduced = 0;
        if (ray.depth >= depthLimit)
            outText(outputChannel,
                    "Maximum ray depth (%d) exceeded.  Trace terminated.\nSee SET command.\n",
                    maxRayDepth);
        return;
    }

    // Only the surface the ray is leaving can be a self-hit.
    selfHitSurface = ray.depth == 0 ? traceStartSurface : rayTreeLevels[ray.depth - 1].surface;
    SurfaceRecord* surface = nullptr;
    double distance = 0;
    int noHit = 0;
    findNearestIntercept(ray.position, ray.direction, surface, result.point, distance, noHit);
    if (noHit || !surface) {
        result.leftSystem = 1;
        result.ended = 1;
        result.interceptProduced = 0;
        return;
    }
    result.surface = surface;
    clearAltSurfaces();
    loadAltSurfaces(surface);
    refl.origin = trans.origin = result.point;

    const double attenuation = std::exp(-ray.absorptivity * distance);
    result.attenuation = attenuation;
    if (surface->luminance > 0 || ray.luminance != 0) {
        const double medium = ray.absorptivity != 0
                                  ? ray.luminance * (1 - attenuation) / ray.absorptivity
                                  : ray.luminance * distance;
        result.collected = surface->luminance * attenuation + medium;
        result.hasCollected = 1;
    }

    const int type = surface->owner ? surface->owner->typeCode : 0;
    if (type == kTypeRaytraceDetector && traceMode == kTraceModeRays) {
        result.onDetector = 1;
        return;
    }

    Vec3 localPoint, localDirection;
    toLocalPoint(result.point, localPoint, surface);
    toLocalDirection(ray.direction, localDirection, surface);
    normalize3(localDirection);
    normalize3(ray.direction);
    if (surface->absorbtion >= 1 ||
        (closedFromInside(type) && rayInsideSurface(localPoint, localDirection, surface))) {
        result.ended = 1;
        return;
    }

    const double n1 = ray.index;
    double n2 = 1.0, absorptivity2 = 0, luminance2 = 0;
    surfaceMedia(surface, localPoint, localDirection, n2, absorptivity2, luminance2);
    applyProximityGlue(n2, surface);

    // The part model knows the surface's coating, when there is a part model.
    currentCoating = surfaceCoatingHook ? surfaceCoatingHook(surface) : nullptr;
    Vec3 transmitted = localDirection;
    int totalInternal = 0;
    double R = 0;
    refractRay(surface, localPoint, localDirection, n1, n2, transmitted, totalInternal, R);

    const BranchFactors split = branchFactors(surface->absorbtion, R, totalInternal);
    if (totalInternal) {
        refl.state = kBranchFollow;
    } else if (split.reflected < split.transmitted) {
        trans.state = kBranchFollow;
        if (split.reflected > 0) refl.state = kBranchStore;
    } else { // a tie follows the reflection
        refl.state = kBranchFollow;
        if (split.transmitted > 0) trans.state = kBranchStore;
    }

    if (refl.state != kBranchNone) {
        Vec3 reflected;
        reflectRay(surface, localPoint, localDirection, reflected);
        applyDirectionRefinement(surface, localPoint, reflected, n1);
        toGlobalUnit(reflected, refl.direction, surface);
        refl.factor = split.reflected * attenuation;
        refl.index = ray.index;
        refl.absorptivity = ray.absorptivity;
        refl.luminance = ray.luminance;
    }
    if (trans.state != kBranchNone) {
        applyDirectionRefinement(surface, localPoint, transmitted, n2);
        toGlobalUnit(transmitted, trans.direction, surface);
        trans.factor = split.transmitted * attenuation;
        trans.index = n2;
        trans.absorptivity = absorptivity2;
        trans.luminance = luminance2;
    }
}

void writeExitPoint(const Vec3& position, const Vec3& direction, int& errorFlag) {
    writeRayRecord(kRayFlagNext,
                   farRayPoint(position, direction, kExitDistanceFactor * workbox.halfSize[2]),
                   errorFlag);
}

void traceOneRay(const Vec3& start, const Vec3& direction, const ObjectRecord* sourceObject,
                 int& errorFlag) {
    errorFlag = 0;
    resetRayTree(0, rayDepthLimit() - 1);
    startRayMedium(sourceObject);
    // The ray leaves its source's first surface: only that surface can be a self-hit at once.
    traceStartSurface = sourceObject ? sourceObject->firstSurface : nullptr;
    const bool output = rayOutputOn != 0;
    if (output) {
        writeRayRecord(kRayFlagPathStart, start, errorFlag);
        if (errorFlag) {
            reportRayWriteError();
            return;
        }
    }
    CurrentRay& ray = currentRay;
    ray.depth = 0;
    ray.position = start;
    ray.direction = direction;
    normalize3(ray.direction);

    TraceStepResult step;
    int done = 0;
    // A tree of ghosts may have more branches than anyone can wait for: the user may stop it.
    EscapePoll escape;
    while (!done) {
        if (escape.stop()) return;
        traceStep(step);
        if (output) {
            if (step.leftSystem)
                writeExitPoint(ray.position, ray.direction, errorFlag);
            else if (step.interceptProduced)
                writeRayRecord(kRayFlagNext, step.point, errorFlag);
            if (errorFlag) {
                reportRayWriteError();
                return;
            }
        }
        if (!rayBranchEnds(step.ended, step.onDetector)) {
            const int level = ray.depth;
            touchRayLevel(level);
            RayTreeLevel& L = rayTreeLevels[level];
            L.fresh = 0;
            const bool split =
                reflectedBranch.state == kBranchStore || transmittedBranch.state == kBranchStore;
            if (split && ray.ghostCount < maxGhosts) {
                storeRayBranch(level, step.surface);
            } else {
                L.surface = step.surface;
                L.pending = 0;
            }
            takeRayBranch(step.surface, step.hasCollected, step.collected);
            ++ray.depth;
            continue;
        }
        if (step.hasCollected) ray.accumulated += step.collected * ray.energy;
        if (traceMode == kTraceModeRays && step.onDetector) {
            Vec3 localDirection;
            localRayDirection(step.surface, step.point, ray.direction, localDirection);
            // What reaches the detector: the medium on the way took its share.
            writeSpotRecord(step.point, ray.energy * step.attenuation, step.surface, errorFlag,
                            localDirection);
            if (errorFlag) {
                reportSpotWriteError();
                return;
            }
        }
        popRayBranch(done);
        if (!done && output) {
            writeRayRecord(kRayFlagPathStart, ray.position, errorFlag);
            if (errorFlag) {
                reportRayWriteError();
                return;
            }
        }
    }
}

int traceSingleRay(const Vec3& direction, const ObjectRecord* sourceObject) {
    SurfaceRecord* frame = sourceObject ? sourceObject->firstSurface : nullptr;
    if (!frame) return 0;
    if (!(std::isfinite(direction.x) && std::isfinite(direction.y) && std::isfinite(direction.z)) ||
        (direction.x == 0 && direction.y == 0 && direction.z == 0))
        return 0;
    openRayOutput(addRays);
    const bool spots = traceMode == kTraceModeRays;
    if (spots) openSpotOutput(0);

    Vec3 start, globalDirection;
    toGlobalPoint(Vec3{}, start, frame);
    toGlobalDirection(direction, globalDirection, frame);
    showVector("orign", start);
    showVector("dir", globalDirection);

    int errorFlag = 0;
    traceOneRay(start, globalDirection, sourceObject, errorFlag);
    // Records are buffered: a full disk may only show when the files are closed.
    const bool spotsClosed = !spots || closeSpotFile();
    const bool raysClosed = closeRayFile();
    if (!errorFlag) {
        if (!raysClosed) reportRayWriteError();
        if (!spotsClosed) reportSpotWriteError();
    }
    return 1;
}
