// modify/sources: binding a ray-source plug-in to the current part.
#include <string>

#include "command/messages/messages.h"
#include "engine/commands/command_values.h"
#include "parts/attach/attach_support.h"
#include "parts/attach/source_paths.h"
#include "parts/part_list.h"
#include "platform/temp_file.h"

namespace {

const char* const kSourcesWord[] = {"sources", " "};
// In SourceKind order.
const char* const kSourceKinds[] = {"custom", "iesna", "gridsrc", "pixsrc", "standard", " "};
const char* const kSourceValues[] = {"object", "p0", "p1", "p2", "p3", "p4", "p5", "p6", " "};
constexpr int kSourceParameters = 7;

} // namespace

std::string sourceModulePath(int kind, const std::string& name) {
    switch (kind) {
    case kSourceIesna:
    case kSourceGridsrc: {
        const std::size_t end = name.find_last_of("/\\");
        const std::string folder =
            end == std::string::npos ? std::string() : name.substr(0, end + 1);
        return folder + (kind == kSourceIesna ? "IESNA.DLL" : "GRIDSRC.DLL");
    }
    case kSourcePixsrc:
        return platform::joinPath(programHome, "sources/pixsrc/PIXSRC.DLL");
    default:
        return name;
    }
}

int CPartList::ModifySource() {
    if (!attach::modifierGiven(kSourcesWord)) return 0;
    readCommandValues(kSourceValues, 1 + kSourceParameters);
    CPart* part = GetCurrentPart(*this);
    if (!part) {
        errorText(outputChannel, "Part not found.\n");
        return kRefusedWithMessage;
    }
    const attach::ModifierValue name = attach::modifierValue(attach::kNameWord);
    if (name.several) return 0;
    const int kind = modifierChoice(kSourceKinds, kSourceCustom, attach::kSeveralModifiers);
    if (name.given && name.text.empty()) {
        errorText(outputChannel, "Missing custom source DLL name or table file name\n");
        return 0;
    }
    part->sourceKind = kind;
    if (!name.given) {
        outText(outputChannel,
                "No source dll or source table name given.  Source removed from object.\n");
        part->sourceEntry = nullptr;
        part->sourceModulePath.clear();
        part->sourceTableName.clear();
        return 1;
    }

    const std::string modulePath = sourceModulePath(kind, name.text);
    int status = kPluginBound;
    void* module = nullptr;
    const PluginEntry entry = LoadPluginEntry(modulePath, "UserSourceRay", status, module);
    if (!entry) {
        // The part is left without a source.
        part->sourceEntry = nullptr;
        part->sourceModulePath.clear();
        part->sourceTableName.clear();
        errorText(outputChannel, status == kPluginEntryMissing
                                     ? "Could not find UserSourceRay function in DLL\n"
                                     : "Could not load DLL\n");
        return 0;
    }
    part->sourceEntry = entry;
    part->sourceModulePath = modulePath;
    const bool table = kind == kSourceIesna || kind == kSourceGridsrc;
    part->sourceTableName = table ? name.text : std::string();
    outText(outputChannel, "Loaded custom source %s for object %s\n", name.text.c_str(),
            part->name.c_str());
    part->paramNamesEntry = GetPluginParamNames();

    double* record = part->sourceRecord.v;
    for (int i = SRC_MODE; i < SRC_PARAM0 + kSourceParameters; ++i)
        record[i] = 0.0;
    for (int k = 0; k < kSourceParameters; ++k)
        if (numericGiven[k + 1]) record[SRC_PARAM0 + k] = numericValues[k + 1];
    // The check call: the plug-in looks at its parameters and draws no ray.
    record[SRC_MODE] = 1.0;
    if (CallPluginEntry(entry, &part->sourceRecord) == -1)
        errorText(outputChannel, "Bad input values for source\n");
    record[SRC_MODE] = 0.0;
    return 1;
}
