#include "engine/trace/ray_tree.h"

#include <algorithm>

#include "engine/surfaces/surface_media.h"

RayTreeState& rayTreeState() {
    static RayTreeState s;
    return s;
}

void resetRayTreeState() {
    rayTreeState() = RayTreeState{};
}

int rayDepthLimit() {
    return std::clamp(maxRayDepth, 0, kRayTreeLevels);
}

void resetRayTree(int first, int last) {
    RayTreeState& s = rayTreeState();
    first = std::max(first, 0);
    last = std::min(last, s.levelsInUse - 1);
    for (int k = first; k <= last; ++k)
        s.levels[k] = RayTreeLevel{};
    if (last >= s.levelsInUse - 1 && first < s.levelsInUse) s.levelsInUse = first;
}

void startRayMedium(const ObjectRecord* sourceObject) {
    CurrentRay& r = currentRay;
    r.position = {};
    r.direction = {};
    r.energy = 1.0;
    r.accumulated = 0;
    r.ghostCount = 0;
    r.surface = nullptr;
    // Air without a source, a link, or a medium on the link.
    const SurfaceRecord* first = sourceObject ? sourceObject->firstSurface : nullptr;
    surfaceOwnMedium(first ? first->inside : nullptr, r.index, r.absorptivity, r.luminance);
}

void storeRayBranch(int level, SurfaceRecord* surface) {
    if (level < 0 || level >= kRayTreeLevels) return;
    const RayBranch& b =
        reflectedBranch.state == kBranchStore ? reflectedBranch : transmittedBranch;
    if (b.state != kBranchStore) return;
    touchRayLevel(level);
    RayTreeLevel& L = rayTreeLevels[level];
    L.point = b.origin;
    L.direction = b.direction;
    L.weight = L.weight * b.factor * currentRay.energy;
    L.index = b.index;
    L.absorptivity = b.absorptivity;
    L.luminance = b.luminance;
    L.surface = surface;
    L.ghostCount = currentRay.ghostCount + 1;
}

void takeRayBranch(SurfaceRecord* surface, int hasCollected, double collected) {
    CurrentRay& r = currentRay;
    if (hasCollected) r.accumulated += collected * r.energy;
    const RayBranch& b =
        reflectedBranch.state == kBranchFollow ? reflectedBranch : transmittedBranch;
    if (b.state != kBranchFollow) return;
    r.position = b.origin;
    r.direction = b.direction;
    r.energy *= b.factor;
    r.index = b.index;
    r.absorptivity = b.absorptivity;
    r.luminance = b.luminance;
    r.surface = surface;
}

void popRayBranch(int& done) {
    RayTreeState& s = rayTreeState();
    CurrentRay& r = s.ray;
    const bool image = s.traceMode == kTraceModeImage;
    done = 0;
    if (r.depth <= 0) {
        done = 1;
        if (image) {
            touchRayLevel(0);
            s.levels[0].accumulated += r.accumulated;
        }
        r.depth = -1;
        return;
    }
    // The level where the branch ended never holds a stored branch: the walk starts below it,
    // and never at or above the tree's size.
    double sum = r.accumulated;
    int k = std::min(r.depth, kRayTreeLevels);
    for (;;) {
        if (--k < 0) {
            done = 1;
            r.depth = -1;
            return;
        }
        RayTreeLevel& L = s.levels[k];
        if (image) {
            touchRayLevel(k);
            L.accumulated += sum;
            sum = L.accumulated;
        }
        if (L.pending) break;
    }
    resetRayTree(k + 1, rayDepthLimit() - 1);
    restoreRayBranch(k);
    s.levels[k].pending = 0;
    r.depth = k + 1;
}

void restoreRayBranch(int level) {
    if (level < 0 || level >= kRayTreeLevels) return;
    touchRayLevel(level);
    const RayTreeLevel& L = rayTreeLevels[level];
    CurrentRay& r = currentRay;
    r.position = L.point;
    r.direction = L.direction;
    r.energy = L.weight;
    r.accumulated = 0;
    r.surface = L.surface;
    r.ghostCount = L.ghostCount;
    r.index = L.index;
    r.absorptivity = L.absorptivity;
    r.luminance = L.luminance;
}

bool rayBranchEnds(int ended, int onDetector) {
    return ended || (traceMode == kTraceModeRays && onDetector);
}
