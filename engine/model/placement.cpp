#include "engine/model/placement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void setobj(ObjectRecord* object) {
    if (!object) return;
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
}
