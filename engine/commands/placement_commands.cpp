#include "engine/commands/placement_commands.h"

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/model/placement.h"
#include "engine/commands/polynet_command.h"

PlacementCommandsState& placementCommandsState() {
    static PlacementCommandsState s;
    return s;
}

void resetPlacementCommandsState() {
    placementCommandsState() = PlacementCommandsState{};
}

namespace {

// The object of a number whose state passed checkObjectState. Numbers that cannot be a slot
// index were refused by the check already.
ObjectRecord* checkedObject(int number, int placedRule, int activatedRule) {
    if (!checkObjectState(number - 1, 1, placedRule, activatedRule)) return nullptr;
    return objectTable[number - 1];
}

// R(angle) and R(-angle) about one axis; identity for any other axis word.
void rotationPair(std::string_view axis, double degrees, PlacementMatrix& r,
                  PlacementMatrix& inverse) {
    identity4(r);
    identity4(inverse);
    void (*build)(double, PlacementMatrix&) = nullptr;
    if (axis == "x")
        build = rotationMatrixX;
    else if (axis == "y")
        build = rotationMatrixY;
    else if (axis == "z")
        build = rotationMatrixZ;
    if (!build) return;
    build(degrees * kDegree, r);
    build(-degrees * kDegree, inverse);
}

void reportInPlace(int number) {
    outText(outputChannel, "Object %s is now activated and in place.\n", objectLabel(number));
    lastActivatedObject = number;
}

} // namespace

int activateObject(int number, double x, double y, double z, double alpha, double beta,
                   double gamma, int parentNumber) {
    ObjectRecord* object = checkedObject(number, 3, 3);
    if (!object) return 0;
    const ObjectRecord* parent = parentNumber > 0 ? getObject(parentNumber - 1) : nullptr;
    identity4(object->globalToLocal);
    identity4(object->localToGlobal);
    object->placed = 1;
    object->activated = 1;
    translatePlacement(x, y, z, object->globalToLocal, object->localToGlobal);
    rotatePlacementZ(alpha, object->globalToLocal, object->localToGlobal);
    rotatePlacementY(beta, object->globalToLocal, object->localToGlobal);
    rotatePlacementZ(gamma, object->globalToLocal, object->localToGlobal);
    setobj(object);
    linkInside(object, parent, parent ? "inside" : "global");
    reportInPlace(number);
    return 1;
}

int placeObjectRelative(std::string_view mode, int number, int referenceNumber, double dx,
                        double dy, double dz) {
    ObjectRecord* object = checkedObject(number, 3, 3);
    if (!object) return 0;
    const ObjectRecord* reference = nullptr;
    if (mode == "relative" || mode == "inside") {
        reference = getObject(referenceNumber - 1);
        if (!reference) {
            errorText(outputChannel, "Reference object %s not found.\n",
                      objectLabel(referenceNumber));
            return 0;
        }
        if (!reference->placed) {
            errorText(outputChannel, "Reference object %s has not been placed.\n",
                      objectLabel(referenceNumber));
            return 0;
        }
        outText(outputChannel, "Placement is relative to object %s. ",
                objectLabel(referenceNumber));
    }
    placeAt(reference ? mode : std::string_view("global"), object, reference, dx, dy, dz);
    reportInPlace(number);
    return 1;
}

void placeAt(std::string_view mode, ObjectRecord* object, const ObjectRecord* reference, double dx,
             double dy, double dz) {
    if (mode == "global" || !reference) {
        identity4(object->globalToLocal);
        identity4(object->localToGlobal);
    } else {
        copy4(reference->globalToLocal, object->globalToLocal);
        copy4(reference->localToGlobal, object->localToGlobal);
    }
    object->placed = 1;
    object->activated = 1;
    translatePlacement(dx, dy, dz, object->globalToLocal, object->localToGlobal);
    setobj(object);
    linkInside(object, reference, mode);
}

void linkInside(ObjectRecord* object, const ObjectRecord* parent, std::string_view mode) {
    if (!object) return;
    SurfaceRecord* parentSurface = mode == "inside" && parent ? parent->firstSurface : nullptr;
    for (SurfaceRecord* s = object->firstSurface; s; s = s->next) {
        if (s->inside && s->inside->owner != object) s->inside = nullptr;
        if (!s->inside) s->inside = parentSurface;
    }
}

