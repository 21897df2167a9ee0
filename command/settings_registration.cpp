#include "command/command_table.h"
#include "command/document.h"
#include "command/settings.h"
#include "command/settings_commands.h"

void registerSettingsCommands() {
    setCommandHandler("set", [](CQelDoc&) { return runSetCommand(); });
    setCommandHandler("show", [](CQelDoc&) { return showCommand(); });
    documentSteps().afterNewDocument.push_back([](CQelDoc&) { newDocumentSettingsStep(); });
}
