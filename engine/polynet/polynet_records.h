// Polygon nets: solids and sheets described by planar facets. A net is a chain of parts, each a
// chain of facets; a facet is one or more closed contours of vertex nodes, and vertex nodes
// share their points so that neighbouring facets share corners. Every node lives in a
// never-freed model block; the nodes of a deleted net are handed out again to later nets.
#pragma once

#include "engine/model/object_table.h"

// A corner of a net, shared by every vertex node that names it.
using PolyPoint = Vec3;

struct VertexNode {
    PolyPoint* point = nullptr;
    unsigned char extremum = 0; // above or below both neighbours on the second dominant axis
    VertexNode* next = nullptr;
};

struct ContourNode {
    VertexNode* firstVertex = nullptr;
    ContourNode* nextContour = nullptr;
    VertexNode* lastVertex = nullptr; // tail, so that appending is O(1)
    int vertexCount = 0;
};

struct PolygonRecord {
    ContourNode* firstContour = nullptr;
    Vec3 normal; // unit; zero for a facet whose corners span no plane
    Vec3 centroid;
    int dominantAxes[2] = {}; // 0, 1, 2 for x, y, z: the two axes the facet is tested in
    PolygonRecord* nextPolygon = nullptr;
    double limits[4] = {};    // min first axis, min second axis, max first axis, max second axis
    double planeConstant = 0; // normal . p on the facet
    double reflectance = 0;
    double absorbtion = 0;
    ContourNode* lastContour = nullptr; // tail
    unsigned char reversed = 0;         // preparation turns the normal round
};

struct PolynetRecord {
    PolygonRecord* firstPolygon = nullptr;
    Vec3 centroid;
    double radius = 0;
    PolynetRecord* nextPart = nullptr;
    PolygonRecord* lastPolygon = nullptr; // tail
    int polygonCount = 0;
    int hierarchySlot = 0; // 1-based slot of its facet hierarchy (facet_hierarchy.h), 0 none
};

// Points and vertex nodes come from blocks of this many records.
inline constexpr int kPolyNodesPerBlock = 500;

// One zero-filled record each, or nullptr when no memory can be had (no message).
PolynetRecord* allocPolynet();
PolygonRecord* allocPolygon();
ContourNode* allocContour();
// The next record of the current block; a new block on the first request and after the 500th.
// When no block can be had, the box "ERROR out of memory for polygon.\n" and nullptr.
PolyPoint* allocPolyPoint();
VertexNode* allocVertexNode();

// Hands every record of a net (all its parts, facets, contours, vertex nodes and corners) back
// for reuse by the allocators above; the net must be referenced by nothing any more.
void releasePolynet(PolynetRecord* net);

// Forgets the current blocks (tests; the blocks themselves go with releaseAllModelBlocks).
void resetPolynetAllocators();

// Appends with the tail links kept.
void appendPolygon(PolynetRecord* net, PolygonRecord* polygon);
void appendContour(PolygonRecord* polygon, ContourNode* contour);
void appendVertex(ContourNode* contour, VertexNode* vertex);

// The point of the i-th vertex (0-based); i equal to the count wraps to the first vertex,
// anything beyond gives nullptr.
PolyPoint* contourVertex(int i, const ContourNode* contour);

// The coordinate of a point on axis 0, 1 or 2 (an indexed load, not a branch: the facet tests
// pick axes that vary from facet to facet).
inline double axisValue(const Vec3& p, int axis) {
    const double c[3] = {p.x, p.y, p.z};
    return c[axis];
}
inline double& axisRef(Vec3& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

// The n-th facet (1-based) of the first part, without messages; nullptr when there is none.
PolygonRecord* polygonAt(const PolynetRecord* net, int n);
// The same with the warnings "No such polygons found.\n" (empty net) and
// "No such polygon %d found.\n".
PolygonRecord* polynetFindPolygon(const PolynetRecord* net, int n);
// The n-th contour (1-based) of a facet and the n-th vertex node (1-based) of a contour.
ContourNode* contourAt(const PolygonRecord* polygon, int n);
VertexNode* vertexAt(const ContourNode* contour, int n);

// Each part's centroid: the centre of the bounding box of its vertices.
void polynetCentroid(PolynetRecord* net);
// Each part's radius: the largest distance of a vertex from the part's centroid.
void polynetRadius(PolynetRecord* net);
// Area of the n-th facet's first contour, -1 when there is no such facet.
double polynetPolygonArea(const PolynetRecord* net, int n);
// Distance from the origin of the first vertex of the first facet, -1 for an empty net.
double polynetFirstVertexDistance(const PolynetRecord* net);

// The net of object `number` when it is a polygon net, else nullptr.
PolynetRecord* objectPolynet(int number);
