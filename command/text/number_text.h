// Numbers as text, whatever locale the process runs under: the one place where the program turns
// doubles into text and text into doubles for its files, commands, listings and fields. Every
// text uses "." as the decimal point; every reader takes a point and only a point.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// The longest word the command reader takes as a number.
inline constexpr std::size_t kNumberTextLimit = 20;

// The shortest text that reads back to the same double: the text of "%lg" wherever that reads
// back exactly (1.5, 100, -0.5, 1e+21), else the fewest significant digits (7 to 17) in the
// same form. Where that form is longer than kNumberTextLimit, its shortest spelling without the
// zero before the point and with a short exponent (-.030000000000000002, 1.2e-5); when no
// spelling of that length reads back exactly, the closest one that fits, and the miss is counted
// (see numberTextMisses).
std::string numberText(double value);
void appendNumberText(std::string& out, double value);
// Each value as numberText writes it, after a blank: " 1.5 -2 0.1".
std::string numberWords(std::initializer_list<double> values);
std::string numberWords(const double* values, std::size_t count);
// How many numbers numberText could not write exactly within kNumberTextLimit characters since
// the count was last set to 0 (a writer of command files clears it first and reports it after).
int& numberTextMisses();
// Clears the count.
void resetNumberTextState();

// A 32-bit float (a binary STL coordinate): the fewest digits, at least six, that give the same
// float back.
std::string floatNumberText(float value);

// As "%.*g" with `digits` significant digits, and as "%f".
void appendGeneralText(std::string& out, double value, int digits = 6);
std::string generalText(double value, int digits = 6);
void appendFixedText(std::string& out, double value);
std::string fixedText(double value);

// printf into a string of any length, in the C locale.
std::string formatCText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatCTextV(const char* format, std::va_list args);

// A whole text as a number: blanks around it allowed, nothing else after it; nullopt for an
// empty text, no number, or a value that is not finite.
std::optional<double> parseNumberText(std::string_view text);
// The same for a whole number within +-2e9.
std::optional<long> parseIntegerText(std::string_view text);

// strtod in the C locale.
double readCDouble(const char* text, char** end);
// Readers with the semantics of sscanf's conversions, in the C locale. Each skips leading blanks
// and, when a value is there, stores it, moves `text` past it and returns true; otherwise it
// returns false and leaves both unchanged.
bool scanCDouble(const char*& text, double& value);    // %lg
bool scanCLong(const char*& text, long& value);        // %ld
bool scanCWord(const char*& text, std::string& value); // %s (any length)
