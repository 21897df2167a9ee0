// File > ImportSTL... without a window: choose the file, sniff it, ask the net's parameters, read
// it facet by facet with the progress shown and Escape polled every 20 passes, finish the net.
// The window supplies the dialogs, the poll and the command runner through StlImportUi.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/compose/stl_reader.h"
#include "ui/compose/tool_commands.h"

inline constexpr const char* kStlFileFilter = "STL 3-D models (*.stl)|*.stl||";
inline constexpr const char* kStlLogFileName = "mshwklog.txt";
inline constexpr int kStlPollPasses = 20;

struct StlImportUi {
    // The open-file dialog; nullopt when cancelled.
    std::function<std::optional<std::string>()> chooseFile;
    // "STL Polynet Parameters", opened with the preset; nullopt when cancelled.
    std::function<std::optional<StlParameters>(const StlParameters& preset)> askParameters;
    // Runs one command line (ExecuteCommandText); true when it reported an error.
    std::function<bool(const std::string&)> runCommand;
    // A message box: caption, text.
    std::function<void(const std::string&, const std::string&)> messageBox;
    // The progress dialog: opened with the reader before reading, refreshed every 20 passes,
    // closed on every way out. `logLine` receives each line the reader logs.
    std::function<void(StlReader& reader)> openProgress;
    std::function<void(StlReader& reader)> refreshProgress;
    std::function<void()> closeProgress;
    std::function<void(const std::string&)> logLine;
    // True when Escape (or the dialog's Cancel) waits; the poll consumes it.
    std::function<bool()> escapePending;
};

// Empty: no facet was read (the file, or Escape before the first); the net was deleted.
enum class StlImportEnd {
    Cancelled,
    Unreadable,
    OpenFailed,
    Refused,
    Empty,
    Escaped,
    Failed,
    Finished
};

struct StlImportResult {
    StlImportEnd end = StlImportEnd::Cancelled;
    long facets = 0;
    long warnings = 0;
};

// The whole import; the log file goes to `logPath`. The caller refreshes the tree (Finished and
// Failed), redraws, and marks the document modified when facets were written.
StlImportResult importStl(StlImportUi& ui, const std::string& logPath);

class CQelDoc;
// The import run against the document, as File > ImportSTL... runs it: each command through
// ExecuteLine unless `ui.runCommand` is set. meridyn.log and screen.out are flushed and the
// history reloads at each progress refresh and at the end (an OutputFlushHold: a crash loses at
// most the commands since the last refresh); the object tree, its selection and the status line
// follow once at the end, not per command, and the commands leave the wait cursor alone. The
// document is marked modified once a facet was written, and the views redraw when AutoRedraw is
// on. Escape is polled only by the import (through `ui.escapePending`, else the hooks in force),
// never by the commands it runs.
StlImportResult OnFileImportStl(CQelDoc& doc, StlImportUi ui, const std::string& logPath);
