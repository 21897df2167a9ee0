// Numbers as text in the C locale, whatever locale the process runs under: the model's files and
// reports always use "." as the decimal point, and a catalog written that way reads back the same
// under any user locale.
#pragma once

#include <locale.h>

#include <string>

// The C locale, made once.
locale_t cTextLocale();

// printf into a string of any length, in the C locale.
std::string formatCText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Readers with the semantics of sscanf's conversions, in the C locale. Each skips leading blanks
// and, when a value is there, stores it, moves `text` past it and returns true; otherwise it
// returns false and leaves both unchanged.
bool scanCDouble(const char*& text, double& value);                 // %lg
bool scanCLong(const char*& text, long& value);                     // %ld
bool scanCWord(const char*& text, std::string& value);              // %s (any length)
