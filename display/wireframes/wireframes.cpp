#include "display/wireframes/wireframes.h"

#include <algorithm>
#include <cmath>

#include "command/general/highlighting.h"
#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/segment_3d.h"
#include "display/wireframes/wireframe_kinds.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kLensCurveSamples = 11;
constexpr int kEdgeCurveSamples = 24;

double& component(Vec3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

bool isFlatQuadric(const SurfaceRecord* s) {
    for (int i = 0; i < 9; ++i)
        if (s->quadric[i] != 0.0) return false;
    return true;
}

void drawLensFace(const SurfaceRecord* s, int curves) {
    const double x0 = s->extent[0];
    for (int i = 0; i < curves; ++i) {
        const double d = x0 + (i + 1) * (-2.0 * x0 / (curves + 1));
        const double h = std::sqrt(std::max(0.0, x0 * x0 - d * d));
        const double span = 2.0 * h * 0.99999;
        sampleSurfaceProfile(kAxisZ, kAxisX, s, kLensCurveSamples, {0.0, d, 0.0}, span);
        sampleSurfaceProfile(kAxisZ, kAxisY, s, kLensCurveSamples, {d, 0.0, 0.0}, span);
    }
}

// A cylindrical edge: its two rims, joined by lines at even angles.
void drawLensEdge(const SurfaceRecord* s, int lines) {
    drawExtentRing(s, s->extent[4]);
    drawExtentRing(s, s->extent[5]);
    const Vec3 c = extentCentre(s), size = extentSize(s);
    for (int k = 0; k < lines; ++k) {
        const double angle = k * kTwoPi / lines;
        const double x = c.x + size.x / 2.0 * std::cos(angle);
        const double y = c.y + size.y / 2.0 * std::sin(angle);
        drawLocalSegment(s, {x, y, s->extent[4]}, {x, y, s->extent[5]});
    }
}

// The rectangle of a plane's extent in the two axes across its normal, on the plane.
void drawPlaneRectangle(const SurfaceRecord* s) {
    const double* q = s->quadric;
    int normal = 0;
    for (int axis = 1; axis < 3; ++axis)
        if (std::fabs(q[9 + axis]) > std::fabs(q[9 + normal])) normal = axis;
    const int u = normal == 0 ? 1 : 0, v = normal == 2 ? 1 : 2;
    Vec3 c = extentCentre(s);
    Vec3 along;
    component(along, normal) = 1.0;
    double t1 = 0, t2 = 0;
    if (lineQuadricRoots(s, c, along, t1, t2) > 0) c = c + t1 * along;
    const double* e = s->extent;
    Vec3 corners[4];
    const double us[4] = {e[2 * u], e[2 * u + 1], e[2 * u + 1], e[2 * u]};
    const double vs[4] = {e[2 * v], e[2 * v], e[2 * v + 1], e[2 * v + 1]};
    for (int i = 0; i < 4; ++i) {
        corners[i] = c;
        component(corners[i], u) = us[i];
        component(corners[i], v) = vs[i];
    }
    drawClosedPolygon(s, corners, 4);
}

} // namespace

Vec3 extentCentre(const SurfaceRecord* s) {
    const double* e = s->extent;
    return {(e[0] + e[1]) / 2.0, (e[2] + e[3]) / 2.0, (e[4] + e[5]) / 2.0};
}

Vec3 extentSize(const SurfaceRecord* s) {
    const double* e = s->extent;
    return {e[1] - e[0], e[3] - e[2], e[5] - e[4]};
}

void drawExtentRing(const SurfaceRecord* s, double z) {
    const double limits[4] = {s->extent[0], s->extent[1], s->extent[2], s->extent[3]};
    drawOutline(s, limits, true, z, false);
}

void drawOutline(const SurfaceRecord* s, const double limits[4], bool elliptic, double z,
                 bool lift) {
    constexpr int kSidePoints = 8; // a rectangle lifted onto a curved surface bends
    Vec3 points[4 * kSidePoints];
    int n = 0;
    const double cx = (limits[0] + limits[1]) / 2.0, cy = (limits[2] + limits[3]) / 2.0;
    if (elliptic) {
        n = kRingPoints;
        drawEllipseRing((limits[1] - limits[0]) / 2.0, (limits[3] - limits[2]) / 2.0, points, n);
        for (int i = 0; i < n; ++i)
            points[i] = {points[i].x + cx, points[i].y + cy, z};
    } else {
        const double xs[5] = {limits[0], limits[1], limits[1], limits[0], limits[0]};
        const double ys[5] = {limits[2], limits[2], limits[3], limits[3], limits[2]};
        const int perSide = lift ? kSidePoints : 1;
        for (int side = 0; side < 4; ++side)
            for (int k = 0; k < perSide; ++k) {
                const double f = static_cast<double>(k) / perSide;
                points[n++] = {xs[side] + f * (xs[side + 1] - xs[side]),
                               ys[side] + f * (ys[side + 1] - ys[side]), z};
            }
    }
    if (lift) {
        for (int i = 0; i < n; ++i) {
            double t1 = 0, t2 = 0;
            const Vec3 p{points[i].x, points[i].y, 0.0};
            const int roots = lineQuadricRoots(s, p, {0, 0, 1}, t1, t2);
            if (roots == 0) continue;
            points[i].z = (roots == 2 && !pointInExtent(s, {p.x, p.y, t1})) ? t2 : t1;
        }
    }
    drawClosedPolygon(s, points, n);
}

