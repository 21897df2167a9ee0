#include "engine/polynet/polynet_intercept.h"

#include <cmath>
#include <vector>

#include "command/messages/messages.h"
#include "engine/polynet/facet_hierarchy.h"
#include "engine/polynet/polynet_facets.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/trace/search_mode.h"

PolynetTraceState& polynetTraceState() {
    static PolynetTraceState s;
    return s;
}

void resetPolynetTraceState() {
    polynetTraceState() = PolynetTraceState{};
}

void setPolynetHitDistanceHook(HitDistanceHook hook) {
    polynetTraceState().hitDistanceHook = hook;
}

int polynetIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest) {
    const auto* net = static_cast<const PolynetRecord*>(surface->typeData);
    if (!net) return 0;
    Vec3 origin, local;
    toLocalPoint(point, origin, surface);
    toLocalDirection(direction, local, surface);
    normalize3(local);
    normalize3(direction);

    auto& st = polynetTraceState();
    const FacetHierarchy* hierarchy =
        nearestHitSearch() == NearestHitSearch::Hierarchy ? facetHierarchyOf(net) : nullptr;
    FacetHit hit;
    if (hierarchy) {
        // Only facets at exactly the nearest distance join the tally; the loop below also
        // counts ties at a distance a later facet beats.
        hit = hierarchy->nearest(origin, local);
        st.equalDistanceHits += hit.ties;
    } else {
        int position = 0;
        for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon) {
            ++position;
            double t = facetRayDistance(p, origin, local, hit.polygon ? hit.distance : HUGE_VAL);
            if (t <= 0) continue;
            if (!hit.polygon || t < hit.distance) {
                hit.polygon = p;
                hit.distance = t;
                hit.position = position;
            } else if (t == hit.distance) {
                ++st.equalDistanceHits;
            }
        }
        if (hit.polygon) {
            hit.normal = hit.polygon->normal;
            hit.reflectance = hit.polygon->reflectance;
            hit.absorbtion = hit.polygon->absorbtion;
        }
    }
    if (!hit.polygon) return 0;
    const double best = hit.distance;
    if (st.hitDistanceHook) st.hitDistanceHook(best, surface);
    if (nearest >= 0 && !(nearest > best)) return 0;
    surface->reflectance = hit.reflectance;
    surface->absorbtion = hit.absorbtion;
    surface->quadric[9] = hit.normal.x;
    surface->quadric[10] = hit.normal.y;
    surface->quadric[11] = hit.normal.z;
    nearest = best;
    st.lastHitFacet = hit.position;
    return 1;
}

namespace {

constexpr int kSearchSteps = 120;
constexpr double kSearchStep = 0.0103;
constexpr double kDistinctHit = 1e-7;

// A point inside the facet: the centroid, else points stepped from it towards each vertex in
// turn. It must lie off the outline (the box centre of a right triangle lies on its long edge,
// and rays from an edge meet the neighbouring facets at their edges or not at all). It is put
// on the facet's plane along the axis the facet is not tested in.
bool pointOnFacet(const PolygonRecord* p, Vec3& found) {
    const int a0 = p->dominantAxes[0], a1 = p->dominantAxes[1], k = 3 - a0 - a1;
    auto inside = [&](const Vec3& q) {
        return polynetPointWithinPolygon(p, axisValue(q, a0), axisValue(q, a1)) != 0;
    };
    bool ok = inside(p->centroid);
    found = p->centroid;
    for (const ContourNode* c = p->firstContour; c && !ok; c = c->nextContour)
        for (const VertexNode* v = c->firstVertex; v && !ok; v = v->next) {
            Vec3 step = kSearchStep * (*v->point - p->centroid);
            for (int i = 1; i <= kSearchSteps && !ok; ++i) {
                found = p->centroid + static_cast<double>(i) * step;
                ok = inside(found);
            }
        }
    if (!ok) return false;
    const Vec3& n = p->normal;
    double rest = p->planeConstant - axisValue(n, a0) * axisValue(found, a0) -
                  axisValue(n, a1) * axisValue(found, a1);
    axisRef(found, k) = rest / axisValue(n, k);
    return true;
}

// The distinct distances of one ray, taken in facet order: a hit closer than 1e-7 to one
// already counted counts once.
struct DistinctHits {
    double seen[kMaxNormalCheckHits];
    int count = 0;
    // False when the ray meets too many distinct distances.
    bool add(double t) {
        for (int i = 0; i < count; ++i)
            if (std::fabs(t - seen[i]) < kDistinctHit) return true;
        if (count == kMaxNormalCheckHits - 1) return false;
        seen[count++] = t;
        return true;
    }
};

// Facets other than `self` crossed by the ray, counted as DistinctHits counts them; -1 when the
// ray meets too many distinct distances. The hierarchy, when there is one, finds the crossings,
// and they are taken in the list order the loop takes them in.
int countCrossings(const PolynetRecord* net, const FacetHierarchy* hierarchy,
                   const PolygonRecord* self, const Vec3& origin, const Vec3& direction,
                   std::vector<FacetCrossing>& crossings) {
    DistinctHits hits;
    if (hierarchy) {
        hierarchy->crossings(origin, direction, crossings);
        for (const FacetCrossing& c : crossings)
            if (c.polygon != self && !hits.add(c.distance)) return -1;
        return hits.count;
    }
    for (const PolygonRecord* q = net->firstPolygon; q; q = q->nextPolygon) {
        if (q == self) continue;
        double t = facetRayDistance(q, origin, direction);
        if (t > 0 && !hits.add(t)) return -1;
    }
    return hits.count;
}

} // namespace

