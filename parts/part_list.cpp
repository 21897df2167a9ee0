#include "parts/part_list.h"

#include <algorithm>
#include <cstring>

#include "command/general/file_names.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/build/object_definitions.h"
#include "engine/commands/command_values.h"
#include "engine/commands/placement_commands.h"
#include "engine/commands/polynet_command.h"
#include "parts/output/ray_output_state.h"

namespace {

const char* const kMaterialModifier[] = {"material", " "};
const char* const kNewNameModifier[] = {"newname", " "};
const char* const kReplicateValues[] = {"object", "ncopies", " "};
constexpr std::size_t kTraceKindChars = 23;
constexpr std::size_t kAliasNameChars = 20;

bool beginsWithDigit(const std::string& s) {
    return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

// The value of the modifier newname; false when it is missing, has no value or is given twice.
bool newNameValue(std::string& value) {
    int found = 0, several = 0, index = 0;
    getModifier(kNewNameModifier, &found, &several, &index, "Multiple modifiers not permitted.");
    if (!found || several || !modifierHasValue[index] || quotedStrings[index][0] == '\0')
        return false;
    value = quotedStrings[index];
    return true;
}

} // namespace

CPartList::CPartList() {
    // The per-ray output files are closed by the destructor: their state must outlive the list
    // (statics end in the reverse order of their making).
    rayOutputState();
    fileNameState();
    thePartList = this;
}

CPartList::~CPartList() {
    // The chosen-ray files stay open until the program ends with the document's list.
    closeChosenRayFiles();
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

CPart* GetCurrentPart(CPartList& list) {
    if (!numericGiven[0]) return nullptr;
    return list.FindPart(objectLabel(commandNumberValue(numericValues[0])));
}

bool CPartList::materialGlass(const CGlass*& glass) {
    glass = nullptr;
    int found = 0, several = 0, index = 0;
    getModifier(kMaterialModifier, &found, &several, &index,
                "Multiple define modifiers not permitted.");
    if (!found) return true;
    if (!modifierHasValue[index]) {
        errorText(outputChannel, "Material requested without name\n");
        return false;
    }
    glass = findCatalogGlass(quotedStrings[index]);
    if (!glass) {
        errorText(outputChannel, "Material %s not found in catalogs\n", quotedStrings[index]);
        return false;
    }
    if (!glassIndexComputable(*glass)) {
        glass = nullptr;
        return false;
    }
    return true;
}

CPart& CPartList::appendPart(ObjectRecord* object, std::unique_ptr<CPart> made) {
    std::string name = objectLabel(object->number);
    if (beginsWithDigit(name)) {
        name = MakePartName(*this, object);
        aliasAdd(name.c_str(), std::to_string(object->number).c_str());
    }
    made->name = name;
    parts_.push_back(std::move(made));
    return *parts_.back();
}

int CPartList::DefinePart() {
    if (redefining_) {
        redefining_ = 0;
        CPart* target = marked_;
        marked_ = nullptr;
        // The marked part may have gone since it was marked.
        int done = 0;
        bool present = false;
        for (auto& p : parts_)
            if (p.get() == target) present = true;
        if (present)
            done = target->Define();
        else
            errorText(outputChannel, "Part not found.");
        redefineMode = 0;
        return done;
    }
    // A name that already names an object reaches the command as that object's number (the
    // reader expands it), so the expansion itself is the sign; a definition never takes an
    // object by its alias.
    if (parsedCommand().aliasInUse || readerState().aliasExpanded) {
        errorText(outputChannel, "Object name alias is already in use.  Use a different name.\n");
        return 0;
    }
    const CGlass* glass = nullptr;
    if (!materialGlass(glass)) return 0;
    int found = 0, several = 0, index = 0;
    getModifier(objectTypeWords, &found, &several, &index, "object type");
    if (!found) {
        errorText(outputChannel, "Object type not given. Command ignored.\n");
        return 0;
    }
    const int number = defineObject(modifierWords[index]);
    ObjectRecord* object = number > 0 ? getObject(number - 1) : nullptr;
    if (!object) return 0;
    auto made = std::make_unique<CPart>(object);
    made->TakeDefineCommand();
    made->kindName = objectKindName(object->typeCode);
    made->catalogGlass = glass;
    CPart& part = appendPart(object, std::move(made));
    part.UpdateIndices();
    return 1;
}

int CPartList::Redefine() {
    if (!numericGiven[0]) {
        errorText(outputChannel, "No object ID given, thus no redefinition.");
        return 0;
    }
    CPart* part = GetCurrentPart(*this);
    if (!part) {
        errorText(outputChannel, "Part not found.");
        return 0;
    }
    if (part->geometry && part->geometry->typeCode == kTypePolynet) {
        errorText(outputChannel, "Polynets cannot be redefined in this way.\n");
        return 0;
    }
    return 1;
}

void CPartList::MarkForRedefinition(CPart* part) {
    redefining_ = part ? 1 : 0;
    marked_ = part;
}

int CPartList::DefinePolynet() {
    // The net already stands when this runs: a material that cannot be had leaves its part
    // without a glass rather than leaving a net that no delete can reach.
    const CGlass* glass = nullptr;
    materialGlass(glass);
    const PolynetPartRequest request = takePolynetPartRequest();
    ObjectRecord* object = request.objectNumber > 0 ? getObject(request.objectNumber - 1) : nullptr;
    if (!object) return 0;
    CPart& part = appendPart(object, std::make_unique<CPart>(object));
    part.kindName = objectKindName(object->typeCode);
    part.polarPlane = request.polarPlane;
    part.catalogGlass = glass;
    part.UpdateIndices();
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
    if (marked_ == parts_[static_cast<std::size_t>(index)].get()) MarkForRedefinition(nullptr);
    parts_.erase(parts_.begin() + index);
    deleteObject("object", objectNumber);
}

bool CPartList::RenamePart(const std::string& nameGiven, const std::string& newName) {
    // A copy: the caller may pass the part's own name, which changes below.
    const std::string name = nameGiven;
    CPart* part = FindPart(name);
    if (!part) return false;
    std::string target = newName;
    if (target.empty() && !newNameValue(target)) return false;
    if (target.size() > kAliasNameChars) return false;
    AliasRecord* alias = aliasFindByName(name.c_str());
    if (!alias) return false;
    // Two parts of one name would make FindPart pick the wrong one.
    if (target != name && (FindPart(target) || aliasFindByName(target.c_str()))) return false;
    std::snprintf(alias->name, sizeof alias->name, "%s", target.c_str());
    part->name = target;
    outText(outputChannel, "Object %s renamed %s", name.c_str(), target.c_str());
    return true;
}

int CPartList::ActivateCommand() {
    CPart* part = GetCurrentPart(*this);
    if (!part) {
        errorText(outputChannel, "Part not found.\n");
        return 0;
    }
    return part->Activate();
}

int CPartList::DeactivateCommand() {
    CPart* part = GetCurrentPart(*this);
    if (!part) {
        errorText(outputChannel, "Part not found.\n");
        return 0;
    }
    return part->Deactivate();
}

int CPartList::RenameCommand() {
    CPart* part = GetCurrentPart(*this);
    if (!part) {
        errorText(outputChannel, "Object not found");
        return 0;
    }
    return RenamePart(part->name, std::string()) ? 1 : 0;
}

bool CPartList::Replicate(std::FILE* file) {
    std::string newName;
    if (!newNameValue(newName)) return false;
    getNumericValues(numericValues, kReplicateValues, 2, numericGiven);
    const long copies = numericGiven[1] ? static_cast<long>(numericValues[1]) : 1;
    CPart* part = GetCurrentPart(*this);
    if (!part || !file) return false;
    if (copies <= 1) {
        partNameOverride() = newName;
        part->WriteCommands(OutputChannel(file));
    } else {
        for (long i = 0; i < copies; ++i) {
            partNameOverride() = formatText("%s%03ld", newName.c_str(), i);
            part->WriteCommands(OutputChannel(file));
        }
    }
    partNameOverride().clear();
    return true;
}

void CPartList::RemoveAll() {
    MarkForRedefinition(nullptr);
    parts_.clear();
}

int CPartList::UpdateIndices() {
    if (parts_.empty() || !wavelengthsChanged) return 0;
    for (auto& p : parts_)
        p->UpdateIndices();
    wavelengthsChanged = 0;
    return 1;
}

void CPartList::ResetRadiometers() {
    for (auto& p : parts_)
        if (p->radiometer) resetRadiometer(*p->radiometer);
}

int CPartList::StoreTraceParameters(int objectNumber, int nx, int ny, double horizontal,
                                    double vertical, int bundleShape, const char* kindWord,
                                    int spacingKind) {
    CPart* part = FindPart(objectLabel(objectNumber));
    if (!part) return 0;
    auto& t = part->lastTrace;
    t.objectNumber = objectNumber;
    t.nx = nx;
    t.ny = ny;
    t.horizontal = horizontal;
    t.vertical = vertical;
    t.bundleShape = bundleShape;
    t.spacingKind = spacingKind;
    t.kindWord = std::string(kindWord ? kindWord : "").substr(0, kTraceKindChars);
    t.stored = 1;
    return 1;
}
