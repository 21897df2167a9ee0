// Start-up and shut-down of the windowed program: options, the home lock, settings, the first
// new document, the file named on the command line, the help offer; settings and recent files
// are written at the end.
#pragma once

#include <functional>

// Runs the program; returns its exit status. `registerHandlers` fills the command table before
// the document is made.
int runShell(int argc, char** argv, const std::function<void()>& registerHandlers);
