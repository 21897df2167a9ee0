// Reading the arguments of the geometry commands from the parsed command: object and surface
// numbers from numeric values, and the chosen entry of a modifier table.
#pragma once

#include <cmath>

#include "command/interpreter/parsed_command.h"

// A typed number as an object or surface number: truncated toward zero, with anything beyond
// +-1000000 (and NaN) kept at a value that names no object, so that later index arithmetic
// stays inside int.
inline int commandNumberValue(double value) {
    constexpr double kLimit = 1000000.0;
    if (std::isnan(value)) return 0;
    if (value > kLimit) return static_cast<int>(kLimit);
    if (value < -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(value);
}

// The index in `table` of the modifier the command gives for it, or defaultIndex when it gives
// none. Several matches warn with `label` (" " keeps quiet) and the first one counts.
int modifierChoice(KeywordTable table, int defaultIndex, const char* label);

// Reads the first `count` named values of the command into numericValues / numericGiven.
void readCommandValues(KeywordTable names, int count);
// The value when given, else the fallback.
double valueOr(int slot, double fallback);
