// Macros: files of commands run through the reader, nested up to 30 levels, each run a given
// number of times; check mode reports block-IF errors of a macro.
#pragma once

#include <cstdio>
#include <string>

inline constexpr int kMacroLevelLimit = 30;

struct MacroLevel {
    std::FILE* stream = nullptr;
    std::string name;
    int iterations = 1;
    int passes = 0;
};

struct MacroState {
    int macroTop = 0;                             // current level; 0 = no macro
    MacroLevel levels[kMacroLevelLimit + 1] = {}; // levels[1..30]
    int macroCheckMode = 0;
    int macroCheckDone = 0;
    int macroCheckErrors = 0;
    int macroCheckLevel = 0; // the level from which the checked macro was started
};

MacroState& macroState();
// Closes every open macro file and restores the load-time state.
void resetMacroState();

inline int& macroTop = macroState().macroTop;

// The MACRO keyword: run (default), end, exit, check.
void macroCommand();
// MACRO RUN: opens the file named by /name= and pushes it.
void macroOpen();
// Pushes an opened macro file; reports and returns false when the file cannot be opened.
bool MACPUSH(const std::string& fileName, int iterations);
// Closes the current level; the input stream becomes the level below (or the console).
void macroPop();
// MACRO END: repeats the current file or pops it; reports a finished check.
void macroEnd();
// MACRO EXIT [/current | /all].
void macroExit();
// The reader met the end of a macro file (or of its input) while check mode may be on.
void macroNoteEndOfInput();
// The block-IF check found an error in the macro being checked.
void macroNoteBlockIfError();

// A file name as the quoted value of a name= modifier, with every quote written twice, as the
// reader gives it back.
std::string quotedName(const std::string& name);
// The command line that runs file `name` as a macro: macro/name="name" with every quote
// written twice.
std::string macroRunCommand(const std::string& name);
// True when macroRunCommand(name) reads back as exactly `name`: the line fits the reader's
// significant length and the name holds no character the reader changes inside quotes (a '|',
// which stands for a quoted blank, and control characters such as line ends).
bool macroNamePassesWhole(const std::string& name);
