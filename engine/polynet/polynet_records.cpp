#include "engine/polynet/polynet_records.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "command/messages/messages.h"
#include "engine/model/model_blocks.h"

namespace {

// The block a kind of node is carved from and how much of it is handed out, with the records
// of deleted nets waiting to be handed out again (blocks are never given back, so a model that
// is cleared and built again reuses its memory instead of growing).
template <class T> struct NodeBlock {
    T* block = nullptr;
    int used = 0;
    int generation = -1;
    std::vector<T*> returned;

    void checkGeneration() {
        // Blocks released under us (a test reset) must not be carved any further.
        if (generation != modelBlockGeneration()) {
            block = nullptr;
            used = 0;
            returned.clear();
            generation = modelBlockGeneration();
        }
    }

    void giveBack(T* node) {
        checkGeneration();
        returned.push_back(node);
    }

    T* take() {
        checkGeneration();
        if (!returned.empty()) {
            T* node = returned.back();
            returned.pop_back();
            *node = T{};
            return node;
        }
        if (!block || used == kPolyNodesPerBlock) {
            T* fresh = allocZeroedBlock<T>(kPolyNodesPerBlock);
            if (!fresh) return nullptr;
            block = fresh;
            used = 0;
        }
        return &block[used++];
    }
};

struct PolynetBlocks {
    std::vector<PolynetRecord*> returnedNets;
    int netGeneration = -1;
    NodeBlock<PolygonRecord> polygons;
    NodeBlock<ContourNode> contours;
    NodeBlock<PolyPoint> points;
    NodeBlock<VertexNode> vertices;
};

PolynetBlocks& blocks() {
    static PolynetBlocks b;
    return b;
}

template <class T> T* takeOrReport(NodeBlock<T>& from) {
    T* node = from.take();
    if (!node) infoText("ERROR out of memory for polygon.\n");
    return node;
}

} // namespace

PolynetRecord* allocPolynet() {
    auto& b = blocks();
    if (b.netGeneration != modelBlockGeneration()) {
        b.returnedNets.clear();
        b.netGeneration = modelBlockGeneration();
    }
    if (!b.returnedNets.empty() && !modelBlockAllocationFails()) {
        PolynetRecord* net = b.returnedNets.back();
        b.returnedNets.pop_back();
        *net = PolynetRecord{};
        return net;
    }
    return allocZeroedBlock<PolynetRecord>(1);
}

