#include "engine/optics/direction_frames.h"

#include <cmath>

namespace {
constexpr double kAxisGuard = 1e-7;
constexpr double kNearAxis = 0.99999;

// s = sqrt(x^2 + z^2) of the reference, nudging a reference along the y axis off it.
double frameScale(Vec3& reference) {
    double s = std::sqrt(reference.x * reference.x + reference.z * reference.z);
    if (s < kAxisGuard) {
        reference.x = kAxisGuard;
        reference.z = kAxisGuard;
        s = std::sqrt(reference.x * reference.x + reference.z * reference.z);
    }
    return s;
}
} // namespace

void toNormalFrame(const Vec3& v, Vec3& reference, Vec3& out) {
    const double s = frameScale(reference);
    const double x = reference.x, y = reference.y, z = reference.z;
    const Vec3 r{(z * v.x - x * v.z) / s, (-x * y * v.x - y * z * v.z) / s + s * v.y,
                 x * v.x + y * v.y + z * v.z};
    out = r;
}

void toGlobalFromNormalFrame(const Vec3& v, Vec3& reference, Vec3& out) {
    const double s = frameScale(reference);
    const double x = reference.x, y = reference.y, z = reference.z;
    const Vec3 r{z / s * v.x - x * y / s * v.y + x * v.z, s * v.y + y * v.z,
                 -x / s * v.x - y * z / s * v.y + z * v.z};
    out = r;
}

void rotateIntoFrame(Vec3& direction, const Vec3& deflection) {
    const double cosTheta = deflection.z;
    if (cosTheta == 1.0) return;
    if (cosTheta == -1.0) {
        direction = -1.0 * direction;
        return;
    }
    const double sinTheta = std::sqrt(std::fmax(0.0, 1.0 - cosTheta * cosTheta));
    const double phi = std::atan2(deflection.y, deflection.x);
    const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    const Vec3 a = direction;
    if (std::fabs(a.z) > kNearAxis) {
        // Along the z axis the azimuth has no reference: the deflection is taken as it is, turned
        // to the hemisphere of the current direction.
        direction = {sinTheta * cosPhi, sinTheta * sinPhi, a.z < 0.0 ? -cosTheta : cosTheta};
        return;
    }
    const double w = std::sqrt(1.0 - a.z * a.z);
    direction.x = (a.z * a.x * cosPhi - a.y * sinPhi) * sinTheta / w + a.x * cosTheta;
    direction.y = (a.y * a.z * cosPhi + a.x * sinPhi) * sinTheta / w + a.y * cosTheta;
    direction.z = a.z * cosTheta - sinTheta * w * cosPhi;
}
