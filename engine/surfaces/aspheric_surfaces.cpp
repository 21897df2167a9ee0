#include "engine/surfaces/aspheric_surfaces.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/model/model_blocks.h"
#include "engine/model/placement.h"
#include "engine/surfaces/quadrics.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"

namespace {

// (1 + k) cv^2 r^2 up to this counts as 1: the hemisphere the set-up accepts.
constexpr double kHemisphereBand = 1.0000001;

struct AsphericModule {
    AsphericCache cache;
    int generation = -1; // model blocks the cached pointers belong to
};

AsphericModule& module() {
    static AsphericModule m;
    return m;
}

// Loads the parameters of the surface's aspheric record unless they are the cached ones.
// False when the surface has none.
bool loadParameters(const SurfaceRecord* surface) {
    AsphericModule& m = module();
    AsphericCache& c = m.cache;
    if (c.surface == surface && c.record && m.generation == modelBlockGeneration()) return true;
    const AltSurfaceRecord* r = asphericRecord(surface);
    if (!r) return false;
    c = AsphericCache{};
    c.surface = surface;
    c.record = r;
    m.generation = modelBlockGeneration();
    const double* v = r->values;
    c.cv = v[0];
    c.k = v[1];
    c.a1 = v[2];
    c.a2 = v[3];
    c.a3 = v[4];
    c.a4 = v[5];
    c.xc = v[6];
    c.yc = v[7];
    return true;
}

// The terms at (x, y) for the loaded parameters.
int computeTerms(double x, double y) {
    AsphericCache& c = module().cache;
    if (c.havePoint && c.x == x && c.y == y) return kSagCached;
    c.havePoint = true;
    c.x = x;
    c.y = y;
    c.dx = x - c.xc;
    c.dy = y - c.yc;
    const double r2 = c.dx * c.dx + c.dy * c.dy;
    c.r2 = r2;
    const double polynomial = r2 * r2 * (c.a1 + r2 * (c.a2 + r2 * (c.a3 + r2 * c.a4)));
    const double polynomialSlope =
        r2 * (4 * c.a1 + r2 * (6 * c.a2 + r2 * (8 * c.a3 + r2 * 10 * c.a4)));
    const double kk = (c.k + 1) * c.cv * c.cv;
    const double x2 = kk * r2;
    if (!(x2 <= kHemisphereBand)) {
        outText(outputChannel, "Warning - Non real intercept in aspheric.\n");
        c.result = kSagNotReal;
        c.m = 1;
        c.sag = polynomial;
        c.mSlope = polynomialSlope;
        return kSagNotReal;
    }
    const double m = x2 < 1 ? std::sqrt(1 - x2) : 0.0;
    const double onePlusM = 1 + m;
    c.m = m;
    c.sag = c.cv * r2 / onePlusM + polynomial;
    // m (2 cv/(1 + m) + (k + 1) cv^3 r2 / (m (1 + m)^2) + polynomial slope): the slope factor
    // times m, finite at the rim of a hemisphere where m is 0.
    c.mSlope =
        2 * c.cv * m / onePlusM + kk * c.cv * r2 / (onePlusM * onePlusM) + m * polynomialSlope;
    c.result = kSagComputed;
    return kSagComputed;
}

// Unit normal from the terms at the cached point: (dx G, dy G, -1) scaled by m.
bool normalFromTerms(Vec3& normal) {
    const AsphericCache& c = module().cache;
    const Vec3 n{c.dx * c.mSlope, c.dy * c.mSlope, -c.m};
    const double length = std::sqrt(dot3(n, n));
    if (!(length > 0) || !std::isfinite(length)) return false;
    normal = (1 / length) * n;
    return true;
}

bool isLensOrRod(const ObjectRecord* object) {
    return object && (object->typeCode == kTypeLens || object->typeCode == kTypeRod);
}

enum class Refined { kHit, kBehind, kMiss };

// Newton steps along the ray from the start distance onto the sag: each moves the point to the
// tangent plane of the sag above it. kBehind when the point it settles on cannot be the hit
// (behind the ray, a self-hit, off the surface or without a real sag): the conic's other root
// may still lead to one.
Refined refineOnSag(SurfaceRecord* surface, const Vec3& point, const Vec3& direction,
                    const Vec3& localPoint, const Vec3& u, double start, double& distance) {
    const AsphericCache& c = module().cache;
    Vec3 p{localPoint.x + start * u.x, localPoint.y + start * u.y, localPoint.z + start * u.z};
    double t = start;
    const double tolerance = iterationTolerance;
    for (int step = 0; step < iterationMaxCount; ++step) {
        computeTerms(p.x, p.y);
        Vec3 n;
        if (!normalFromTerms(n)) {
            warningText(outputChannel, "Error computing aspheric surface normal");
            return Refined::kMiss;
        }
        // Turning n against the ray would flip both n.z and u.n: the step is the same.
        const double f = dot3(u, n);
        if (f == 0) return Refined::kMiss;
        const double delta = n.z * (c.sag - p.z) / f;
        p = {p.x + delta * u.x, p.y + delta * u.y, p.z + delta * u.z};
        t += delta;
        const int terms = computeTerms(p.x, p.y);
        if (!(std::fabs(c.sag - p.z) < tolerance)) continue;
        if (terms == kSagNotReal) return Refined::kBehind;
        rejectSelfHit(surface, t);
        if (!(t > tolerance)) return Refined::kBehind;
        // The outline and the hole decide; the z extents only bound the conic's start (over a
        // square outline the corners reach beyond the sag range of the set-up's radius).
        const double* e = surface->extent;
        const Vec3 onOutline{p.x, p.y, std::max(e[4], std::min(p.z, e[5]))};
        if (!surfaceExtentTest(onOutline, {}, 0, surface)) return Refined::kBehind;
        if (isLensOrRod(surface->owner) &&
            !insideObjectTest(surface->owner, surface, point, direction, t))
            return Refined::kBehind;
        distance = t;
        return Refined::kHit;
    }
    return Refined::kMiss;
}

// Where the face meets its own axis, as a z of its frame. Builders place some faces away from
// their frame's origin by shifting the quadric (a doublet's later faces, a cylindrical lens's back
// face). The axis runs along z through the quadric's centre in x and y; of the quadric's roots
// along it, the one nearest the face's z extents. 0 when the quadric has cross terms or no single
// point on its axis, and for a root within rounding of the origin (a decentred face).
double faceVertexZ(const SurfaceRecord* surface) {
    const double* q = surface->quadric;
    if (q[1] != 0 || q[2] != 0 || q[3] != 0 || q[5] != 0 || q[6] != 0 || q[7] != 0) return 0;
    const Vec3 axis{q[0] != 0 ? -q[9] / (2 * q[0]) : 0.0, q[4] != 0 ? -q[10] / (2 * q[4]) : 0.0, 0};
    double t1 = 0, t2 = 0;
    int noRoot = 0, singleRoot = 0;
    quadricIntercept(q, axis, {0, 0, 1}, t1, t2, noRoot, singleRoot);
    if (noRoot || !std::isfinite(t1) || !std::isfinite(t2)) return 0;
    const double* e = surface->extent;
    auto away = [e](double z) { return z < e[4] ? e[4] - z : z > e[5] ? z - e[5] : 0.0; };
    const double a1 = away(t1), a2 = away(t2);
    const double z = a1 < a2 || (a1 == a2 && std::fabs(t1) <= std::fabs(t2)) ? t1 : t2;
    const double scale = std::max({1.0, std::fabs(e[4]), std::fabs(e[5])});
    return std::fabs(z) <= 1e-12 * scale ? 0.0 : z;
}

// The sag of a loaded surface at the point 0, r from the origin of the surface frame.
double sagAlongY(double r) {
    computeTerms(0, r);
    return module().cache.sag;
}

} // namespace

