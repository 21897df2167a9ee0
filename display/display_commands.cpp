#include "display/display_commands.h"

#include "command/command_table.h"
#include "command/messages.h"
#include "command/parsed_command.h"
#include "display/plot_primitives.h"
#include "display/view_modes.h"
#include "engine/listing.h"

namespace {

const char* const kViewTypeWords[] = {"system", "film",  "maxwellian", "from_object", "orthogonal",
                                      "x",      "y",     "z",          "energy",      "intensity",
                                      "image",  "polar", " "};

} // namespace

std::string viewTypeWord() {
    int found = 0, several = 1, index = 0;
    getModifier(kViewTypeWords, &found, &several, &index, " ");
    if (several) {
        errorText(outputChannel, "Multiple view modifiers not permitted.\n");
        return {};
    }
    return found ? modifierWords[index] : "system";
}

void registerDisplayCommands() {
    // The listing's display-file branch writes into the display file that view/save opened.
    listingHooks().displayFile = []() -> std::FILE* {
        const PlotState& s = plotState();
        return s.displayFileOpen ? s.displayFile : nullptr;
    };
    addCommandHandler("view", [](CQelDoc&) {
        const std::string word = viewTypeWord();
        return word.empty() ? 0 : viewCommand(word.c_str());
    });
}