void releasePolynet(PolynetRecord* net) {
    auto& b = blocks();
    if (b.netGeneration != modelBlockGeneration()) {
        b.returnedNets.clear();
        b.netGeneration = modelBlockGeneration();
    }
    // Corners are shared by the vertex nodes of neighbouring facets: each goes back once.
    std::vector<PolyPoint*> points;
    for (PolynetRecord* part = net; part;) {
        PolynetRecord* nextPart = part->nextPart;
        for (PolygonRecord* p = part->firstPolygon; p;) {
            PolygonRecord* nextPolygon = p->nextPolygon;
            for (ContourNode* c = p->firstContour; c;) {
                ContourNode* nextContour = c->nextContour;
                for (VertexNode* v = c->firstVertex; v;) {
                    VertexNode* next = v->next;
                    if (v->point) points.push_back(v->point);
                    b.vertices.giveBack(v);
                    v = next;
                }
                b.contours.giveBack(c);
                c = nextContour;
            }
            b.polygons.giveBack(p);
            p = nextPolygon;
        }
        b.returnedNets.push_back(part);
        part = nextPart;
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    for (PolyPoint* q : points)
        b.points.giveBack(q);
}

PolygonRecord* allocPolygon() {
    return blocks().polygons.take();
}

ContourNode* allocContour() {
    return blocks().contours.take();
}

PolyPoint* allocPolyPoint() {
    return takeOrReport(blocks().points);
}

VertexNode* allocVertexNode() {
    return takeOrReport(blocks().vertices);
}

void resetPolynetAllocators() {
    blocks() = PolynetBlocks{};
}

void appendPolygon(PolynetRecord* net, PolygonRecord* polygon) {
    if (net->lastPolygon)
        net->lastPolygon->nextPolygon = polygon;
    else
        net->firstPolygon = polygon;
    net->lastPolygon = polygon;
    ++net->polygonCount;
}

void appendContour(PolygonRecord* polygon, ContourNode* contour) {
    if (polygon->lastContour)
        polygon->lastContour->nextContour = contour;
    else
        polygon->firstContour = contour;
    polygon->lastContour = contour;
}

void appendVertex(ContourNode* contour, VertexNode* vertex) {
    if (contour->lastVertex)
        contour->lastVertex->next = vertex;
    else
        contour->firstVertex = vertex;
    contour->lastVertex = vertex;
    ++contour->vertexCount;
}

PolyPoint* contourVertex(int i, const ContourNode* contour) {
    if (!contour || i < 0 || i > contour->vertexCount) return nullptr;
    if (i == contour->vertexCount) i = 0;
    const VertexNode* v = contour->firstVertex;
    for (; v && i > 0; --i)
        v = v->next;
    return v ? v->point : nullptr;
}

PolygonRecord* polygonAt(const PolynetRecord* net, int n) {
    if (!net || n < 1 || n > net->polygonCount) return nullptr;
    PolygonRecord* p = net->firstPolygon;
    for (; p && n > 1; --n)
        p = p->nextPolygon;
    return p;
}

PolygonRecord* polynetFindPolygon(const PolynetRecord* net, int n) {
    if (!net || !net->firstPolygon) {
        warningText(outputChannel, "No such polygons found.\n");
        return nullptr;
    }
    PolygonRecord* p = polygonAt(net, n);
    if (!p) warningText(outputChannel, "No such polygon %d found.\n", n);
    return p;
}

ContourNode* contourAt(const PolygonRecord* polygon, int n) {
    if (!polygon || n < 1) return nullptr;
    ContourNode* c = polygon->firstContour;
    for (; c && n > 1; --n)
        c = c->nextContour;
    return c;
}

VertexNode* vertexAt(const ContourNode* contour, int n) {
    if (!contour || n < 1 || n > contour->vertexCount) return nullptr;
    VertexNode* v = contour->firstVertex;
    for (; v && n > 1; --n)
        v = v->next;
    return v;
}

namespace {
template <class F> void forEachPoint(const PolynetRecord* part, F&& visit) {
    for (const PolygonRecord* p = part->firstPolygon; p; p = p->nextPolygon)
        for (const ContourNode* c = p->firstContour; c; c = c->nextContour)
            for (const VertexNode* v = c->firstVertex; v; v = v->next)
                visit(*v->point);
}
} // namespace

void polynetCentroid(PolynetRecord* net) {
    for (PolynetRecord* part = net; part; part = part->nextPart) {
        Vec3 lo{HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        bool any = false;
        forEachPoint(part, [&](const PolyPoint& q) {
            any = true;
            lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
            hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
        });
        part->centroid = any ? 0.5 * (lo + hi) : Vec3{};
    }
}

void polynetRadius(PolynetRecord* net) {
    for (PolynetRecord* part = net; part; part = part->nextPart) {
        double r2 = 0;
        forEachPoint(part, [&](const PolyPoint& q) {
            Vec3 d = q - part->centroid;
            r2 = std::max(r2, dot3(d, d));
        });
        part->radius = std::sqrt(r2);
    }
}

double polynetPolygonArea(const PolynetRecord* net, int n) {
    const PolygonRecord* p = polygonAt(net, n);
    if (!p) return -1;
    Vec3 sum;
    if (const ContourNode* c = p->firstContour) {
        for (const VertexNode* v = c->firstVertex; v; v = v->next) {
            const VertexNode* w = v->next ? v->next : c->firstVertex;
            sum = sum + cross3(*v->point, *w->point);
        }
    }
    return 0.5 * std::sqrt(dot3(sum, sum));
}

double polynetFirstVertexDistance(const PolynetRecord* net) {
    if (!net || !net->firstPolygon || !net->firstPolygon->firstContour ||
        !net->firstPolygon->firstContour->firstVertex)
        return -1;
    const PolyPoint& q = *net->firstPolygon->firstContour->firstVertex->point;
    return std::sqrt(dot3(q, q));
}

PolynetRecord* objectPolynet(int number) {
    if (number < 1) return nullptr;
    const ObjectRecord* o = getObject(number - 1);
    if (!o || o->typeCode != kTypePolynet || !o->firstSurface) return nullptr;
    return static_cast<PolynetRecord*>(o->firstSurface->typeData);
}
