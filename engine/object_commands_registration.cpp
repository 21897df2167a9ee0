#include "engine/object_commands_registration.h"

#include "command/command_table.h"
#include "command/settings.h"
#include "engine/display_command.h"
#include "engine/modify_commands.h"
#include "engine/placement_keywords.h"
#include "engine/snug_workbox.h"

void registerObjectCommands() {
    addCommandHandler("place", [](CQelDoc&) { return placeCommand(); });
    addCommandHandler("translate", [](CQelDoc&) { return translateCommand(); });
    addCommandHandler("rotate", [](CQelDoc&) { return rotateCommand(); });
    addCommandHandler("remove", [](CQelDoc&) { return removeCommand(); });
    addCommandHandler("modify", [](CQelDoc&) { return modifyCommand(); });
    addCommandHandler("display", [](CQelDoc&) { return displayCommand(); });
    settingsHooks().snugWorkbox = snugWorkbox;
}
