// Word steps of a logical command: numbers and aliases, the split into the parsed command and
// the marking of block-IF words.
#include <cstring>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr int kAliasNameLimit = 19;

// A parameter word that names something (an object to be) rather than a value: the pending
// alias name of a definition.
void notePossibleAlias(const char* word) {
    if (!isAsciiLetter(word[0]) || std::strchr(word, '=') || std::strcmp(word, "query") == 0)
        return;
    if (lineLengthTrimmed(word, 40) > kAliasNameLimit) {
        errorText(outputChannel, "Name %s is too many characters.  Limit is 19.\n", word);
        return;
    }
    if (aliasFindByName(word)) {
        parsedCommand().aliasInUse = 1;
        errorText(outputChannel, "Alias is already in use: %s.  Use object number.\n", word);
        return;
    }
    if (std::strchr(word, '.')) {
        warningText(outputChannel, "The decimal character . is not allowed in an alias.\n");
        return;
    }
    aliasState().pendingAliasName = word;
}

} // namespace

// Sets aliasExpanded when it expands; the flag is cleared once per command (parseNumerics), so
// handlers can tell that any word of the command named an alias.
bool aliasExpand(std::string& word) {
    if (word.empty() || !isAsciiLetter(word[0])) return false;
    std::string lower = word;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    std::size_t dot = lower.find('.');
    std::string name = lower.substr(0, dot);
    const char* text = aliasLookup(name.c_str());
    if (!text) return false;
    word = std::string(text) + (dot == std::string::npos ? std::string() : lower.substr(dot));
    readerState().aliasExpanded = 1;
    return true;
}

void parseNumerics(std::string& command) {
    auto& p = parsedCommand();
    for (int i = 0; i < kMaxNumerics; ++i) {
        p.numericValues[i] = 0;
        p.numericGiven[i] = 0;
    }
    readerState().aliasExpanded = 0;
    std::size_t pos = command.find(' ');
    if (pos == std::string::npos) return;
    std::string out = command.substr(0, pos);
    int numbers = 0;
    while (pos < command.size()) {
        while (pos < command.size() && command[pos] == ' ')
            ++pos;
        if (pos >= command.size()) break;
        std::size_t end = command.find(' ', pos);
        if (end == std::string::npos) end = command.size();
        std::string word = command.substr(pos, end - pos);
        pos = end;
        std::string typed = word;
        if (aliasExpand(word) && readerState().verboseOn)
            outText(outputChannel, "%s <- %s\n", typed.c_str(), word.c_str());
        double value = 0;
        if (parseNumber(word.c_str(), &value)) {
            if (numbers < kMaxNumerics) {
                p.numericValues[numbers] = value;
                p.numericGiven[numbers] = 1;
            }
            ++numbers;
            continue;
        }
        out += ' ';
        out += word;
    }
    if (numbers > kMaxNumerics)
        errorText(outputChannel, " Too many numeric parameters.  Excess numerics ignored.\n");
    command = out;
}

void splitCommandWords(const std::string& command) {
    auto& p = parsedCommand();
    // parseNumerics ran first; keep its numbers.
    double values[kMaxNumerics];
    int given[kMaxNumerics];
    std::memcpy(values, p.numericValues, sizeof values);
    std::memcpy(given, p.numericGiven, sizeof given);
    clearParsedCommand();
    std::memcpy(p.numericValues, values, sizeof values);
    std::memcpy(p.numericGiven, given, sizeof given);
    clearPendingAlias();
    tourState().level = 0;

    if (command.find_first_not_of(' ') == std::string::npos) return;
    if (command[0] == '/') {
        outText(outputChannel, " Error in input line, illegal use of /.\n");
        return;
    }
    std::size_t end = command.find_first_of(" /");
    std::string word = command.substr(0, std::min(end, command.size()));
    if (word.size() > static_cast<std::size_t>(kKeywordChars)) word.resize(kKeywordChars);
    for (char& c : word)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    std::strcpy(p.commandWord, word.c_str());
    if (end != std::string::npos) splitModifiersAndParameters(command.substr(end));

    for (int w = 0; w < kMaxParameterWords && std::strcmp(p.parameterWords[w], " ") != 0; ++w)
        notePossibleAlias(p.parameterWords[w]);
}

void markBlockIf() {
    static const struct {
        const char* typed;
        const char* marked;
    } marks[] = {{"ifthen", "IFTHEN"}, {"elseif", "LSEIF"}, {"else", "ELSE"}, {"endif", "ENDIF"}};
    auto& p = parsedCommand();
    for (const auto& m : marks)
        if (std::strcmp(p.commandWord, m.typed) == 0) std::strcpy(p.commandWord, m.marked);
}