AsphericCache& asphericCache() {
    return module().cache;
}

void clearAsphericCache() {
    module() = AsphericModule{};
}

const AltSurfaceRecord* asphericRecord(const SurfaceRecord* surface) {
    const AltSurfaceRecord* found = nullptr;
    for (const AltSurfaceRecord* r = surface ? surface->altSurfaces : nullptr; r; r = r->next)
        if (r->kind == kInterceptRefinement)
            found = r; // a later record of the kind replaces an earlier one
    if (found && found->routineName && std::strcmp(found->routineName, "aspheric") == 0)
        return found;
    return nullptr;
}

int asphericSagTerms(const SurfaceRecord* surface, double x, double y) {
    if (!loadParameters(surface)) return kSagNotReal;
    return computeTerms(x, y);
}

double asphericSagAt(const SurfaceRecord* surface, double x, double y) {
    if (!loadParameters(surface)) return 0;
    computeTerms(x, y);
    return module().cache.sag;
}

int asphericNormalAt(const SurfaceRecord* surface, const Vec3& point, Vec3& normal) {
    if (!loadParameters(surface)) return 0;
    computeTerms(point.x, point.y);
    if (normalFromTerms(normal)) return 1;
    warningText(outputChannel, "Error computing aspheric surface normal");
    return 0;
}

