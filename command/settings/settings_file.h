// The settings file meridyn.ini: the user preferences of section "flags" that survive from one
// program run to the next.
#pragma once

#include <filesystem>

inline constexpr const char* kSettingsFileName = "meridyn.ini";
inline constexpr const char* kSettingsSection = "flags";

// Where the settings file lives: the path in MERIDYN_INI when that is set, else meridyn.ini in
// $XDG_CONFIG_HOME/meridyn/ (or ~/.config/meridyn/ when XDG_CONFIG_HOME is unset).
std::filesystem::path settingsFilePath();

// Reads every key of section "flags" over the current settings (a missing key keeps the
// current value; plotmax falls back to 99).
void loadIniSettings();
// Writes back the keys of section "flags" this run changed since they were loaded (and any the
// file lacks), under a lock; a failure warns on standard error.
void saveIniSettings();

// One key read as text and converted to a number (defaultText when the key is missing).
double readIniNumber(const char* key, const char* defaultText = "99.0");
// One key written as "%lg", as a decimal integer, or as "1"/"0" for a switch.
bool writeIniNumber(double value, const char* key);
bool writeIniInteger(long value, const char* key);
bool writeIniSwitch(int value, const char* key);
