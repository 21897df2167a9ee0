#include "parts/parts_keywords.h"

#include <memory>

#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/settings/settings.h"
#include "engine/commands/modify_commands.h"
#include "parts/output/ray_output_state.h"
#include "parts/part_list.h"
#include "parts/ray_output_command.h"
#include "parts/raytrace_manager.h"

void registerPartsKeywords() {
    addCommandHandler("echo", [](CQelDoc&) { return RayOutputCommand(); });
    settingsHooks().resetOpticalPathMode = [] { rayOutputState().oplMode = kOplOff; };
    // modify: the geometry step, then the part list's steps, each on its own words; the coating
    // and bookkeeping step learns whether the geometry took the change.
    setCommandHandler("modify", [](CQelDoc&) {
        const int geometry = modifyCommand();
        if (!thePartList) return geometry;
        const int optics = thePartList->ModifySurfaceFresnel(geometry);
        const int scatterer = thePartList->ModifyScatterer();
        const int source = thePartList->ModifySource();
        return geometry == 1 || optics == 1 || scatterer == 1 || source == 1 ? 1 : 0;
    });
    setCommandHandler("material",
                      [](CQelDoc&) { return thePartList ? thePartList->MaterialCommand() : 0; });
    setCommandHandler("radiometer",
                      [](CQelDoc&) { return thePartList ? thePartList->RadiometerCommand() : 0; });
    documentSteps().members.push_back(
        [](CQelDoc&) { return std::make_shared<CRaytraceManager>(); });
    setCommandHandler("raytrace", [](CQelDoc&) {
        return theRaytraceManager ? theRaytraceManager->Raytrace() : 0;
    });
}
