#include "command/document/command_state.h"

#include "command/document/document.h"
#include "command/general/file_names.h"
#include "command/general/highlighting.h"
#include "command/general/sun_position.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/saving/model_saving.h"
#include "command/settings/color_tables.h"
#include "command/settings/settings.h"
#include "platform/console_hooks.h"
#include "platform/platform_hooks.h"
#include "platform/run_control.h"

void resetCommandState() {
    // Host state: the wait cursor, a pending Ctrl-C, a pending termination signal.
    platform::resetWaitCursor();
    platform::resetConsoleInterrupts();
    platform::resetTerminationSignal();
    // Interpreter. Macro files are closed before the message state forgets its streams, and the
    // reader takes its input stream from the message state, so the message state comes first.
    resetMacroState();
    resetMessageState();
    resetReaderState();
    resetParsedCommand();
    resetAliasState();
    resetCommandHandlers();
    resetDocumentState();
    resetSaveState();
    resetFileNameState();
    theDocument = nullptr;
    // Settings.
    resetSettingsState();
    settingsHooks() = SettingsHooks{};
    resetColorTableState();
    resetHighlightState();
    resetSunState();
}
