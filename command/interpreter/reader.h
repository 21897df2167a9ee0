// The command reader: turns command text (the user interface's command buffer, macro files,
// the console) into one logical command at a time and fills the parsed command.
#pragma once

#include <cstdio>
#include <string>

inline constexpr int kLineSignificant = 250; // significant characters of a physical line
inline constexpr int kLineStored = 255;      // characters kept of a physical line
inline constexpr int kCommandLimit = 251;    // characters of a logical command
inline constexpr int kVariableCount = 50;    // variables of each kind, numbered 1..50
inline constexpr int kStringVariableChars = 80;

struct ReaderState {
    // Text the user interface wants run next, and whether it is waiting.
    std::string commandBuffer;
    int commandPending = 0;

    // Where macro lines come from: a macro file, or the console stream (the message layer's
    // consoleStream; a null console stream gives end of file at once, as a GUI console does).
    std::FILE* inputStream = nullptr;

    // The physical line being taken apart.
    std::string inputLine = " ";
    int linePos = -1;   // index of the last character taken
    int lineLength = 0; // trimmed length, at most 250
    int lineConsumed = 1;
    int inputAtEnd = 0;
    // The physical line lost characters that were not blank (longer than the reader keeps), and
    // the command being read lost some of its text (to that cut or to the command limit).
    int lineCut = 0;
    int commandCut = 0;
    int inputExhausted = 0;

    int echoOn = 0;
    int verboseOn = 0;
    int redefineMode = 0;
    int aliasExpanded = 0;

    // Macro level at which the running command loop started: a nested run reads only its own
    // text and never the rest of an enclosing macro.
    int runBaseLevel = 0;

    // Variables, 1-based (index 0 unused). Nothing in the language writes them yet.
    double realVariables[kVariableCount + 1] = {};
    int intVariables[kVariableCount + 1] = {};
    double complexVariables[kVariableCount + 1][2] = {};
    char stringVariables[kVariableCount + 1][kStringVariableChars + 1] = {};
};

ReaderState& readerState();
// Restores the load-time state; the input stream becomes the console stream.
void resetReaderState();

inline std::string& commandBuffer = readerState().commandBuffer;
inline int& commandPending = readerState().commandPending;
inline int& echoOn = readerState().echoOn;
inline int& verboseOn = readerState().verboseOn;
inline int& redefineMode = readerState().redefineMode;

// The length of `text` cut to `limit`, less trailing blanks.
int lineLengthTrimmed(const std::string& text, int limit);

// Fills the parsed command with the next logical command. At end of input the command is
// "macro/end" while a macro of this run is active, else "end". `error` is set when a read failed.
void readCommandLine(int* error);
// The logical-command splitter: the next command of at most 251 characters; `endFlag` is 1 at
// end of input.
void readCommand(std::string& command, int* endFlag, int* error);
// Takes the user interface's command text as the next physical line; logs and echoes it.
void takeUiCommand(std::string& line, int* error);
// One physical line from `stream` (the prompt first when it is the console), logged.
void readMacroLine(std::string& line, std::FILE* stream, int* error, int* endOfFile);
// The next command starts on a new physical line.
void discardRestOfLine();

// The steps readCommandLine applies to a command, in this order.
void expandVariables(std::string& command);
void normalizeLine(std::string& command);
void checkBlockIf(std::string& command);
void parseNumerics(std::string& command);
void splitCommandWords(const std::string& command);
void markBlockIf();

// Makes a fixed command text (already in normal form, e.g. "macro /exit /all") the parsed
// command, as the command loop does for its follow-up commands.
void setParsedCommandText(const std::string& text);

// False when the input stream belongs to a macro that encloses the running (nested) command
// loop: that run must see end of input instead of reading on into the enclosing macro.
bool runOwnsInput();
// Reads one physical line from `stream` for an answer (query assignment, "??"), printing the
// prompt first when the stream is the console. False at end of file. The newline and a trailing
// carriage return are removed.
bool readAnswerLine(std::string& line);

// Expands an alias in `word` (lower-cased first; only a word that begins with a letter; a
// suffix from the first '.' on is kept). Returns true when an expansion happened.
bool aliasExpand(std::string& word);
