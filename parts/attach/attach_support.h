// Reading the modifiers of the attach commands: which word of a table was given, and the value
// text of a name=value modifier; the value tables they share, and the replacing and removing of
// what a part holds.
#pragma once

#include <string>

#include "command/interpreter/parsed_command.h"
#include "command/messages/messages.h"

namespace attach {

// The label of a table given more than once.
inline constexpr const char* kSeveralModifiers = "Multiple modifiers not permitted.";

// The tables of the forms that read only the object, and of the name=value modifier.
inline constexpr const char* kObjectOnly[] = {"object", " "};
inline constexpr const char* kNameWord[] = {"name", " "};

// True when the command gives a word of `table`.
bool modifierGiven(KeywordTable table);

// What a name=value modifier gave.
struct ModifierValue {
    bool given = false;   // the modifier is there
    bool several = false; // it is there more than once
    std::string text;     // its value text, empty when it has none
};
ModifierValue modifierValue(KeywordTable table);

// Empties `slot` before something new is attached to the part, saying `replacing` when it held
// something.
template <class Slot> void dropAttached(Slot& slot, const char* replacing) {
    if (!slot) return;
    outText(outputChannel, "%s", replacing);
    slot.reset();
}

// The remove action: empties `slot` and says `deleted`, or says `none` when it held nothing.
template <class Slot> int removeAttached(Slot& slot, const char* deleted, const char* none) {
    if (slot) {
        slot.reset();
        outText(outputChannel, "%s", deleted);
    } else {
        outText(outputChannel, "%s", none);
    }
    return 1;
}

} // namespace attach
