#include "parts/ray_output_command.h"

#include <string>

#include "command/general/file_names.h"
#include "command/interpreter/parsed_command.h"
#include "command/messages/messages.h"
#include "parts/output/ray_output_state.h"

namespace {

const char* const kOplWord[] = {"opl", " "};
const char* const kChosenWord[] = {"chosen", " "};
const char* const kNameWord[] = {"name", " "};
const char* const kBinaryWord[] = {"binary", " "};
const char* const kOplModes[] = {"short", "prewfm", " "};
const char* const kShortWord[] = {"short", " "};

constexpr const char* kSeveral = "Multiple modifiers not permitted.";

bool given(KeywordTable table) {
    int found = 0, several = 0, index = 0;
    getModifier(table, &found, &several, &index, kSeveral);
    return found != 0;
}

// The value of the modifier name. Returns false when name is given several times; `value` is
// empty when name is absent or has no value.
bool nameValue(std::string& value) {
    int found = 0, several = 0, index = 0;
    getModifier(kNameWord, &found, &several, &index, kSeveral);
    value.clear();
    if (several) return false;
    if (found && modifierHasValue[index]) value = quotedStrings[index];
    return true;
}

int opticalPathCommand() {
    RayOutputState& s = rayOutputState();
    std::string name;
    if (!nameValue(name)) return 0;
    if (name.empty()) {
        outText(outputChannel, " No file name given.\n");
        return 0;
    }
    if (!outputNameUsable(name)) return 0;
    int mode = kOplFull;
    int found = 0, several = 0, index = 0;
    getModifier(kOplModes, &found, &several, &index, kSeveral);
    if (found && std::string(modifierWords[index]) == "prewfm") {
        mode = kOplPreWavefront;
        outText(outputChannel, "Pre-wavefront map mode selected.\n");
    } else if (found) {
        mode = kOplShort;
        outText(outputChannel, "Short mode selected.\n");
    }
    const char* fileHeader = mode == kOplPreWavefront
                                 ? "\tLambda,\t\t\tOPL,\t\tX\t\tY\t\tZ\t\tdX\t\tdY\t\tdZ\n"
                                 : "\tLambda,\t\t\tOPL,\t\tOPL(Air),\t\t\tOPL(Media)\n";
    if (!writeWholeFile(name, fileHeader)) {
        s.oplMode = kOplOff;
        errorText(outputChannel, "Unable to open %s\n", name.c_str());
        return 0;
    }
    s.oplFileName = name;
    s.oplMode = mode;
    if (mode == kOplPreWavefront)
        outText(outputChannel, "%s", fileHeader);
    else
        outText(outputChannel, "           Lambda,              OPL,              OPL(Air),"
                               "          OPL(Media)\n");
    return 1;
}

int chosenRayCommand() {
    RayOutputState& s = rayOutputState();
    s.oplMode = kOplOff;
    // The rays chosen so far go out before the pair is closed (a failure is said).
    closeChosenRayFiles();
    std::string name;
    if (!nameValue(name)) return 0;
    if (name.empty()) {
        outText(outputChannel, " No file name given, file closed.\n");
        return 1;
    }
    const bool binary = given(kBinaryWord);
    const std::string indexName = binary ? chosenIndexFileName(name) : std::string();
    if (!outputNameUsable(name) || (binary && !outputNameUsable(indexName))) return 0;
    const int mode = given(kShortWord) ? kChosenShort : kChosenFull;
    if (binary) {
        s.chosenBinary = 1;
        outText(outputChannel, "Binary chosen mode selected.\n");
        // A data name that is its own index name would have two streams writing one file.
        if (indexName != name) {
            s.chosenFile = createOutputFile(name, true);
            if (s.chosenFile) s.chosenIndexFile = createOutputFile(indexName, true);
            if (!s.chosenIndexFile) closeChosenRayFiles();
        }
        s.recordOffset = kChosenHeaderBytes;
    } else {
        s.chosenBinary = 0;
        s.chosenFile = createOutputFile(name, false);
        outText(outputChannel, "ASCII text chosen mode selected.\n");
    }
    if (!s.chosenFile) {
        errorText(outputChannel, "Unable to open %s\n", name.c_str());
        return 0;
    }
    // While open, the pair is the program's own: no other output may land on it.
    s.chosenName = name;
    s.chosenIndexName = indexName;
    markFileInUse(name);
    if (binary) markFileInUse(indexName);
    if (!s.chosenBinary)
        std::fputs("X,Y,Z,Trans.,Sequence,XMIN,YMIN,ZMIN,XMAX,YMAX,ZMAX,DETX,DETY,DETZ\n",
                   s.chosenFile);
    s.chosenMode = mode;
    if (mode == kChosenShort) outText(outputChannel, "Short mode selected.\n");
    if (s.chosenBinary) {
        std::string tag;
        appendLittleEndianDouble(tag, 1.0 + mode * 0.1);
        std::fwrite(tag.data(), 1, tag.size(), s.chosenFile);
    }
    return 1;
}

} // namespace

int RayOutputCommand() {
    if (given(kOplWord)) return opticalPathCommand();
    if (given(kChosenWord)) return chosenRayCommand();
    return 0;
}
