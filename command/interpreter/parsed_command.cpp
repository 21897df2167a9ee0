#include "command/interpreter/parsed_command.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "command/interpreter/reader.h"
#include "command/text/number_text.h"

namespace {

constexpr int kMaxTableEntries = 119;
constexpr int kListedOptions = 100;
constexpr int kParameterChars = 40;

bool isSilent(const char* label) {
    return !label || std::strcmp(label, " ") == 0;
}

bool isEndEntry(const char* entry) {
    return !entry || std::strcmp(entry, " ") == 0;
}

void copySlot(char* dst, std::size_t size, std::string_view src) {
    std::size_t n = std::min(src.size(), size - 1);
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Lower-cases the characters outside double quotes.
std::string lowerOutsideQuotes(std::string_view s) {
    std::string out(s);
    bool quoted = false;
    for (char& c : out) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            c = lowerAscii(c);
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void storeModifier(const std::string& name, bool hasValue, bool quoted, const std::string& value) {
    auto& p = parsedCommand();
    if (p.modifierCount >= kMaxModifiers) return; // the 21st and later are dropped
    int slot = p.modifierCount++;
    std::string lname;
    for (char c : name.substr(0, kKeywordChars))
        lname += lowerAscii(c);
    copySlot(p.modifierWords[slot], sizeof p.modifierWords[slot], lname.empty() ? " " : lname);
    if (!hasValue) return;
    if (!quoted && !value.empty() && isDigit(value[0])) {
        double v = 0;
        if (value.size() > static_cast<std::size_t>(kKeywordChars) ||
            !parseNumber(value.c_str(), &v)) {
            outText(outputChannel, " Illegal value assigned to modifier ");
            outText(outputChannel, "%s .  Value ignored.\n", p.modifierWords[slot]);
            return;
        }
        p.modifierNumber[slot] = v;
        p.modifierNumberGiven[slot] = 1;
    }
    copySlot(p.quotedStrings[slot], sizeof p.quotedStrings[slot], value);
    p.modifierHasValue[slot] = 1;
}

// The next word that reads as an answer: the line without surrounding blanks.
std::string trimBlanks(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The modifier chosen by the tour odometer for the next level, or -1.
int tourChoose(KeywordTable table) {
    auto& t = tourState();
    int level = t.level++;
    if (level >= kTourLevels) {
        infoText("Tour Error. %s\n", t.line.c_str());
        t.on = 0;
        return -1;
    }
    int n = keywordTableSize(table);
    t.count[level] = n;
    if (n == 0) return -1;
    bool deeperDone = true;
    for (int j = level + 1; j < kTourLevels; ++j)
        if (t.index[j] < t.count[j]) deeperDone = false;
    int chosen;
    if (deeperDone) {
        chosen = std::min(t.index[level], n - 1);
        if (t.index[level] < n) ++t.index[level];
        for (int j = level + 1; j < kTourLevels; ++j)
            t.index[j] = t.count[j] = 0;
    } else {
        chosen = std::clamp(t.index[level] - 1, 0, n - 1);
    }
    return chosen;
}

} // namespace

ParsedCommand& parsedCommand() {
    static ParsedCommand s = [] {
        ParsedCommand p;
        for (auto& w : p.modifierWords)
            std::strcpy(w, " ");
        for (auto& w : p.parameterWords)
            std::strcpy(w, " ");
        return p;
    }();
    return s;
}

void resetParsedCommand() {
    clearParsedCommand();
    tourState() = TourState{};
}

TourState& tourState() {
    static TourState s;
    return s;
}

void clearParsedCommand() {
    auto& p = parsedCommand();
    std::strcpy(p.commandWord, " ");
    for (int i = 0; i < kMaxModifiers; ++i) {
        std::strcpy(p.modifierWords[i], " ");
        p.quotedStrings[i][0] = '\0';
        p.modifierHasValue[i] = 0;
        p.modifierNumber[i] = 0;
        p.modifierNumberGiven[i] = 0;
    }
    p.modifierCount = 0;
    for (int i = 0; i < kMaxNumerics; ++i) {
        p.numericValues[i] = 0;
        p.numericGiven[i] = 0;
    }
    for (auto& w : p.parameterWords)
        std::strcpy(w, " ");
    p.aliasInUse = 0;
}

int keywordTableSize(KeywordTable table) {
    int n = 0;
    while (table && n < kMaxTableEntries && !isEndEntry(table[n]))
        ++n;
    return n;
}

bool parseNumber(const char* word, double* value) {
    if (!word) return false;
    const char* s = word;
    char first = s[0];
    if (!(isDigit(first) || first == '+' || first == '-' || first == '.')) return false;
    std::string text;
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') text += s[i++];
    int digits = 0;
    bool dot = false;
    for (; s[i]; ++i) {
        if (isDigit(s[i])) {
            ++digits;
        } else if (s[i] == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
        text += s[i];
    }
    if (digits == 0) return false;
    if (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D') {
        text += 'e';
        ++i;
        if (s[i] == '+' || s[i] == '-') text += s[i++];
        int expDigits = 0;
        for (; isDigit(s[i]); ++i, ++expDigits)
            text += s[i];
        if (expDigits == 0) return false;
    }
    if (s[i] != '\0') return false;
    errno = 0;
    // Beyond the range of a double the value is infinity, which every range check refuses.
    double v = readCDouble(text.c_str(), nullptr);
    if (value) *value = v;
    return true;
}

int matchKeyword(char* word, KeywordTable table, const char* label) {
    if (!word) return 0;
    int n = 0;
    while (word[n] && word[n] != ' ')
        ++n;
    n = std::min(n, kKeywordChars);
    if (n == 0) return 0;
    std::string typed(word, static_cast<std::size_t>(n));
    int found = -1;
    for (int i = 0; i < kMaxTableEntries && table && !isEndEntry(table[i]); ++i) {
        if (std::strncmp(table[i], word, static_cast<std::size_t>(n)) != 0) continue;
        if (found >= 0) {
            if (!isSilent(label))
                errorText(outputChannel, " %s is ambiguous against %s and %s\n", typed.c_str(),
                          table[i], table[found]);
            return 0;
        }
        found = i;
    }
    if (found < 0) {
        if (!isSilent(label)) {
            errorText(outputChannel, "The command %s is not known.\n", typed.c_str());
            outText(outputChannel, "Please check the manual for the correct syntax.\n");
        }
        return 0;
    }
    copySlot(word, kKeywordChars + 1, table[found]);
    return 1;
}

void getModifier(KeywordTable table, int* found, int* several, int* index, const char* label) {
    auto& p = parsedCommand();
    int allowSeveral = several ? *several : 0;
    int f = 0, sev = 0, idx = 0;
    auto& tour = tourState();
    if (tour.on) {
        int chosen = tourChoose(table);
        if (chosen >= 0) {
            const char* entry = table[chosen];
            tour.line += "/";
            tour.line += entry;
            if (p.modifierCount < kMaxModifiers) {
                idx = p.modifierCount++;
                copySlot(p.modifierWords[idx], sizeof p.modifierWords[idx], entry);
                f = 1;
            }
        }
    } else {
        auto scan = [&](int from) {
            for (int i = from; i < p.modifierCount; ++i) {
                if (!matchKeyword(p.modifierWords[i], table, " ")) continue;
                if (!f) {
                    f = 1;
                    idx = i;
                    continue;
                }
                sev = 1;
                if (!allowSeveral) {
                    if (!isSilent(label))
                        warningText(outputChannel, " Multiple matches found for %s modifier\n",
                                    label);
                    break;
                }
            }
        };
        scan(0);
        bool asked = false;
        for (int i = 0; i < p.modifierCount; ++i)
            if (std::strcmp(p.modifierWords[i], "??") == 0) asked = true;
        if (!f && asked) {
            listOptions(table);
            outText(outputChannel, "Enter modifier:");
            std::string answer;
            readAnswerLine(answer);
            answer = trimBlanks(answer);
            answer = answer.substr(0, answer.find_first_of(" \t"));
            if (!answer.empty() && p.modifierCount < kMaxModifiers) {
                int slot = p.modifierCount++;
                std::string lower;
                for (char c : answer.substr(0, kKeywordChars))
                    lower += lowerAscii(c);
                copySlot(p.modifierWords[slot], sizeof p.modifierWords[slot], lower);
                scan(slot);
            }
        }
    }
    if (found) *found = f;
    if (several) *several = sev;
    if (index) *index = idx;
}

void listOptions(KeywordTable table) {
    int n = std::min(keywordTableSize(table), kListedOptions);
    for (int i = 0; i < n; ++i) {
        if (i % 8 == 0) outText(outputChannel, "\nOptions: ");
        outText(outputChannel, "%s ", table[i]);
    }
    outText(outputChannel, "\n");
}

void getNumericValues(double* values, KeywordTable names, int count, int* given) {
    auto& p = parsedCommand();
    int n = std::min(count, keywordTableSize(names));
    if (tourState().on) {
        for (int i = 0; i < n; ++i) {
            tourState().line += " ";
            tourState().line += names[i];
        }
    }
    if (std::strcmp(p.parameterWords[0], "query") == 0 ||
        std::strcmp(p.parameterWords[0], "?") == 0) {
        queryAssignment(values, names, count, given);
        return;
    }
    bool anyAssignment = false;
    for (int w = 0; w < kMaxParameterWords && !isEndEntry(p.parameterWords[w]); ++w)
        if (std::strchr(p.parameterWords[w], '=')) anyAssignment = true;
    if (!anyAssignment) return;
    for (int w = 0; w < kMaxParameterWords && !isEndEntry(p.parameterWords[w]); ++w) {
        const char* word = p.parameterWords[w];
        const char* eq = std::strchr(word, '=');
        if (!eq || eq == word) continue;
        std::string name(word, static_cast<std::size_t>(std::min<long>(eq - word, kKeywordChars)));
        // The whole value is read: cutting a long number could change its magnitude.
        std::string value(eq + 1);
        int match = -1, matches = 0;
        for (int i = 0; i < n; ++i) {
            if (std::strncmp(names[i], name.c_str(), name.size()) == 0) {
                if (match < 0) match = i;
                ++matches;
            }
        }
        if (matches > 1) {
            outText(outputChannel, " ambigious assignment: %s\n", word);
            continue;
        }
        if (matches == 0) {
            outText(outputChannel, " nonexistent assignment: %s\n", word);
            continue;
        }
        double v = 0;
        if (parseNumber(value.c_str(), &v)) {
            values[match] = v;
            if (given) given[match] = 1;
        }
    }
}

void queryAssignment(double* values, KeywordTable names, int count, int* given) {
    outText(outputChannel, " You will be asked to enter a numeric ");
    outText(outputChannel, "value for each parameter\n");
    outText(outputChannel, " To use the default value, hit a carriage return.\n");
    logRemoveLastLineEnd();
    logText(formatText("%30s#$$$ QUERY ASSIGNMENT\n", " "));
    setPrompt("  ");
    int n = std::min(count, keywordTableSize(names));
    for (int i = 0; i < n; ++i) {
        outText(outputChannel, "Enter a value for %s ", names[i]);
        std::string line;
        readAnswerLine(line);
        outText(outputChannel, "\n");
        std::string answer = trimBlanks(line);
        std::string typed = answer;
        if (aliasExpand(answer) && verboseOn)
            outText(outputChannel, "%s <- %s\n", typed.c_str(), answer.c_str());
        if (answer.empty()) continue;
        double v = 0;
        if (!parseNumber(answer.c_str(), &v)) continue;
        values[i] = v;
        if (given) given[i] = 1;
        logText(formatText("%-20s%30s#$$$ %s=\n", answer.c_str(), " ", names[i]));
    }
    logText(formatText("%50s#$$$ END OF QUERY ASSIGNMENT\n", " "));
    setPrompt(kStartupPrompt);
}

void echoParsedCommand(OutputChannel channel) {
    auto& p = parsedCommand();
    outText(channel, "==>%s", p.commandWord);
    for (int i = 0; i < p.modifierCount; ++i)
        outText(channel, "/%s", p.modifierWords[i]);
    for (int w = 0; w < kMaxParameterWords && !isEndEntry(p.parameterWords[w]); ++w)
        outText(channel, " %s ", p.parameterWords[w]);
    outText(channel, "\n");
}

void splitModifiersAndParameters(const std::string& rest) {
    std::string text = rest;
    // Modifiers first, wherever they stand; what is left are the parameter words.
    for (;;) {
        std::size_t slash = std::string::npos;
        bool quoted = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '"')
                quoted = !quoted;
            else if (text[i] == '/' && !quoted) {
                slash = i;
                break;
            }
        }
        if (slash == std::string::npos) break;
        std::size_t j = slash + 1;
        while (j < text.size() && text[j] != ' ' && text[j] != '=' && text[j] != '/')
            ++j;
        std::string name = text.substr(slash + 1, j - slash - 1);
        bool hasValue = false, isQuoted = false;
        std::string value;
        std::size_t end = j;
        if (j < text.size() && text[j] == '=') {
            std::size_t k = j + 1;
            if (k < text.size() && text[k] == '"') {
                isQuoted = hasValue = true;
                ++k;
                bool closed = false;
                while (k < text.size()) {
                    char c = text[k];
                    if (c == '"') {
                        if (k + 1 < text.size() && text[k + 1] == '"') {
                            value += '"';
                            k += 2;
                            continue;
                        }
                        ++k;
                        closed = true;
                        break;
                    }
                    value += (c == '|') ? ' ' : c;
                    ++k;
                }
                if (!closed)
                    outText(outputChannel, " Warning, quoted string extends past end of line.\n");
            } else {
                while (k < text.size() && text[k] != ' ')
                    ++k;
                value = text.substr(j + 1, k - j - 1);
                hasValue = !value.empty();
            }
            end = k;
        }
        text.erase(slash, end - slash);
        if (value.size() > static_cast<std::size_t>(kQuotedValueChars))
            value.resize(kQuotedValueChars);
        storeModifier(name, hasValue, isQuoted, value);
    }
    auto& p = parsedCommand();
    int words = 0;
    std::size_t i = 0;
    while (i < text.size() && words < kMaxParameterWords) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i >= text.size()) break;
        std::size_t start = i;
        bool quoted = false;
        while (i < text.size() && (quoted || text[i] != ' ')) {
            if (text[i] == '"') quoted = !quoted;
            ++i;
        }
        std::string word = lowerOutsideQuotes(std::string_view(text).substr(start, i - start));
        copySlot(p.parameterWords[words], kParameterChars + 1, word);
        ++words;
    }
}
