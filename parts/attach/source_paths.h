// Where the ray-source plug-in of each source kind lives.
#pragma once

#include <string>

// The plug-in file of a source of `kind` (SourceKind) given the name of the source command:
// custom and standard: the name itself; iesna and gridsrc: IESNA.DLL or GRIDSRC.DLL in the
// folder of the table file `name` (the text up to its last "/" or "\"); pixsrc:
// sources/pixsrc/PIXSRC.DLL under the program's home. The binder maps ".DLL" to the platform's
// library suffix.
std::string sourceModulePath(int kind, const std::string& name);
