// Numbers in text the way the C locale writes them, whatever locale the program runs in, so that
// a decimal comma never reaches a display, HPGL or line-export file. "%g" and "%f" have exact
// equivalents in to_chars.
#pragma once

#include <charconv>
#include <string>

// As "%g".
inline void appendG(std::string& s, double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    s.append(buf, r.ptr);
}

// As "%f".
inline void appendF(std::string& s, double v) {
    char buf[400]; // the widest double in fixed notation with six decimals fits
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    s.append(buf, r.ptr);
}

inline std::string formatG(double v) {
    std::string s;
    appendG(s, v);
    return s;
}

inline std::string formatF(double v) {
    std::string s;
    appendF(s, v);
    return s;
}