void asphericNormal(SurfaceRecord* surface, const Vec3& localPoint, Vec3& normal) {
    if (!loadParameters(surface)) {
        quadricNormal(surface, localPoint, normal);
        return;
    }
    if (!asphericNormalAt(surface, localPoint, normal)) return;
    if (surface->number == 2) normal = {-normal.x, -normal.y, -normal.z};
}

int asphericIntercept(SurfaceRecord* surface, const Vec3& point, Vec3& direction, double& nearest) {
    if (!loadParameters(surface))
        return interceptQuadricSurface(surface, point, direction, nearest);
    // The conic only says where to start: its roots must not become anybody's hit.
    const HitBookkeeping kept = hitBookkeeping;
    double conicNearest = -1.0;
    const int roots = interceptQuadricSurface(surface, point, direction, conicNearest);
    hitBookkeeping = kept;
    if (roots == 0) return 0;
    const bool bothRoots = secondRootTaken != 0;
    const double other = otherRoot;

    Vec3 localPoint, u;
    toLocalPoint(point, localPoint, surface);
    toLocalDirection(direction, u, surface);
    normalize3(u);
    double t = 0;
    Refined result = refineOnSag(surface, point, direction, localPoint, u, conicNearest, t);
    if (result == Refined::kBehind && bothRoots)
        result = refineOnSag(surface, point, direction, localPoint, u, other, t);
    if (result != Refined::kHit) return 0;
    noteHitDistance(t, surface);
    if (nearest < 0 || t < nearest) {
        nearest = t;
        return 1;
    }
    return 0;
}

void installAsphericHooks(SurfaceRecord* surface) {
    if (!surface) return;
    surface->intercept = asphericIntercept;
    surface->normal = asphericNormal;
}

int checkAsphericSetup(double cv, double k, double diameter) {
    const double h = diameter / 2;
    if (!(h > 0)) {
        errorText(outputChannel, " Radius must be greater than 0.\n");
        return 1;
    }
    const double c = (1 + k) * cv * cv * h * h;
    if (!(c <= kHemisphereBand)) {
        errorText(outputChannel, " Illegal combination of values for cc, cv, and diameter.\n");
        return 1;
    }
    return 0;
}

void asphericSagRange(const SurfaceRecord* surface, double radius, double& smallest,
                      double& largest) {
    smallest = 1e300;
    largest = -1e300;
    if (!loadParameters(surface)) return;
    for (int i = 0; i <= 100; ++i) {
        const double z = sagAlongY(radius * 0.01 * i);
        if (z < smallest) smallest = z;
        if (z > largest) largest = z;
    }
}