void drawAllWireframes() {
    for (int i = 0; i <= highestObjectIndex && i < kMaxObjects; ++i) {
        const ObjectRecord* object = getObject(i);
        if (!object || !object->activated || !object->placed) continue;
        if (lineExportOn) setExportLabel(wireframeKindName(object->wireframeKind));
        drawObjectWireframe(object);
    }
}

void drawObjectWireframe(const ObjectRecord* object) {
    if (!object || !object->firstSurface) return;
    switch (object->wireframeKind) {
    case kWireAxes:
        drawAxesWireframe(object);
        break;
    case kWireXlong:
        drawTroughWireframe(object);
        break;
    case kWireFlatMirror:
        drawFlatOutlineWireframe(object);
        break;
    case kWireSingleLens:
        drawLensWireframe(object);
        break;
    case kWireMirror:
        drawMirrorWireframe(object);
        break;
    case kWireEllipsoid:
    case kWireEllipse:
        drawEllipsoidWireframe(object);
        break;
    case kWirePoint:
        drawPointWireframe(object);
        break;
    case kWireCylindricLens:
        drawCylindricalLensWireframe(object);
        break;
    case kWireCpc:
        drawCpcWireframe(object);
        break;
    case kWirePrism:
        drawPolynetWireframe(object);
        break;
    default:
        break;
    }
}

void drawAxesWireframe(const ObjectRecord* object) {
    const SurfaceRecord* s = object->firstSurface;
    setPenColor(15);
    const double l = s->axisLength;
    const Vec3 origin{0, 0, 0};
    drawLocalSegment(s, origin, {l, 0, 0});
    drawLocalSegment(s, origin, {0, l, 0});
    drawLocalSegment(s, origin, {0, 0, l});
}

void drawFlatOutlineWireframe(const ObjectRecord* object) {
    for (const SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        const double edge[4] = {s->extent[0], s->extent[1], s->extent[2], s->extent[3]};
        drawOutline(s, edge, s->edgeType == 1, 0.0, false);
        if (s->hasHole) drawOutline(s, s->holeLimits, s->holeShape == 1, 0.0, false);
    }
}

// Faces and edges are told apart by shape: a cylinder is an edge, anything else a face.
void drawLensWireframe(const ObjectRecord* object) {
    const WireframeCounts counts = wireframeCounts(wireframeDetail);
    for (const SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        setPenColor(surfaceHighlightColor(11, object->number, s->number));
        if (s->shapeCode == kShapeCylinder)
            drawLensEdge(s, counts.edgeCurves);
        else if (s->shapeCode != kShapeFlat)
            drawLensFace(s, counts.faceCurves);
    }
    // A highlighted last surface must not colour the objects drawn after it.
    setPenColor(15);
}

void drawPointWireframe(const ObjectRecord* object) {
    const SurfaceRecord* s = object->firstSurface;
    const double* h = workbox.halfSize;
    const double size = 0.1 * std::min({h[0], h[1], h[2]});
    const Vec3 origin{0, 0, 0}, top{0, 0, size};
    drawLocalSegment(s, origin, top);
    drawLocalSegment(s, top, {0, size / 8.0, 0.75 * size});
    drawLocalSegment(s, top, {0, -size / 8.0, 0.75 * size});
    drawLocalSegment(s, top, {size / 8.0, 0, 0.75 * size});
    drawLocalSegment(s, top, {-size / 8.0, 0, 0.75 * size});
    drawLocalSegment(s, origin, {0, size / 2.0, 0});
    drawLocalSegment(s, origin, {size / 2.0, 0, 0});
}

void drawCylindricalLensWireframe(const ObjectRecord* object) {
    const int curves = wireframeCounts(wireframeDetail).faceCurves;
    for (const SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        setPenColor(surfaceHighlightColor(11, object->number, s->number));
        const double* e = s->extent;
        const Vec3 c = extentCentre(s), size = extentSize(s);
        switch (s->number) {
        case 1:
        case 2:
            if (s->shapeCode != kShapeFlat && !isFlatQuadric(s)) {
                for (int i = 0; i < curves; ++i) {
                    const double xs = e[0] + (i + 1) * size.x / (curves + 1);
                    const double ys = e[2] + (i + 1) * size.y / (curves + 1);
                    sampleSurfaceProfile(kAxisZ, kAxisY, s, kLensCurveSamples, {xs, c.y, 0},
                                         size.y * 0.99999);
                    sampleSurfaceProfile(kAxisZ, kAxisX, s, kLensCurveSamples, {c.x, ys, 0},
                                         size.x * 0.99999);
                }
            }
            for (double x : {e[0], e[1]})
                sampleSurfaceProfile(kAxisZ, kAxisY, s, kEdgeCurveSamples, {x, c.y, 0},
                                     size.y * 0.99999);
            for (double y : {e[2], e[3]})
                sampleSurfaceProfile(kAxisZ, kAxisX, s, kEdgeCurveSamples, {c.x, y, 0},
                                     size.x * 0.99999);
            break;
        case 3:
        case 4:
            sampleSurfaceProfile(kAxisY, kAxisX, s, 2, c, size.x * 0.99999);
            sampleSurfaceProfile(kAxisY, kAxisZ, s, 2, c, size.z * 0.99999);
            break;
        case 5:
        case 6:
            drawPlaneRectangle(s);
            break;
        default:
            break;
        }
    }
    setPenColor(15);
}
