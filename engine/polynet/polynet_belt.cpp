#include "engine/polynet/polynet_belt.h"

#include <cmath>
#include <vector>

#include "engine/polynet/polynet_facets.h"

int polynetBuildBelt(PolynetRecord* net, int plane, double radius, double height, int facets) {
    if (!net || facets < 1) return 0;
    // Axis indices: angles run from `first` towards `second`; `axis` completes a right-handed
    // triple, so that (bottom i, bottom i+1, top i+1, top i) faces away from the axis.
    int first = 0, second = 1, axis = 2;
    if (plane == kPolarYZ) {
        first = 1, second = 2, axis = 0;
    } else if (plane == kPolarXZ) {
        first = 2, second = 0, axis = 1;
    }
    const std::size_t n = static_cast<std::size_t>(facets);
    std::vector<PolyPoint*> bottom(n), top(n);
    std::vector<PolygonRecord*> polygons(n);
    std::vector<ContourNode*> contours(n);
    std::vector<VertexNode*> vertices(4 * n);
    for (std::size_t j = 0; j < n; ++j) {
        if (!(bottom[j] = allocPolyPoint()) || !(top[j] = allocPolyPoint())) return 0;
        if (!(polygons[j] = allocPolygon()) || !(contours[j] = allocContour())) return 0;
    }
    for (auto& v : vertices)
        if (!(v = allocVertexNode())) return 0;

    const double width = 2 * M_PI / facets;
    for (std::size_t j = 0; j < n; ++j) {
        double angle = (static_cast<double>(j) - 0.5) * width;
        PolyPoint corner;
        axisRef(corner, first) = radius * std::cos(angle);
        axisRef(corner, second) = radius * std::sin(angle);
        axisRef(corner, axis) = -0.5 * height;
        *bottom[j] = corner;
        axisRef(corner, axis) = 0.5 * height;
        *top[j] = corner;
    }
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t k = (i + 1) % n;
        PolyPoint* corners[4] = {bottom[i], bottom[k], top[k], top[i]};
        appendContour(polygons[i], contours[i]);
        for (int c = 0; c < 4; ++c) {
            VertexNode* v = vertices[4 * i + c];
            v->point = corners[c];
            appendVertex(contours[i], v);
        }
        appendPolygon(net, polygons[i]);
        polynetPreparePolygon(polygons[i]);
    }
    return 1;
}
