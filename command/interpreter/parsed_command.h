// The parsed command: the state every handler reads its arguments from, and the operations that
// match keywords and modifiers by unique prefix and fill numeric values.
#pragma once

#include <string>

#include "command/messages/messages.h"

inline constexpr int kMaxModifiers = 20;
inline constexpr int kMaxNumerics = 20;
inline constexpr int kMaxParameterWords = 20;
inline constexpr int kKeywordChars = 20;      // significant characters of a keyword
inline constexpr int kQuotedValueChars = 255; // a quoted modifier value (room for a file path)

// A keyword or modifier table: entries of at most 20 characters, ended by the entry " ".
using KeywordTable = const char* const*;

// Empty slots of the word arrays hold " ". A modifier given as /name=value has its value in
// quotedStrings (blanks restored, case as typed) and modifierHasValue 1; an unquoted value
// that begins with a digit and reads as a number is also in modifierNumber.
struct ParsedCommand {
    char commandWord[kKeywordChars + 1] = " ";
    char modifierWords[kMaxModifiers][kKeywordChars + 1] = {};
    int modifierCount = 0;
    char quotedStrings[kMaxModifiers][kQuotedValueChars + 1] = {};
    int modifierHasValue[kMaxModifiers] = {};
    double modifierNumber[kMaxModifiers] = {};
    int modifierNumberGiven[kMaxModifiers] = {};
    double numericValues[kMaxNumerics] = {};
    int numericGiven[kMaxNumerics] = {};
    char parameterWords[kMaxParameterWords + 1][41] = {};
    int aliasInUse = 0; // a parameter word of the command is already an alias name
};

ParsedCommand& parsedCommand();
void resetParsedCommand();

inline auto& commandWord = parsedCommand().commandWord;
inline auto& modifierWords = parsedCommand().modifierWords;
inline int& modifierCount = parsedCommand().modifierCount;
inline auto& quotedStrings = parsedCommand().quotedStrings;
inline auto& modifierHasValue = parsedCommand().modifierHasValue;
inline auto& modifierNumber = parsedCommand().modifierNumber;
inline auto& modifierNumberGiven = parsedCommand().modifierNumberGiven;
inline auto& numericValues = parsedCommand().numericValues;
inline auto& numericGiven = parsedCommand().numericGiven;
inline auto& parameterWords = parsedCommand().parameterWords;

// 1 when `word` is a unique abbreviation of one entry of `table`; the entry is then copied into
// `word`, which must hold 21 characters. Label " " makes a miss silent.
int matchKeyword(char* word, KeywordTable table, const char* label);
// Which modifier of the command names an entry of `table`.
void getModifier(KeywordTable table, int* found, int* several, int* index, const char* label);
// Fills values by position, name=value words, or by asking ("query" / "?").
void getNumericValues(double* values, KeywordTable names, int count, int* given);
void queryAssignment(double* values, KeywordTable names, int count, int* given);
void listOptions(KeywordTable table);
void echoParsedCommand(OutputChannel channel);
// Reads a decimal number the way the command language does; false for anything else.
bool parseNumber(const char* word, double* value);

// Empties the parsed command: the command word and every modifier and parameter slot become
// " ", values and flags 0, quoted values "".
void clearParsedCommand();
// Splits the text after the command word into modifiers (/name or /name=value, anywhere in the
// text) and parameter words. Modifier names and unquoted parameter words are lower-cased;
// modifier values and quoted words keep the case they were typed in.
void splitModifiersAndParameters(const std::string& rest);
// Number of entries of a table before its end entry " ".
int keywordTableSize(KeywordTable table);

// Tour mode: getModifier chooses the modifiers itself, level by level, like an odometer, so
// that a driver can run every path of a command. The driver switches it on, zeroes the levels
// it walks and reads `line` after each run.
inline constexpr int kTourLevels = 10;
struct TourState {
    int on = 0;
    int level = 0; // getModifier calls in the current command
    int index[kTourLevels] = {};
    int count[kTourLevels] = {};
    std::string line;
};
TourState& tourState();
