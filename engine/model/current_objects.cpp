#include "engine/model/current_objects.h"

#include <cmath>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/files/ray_files.h"

CurrentObjectsState& currentObjectsState() {
    static CurrentObjectsState s;
    return s;
}

void resetCurrentObjects() {
    currentObjectsState() = CurrentObjectsState{};
}

void setStatusLineHook(std::function<void(const std::string&)> hook) {
    currentObjectsState().statusLine = std::move(hook);
}

void noteDefinedObject(int number) {
    auto& s = currentObjectsState();
    s.lastDefinedObject = number;
    s.newlyDefinedObject = number;
}

int isPlacedLightSource(int number) {
    const ObjectRecord* o = getObject(number - 1);
    return o && o->placed && o->typeCode == kTypeLightSource;
}

int isPlacedDetector(int number) {
    const ObjectRecord* o = getObject(number - 1);
    return o && o->placed && o->typeCode == kTypeRaytraceDetector;
}

int isPolynet(int number) {
    const ObjectRecord* o = getObject(number - 1);
    return o && o->typeCode == kTypePolynet;
}

namespace {
bool isDefinedObject(int number) {
    const ObjectRecord* o = getObject(number - 1);
    return o && o->number > 0 && o->defined;
}
} // namespace

int refreshCurrentObjects(int quiet) {
    auto& s = currentObjectsState();
    const auto& table = objectTableState();
    const int previousObject = s.currentObject;
    const int previousDetector = s.currentDetector;
    const int previousLightSource = s.currentLightSource;
    s.currentObject = s.currentLightSource = s.currentDetector = s.currentPolynet = 0;
    s.firstDefinedObject = s.firstUnplacedObject = 0;
    const int newlyDefined = s.newlyDefinedObject;
    s.newlyDefinedObject = 0;

    if (table.objectCount < 1) {
        // The model was cleared or its last object deleted: a light source went with it.
        if (previousLightSource) deleteRayFile();
        s.viewObject = 0;
        return 0;
    }

    if (s.pendingSelection) {
        s.viewObject = s.pendingSelectedObject;
        const ObjectRecord* picked = getObject(s.viewObject - 1);
        if (picked && !picked->placed) s.firstUnplacedObject = s.viewObject;
        s.pendingSelection = 0;
    }

    for (int i = 0; i <= table.highestObjectIndex && i < kMaxObjects; ++i) {
        const ObjectRecord* o = table.objectTable[i];
        if (!o || o->number <= 0 || !o->defined) continue;
        const int n = o->number;
        s.currentObject = n;
        if (o->placed && o->typeCode == kTypeLightSource) s.currentLightSource = n;
        if (o->placed && o->typeCode == kTypeRaytraceDetector) s.currentDetector = n;
        if (o->typeCode == kTypePolynet) s.currentPolynet = n;
        if (!s.firstDefinedObject) s.firstDefinedObject = n;
        if (!s.firstUnplacedObject && !o->placed) s.firstUnplacedObject = n;
    }

    // A new definition is selected even when it revived a slot below the highest object.
    if (newlyDefined && isDefinedObject(newlyDefined))
        s.viewObject = newlyDefined;
    else if (s.viewObject == 0 || s.currentObject != previousObject)
        s.viewObject = s.currentObject;
    // A selection that was deleted, or never named an object, falls back to the current one.
    if (!isDefinedObject(s.viewObject)) s.viewObject = s.currentObject;

    if (isPlacedLightSource(s.viewObject))
        s.currentLightSource = s.viewObject;
    else if (isPlacedLightSource(previousLightSource))
        s.currentLightSource = previousLightSource;
    if (isPlacedDetector(s.viewObject))
        s.currentDetector = s.viewObject;
    else if (isPlacedDetector(previousDetector))
        s.currentDetector = previousDetector;
    if (isPolynet(s.viewObject)) s.currentPolynet = s.viewObject;

    // Rays traced from a source that has just gone no longer belong to the model. Rays of a
    // trace started from another object stay until the next trace replaces them.
    if (!s.currentLightSource && previousLightSource) deleteRayFile();
    if (s.currentDetector) spotFileAvailable();

    if (!quiet && s.statusLine) s.statusLine(formatText("Object %d selected.", s.viewObject));
    return table.objectCount;
}

std::string objectListEntryText(const ObjectRecord* object) {
    if (!object) return {};
    std::string text;
    text += object->placed ? '.' : ' ';
    text += object->activated ? '.' : ' ';
    text += objectLabel(object->number);
    text += " (";
    text += objectKindName(object->typeCode);
    text += ")";
    return text;
}

int viewObjectArg(int objectGiven, double objectValue) {
    auto& s = currentObjectsState();
    if (objectGiven) {
        double v = objectValue + 0.001;
        int n = std::isfinite(v) && std::fabs(v) < 1e9 ? static_cast<int>(v) : 0;
        if (!getObject(n - 1) || !checkObjectState(n - 1, 1, 1, 1)) return -1;
        s.viewObject = n;
        return n;
    }
    if (s.currentDetector > 0) {
        s.viewObject = s.currentDetector;
        return 0;
    }
    return -1;
}
