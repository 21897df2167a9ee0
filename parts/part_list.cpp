#include "parts/part_list.h"

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "engine/commands/command_values.h"
#include "engine/build/object_definitions.h"
#include "engine/commands/placement_commands.h"
#include "engine/commands/polynet_command.h"

namespace {

const char* const kMaterialModifier[] = {"material", " "};

// The glass of that name in the loaded catalogs. No catalog can be loaded yet, so there is none.
const void* findCatalogGlass(const char* name) {
    (void)name;
    return nullptr;
}

} // namespace

CPartList::CPartList() {
    thePartList = this;
}

CPartList::~CPartList() {
    RemoveAll();
    if (thePartList == this) thePartList = nullptr;
}

CPart* CPartList::FindPart(const std::string& name) const {
    const int index = FindPartIndex(name);
    return index < 0 ? nullptr : parts_[static_cast<std::size_t>(index)].get();
}

int CPartList::FindPartIndex(const std::string& name) const {
    if (name.empty()) return -1;
    for (std::size_t i = 0; i < parts_.size(); ++i)
        if (parts_[i]->name == name) return static_cast<int>(i);
    return -1;
}

CPart* CPartList::part(int index) const {
    if (index < 0 || index >= partCount()) return nullptr;
    return parts_[static_cast<std::size_t>(index)].get();
}

bool CPartList::materialFound() {
    int found = 0, several = 0, index = 0;
    getModifier(kMaterialModifier, &found, &several, &index,
                "Multiple define modifiers not permitted.");
    if (!found) return true;
    if (!modifierHasValue[index]) {
        errorText(outputChannel, "Material requested without name\n");
        return false;
    }
    if (!findCatalogGlass(quotedStrings[index])) {
        errorText(outputChannel, "Material %s not found in catalogs\n", quotedStrings[index]);
        return false;
    }
    return true;
}

CPart& CPartList::appendPart(ObjectRecord* object) {
    std::string name = objectLabel(object->number);
    if (!name.empty() && name[0] >= '0' && name[0] <= '9') {
        name = MakePartName(*this, object);
        aliasAdd(name.c_str(), std::to_string(object->number).c_str());
    }
    auto made = std::make_unique<CPart>(object);
    made->name = name;
    parts_.push_back(std::move(made));
    return *parts_.back();
}

int CPartList::DefinePart() {
    // A name that already names an object reaches the command as that object's number (the
    // reader expands it), so the expansion itself is the sign; a definition never takes an
    // object by its alias.
    if (parsedCommand().aliasInUse || readerState().aliasExpanded) {
        errorText(outputChannel, "Object name alias is already in use.  Use a different name.\n");
        return 0;
    }
    if (!materialFound()) return 0;
    int found = 0, several = 0, index = 0;
    getModifier(objectTypeWords, &found, &several, &index, "object type");
    if (!found) {
        errorText(outputChannel, "Object type not given. Command ignored.\n");
        return 0;
    }
    const int number = defineObject(modifierWords[index]);
    ObjectRecord* object = number > 0 ? getObject(number - 1) : nullptr;
    if (!object) return 0;
    appendPart(object);
    return 1;
}

int CPartList::DefinePolynet() {
    // The net already stands when this runs: a material that cannot be had leaves its part
    // without a glass rather than leaving a net that no delete can reach.
    materialFound();
    const PolynetPartRequest request = takePolynetPartRequest();
    ObjectRecord* object = request.objectNumber > 0 ? getObject(request.objectNumber - 1) : nullptr;
    if (!object) return 0;
    appendPart(object).polarPlane = request.polarPlane;
    return 1;
}

int CPartList::DeleteCommand() {
    if (!numericGiven[0]) {
        errorText(outputChannel, "No object ID given, thus no deletion.");
        return 0;
    }
    const int number = commandNumberValue(numericValues[0]);
    const int index = FindPartIndex(objectLabel(number));
    if (index < 0) {
        errorText(outputChannel, "Unable to find part %d to delete\n", number);
        return 1;
    }
    deletePartAt(index, number);
    return 1;
}

bool CPartList::DeletePart(const std::string& name) {
    const int index = FindPartIndex(name);
    if (index < 0) return false;
    const ObjectRecord* object = parts_[static_cast<std::size_t>(index)]->geometry;
    deletePartAt(index, object ? object->number : 0);
    return true;
}

void CPartList::deletePartAt(int index, int objectNumber) {
    parts_.erase(parts_.begin() + index);
    deleteObject("object", objectNumber);
}

void CPartList::RemoveAll() {
    parts_.clear();
}
