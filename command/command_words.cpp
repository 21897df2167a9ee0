#include <cstring>

#include "command/aliases.h"
#include "command/reader.h"

namespace {
bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

bool aliasExpand(std::string& word) {
    readerState().aliasExpanded = 0;
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
