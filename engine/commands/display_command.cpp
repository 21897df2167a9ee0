#include "engine/commands/display_command.h"

#include "command/messages/messages.h"
#include "engine/commands/command_values.h"
#include "engine/commands/listing.h"
#include "engine/files/ray_dump.h"
#include "engine/files/ray_files.h"

namespace {

const char* const kDisplayItems[] = {"parameters",  "object",    "surface",
                                     "subassembly", "photocalc", "altsurfaces",
                                     "rays",        "extents",   " "};
enum DisplayItem {
    kParameters,
    kObject,
    kSurface,
    kSubassembly,
    kPhotocalc,
    kAltsurfaces,
    kRays,
    kExtents,
};
const char* const kFileWords[] = {"file", " "};
const char* const kRayParts[] = {"both", "locations", "directions", " "};

const char* const kObjectValues[] = {"object", " "};
const char* const kSurfaceValues[] = {"object", "surface", " "};
const char* const kSubassemblyValues[] = {"subassembly", " "};

int displayRays() {
    const int part = modifierChoice(kRayParts, 0, "ray data");
    if (openRayFile() < 0) {
        outText(outputChannel, "No ray data.\n");
        return 1;
    }
    printRayData(outputChannel, part != 2, part != 1);
    // The dump closes the file when it reads to its end; nothing may stay open after it.
    if (rayFileHandle >= 0) closeRayFile();
    return 1;
}

} // namespace

int displayCommand() {
    const int item = modifierChoice(kDisplayItems, kObject, "item");
    const int toFile = modifierChoice(kFileWords, -1, " ") == 0;
    if (item == kRays) return displayRays();

    int a = 0, b = 0, all = 0;
    switch (item) {
    case kObject:
    case kParameters:
        readCommandValues(kObjectValues, 1);
        all = !numericGiven[0];
        a = commandNumberValue(valueOr(0, 0)) - 1;
        break;
    case kSurface:
    case kExtents:
    case kAltsurfaces:
        readCommandValues(kSurfaceValues, 2);
        all = !numericGiven[0];
        a = commandNumberValue(valueOr(1, 0));
        b = commandNumberValue(valueOr(0, 0)) - 1;
        break;
    case kSubassembly:
        readCommandValues(kSubassemblyValues, 1);
        a = commandNumberValue(valueOr(0, 0));
        break;
    default:
        break;
    }
    listCommand(kDisplayItems[item], a, b, all, toFile);
    return 1;
}
