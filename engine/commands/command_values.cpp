#include "engine/commands/command_values.h"

#include <cstring>

int modifierChoice(KeywordTable table, int defaultIndex, const char* label) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, label);
    if (!found) return defaultIndex;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return defaultIndex;
}

void readCommandValues(KeywordTable names, int count) {
    getNumericValues(numericValues, names, count, numericGiven);
}

double valueOr(int slot, double fallback) {
    return numericGiven[slot] ? numericValues[slot] : fallback;
}
