#include "app/register_commands.h"

#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/general/general_commands.h"
#include "command/settings/settings.h"
#include "command/settings/settings_commands.h"
#include "display/views/display_commands.h"
#include "engine/model/current_objects.h"
#include "engine/commands/object_commands_registration.h"
#include "engine/commands/polynet_command.h"
#include "engine/optics/random_sampling.h"
#include "engine/files/ray_files.h"
#include "parts/glass/glass_catalog.h"
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
    registerGlassCatalog();
    registerPartsKeywords();
    registerDisplayCommands();
    // After every execute operation the current object, light source, detector and polygon net
    // are recomputed.
    documentSteps().afterRun.push_back([](CQelDoc&) { refreshCurrentObjects(0); });
}
