#include "command/macros.h"

#include "command/reader.h"

MacroState& macroState() {
    static MacroState s;
    return s;
}

void resetMacroState() {
    auto& m = macroState();
    for (auto& level : m.levels)
        if (level.stream) std::fclose(level.stream);
    m = MacroState{};
}
