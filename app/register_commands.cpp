#include "app/register_commands.h"

#include "command/command_table.h"
#include "command/document.h"
#include "command/settings_commands.h"
#include "engine/current_objects.h"
#include "engine/object_commands_registration.h"
#include "parts/part_commands.h"

void registerCommandHandlers() {
    registerSettingsCommands();
    registerObjectCommands();
    registerPartCommands();
    // After every execute operation the current object, light source, detector and polygon net
    // are recomputed.
    documentSteps().afterRun.push_back([](CQelDoc&) { refreshCurrentObjects(0); });
}
