// Text steps of a logical command before it is split into words: variable expansion,
// normalisation (blanks, commas, comments, modifiers, assignments) and the block-IF check.
#include <cstring>

#include "command/interpreter/macros.h"
#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"

namespace {

constexpr char kProtectedPercent = '\x01';
constexpr int kMaxExpansions = 1000; // a variable whose text refers to itself must end
constexpr std::size_t kOperandChars = 80;
constexpr std::size_t kOperatorChars = 2;
constexpr std::size_t kNumberChars = 20;

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isLetter(char c) {
    c = lowerAscii(c);
    return c >= 'a' && c <= 'z';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string lowerCopy(std::string s) {
    for (char& c : s)
        c = lowerAscii(c);
    return s;
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// The value of one variable reference, or false for illegal syntax. `end` receives the index
// just after the reference (also for illegal ones, so that they can be removed).
bool variableValue(const std::string& cmd, std::size_t percent, std::size_t& end,
                   std::string& value) {
    const auto& r = readerState();
    std::size_t i = percent + 1;
    std::size_t letters = 0;
    while (letters < 2 && i + letters < cmd.size() && isLetter(cmd[i + letters]))
        ++letters;
    std::string kind;
    std::string two = lowerCopy(cmd.substr(i, letters));
    if (letters == 2 && (two == "cr" || two == "ci" || two == "sq"))
        kind = two;
    else if (letters >= 1 && std::strchr("rics", two[0]))
        kind = two.substr(0, 1);
    std::size_t j = i + letters;
    std::size_t digits = 0;
    while (digits < 2 && j + digits < cmd.size() && isDigit(cmd[j + digits]))
        ++digits;
    end = j + digits;
    if (!kind.empty() && kind.size() < letters) {
        // A known kind followed by a letter, such as %sx1: not a reference.
        return false;
    }
    if (kind.empty() || digits == 0) return false;
    int index = std::stoi(cmd.substr(j, digits));
    if (index < 1 || index > kVariableCount) return false;
    if (kind == "r")
        value = formatText("%.12g", r.realVariables[index]);
    else if (kind == "cr")
        value = formatText("%.12g", r.complexVariables[index][0]);
    else if (kind == "ci")
        value = formatText("%.12g", r.complexVariables[index][1]);
    else if (kind == "i")
        value = formatText("%d", r.intVariables[index]);
    else if (kind == "c")
        value =
            formatText("%.12g %.12g", r.complexVariables[index][0], r.complexVariables[index][1]);
    else {
        std::string text(r.stringVariables[index]);
        text.resize(static_cast<std::size_t>(lineLengthTrimmed(text, kStringVariableChars)));
        if (kind == "s")
            value = text.empty() ? " " : text;
        else
            value = "\"" + text + "\"";
    }
    return true;
}

// One item of a block-IF expression: a word or a quoted string.
bool nextItem(const std::string& s, std::size_t& pos, std::string& item) {
    while (pos < s.size() && s[pos] == ' ')
        ++pos;
    if (pos >= s.size()) return false;
    std::size_t start = pos;
    if (s[pos] == '"') {
        ++pos;
        while (pos < s.size()) {
            if (s[pos] == '"') {
                if (pos + 1 < s.size() && s[pos + 1] == '"') {
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            ++pos;
        }
    } else {
        while (pos < s.size() && s[pos] != ' ')
            ++pos;
    }
    item = s.substr(start, pos - start);
    return true;
}

bool readsAsNumber(const std::string& item) {
    double v;
    return item.size() <= kNumberChars && parseNumber(item.c_str(), &v);
}

} // namespace

void expandVariables(std::string& command) {
    // Blanks inside quotes become '|'; '%' inside quotes, and in a comment, is never expanded.
    bool quoted = false, comment = false;
    for (char& c : command) {
        if (c == '"' && !comment)
            quoted = !quoted;
        else if (quoted && c == ' ')
            c = '|';
        else if (c == '#' && !quoted)
            comment = true;
        if (c == '%' && (quoted || comment)) c = kProtectedPercent;
    }
    for (int expansions = 0;; ++expansions) {
        std::size_t percent = command.rfind('%');
        if (percent == std::string::npos) break;
        std::size_t end = percent + 1;
        std::string value;
        if (!variableValue(command, percent, end, value)) {
            outText(outputChannel, "Illegal variable syntax, variable value ignored\n");
            command.erase(percent, end - percent);
            continue;
        }
        if (command.size() + value.size() >= static_cast<std::size_t>(kCommandLimit) ||
            expansions >= kMaxExpansions) {
            outText(outputChannel, " Line length exceeded due to variable ");
            outText(outputChannel, "expansion, command ignored.\n");
            command = "noop";
            return;
        }
        command.replace(percent, end - percent, value);
    }
    for (char& c : command)
        if (c == kProtectedPercent) c = '%';
}

void normalizeLine(std::string& command) {
    command.resize(static_cast<std::size_t>(lineLengthTrimmed(command, kLineSignificant)));

    // Commas and tabs separate words like blanks; an open quote is closed.
    bool quoted = false;
    for (char& c : command) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ',' || c == '\t'))
            c = ' ';
    }
    if (quoted) {
        outText(outputChannel, "Warning, quoted string extends past end of line\n");
        if (command.size() >= static_cast<std::size_t>(kLineSignificant))
            command.back() = '"';
        else
            command += '"';
    }

    // A comment ends the command and the rest of its physical line.
    quoted = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '"')
            quoted = !quoted;
        else if (command[i] == '#' && !quoted) {
            command.resize(i);
            discardRestOfLine();
            break;
        }
    }
    if (command.find_first_not_of(' ') == std::string::npos) {
        command = " ";
        return;
    }

    command.erase(0, command.find_first_not_of(' '));

    // "else if" and "end if" are one word.
    for (const char* first : {"else ", "end "}) {
        if (!startsWith(command, first)) continue;
        std::size_t k = std::strlen(first);
        while (k < command.size() && command[k] == ' ')
            ++k;
        if (command.compare(k, 2, "if") == 0 && (k + 2 == command.size() || command[k + 2] == ' '))
            command = command.substr(0, std::strlen(first) - 1) + command.substr(k);
    }

    // In a condition the first '=' compares and keeps its blanks.
    std::size_t comparison = std::string::npos;
    std::string lower = lowerCopy(command);
    if ((startsWith(lower, "if ") || startsWith(lower, "elseif ")) &&
        command.find("<>") == std::string::npos && command.find("< ") == std::string::npos &&
        command.find("> ") == std::string::npos) {
        quoted = false;
        for (std::size_t i = 0; i < command.size(); ++i) {
            if (command[i] == '"')
                quoted = !quoted;
            else if (command[i] == '=' && !quoted) {
                comparison = i;
                break;
            }
        }
    }

    std::string out;
    out.reserve(command.size() + 16);
    quoted = false;
    bool afterAssignment = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        char c = command[i];
        if (quoted) {
            out += c;
            if (c == '"') quoted = false;
            continue;
        }
        if (c == ' ') {
            if (afterAssignment || out.empty() || out.back() == ' ') continue;
            out += ' ';
            continue;
        }
        afterAssignment = false;
        if (c == '"') {
            quoted = true;
            out += c;
        } else if (c == '/') {
            if (out.size() >= 2 && out.back() != ' ') out += ' ';
            out += '/';
        } else if (c == '=' && i != comparison) {
            if (!out.empty() && out.back() == ' ') out.pop_back();
            out += '=';
            afterAssignment = true;
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    command = out.empty() ? " " : out;
}

