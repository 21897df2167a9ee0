#include "engine/math/vector_math.h"

#include <cmath>

Vec3 cross3(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void identity4(PlacementMatrix& m) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] = i == j ? 1.0 : 0.0;
}

void copy4(const PlacementMatrix& source, PlacementMatrix& destination) {
    destination = source;
}

void multiply4(const PlacementMatrix& a, const PlacementMatrix& b, PlacementMatrix& out) {
    PlacementMatrix t; // out may alias a or b
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            t[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
        t[i][3] = 0.0;
    }
    for (int j = 0; j < 3; ++j)
        t[3][j] = a[3][0] * b[0][j] + a[3][1] * b[1][j] + a[3][2] * b[2][j] + a[3][3] * b[3][j];
    t[3][3] = a[3][3] * b[3][3];
    out = t;
}

void transformHomogeneous(const double p4[4], const PlacementMatrix& m, double out4[4]) {
    double w = p4[3];
    double r[4];
    for (int j = 0; j < 3; ++j)
        r[j] = p4[0] * m[0][j] + p4[1] * m[1][j] + p4[2] * m[2][j] + w * m[3][j];
    r[3] = w * m[3][3];
    for (int j = 0; j < 4; ++j)
        out4[j] = r[j];
}

void translationMatrix(const Vec3& t, PlacementMatrix& out) {
    identity4(out);
    out[3][0] = t.x;
    out[3][1] = t.y;
    out[3][2] = t.z;
}

void translateMatrix(const Vec3& t, PlacementMatrix& m) {
    PlacementMatrix tm;
    translationMatrix(t, tm);
    multiply4(tm, m, m);
}

void rotationMatrixX(double radians, PlacementMatrix& out) {
    identity4(out);
    double c = std::cos(radians), s = std::sin(radians);
    out[1][1] = c;
    out[1][2] = s;
    out[2][1] = -s;
    out[2][2] = c;
}

void rotationMatrixY(double radians, PlacementMatrix& out) {
    identity4(out);
    double c = std::cos(radians), s = std::sin(radians);
    out[0][0] = c;
    out[0][2] = -s;
    out[2][0] = s;
    out[2][2] = c;
}

void rotationMatrixZ(double radians, PlacementMatrix& out) {
    identity4(out);
    double c = std::cos(radians), s = std::sin(radians);
    out[0][0] = c;
    out[0][1] = s;
    out[1][0] = -s;
    out[1][1] = c;
}

void translatePlacement(double tx, double ty, double tz, PlacementMatrix& g, PlacementMatrix& l) {
    PlacementMatrix forward, backward;
    translationMatrix({-tx, -ty, -tz}, backward);
    translationMatrix({tx, ty, tz}, forward);
    multiply4(g, backward, g);
    multiply4(forward, l, l);
}

namespace {
using RotationBuilder = void (*)(double, PlacementMatrix&);

void rotatePair(RotationBuilder build, double degrees, PlacementMatrix& g, PlacementMatrix& l) {
    double r = degrees * kDegree;
    PlacementMatrix forward, backward;
    build(r, forward);
    build(-r, backward);
    multiply4(g, forward, g);
    multiply4(backward, l, l);
}
} // namespace

void rotatePlacementX(double degrees, PlacementMatrix& g, PlacementMatrix& l) {
    rotatePair(rotationMatrixX, degrees, g, l);
}

void rotatePlacementY(double degrees, PlacementMatrix& g, PlacementMatrix& l) {
    rotatePair(rotationMatrixY, degrees, g, l);
}

void rotatePlacementZ(double degrees, PlacementMatrix& g, PlacementMatrix& l) {
    rotatePair(rotationMatrixZ, degrees, g, l);
}
