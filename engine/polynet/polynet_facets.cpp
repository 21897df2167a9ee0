#include "engine/polynet/polynet_facets.h"

#include <algorithm>
#include <cmath>

#include "command/messages/messages.h"

namespace {
bool samePoint(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Cross products shorter than this come from (nearly) parallel edges and give no plane.
constexpr double kParallelCross = 1e-12;
constexpr double kLimitWidening = 1e-7;
} // namespace

void polygonNormal(PolygonRecord* polygon) {
    polygon->normal = {};
    polygon->planeConstant = 0;
    const ContourNode* c = polygon->firstContour;
    if (!c || !c->firstVertex) return;
    const Vec3 p0 = *c->firstVertex->point;
    const VertexNode* v = c->firstVertex->next;
    while (v && samePoint(*v->point, p0))
        v = v->next;
    if (!v) return;
    Vec3 e1 = *v->point - p0;
    normalize3(e1);
    for (v = v->next; v; v = v->next) {
        if (samePoint(*v->point, p0)) continue;
        Vec3 e2 = *v->point - p0;
        normalize3(e2);
        Vec3 n = cross3(e1, e2);
        if (std::sqrt(dot3(n, n)) <= kParallelCross) continue;
        normalize3(n);
        if (polygon->reversed) n = -1.0 * n;
        polygon->normal = n;
        polygon->planeConstant = dot3(n, p0);
        return;
    }
}

void polygonDominantAxes(PolygonRecord* polygon) {
    const Vec3& n = polygon->normal;
    double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    int k = 0;
    double largest = ax;
    if (ay > ax) {
        k = 1;
        largest = ay;
    }
    if (az >= largest) k = 2;
    static constexpr int kOthers[3][2] = {{1, 2}, {0, 2}, {0, 1}};
    polygon->dominantAxes[0] = kOthers[k][0];
    polygon->dominantAxes[1] = kOthers[k][1];
}

void polygonCentroidAndLimits(PolygonRecord* polygon) {
    Vec3 lo{HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    bool any = false;
    for (const ContourNode* c = polygon->firstContour; c; c = c->nextContour)
        for (const VertexNode* v = c->firstVertex; v; v = v->next) {
            const Vec3& q = *v->point;
            lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
            hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
            any = true;
        }
    if (!any) lo = hi = Vec3{};
    polygon->centroid = 0.5 * (lo + hi);
    for (int i = 0; i < 2; ++i) {
        int a = polygon->dominantAxes[i];
        double mn = axisValue(lo, a), mx = axisValue(hi, a);
        double widen = kLimitWidening * (mx - mn);
        polygon->limits[i] = mn - widen;
        polygon->limits[i + 2] = mx + widen;
    }
}

int polygonExtremumFlags(PolygonRecord* polygon) {
    int a = polygon->dominantAxes[1];
    int ok = 1;
    for (ContourNode* c = polygon->firstContour; c; c = c->nextContour) {
        if (!c->firstVertex) continue;
        if (!c->firstVertex->next) {
            c->firstVertex->extremum = 0;
            errorText(outputChannel, "Single point polynet chain has been found.\n");
            ok = 0;
            continue;
        }
        const VertexNode* prev = c->lastVertex;
        for (VertexNode* v = c->firstVertex; v; prev = v, v = v->next) {
            const VertexNode* next = v->next ? v->next : c->firstVertex;
            double w = axisValue(*v->point, a);
            double wp = axisValue(*prev->point, a), wn = axisValue(*next->point, a);
            v->extremum = (w > wp && w > wn) || (w < wp && w < wn);
        }
    }
    return ok;
}

void polynetPreparePolygon(PolygonRecord* polygon) {
    polygonNormal(polygon);
    polygonDominantAxes(polygon);
    polygonCentroidAndLimits(polygon);
    polygonExtremumFlags(polygon);
}

void polynetPrepare(PolynetRecord* net) {
    for (PolynetRecord* part = net; part; part = part->nextPart)
        for (PolygonRecord* p = part->firstPolygon; p; p = p->nextPolygon)
            polynetPreparePolygon(p);
}

namespace {
int evenOdd(const PolygonRecord* polygon, double u, double v, int onOutline) {
    const int au = polygon->dominantAxes[0], av = polygon->dominantAxes[1];
    int crossings = 0;
    for (const ContourNode* c = polygon->firstContour; c; c = c->nextContour) {
        for (const VertexNode* a = c->firstVertex; a; a = a->next) {
            const VertexNode* b = a->next ? a->next : c->firstVertex;
            double ua = axisValue(*a->point, au), va = axisValue(*a->point, av);
            double ub = axisValue(*b->point, au), vb = axisValue(*b->point, av);
            if (evenOddEdge(u, v, ua, va, ub, vb, crossings)) return onOutline;
        }
    }
    return crossings;
}
} // namespace

int polynetPointInPolygon(const PolygonRecord* polygon, double u, double v) {
    return evenOdd(polygon, u, v, 1);
}

int polynetPointWithinPolygon(const PolygonRecord* polygon, double u, double v) {
    return evenOdd(polygon, u, v, 0);
}

bool facetContainsPoint(const PolygonRecord* p, const Vec3& point, double planeTolerance) {
    if (dot3(p->normal, p->normal) == 0) return false;
    if (std::fabs(dot3(p->normal, point) - p->planeConstant) > planeTolerance) return false;
    double u = axisValue(point, p->dominantAxes[0]);
    double v = axisValue(point, p->dominantAxes[1]);
    if (u < p->limits[0] || u > p->limits[2] || v < p->limits[1] || v > p->limits[3]) return false;
    return polynetPointInPolygon(p, u, v) != 0;
}
