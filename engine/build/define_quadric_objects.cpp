// Quadric and cavity objects: one reflecting quadric surface (ellipsoid, cone, cylinder or
// elliptic trough) cut to a z range. Their checks report on the output channel as plain text.
#include <algorithm>
#include <cmath>

#include "command/messages/messages.h"
#include "engine/build/define_support.h"
#include "engine/surfaces/quadrics.h"

namespace {

const char* const kQuadricKinds[] = {"ellipsoid", "cone", "cylinder", "eltrough", " "};
enum QuadricKind { kEllipsoid, kCone, kCylinder, kEltrough };
const char* const kQuadricSides[] = {"inside", "outside", "both_sides", " "};

const char* const kCylinderValues[] = {"xhw", "yhw", "zmin", "zmax", " "};
const char* const kAbcValues[] = {"a", "b", "c", "zmin", "zmax", " "};
const char* const kEltroughValues[] = {"a", "b", "width", "length", " "};

bool buildCylinder(DefineContext& context, SurfaceRecord* s) {
    readValues(context, kCylinderValues, 4);
    const double xhw = useDefault(0, 10);
    const double yhw = useDefault(1, xhw);
    const double zmin = useDefault(2, 0);
    const double zmax = useDefault(3, 40);
    if (!(xhw > 0 && yhw > 0)) {
        outText(outputChannel, " Half widths must be greater than 0.");
        return false;
    }
    if (!(zmax > zmin)) {
        outText(outputChannel, " Zmax must be greater than zmin.");
        return false;
    }
    s->shapeCode = kShapeCylinder;
    cylinderAlongZ(s->quadric, xhw, yhw);
    setExtent(s, -xhw, xhw, -yhw, yhw, zmin, zmax);
    ObjectRecord* object = context.object;
    const double halfLength = (zmax - zmin) / 2, widest = std::max(xhw, yhw);
    object->referencePoint.z = (zmin + zmax) / 2;
    object->boundingRadius = std::sqrt(halfLength * halfLength + widest * widest);
    return true;
}

bool buildEllipsoidOrCone(DefineContext& context, SurfaceRecord* s, bool isCone) {
    readValues(context, kAbcValues, 5);
    const double a = useDefault(0, 20);
    const double b = useDefault(1, 20);
    const double c = useDefault(2, 20);
    if (!(a > 0 && b > 0 && c > 0)) {
        outText(outputChannel, " A, B, and C must be greater than 0.");
        return false;
    }
    double zmin, zmax;
    if (isCone) {
        zmin = useDefault(3, 0);
        zmax = useDefault(4, 10);
    } else {
        // The ellipsoid's z range runs over the whole body unless cut shorter.
        zmin = useDefault(3, -c);
        zmax = useDefault(4, c);
        zmin = value(3) = std::max(zmin, -c);
        zmax = value(4) = std::min(zmax, c);
    }
    if (!(zmin < zmax)) {
        outText(outputChannel, " Zmin must be less than Zmax.");
        return false;
    }
    ObjectRecord* object = context.object;
    if (isCone) {
        s->shapeCode = kShapeCone;
        cone(s->quadric, a, b, c);
        const double z = std::max(std::fabs(zmin), std::fabs(zmax));
        setExtent(s, -a * z / c, a * z / c, -b * z / c, b * z / c, zmin, zmax);
        const double widest = std::max(a, b);
        object->boundingRadius = std::sqrt(z * z + widest * widest * z * z / (c * c));
    } else {
        s->shapeCode = kShapeEllipsoid;
        ellipsoid(s->quadric, a, b, c);
        double w = 1;
        if (zmin > 0 || zmax < 0) {
            const double nearZ = std::min(std::fabs(zmin), std::fabs(zmax));
            w = std::sqrt(std::fabs(1 - nearZ * nearZ / (c * c)));
        }
        setExtent(s, -a * w, a * w, -b * w, b * w, zmin, zmax);
        object->boundingRadius = std::max({a, b, c});
    }
    return true;
}

bool buildEltrough(DefineContext& context, SurfaceRecord* s) {
    readValues(context, kEltroughValues, 4);
    const double a = useDefault(0, 20);
    const double b = useDefault(1, 20);
    const double width = useDefault(2, 10);
    const double length = useDefault(3, 40);
    if (!(a > 0 && b > 0)) {
        outText(outputChannel, " A and B must be greater than 0.");
        return false;
    }
    if (!(length > 0)) {
        outText(outputChannel, " Length must be greater than 0.");
        return false;
    }
    if (!(width > 0)) {
        outText(outputChannel, " Width must be greater than 0.");
        return false;
    }
    if (width > 2 * a) {
        outText(outputChannel, " Width must not be greater than 2A.");
        return false;
    }
    s->shapeCode = kShapeCylinder;
    troughAlongX(s->quadric, a, b);
    const double depth = (1 - std::sqrt(std::max(0.0, 1 - width * width / (4 * a * a)))) * b;
    setExtent(s, -length / 2, length / 2, -width / 2, width / 2, 0, depth);
    context.object->boundingRadius = std::sqrt(a * a + b * b);
    return true;
}

} // namespace

bool buildQuadricObject(DefineContext& context, int& kind) {
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    kind = chooseOption(kQuadricKinds, "quadric type", kEllipsoid);
    const int sides[] = {-1, 1, 0};
    s->side = sides[chooseOption(kQuadricSides, "quadric side", 0)];
    s->reflectance = 1.0;
    s->absorbtion = 0;
    object->wireframeKind = kind == kEltrough ? kWireXlong : kWireEllipsoid;
    object->referencePoint = {0, 0, 0};
    s->edgeType = 0;
    switch (kind) {
    case kCone:
        return buildEllipsoidOrCone(context, s, true);
    case kCylinder:
        return buildCylinder(context, s);
    case kEltrough:
        return buildEltrough(context, s);
    default:
        return buildEllipsoidOrCone(context, s, false);
    }
}
