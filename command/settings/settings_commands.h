// The SET and SHOW commands: SET changes one setting of the model or of the display, SHOW
// prints settings. Both take the setting as a modifier (set/raylimits maxdepth=20,
// show/workbox) and read their arguments from the parsed command.
#pragma once

#include "command/interpreter/parsed_command.h"

// The settings SET knows, in the order that decides prefix matches.
extern const char* const kSetKeywords[];
// The settings SHOW knows; SHOW without a setting shows the first kShowAllCount of them.
extern const char* const kShowKeywords[];
inline constexpr int kShowAllCount = 27;

// The SET keyword: 1 done, 0 refused (one message, nothing changed).
int setCommand();
// The settings of SET that take values or choices, by their full keyword.
int setCommandSettings(const char* keyword);
// The SHOW keyword.
int showCommand();
// Prints one setting by its full keyword (SET calls it after most changes).
void showSetting(const char* keyword);

// After SET: loads the glass catalog that set/matcatalog asked for and clears the request.
void loadRequestedCatalog();
// The dispatcher's whole set row: setCommand, the catalog step, then the index and the
// object-property refreshes through their hooks (command/settings.h).
int runSetCommand();

// Puts SET and SHOW into the command keyword table and the settings step into the new
// document (memsplit is cleared after the start-up macro).
void registerSettingsCommands();
