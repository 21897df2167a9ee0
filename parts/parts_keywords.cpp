#include "parts/parts_keywords.h"

#include <memory>

#include "command/document/document.h"
#include "command/interpreter/command_table.h"
#include "command/settings/settings.h"
#include "engine/commands/modify_commands.h"
#include "parts/output/ray_output_state.h"
#include "parts/part_list.h"
#include "parts/ray_output_command.h"
#include "engine/model/current_objects.h"
#include "engine/optics/optics.h"
#include "parts/raytrace_manager.h"
#include "parts/trace/ray_tracer.h"

int modifyWithParts(CPartList* list) {
    const int geometry = modifyCommand();
    if (!list) return geometry;
    const int optics = list->ModifySurfaceFresnel(geometry);
    const int scatterer = list->ModifyScatterer();
    const int source = list->ModifySource();
    return geometry == 1 || optics == 1 || scatterer == 1 || source == 1 ? 1 : 0;
}

void registerPartsKeywords() {
    addCommandHandler("echo", [](CQelDoc&) { return RayOutputCommand(); });
    surfaceCoatingHook = coatingOfSurface;
    settingsHooks().resetOpticalPathMode = [] { rayOutputState().oplMode = kOplOff; };
    setCommandHandler("modify", [](CQelDoc&) { return modifyWithParts(thePartList); });
    setCommandHandler("material",
                      [](CQelDoc&) { return thePartList ? thePartList->MaterialCommand() : 0; });
    setCommandHandler("radiometer",
                      [](CQelDoc&) { return thePartList ? thePartList->RadiometerCommand() : 0; });
    documentSteps().members.push_back(
        [](CQelDoc&) { return std::make_shared<CRaytraceManager>(); });
    setCommandHandler("raytrace", [](CQelDoc&) {
        return theRaytraceManager ? theRaytraceManager->Raytrace() : 0;
    });
    setCommandHandler("user5", [](CQelDoc&) {
        return theRaytraceManager ? theRaytraceManager->TraceUser(viewObject, maxRayDepth,
                                                                  minRayEnergy, maxGhosts)
                                  : 0;
    });
}
