#include "engine/commands/object_commands_registration.h"

#include "command/interpreter/command_table.h"
#include "command/settings/settings.h"
#include "engine/commands/display_command.h"
#include "engine/commands/modify_commands.h"
#include "engine/commands/placement_keywords.h"
#include "engine/commands/snug_workbox.h"

void registerObjectCommands() {
    addCommandHandler("place", [](CQelDoc&) { return placeCommand(); });
    addCommandHandler("translate", [](CQelDoc&) { return translateCommand(); });
    addCommandHandler("rotate", [](CQelDoc&) { return rotateCommand(); });
    addCommandHandler("remove", [](CQelDoc&) { return removeCommand(); });
    addCommandHandler("modify", [](CQelDoc&) { return modifyCommand(); });
    addCommandHandler("display", [](CQelDoc&) { return displayCommand(); });
    settingsHooks().snugWorkbox = snugWorkbox;
}
