#include "display/exchange/iges_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "command/text/number_text.h"
#include "platform/safe_file.h"
#include "platform/temp_file.h"

namespace {

constexpr std::size_t kRecordText = 72;  // columns of a record's text
constexpr std::size_t kParameterText = 64; // columns of a parameter line's text
constexpr std::size_t kHollerithMax = 80;

struct LineEntity {
    int colour = 0;
    std::string label;
    float p[6] = {};
};

void addRecord(const std::string& text, char letter, int& counter) {
    igesState().outputText += igesRecord(text, letter, ++counter);
}

// Reads every complete entity of the intermediate file; false when it cannot be opened. The
// numbers are read in the C locale, as they were written. `dropped` counts the entities whose
// coordinates are no single-precision numbers.
bool readEntities(const std::string& path, std::vector<LineEntity>& out, long& dropped) {
    std::FILE* f = platform::openRegularForRead(path);
    if (!f) return false;
    std::string text;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;)
        text.append(block, n);
    std::fclose(f);
    const char* p = text.c_str();
    for (;;) {
        LineEntity e;
        long colour = 0, type = 0;
        std::string label;
        if (!scanCLong(p, colour) || !scanCWord(p, label)) break;
        // A label is at most 20 characters; the rest of a longer word is read as what follows.
        if (label.size() > 20) {
            p -= label.size() - 20;
            label.resize(20);
        }
        if (!scanCLong(p, type)) break;
        double v[6];
        bool whole = true;
        for (double& x : v)
            whole = whole && scanCDouble(p, x);
        if (!whole) break;
        e.colour = static_cast<int>(colour);
        e.label = label;
        for (int i = 0; i < 6; ++i)
            e.p[i] = static_cast<float>(v[i]);
        // A segment without finite ends has no place in a CAD model.
        if (std::all_of(std::begin(e.p), std::end(e.p), [](float x) { return std::isfinite(x); }))
            out.push_back(e);
        else
            ++dropped;
    }
    return true;
}

std::string upperG(double v) {
    return formatText("%#G", v);
}

} // namespace

IgesState& igesState() {
    static IgesState s;
    return s;
}

void resetIgesState() {
    igesState() = IgesState{};
}

std::string igesRecord(const std::string& text, char letter, int number) {
    return formatText("%-72s%c%07d\n", text.substr(0, kRecordText).c_str(), letter, number);
}

std::string igesHollerith(const std::string& text, bool keepSingle) {
    const std::string t = text.substr(0, kHollerithMax);
    if (t.empty() || (t.size() == 1 && !keepSingle)) return " ";
    return formatText("%dH%s", static_cast<int>(t.size()), t.c_str());
}

std::string igesDateStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return formatText("%02d%02d%02d.%02d%02d%02d", tm.tm_year % 100, tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_hour, tm.tm_min, tm.tm_sec);
}

void igesUnits(int unitIndex, int& flag, std::string& name) {
    switch (unitIndex) {
    case 0: flag = 10; name = "CM"; break;
    case 1: flag = 2; name = "MM"; break;
    case 3: flag = 6; name = "M"; break;
    default: flag = 1; name = "INCH"; break;
    }
}

std::string compactExponents(const std::string& text) {
    std::string out;
    const std::size_t limit = std::min<std::size_t>(text.size(), 150);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (i < limit && text[i] == 'E' && i + 1 < text.size() &&
            (text[i + 1] == '+' || text[i + 1] == '-')) {
            out += text[++i];
            // Leading zeros go; the last digit stays.
            while (i + 2 < text.size() && text[i + 1] == '0' && std::isdigit(static_cast<unsigned char>(text[i + 2])))
                ++i;
        }
    }
    return out;
}

