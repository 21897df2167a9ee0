// Loading shared libraries at run time. Libraries are never unloaded: the handles stay valid
// until the program ends.
#pragma once

#include <string>

namespace platform {

// Loads a library by path (a name without '/' goes through the system loader's search), with
// every symbol resolved now and none made visible to later libraries. Returns the handle, or
// null with the loader's message in `error`.
void* openLibrary(const std::string& path, std::string& error);

// The address of an exported symbol, or null when the library has none of that name.
void* findSymbol(void* library, const char* name);

// The folder of the running program (empty when it cannot be found).
std::string runningProgramFolder();

} // namespace platform
