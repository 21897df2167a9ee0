#include "command/saving/log_filters.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"

namespace {

constexpr std::string_view kQueryMarker = "#$$$ QUERY ASSIGNMENT";
constexpr std::string_view kQueryEndMarker = "#$$$ END OF QUERY ASSIGNMENT";
constexpr std::string_view kAnswerMarker = "#$$$ ";

// What a filter decides about one line that is not part of a query block.
struct LineKind {
    bool comment = false;              // begins with '#' (after leading blanks)
    bool keyword = false;              // its first word is a command keyword
    char word[kKeywordChars + 1] = {}; // the keyword, completed
    bool logComment = false;           // a "# >" line of the message layer
};

using Policy = bool (*)(const LineKind&);

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

LineKind classify(std::string_view line) {
    LineKind kind;
    std::string_view s = trimLeft(line);
    if (!s.empty() && s.front() == '#') {
        kind.comment = true;
        kind.logComment = s.size() >= 3 && s[2] == '>';
        return kind;
    }
    std::size_t n = 0;
    while (n < s.size() && !isBlank(s[n]) && s[n] != '/')
        ++n;
    if (n == 0 || n > static_cast<std::size_t>(kKeywordChars)) return kind;
    for (std::size_t i = 0; i < n; ++i)
        kind.word[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
    kind.keyword = matchKeyword(kind.word, commandKeywords, " ") == 1;
    return kind;
}

bool is(const LineKind& k, const char* word) {
    return k.keyword && std::strcmp(k.word, word) == 0;
}

// The command of a query block without its "?" or "query" word: the words after it stay. A '?'
// glued to another word cuts the text there.
std::string foldedCommand(std::string_view command) {
    std::string_view text = trimRight(command);
    std::size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        std::size_t end = pos;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        std::string_view word = text.substr(pos, end - pos);
        if (!first) {
            std::string lower(word);
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == "?" || lower == "query") {
                std::string out(trimRight(text.substr(0, pos)));
                std::string_view rest = trimLeft(text.substr(end));
                if (!rest.empty()) out += " " + std::string(rest);
                return out;
            }
        }
        first = false;
        pos = end;
    }
    const std::size_t mark = text.find('?');
    return std::string(trimRight(text.substr(0, mark)));
}

void writeLine(std::FILE* target, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), target);
    std::fputc('\n', target);
}

void runFilter(std::FILE* log, std::FILE* target, Policy keep) {
    char* buffer = nullptr;
    std::size_t capacity = 0;
    ssize_t n;
    bool inQuery = false, copyingQuery = false;
    while ((n = getline(&buffer, &capacity, log)) >= 0) {
        std::string_view line(buffer, static_cast<std::size_t>(n));
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        line = trimRight(line);

        if (inQuery) {
            if (line.find(kQueryEndMarker) != std::string_view::npos) {
                if (copyingQuery) std::fputc('\n', target);
                inQuery = false;
                continue;
            }
            const std::size_t at = line.find(kAnswerMarker);
            if (at != std::string_view::npos) {
                if (copyingQuery) {
                    std::string_view answer = trimLeft(line.substr(0, at));
                    std::size_t end = 0;
                    while (end < answer.size() && !isBlank(answer[end]))
                        ++end;
                    std::string_view assignment = trimRight(line.substr(at + kAnswerMarker.size()));
                    std::string piece =
                        " " + std::string(assignment) + std::string(answer.substr(0, end));
                    std::fwrite(piece.data(), 1, piece.size(), target);
                }
                continue;
            }
            // A block the log never closed ends before the next ordinary line.
            if (copyingQuery) std::fputc('\n', target);
            inQuery = false;
        }

        const std::size_t marker = line.find(kQueryMarker);
        const std::string_view command =
            marker == std::string_view::npos ? line : line.substr(0, marker);
        const LineKind kind = classify(command);
        if (marker != std::string_view::npos && !kind.comment && !trimLeft(command).empty()) {
            inQuery = true;
            copyingQuery = keep(kind);
            if (copyingQuery) {
                const std::string folded = foldedCommand(command);
                std::fwrite(folded.data(), 1, folded.size(), target);
            }
            continue;
        }
        if (keep(kind)) writeLine(target, line);
    }
    if (inQuery && copyingQuery) std::fputc('\n', target);
    std::free(buffer);
}

bool keepCompressed(const LineKind& k) {
    if (k.comment) return !k.logComment;
    return is(k, "noop");
}

bool keepPolynets(const LineKind& k) {
    return is(k, "polynet");
}

bool keepComplete(const LineKind& k) {
    if (k.comment) return true;
    if (!k.keyword) return false;
    return !is(k, "macro") && !is(k, "save") && !is(k, "exit") && !is(k, "retrieve");
}

} // namespace

void saveLogCompressed(std::FILE* log, std::FILE* target) {
    runFilter(log, target, keepCompressed);
}

void saveLogPolynets(std::FILE* log, std::FILE* target) {
    runFilter(log, target, keepPolynets);
}

void saveLogComplete(std::FILE* log, std::FILE* target) {
    runFilter(log, target, keepComplete);
}
