#include "engine/surfaces/quadrics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "command/messages/messages.h"

namespace {

// Q = diag(qx, qy, qz), L = (lx, ly, lz), constant k; everything else 0.
void diagonalQuadric(double q[13], double qx, double qy, double qz, double lx, double ly, double lz,
                     double k) {
    std::memset(q, 0, 13 * sizeof(double));
    q[0] = qx;
    q[4] = qy;
    q[8] = qz;
    q[9] = lx;
    q[10] = ly;
    q[11] = lz;
    q[12] = k;
}

double inverseSquare(double a) {
    return 1.0 / (a * a);
}

// Q v for the 3x3 part of a quadric.
Vec3 multiplyQ(const double* q, const Vec3& v) {
    return {q[0] * v.x + q[1] * v.y + q[2] * v.z, q[3] * v.x + q[4] * v.y + q[5] * v.z,
            q[6] * v.x + q[7] * v.y + q[8] * v.z};
}

// Qt v
Vec3 multiplyQTransposed(const double* q, const Vec3& v) {
    return {q[0] * v.x + q[3] * v.y + q[6] * v.z, q[1] * v.x + q[4] * v.y + q[7] * v.z,
            q[2] * v.x + q[5] * v.y + q[8] * v.z};
}

Vec3 linearTerms(const double* q) {
    return {q[9], q[10], q[11]};
}

} // namespace

void cone(double quadric[13], double a, double b, double c) {
    diagonalQuadric(quadric, inverseSquare(a), inverseSquare(b), -inverseSquare(c), 0, 0, 0, 0);
}

void cylinderAlongX(double quadric[13], double a, double b) {
    diagonalQuadric(quadric, 0, inverseSquare(a), inverseSquare(b), 0, 0, 0, -1);
}

void cylinderAlongY(double quadric[13], double a, double b) {
    diagonalQuadric(quadric, inverseSquare(a), 0, inverseSquare(b), 0, 0, 0, -1);
}

void troughAlongX(double quadric[13], double a, double b) {
    diagonalQuadric(quadric, 0, inverseSquare(a), inverseSquare(b), 0, 0, -2.0 / b, 0);
}

void cylinderAlongZ(double quadric[13], double a, double b) {
    diagonalQuadric(quadric, inverseSquare(a), inverseSquare(b), 0, 0, 0, 0, -1);
}

void ellipsoid(double quadric[13], double a, double b, double c) {
    diagonalQuadric(quadric, inverseSquare(a), inverseSquare(b), inverseSquare(c), 0, 0, 0, -1);
}

void hyperboloidOneSheet(double quadric[13], double a, double b, double c) {
    diagonalQuadric(quadric, inverseSquare(a), inverseSquare(b), -inverseSquare(c), 0, 0, 0, -1);
}

void hyperboloidTwoSheets(double quadric[13], double a, double b, double c) {
    diagonalQuadric(quadric, -inverseSquare(a), -inverseSquare(b), inverseSquare(c), 0, 0, 0, -1);
}

void hyperbolicParaboloid(double quadric[13], double a, double b, double c) {
    diagonalQuadric(quadric, -inverseSquare(a), inverseSquare(b), 0, 0, 0, -1.0 / c, 0);
}

void ellipticParaboloid(double quadric[13], double a, double b, double c) {
    diagonalQuadric(quadric, inverseSquare(a), inverseSquare(b), 0, 0, 0, -1.0 / c, 0);
}

void plane(double quadric[13], const Vec3& normal) {
    diagonalQuadric(quadric, 0, 0, 0, normal.x, normal.y, normal.z, 0);
}

void sphere(double quadric[13], const Vec3& centre, double radius) {
    diagonalQuadric(quadric, 1, 1, 1, -2 * centre.x, -2 * centre.y, -2 * centre.z,
                    dot3(centre, centre) - radius * radius);
}

void parabolicTrough(SurfaceRecord* surface, double f, int side) {
    diagonalQuadric(surface->quadric, 0, 1, 0, 0, 0, -4 * f, 0);
    surface->side = side;
}

void quadricIntercept(const double quadric[13], const Vec3& p, const Vec3& d, double& t1,
                      double& t2, int& noRoot, int& singleRoot) {
    const Vec3 qd = multiplyQ(quadric, d);
    const Vec3 qp = multiplyQ(quadric, p);
    const Vec3 l = linearTerms(quadric);
    const double a = dot3(d, qd);
    // p.Q.d + d.Q.p: twice p.Q.d for the symmetric matrices the builders make.
    const double b = dot3(l, d) + dot3(p, qd) + dot3(d, qp);
    const double c = dot3(p, qp) + dot3(l, p) + quadric[12];
    const double disc = b * b - 4 * a * c;
    noRoot = 0;
    singleRoot = 0;
    if (a == 0 && b != 0) {
        t1 = t2 = -c / b;
        singleRoot = 1;
    } else if (a != 0 && disc == 0) {
        t1 = t2 = -b / (2 * a);
        singleRoot = 1;
    } else if (disc > 0) {
        const double s = b >= 0 ? 1.0 : -1.0;
        const double q = -(b + s * std::sqrt(disc)) / 2;
        t1 = q / a;
        t2 = c / q;
    } else {
        t1 = t2 = 0;
        noRoot = 1;
    }
}

