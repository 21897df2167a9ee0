#include "command/text/number_text.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

locale_t cLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

std::string printed(double value, int digits, std::chars_format form = std::chars_format::general) {
    char text[64];
    auto r = std::to_chars(text, text + sizeof text, value, form, digits);
    return std::string(text, r.ptr);
}

// True when the text reads back to the very same double, the sign of a zero included.
bool readsBack(std::string_view text, double value) {
    double back = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), back);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() &&
           std::memcmp(&back, &value, sizeof value) == 0;
}

// The same number spelled shorter: no zero before the point, the exponent without its plus sign
// and leading zeros ("-0.03" -> "-.03", "1e-05" -> "1e-5").
std::string compact(std::string text) {
    const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.compare(sign, 2, "0.") == 0) text.erase(sign, 1);
    const std::size_t e = text.find('e');
    if (e != std::string::npos) {
        std::size_t at = e + 1;
        if (text[at] == '+')
            text.erase(at, 1);
        else if (text[at] == '-')
            ++at;
        while (at + 1 < text.size() && text[at] == '0')
            text.erase(at, 1);
    }
    return text;
}

// The shortest spelling of the `digits`-digit rounding of the value, in the "%g" form or in the
// scientific one.
std::string shortestSpelling(double value, int digits) {
    std::string general = compact(printed(value, digits));
    std::string scientific = compact(printed(value, digits - 1, std::chars_format::scientific));
    return scientific.size() < general.size() ? scientific : general;
}

int& misses() {
    static int count = 0;
    return count;
}

const char* skipBlanks(const char* p) {
    while (*p && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

} // namespace

std::string numberText(double value) {
    if (!std::isfinite(value)) return printed(value, 6);
    int digits = 6;
    std::string text = printed(value, digits);
    while (!readsBack(text, value) && digits < 17)
        text = printed(value, ++digits);
    if (text.size() <= kNumberTextLimit) return text;
    // Too long for the reader to take as a number: the same digits spelled shorter, else the
    // closest text that fits.
    std::string shorter = shortestSpelling(value, digits);
    if (shorter.size() <= kNumberTextLimit && readsBack(shorter, value)) return shorter;
    ++misses();
    for (int d = digits - 1; d > 0; --d) {
        shorter = shortestSpelling(value, d);
        double back = 0;
        auto r = std::from_chars(shorter.data(), shorter.data() + shorter.size(), back);
        if (shorter.size() <= kNumberTextLimit && r.ec == std::errc()) return shorter;
    }
    return shorter;
}

void appendNumberText(std::string& out, double value) {
    out += numberText(value);
}

std::string numberWords(const double* values, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += ' ';
        out += numberText(values[i]);
    }
    return out;
}

std::string numberWords(std::initializer_list<double> values) {
    return numberWords(values.begin(), values.size());
}

int& numberTextMisses() {
    return misses();
}

void resetNumberTextState() {
    misses() = 0;
}

std::string floatNumberText(float value) {
    if (!std::isfinite(value)) return printed(value, 6);
    for (int digits = 6; digits < 9; ++digits) {
        std::string text = printed(value, digits);
        float back = 0;
        auto r = std::from_chars(text.data(), text.data() + text.size(), back);
        if (r.ec == std::errc() && back == value) return text;
    }
    return printed(value, 9);
}

void appendGeneralText(std::string& out, double value, int digits) {
    char text[64];
    auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    out.append(text, r.ptr);
}

std::string generalText(double value, int digits) {
    std::string out;
    appendGeneralText(out, value, digits);
    return out;
}

void appendFixedText(std::string& out, double value) {
    char text[400]; // the widest double in fixed notation with six decimals fits
    auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    out.append(text, r.ptr);
}

std::string fixedText(double value) {
    std::string out;
    appendFixedText(out, value);
    return out;
}

std::string formatCTextV(const char* format, std::va_list args) {
    locale_t previous = uselocale(cLocale());
    std::va_list again;
    va_copy(again, args);
    char small[256];
    const int n = std::vsnprintf(small, sizeof small, format, args);
    std::string out;
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(n));
    } else if (n >= 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(again);
    uselocale(previous);
    return out;
}

std::string formatCText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string out = formatCTextV(format, args);
    va_end(args);
    return out;
}

std::optional<double> parseNumberText(std::string_view text) {
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

std::optional<long> parseIntegerText(std::string_view text) {
    auto v = parseNumberText(text);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 2e9) return std::nullopt;
    return static_cast<long>(*v);
}

double readCDouble(const char* text, char** end) {
    return strtod_l(text, end, cLocale());
}

bool scanCDouble(const char*& text, double& value) {
    const char* p = skipBlanks(text);
    char* end = nullptr;
    const double v = readCDouble(p, &end);
    if (end == p) return false;
    value = v;
    text = end;
    return true;
}

bool scanCLong(const char*& text, long& value) {
    const char* p = skipBlanks(text);
    char* end = nullptr;
    const int saved = errno;
    const long v = std::strtol(p, &end, 10);
    errno = saved;
    if (end == p) return false;
    value = v;
    text = end;
    return true;
}

bool scanCWord(const char*& text, std::string& value) {
    const char* p = skipBlanks(text);
    const char* start = p;
    while (*p && !std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (p == start) return false;
    value.assign(start, p);
    text = p;
    return true;
}
