#include "engine/model/placement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "command/text/number_text.h"
#include "engine/model/model_version.h"

void setobj(ObjectRecord* object) {
    if (!object) return;
    bumpModelVersion();
    if (!object->firstSurface) {
        std::fputs("Error in setobj - no surface pointer for object.\n", stderr);
        return;
    }
    if (object->boundingRadius > 0)
        transformPoint(object->referencePoint, object->globalReferencePoint, object->localToGlobal);
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        multiply4(object->globalToLocal, s->objectToSurface, s->globalToSurface);
        multiply4(s->surfaceToObject, object->localToGlobal, s->surfaceToGlobal);
    }
}

namespace {
// The object's axes in global terms: the unit points carried by the matrix, less the origin.
void carriedAxes(const PlacementMatrix& m, Vec3 axes[3]) {
    Vec3 origin;
    transformPoint(Vec3{}, origin, m);
    const Vec3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        transformPoint(units[i], axes[i], m);
        axes[i] = axes[i] - origin;
    }
}
// The matrices that activating the object at `at` with the three angles makes.
void placedMatrices(const Vec3& at, double alpha, double beta, double gamma, PlacementMatrix& g,
                    PlacementMatrix& l) {
    identity4(g);
    identity4(l);
    translatePlacement(at.x, at.y, at.z, g, l);
    rotatePlacementZ(alpha, g, l);
    rotatePlacementY(beta, g, l);
    rotatePlacementZ(gamma, g, l);
}

bool sameBits(const PlacementMatrix& a, const PlacementMatrix& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Angles recovered from a matrix rebuild it to the last bit only by chance. A placement made
// from short numbers (typed, or one turn from the start) is rebuilt by those numbers, so the
// fewest digits of the angles, or of their dual (alpha +- 180, -beta, gamma +- 180), that rebuild
// both of the object's matrices bit for bit are taken when there are any; else the angles stay
// as recovered.
void rebuildingAngles(const ObjectRecord* object, double& alpha, double& beta, double& gamma) {
    Vec3 at;
    transformPoint(Vec3{}, at, object->localToGlobal);
    auto half = [](double a) { return a > 0 ? a - 180 : a + 180; };
    const double triples[2][3] = {{alpha, beta, gamma}, {half(alpha), -beta, half(gamma)}};
    PlacementMatrix g, l;
    for (int digits = 6; digits < 17; ++digits) {
        for (const auto& t : triples) {
            double r[3];
            for (int k = 0; k < 3; ++k)
                r[k] = readCDouble(generalText(t[k], digits).c_str(), nullptr);
            placedMatrices(at, r[0], r[1], r[2], g, l);
            if (sameBits(g, object->globalToLocal) && sameBits(l, object->localToGlobal)) {
                alpha = r[0];
                beta = r[1];
                gamma = r[2];
                return;
            }
        }
    }
}

} // namespace

void objectOrientationAngles(const ObjectRecord* object, double& alpha, double& beta,
                             double& gamma) {
    const PlacementMatrix& m = object->localToGlobal;
    Vec3 axes[3];
    carriedAxes(m, axes);
    const Vec3& ey = axes[1];
    const Vec3& ez = axes[2];

    // Each magnitude is the angle between two directions, taken by atan2 of the sine and the
    // cosine: acos loses half the digits near 0 and 180 degrees, and a placement written from
    // such angles would drift a little with every save and reload.
    const Vec3 zAxis{0, 0, 1}, yAxis{0, 1, 0};
    auto angleBetween = [](const Vec3& u, const Vec3& v) {
        const Vec3 c = cross3(u, v);
        return std::atan2(std::sqrt(dot3(c, c)), dot3(u, v));
    };
    double b = angleBetween(zAxis, ez);
    double a, g;
    double sinB = std::sin(b);
    if (std::fabs(sinB) > 1e-12) {
        Vec3 n = cross3(zAxis, ez);
        n = (1.0 / std::sqrt(dot3(n, n))) * n;
        a = angleBetween(yAxis, n);
        g = angleBetween(ey, n);
    } else {
        a = angleBetween(yAxis, ey);
        b = m[2][2] > 0 ? 0.0 : M_PI;
        g = 0.0;
    }
    a = std::fabs(a) / kDegree;
    b = std::fabs(b) / kDegree;
    g = std::fabs(g) / kDegree;

    // acos gives magnitudes only: find the signs that rebuild the axes. The search order is part
    // of the result where several choices fit equally.
    double best = 1e33;
    double bestA = a, bestB = b, bestG = g;
    for (int sa = 1; sa >= -1; sa -= 2) {
        for (int sb = 1; sb >= -1; sb -= 2) {
            for (int sg = 1; sg >= -1; sg -= 2) {
                PlacementMatrix gm, lm;
                identity4(gm);
                identity4(lm);
                rotatePlacementZ(sa * a, gm, lm);
                rotatePlacementY(sb * b, gm, lm);
                rotatePlacementZ(sg * g, gm, lm);
                Vec3 trial[3];
                const Vec3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
                for (int i = 0; i < 3; ++i)
                    transformPoint(units[i], trial[i], lm);
                double sum = 0;
                for (int i = 0; i < 3; ++i) {
                    Vec3 d = trial[i] - axes[i];
                    sum += dot3(d, d);
                }
                if (sum < best) {
                    best = sum;
                    bestA = sa * a;
                    bestB = sb * b;
                    bestG = sg * g;
                }
            }
        }
    }
    alpha = bestA;
    beta = bestB;
    gamma = bestG;
    rebuildingAngles(object, alpha, beta, gamma);
}
