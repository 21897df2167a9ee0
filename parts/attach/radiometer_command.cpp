// radiometer: attaching, resetting, removing and reporting the radiometer of the current part.
#include <cmath>
#include <string>

#include "command/general/file_names.h"
#include "command/messages/messages.h"
#include "engine/commands/command_values.h"
#include "engine/polynet/polynet_records.h"
#include "parts/attach/attach_support.h"
#include "parts/part_list.h"
#include "parts/radiometers/radiometer.h"
#include "platform/safe_file.h"

namespace {

const char* const kRadiometerActions[] = {"textout", "attach", "reset", "remove", "fileout", " "};
enum RadiometerAction { kTextout, kAttach, kReset, kRemove, kFileout };
const char* const kAttachValues[] = {"object", "nx", "ny", " "};
constexpr const char* kDefaultReportName = "meridyn.enr";

// The largest grid a radiometer may have: its bins are allocated at once.
constexpr double kMaxBins = 16777216.0;

// The report of a radiometer: per unit of facet area for a polygon-net part.
void writeReport(const CPart& part, const CRadiometer& radiometer, OutputChannel channel) {
    if (part.kindName == "polynet" && part.geometry)
        radiometer.WriteTextPerArea(channel, objectPolynet(part.geometry->number));
    else
        radiometer.WriteText(channel);
}

int attachRadiometer(CPart& part) {
    const double nxValue = std::trunc(valueOr(1, 5));
    const double nyValue = std::trunc(valueOr(2, 3));
    if (!(nxValue >= 1) || !(nyValue >= 1)) {
        errorText(outputChannel, "Radiometer nx and ny must be at least 1.  Command ignored.\n");
        return kRefusedWithMessage;
    }
    // nx is rounded up to a multiple of four below.
    if (!((nxValue + 4) * nyValue <= kMaxBins)) {
        errorText(outputChannel, "Radiometer grid too large.  Command ignored.\n");
        return kRefusedWithMessage;
    }
    long nx = static_cast<long>(nxValue);
    const long ny = static_cast<long>(nyValue);
    if (nx % 4 != 0) {
        nx = nx - nx % 4 + 4;
        outText(outputChannel, "Nx must be a multiple of four! Reset nx=%ld\n", nx);
    }
    attach::dropAttached(part.radiometer, "Deleting attached radiometer and replacing it.\n");
    part.radiometer.reset(new CRadiometer(static_cast<int>(nx), static_cast<int>(ny)));
    return 1;
}

int fileReport(const CPart& part) {
    const attach::ModifierValue name = attach::modifierValue(attach::kNameWord);
    if (name.several) return 0;
    std::string fileName = name.text;
    if (fileName.empty()) {
        fileName = kDefaultReportName;
        outText(outputChannel, " No file name given, Name set to %s.\n", fileName.c_str());
    }
    if (!outputNameUsable(fileName)) return kRefusedWithMessage;
    // The report appears whole or not at all; an old one stays until then.
    platform::ReplacementFile file;
    if (!file.open(fileName)) {
        errorText(outputChannel, "Unable to open %s\n", fileName.c_str());
        return kRefusedWithMessage;
    }
    writeReport(part, *part.radiometer, OutputChannel(file.stream()));
    if (!file.commit()) {
        errorText(outputChannel, "Unable to write %s\n", fileName.c_str());
        return kRefusedWithMessage;
    }
    return 1;
}

} // namespace

int CPartList::RadiometerCommand() {
    const int action = modifierChoice(kRadiometerActions, kTextout, attach::kSeveralModifiers);
    if (action == kAttach)
        readCommandValues(kAttachValues, 3);
    else
        readCommandValues(attach::kObjectOnly, 1);
    CPart* part = GetCurrentPart(*this);
    if (!part) return 0;
    switch (action) {
    case kAttach:
        return attachRadiometer(*part);
    case kReset:
        if (!part->radiometer) return 0;
        part->radiometer->Reset();
        return 1;
    case kRemove:
        return attach::removeAttached(part->radiometer, "Radiometer deleted.\n",
                                      "No radiometer attached.\n");
    case kFileout:
        if (!part->radiometer) return 0;
        return fileReport(*part);
    default:
        if (!part->radiometer) return 0;
        writeReport(*part, *part->radiometer, outputChannel);
        return 1;
    }
}
