#include "engine/commands/object_commands_registration.h"

#include "command/interpreter/command_table.h"
#include "command/settings/settings.h"
#include "engine/commands/display_command.h"
#include "engine/commands/modify_commands.h"
#include "engine/commands/placement_keywords.h"
#include "engine/commands/snug_workbox.h"
#include "engine/model/model_version.h"

void registerObjectCommands() {
    addCommandHandler("place", [](CQelDoc&) { return changingModel(placeCommand); });
    addCommandHandler("translate", [](CQelDoc&) { return changingModel(translateCommand); });
    addCommandHandler("rotate", [](CQelDoc&) { return changingModel(rotateCommand); });
    addCommandHandler("remove", [](CQelDoc&) { return changingModel(removeCommand); });
    addCommandHandler("modify", [](CQelDoc&) { return changingModel(modifyCommand); });
    addCommandHandler("display", [](CQelDoc&) { return displayCommand(); });
    settingsHooks().snugWorkbox = snugWorkbox;
}
