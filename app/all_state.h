// The reset of the whole program's state: the last link of the chain of layer resets
// (resetCommandState, resetEngineState, resetPartsState, resetDisplayState, resetAllState).
// Afterwards the program holds what it held at start, before registerCommandHandlers: a run that
// registers the handlers and makes a new document sees the same as a freshly started program.
// Call it between runs, with no document and no view alive.
#pragma once

// Resets the display layer and everything below it (resetDisplayState), then the window's Qt-free
// state (resetShellState, resetBitmapState). The application library itself keeps no state: the
// console driver's view and document live in main.
void resetAllState();
