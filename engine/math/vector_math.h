// Vectors, 4x4 affine matrices for row vectors and placement pairs (a matrix kept with its
// inverse). Points transform as p' = p x M; the upper-left 3x3 is the rotation, row 3 the
// translation and column 3 is (0, 0, 0, 1).
#pragma once

#include <cmath>

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(double s, const Vec3& a) {
    return {s * a.x, s * a.y, s * a.z};
}
inline double dot3(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A 4x4 matrix indexed [row][column].
struct PlacementMatrix {
    double m[4][4] = {};
    double* operator[](int row) { return m[row]; }
    const double* operator[](int row) const { return m[row]; }
};

// Degrees to radians; every angle of a placement goes through this factor.
inline constexpr double kDegree = 0.017453292519943295;

// Scales v to unit length; a vector of squared length exactly 0 stays as it is.
// Inline: the trace core calls it for every ray and surface.
inline void normalize3(Vec3& v) {
    double s = v.x * v.x + v.y * v.y + v.z * v.z;
    if (s == 0.0 || s == 1.0) return;
    double r = std::sqrt(s);
    if (r == 1.0) return; // dividing by 1 changes nothing
    v.x /= r;
    v.y /= r;
    v.z /= r;
}
// normalize3 for a vector that is usually unit already (a unit direction turned by a rotation):
// one that is within rounding of unit length is left as it is, which spares the divisions.
inline void normalizeNearUnit(Vec3& v) {
    const double s = v.x * v.x + v.y * v.y + v.z * v.z;
    if (s > 1 - 1e-15 && s < 1 + 1e-15) return;
    normalize3(v);
}
Vec3 cross3(const Vec3& a, const Vec3& b);

void identity4(PlacementMatrix& m);
void copy4(const PlacementMatrix& source, PlacementMatrix& destination);
// out = A x B for affine matrices; out may be A or B.
void multiply4(const PlacementMatrix& a, const PlacementMatrix& b, PlacementMatrix& out);
// out = (p, 1) x M without the fourth component. out may be p.
inline void transformPoint(const Vec3& p, Vec3& out, const PlacementMatrix& m) {
    Vec3 r{p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
           p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
           p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    out = r;
}
// x, y, z as transformPoint but with the point's own w; the new w is w x M[3][3].
void transformHomogeneous(const double p4[4], const PlacementMatrix& m, double out4[4]);
// M := T(t) x M.
void translateMatrix(const Vec3& t, PlacementMatrix& m);

// The elementary matrices, angles in radians.
void translationMatrix(const Vec3& t, PlacementMatrix& out);
void rotationMatrixX(double radians, PlacementMatrix& out);
void rotationMatrixY(double radians, PlacementMatrix& out);
void rotationMatrixZ(double radians, PlacementMatrix& out);

// Placement-pair operations (G maps global to local, L = G^-1 local to global). Each acts in the
// frame the pair already has. Angles in degrees.
void translatePlacement(double tx, double ty, double tz, PlacementMatrix& g, PlacementMatrix& l);
void rotatePlacementX(double degrees, PlacementMatrix& g, PlacementMatrix& l);
void rotatePlacementY(double degrees, PlacementMatrix& g, PlacementMatrix& l);
void rotatePlacementZ(double degrees, PlacementMatrix& g, PlacementMatrix& l);
