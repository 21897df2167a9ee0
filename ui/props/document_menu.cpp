#include "ui/props/document_menu.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "command/interpreter/command_table.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/reader.h"
#include "parts/text/c_locale_text.h"

namespace {

enum class Rule {
    LightSource,
    SpotFile,
    Objects,
    Always,
    LastMacro,
    EnergyRepeat,
    Never,
    CheckAddRays,
    CheckErrorPopup,
    CheckAdvancedTrace,
    CheckUnitsMm
};

struct Row {
    const char* text;
    Rule rule;
};

// The table, item texts as the menus hold them.
const Row kRows[] = {
    {"Traces a collimated  (parallel)  bundle of rays from the lightsource.", Rule::LightSource},
    {"&Analyze>&Raytrace>Cone>Eqangle...", Rule::LightSource},
    {"&Analyze>&Raytrace>Cone>Eqsolid...", Rule::LightSource},
    {"&Analyze>&Raytrace>Cone>Fullangle...", Rule::LightSource},
    {"&Analyze>&Display>Rays", Rule::LightSource},
    {"CosineLamp...", Rule::LightSource},
    {"&Analyze>&Raytrace>Collimated>Oval...", Rule::LightSource},
    {"&Analyze>&Raytrace>Collimated>Rectangle...", Rule::LightSource},
    {"&Analyze>&Energy>Encircled...", Rule::SpotFile},
    {"&Analyze>&Energy>X Linear...", Rule::SpotFile},
    {"&Analyze>&Energy>Y Linear...", Rule::SpotFile},
    {"&Analyze>&Display>AltSurfaces...", Rule::Objects},
    {"&Analyze>&Display>Extents...", Rule::Objects},
    {"Parameters...", Rule::Objects},
    {"&Edit>Translate...", Rule::Objects},
    {"&Edit>Rotate...", Rule::Objects},
    {"AltSurfaces>Aspheric...", Rule::Objects},
    {"AltSurfaces>Fresnel...", Rule::Objects},
    {"AltSurfaces>Grating...", Rule::Objects},
    {"AltSurfaces>Toric...", Rule::Objects},
    {"Center...", Rule::Objects},
    {"Extents...", Rule::Objects},
    {"Modify volume absorbtion component of an object medium.", Rule::Objects},
    {"&Modify>Polynet...", Rule::Objects},
    {"SurfaceAttrib...", Rule::Objects},
    {"Add a hole to a single surface mirror.", Rule::Objects},
    {"Display numerical text showing object location geometry - placement and rotation",
     Rule::Objects},
    {"&Analyze>&Display>Object...", Rule::Objects},
    {"&Edit>Remove...", Rule::Objects},
    {"&Analyze>&Display>Geometry", Rule::Objects},
    {"&Analyze>&Display>Surface...", Rule::Objects},
    {"SurfaceHole...>Delete...", Rule::Objects},
    {"SurfaceHole...>Oval...", Rule::Objects},
    {"SurfaceHole...>Rectangular...", Rule::Objects},
    {"Display the objects placement and adjust it numerically.", Rule::Objects},
    {"Scatterer>PowerLaw...", Rule::Objects},
    {"Scatterer>X-Y Exponential...", Rule::Objects},
    {"Scatterer>Gaussian...", Rule::Objects},
    {"Scatterer>Lambertian...", Rule::Objects},
    {"Scatterer>None...", Rule::Objects},
    {"Scatterer>Show...", Rule::Objects},
    {"&File>&Open...", Rule::Always},
    {"HPGL export...", Rule::Always},
    {"&File>ImportSTL...", Rule::Always},
    {"&File>ReRunLastMacro", Rule::LastMacro},
    {"&File>ClearReRunMacro", Rule::LastMacro},
    {"&File>EditLastMacro", Rule::LastMacro},
    {"&Analyze>&Energy>RepeatLast", Rule::EnergyRepeat},
    {"Import&IGES...", Rule::Never},
    {"&Options>AddRays", Rule::CheckAddRays},
    {"&Options>Preferences>PopUpOnError", Rule::CheckErrorPopup},
    {"AdvancedTraceEngine", Rule::CheckAdvancedTrace},
    {"&Window>SetUnits>mm", Rule::CheckUnitsMm},
};

// True when `text` names the row: the same text, or a path that ends with it after a ">".
bool matches(const std::string& text, const std::string& row) {
    if (text == row) return true;
    return text.size() > row.size() &&
           text.compare(text.size() - row.size(), row.size(), row) == 0 &&
           text[text.size() - row.size() - 1] == '>';
}

} // namespace

