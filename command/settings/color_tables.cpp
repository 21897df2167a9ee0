#include "command/settings/color_tables.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/safe_file.h"

namespace {

constexpr unsigned char kBlackOnWhiteTable[kColorCount] = {0,  15, 15, 15, 15, 15, 15, 15,
                                                           15, 15, 15, 15, 15, 15, 15, 15};
constexpr unsigned char kWhiteOnBlackTable[kColorCount] = {};

const unsigned char* currentTable() {
    const auto& s = colorTableState();
    if (s.current == kBlackOnWhite) return kBlackOnWhiteTable;
    if (s.current == kWhiteOnBlack) return kWhiteOnBlackTable;
    return s.mapped;
}

// One line of colors.opt: a whole number 0..15, blanks around it allowed.
bool readColorLine(const std::string& line, unsigned char* out) {
    std::size_t i = 0, n = line.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < n && blank(line[i]))
        ++i;
    int value = 0, digits = 0;
    while (i < n && line[i] >= '0' && line[i] <= '9') {
        value = value * 10 + (line[i] - '0');
        if (++digits > 2 || value >= kColorCount) return false;
        ++i;
    }
    while (i < n && blank(line[i]))
        ++i;
    if (digits == 0 || i != n) return false;
    *out = static_cast<unsigned char>(value);
    return true;
}

} // namespace

ColorTableState& colorTableState() {
    static ColorTableState s;
    return s;
}

void resetColorTableState() {
    colorTableState() = ColorTableState{};
}

int colorLut(int index) {
    if (index < 0) index = 0;
    if (index >= kColorCount) index = kColorCount - 1;
    return currentTable()[index];
}

void selectColorTable(int type) {
    colorTableState().current =
        (type == kBlackOnWhite || type == kWhiteOnBlack) ? type : kColorMapped;
}

int setColorMapEntry(int value, int index) {
    if (value < 0 || value >= kColorCount || index < 0 || index >= kColorCount) {
        errorText(outputChannel, " Color numbers must be 0 to 15.  Command ignored.\n");
        return 0;
    }
    colorTableState().mapped[index] = static_cast<unsigned char>(value);
    return 1;
}

void resetColorMap() {
    for (int i = 0; i < kColorCount; ++i)
        colorTableState().mapped[i] = static_cast<unsigned char>(i);
}

int saveColorMap() {
    std::string text;
    for (int i = 0; i < kColorCount; ++i)
        text += formatText("%d\n", colorTableState().mapped[i]);
    // Whole or not at all: a full disk keeps the old table.
    return platform::replaceFileContents(kColorMapFile, text, false, nullptr,
                                         platform::ReplacementFile::Links::Refuse)
               ? 1
               : 0;
}

int loadColorMap() {
    // Only a regular file: a FIFO would wait for a writer, a device might never end.
    std::FILE* in = platform::openRegularForRead(kColorMapFile, true);
    if (!in) return 0;
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{in};
    unsigned char table[kColorCount];
    std::string line;
    for (int i = 0; i < kColorCount; ++i) {
        // A number line is short; a longer line cannot hold one.
        line.clear();
        int c;
        while ((c = std::fgetc(in)) != EOF && c != '\n') {
            if (line.size() > 64) return 0;
            line.push_back(static_cast<char>(c));
        }
        if (c == EOF && (line.empty() || std::ferror(in))) return 0;
        if (!readColorLine(line, &table[i])) return 0;
    }
    auto& s = colorTableState();
    for (int i = 0; i < kColorCount; ++i)
        s.mapped[i] = table[i];
    s.current = kColorMapped;
    return 1;
}

void listColorTable(OutputChannel channel) {
    int current = colorTableState().current;
    if (current == kBlackOnWhite || current == kWhiteOnBlack)
        outText(channel, "Colors mapped to monochrome.\n");
    else
        outText(channel, "Color mapped mode.\n");
    const unsigned char* table = currentTable();
    std::string text;
    for (int i = 0; i < kColorCount; ++i)
        text += formatText("%d ", table[i]);
    outText(channel, "%s\n", text.c_str());
}
