#include "engine/commands/modify_commands.h"

#include "engine/surfaces/aspheric_surfaces.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/commands/command_values.h"
#include "engine/commands/modify_altsurfaces.h"
#include "engine/model/placement.h"
#include "engine/surfaces/quadrics.h"
#include "engine/commands/surface_designator.h"
#include "engine/surfaces/surface_z_extents.h"

namespace {

const char* const kModifyItems[] = {"surface",   "object", "center",      "extent",
                                    "scatterer", "sources", "altsurfaces", " "};
enum ModifyItem { kItemSurface, kItemObject, kItemCenter, kItemExtent, kItemAltsurfaces = 6 };

const char* const kExtentValues[] = {"object", "x1", "y1", "z1", "x2", "y2", "z2", " "};
const char* const kCenterValues[] = {"object", "dx", "dy", "dz", " "};

const char* const kObjectModifications[] = {"index", "absorbtivity", "luminence", " "};
enum ObjectModification { kIndex, kAbsorbtivity, kLuminence };
const char* const kMaterialWords[] = {"material", " "};
const char* const kObjectOnly[] = {"object", " "};
const char* const kIndexValues[] = {"object", "n", " "};
const char* const kAbsorbtivityValues[] = {"object", "alpha", " "};
const char* const kLuminenceValues[] = {"object", "luminence", " "};

const char* const kSurfaceModifications[] = {"attributes", "hole",      "fresnel",
                                             "metal",      "lwirmetal", " "};
enum SurfaceModification { kAttributes, kHole };
const char* const kAttributeValues[] = {"surface", "refl", "absor", "lumin", "diffuse", " "};
const char* const kHoleValues[] = {"surface", "xcenter", "ycenter", "xhw", "yhw", " "};
// The coating forms are read again by the part list; their value names are accepted here so
// that no assignment is reported as unknown twice.
const char* const kCoatingValues[] = {"surface", "cons1", "cons2", "cons3",
                                      "cons4",   "cons5", "cons6", " "};

const char* const kHoleOperations[] = {"add", "delete", " "};
const char* const kHoleShapes[] = {"rectangular", "oval", " "};

// Extent slots in the order of the extent values x1, y1, z1, x2, y2, z2.
constexpr int kExtentSlotOfValue[6] = {0, 2, 4, 1, 3, 5};

bool typeIn(int type, std::initializer_list<int> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

// The surface a designator value names, after the designator's own messages; nullptr when it
// names none.
SurfaceRecord* designatedSurface(double designator) {
    int index = 0, number = 0, error = 0;
    parseSurfaceNumber(designator, index, number, error);
    if (error) return nullptr;
    SurfaceRecord* surface = getSurface(index, number);
    if (!surface) errorText(outputChannel, " Illegal surface number.\n");
    return surface;
}

// The bounding sphere keeps every corner of the surface's extent box inside it, so that the
// intercept pre-test never rejects a hit on the resampled surface.
void encloseExtentBox(ObjectRecord* object, const SurfaceRecord* surface) {
    if (!(object->boundingRadius > 0)) return;
    const double* e = surface->extent;
    double radius = object->boundingRadius;
    for (int corner = 0; corner < 8; ++corner) {
        Vec3 p{e[corner & 1 ? 1 : 0], e[corner & 2 ? 3 : 2], e[corner & 4 ? 5 : 4]};
        transformPoint(p, p, surface->surfaceToObject);
        const Vec3 d = p - object->referencePoint;
        radius = std::max(radius, std::sqrt(dot3(d, d)));
    }
    object->boundingRadius = radius;
}

} // namespace

int modifyCommand() {
    switch (modifierChoice(kModifyItems, kItemSurface, "item")) {
    case kItemSurface:
        return modifySurface();
    case kItemObject:
        return modifyObject();
    case kItemCenter:
        return modifyCenter();
    case kItemExtent:
        return modifyExtent();
    case kItemAltsurfaces:
        return modifyAltsurfaces();
    default:
        return 0; // scatterer and source: the part list's steps
    }
}

int modifyExtent() {
    readCommandValues(kExtentValues, 7);
    if (!numericGiven[0]) {
        errorText(outputChannel, " Surface number not specified. Try again.\n");
        return 0;
    }
    SurfaceRecord* surface = designatedSurface(numericValues[0]);
    if (!surface) return 0;
    for (int v = 0; v < 6; ++v)
        if (numericGiven[v + 1]) surface->extent[kExtentSlotOfValue[v]] = numericValues[v + 1];
    ObjectRecord* object = surface->owner;
    boundingSphereFromExtents(object);
    // A placed object's pre-test uses the global centre: it must follow the new sphere.
    setobj(object);
    return 1;
}

int modifyCenter() {
    readCommandValues(kCenterValues, 4);
    if (!numericGiven[0]) {
        errorText(outputChannel, " Object number not specified. Try again.\n");
        return 0;
    }
    const int number = commandNumberValue(numericValues[0]);
    if (!checkObjectState(number - 1, 1, 3, 3)) return 0;
    ObjectRecord* object = objectTable[number - 1];
    if (object->typeCode != kTypeMirror) {
        warningText(outputChannel, " MODIFY/CENTER only applicable to mirrors.\n");
        return 0;
    }
    SurfaceRecord* surface = object->firstSurface;
    if (!surface ||
        (surface->shapeCode != kShapeSphere && surface->shapeCode != kShapeParaboloid)) {
        warningText(outputChannel,
                    " MODIFY/CENTER only applicable to spherical or parabolic surfaces.\n");
        return 0;
    }
    if (surface->edgeType != 1 && surface->edgeType != 2) {
        warningText(outputChannel, " Ilegal edge type for MODIFY/CENTER command.\n");
        return 0;
    }
    return shiftMirrorCentre(surface, valueOr(1, 0), valueOr(2, 0));
}

int shiftMirrorCentre(SurfaceRecord* surface, double dx, double dy) {
    const double* q = surface->quadric;
    const double* e = surface->extent;
    if (surface->shapeCode == kShapeSphere && q[0] != 0) {
        // The sphere from its own quadric (x^2 + y^2 + z^2 scaled by q[0]): its centre and
        // radius, whatever the sign or scale the builder gave it.
        const Vec3 centre{-q[9] / (2 * q[0]), -q[10] / (2 * q[0]), -q[11] / (2 * q[0])};
        const double r2 = dot3(centre, centre) - q[12] / q[0];
        const double radius = r2 > 0 ? std::sqrt(r2) : 0;
        // The outline stays where it is; the axis moves to the shifted centre.
        const double ax = centre.x + dx, ay = centre.y + dy;
        if (surface->edgeType == 1) {
            for (double d : {e[0] - ax, e[1] - ax, e[2] - ay, e[3] - ay}) {
                if (std::fabs(d) > radius) {
                    outText(outputChannel, "Displacement would move extents past the size of "
                                           "sphere. Command ignored.\n");
                    return 0;
                }
            }
        } else {
            for (double x : {e[0], e[1]}) {
                for (double y : {e[2], e[3]}) {
                    if ((x - ax) * (x - ax) + (y - ay) * (y - ay) > r2) {
                        outText(outputChannel, "Displacement would move extents past the size of "
                                               "sphere.  Command ignored.\n");
                        return 0;
                    }
                }
            }
        }
    }

    shiftQuadric(surface, {dx, dy, 0});
    // An aspheric function moves with its surface (nothing happens without one).
    moveAltsurface(surface, dx, dy);

    double zmin = surface->extent[4], zmax = surface->extent[5];
    if (surfaceZExtents(surface, zmin, zmax)) {
        // The vertex stays at z = 0; the sampling grid can step over it.
        if (q[0] != 0 && q[4] != 0) {
            const double vx = -q[9] / (2 * q[0]), vy = -q[10] / (2 * q[4]);
            if (vx >= e[0] && vx <= e[1] && vy >= e[2] && vy <= e[3]) {
                zmin = std::min(zmin, 0.0);
                zmax = std::max(zmax, 0.0);
            }
        }
        surface->extent[4] = zmin;
        surface->extent[5] = zmax;
    }
    ObjectRecord* object = surface->owner;
    const double middle = (surface->extent[4] + surface->extent[5]) / 2;
    if (object) {
        object->referencePoint.z = middle;
        encloseExtentBox(object, surface);
        setobj(object);
    }
    outText(outputChannel, " Surface z extents modified to %lg %lg centered at %lg\n",
            surface->extent[4], surface->extent[5], middle);
    return 1;
}

int modifyObject() {
    const int kind = modifierChoice(kObjectModifications, kAbsorbtivity, "object modification");
    double value = 0;
    if (kind == kIndex) {
        int found = 0, several = 0, slot = 0;
        getModifier(kMaterialWords, &found, &several, &slot, " ");
        if (found) {
            readCommandValues(kObjectOnly, 1);
            if (lookupMaterialIndex(quotedStrings[slot], value) != 0) return 0;
        } else {
            readCommandValues(kIndexValues, 2);
            value = valueOr(1, 1.5);
            if (value < 1) {
                outText(outputChannel, " Index of refraction must not be less than unity.\n");
                return 0;
            }
        }
    } else if (kind == kAbsorbtivity) {
        readCommandValues(kAbsorbtivityValues, 2);
        value = valueOr(1, 0);
    } else {
        readCommandValues(kLuminenceValues, 2);
        value = valueOr(1, 0);
        if (value < 0) {
            outText(outputChannel, " Luminence must be not be less than 0.\n");
            return 0;
        }
    }
    if (!numericGiven[0]) {
        outText(outputChannel, " Object not specified. Command ignored.\n");
        return 0;
    }
    const int number = commandNumberValue(numericValues[0]);
    if (!checkObjectState(number - 1, 1, 3, 3)) return 0;
    ObjectRecord* object = objectTable[number - 1];
    const int type = object->typeCode;
    const bool bulkKind = typeIn(type, {kTypeLens, kTypeRod, kTypePolynet, kTypeCylindricLens});
    if (kind == kIndex) {
        if (!bulkKind) {
            outText(outputChannel,
                    " Index of refraction modifiable for lenses,prisms and rods only.\n");
            return 0;
        }
    } else {
        const bool luminousVolume = type == kTypeLuminousBody && object->firstSurface &&
                                    object->firstSurface->shapeCode == kShapeEllipsoid;
        if (!bulkKind && !luminousVolume) {
            outText(outputChannel,
                    " Volume absorbtivity and luminence may only be changed on lenses,\n");
            outText(outputChannel, " rods, prisms, and luminous volumes.\n");
            return 0;
        }
        if (kind == kAbsorbtivity &&
            typeIn(type, {kTypePolynet, kTypeRaytraceDetector, kTypeLuminousBody})) {
            errorText(outputChannel, "Object absor. modification not permitted on this object "
                                     "type with this command.\n");
            return 0;
        }
    }
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        if (kind == kIndex)
            s->index = value;
        else if (kind == kAbsorbtivity)
            s->absorbtivity = value;
        else
            s->luminence = value;
    }
    return 1;
}

