#include "parts/parts_keywords.h"

#include <memory>

#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/settings/settings.h"
#include "parts/output/ray_output_state.h"
#include "parts/ray_output_command.h"
#include "parts/raytrace_manager.h"

void registerPartsKeywords() {
    addCommandHandler("echo", [](CQelDoc&) { return RayOutputCommand(); });
    settingsHooks().resetOpticalPathMode = [] { rayOutputState().oplMode = kOplOff; };
    documentSteps().members.push_back(
        [](CQelDoc&) { return std::make_shared<CRaytraceManager>(); });
    setCommandHandler("raytrace", [](CQelDoc&) {
        return theRaytraceManager ? theRaytraceManager->Raytrace() : 0;
    });
}
