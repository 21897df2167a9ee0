#include "app/register_commands.h"

#include "command/command_table.h"
#include "command/settings_commands.h"

void registerCommandHandlers() {
    registerSettingsCommands();
}
