#include "engine/polynet/polynet_extrude.h"

#include <unordered_map>
#include <vector>

namespace {

// Every node the extrusion needs, taken before anything is linked so that a failed allocation
// leaves the net as it was.
struct ExtrusionNodes {
    std::vector<PolygonRecord*> polygons;
    std::vector<ContourNode*> contours;
    std::vector<VertexNode*> vertices;
    std::size_t nextPolygon = 0, nextContour = 0, nextVertex = 0;

    bool take(std::size_t polygonCount, std::size_t contourCount, std::size_t vertexCount) {
        for (std::size_t i = 0; i < polygonCount; ++i)
            if (!polygons.emplace_back(allocPolygon())) return false;
        for (std::size_t i = 0; i < contourCount; ++i)
            if (!contours.emplace_back(allocContour())) return false;
        for (std::size_t i = 0; i < vertexCount; ++i)
            if (!vertices.emplace_back(allocVertexNode())) return false;
        return true;
    }
    PolygonRecord* polygon(const PolygonRecord* like, unsigned char reversed) {
        PolygonRecord* p = polygons[nextPolygon++];
        p->reflectance = like->reflectance;
        p->absorbtion = like->absorbtion;
        p->reversed = reversed;
        return p;
    }
    ContourNode* contour(PolygonRecord* owner) {
        ContourNode* c = contours[nextContour++];
        appendContour(owner, c);
        return c;
    }
    void vertex(ContourNode* owner, PolyPoint* point) {
        VertexNode* v = vertices[nextVertex++];
        v->point = point;
        appendVertex(owner, v);
    }
};

} // namespace

PolygonRecord* polynetThickenPolygon(PolynetRecord* net, PolygonRecord* polygon, double thickness) {
    if (!net || !polygon) return nullptr;
    std::size_t contourCount = 0, vertexCount = 0;
    std::vector<PolyPoint*> tops; // each distinct point once, in order of first use
    std::unordered_map<PolyPoint*, PolyPoint*> bottomOf;
    for (const ContourNode* c = polygon->firstContour; c; c = c->nextContour) {
        ++contourCount;
        for (const VertexNode* v = c->firstVertex; v; v = v->next) {
            ++vertexCount;
            if (bottomOf.emplace(v->point, nullptr).second) tops.push_back(v->point);
        }
    }
    for (PolyPoint* top : tops) {
        PolyPoint* bottom = allocPolyPoint();
        if (!bottom) return nullptr;
        bottomOf[top] = bottom;
    }
    ExtrusionNodes nodes;
    // The copy (1 facet, every contour, every vertex) and one side facet per edge.
    if (!nodes.take(1 + vertexCount, contourCount + vertexCount, vertexCount + 4 * vertexCount))
        return nullptr;

    for (PolyPoint* top : tops) {
        top->z += 0.5 * thickness;
        *bottomOf[top] = {top->x, top->y, top->z - thickness};
    }
    polygon->reversed = 1;

    PolygonRecord* copy = nodes.polygon(polygon, 0);
    for (const ContourNode* c = polygon->firstContour; c; c = c->nextContour) {
        ContourNode* cc = nodes.contour(copy);
        for (const VertexNode* v = c->firstVertex; v; v = v->next)
            nodes.vertex(cc, bottomOf[v->point]);
    }
    appendPolygon(net, copy);

    PolygonRecord* last = copy;
    bool firstContour = true;
    for (const ContourNode* c = polygon->firstContour; c; c = c->nextContour) {
        for (const VertexNode* v = c->firstVertex; v; v = v->next) {
            PolyPoint* a = v->point;
            PolyPoint* b = (v->next ? v->next : c->firstVertex)->point;
            PolygonRecord* side = nodes.polygon(polygon, firstContour ? 0 : 1);
            ContourNode* sc = nodes.contour(side);
            nodes.vertex(sc, a);
            nodes.vertex(sc, b);
            nodes.vertex(sc, bottomOf[b]);
            nodes.vertex(sc, bottomOf[a]);
            appendPolygon(net, side);
            last = side;
        }
        firstContour = false;
    }
    return last;
}
