// A small reader of the fixed 80-column IGES layout, written for the tests from the format
// alone: section letters and sequence numbers, the global parameters with their Hollerith
// strings, directory-entry pairs with their pointers, parameter data, and the terminate
// record's counts. Any breach of the layout is reported in `error`.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace igestest {

struct Entity {
    int type = 0, parameterPointer = 0, lineCount = 0, colour = 0, form = 0;
    std::string label;
    std::vector<double> parameters; // after the entity type
};

struct IgesFile {
    std::string error; // empty when the file follows the layout
    int counts[4] = {}; // S, G, D, P records
    std::vector<std::string> global;
    std::vector<Entity> entities;
};

inline std::string trim(const std::string& s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// Splits parameter text at the delimiters, reading nHxxx strings whole; stops at ';'.
inline bool splitParameterText(const std::string& text, std::vector<std::string>& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] == ' ')
            ++j;
        std::size_t k = j;
        while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])))
            ++k;
        std::string field;
        if (k > j && k < text.size() && text[k] == 'H') {
            const std::size_t n = std::stoul(text.substr(j, k - j));
            if (k + 1 + n > text.size()) return false;
            field = text.substr(k + 1, n);
            i = k + 1 + n;
        } else {
            std::size_t e = text.find_first_of(",;", i);
            if (e == std::string::npos) return false;
            field = trim(text.substr(i, e - i));
            i = e;
        }
        out.push_back(field);
        if (i >= text.size()) return false;
        if (text[i] == ';') return true;
        if (text[i] != ',') return false;
        ++i;
    }
    return false;
}

inline int field8(const std::string& line, int index) {
    return std::atoi(line.substr(static_cast<std::size_t>(index) * 8, 8).c_str());
}

inline IgesFile readIges(const std::string& text) {
    IgesFile f;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            f.error = "last record without a line end";
            return f;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    const std::string order = "SGDPT";
    std::vector<std::string> section[5];
    std::size_t current = 0;
    for (const std::string& l : lines) {
        if (l.size() != 80) {
            f.error = "record not 80 columns: " + l;
            return f;
        }
        const std::size_t s = order.find(l[72]);
        if (s == std::string::npos || s < current) {
            f.error = "section letter out of place: " + l;
            return f;
        }
        current = s;
        const int seq = std::atoi(l.substr(73).c_str());
        if (seq != static_cast<int>(section[s].size()) + 1) {
            f.error = "sequence number out of order: " + l;
            return f;
        }
        section[s].push_back(l);
    }
    if (section[0].empty() || section[1].empty() || section[4].size() != 1) {
        f.error = "missing start, global or terminate section";
        return f;
    }
    const std::string& t = section[4][0];
    const char letters[4] = {'S', 'G', 'D', 'P'};
    for (int i = 0; i < 4; ++i) {
        if (t[static_cast<std::size_t>(i) * 8] != letters[i]) {
            f.error = "terminate record letters";
            return f;
        }
        f.counts[i] = std::atoi(t.substr(static_cast<std::size_t>(i) * 8 + 1, 7).c_str());
        if (f.counts[i] != static_cast<int>(section[i].size())) {
            f.error = "terminate count differs from its section";
            return f;
        }
    }
    std::string global;
    for (const std::string& l : section[1])
        global += l.substr(0, 72);
    if (!splitParameterText(global, f.global)) {
        f.error = "global section does not parse";
        return f;
    }
    const auto& d = section[2];
    const auto& p = section[3];
    if (d.size() % 2) {
        f.error = "odd number of directory records";
        return f;
    }
    for (std::size_t i = 0; i < d.size(); i += 2) {
        Entity e;
        e.type = field8(d[i], 0);
        e.parameterPointer = field8(d[i], 1);
        if (field8(d[i + 1], 0) != e.type) {
            f.error = "directory pair with two entity types";
            return f;
        }
        e.colour = field8(d[i + 1], 2);
        e.lineCount = field8(d[i + 1], 3);
        e.form = field8(d[i + 1], 4);
        e.label = trim(d[i + 1].substr(56, 8));
        const int first = e.parameterPointer;
        if (first < 1 || e.lineCount < 1 || first + e.lineCount - 1 > static_cast<int>(p.size())) {
            f.error = "parameter pointer outside the P section";
            return f;
        }
        std::string data;
        for (int k = first; k < first + e.lineCount; ++k) {
            const std::string& pl = p[static_cast<std::size_t>(k - 1)];
            if (std::atoi(pl.substr(64, 8).c_str()) != static_cast<int>(i) + 1) {
                f.error = "parameter line points back to another entry";
                return f;
            }
            data += pl.substr(0, 64);
        }
        std::vector<std::string> fields;
        if (!splitParameterText(data, fields) || fields.empty() ||
            std::atoi(fields[0].c_str()) != e.type) {
            f.error = "parameter data do not parse: " + data;
            return f;
        }
        for (std::size_t k = 1; k < fields.size(); ++k) {
            char* end = nullptr;
            const double v = std::strtod(fields[k].c_str(), &end);
            if (fields[k].empty() || *end != '\0') {
                f.error = "not a number: " + fields[k];
                return f;
            }
            e.parameters.push_back(v);
        }
        f.entities.push_back(e);
    }
    return f;
}

} // namespace igestest
