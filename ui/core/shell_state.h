// The shell's own state that is not a widget: the selection it keeps and the steps that later
// front-end pieces hang in (properties, retrace). Grouped so tests can reset it.
#pragma once

#include <functional>
#include <string>

class CQelDoc;

struct ShellState {
    // The part selected in the user interface, by name; found again at each use.
    std::string selectedPartName;
    // The object name last read from a typed command line.
    std::string selectedObjectName;
    // The surface number of the last tree selection.
    int treeSurfaceNumber = 1;

    // Seams for later pieces; unset ones do nothing.
    std::function<void()> showPropertyFrame;       // the object property frame
    std::function<void()> refreshObjectProperties; // the property pages follow the selection
    std::function<void(CQelDoc&)> repeatLastTrace; // automatic retrace after a view command
    // Keeps the model under a path; true when it was saved. Unset: the save command is run.
    std::function<bool(CQelDoc&, const std::string& path)> saveDocument;
};
ShellState& shellState();
// Restores the load-time state (the seams too).
void resetShellState();
