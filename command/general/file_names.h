// The names of the files commands write and read: a name the reader cut short is never used, and
// a named output never lands on one of the program's own files.
#pragma once

#include <string>
#include <vector>

// Files the program holds open beyond one command (the chosen-ray pair), besides those it always
// keeps (meridyn.log, screen.out, rays.dat, spots.dat, reemit.dat and the settings file).
struct FileNameState {
    std::vector<std::string> inUse;
};
FileNameState& fileNameState();
void resetFileNameState();

// Marks a file as the program's own while it is open, and releases it again.
void markFileInUse(const std::string& path);
void releaseFileInUse(const std::string& path);

// True when `path` names one of the program's own files (the same file, or the same place for
// one not made yet; links are followed).
bool isOwnFile(const std::string& path);

// True when the command that named `name` was cut by the reader, or the name fills its whole
// value slot: what is left is not the name the user gave.
bool fileNameCut(const std::string& name);

// The checks of a file a command reads: false after " File name too long, command ignored.\n".
bool inputNameUsable(const std::string& name);
// True, after " File %s is one of MERIDYN's own files, command ignored.\n", for an own file
// (outputs named outside a command: the window's dialogs, the console's options).
bool ownFileRefused(const std::string& name);
// The checks of a file a command writes: the cut name, then the own file.
bool outputNameUsable(const std::string& name);
