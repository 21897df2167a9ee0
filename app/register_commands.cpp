#include "app/register_commands.h"

#include "command/command_table.h"

void registerCommandHandlers() {
    // No subsystem brings handlers yet: every keyword is matched and does nothing.
}