int polynetCheckNormals(int number) {
    const ObjectRecord* object = number >= 1 ? getObject(number - 1) : nullptr;
    if (!object) {
        errorText(outputChannel, "No such polygonal object.\n");
        return 0;
    }
    if (object->typeCode != kTypePolynet) {
        errorText(outputChannel, "This object is not a polygonal object.\n");
        return 0;
    }
    PolynetRecord* net = object->firstSurface
                             ? static_cast<PolynetRecord*>(object->firstSurface->typeData)
                             : nullptr;
    if (!net) {
        errorText(outputChannel, "No polygons in network.\n");
        return 0;
    }
    if (!net->firstPolygon) {
        errorText(outputChannel, "No polygon on polynet.");
        return 0;
    }

    const FacetHierarchy* hierarchy =
        nearestHitSearch() == NearestHitSearch::Hierarchy ? facetHierarchyOf(net) : nullptr;
    std::vector<FacetCrossing> crossings;
    std::vector<PolygonRecord*> inward;
    int gaps = 0;
    for (PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon) {
        if (dot3(p->normal, p->normal) == 0) continue; // a sliver without a plane
        Vec3 start;
        if (!pointOnFacet(p, start)) {
            errorText(outputChannel, "Unable to locate point on one polygonal facet.\n");
            return 0;
        }
        int along = countCrossings(net, hierarchy, p, start, p->normal, crossings);
        int against =
            along < 0 ? -1 : countCrossings(net, hierarchy, p, start, -1.0 * p->normal, crossings);
        if (along < 0 || against < 0) {
            errorText(outputChannel, "Polynet complexity too great for autonormalize.\n");
            return 0;
        }
        if (along && against && along % 2 == against % 2)
            ++gaps;
        else if (along % 2 == 1 || (along && !against))
            inward.push_back(p);
    }
    // Turning a normal round does not move the facet's plane, so no count above depends on the
    // facets already found inward; they are turned once the whole net is judged.
    for (PolygonRecord* p : inward) {
        p->normal = -1.0 * p->normal;
        p->planeConstant = -p->planeConstant;
        p->reversed = !p->reversed;
    }
    if (!inward.empty() && facetHierarchyOf(net)) polynetFacetsChanged(net);
    if (gaps)
        warningText(outputChannel,
                    "%d gaps detected on object exterior - check your surface model.\n", gaps);
    if (inward.empty())
        outText(outputChannel, "All facet normals face outward, as expected.\n");
    else
        outText(outputChannel, "%d facet normals corrected.\n", static_cast<int>(inward.size()));
    return 1;
}