int setupAsphericSurface(SurfaceRecord* surface, double cv, double k, double diameter) {
    if (!surface || checkAsphericSetup(cv, k, diameter)) return 1;
    ObjectRecord* owner = surface->owner;
    const bool mirror = owner && owner->typeCode == kTypeMirror;
    double* e = surface->extent;
    // The sag is measured from the frame's origin: a face whose vertex lies elsewhere on its axis
    // has its frame moved there first, so that the aspheric face stands where the old one stood.
    const double vertexZ = faceVertexZ(surface);
    // The side flag names a physical side through the normal hook: the point where the old and
    // the new normal are compared, at the vertex's height.
    const Vec3 probe{e[0] + e[1], e[2] + e[3], 0};
    Vec3 before;
    const Vec3 oldProbe{probe.x, probe.y, vertexZ};
    if (surface->normal)
        surface->normal(surface, oldProbe, before);
    else
        quadricNormal(surface, oldProbe, before);
    if (vertexZ != 0) moveSurface("local", surface, 0, 0, vertexZ);

    const double h = diameter / 2;
    double c = (1 + k) * cv * cv * h * h;
    if (c > 1) c = 1;
    const double rimSag = h * h * cv / (1 + std::sqrt(1 - c));
    e[4] = e[5] = 0;
    if (rimSag >= 0)
        e[5] = rimSag;
    else
        e[4] = rimSag;
    // The polynomial terms can carry the face beyond the conic's rim sag.
    const bool loaded = loadParameters(surface);
    if (loaded) {
        double smallest, largest;
        asphericSagRange(surface, h, smallest, largest);
        if (smallest < e[4]) e[4] = smallest - 1e-14;
        if (largest > e[5]) e[5] = largest + 1e-14;
    }

    surface->shapeCode = k < -1    ? kShapeHyperboloid
                         : k == -1 ? kShapeParaboloid
                         : k == 0  ? kShapeSphere
                                   : kShapeEllipsoid;
    double* q = surface->quadric;
    std::memset(q, 0, 13 * sizeof(double));
    q[0] = q[4] = cv / 2;
    q[8] = (k + 1) * cv / 2;
    q[11] = -1;

    // The side flag is kept relative to the normal: when the new base normal points the other way
    // than the old one at the same point, the flag flips, so that the face keeps its physical
    // side. A mirror with no side (0, reflecting on both) keeps none.
    Vec3 after;
    asphericNormal(surface, probe, after);
    if (dot3(before, after) < 0) {
        if (!mirror)
            surface->side = surface->side == -1 ? 1 : -1;
        else
            surface->side = -surface->side;
    }
    // The edge of a single lens runs from rim to rim of its faces, whose vertices lie at -t/2
    // and +t/2 (t the lens thickness, its third parameter), each further moved by the vertex
    // found above.
    if (owner && owner->typeCode == kTypeLens && owner->surfaceCount == 3 &&
        owner->userParameters.count >= 3 && (surface->number == 1 || surface->number == 2)) {
        const double t = owner->userParameters.values[2];
        const double rim = loaded && loadParameters(surface) ? sagAlongY(h) : rimSag;
        SurfaceRecord* edge = getSurface(owner->number - 1, 3);
        if (edge && surface->number == 1) edge->extent[4] = vertexZ + rim - t / 2;
        if (edge && surface->number == 2) edge->extent[5] = vertexZ + rim + t / 2;
    }
    if (owner) {
        boundingSphereFromExtents(owner);
        setobj(owner);
    }
    return 0;
}

void moveAltsurface(SurfaceRecord* surface, double dx, double dy) {
    AltSurfaceRecord* record = shapeRecord(surface);
    if (!record) return;
    record->values[6] += dx;
    record->values[7] += dy;
    // A toric function does not move; its record only counts the shifts made after it.
    if (record != asphericRecord(surface)) return;
    clearAsphericCache();
    outText(outputChannel, "Moved altsurface to %lg %lg.\n", record->values[6], record->values[7]);
}
