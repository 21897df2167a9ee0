#include "engine/trace/part_search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "command/settings/settings.h"
#include "engine/model/model_version.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/surfaces/quadric_intercept.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/toric_surfaces.h"
#include "engine/trace/search_mode.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kLeafParts = 2;
// Below this depth the splits follow the area cost, then the median: with at most 500 parts
// the tree is at most 30 levels deep, and the traversal's stack holds one node a level.
constexpr int kMaxSplitDepth = 20;
constexpr int kMaxDepth = 64;

// The part's own pre-tests, in the order the plain loop makes them.
inline bool partMayBeHit(const ObjectRecord* o, const Vec3& start, const Vec3& d,
                         bool skipUnnumbered) {
    if (skipUnnumbered && o->number <= 0) return false;
    if (!o->activated || !o->traceable) return false;
    return raySphereTest(start, d, o->globalReferencePoint, o->boundingRadius);
}

// One surface's exact test with the running nearest distance.
[[gnu::always_inline]] inline int interceptSurface(SurfaceRecord* s, InterceptHook routine,
                                                  const Vec3& start, Vec3& d,
                            double& nearest, bool glue) {
    if (routine) return routine(s, start, d, nearest);
    if (!s || !s->intercept) return 0;
    // The default hook's code without the call; d is unit already, as the hook would make it.
    if (s->intercept == &interceptQuadricSurface)
        return quadricIntercept(s, start, d, d, nearest, glue, false);
    return s->intercept(s, start, d, nearest);
}

// The hooks that read the direction without making it unit again in the caller's copy.
bool keepsDirection(InterceptHook hook) {
    return hook == &interceptQuadricSurface || hook == &asphericIntercept ||
           hook == &toricIntercept;
}

// The distance at which the ray enters the box, within [0, reach]; false when it does not.
inline bool rayEntersBox(const double lo[3], const double hi[3], const double o[3],
                         const double inv[3], const bool zero[3], double reach, double& entry) {
    double near = 0, far = reach;
    for (int a = 0; a < 3; ++a) {
        if (zero[a]) {
            if (o[a] < lo[a] || o[a] > hi[a]) return false;
            continue;
        }
        double t1 = (lo[a] - o[a]) * inv[a], t2 = (hi[a] - o[a]) * inv[a];
        if (t1 > t2) std::swap(t1, t2);
        if (t1 > near) near = t1;
        if (t2 < far) far = t2;
        if (!(near <= far)) return false;
    }
    entry = near;
    return true;
}

// How far beyond the nearest hit so far a box may begin and still hold a hit at that distance
// (the rounding of the distances and of the frame changes, with room to spare).
inline double reachOf(double nearest) {
    return nearest > 0 ? nearest * (1 + 1e-9) + 1e-9 : kInfinity;
}

} // namespace

void PartSearch::clear() {
    parts_.clear();
    surfaces_.clear();
    leafParts_.clear();
    nodes_.clear();
    always_.clear();
    drifting_.clear();
    directions_.clear();
    finished_ = false;
    hierarchy_ = false;
}

void PartSearch::addPart(ObjectRecord* object, void* owner) {
    finished_ = false;
    parts_.push_back(Part{object, owner, static_cast<int>(surfaces_.size()), 0, Kind::Bounded, false,
                          0, {0, 0, 0}, {0, 0, 0}});
}

void PartSearch::addSurface(SurfaceRecord* surface, InterceptHook routine, void* tag) {
    surfaces_.push_back(SearchSurface{surface, routine, tag});
    ++parts_.back().count;
}

