#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/settings/settings.h"
#include "command/settings/settings_commands.h"

void registerSettingsCommands() {
    setCommandHandler("set", [](CQelDoc&) { return runSetCommand(); });
    setCommandHandler("show", [](CQelDoc&) { return showCommand(); });
    documentSteps().afterNewDocument.push_back([](CQelDoc&) { newDocumentSettingsStep(); });
}