std::vector<std::string> splitParameters(const std::string& text, std::size_t width) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (text.size() - start > width) {
        // Break after the last delimiter that fits, so no parameter is cut and the closing ';'
        // never stands alone; a parameter longer than a whole line is cut where it must be.
        std::size_t cut = text.find_last_of(",;", start + width - 1);
        cut = cut == std::string::npos || cut < start ? start + width : cut + 1;
        pieces.push_back(text.substr(start, cut - start));
        start = cut;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::string igesLineParameters(double x1, double y1, double z1, double x2, double y2, double z2) {
    return compactExponents(formatText("%4d,%#G,%#G,%#G,%#G,%#G,%#G;", 110, x1, y1, z1, x2, y2,
                                       z2));
}

void writeIgesGlobalSection() {
    IgesState& s = igesState();
    const IgesHeader& h = s.header;
    const std::string groups[] = {
        "1H,,1H;,",
        igesHollerith(h.senderProductId) + ",",
        igesHollerith(h.fileName) + ",",
        igesHollerith(h.nativeSystemId) + ",",
        formatText("%s,%d,%d,%d,%d,%d,", igesHollerith(h.preprocessorVersion).c_str(),
                   h.integerBits, h.singleMagnitude, h.singleDigits, h.doubleMagnitude,
                   h.doubleDigits),
        igesHollerith(h.receiverProductId) + ",",
        formatText("%s,%d,%s,%d,%s,%s,%G,%s,", upperG(h.modelScale).c_str(), h.unitFlag,
                   igesHollerith(h.unitName, true).c_str(), h.lineWeightGradations,
                   upperG(h.maxLineWeight).c_str(), igesHollerith(h.date).c_str(),
                   h.minResolution, upperG(h.maxCoordinate).c_str()),
        igesHollerith(h.author) + ",",
        igesHollerith(h.organisation) + ",",
        formatText("%d,%d;", h.versionFlag, h.draftingStandard),
    };
    // A group longer than one record continues on the next G record.
    for (const std::string& g : groups)
        for (std::size_t at = 0; at == 0 || at < g.size(); at += kRecordText)
            addRecord(g.substr(at, kRecordText), 'G', s.gCount);
}

bool openIgesOutput() {
    IgesState& s = igesState();
    s.header.date = igesDateStamp();
    s.outputText.clear();
    s.parameterText.clear();
    addRecord("", 'S', s.sCount);
    writeIgesGlobalSection();
    return true;
}

void writeIgesDirectoryEntry(int parameterPointer, int parameterLines, const std::string& label,
                             int colour) {
    IgesState& s = igesState();
    const int first = s.dCount + 1;
    s.outputText += formatText("%8d%8d%8d%8d%8d%8d%8d%8d%02d%02d%02d%02dD%07d\n", 110,
                               parameterPointer, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, first);
    s.outputText += formatText("%8d%8d%8d%8d%8d%16s%8s%8dD%07d\n", 110, 0, colour, parameterLines,
                               0, "", label.substr(0, 8).c_str(), 0, first + 1);
    s.dCount += 2;
}

void writeIgesLine(double x1, double y1, double z1, double x2, double y2, double z2,
                   const std::string& label, int colour) {
    IgesState& s = igesState();
    const int pointer = s.pCount + 1;
    const int directory = s.dCount + 1;
    const std::vector<std::string> lines =
        splitParameters(igesLineParameters(x1, y1, z1, x2, y2, z2), kParameterText);
    for (const std::string& line : lines)
        s.parameterText += formatText("%-64s%8dP%07d\n", line.c_str(), directory, ++s.pCount);
    writeIgesDirectoryEntry(pointer, static_cast<int>(lines.size()), label, colour);
}

int writeIgesFile() {
    IgesState& s = igesState();
    s.sCount = s.gCount = s.dCount = s.pCount = 0;
    igesUnits(currentUnit, s.header.unitFlag, s.header.unitName);
    const std::string path = platform::joinPath(s.outputDirectory, s.outputName);
    platform::ReplacementFile out;
    if (!out.open(path)) {
        errorText(outputChannel, "Error opening iges output file.\n");
        return 0;
    }
    std::vector<LineEntity> entities;
    long dropped = 0;
    if (!readEntities(s.intermediateFile, entities, dropped)) {
        errorText(outputChannel, "Error opening intermediate file.\n");
        return 0;
    }
    if (dropped != 0)
        errorText(outputChannel,
                  "%ld lines with coordinates an IGES file cannot hold were left out.\n",
                  dropped);
    // The header's maximum coordinate bounds every coordinate of the file.
    const double defaultMaximum = IgesHeader{}.maxCoordinate;
    double largest = 0.0;
    for (const LineEntity& e : entities)
        for (float v : e.p)
            if (std::isfinite(v)) largest = std::max(largest, std::fabs(static_cast<double>(v)));
    s.header.maxCoordinate = std::max(defaultMaximum, largest);
    openIgesOutput();
    for (const LineEntity& e : entities)
        writeIgesLine(e.p[0], e.p[1], e.p[2], e.p[3], e.p[4], e.p[5], e.label, e.colour);
    s.outputText += s.parameterText;
    s.outputText += formatText("S%07dG%07dD%07dP%07d%40sT0000001\n", s.sCount, s.gCount,
                               s.dCount, s.pCount, "");
    std::fwrite(s.outputText.data(), 1, s.outputText.size(), out.stream());
    s.outputText.clear();
    s.parameterText.clear();
    s.header.maxCoordinate = defaultMaximum;
    if (!out.commit()) {
        errorText(outputChannel, "Unable to write %s\n", path.c_str());
        return 0;
    }
    ::unlink(s.intermediateFile.c_str());
    return 1;
}