int moveObject(std::string_view kind, std::string_view frameMode, int number, double dx, double dy,
               double dz) {
    if (kind != "object") return 0;
    ObjectRecord* object = checkedObject(number, 1, 1);
    if (!object) return 0;
    PlacementMatrix back, forth;
    translationMatrix({-dx, -dy, -dz}, back);
    translationMatrix({dx, dy, dz}, forth);
    if (frameMode == "local") {
        multiply4(object->globalToLocal, back, object->globalToLocal);
        multiply4(forth, object->localToGlobal, object->localToGlobal);
    } else {
        multiply4(back, object->globalToLocal, object->globalToLocal);
        multiply4(object->localToGlobal, forth, object->localToGlobal);
    }
    setobj(object);
    outText(outputChannel, "Object %s has been moved.\n", objectLabel(number));
    return 1;
}

int rotateObject(std::string_view frameMode, std::string_view axis, int number, int referenceNumber,
                 double angle) {
    ObjectRecord* object = checkedObject(number, 1, 3);
    if (!object) return 0;
    const ObjectRecord* reference = nullptr;
    if (frameMode == "relative") {
        reference = checkedObject(referenceNumber, 1, 3);
        if (!reference) return 0;
    }
    PlacementMatrix r, inverse;
    rotationPair(axis, angle, r, inverse);
    PlacementMatrix& g = object->globalToLocal;
    PlacementMatrix& l = object->localToGlobal;
    if (frameMode == "local") {
        multiply4(g, r, g);
        multiply4(inverse, l, l);
    } else if (reference) {
        // About axes parallel to the reference's, through the reference's origin: into the
        // reference's frame, turn there, and back.
        PlacementMatrix toGlobal, toLocal;
        multiply4(reference->globalToLocal, inverse, toGlobal);
        multiply4(toGlobal, reference->localToGlobal, toGlobal);
        multiply4(reference->globalToLocal, r, toLocal);
        multiply4(toLocal, reference->localToGlobal, toLocal);
        multiply4(l, toGlobal, l);
        multiply4(toLocal, g, g);
    } else {
        multiply4(r, g, g);
        multiply4(l, inverse, l);
    }
    setobj(object);
    outText(outputChannel, "Object %s has now been rotated.\n", objectLabel(number));
    return 1;
}

int removeObject(std::string_view kind, int number) {
    if (kind != "object") return 0;
    ObjectRecord* object = checkedObject(number, 1, 3);
    if (!object) return 0;
    object->placed = 0;
    object->activated = 0;
    outText(outputChannel, "Removed object %s. Use the place command to reinstate.\n",
            objectLabel(number));
    return 1;
}

int deleteObject(std::string_view kind, int number) {
    if (kind != "object") return 0;
    ObjectRecord* object = checkedObject(number, 3, 3);
    if (!object) return 0;
    // Surfaces of other objects that lie inside this one lose that link: the records are about to
    // be handed out again.
    for (int i = 0; i <= highestObjectIndex; ++i) {
        ObjectRecord* other = getObject(i);
        if (!other || other == object) continue;
        for (SurfaceRecord* s = other->firstSurface; s; s = s->next)
            if (s->inside && s->inside->owner == object) s->inside = nullptr;
    }
    // A net's records go back to its allocators (the construction of a deleted net ends with it).
    if (object->typeCode == kTypePolynet && object->firstSurface && object->firstSurface->typeData)
        releaseDeletedPolynet(static_cast<PolynetRecord*>(object->firstSurface->typeData));
    int freed = 0;
    for (SurfaceRecord* s = object->firstSurface; s;) {
        SurfaceRecord* next = s->next;
        freeSurface(s);
        ++freed;
        s = next;
    }
    freeObjectSlot(object);
    outText(outputChannel, "Deleted object %s and its %d surfaces.\n", objectLabel(number), freed);
    removeObjectAlias(outputChannel, number);
    return 1;
}

void showVector(const char* label, const Vec3& v) {
    infoText("%s: %lf %lf %lf\n", label ? label : "", v.x, v.y, v.z);
}
