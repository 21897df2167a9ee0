// Binding plug-in libraries: load a library by the file name a model gives, resolve one entry and
// the optional UserParamNames, and call an entry with its record. Every place of the program that
// binds or calls a plug-in goes through here. Loaded libraries stay loaded until the program
// ends; binding the same file again yields the same entry addresses.
#pragma once

#include <string>

#include "plugins/include/plugin_interface.h"

// An entry of a plug-in: one pointer argument, int result.
using PluginEntry = int (*)(void*);

// Status written by LoadPluginEntry.
inline constexpr int kPluginBound = 0;        // entry bound
inline constexpr int kPluginEntryMissing = 1; // library loaded, entry missing
inline constexpr int kPluginNotLoaded = 2;    // library cannot be loaded

struct PluginBinderState {
    // UserParamNames of the library bound by the most recent successful LoadPluginEntry; null
    // before any binding, after a failed one, and when the library has none.
    PluginEntry paramNamesEntry = nullptr;
    // The loader's message from the most recent load that failed (empty after a load that
    // worked), for the caller's error report.
    std::string loadError;
};

PluginBinderState& pluginBinderState();
void resetPluginBinderState();

inline PluginEntry& pluginParamNamesEntry = pluginBinderState().paramNamesEntry;

// Loads `fileName` (see pluginFileName and findPluginFile) and resolves `entryName`. Writes the
// status and the module handle (null when the library could not be loaded) and returns the entry,
// or null. Reports nothing: callers word their own messages from the status.
PluginEntry LoadPluginEntry(const std::string& fileName, const std::string& entryName, int& status,
                            void*& module);

// The UserParamNames entry of the most recent binding; callers take it right after a successful
// LoadPluginEntry and keep their own copy.
PluginEntry GetPluginParamNames();

// Calls an entry with its record (a SourceCallRecord, a GrinCallRecord or a name buffer) and
// returns its result unchanged; -1 for a null entry.
int CallPluginEntry(PluginEntry entry, void* record);

// The file a typed plug-in name stands for on this platform: a name ending ".dll" (any case)
// ends ".so" instead, and a last path component without "." gets ".so". The name a model stores
// and saves stays as typed; only the loader sees this one.
std::string pluginFileName(const std::string& name);

// Where a mapped name is loaded from. A name containing "/" is used as given. A bare name is
// looked for, in order, in the current directory, programHome, programHome/sources/custom/dlls,
// programHome/sources/standard/dlls and the running program's folder (the bundled plug-ins); the
// first existing file wins. When none exists the bare name is returned for the system loader's
// own search.
std::string findPluginFile(const std::string& name);

// Asks a UserParamNames entry for the name of one slot (0 to 8). The plug-in writes into a
// zero-filled buffer of MERIDYN_PARAM_BUFFER_SIZE bytes, and the answer is cut after
// MERIDYN_PARAM_NAME_LENGTH characters, so a long or unterminated name cannot overrun anything.
// Empty for a null entry or a slot outside 0..255.
std::string pluginParamName(PluginEntry namesEntry, int slot);
