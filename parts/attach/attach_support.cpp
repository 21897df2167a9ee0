#include "parts/attach/attach_support.h"

namespace attach {

bool modifierGiven(KeywordTable table) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, kSeveralModifiers);
    return found != 0;
}

ModifierValue modifierValue(KeywordTable table) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, kSeveralModifiers);
    ModifierValue v;
    v.given = found != 0;
    v.several = several != 0;
    if (found && modifierHasValue[index]) v.text = quotedStrings[index];
    return v;
}

} // namespace attach
