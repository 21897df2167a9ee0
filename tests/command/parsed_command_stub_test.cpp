// Stand-in for the parsed-command operations until the command reader's own implementation is
// merged into this branch; delete this file then. It follows the documented behaviour closely
// enough for the settings tests: unique-prefix matching, modifier lookup, values by position
// and by name.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command/parsed_command.h"

ParsedCommand& parsedCommand() {
    static ParsedCommand p;
    return p;
}

void resetParsedCommand() {
    parsedCommand() = ParsedCommand{};
}

namespace {
bool isEnd(const char* entry) {
    return std::strcmp(entry, " ") == 0;
}
} // namespace

int matchKeyword(char* word, KeywordTable table, const char* label) {
    int n = 0;
    while (word[n] && word[n] != ' ' && n < kKeywordChars)
        ++n;
    if (n == 0) return 0;
    int match = -1;
    for (int i = 0; !isEnd(table[i]) && i < 119; ++i) {
        if (std::strncmp(table[i], word, n) != 0) continue;
        if (match >= 0) {
            errorText(outputChannel, " %s is ambiguous against %s and %s\n", word, table[i],
                      table[match]);
            return 0;
        }
        match = i;
    }
    if (match < 0) {
        if (std::strcmp(label, " ") != 0) {
            errorText(outputChannel, "The command %s is not known.\n", word);
            outText(outputChannel, "Please check the manual for the correct syntax.\n");
        }
        return 0;
    }
    std::snprintf(word, kKeywordChars + 1, "%s", table[match]);
    return 1;
}

void getModifier(KeywordTable table, int* found, int* several, int* index, const char* label) {
    bool allowSeveral = *several != 0;
    *found = 0;
    *several = 0;
    *index = 0;
    for (int i = 0; i < modifierCount; ++i) {
        char word[kKeywordChars + 1];
        std::snprintf(word, sizeof word, "%s", modifierWords[i]);
        if (!matchKeyword(word, table, " ")) continue;
        if (!*found) {
            *found = 1;
            *index = i;
            std::snprintf(modifierWords[i], kKeywordChars + 1, "%s", word);
            continue;
        }
        *several = 1;
        if (!allowSeveral && std::strcmp(label, " ") != 0) {
            warningText(outputChannel, " Multiple matches found for %s modifier\n", label);
            return;
        }
    }
}

bool parseNumber(const char* word, double* value) {
    const char* p = word;
    if (!(*p == '+' || *p == '-' || *p == '.' || (*p >= '0' && *p <= '9'))) return false;
    if (*p == '+' || *p == '-') ++p;
    int digits = 0, dots = 0;
    while ((*p >= '0' && *p <= '9') || *p == '.') {
        if (*p == '.')
            ++dots;
        else
            ++digits;
        ++p;
    }
    if (digits == 0 || dots > 1) return false;
    std::string text(word, p);
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        text += 'e';
        ++p;
        if (*p == '+' || *p == '-') text += *p++;
        int expDigits = 0;
        while (*p >= '0' && *p <= '9') {
            text += *p++;
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (*p != '\0') return false;
    *value = std::strtod(text.c_str(), nullptr);
    return true;
}

void getNumericValues(double* values, KeywordTable names, int count, int* given) {
    bool assignments = false;
    for (int w = 0; w < kMaxParameterWords && !isEnd(parameterWords[w]); ++w)
        if (std::strchr(parameterWords[w], '=')) assignments = true;
    if (!assignments) return;
    for (int w = 0; w < kMaxParameterWords && !isEnd(parameterWords[w]); ++w) {
        const char* word = parameterWords[w];
        const char* eq = std::strchr(word, '=');
        if (!eq || eq == word) continue;
        std::string name(word, std::min<std::size_t>(eq - word, 20));
        std::string text = std::string(eq + 1).substr(0, 20);
        int match = -1;
        bool ambiguous = false;
        for (int i = 0; i < count && !isEnd(names[i]); ++i) {
            if (std::strncmp(names[i], name.c_str(), name.size()) != 0) continue;
            if (match >= 0) ambiguous = true;
            match = i;
        }
        if (ambiguous) {
            outText(outputChannel, " ambigious assignment: %s\n", word);
            continue;
        }
        if (match < 0) {
            outText(outputChannel, " nonexistent assignment: %s\n", word);
            continue;
        }
        double v;
        if (parseNumber(text.c_str(), &v)) {
            values[match] = v;
            given[match] = 1;
        }
    }
}

void queryAssignment(double*, KeywordTable, int, int*) {}

void listOptions(KeywordTable table) {
    std::string text;
    for (int i = 0; i < 100 && !isEnd(table[i]); ++i) {
        if (i % 8 == 0) text += "\nOptions: ";
        text += table[i];
        text += ' ';
    }
    outText(outputChannel, "%s\n", text.c_str());
}

void echoParsedCommand(OutputChannel) {}