void shiftQuadric(SurfaceRecord* surface, const Vec3& v) {
    double* q = surface->quadric;
    const Vec3 qv = multiplyQ(q, v);
    const Vec3 qtv = multiplyQTransposed(q, v);
    const Vec3 l = linearTerms(q);
    q[12] = q[12] - dot3(l, v) + dot3(v, qv);
    q[9] = l.x - (qv.x + qtv.x);
    q[10] = l.y - (qv.y + qtv.y);
    q[11] = l.z - (qv.z + qtv.z);
}

void moveSurface(const char* mode, SurfaceRecord* surface, double dx, double dy, double dz) {
    PlacementMatrix back, forward;
    translationMatrix({-dx, -dy, -dz}, back);
    translationMatrix({dx, dy, dz}, forward);
    if (std::strcmp(mode, "local") == 0) {
        multiply4(surface->globalToSurface, back, surface->globalToSurface);
        multiply4(surface->objectToSurface, back, surface->objectToSurface);
        multiply4(forward, surface->surfaceToGlobal, surface->surfaceToGlobal);
        multiply4(forward, surface->surfaceToObject, surface->surfaceToObject);
    } else {
        multiply4(back, surface->globalToSurface, surface->globalToSurface);
        multiply4(back, surface->objectToSurface, surface->objectToSurface);
        multiply4(surface->surfaceToGlobal, forward, surface->surfaceToGlobal);
        multiply4(surface->surfaceToObject, forward, surface->surfaceToObject);
    }
}

double sag(double r, double h) {
    if (r == 0) return 0;
    const double root = std::sqrt(std::max(0.0, r * r - h * h));
    return r > 0 ? r - root : r + root;
}

double extentsDiagonal(const ObjectRecord* object) {
    if (!object || !object->firstSurface) return 0;
    const double* e = object->firstSurface->extent;
    const double mx = std::max(std::fabs(e[0]), std::fabs(e[1]));
    const double my = std::max(std::fabs(e[2]), std::fabs(e[3]));
    const double mz = std::max(std::fabs(e[4]), std::fabs(e[5]));
    return std::sqrt(mx * mx + my * my + mz * mz);
}

int boundingSphereFromSurface(ObjectRecord* object, const SurfaceRecord* surface) {
    if (!object || !surface) return 0;
    const double* e = surface->extent;
    const double dx = e[1] - e[0], dy = e[3] - e[2], dz = e[5] - e[4];
    const double diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(diagonal > 0)) {
        errorText(outputChannel, "Warning surface extents not set.\n");
        return 0;
    }
    const Vec3 middle{(e[0] + e[1]) / 2, (e[2] + e[3]) / 2, (e[4] + e[5]) / 2};
    transformPoint(middle, object->referencePoint, surface->surfaceToObject);
    object->boundingRadius = diagonal;
    const Vec3& c = object->referencePoint;
    outText(outputChannel, "Bounding sphere set %lg %lg %lg radius %lg from surface %d\n", c.x, c.y,
            c.z, diagonal, surface->number);
    return 1;
}

namespace {

// The eight corners of a surface's extent box in the object frame.
void objectFrameCorners(const SurfaceRecord* s, Vec3 corners[8]) {
    const double* e = s->extent;
    for (int i = 0; i < 8; ++i) {
        const Vec3 local{e[(i & 1) ? 1 : 0], e[(i & 2) ? 3 : 2], e[(i & 4) ? 5 : 4]};
        transformPoint(local, corners[i], s->surfaceToObject);
    }
}

} // namespace

void boundingSphereFromExtents(ObjectRecord* object) {
    if (!object || !object->firstSurface) return;
    // The centre is the mean of the boxes' centres; a box turned by its surface's placement is
    // replaced by the axis-aligned box around its corners in the object frame.
    Vec3 sum;
    int n = 0;
    for (const SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        Vec3 corners[8];
        objectFrameCorners(s, corners);
        Vec3 lo = corners[0], hi = corners[0];
        for (const Vec3& c : corners) {
            lo = {std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z)};
            hi = {std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z)};
        }
        sum = sum + lo + hi;
        ++n;
    }
    const Vec3 centre = (1.0 / (2.0 * n)) * sum;
    // Every corner counts, not only the two extreme ones: with several boxes the mean centre is
    // off the middle of each box.
    double radius = 0;
    for (const SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        Vec3 corners[8];
        objectFrameCorners(s, corners);
        for (const Vec3& c : corners) {
            const Vec3 d = c - centre;
            radius = std::max(radius, std::sqrt(dot3(d, d)));
        }
    }
    object->referencePoint = centre;
    object->boundingRadius = radius;
    outText(outputChannel, "Bounding sphere set %lg %lg %lg radius %lg\n", centre.x, centre.y,
            centre.z, radius);
}

int lookupMaterialIndex(const char* name, double& index) {
    (void)index;
    errorText(outputChannel, "Material %s not found.\n", name ? name : "");
    return 1;
}
