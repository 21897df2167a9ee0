#include "ui/compose/field_text.h"

#include <cctype>
#include <string>

#include "command/text/number_text.h"

namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
}

} // namespace

bool isCommandName(std::string_view name, std::size_t maxLength) {
    if (name.empty() || name.size() > maxLength) return false;
    if (!std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!isNameChar(c)) return false;
    return true;
}

bool isObjectField(std::string_view text, std::size_t maxLength) {
    if (isCommandName(text, maxLength)) return true;
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string commandNameRefusal(std::string_view field, std::size_t maxLength) {
    return std::string(field) + ": please enter a name of at most " + std::to_string(maxLength) +
           " characters: a letter, then letters, digits, \"_\" or \"-\".";
}

std::string fileNameValue(const std::string& name) {
    bool plain = !name.empty();
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-'))
            plain = false;
    if (plain) return name;
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string rangeRefusal(double low, double high) {
    return "Please enter a number between " + generalText(low) + " and " +
           generalText(high) + ".";
}