// A part is bounded when every surface is a quadric solved by the default intercept, whose roots
// all lie within the surface's extents (to their tolerance): the box of those extents, carried
// into global coordinates. A routine that makes the direction unit again in the caller's copy
// makes the part a drifting one; any other routine leaves the part without bounds.
void PartSearch::boundPart(Part& p) {
    p.kind = Kind::Bounded;
    for (int a = 0; a < 3; ++a) {
        p.lo[a] = kInfinity;
        p.hi[a] = -kInfinity;
    }
    for (int i = 0; i < p.count; ++i) {
        const SearchSurface& ss = surfaces_[static_cast<std::size_t>(p.first + i)];
        const SurfaceRecord* s = ss.surface;
        if (!s) continue; // tested, never hit
        const InterceptHook hook = ss.routine ? ss.routine : s->intercept;
        if (!hook) continue;
        if (!keepsDirection(hook)) {
            p.kind = Kind::Drifting;
            return;
        }
        if (hook != &interceptQuadricSurface || p.kind == Kind::Always) {
            p.kind = Kind::Always;
            continue;
        }
        const double* e = s->extent;
        const double tol = kExtentTolerance;
        for (int c = 0; c < 8; ++c) {
            const Vec3 local{(c & 1) ? e[1] + tol : e[0] - tol, (c & 2) ? e[3] + tol : e[2] - tol,
                             (c & 4) ? e[5] + tol : e[4] - tol};
            Vec3 g;
            transformPoint(local, g, s->surfaceToGlobal);
            const double v[3] = {g.x, g.y, g.z};
            for (int a = 0; a < 3; ++a) {
                if (!std::isfinite(v[a])) {
                    p.kind = Kind::Always;
                    break;
                }
                p.lo[a] = std::min(p.lo[a], v[a]);
                p.hi[a] = std::max(p.hi[a], v[a]);
            }
        }
    }
    if (p.kind != Kind::Bounded) return;
    // Room for the rounding of the frame changes and of the distances along the ray.
    for (int a = 0; a < 3; ++a) {
        if (p.lo[a] > p.hi[a]) continue; // no surface can be hit: an empty box
        const double pad = 1e-7 * (1 + std::max(std::fabs(p.lo[a]), std::fabs(p.hi[a])));
        p.lo[a] -= pad;
        p.hi[a] += pad;
    }
}

// A surface placed along its part's axis has its part's rotation (its matrix differs only where
// the origin goes): a part whose surfaces are all default quadrics with one rotation turns the
// ray's direction once.
bool PartSearch::turnShared(const Part& p) const {
    if (p.count < 2) return false;
    const SurfaceRecord* frame = surfaces_[static_cast<std::size_t>(p.first)].surface;
    for (int i = 0; i < p.count; ++i) {
        const SearchSurface& ss = surfaces_[static_cast<std::size_t>(p.first + i)];
        if (ss.routine || !ss.surface || ss.surface->intercept != &interceptQuadricSurface)
            return false;
        for (int r = 0; r < 3; ++r)
            if (std::memcmp(ss.surface->globalToSurface.m[r], frame->globalToSurface.m[r],
                            3 * sizeof(double)) != 0)
                return false;
    }
    return true;
}

// Every surface of the part with the running nearest distance; the index of the last that
// improved it, or -1.
int PartSearch::testSurfaces(const Part& p, const Vec3& start, Vec3& d, double& nearest,
                             bool glue) {
    const SearchSurface* ss = surfaces_.data() + p.first;
    int found = -1;
    if (p.sharedTurn) {
        TurnedRay turn;
        turnRay(start, d, ss[0].surface, turn);
        for (int i = 0; i < p.count; ++i)
            if (quadricInterceptTurned(ss[i].surface, start, d, turn, nearest, glue)) found = i;
        return found;
    }
    for (int i = 0; i < p.count; ++i)
        if (interceptSurface(ss[i].surface, ss[i].routine, start, d, nearest, glue)) found = i;
    return found;
}

