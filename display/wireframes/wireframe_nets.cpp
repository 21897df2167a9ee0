// The wireframe of a polygon net: the contours of its facets, their normals when asked for, and
// the highlighted facet again in its own colour.
#include <cmath>

#include "command/general/highlighting.h"
#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/ray_replay.h"
#include "display/views/segment_3d.h"
#include "display/views/view_modes.h"
#include "display/wireframes/wireframe_kinds.h"
#include "engine/polynet/polynet_records.h"
#include "engine/surfaces/surface_geometry.h"

namespace {

constexpr int kNetColour = 12;
// A chain longer than this is taken as broken and not followed further.
constexpr long kMaxContourVertices = 10000000;

// Each vertex to the next, the last back to the first, in the surface's frame.
void drawContour(const SurfaceRecord* s, const ContourNode* contour) {
    const VertexNode* first = contour->firstVertex;
    if (!first || !first->point) return;
    const VertexNode* v = first;
    long steps = 0;
    while (v->next && v->next->point && ++steps < kMaxContourVertices) {
        drawLocalSegment(s, *v->point, *v->next->point);
        v = v->next;
    }
    if (v != first) drawLocalSegment(s, *v->point, *first->point);
}

void drawFacet(const SurfaceRecord* s, const PolygonRecord* facet) {
    for (const ContourNode* c = facet->firstContour; c; c = c->nextContour)
        drawContour(s, c);
}

// The facet normal from its centre, with an arrow head at its end.
void drawFacetNormal(const SurfaceRecord* s, const PolygonRecord* facet) {
    const double* h = workbox.halfSize;
    const double length = 0.04 * (h[0] + h[1] + h[2]);
    Vec3 from, to;
    toGlobalPoint(facet->centroid, from, s);
    toGlobalPoint(facet->centroid + length * facet->normal, to, s);
    drawSegment3d(from, to);
    const double head = 0.25 * length;
    drawArrowHead(from, to, 1.0 - 0.5 * head / length, head);
}

} // namespace

void drawPolynetWireframe(const ObjectRecord* object) {
    const SurfaceRecord* s = object->firstSurface;
    const auto* net = static_cast<const PolynetRecord*>(s->typeData);
    if (!net) return;
    setPenColor(kNetColour);
    for (const PolynetRecord* part = net; part; part = part->nextPart)
        for (const PolygonRecord* facet = part->firstPolygon; facet; facet = facet->nextPolygon) {
            drawFacet(s, facet);
            if (viewModeState().facetNormals) drawFacetNormal(s, facet);
        }
    // The highlighted facet (numbered along the first part) again in its colour.
    const HighlightState& h = highlightState();
    if (h.surfaceObject != -1 && h.surfaceObject == object->number) {
        if (const PolygonRecord* facet = polygonAt(net, h.surfaceNumber)) {
            setPenColor(surfaceHighlightColor(kNetColour, object->number, h.surfaceNumber));
            drawFacet(s, facet);
        }
    }
    setPenColor(15);
}
