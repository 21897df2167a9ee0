// The UserParamNames answer of the system's plug-ins, from a table of nine names.
#pragma once

#include <cstring>

#include "plugin_interface.h"

namespace {

// The slot byte is read unsigned, so no value can index outside the table.
inline int answerParamName(const char* const (&names)[MERIDYN_PARAM_SLOTS], char* buffer) {
    if (!buffer) return 1;
    unsigned slot = static_cast<unsigned char>(buffer[0]);
    buffer[0] = '\0';
    if (slot < MERIDYN_PARAM_SLOTS) {
        std::size_t n = std::strlen(names[slot]);
        if (n > MERIDYN_PARAM_NAME_LENGTH) n = MERIDYN_PARAM_NAME_LENGTH;
        std::memcpy(buffer, names[slot], n);
        buffer[n] = '\0';
    }
    return 1;
}

} // namespace
