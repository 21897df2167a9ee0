// The mirrors: flat, spherical, parabolic, parabolic trough, conic and (through its own builder)
// the CPC. Each is one reflecting surface whose side flag says from which side it reflects: a
// ray meeting the surface from its inside (side x normal . direction >= 0) ends there.
#include <algorithm>
#include <cmath>

#include "command/messages/messages.h"
#include "engine/build/define_support.h"
#include "engine/surfaces/quadrics.h"
#include "engine/surfaces/surface_z_extents.h"

namespace {

const char* const kMirrorKinds[] = {"parabolic", "flat", "spherical", "trough",
                                    "conic",     "cpc",  " "};
enum MirrorKind { kParabolic, kFlat, kSpherical, kTrough, kConic, kCpc };

const char* const kFlatValues[] = {"xhw", "yhw", " "};
const char* const kFlatEdges[] = {"rectangle", "oval", " "};
const char* const kFlatSides[] = {"front", "back", "both", " "};

const char* const kCurvedEdges[] = {"pledge", "oval", "rectangle", " "}; // edge types 0, 1, 2
const char* const kSphericalPledgeValues[] = {"fl", "radius", " "};
const char* const kSphericalValues[] = {"fl", "xhw", "yhw", " "};
const char* const kSphericalSides[] = {"concave", "convex", "both", " "};

const char* const kParabolicPledgeValues[] = {"flx", "yfl", "size", " "};
const char* const kParabolicValues[] = {"flx", "yfl", "xhw", "yhw", " "};
const char* const kPledgeSizeTypes[] = {"xhw", "yhw", "zdepth", " "};
const char* const kSurfaceSides[] = {"concave", "both", "convex", " "}; // -1, 0, +1

const char* const kTroughValues[] = {"fl", "length", "width", " "};

const char* const kConicEdges[] = {"round", "rectangle", " "};
const char* const kConicRoundValues[] = {"c", "k", "radius", "xoffset", "yoffset", " "};
const char* const kConicRectangleValues[] = {"c", "k", "xsize", "ysize", "xoffset", "yoffset", " "};
const char* const kConicSides[] = {"concave", "convex", "both_sides", " "};

// The side of a "concave" / "both" / "convex" choice; the default follows the sign of the focal
// length.
int sideOfSurfaceType(double focalLength) {
    const int fallback = focalLength > 0 ? 2 : 0;
    const int choice = chooseOption(kSurfaceSides, "mirror surface type", fallback);
    return choice - 1;
}

void reflectingSurface(SurfaceRecord* s) {
    s->reflectance = 1.0;
}

bool buildFlatMirror(DefineContext& context) {
    readValues(context, kFlatValues, 2);
    const double xhw = useDefault(0, 20);
    const double yhw = useDefault(1, xhw);
    if (!(xhw > 0 && yhw > 0)) {
        errorText(outputChannel, " Mirror half widths must be positive numbers.");
        return false;
    }
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    s->edgeType = chooseOption(kFlatEdges, "mirror edge type", 0) == 0 ? 2 : 1;
    const int sides[] = {1, -1, 0};
    s->side = sides[chooseOption(kFlatSides, "reflective side", 0)];
    object->wireframeKind = kWireFlatMirror;
    reflectingSurface(s);
    s->shapeCode = kShapeFlat;
    plane(s->quadric, {0, 0, 1});
    setExtent(s, -xhw, xhw, -yhw, yhw, -1, 1);
    object->boundingRadius = std::sqrt(xhw * xhw + yhw * yhw);
    return true;
}

bool buildSphericalMirror(DefineContext& context) {
    const int edge = chooseOption(kCurvedEdges, "mirror edge type", 0);
    const bool pledge = edge == 0;
    double fl, radius = 0, xhw = 0, yhw = 0;
    if (pledge) {
        readValues(context, kSphericalPledgeValues, 2);
        fl = useDefault(0, 50);
        radius = useDefault(1, 20);
        if (!(radius > 0)) {
            errorText(outputChannel, " Mirror radius must be greater than 0.\n");
            return false;
        }
    } else {
        readValues(context, kSphericalValues, 3);
        fl = useDefault(0, 50);
        xhw = useDefault(1, 20);
        yhw = useDefault(2, xhw);
        if (!(xhw > 0 && yhw > 0)) {
            errorText(outputChannel, " Mirror half widths must be greater than 0.\n");
            return false;
        }
    }
    if (fl == 0) {
        errorText(outputChannel, " Focal length must be non-zero.\n");
        return false;
    }
    const double sphereRadius = 2 * std::fabs(fl);
    const double edgeRadius = pledge      ? radius
                              : edge == 1 ? std::max(xhw, yhw)
                                          : std::sqrt(xhw * xhw + yhw * yhw);
    if (!(edgeRadius <= sphereRadius)) {
        errorText(outputChannel,
                  " Mirror edge radius must be less than radius of defining sphere.");
        return false;
    }
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    const int fallback = fl > 0 ? 1 : 0;
    const int sides[] = {-1, 1, 0};
    s->side = sides[chooseOption(kSphericalSides, "mirror surface type", fallback)];
    s->edgeType = edge;
    object->wireframeKind = kWireMirror;
    reflectingSurface(s);
    s->shapeCode = kShapeSphere;
    sphere(s->quadric, {0, 0, 2 * fl}, sphereRadius);
    const double depth =
        pledge ? sphereRadius - std::sqrt(sphereRadius * sphereRadius - edgeRadius * edgeRadius)
               : sphereRadius;
    const double zmin = fl > 0 ? 0 : -depth;
    const double zmax = fl > 0 ? depth : 0;
    if (pledge)
        setExtent(s, -radius, radius, -radius, radius, zmin, zmax);
    else
        setExtent(s, -xhw, xhw, -yhw, yhw, zmin, zmax);
    // The sphere around the vertex reaches the rim of the cap, not only its outline.
    const double reach = pledge ? radius : std::sqrt(xhw * xhw + yhw * yhw);
    const double capDepth = std::fabs(sag(sphereRadius, std::min(reach, sphereRadius)));
    object->referencePoint = {0, 0, 0};
    object->boundingRadius = std::sqrt(reach * reach + capDepth * capDepth);
    return true;
}

bool buildParabolicMirror(DefineContext& context) {
    const int edge = chooseOption(kCurvedEdges, "mirror edge type", 0);
    const bool pledge = edge == 0;
    double flx, yfl, size = 0, xhw = 0, yhw = 0;
    if (pledge) {
        readValues(context, kParabolicPledgeValues, 3);
        flx = useDefault(0, 50);
        yfl = useDefault(1, flx);
        size = useDefault(2, 20);
        if (!(size > 0)) {
            errorText(outputChannel, " Mirror size must be greater than 0.\n");
            return false;
        }
    } else {
        readValues(context, kParabolicValues, 4);
        flx = useDefault(0, 50);
        yfl = useDefault(1, flx);
        xhw = useDefault(2, 20);
        yhw = useDefault(3, xhw);
        if (!(xhw > 0 && yhw > 0)) {
            errorText(outputChannel, " Mirror size must be greater than 0.\n");
            return false;
        }
    }
    if (flx == 0 || yfl == 0) {
        errorText(outputChannel, " Focal lengths must be non zero.\n");
        return false;
    }
    if ((flx > 0) != (yfl > 0)) {
        errorText(outputChannel, " Focal lengths must have the same sign.\n");
        return false;
    }
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    s->side = sideOfSurfaceType(flx);
    s->edgeType = edge;
    object->wireframeKind = kWireMirror;
    reflectingSurface(s);
    s->shapeCode = kShapeParaboloid;
    const double ax = 2 * std::sqrt(std::fabs(flx));
    const double ay = 2 * std::sqrt(std::fabs(yfl));
    ellipticParaboloid(s->quadric, ax, ay, flx > 0 ? 1 : -1);
    double depth;
    if (pledge) {
        switch (chooseOption(kPledgeSizeTypes, "parabaloid size type", 0)) {
        case 1:
            yhw = size;
            xhw = std::sqrt(std::fabs(flx / yfl)) * size;
            depth = size * size / (4 * std::fabs(yfl));
            break;
        case 2:
            xhw = 2 * std::sqrt(std::fabs(flx) * size);
            yhw = 2 * std::sqrt(std::fabs(yfl) * size);
            depth = size;
            break;
        default:
            xhw = size;
            yhw = std::sqrt(std::fabs(yfl / flx)) * size;
            depth = size * size / (4 * std::fabs(flx));
            break;
        }
    } else {
        const double dx = (xhw / ax) * (xhw / ax), dy = (yhw / ay) * (yhw / ay);
        depth = edge == 1 ? std::max(dx, dy) : dx + dy;
    }
    setExtent(s, -xhw, xhw, -yhw, yhw, flx > 0 ? 0 : -depth, flx > 0 ? depth : 0);
    if (!pledge) surfaceZExtents(s, s->extent[4], s->extent[5]);
    object->boundingRadius = extentsDiagonal(object);
    return true;
}

bool buildTroughMirror(DefineContext& context) {
    readValues(context, kTroughValues, 3);
    const double fl = useDefault(0, 5);
    const double length = useDefault(1, 50);
    const double width = useDefault(2, 20);
    const double xhw = length / 2, yhw = width / 2;
    if (!(xhw > 0)) {
        errorText(outputChannel, " X half width must be greater than 0.\n");
        return false;
    }
    if (!(yhw > 0)) {
        errorText(outputChannel, " Y half width must be greater than 0.\n");
        return false;
    }
    if (fl == 0) {
        errorText(outputChannel, " Focal length must not be 0.\n");
        return false;
    }
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    const int side = sideOfSurfaceType(fl);
    object->wireframeKind = kWireXlong;
    s->edgeType = 2;
    reflectingSurface(s);
    s->shapeCode = kShapeParaboloid;
    parabolicTrough(s, fl, side);
    const double depth = yhw * yhw / (4 * fl);
    setExtent(s, -xhw, xhw, -yhw, yhw, std::min(0.0, depth), std::max(0.0, depth));
    surfaceZExtents(s, s->extent[4], s->extent[5]);
    object->boundingRadius = extentsDiagonal(object);
    return true;
}

// The sag of the conic at radius r; a square root that rounding took below 0 counts as 0.
double conicSag(double c, double k, double r) {
    return c * r * r / (1 + std::sqrt(std::max(0.0, 1 - (1 + k) * c * c * r * r)));
}

bool buildConicMirror(DefineContext& context) {
    const bool round = chooseOption(kConicEdges, "mirror edge type", 0) == 0;
    double c, k, xhalf, yhalf, xoffset, yoffset;
    if (round) {
        readValues(context, kConicRoundValues, 5);
        c = useDefault(0, 0.01);
        k = useDefault(1, -1);
        xhalf = yhalf = useDefault(2, 20);
        xoffset = useDefault(3, 0);
        yoffset = useDefault(4, 0);
    } else {
        readValues(context, kConicRectangleValues, 6);
        c = useDefault(0, 0.01);
        k = useDefault(1, -1);
        xhalf = useDefault(2, 20);
        yhalf = useDefault(3, 20);
        xoffset = useDefault(4, 0);
        yoffset = useDefault(5, 0);
        if (!(xhalf >= 0 && yhalf >= 0)) {
            errorText(outputChannel, " Sizes must be positive.\n");
            return false;
        }
    }
    // rho: the edge's largest distance from the axis.
    const double rho = round ? std::hypot(xoffset, yoffset) + xhalf
                             : std::hypot(std::fabs(xoffset) + xhalf, std::fabs(yoffset) + yhalf);
    const double u = c * c * (1 + k) * rho * rho;
    if (round && !(xhalf > 0)) {
        errorText(outputChannel, " Radius must be greater than 0.\n");
        return false;
    }
    if (!(u <= 1.0000001)) {
        if (round)
            errorText(outputChannel, " The combination of values for k, c, radius, offsets "
                                     "define a surface which is partly unreal.\n");
        else
            errorText(outputChannel, " Illegal combination of values for k, c, and sizes.\n");
        return false;
    }
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    // The quadric's gradient at the vertex points to -z whatever the sign of c, so which side is
    // concave turns with c.
    const int concave = c > 0 ? -1 : 1;
    const int sides[] = {concave, -concave, 0};
    s->side = sides[chooseOption(kConicSides, "mirror surface type", 2)];
    object->wireframeKind = kWireMirror;
    reflectingSurface(s);
    s->edgeType = round ? 1 : 2;
    double zmin, zmax;
    if (round) {
        const double z = conicSag(c, k, rho);
        zmin = std::min(0.0, z);
        zmax = std::max(0.0, z);
    } else {
        const double xs[] = {xoffset - xhalf, xoffset + xhalf};
        const double ys[] = {yoffset - yhalf, yoffset + yhalf};
        const double nearX = std::clamp(0.0, xs[0], xs[1]);
        const double nearY = std::clamp(0.0, ys[0], ys[1]);
        zmin = zmax = conicSag(c, k, std::hypot(nearX, nearY));
        for (double x : xs) {
            for (double y : ys) {
                const double z = conicSag(c, k, std::hypot(x, y));
                zmin = std::min(zmin, z);
                zmax = std::max(zmax, z);
            }
        }
        zmin -= 0.0001;
        zmax += 0.0001;
    }
    setExtent(s, xoffset - xhalf, xoffset + xhalf, yoffset - yhalf, yoffset + yhalf, zmin, zmax);
    double* q = s->quadric;
    std::fill(q, q + 13, 0.0);
    q[0] = c / 2;
    q[4] = c / 2;
    q[8] = (1 + k) * c / 2;
    q[11] = -1;
    s->shapeCode = k < -1    ? kShapeHyperboloid
                   : k == -1 ? kShapeParaboloid
                   : k == 0  ? kShapeSphere
                             : kShapeEllipsoid;
    boundingSphereFromExtents(object);
    return true;
}

} // namespace

bool buildMirror(DefineContext& context) {
    ObjectRecord* object = context.object;
    object->typeCode = kTypeMirror;
    object->firstSurface->number = 1;
    switch (chooseOption(kMirrorKinds, "mirror type", kParabolic)) {
    case kFlat:
        return buildFlatMirror(context);
    case kSpherical:
        return buildSphericalMirror(context);
    case kTrough:
        return buildTroughMirror(context);
    case kConic:
        return buildConicMirror(context);
    case kCpc:
        return runCpcMirrorBuilder(object, object->firstSurface) == 0;
    default:
        return buildParabolicMirror(context);
    }
}