void checkBlockIf(std::string& command) {
    std::string lower = lowerCopy(command.substr(0, 7));
    bool isIf = startsWith(lower, "if ");
    bool isElseIf = startsWith(lower, "elseif ");
    if (!isIf && !isElseIf) return;
    auto fail = [&](const char* first, const char* second) {
        outText(outputChannel, "%s", first);
        if (second) outText(outputChannel, "%s", second);
        macroNoteBlockIfError();
        command = "noop";
    };
    std::size_t pos = command.find(' ');
    std::string left, op, right, next;
    bool complete =
        nextItem(command, pos, left) && nextItem(command, pos, op) && nextItem(command, pos, right);
    bool legal = complete && left.size() <= kOperandChars && right.size() <= kOperandChars &&
                 op.size() <= kOperatorChars;
    if (legal) {
        bool leftNumber = readsAsNumber(left), rightNumber = readsAsNumber(right);
        if (leftNumber && rightNumber)
            legal = op == "<" || op == ">" || op == "=" || op == "<>" || op == "<=" || op == ">=";
        else if (!leftNumber && !rightNumber)
            legal = op == "=" || op == "<>";
        else
            legal = false;
    }
    if (!legal) {
        fail(" Illegal logical expression.  Please re-enter.\n", nullptr);
        return;
    }
    bool hasThen = nextItem(command, pos, next) && lowerCopy(next) == "then";
    if (!hasThen) {
        // An IF without THEN stays as it is (and is then an unknown command).
        if (isElseIf) fail(" Illegal syntax in else if statement.\n", nullptr);
        return;
    }
    std::string rest;
    if (nextItem(command, pos, rest)) {
        fail(" Illegal characters after THEN keyword.", "  Please re-enter.\n");
        return;
    }
    command = std::string(isIf ? "ifthen " : "elseif ") + left + " " + op + " " + right;
}