int modifySurface() {
    const int kind = modifierChoice(kSurfaceModifications, kAttributes, "surface modification");
    if (kind == kAttributes)
        readCommandValues(kAttributeValues, 5);
    else if (kind == kHole)
        readCommandValues(kHoleValues, 5);
    else
        readCommandValues(kCoatingValues, 7);
    if (!numericGiven[0]) {
        errorText(outputChannel, " No surface specified, command ignored.\n ");
        return 0;
    }
    SurfaceRecord* surface = designatedSurface(numericValues[0]);
    if (!surface) return 0;
    if (kind == kHole)
        return modifyHole(surface, valueOr(1, 0), valueOr(2, 0), valueOr(3, 10), valueOr(4, 10));
    if (kind != kAttributes) return 1; // the coatings are set by the part list's step

    const double reflectance = valueOr(1, surface->reflectance);
    const double absorbtion = valueOr(2, surface->absorbtion);
    const double luminance = valueOr(3, surface->luminance);
    const double diffuse = valueOr(4, surface->diffuse);
    if (!(reflectance >= 0 && reflectance <= 1)) {
        errorText(outputChannel, " Illegal value for reflectance.\n");
        return 0;
    }
    if (!(absorbtion >= 0 && absorbtion <= 1)) {
        errorText(outputChannel, " Illegal value for absorbtion.\n");
        return 0;
    }
    if (!(luminance >= 0)) {
        errorText(outputChannel, " Illegal value for luminance.\n");
        return 0;
    }
    if (reflectance + absorbtion > 1) {
        errorText(outputChannel, " Reflectance (%g) + absorbtion (%g) must <= 1.0", reflectance,
                  absorbtion);
        return 0;
    }
    const int ownerType = surface->owner ? surface->owner->typeCode : 0;
    if (ownerType == kTypePolynet || ownerType == kTypeLuminousBody) {
        errorText(outputChannel, "Surface attribute modification not permitted on this object "
                                 "type with this command.\n");
        return 0;
    }
    surface->reflectance = reflectance;
    surface->absorbtion = absorbtion;
    surface->luminance = luminance;
    surface->diffuse = diffuse;
    outText(outputChannel, "Object %s surface %d: modified.\n",
            objectLabel(surface->owner ? surface->owner->number : 0), surface->number);
    return 1;
}

