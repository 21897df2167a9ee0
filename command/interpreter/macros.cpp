#include "command/interpreter/macros.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "command/general/file_names.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "platform/safe_file.h"

namespace fs = std::filesystem;

namespace {

// A name that can be run as a macro: a regular file (never a directory, a device or a pipe,
// which could block the program or never end a line).
bool macroFileExists(const std::string& name) {
    std::error_code ec;
    return fs::is_regular_file(name, ec);
}

// lamp and lamp.txt become lamp.mac; only the last component of a path is changed.
std::string correctedMacroName(const std::string& name) {
    std::size_t base = name.rfind('/');
    base = base == std::string::npos ? 0 : base + 1;
    std::size_t dot = name.find('.', base);
    return name.substr(0, dot == std::string::npos ? name.size() : dot) + ".mac";
}

int iterationCount(double value) {
    double v = std::floor(value + 0.001);
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

} // namespace

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

void macroCommand() {
    static const char* const operations[] = {"run", "end", "exit", "check", " "};
    auto& m = macroState();
    int found = 0, several = 0, index = 0;
    getModifier(operations, &found, &several, &index, "operation");
    if (several) return;
    std::string operation = found ? modifierWords[index] : "run";
    bool checking = false;
    if (operation == "check") {
        m.macroCheckMode = 1;
        m.macroCheckErrors = 0;
        m.macroCheckLevel = macroTop;
        checking = true;
        operation = "run";
    }
    if (operation == "run") {
        if (macroTop < kMacroLevelLimit)
            macroOpen();
        else
            outText(outputChannel, " Maxmium macro level exceeded, command ignored\n");
        if (checking && macroTop == m.macroCheckLevel) m.macroCheckMode = 0;
    } else if (operation == "end") {
        macroEnd();
    } else if (operation == "exit") {
        macroExit();
    }
}

void macroOpen() {
    static const char* const nameTable[] = {"name", " "};
    static const char* const iterationNames[] = {"iterations", " "};
    int found = 0, several = 0, index = 0;
    getModifier(nameTable, &found, &several, &index, "file name");
    if (!found || !modifierHasValue[index] || quotedStrings[index][0] == '\0') {
        errorText(outputChannel, " No macro name given, command ignored.\n");
        return;
    }
    std::string name = quotedStrings[index];
    if (!inputNameUsable(name)) return;
    if (!macroFileExists(name)) {
        std::string corrected = correctedMacroName(name);
        if (!macroFileExists(corrected)) {
            if (name.size() <= 39) {
                errorText(outputChannel, " Macro file %s not found, command ignored.\n",
                          name.c_str());
            } else {
                errorText(outputChannel, " Macro file %s", name.c_str());
                outText(outputChannel, " not found, command ignored\n");
            }
            return;
        }
        outText(outputChannel, "Macro file name corrected: %s\n", corrected.c_str());
        name = corrected;
    }
    getNumericValues(numericValues, iterationNames, 1, numericGiven);
    int iterations = numericGiven[0] ? iterationCount(numericValues[0]) : 1;
    // Commands after a macro call on the same line are not run.
    discardRestOfLine();
    MACPUSH(name, iterations);
}

bool MACPUSH(const std::string& fileName, int iterations) {
    auto& m = macroState();
    if (m.macroTop >= kMacroLevelLimit) {
        outText(outputChannel, " Maxmium macro level exceeded, command ignored\n");
        return false;
    }
    ++m.macroTop;
    // Only a regular file: a FIFO would hold the program until somebody writes to it.
    std::FILE* f = platform::openRegularForRead(fileName);
    if (!f) {
        outText(outputChannel, " MACPUSH - error on open\n");
        --m.macroTop;
        return false;
    }
    auto& level = m.levels[m.macroTop];
    level.stream = f;
    level.name = fileName;
    level.iterations = iterations;
    level.passes = 0;
    readerState().inputStream = f;
    return true;
}

void macroPop() {
    auto& m = macroState();
    if (m.macroTop <= 0) return;
    auto& level = m.levels[m.macroTop];
    if (level.stream) std::fclose(level.stream);
    level = MacroLevel{};
    --m.macroTop;
    readerState().inputStream =
        m.macroTop > 0 ? m.levels[m.macroTop].stream : messageState().consoleStream;
}

void macroEnd() {
    auto& m = macroState();
    if (m.macroCheckDone) {
        if (m.macroCheckErrors)
            outText(outputChannel, " Block if errors detected in macro file.\n");
        else
            outText(outputChannel, " No errors detected in macro file.\n");
        m.macroCheckDone = 0;
        m.macroCheckErrors = 0;
    }
    if (m.macroTop == 0) {
        outText(outputChannel, " No macros currently active.  Command ignored.\n");
        return;
    }
    auto& r = readerState();
    r.lineConsumed = 1;
    r.inputAtEnd = 0;
    auto& level = m.levels[m.macroTop];
    ++level.passes;
    if (level.passes < level.iterations)
        std::rewind(level.stream);
    else
        macroPop();
}

void macroExit() {
    static const char* const scopes[] = {"all", "current", " "};
    bool all = false;
    if (modifierCount >= 2 && std::strcmp(modifierWords[1], " ") != 0) {
        if (!matchKeyword(modifierWords[1], scopes, "modifier 2")) return;
        all = std::strcmp(modifierWords[1], "all") == 0;
    }
    if (macroTop == 0) {
        outText(outputChannel, " No macros currently active.  Command ignored.\n");
        return;
    }
    if (!all) {
        macroPop();
        return;
    }
    while (macroTop > 0)
        macroPop();
}

void macroNoteEndOfInput() {
    auto& m = macroState();
    if (m.macroCheckMode && m.macroTop <= m.macroCheckLevel + 1) {
        m.macroCheckMode = 0;
        m.macroCheckDone = 1;
    }
}

void macroNoteBlockIfError() {
    auto& m = macroState();
    if (m.macroCheckMode) m.macroCheckErrors = 1;
}

std::string quotedName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string macroRunCommand(const std::string& name) { return "macro/name=" + quotedName(name); }

bool macroNamePassesWhole(const std::string& name) {
    if (name.empty()) return false;
    for (unsigned char c : name)
        if (c == '|' || c < 0x20 || c == 0x7f) return false;
    return macroRunCommand(name).size() <= static_cast<std::size_t>(kLineSignificant);
}