int PartSearch::buildNode(int first, int count, int depth) {
    const int at = static_cast<int>(nodes_.size());
    nodes_.push_back(Node{});
    Node box{{kInfinity, kInfinity, kInfinity}, {-kInfinity, -kInfinity, -kInfinity}, 0, 0};
    for (int k = first; k < first + count; ++k) {
        const Part& p = parts_[static_cast<std::size_t>(leafParts_[static_cast<std::size_t>(k)])];
        for (int a = 0; a < 3; ++a) {
            box.lo[a] = std::min(box.lo[a], p.lo[a]);
            box.hi[a] = std::max(box.hi[a], p.hi[a]);
        }
    }
    if (count <= kLeafParts) {
        box.first = first;
        box.count = count;
        nodes_[static_cast<std::size_t>(at)] = box;
        return at;
    }
    // The split of least surface-area cost: the parts in order of their centres along each axis,
    // cut where the two halves' box areas times their part counts are least.
    auto centreLess = [&](int axis) {
        return [this, axis](int x, int y) {
            const Part& px = parts_[static_cast<std::size_t>(x)];
            const Part& py = parts_[static_cast<std::size_t>(y)];
            const double cx = px.lo[axis] + px.hi[axis], cy = py.lo[axis] + py.hi[axis];
            return cx < cy || (cx == cy && x < y);
        };
    };
    auto area = [](const double lo[3], const double hi[3]) {
        const double x = hi[0] - lo[0], y = hi[1] - lo[1], z = hi[2] - lo[2];
        return x * y + y * z + z * x;
    };
    auto begin = leafParts_.begin() + first;
    std::vector<double>& costs = splitCosts_;
    costs.assign(static_cast<std::size_t>(count), 0.0);
    int axis = 0, half = count / 2;
    double bestCost = kInfinity;
    for (int a = 0; a < 3; ++a) {
        std::sort(begin, begin + count, centreLess(a));
        double lo[3] = {kInfinity, kInfinity, kInfinity}, hi[3] = {-kInfinity, -kInfinity, -kInfinity};
        for (int k = 0; k + 1 < count; ++k) {
            const Part& p = parts_[static_cast<std::size_t>(begin[k])];
            for (int b = 0; b < 3; ++b) {
                lo[b] = std::min(lo[b], p.lo[b]);
                hi[b] = std::max(hi[b], p.hi[b]);
            }
            costs[static_cast<std::size_t>(k)] = area(lo, hi) * (k + 1);
        }
        for (int b = 0; b < 3; ++b) {
            lo[b] = kInfinity;
            hi[b] = -kInfinity;
        }
        for (int k = count - 1; k > 0; --k) {
            const Part& p = parts_[static_cast<std::size_t>(begin[k])];
            for (int b = 0; b < 3; ++b) {
                lo[b] = std::min(lo[b], p.lo[b]);
                hi[b] = std::max(hi[b], p.hi[b]);
            }
            const double cost = costs[static_cast<std::size_t>(k - 1)] + area(lo, hi) * (count - k);
            // Among equal costs the more even split (identical boxes must not make a chain).
            if (cost < bestCost ||
                (cost == bestCost && std::abs(2 * k - count) < std::abs(2 * half - count))) {
                bestCost = cost;
                axis = a;
                half = k;
            }
        }
    }
    if (!(bestCost < kInfinity) || depth >= kMaxSplitDepth) {
        // No usable cost (unbounded areas), or deep enough: the median keeps the tree shallow.
        axis = 0;
        half = count / 2;
    }
    std::sort(begin, begin + count, centreLess(axis));
    buildNode(first, half, depth + 1);
    box.first = buildNode(first + half, count - half, depth + 1);
    box.count = 0;
    nodes_[static_cast<std::size_t>(at)] = box;
    return at;
}

void PartSearch::finish(std::uint64_t version, bool skipUnnumbered) {
    leafParts_.clear();
    nodes_.clear();
    always_.clear();
    drifting_.clear();
    int drifts = 0;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        Part& p = parts_[i];
        boundPart(p);
        p.sharedTurn = turnShared(p);
        p.driftBefore = drifts;
        const int index = static_cast<int>(i);
        if (p.kind == Kind::Drifting) {
            drifting_.push_back(index);
            ++drifts;
        } else if (p.kind == Kind::Always) {
            always_.push_back(index);
        } else if (p.lo[0] <= p.hi[0] && p.lo[1] <= p.hi[1] && p.lo[2] <= p.hi[2]) {
            leafParts_.push_back(index);
        }
    }
    directions_.assign(static_cast<std::size_t>(drifts) + 1, Vec3{});
    if (static_cast<int>(parts_.size()) >= kHierarchyMinParts && !leafParts_.empty())
        buildNode(0, static_cast<int>(leafParts_.size()), 0);
    if (static_cast<int>(parts_.size()) < kHierarchyMinParts) {
        // The plain loop serves a short list.
        leafParts_.clear();
        always_.clear();
        drifting_.clear();
    }
    hierarchy_ = !nodes_.empty() || !always_.empty() || !drifting_.empty();
    version_ = version;
    skipUnnumbered_ = skipUnnumbered;
    finished_ = true;
}

