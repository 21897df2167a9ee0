#include "ui/compose/command_dialog.h"

#include <cstring>

#include "command/interpreter/reader.h"
#include "command/text/number_text.h"
#include "parts/templates/define_params.h"
#include "ui/compose/field_text.h"

namespace {

constexpr std::size_t kObjectNameLength = 19;

void clearRedefinition(const CommandDialogContext& context) {
    if (context.clearRedefinitionMark) context.clearRedefinitionMark();
    redefineMode = 0;
}

bool isDefinePath(const std::string& path) {
    return path.compare(0, 6, "define") == 0;
}

} // namespace

std::string sideSuffix(int mode, ReflectiveSide side) {
    if (side == ReflectiveSide::Both) return "/both";
    const bool front = side == ReflectiveSide::Front;
    switch (mode) {
    case 2: return front ? "/inside" : "/outside";
    case 3: return front ? "/concave" : "/convex";
    default: return front ? "/front" : "/back";
    }
}

std::string parameterRefusal(const ParameterRequest& answer) {
    // Mode 0 has no name field; below 0 an empty name stands for an unnamed object.
    if (answer.mode != 0 && !answer.objectName.empty() &&
        !isObjectField(answer.objectName, kObjectNameLength))
        return commandNameRefusal("Object name", kObjectNameLength);
    return {};
}

std::optional<std::string> composeCommandDialog(int mode, const std::string& path,
                                                const CommandDialogContext& context,
                                                CommandDialogSeam& seam) {
    // 1. The template; presets made before survive the load.
    const bool found = path.size() >= 3 && path.size() <= 254 &&
                       defineParams.LoadTemplate(path.c_str()) != 0;
    // 2.
    if (context.verifyTrace) seam.infoBox("start to fill parambox");
    // 3. A define path asks for the new object's name first.
    std::string name;
    if (isDefinePath(path)) {
        std::string refusal;
        for (;;) {
            auto answer = seam.askObjectName(refusal);
            if (!answer) {
                clearRedefinition(context);
                return std::nullopt;
            }
            if (answer->empty() || isCommandName(*answer, kObjectNameLength)) {
                name = *answer;
                break;
            }
            refusal = commandNameRefusal("Object name", kObjectNameLength);
        }
    }
    ParameterRequest request;
    request.mode = mode;
    // 4. The selected object.
    if (mode < 0) {
        if (context.viewObject < 1) {
            seam.infoBox("Error: no object defined.");
            clearRedefinition(context);
            return std::nullopt;
        }
        request.values[0] = context.viewObject;
        name = context.viewObjectLabel;
        if (!name.empty() && name[0] >= '0' && name[0] <= '9') name.clear();
    }
    // 5.
    if (!found) {
        seam.infoBox("Error: Could not obtain parameters for " + path + "\n");
        clearRedefinition(context);
        return std::nullopt;
    }
    // 6. The template's values fill the fields.
    if (context.verifyTrace) seam.infoBox("commence filling box values");
    for (int i = 0; i < kParameterRows; ++i) {
        const char* text = defineParams.paramValues[i];
        if (text[0] == '\0') continue;
        if (auto v = parseNumberText(text))
            request.values[i] = *v;
        else
            request.values[i] = 0; // a value word that is no number reads as 0
    }
    if (context.verifyTrace) seam.infoBox("setting param names");
    request.count = defineParams.paramCount < 0             ? 0
                    : defineParams.paramCount > kParameterRows ? kParameterRows
                                                             : defineParams.paramCount;
    for (int i = 0; i < request.count; ++i)
        request.names[i] = defineParams.paramNames[i];
    request.title = path;
    request.objectName = name;
    if (context.verifyTrace) seam.infoBox("ready to do modal");
    // 7. The parameter dialog, except for a define path.
    if (!isDefinePath(path)) {
        std::string refusal;
        for (;;) {
            if (!seam.askParameters(request, refusal)) {
                clearRedefinition(context);
                return std::nullopt;
            }
            refusal = parameterRefusal(request);
            if (refusal.empty()) break;
        }
        name = request.objectName;
    }
    int count = request.count;
    auto values = request.values;
    // 8. A named object travels as its name, not its number.
    if (mode < 0 && !name.empty()) {
        for (int i = 0; i + 1 < kParameterRows; ++i)
            values[i] = values[i + 1];
        values[kParameterRows - 1] = 0;
        count = count > 0 ? count - 1 : 0;
    }
    // 9.
    if (mode == -3 && request.doAll) count = -1;
    // 10.
    std::string text = path;
    if (count >= 0) {
        text += " " + name;
        for (int i = 0; i < count; ++i)
            text += " " + numberText(values[i]);
    }
    const std::size_t wordEnd = std::min(path.find(' '), path.size());
    // 11. The data-output file goes right after the path word.
    if (mode == -2 && context.dataOutputOn)
        text = text.substr(0, wordEnd) + "/filename=" + fileNameValue(context.dataOutputFile) +
               text.substr(wordEnd);
    // 12. Mirrors and cavities: the reflective side.
    if (mode >= 2 && mode <= 4) {
        auto side = seam.askSide(mode);
        if (!side) {
            clearRedefinition(context);
            return std::nullopt;
        }
        text = text.substr(0, wordEnd) + sideSuffix(mode, *side) + text.substr(wordEnd);
    }
    if (text.size() > kComposedCommandLimit) {
        seam.errorBox("Error: command too long: " + text.substr(0, 40) + "...");
        clearRedefinition(context);
        return std::nullopt;
    }
    return text;
}
