#include "parts/part.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "command/interpreter/aliases.h"
#include "command/interpreter/parsed_command.h"
#include "command/text/number_text.h"
#include "engine/commands/placement_commands.h"
#include "engine/model/current_objects.h"
#include "engine/model/placement.h"
#include "engine/polynet/polynet_intercept.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/surfaces/surface_geometry.h"
#include "parts/part_list.h"

const char* const sourceKindWords[5] = {"custom", "iesna", "gridsrc", "pixsrc", "standard"};

int CSurfaceHandle::Intersect(const Vec3& point, Vec3& direction, double& distance) {
    return surfaceIntercept(surface, point, direction, distance);
}

int CSurfaceHandle::SetChild(ScattererPtr newChild) {
    child = std::move(newChild);
    return child ? 1 : 0;
}

int CCpcSurfaceHandle::Intersect(const Vec3& point, Vec3& direction, double& distance) {
    return cpc_intercept(surface, point, direction, distance);
}

int CPolynetSurfaceHandle::Intersect(const Vec3& point, Vec3& direction, double& distance) {
    return polynetIntercept(surface, point, direction, distance);
}

std::string quotedText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string& partNameOverride() {
    static std::string name;
    return name;
}

void resetPartWriterState() {
    partNameOverride().clear();
}

CPart::CPart() : CPart(lastDefinedObject > 0 ? getObject(lastDefinedObject - 1) : nullptr) {
    TakeDefineCommand();
}

CPart::CPart(ObjectRecord* object) : geometry(object) {
    MakeHandles();
}

// The surfaces are not touched: a part goes with its object (delete), after every object
// (a new model), or after the model's memory itself (tests), and a surface is zeroed when it is
// handed out again.
CPart::~CPart() = default;

void CPart::MakeHandles() {
    for (auto& h : handles)
        if (h->surface && h->surface->surfaceHandle == h.get()) h->surface->surfaceHandle = nullptr;
    handles.clear();
    if (!geometry || !geometry->firstSurface) return;
    kindName = objectKindName(geometry->typeCode);
    for (SurfaceRecord* s = geometry->firstSurface; s; s = s->next) {
        std::unique_ptr<CSurfaceHandle> h;
        if (geometry->typeCode == kTypeCpc && s == geometry->firstSurface)
            h = std::make_unique<CCpcSurfaceHandle>(s, this);
        else if (kindName == "polynet")
            h = std::make_unique<CPolynetSurfaceHandle>(s, this);
        else
            h = std::make_unique<CSurfaceHandle>(s, this);
        s->surfaceHandle = h.get();
        h->holeAsDefined.hasHole = s->hasHole;
        h->holeAsDefined.shape = s->holeShape;
        std::copy(std::begin(s->holeLimits), std::end(s->holeLimits), h->holeAsDefined.limits);
        handles.push_back(std::move(h));
    }
}

void CPart::TakeDefineCommand() {
    definePath = commandWord;
    defineCommandPath = commandWord;
    modifierCount = ::modifierCount;
    for (int i = 0; i < ::modifierCount; ++i) {
        if (std::strcmp(modifierWords[i], "material") == 0) continue;
        definePath += "/";
        definePath += modifierWords[i];
        defineCommandPath += "/";
        defineCommandPath += modifierWords[i];
        // A modifier's value (a doublet's glass) is part of what made the object.
        if (modifierHasValue[i]) defineCommandPath += "=" + quotedText(quotedStrings[i]);
    }
    int lastGiven = -1;
    for (int i = 0; i < kDefineValues; ++i)
        if (numericGiven[i]) lastGiven = i;
    defineValueCount = std::max(defineTemplateCount(definePath), lastGiven + 1);
    for (int i = 0; i < kDefineValues; ++i) {
        if (numericGiven[i])
            defineValues[i] = numericValues[i];
        else if (i < defineValueCount)
            // A value the command did not give is the one the definition used, as a dialog
            // shows it.
            defineValues[i] = readCDouble(generalText(numericValues[i]).c_str(), nullptr);
        else
            defineValues[i] = 0;
    }
}

CSurfaceHandle* CPart::GetSurfaceHandle(int n) {
    if (n < 1 || n > surfaceCount()) return nullptr;
    return handles[static_cast<std::size_t>(n - 1)].get();
}

int CPart::GetPlacement(CPlacementInfo& info) {
    if (!geometry) return 0;
    info = CPlacementInfo{};
    Vec3 origin{0, 0, 0}, at{};
    transformPoint(origin, at, geometry->localToGlobal);
    info.x = at.x;
    info.y = at.y;
    info.z = at.z;
    objectOrientationAngles(geometry, info.alpha, info.beta, info.gamma);
    for (SurfaceRecord* s = geometry->firstSurface; s; s = s->next) {
        // A link among the object's own surfaces (a doublet's cemented face) names no container.
        if (!s->inside || !s->inside->owner || s->inside->owner == geometry) continue;
        info.referenceNumber = s->inside->owner->number;
    }
    if (info.referenceNumber != 0) info.referenceName = objectLabel(info.referenceNumber);
    return 1;
}

int CPart::WritePlacementRelative(const CPlacementInfo& info, int write) {
    if (!geometry) return 0;
    geometry->placed = 0;
    geometry->activated = 0;
    activateObject(geometry->number, info.x, info.y, info.z, info.alpha, info.beta, info.gamma,
                   info.referenceNumber);
    if (write) {
        outText(logChannel, "# > adjust placement\nremove %s\n", name.c_str());
        outText(logChannel, "place/rotations %s%s %s\n", name.c_str(),
                numberWords({info.x, info.y, info.z, info.alpha, info.beta, info.gamma}).c_str(),
                info.referenceName.c_str());
    }
    return 1;
}

int CPart::WritePlacement(const CPlacementInfo& info) {
    return WritePlacementRelative(info, 1);
}

int CPart::Activate() {
    if (geometry) geometry->activated = 1;
    outText(outputChannel, "Part activated.\n");
    return 1;
}

int CPart::Deactivate() {
    if (geometry) geometry->activated = 0;
    outText(outputChannel, "Part deactivated.\n");
    return 1;
}

int CPart::UpdateIndices() {
    if (catalogGlass) {
        long adjusted = 0;
        for (int i = 0; i < kWavelengthSlots; ++i) {
            if (!(weightTable[i] > 0)) continue;
            double w = 0;
            indices[i] = glassIndexAt(*catalogGlass, wavelengthTable[i], w);
            if (w != wavelengthTable[i]) ++adjusted;
            if (indices[i] < -98)
                outText(outputChannel, "Error calculating glass refractive index\n");
        }
        if (adjusted > 0)
            outText(outputChannel,
                    "In %ld materials the wavelength had to be adjusted\tto be in the valid "
                    "range.\n",
                    adjusted);
        return 2;
    }
    if (!geometry || !geometry->firstSurface) return 0;
    for (double& n : indices)
        n = geometry->firstSurface->index;
    return 1;
}

std::string MakePartName(CPartList& list, const ObjectRecord* object) {
    if (!object) return std::string();
    std::string name =
        std::string(objectKindName(object->typeCode)).substr(0, 4) + std::to_string(object->number);
    // The name becomes an alias too, which an alias of that name would refuse.
    while (list.FindPart(name) || aliasFindByName(name.c_str()))
        name += 'x';
    return name;
}

bool GetObjectMaterialName(std::string& name, const SurfaceRecord* surface) {
    if (!surface || !surface->surfaceHandle) return false;
    const CPart* part = surface->surfaceHandle->part;
    if (!part || !part->catalogGlass) return false;
    name = glassName(*part->catalogGlass);
    return true;
}
