#include "display/wireframes/profile_curves.h"

#include <cmath>

#include "display/views/segment_3d.h"

namespace {

double& component(Vec3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

Vec3 unitAxis(int axis) {
    Vec3 d;
    component(d, axis) = 1.0;
    return d;
}

// v . Q . w with the quadric's 3 x 3 matrix.
double quadraticForm(const double* q, const Vec3& v, const Vec3& w) {
    return v.x * (q[0] * w.x + q[1] * w.y + q[2] * w.z) +
           v.y * (q[3] * w.x + q[4] * w.y + q[5] * w.z) +
           v.z * (q[6] * w.x + q[7] * w.y + q[8] * w.z);
}

} // namespace

WireframeCounts wireframeCounts(int level) {
    switch (level) {
    case 1:
        return {1, 1, 1, 2};
    case 2:
        return {1, 4, 2, 3};
    case 3:
        return {3, 32, 16, 5};
    default:
        return {0, 0, 5, 5};
    }
}

int lineQuadricRoots(const SurfaceRecord* s, const Vec3& p, const Vec3& d, double& t1, double& t2) {
    const double* q = s->quadric;
    const Vec3 lin{q[9], q[10], q[11]};
    const double a = quadraticForm(q, d, d);
    const double b = dot3(lin, d) + quadraticForm(q, d, p) + quadraticForm(q, p, d);
    const double c = quadraticForm(q, p, p) + dot3(lin, p) + q[12];
    if (a == 0.0) {
        if (b == 0.0) return 0;
        t1 = t2 = -c / b;
        return std::isfinite(t1) ? 1 : 0;
    }
    const double disc = b * b - 4.0 * a * c;
    if (disc == 0.0) {
        t1 = t2 = -b / (2.0 * a);
        return 1;
    }
    if (!(disc > 0.0)) return 0;
    const double root = -(b + (b >= 0.0 ? 1.0 : -1.0) * std::sqrt(disc)) / 2.0;
    t1 = root / a;
    t2 = c / root;
    if (t1 > t2) std::swap(t1, t2);
    return std::isfinite(t1) && std::isfinite(t2) ? 2 : 0;
}

bool pointInExtent(const SurfaceRecord* s, const Vec3& p) {
    constexpr double kTolerance = 0.00001;
    const double* e = s->extent;
    return p.x >= e[0] - kTolerance && p.x <= e[1] + kTolerance && p.y >= e[2] - kTolerance &&
           p.y <= e[3] + kTolerance && p.z >= e[4] - kTolerance && p.z <= e[5] + kTolerance;
}

double surfaceSag(int axis, const SurfaceRecord* s, const Vec3& point) {
    double t1 = 0, t2 = 0;
    if (lineQuadricRoots(s, point, unitAxis(axis), t1, t2) != 2) return 0.0;
    return t2 - t1;
}

void computeProfileSamples(int directionAxis, int sweepAxis, const SurfaceRecord* s, int samples,
                           const Vec3& centre, double span, ProfileSamples& out) {
    if (samples < 2 || samples > 35) samples = kDefaultProfileSamples;
    out.count = samples;
    const Vec3 d = unitAxis(directionAxis);
    Vec3 p = centre;
    component(p, sweepAxis) -= span / 2.0;
    const double start = component(p, sweepAxis);
    const double step = span / (samples - 1);
    for (int i = 0; i < samples; ++i) {
        component(p, sweepAxis) = start + i * step;
        double t1 = 0, t2 = 0;
        const int roots = lineQuadricRoots(s, p, d, t1, t2);
        out.nearPoint[i] = p + t1 * d;
        out.farPoint[i] = p + t2 * d;
        if (roots == 0) {
            out.mark[i] = kMarkMiss;
        } else if (roots == 1) {
            out.mark[i] = kMarkNear;
        } else {
            const bool nearIn = pointInExtent(s, out.nearPoint[i]);
            const bool farIn = pointInExtent(s, out.farPoint[i]);
            out.mark[i] = nearIn ? (farIn ? kMarkBoth : kMarkNear) : (farIn ? kMarkFar : kMarkMiss);
        }
    }
}

void joinProfileSamples(const SurfaceRecord* s, const ProfileSamples& v) {
    const auto& n = v.nearPoint;
    const auto& f = v.farPoint;
    auto pass = [&](int previous, int current, auto&& draw) {
        for (int i = 1; i < v.count; ++i)
            if (v.mark[i - 1] == previous && v.mark[i] == current) draw(i);
    };
    pass(kMarkNear, kMarkNear, [&](int i) { drawLocalSegment(s, n[i - 1], n[i]); });
    pass(kMarkNear, kMarkBoth, [&](int i) { drawLocalSegment(s, n[i - 1], f[i]); });
    pass(kMarkBoth, kMarkNear, [&](int i) { drawLocalSegment(s, f[i - 1], n[i]); });
    pass(kMarkBoth, kMarkBoth, [&](int i) {
        drawLocalSegment(s, n[i - 1], n[i]);
        drawLocalSegment(s, f[i - 1], f[i]);
    });
    pass(kMarkFar, kMarkFar, [&](int i) { drawLocalSegment(s, f[i - 1], f[i]); });
}

void sampleSurfaceProfile(int directionAxis, int sweepAxis, const SurfaceRecord* s, int samples,
                          const Vec3& centre, double span) {
    ProfileSamples v;
    computeProfileSamples(directionAxis, sweepAxis, s, samples, centre, span, v);
    joinProfileSamples(s, v);
}

void drawEllipseRing(double a, double b, Vec3* points, int n) {
    constexpr double kTwoPi = 6.283185307179586;
    for (int i = 0; i < n; ++i) {
        const double angle = i * kTwoPi / n;
        points[i] = {a * std::cos(angle), b * std::sin(angle), 0.0};
    }
}

void drawClosedPolygon(const SurfaceRecord* s, const Vec3* points, int n) {
    if (n < 2) return;
    for (int i = 1; i < n; ++i)
        drawLocalSegment(s, points[i - 1], points[i]);
    drawLocalSegment(s, points[n - 1], points[0]);
}
