// The reset of the command library's state: everything the interpreter, the messages and the
// settings keep between commands goes back to what a freshly started program holds, before any
// command handler is registered. It is the first link of the chain of layer resets
// (resetCommandState, resetEngineState, resetPartsState, resetDisplayState, resetAllState), each
// of which resets its own layer after everything below it. Call it between runs, with no
// document alive; hooks a host installed (platform hooks, the screen mirror) stay installed.
#pragma once

// Resets, in this order: the platform's wait-cursor count; the interpreter (macro levels and
// their open files, the message and log state with its output files closed, the reader, the
// parsed command and its tour, the aliases, the command handlers, the document steps and
// theDocument); then the settings (values, settings hooks, colour tables, highlighting, sun).
void resetCommandState();
