#include "app/register_commands.h"

#include "command/command_table.h"
#include "command/document.h"
#include "command/general_commands.h"
#include "command/settings.h"
#include "command/settings_commands.h"
#include "display/display_commands.h"
#include "engine/current_objects.h"
#include "engine/object_commands_registration.h"
#include "engine/polynet_command.h"
#include "engine/random_sampling.h"
#include "engine/ray_files.h"
#include "parts/part_commands.h"
#include "parts/parts_keywords.h"

void registerCommandHandlers() {
    registerSettingsCommands();
    registerGeneralCommands();
    settingsHooks().seedRandom = [](int seed) { seedRandom(static_cast<unsigned>(seed)); };
    settingsHooks().closeRayFiles = [] {
        closeRayFile();
        closeSpotFile();
    };
    registerPolynetCommand();
    registerObjectCommands();
    registerPartCommands();
    registerPartsKeywords();
    registerDisplayCommands();
    // After every execute operation the current object, light source, detector and polygon net
    // are recomputed.
    documentSteps().afterRun.push_back([](CQelDoc&) { refreshCurrentObjects(0); });
}
