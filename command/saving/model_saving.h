// Saving the model as a command file: the compressed form (settings, loaded catalogs, the
// logged polygon nets, the parts' definitions and the user's comments) and the complete form
// (the filtered command log), each written beside its target under a temporary name and renamed
// over it only when complete; and the SAVE command.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CQelDoc;

// What later subsystems add to a saved model. Unset hooks add nothing.
struct SaveHooks {
    // Writes the defining commands of every part (the parts section of the compressed form);
    // false after its message when a part cannot be written so that it rebuilds.
    std::function<bool(std::FILE*)> writeParts;
    // The glass catalog files loaded so far, in load order, each as it was loaded.
    std::function<std::vector<std::string>()> loadedCatalogs;
};
SaveHooks& saveHooks();
// Removes the hooks.
void resetSaveState();

enum class SaveResult {
    Saved,
    LogUnreadable,    // the command log could not be opened for reading
    TargetUnwritable, // the file could not be written (the old one, if any, is kept)
    LineTooLong       // a line would be cut when the file is run (said; the old file is kept)
};

// The messages of the two failures.
inline constexpr const char* kSaveFileError =
    "Error opening save file.  Exit and recover via MERIDYN.LOG";
inline constexpr const char* kLogFileError = "Error opening log file MERIDYN.LOG";

// True when every line of `text` reads back whole: none passes the characters the reader keeps
// of a line (a longer one would be cut when the saved model is run).
bool linesFitReader(std::string_view text);

// True when a saved file of this name gets the compressed form: the name ends in "opt" or "OPT".
bool isCompressedSaveName(const std::string& path);

// Writes the compressed form (compressed) or the complete form of the model to `path`. The log
// is opened first; nothing at `path` changes unless the whole file was written.
SaveResult saveModelFile(CQelDoc& doc, const std::string& path, bool compressed);

// The SAVE command: save/name=FILE[/overwrite] writes the compressed form to FILE. An existing
// file is kept unless overwrite is given. 1 saved, 0 refused or failed (after its error).
int saveCommand(CQelDoc& doc);
// Registers saveCommand for the keyword save.
void registerSaveCommand();