bool PartSearch::find(const Vec3& start, Vec3& direction, SearchHit& hit) {
    resetHitBookkeeping();
    const bool glue = proximityGlueDistance > 0;
    if (!hierarchy_ || glue || nearestHitSearch() == NearestHitSearch::PlainLoop)
        return plainFind(start, direction, hit, glue);
    return hierarchyFind(start, direction, hit);
}

// Only a hit fills `hit`: a caller reads it only when the search returns true.
// The hit of part `part`'s surface `index` at `distance`; false when no part was hit.
bool PartSearch::fillHit(int part, int index, double distance, SearchHit& hit) const {
    if (part < 0) return false;
    const SearchSurface& ss = surface(part, index);
    hit.part = part;
    hit.surface = index;
    hit.record = ss.surface;
    hit.tag = ss.tag;
    hit.distance = distance;
    return true;
}

bool PartSearch::plainFind(const Vec3& start, Vec3& d, SearchHit& hit, bool glue) {
    double nearest = -1.0;
    int hitPart = -1, hitSurface = -1;
    for (std::size_t j = 0; j < parts_.size(); ++j) {
        const Part& p = parts_[j];
        if (!partMayBeHit(p.object, start, d, skipUnnumbered_)) continue;
        const int found = testSurfaces(p, start, d, nearest, glue);
        if (found >= 0) {
            hitPart = static_cast<int>(j);
            hitSurface = found;
        }
    }
    return fillHit(hitPart, hitSurface, nearest, hit);
}

