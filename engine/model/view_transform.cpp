#include "engine/model/view_transform.h"

#include <cmath>

ViewState& viewState() {
    static ViewState s;
    return s;
}

void resetViewState() {
    viewState() = ViewState{};
}

void setViewTransform(const Vec3& eye, const Vec3& lookAt) {
    auto& v = viewState();
    translationMatrix({-lookAt.x, -lookAt.y, -lookAt.z}, v.viewMatrix);
    Vec3 d = eye - lookAt;
    PlacementMatrix r;
    rotationMatrixY(-std::atan2(d.x, d.z), r);
    multiply4(v.viewMatrix, r, v.viewMatrix);
    rotationMatrixX(std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)), r);
    multiply4(v.viewMatrix, r, v.viewMatrix);
    Vec3 e;
    transformPoint(eye, e, v.viewMatrix);
    v.viewDepth = e.z;
}

void setViewFromAngles(double azimuth, double elevation, const Vec3& lookAt) {
    double az = azimuth * kDegree, el = elevation * kDegree;
    double d = viewState().eyeDistance;
    Vec3 eye{lookAt.x + d * std::cos(el) * std::sin(az), lookAt.y + d * std::sin(el),
             lookAt.z + d * std::cos(el) * std::cos(az)};
    setViewTransform(eye, lookAt);
}

void viewAnglesFromPoints(const Vec3& from, const Vec3& to, double angles[3]) {
    Vec3 d = to - from;
    angles[0] = angles[1] = angles[2] = 0;
    if (d.x != 0 || d.z != 0) {
        angles[1] = std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)) / 0.0174532925;
        angles[0] = std::atan2(d.x, d.z) / 0.0174532925;
    } else if (d.y > 0) {
        angles[1] = 90;
    } else if (d.y < 0) {
        angles[1] = -90;
    }
}

namespace {
void perspectiveDivide(const Vec3& p, double out[2]) {
    double depth = viewState().viewDepth;
    double w = depth != 0 ? 1 - p.z / depth : 1 - p.z * 1e10;
    if (w == 0) w = 1e-20;
    out[0] = p.x / w;
    out[1] = p.y / w;
}

// Moves end a of a view-space segment onto the near or far plane when it lies beyond it.
// Returns 0 when the whole segment lies beyond the same plane.
int clipEnd(Vec3& a, const Vec3& b) {
    const auto& v = viewState();
    double nearZ = v.viewDepth - v.nearDistance;
    double farZ = v.viewDepth - v.farDistance;
    double limit;
    if (a.z > nearZ) {
        if (b.z > nearZ) return 0;
        limit = nearZ;
    } else if (a.z < farZ) {
        if (b.z < farZ) return 0;
        limit = farZ;
    } else {
        return 1;
    }
    double t = (limit - a.z) / (b.z - a.z);
    a.x += t * (b.x - a.x);
    a.y += t * (b.y - a.y);
    a.z = limit;
    return 1;
}
} // namespace

int projectPoint(const Vec3& p, double out2d[2]) {
    const auto& v = viewState();
    Vec3 q;
    transformPoint(p, q, v.viewMatrix);
    if (q.z > v.viewDepth - v.nearDistance || q.z < v.viewDepth - v.farDistance) return 0;
    perspectiveDivide(q, out2d);
    return 1;
}

int projectLine(const Vec3& p1, const Vec3& p2, double out1[2], double out2[2]) {
    const auto& v = viewState();
    Vec3 a, b;
    transformPoint(p1, a, v.viewMatrix);
    transformPoint(p2, b, v.viewMatrix);
    if (!clipEnd(a, b)) return 0;
    clipEnd(b, a);
    perspectiveDivide(a, out1);
    perspectiveDivide(b, out2);
    return 1;
}

void projectBoxExtents(const Vec3& centre, const Vec3& halfSizes, double xRange[2],
                       double yRange[2]) {
    bool any = false;
    for (int i = 0; i < 8; ++i) {
        Vec3 corner{centre.x + ((i & 1) ? halfSizes.x : -halfSizes.x),
                    centre.y + ((i & 2) ? halfSizes.y : -halfSizes.y),
                    centre.z + ((i & 4) ? halfSizes.z : -halfSizes.z)};
        double p[2];
        if (!projectPoint(corner, p)) continue; // a hidden corner says nothing of the extents
        if (!any) {
            xRange[0] = xRange[1] = p[0];
            yRange[0] = yRange[1] = p[1];
            any = true;
            continue;
        }
        if (p[0] < xRange[0]) xRange[0] = p[0];
        if (p[0] > xRange[1]) xRange[1] = p[0];
        if (p[1] < yRange[0]) yRange[0] = p[1];
        if (p[1] > yRange[1]) yRange[1] = p[1];
    }
    if (any) return;
    double c[2] = {0, 0};
    projectPoint(centre, c);
    xRange[0] = xRange[1] = c[0];
    yRange[0] = yRange[1] = c[1];
}
