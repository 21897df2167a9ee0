// Reading the modifiers of the attach commands: which word of a table was given, and the value
// text of a name=value modifier.
#pragma once

#include <string>

#include "command/interpreter/parsed_command.h"

namespace attach {

// The label of a table given more than once.
inline constexpr const char* kSeveralModifiers = "Multiple modifiers not permitted.";

// True when the command gives a word of `table`.
bool modifierGiven(KeywordTable table);

// What a name=value modifier gave.
struct ModifierValue {
    bool given = false;   // the modifier is there
    bool several = false; // it is there more than once
    std::string text;     // its value text, empty when it has none
};
ModifierValue modifierValue(KeywordTable table);

} // namespace attach
