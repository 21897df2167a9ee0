#include "ui/compose/field_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// As "%.*g" would write it in the C locale, whatever locale the program runs in.
std::string printed(double value, int digits) {
    char text[64];
    auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    return std::string(text, r.ptr);
}

// strtod is locale-dependent; from_chars is not.
bool readsBack(const std::string& text, double& out) {
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, out);
    return r.ec == std::errc() && r.ptr == end;
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
}

} // namespace

std::string computedNumber(double value) {
    return printed(value, 6);
}

std::string fieldNumber(double value) {
    if (!std::isfinite(value)) return printed(value, 6);
    for (int digits = 6; digits < 17; ++digits) {
        std::string text = printed(value, digits);
        double back = 0;
        if (readsBack(text, back) && back == value) return text;
    }
    return printed(value, 17);
}

std::string floatNumber(float value) {
    if (!std::isfinite(value)) return printed(value, 6);
    for (int digits = 6; digits < 9; ++digits) {
        std::string text = printed(value, digits);
        double back = 0;
        if (readsBack(text, back) && static_cast<float>(back) == value) return text;
    }
    return printed(value, 9);
}

std::optional<double> parseFieldNumber(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    if (first == last) return std::nullopt;
    if (text[first] == '+') ++first; // from_chars takes no plus sign
    double value = 0;
    auto r = std::from_chars(text.data() + first, text.data() + last, value);
    if (r.ec != std::errc() || r.ptr != text.data() + last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> parseFieldInteger(std::string_view text) {
    auto v = parseFieldNumber(text);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 2e9) return std::nullopt;
    return static_cast<long>(*v);
}

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
    return "Please enter a number between " + computedNumber(low) + " and " +
           computedNumber(high) + ".";
}