int modifyHole(SurfaceRecord* surface, double xCentre, double yCentre, double xHalfWidth,
               double yHalfWidth) {
    // Apertures (stops) carry holes from their definition, so they take changes too.
    const int ownerType = surface->owner ? surface->owner->typeCode : 0;
    if (!typeIn(ownerType, {kTypeMirror, kTypeRaytraceDetector, kTypeAperture})) {
        errorText(outputChannel, "Hole modification apply only to film, stops and mirrors.  "
                                 "Command ingnored.\n");
        return 0;
    }
    const int operation = modifierChoice(kHoleOperations, 0, "hole operation");
    if (operation == 1 || !(xHalfWidth > 0) || !(yHalfWidth > 0)) {
        surface->hasHole = 0;
        outText(outputChannel, " The hole has been deleted.\n");
        return 1;
    }
    const double* e = surface->extent;
    const double limits[4] = {xCentre - xHalfWidth, xCentre + xHalfWidth, yCentre - yHalfWidth,
                              yCentre + yHalfWidth};
    if (!(limits[0] >= e[0] && limits[1] <= e[1] && limits[2] >= e[2] && limits[3] <= e[3])) {
        errorText(outputChannel, " Hole size too large for surface. Command ignored.\n");
        return 0;
    }
    const int shape = modifierChoice(kHoleShapes, 0, "hole edge shape");
    const std::string designator = surfaceDesignator(surface);
    outText(outputChannel,
            surface->hasHole ? " Hole in surface %s has been modified.\n"
                             : " Hole will be added to surface %s.\n",
            designator.c_str());
    surface->hasHole = 1;
    surface->holeShape = shape == 1 ? 1 : 2;
    std::copy(limits, limits + 4, surface->holeLimits);
    return 1;
}
