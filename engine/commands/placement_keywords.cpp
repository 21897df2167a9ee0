#include "engine/commands/placement_keywords.h"

#include "command/messages/messages.h"
#include "engine/commands/command_values.h"
#include "engine/model/current_objects.h"
#include "engine/commands/placement_commands.h"

namespace {

const char* const kItemKinds[] = {"object", "subassembly", " "};
const char* const kPlaceModes[] = {"global", "relative", "inside", "rotations", " "};
const char* const kTranslateFrames[] = {"global", "local", " "};
const char* const kRotateFrames[] = {"global", "local", "relative", " "};
const char* const kAxes[] = {"x", "y", "z", " "};

const char* const kGlobalPlaceValues[] = {"object", "x", "y", "z", " "};
const char* const kRelativePlaceValues[] = {"object", "irefitem", "x", "y", "z", " "};
const char* const kRotationsPlaceValues[] = {"object", "x",     "y",         "z", "alpha",
                                             "beta",   "gamma", "in_object", " "};
const char* const kTranslateValues[] = {"object", "x", "y", "z", " "};
const char* const kRotateValues[] = {"object", "angle", " "};
const char* const kRotateRelativeValues[] = {"object", "reference_object", "angle", " "};
const char* const kRemoveValues[] = {"object", " "};

constexpr int kObjectKind = 0;

void itemNumberMissing() {
    errorText(outputChannel, "Item number not given. Command ignored.\n");
}

} // namespace

int placeCommand() {
    if (modifierChoice(kItemKinds, kObjectKind, "Multiple item type modifiers not permitted.") !=
        kObjectKind)
        return 0;
    const int mode = modifierChoice(kPlaceModes, 0, "place mode");
    const bool rotations = mode == 3;
    const bool withReference = mode == 1 || mode == 2;
    if (rotations)
        readCommandValues(kRotationsPlaceValues, 8);
    else if (withReference)
        readCommandValues(kRelativePlaceValues, 5);
    else
        readCommandValues(kGlobalPlaceValues, 4);

    int number = 0;
    if (numericGiven[0])
        number = commandNumberValue(numericValues[0]);
    else if (lastDefinedObject > 0)
        number = lastDefinedObject;
    else {
        itemNumberMissing();
        return 0;
    }

    if (rotations) {
        const int parent = commandNumberValue(valueOr(7, 0));
        if (parent != 0) outText(outputChannel, "reference item =%d\n", parent);
        return activateObject(number, valueOr(1, 0), valueOr(2, 0), valueOr(3, 0), valueOr(4, 0),
                              valueOr(5, 0), valueOr(6, 0), parent);
    }
    int reference = 0;
    int first = 1; // slot of x
    if (withReference) {
        reference = numericGiven[1] ? commandNumberValue(numericValues[1]) : lastActivatedObject;
        first = 2;
    }
    return placeObjectRelative(kPlaceModes[mode], number, reference, valueOr(first, 0),
                               valueOr(first + 1, 0), valueOr(first + 2, 0));
}

int translateCommand() {
    const int kind =
        modifierChoice(kItemKinds, kObjectKind, "Multiple define modifiers not permitted.");
    const int frame = modifierChoice(kTranslateFrames, 0, "coordinate frame");
    readCommandValues(kTranslateValues, 4);
    if (kind != kObjectKind) return 0;
    if (!numericGiven[0]) {
        itemNumberMissing();
        return 0;
    }
    // The confirmation follows a move that happened, never a refusal.
    if (!moveObject("object", kTranslateFrames[frame], commandNumberValue(numericValues[0]),
                    valueOr(1, 0), valueOr(2, 0), valueOr(3, 0)))
        return 0;
    outText(outputChannel, "Translate/%s.\n", kTranslateFrames[frame]);
    return 1;
}

int rotateCommand() {
    const int kind =
        modifierChoice(kItemKinds, kObjectKind, "Multiple define modifiers not permitted.");
    const int frame = modifierChoice(
        kRotateFrames, 1, "You cant have it both ways. Select one coordinate reference frame.");
    const int axis = modifierChoice(kAxes, -1, "Multiple axes modifiers not permitted.");
    if (kind != kObjectKind) return 0;
    if (axis < 0) {
        errorText(outputChannel, "Rotation axis must be specified.\n");
        return 0;
    }
    const bool relative = frame == 2;
    if (relative)
        readCommandValues(kRotateRelativeValues, 3);
    else
        readCommandValues(kRotateValues, 2);
    const int angleSlot = relative ? 2 : 1;
    if (!numericGiven[0]) {
        itemNumberMissing();
        return 0;
    }
    if (relative && !numericGiven[1]) {
        errorText(outputChannel, "Reference item number not give.  Command ignored.\n");
        return 0;
    }
    if (!numericGiven[angleSlot]) {
        errorText(outputChannel, "Angle not given. Command ignored.\n");
        return 0;
    }
    const int number = commandNumberValue(numericValues[0]);
    const int reference = relative ? commandNumberValue(numericValues[1]) : 0;
    if (number <= 0) {
        errorText(outputChannel, "Illegal object number.  Command ignored.\n");
        return 0;
    }
    if (relative && reference <= 0) {
        errorText(outputChannel, "Illegal reference object number.  Command ignored.\n");
        return 0;
    }
    return rotateObject(kRotateFrames[frame], kAxes[axis], number, reference,
                        numericValues[angleSlot]);
}

int removeCommand() {
    const int kind =
        modifierChoice(kItemKinds, kObjectKind, "Multiple define modifiers not permitted.");
    readCommandValues(kRemoveValues, 1);
    if (kind != kObjectKind) return 0;
    if (!numericGiven[0]) {
        itemNumberMissing();
        return 0;
    }
    return removeObject("object", commandNumberValue(numericValues[0]));
}