// The parts in any order, each with the nearest distance so far; a part earlier in the list than
// the nearest one is given the next larger distance, so that a hit at exactly the nearest
// distance is strictly nearer for it and it wins the tie as in the plain loop.
bool PartSearch::hierarchyFind(const Vec3& start, Vec3& d, SearchHit& hit) {
    double best = -1.0;
    int bestPart = -1, bestSurface = -1;
    auto test = [&](int j, Vec3& dir) {
        const Part& p = parts_[static_cast<std::size_t>(j)];
        if (!partMayBeHit(p.object, start, dir, skipUnnumbered_)) return;
        double nearest = best;
        if (best > 0 && j < bestPart) nearest = std::nextafter(best, kInfinity);
        const int found = testSurfaces(p, start, dir, nearest, false);
        if (found < 0) return;
        best = nearest;
        bestPart = j;
        bestSurface = found;
    };

    // The routines that make the direction unit again change it for every part after them in
    // the list: they run first, in list order, and every other part is handed the direction as
    // it stood at its place in the list.
    directions_[0] = d;
    for (std::size_t k = 0; k < drifting_.size(); ++k) {
        test(drifting_[k], d);
        directions_[k + 1] = d;
    }
    for (int j : always_)
        test(j, directions_[static_cast<std::size_t>(parts_[static_cast<std::size_t>(j)].driftBefore)]);

    if (!nodes_.empty()) {
        const double o[3] = {start.x, start.y, start.z};
        const double dv[3] = {d.x, d.y, d.z};
        double inv[3];
        bool zero[3];
        for (int a = 0; a < 3; ++a) {
            zero[a] = dv[a] == 0;
            inv[a] = zero[a] ? 0 : 1 / dv[a];
        }
        struct Pending {
            int node;
            double entry;
        };
        Pending stack[kMaxDepth];
        int top = 0;
        double entry = 0;
        if (rayEntersBox(nodes_[0].lo, nodes_[0].hi, o, inv, zero, reachOf(best), entry))
            stack[top++] = {0, entry};
        while (top > 0) {
            const Pending at = stack[--top];
            if (!(at.entry <= reachOf(best))) continue;
            const Node& n = nodes_[static_cast<std::size_t>(at.node)];
            if (n.count > 0) {
                for (int k = n.first; k < n.first + n.count; ++k) {
                    const int j = leafParts_[static_cast<std::size_t>(k)];
                    const Part& p = parts_[static_cast<std::size_t>(j)];
                    double e = 0;
                    if (!rayEntersBox(p.lo, p.hi, o, inv, zero, reachOf(best), e)) continue;
                    test(j, directions_[static_cast<std::size_t>(p.driftBefore)]);
                }
                continue;
            }
            const int left = at.node + 1, right = n.first;
            double el = 0, er = 0;
            const Node& ln = nodes_[static_cast<std::size_t>(left)];
            const Node& rn = nodes_[static_cast<std::size_t>(right)];
            const double reach = reachOf(best);
            const bool hitL = rayEntersBox(ln.lo, ln.hi, o, inv, zero, reach, el);
            const bool hitR = rayEntersBox(rn.lo, rn.hi, o, inv, zero, reach, er);
            // The nearer child is taken first (pushed last).
            if (hitL && hitR) {
                if (el <= er) {
                    stack[top++] = {right, er};
                    stack[top++] = {left, el};
                } else {
                    stack[top++] = {left, el};
                    stack[top++] = {right, er};
                }
            } else if (hitL) {
                stack[top++] = {left, el};
            } else if (hitR) {
                stack[top++] = {right, er};
            }
        }
    }
    d = directions_[drifting_.size()];
    return fillHit(bestPart, bestSurface, best, hit);
}

PartSearch& modelSearch() {
    static PartSearch search;
    return search;
}

void resetModelSearch() {
    modelSearch().clear();
}

// The object table's slots in order, each object with its surfaces' own hooks. A short table is
// searched by the plain loop straight from the slots, with nothing kept.
void findNearestIntercept(const Vec3& point, const Vec3& direction, SurfaceRecord*& surface,
                          Vec3& hitPoint, double& distance, int& noHit) {
    noHit = 0;
    surface = nullptr;
    Vec3 d = direction;
    normalize3(d);
    const auto& table = objectTableState().objectTable;
    const int last = highestObjectIndex < kMaxObjects ? highestObjectIndex : kMaxObjects - 1;
    const bool glue = proximityGlueDistance > 0;
    double nearest = -1.0;
    if (last + 1 < kHierarchyMinParts || glue ||
        nearestHitSearch() == NearestHitSearch::PlainLoop) {
        resetHitBookkeeping();
        for (int i = 0; i <= last; ++i) {
            const ObjectRecord* o = table[static_cast<std::size_t>(i)];
            if (!o || !partMayBeHit(o, point, d, false)) continue;
            for (SurfaceRecord* s = o->firstSurface; s; s = s->next)
                if (interceptSurface(s, nullptr, point, d, nearest, glue)) surface = s;
        }
    } else {
        PartSearch& search = modelSearch();
        if (!search.builtAt(modelVersion())) {
            search.clear();
            for (int i = 0; i <= last; ++i) {
                ObjectRecord* o = table[static_cast<std::size_t>(i)];
                if (!o) continue;
                search.addPart(o, nullptr);
                for (SurfaceRecord* s = o->firstSurface; s; s = s->next)
                    search.addSurface(s, nullptr, nullptr);
            }
            search.finish(modelVersion(), false);
        }
        SearchHit hit;
        if (search.find(point, d, hit)) {
            surface = hit.record;
            nearest = hit.distance;
        }
    }
    if (surface) {
        distance = nearest;
        rayPoint(hitPoint, point, d, nearest);
    } else {
        noHit = 1;
    }
}
