#include "command/general/general_commands.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/general/highlighting.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/general/sun_position.h"

namespace {

const char* const kEchoSwitch[] = {"on", "off", " "};
const char* const kEchoKinds[] = {"basic",         "expanded", "alias", "rayhilite",
                                  "surfacehilite", "chosen",   "opl", " "};
const char* const kRayHighlightValues[] = {"parent", "decendant", "color", " "};
const char* const kSurfaceHighlightValues[] = {"object", "surface", "color", " "};

enum EchoKind { kBasic, kExpanded, kAlias, kRayHighlight, kSurfaceHighlight, kChosen, kOpl };

// Which entry of a table the command names; `fallback` when none does.
int modifierChoice(KeywordTable table, int fallback) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, " ");
    if (!found) return fallback;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return fallback;
}

// A command value as an int; values beyond the int range stop at its ends.
int toInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// The three values of a highlighting form: when the first is given they set the highlighting
// (reported only under the verbose echo); without it the state is reported.
void highlightValues(KeywordTable names, int (*set)(int, int, int)) {
    getNumericValues(numericValues, names, 3, numericGiven);
    if (numericGiven[0]) {
        set(toInt(numericValues[0]), toInt(numericValues[1]), toInt(numericValues[2]));
        if (verboseOn) printHighlighting(outputChannel);
    } else {
        printHighlighting(outputChannel);
    }
}

} // namespace

int echoCommand() {
    const int on = modifierChoice(kEchoSwitch, 0) == 0 ? 1 : 0;
    switch (modifierChoice(kEchoKinds, kBasic)) {
    case kBasic:
        verboseOn = on;
        break;
    case kExpanded:
        echoOn = on;
        break;
    case kAlias:
        aliasList(outputChannel);
        break;
    case kRayHighlight:
        highlightValues(kRayHighlightValues, setRayHighlight);
        break;
    case kSurfaceHighlight:
        highlightValues(kSurfaceHighlightValues, setSurfaceHighlight);
        break;
    default: // chosen and opl: the ray-output command that follows echo handles them
        break;
    }
    return 1;
}

int readc() {
    outText(outputChannel, " readc not implemented\n");
    return 1;
}

int photomc() {
    outText(outputChannel, " photomc not implemented\n");
    return 1;
}

void registerGeneralCommands() {
    setCommandHandler("echo", [](CQelDoc&) { return echoCommand(); });
    setCommandHandler("read", [](CQelDoc&) { return readc(); });
    setCommandHandler("photometry", [](CQelDoc&) { return photomc(); });
    installSunHooks();
}
