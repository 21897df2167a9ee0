#include "parts/text/c_locale_text.h"

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

locale_t cTextLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

std::string formatCText(const char* format, ...) {
    locale_t previous = uselocale(cTextLocale());
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string out;
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        out.assign(small, static_cast<size_t>(n));
    } else if (n >= 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<size_t>(n));
    }
    va_end(again);
    uselocale(previous);
    return out;
}

namespace {

const char* skipBlanks(const char* p) {
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

} // namespace

bool scanCDouble(const char*& text, double& value) {
    const char* p = skipBlanks(text);
    char* end = nullptr;
    double v = strtod_l(p, &end, cTextLocale());
    if (end == p) return false;
    value = v;
    text = end;
    return true;
}

bool scanCLong(const char*& text, long& value) {
    const char* p = skipBlanks(text);
    char* end = nullptr;
    int saved = errno;
    long v = std::strtol(p, &end, 10);
    errno = saved;
    if (end == p) return false;
    value = v;
    text = end;
    return true;
}

bool scanCWord(const char*& text, std::string& value) {
    const char* p = skipBlanks(text);
    const char* start = p;
    while (*p && !std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (p == start) return false;
    value.assign(start, p);
    text = p;
    return true;
}