std::optional<MenuItemState> documentMenuItemState(const std::string& text,
                                                   const DocumentMenuState& s) {
    for (const Row& row : kRows) {
        if (!matches(text, row.text)) continue;
        MenuItemState m;
        switch (row.rule) {
        case Rule::LightSource:
            m.enabled = s.currentLightSource > 0;
            break;
        case Rule::SpotFile:
            m.enabled = s.spotFileAvailable;
            break;
        case Rule::Objects:
            m.enabled = s.objectCount > 0;
            break;
        case Rule::Always:
            break;
        case Rule::LastMacro:
            m.enabled = !s.lastMacroPath.empty();
            break;
        case Rule::EnergyRepeat:
            m.enabled = s.energyRepeat;
            break;
        case Rule::Never:
            m.enabled = false;
            break;
        case Rule::CheckAddRays:
            m.checkable = true, m.checked = s.addRays;
            break;
        case Rule::CheckErrorPopup:
            m.checkable = true, m.checked = s.errorPopup;
            break;
        case Rule::CheckAdvancedTrace:
            m.checkable = true, m.checked = s.advancedTrace;
            break;
        case Rule::CheckUnitsMm:
            m.checkable = true, m.checked = s.unitsIndex == 1;
            break;
        }
        return m;
    }
    return std::nullopt;
}

const std::vector<std::string>& documentMenuTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        for (const Row& row : kRows)
            out.emplace_back(row.text);
        return out;
    }();
    return texts;
}

DocumentMenuModule& documentMenuModule() {
    static DocumentMenuModule module;
    return module;
}

void resetDocumentMenuState() {
    documentMenuModule() = DocumentMenuModule{};
}

std::optional<std::string> runMacroCommandText(const std::string& path) {
    if (!macroNamePassesWhole(path)) return std::nullopt;
    std::string text = "macro/run/name=\"";
    for (char c : path) {
        text += c;
        if (c == '"') text += '"';
    }
    text += "\"";
    if (text.size() > static_cast<std::size_t>(kLineSignificant)) return std::nullopt;
    return text;
}

bool macroBeginsWithClear(const std::string& path) {
    // Non-blocking open and a regular file only: a FIFO or a device must not hold the menu up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    std::string head;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) head.assign(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    std::istringstream lines(head);
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = line.find_first_not_of(" \t\r");
        if (at == std::string::npos || line[at] == '#') continue;
        std::string word;
        for (; at < line.size() && !std::strchr(" \t\r/;&", line[at]); ++at)
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(line[at])));
        // The keyword as the reader matches it: a unique abbreviation.
        int matches = 0;
        const char* match = nullptr;
        for (int i = 0; i < kCommandKeywordCount; ++i)
            if (!word.empty() && std::strncmp(commandKeywords[i], word.c_str(), word.size()) == 0) {
                ++matches;
                match = commandKeywords[i];
            }
        return matches == 1 && std::strcmp(match, "clear") == 0;
    }
    return false;
}

std::optional<std::vector<std::string>> placementToolTexts(const PlacementToolValues& v) {
    const double values[6] = {v.x, v.y, v.z, v.alpha, v.beta, v.gamma};
    std::string place = "place/rotations " + v.name;
    for (double value : values) {
        if (!std::isfinite(value)) return std::nullopt;
        place += formatCText(" %.17lg", value);
    }
    place += " " + v.reference;
    if (place.size() > static_cast<std::size_t>(kLineSignificant)) return std::nullopt;
    std::vector<std::string> texts{"# > adjust placement"};
    if (v.placed) texts.push_back("remove " + v.name);
    texts.push_back(place);
    return texts;
}

CopiedText copyLastScreenLines(const std::string& screenText, int count) {
    CopiedText out;
    if (count < 1) {
        out.note = count == 0 ? "Copying last 100 lines." : "Copying last 100 lines...";
        count = 100;
    }
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < screenText.size()) {
        std::size_t end = screenText.find('\n', at);
        end = end == std::string::npos ? screenText.size() : end + 1;
        lines.push_back(screenText.substr(at, end - at));
        at = end;
    }
    const int total = static_cast<int>(lines.size());
    const int first = total > count ? total - count : 0;
    for (int i = first; i < total; ++i)
        out.text += lines[static_cast<std::size_t>(i)];
    out.linesCopied = total - first;
    const std::size_t block = out.text.size() + 16;
    out.report = formatCText(
        "%d (%d) lines in output, %d total. Stored %d chars in %d sized buffer.", count,
        out.linesCopied, total, static_cast<int>(out.text.size()), static_cast<int>(block));
    return out;
}

std::vector<std::string> editorCommandLine(const std::string& path, const char* visual,
                                           const char* editor) {
    std::vector<std::string> args;
    for (const char* program : {visual, editor}) {
        if (!program || !*program) continue;
        std::istringstream words(program);
        for (std::string w; words >> w;)
            args.push_back(w);
        if (!args.empty()) break;
    }
    if (args.empty()) args.push_back("xdg-open");
    args.push_back(path);
    return args;
}
