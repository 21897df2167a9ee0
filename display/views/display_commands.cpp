#include "display/views/display_commands.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "command/document/document.h"
#include "command/general/file_names.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/messages/messages.h"
#include "display/analysis/angular_analysis.h"
#include "display/analysis/film_plane_analysis.h"
#include "display/plot/plot_primitives.h"
#include "display/raster/bitmap_holder.h"
#include "display/views/segment_3d.h"
#include "display/views/view_modes.h"
#include "engine/commands/listing.h"

namespace {

const char* const kExportWords[] = {"iges", " "};
const char* const kViewTypeWords[] = {"system", "film",  "maxwellian", "from_object", "orthogonal",
                                      "x",      "y",     "z",          "energy",      "intensity",
                                      "image",  "polar", " "};
const char* const kScalingWords[] = {"zero_based", "min_based", "absolute", " "};
const char* const kPaletteWords[] = {"gray", "spectrum", " "};
const char* const kNameWords[] = {"name", " "};
const char* const kEnergyTypes[] = {"xlinear", "encircled", "ylinear", "polar", " "};
const char* const kFileNameWords[] = {"filename", " "};

constexpr std::size_t kIgesNameChars = 80;

enum { kMinBased = 1 };
enum { kGray = 0, kSpectrum = 1 };
enum { kEncircled = 1, kPolar = 3 };

// The entry of a table that the command's modifiers name (the first of several), or -1.
int modifierChoice(KeywordTable table) {
    int found = 0, many = 1, index = 0;
    getModifier(table, &found, &many, &index, " ");
    if (!found) return -1;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return -1;
}

// The value text of a modifier of the table (name=value), or nothing.
bool modifierValue(KeywordTable table, std::string& value) {
    int found = 0, many = 1, index = 0;
    getModifier(table, &found, &many, &index, " ");
    if (!found || !modifierHasValue[index]) return false;
    value = quotedStrings[index];
    return true;
}

} // namespace

ViewOptionsState& viewOptionsState() {
    static ViewOptionsState s;
    return s;
}

void resetViewOptionsState() {
    viewOptionsState() = ViewOptionsState{};
}

std::string viewTypeWord() {
    int found = 0, several = 1, index = 0;
    getModifier(kViewTypeWords, &found, &several, &index, " ");
    if (several) {
        errorText(outputChannel, "Multiple view modifiers not permitted.\n");
        return {};
    }
    return found ? modifierWords[index] : "system";
}

int viewCommandOptions() {
    const bool iges = modifierChoice(kExportWords) >= 0;
    const std::string type = viewTypeWord();
    if (type.empty()) return 0;
    if (iges && !beginLineExport(kDefaultIgesName)) {
        errorText(outputChannel, "Unable to open iges output file.\n");
        return 0;
    }
    // Only the energy plot has a scaling; looked up for any view, its unique-prefix match would
    // take the view word "z" for "zero_based".
    if (type == "energy" && modifierChoice(kScalingWords) == kMinBased)
        viewModeState().zeroBasedScaling = 0;
    const int palette = modifierChoice(kPaletteWords);
    if (palette >= 0) greyPalette = palette == kGray ? 1 : 0;
    const int result = viewCommand(type.c_str());
    // The repaint ends the export when it draws; a view that drew nothing leaves it to us.
    if (iges) endLineExport();
    return result;
}

int igesCommand() {
    std::string name;
    if (!modifierValue(kNameWords, name) || name.empty()) {
        name = kDefaultIgesName;
        warningText(outputChannel, " No file name given, Name set to %s.\n", name.c_str());
    }
    // The command's name slot holds 80 characters; never under a longer or a cut name, never
    // over one of the program's own files.
    if (name.size() > kIgesNameChars) {
        errorText(outputChannel, " File name too long, command ignored.\n");
        return 0;
    }
    if (!outputNameUsable(name)) return 0;
    std::error_code ec;
    // A link counts as there even when it leads nowhere: never write through it.
    if (std::filesystem::exists(std::filesystem::symlink_status(name, ec))) {
        errorText(outputChannel, " File %s already exists, command ignored.\n", name.c_str());
        return 0;
    }
    if (!beginLineExport(name)) {
        errorText(outputChannel, "Error opening file: %s\n", name.c_str());
        return 0;
    }
    viewCommand("system");
    return endLineExport() ? 1 : 0;
}

int energyCommand() {
    const int type = modifierChoice(kEnergyTypes);
    std::string file;
    if (modifierValue(kFileNameWords, file) && !file.empty() && !outputNameUsable(file)) return 0;
    if (type == kPolar) return angularCommand();
    return filmPlaneCommand(kEnergyTypes[type < 0 ? kEncircled : type], file);
}

void registerDisplayCommands() {
    // The listing's display-file branch writes into the display file that view/save opened.
    listingHooks().displayFile = []() -> std::FILE* {
        const PlotState& s = plotState();
        return s.displayFileOpen ? s.displayFile : nullptr;
    };
    setCommandHandler("view", [](CQelDoc&) { return viewCommandOptions(); });
    setCommandHandler("iges", [](CQelDoc&) { return igesCommand(); });
    setCommandHandler("energy", [](CQelDoc&) { return energyCommand(); });
    // A new document starts without a rendered image.
    documentSteps().clearModel.push_back([](CQelDoc&) {
        imageDib.clear();
        solidMode = 0;
    });
}
