#include "engine/polynet/polynet_trim.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "command/messages/messages.h"
#include "engine/model/model_blocks.h"
#include "engine/polynet/polynet_facets.h"

namespace {
// How far from a facet's plane a trim point may lie and still be on the facet.
constexpr double kOnFacetTolerance = 1e-6;
// Crossings closer than this (sum of coordinate differences) to a segment end are that end.
constexpr double kSameEndpoint = 1e-10;

PolynetTrimState& freshState() {
    auto& s = polynetTrimState();
    // Chains hold nodes of released blocks after a test reset: they are forgotten with them.
    if (s.generation != modelBlockGeneration()) {
        resetPolynetTrim();
    }
    return s;
}

struct FacetsOfPoint {
    const PolygonRecord* facets[kMaxTrimFacetsPerPoint] = {};
    int count = 0;
    bool has(const PolygonRecord* p) const {
        return std::find(facets, facets + count, p) != facets + count;
    }
};

FacetsOfPoint facetsContaining(const PolynetRecord* net, const Vec3& point) {
    FacetsOfPoint found;
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon) {
        if (!facetContainsPoint(p, point, kOnFacetTolerance)) continue;
        found.facets[found.count++] = p;
        if (found.count == kMaxTrimFacetsPerPoint) {
            outText(outputChannel, "Too many polygons on trim point.");
            break;
        }
    }
    return found;
}

double endpointDistance(const Vec3& a, const Vec3& b) {
    return std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z);
}

double cross2(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

// Fractions along a -> b where the segment crosses the facet's edges, in the facet's dominant
// axes, without those that coincide with an end.
std::vector<double> edgeCrossings(const PolygonRecord* f, const Vec3& a, const Vec3& b) {
    const int au = f->dominantAxes[0], av = f->dominantAxes[1];
    double ux = axisValue(b, au) - axisValue(a, au), uy = axisValue(b, av) - axisValue(a, av);
    std::vector<double> out;
    for (const ContourNode* c = f->firstContour; c; c = c->nextContour)
        for (const VertexNode* v = c->firstVertex; v; v = v->next) {
            const Vec3& e1 = *v->point;
            const Vec3& e2 = *(v->next ? v->next : c->firstVertex)->point;
            double ex = axisValue(e2, au) - axisValue(e1, au);
            double ey = axisValue(e2, av) - axisValue(e1, av);
            double denom = cross2(ux, uy, ex, ey);
            if (denom == 0) continue;
            double wx = axisValue(e1, au) - axisValue(a, au);
            double wy = axisValue(e1, av) - axisValue(a, av);
            double s = cross2(wx, wy, ex, ey) / denom;
            double r = cross2(wx, wy, ux, uy) / denom;
            if (s < 0 || s > 1 || r < 0 || r > 1) continue;
            Vec3 q = a + s * (b - a);
            if (endpointDistance(q, a) < kSameEndpoint || endpointDistance(q, b) < kSameEndpoint)
                continue;
            out.push_back(s);
        }
    std::sort(out.begin(), out.end());
    return out;
}

// Inserts the crossings of the chain with the facets it enters; returns the number added, -1
// after a memory failure.
int addCrossings(const PolynetRecord* net, TrimChain& chain, int& polygonless) {
    int added = 0;
    VertexNode* previous = nullptr;
    FacetsOfPoint previousFacets;
    for (VertexNode* v = chain.points.firstVertex; v;) {
        VertexNode* following = v->next; // points inserted below are not visited again
        FacetsOfPoint facets = facetsContaining(net, *v->point);
        if (facets.count == 0) ++polygonless;
        if (previous) {
            VertexNode* after = previous;
            for (int i = 0; i < facets.count; ++i) {
                if (previousFacets.has(facets.facets[i])) continue;
                const Vec3 a = *previous->point, b = *v->point;
                for (double s : edgeCrossings(facets.facets[i], a, b)) {
                    PolyPoint* q = allocPolyPoint();
                    VertexNode* node = q ? allocVertexNode() : nullptr;
                    if (!node) {
                        outText(outputChannel, "Not enough memory for trim polygon.\n");
                        return -1;
                    }
                    *q = a + s * (b - a);
                    node->point = q;
                    node->next = after->next;
                    after->next = node;
                    after = node;
                    ++chain.points.vertexCount;
                    ++added;
                }
            }
        }
        previous = v;
        previousFacets = facets;
        v = following;
    }
    return added;
}

} // namespace

PolynetTrimState& polynetTrimState() {
    static PolynetTrimState s;
    return s;
}

void resetPolynetTrim() {
    auto& s = polynetTrimState();
    s.begun = 0;
    s.chainCount = 0;
    for (auto& c : s.chains)
        c = TrimChain{};
    s.net = nullptr;
    s.generation = modelBlockGeneration();
}

void polynetTrimBegin() {
    auto& s = freshState();
    if (s.begun) outText(outputChannel, "Error trim already begun.");
    outText(outputChannel, "Polynet trim commenced.\n");
    s.begun = 1;
    s.chainCount = 0;
    s.net = nullptr;
}

int polynetTrimChainBegin(int inside) {
    auto& s = freshState();
    if (!s.begun) {
        outText(outputChannel, "Error trim/begin not found.");
        return 0;
    }
    if (s.chainCount == kMaxTrimChains) {
        outText(outputChannel, "Error too many (more than 100) trim chains created.");
        return 0;
    }
    TrimChain& c = s.chains[s.chainCount++];
    c = TrimChain{};
    c.inside = inside ? 1 : 0;
    outText(outputChannel, inside ? "Polynet trim chain will trim inside.\n"
                                  : "Polynet trim chain will trim outside.\n");
    return 1;
}

int polynetTrimChainAdd(PolyPoint* point) {
    auto& s = freshState();
    if (!s.begun || s.chainCount == 0 || !point) return 0;
    TrimChain& c = s.chains[s.chainCount - 1];
    if (c.closed) return 0;
    VertexNode* v = allocVertexNode();
    if (!v) return 0;
    v->point = point;
    appendVertex(&c.points, v);
    return 1;
}

void polynetTrimChainClose() {
    auto& s = freshState();
    if (s.chainCount == 0) return;
    TrimChain& c = s.chains[s.chainCount - 1];
    if (c.closed) return;
    c.closed = 1;
    outText(outputChannel, "Trim chain closed\n");
}

void polynetTrimListChains(PolynetRecord* net) {
    auto& s = freshState();
    s.net = net;
    for (int i = 0; i < s.chainCount; ++i)
        outText(outputChannel, "Trim chain %d has %d points.\n", i + 1,
                s.chains[i].points.vertexCount);
}

int polynetTrimEnd() {
    auto& s = freshState();
    if (!s.begun) {
        outText(outputChannel, "Error trim/begin not found.");
        return 0;
    }
    if (!s.net) return 0;
    int polygonless = 0;
    for (int i = 0; i < s.chainCount; ++i) {
        int added = addCrossings(s.net, s.chains[i], polygonless);
        if (added < 0) break;
        outText(outputChannel, "%d points added to the trim chain.\n", added);
    }
    outText(outputChannel, "Polynet trim ended with %d chains, %d polygonless points.\n",
            s.chainCount, polygonless);
    s.begun = 0;
    return 1;
}
