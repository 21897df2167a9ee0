#include "ui/props/document_menu.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "command/interpreter/command_table.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/reader.h"
#include "parts/text/c_locale_text.h"
#include "platform/safe_file.h"

namespace {

enum class Rule {
    LightSource,
    SpotFile,
    Objects,
    Always,
    LastMacro,
    HeldBitmap,
    EnergyRepeat,
    Never,
    CheckAddRays,
    CheckErrorPopup,
    CheckAdvancedTrace,
    CheckUnitsMm,
    Pause
};

struct Row {
    const char* path;
    Rule rule;
};

// The table, by the paths of the window's entries: "&Menu>Item" for the menus, "#105>Item" for the
// view's context menu and "#toolbar>prompt" for a button named by its prompt.
const Row kRows[] = {
    {"#toolbar>Traces a collimated  (parallel)  bundle of rays from the lightsource.",
     Rule::LightSource},
    {"&Analyze>&Raytrace>Cone>Eqangle...", Rule::LightSource},
    {"&Analyze>&Raytrace>Cone>Eqsolid...", Rule::LightSource},
    {"&Analyze>&Raytrace>Cone>Fullangle...", Rule::LightSource},
    {"&Analyze>&Display>Rays", Rule::LightSource},
    {"#105>CosineLamp...", Rule::LightSource},
    {"&Analyze>&Raytrace>Collimated>Oval...", Rule::LightSource},
    {"&Analyze>&Raytrace>Collimated>Rectangle...", Rule::LightSource},
    {"&Analyze>&Energy>Encircled...", Rule::SpotFile},
    {"&Analyze>&Energy>X Linear...", Rule::SpotFile},
    {"&Analyze>&Energy>Y Linear...", Rule::SpotFile},
    {"&Analyze>&Display>AltSurfaces...", Rule::Objects},
    {"&Analyze>&Display>Extents...", Rule::Objects},
    {"#105>Parameters...", Rule::Objects},
    {"&Edit>Translate...", Rule::Objects},
    {"&Edit>Rotate...", Rule::Objects},
    {"#105>AltSurfaces>Aspheric...", Rule::Objects},
    {"#105>AltSurfaces>Fresnel...", Rule::Objects},
    {"#105>AltSurfaces>Grating...", Rule::Objects},
    {"#105>AltSurfaces>Toric...", Rule::Objects},
    {"#105>Center...", Rule::Objects},
    {"#105>Extents...", Rule::Objects},
    {"#toolbar>Modify volume absorbtion component of an object medium.", Rule::Objects},
    {"&Modify>Polynet...", Rule::Objects},
    {"#105>SurfaceAttrib...", Rule::Objects},
    {"#toolbar>Add a hole to a single surface mirror.", Rule::Objects},
    {"#toolbar>Display numerical text showing object location geometry - placement and rotation",
     Rule::Objects},
    {"&Analyze>&Display>Object...", Rule::Objects},
    {"&Edit>Remove...", Rule::Objects},
    {"&Analyze>&Display>Geometry", Rule::Objects},
    {"&Analyze>&Display>Surface...", Rule::Objects},
    {"#105>SurfaceHole...>Delete...", Rule::Objects},
    {"#105>SurfaceHole...>Oval...", Rule::Objects},
    {"#105>SurfaceHole...>Rectangular...", Rule::Objects},
    {"#toolbar>Display the objects placement and adjust it numerically.", Rule::Objects},
    {"#105>Scatterer>PowerLaw...", Rule::Objects},
    {"#105>Scatterer>X-Y Exponential...", Rule::Objects},
    {"#105>Scatterer>Gaussian...", Rule::Objects},
    {"#105>Scatterer>Lambertian...", Rule::Objects},
    {"#105>Scatterer>None...", Rule::Objects},
    {"#105>Scatterer>Show...", Rule::Objects},
    {"&File>&Open...", Rule::Always},
    {"&File>HPGL export...", Rule::Always},
    {"&File>ImportSTL...", Rule::Always},
    {"&File>ReRunLastMacro", Rule::LastMacro},
    {"&File>ClearReRunMacro", Rule::LastMacro},
    {"&File>EditLastMacro", Rule::LastMacro},
    {"#105>CopyBitmap", Rule::HeldBitmap},
    {"&Analyze>&Energy>RepeatLast", Rule::EnergyRepeat},
    {"&File>Import&IGES...", Rule::Never},
    {"&Options>AddRays", Rule::CheckAddRays},
    {"&Options>Preferences>PopUpOnError", Rule::CheckErrorPopup},
    {"#105>AdvancedTraceEngine", Rule::CheckAdvancedTrace},
    {"&Window>SetUnits>mm", Rule::CheckUnitsMm},
    {kPauseMacroPath, Rule::Pause},
};

} // namespace

std::optional<MenuItemState> documentMenuItemState(const std::string& path,
                                                   const DocumentMenuState& s) {
    for (const Row& row : kRows) {
        if (path != row.path) continue;
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
        case Rule::HeldBitmap:
            m.enabled = s.heldBitmap;
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
        case Rule::Pause:
            // Checked while the flag is set; enabled then and while a macro runs, so that the
            // flag can be set at all.
            m.enabled = s.paused || s.macroRunning;
            m.checkable = true, m.checked = s.paused;
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
            out.emplace_back(row.path);
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
    // A regular file only, opened without waiting: a FIFO or a device must not hold the menu up.
    std::string head;
    if (std::FILE* f = platform::openRegularForRead(path)) {
        char buffer[4096];
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, f);
        head.assign(buffer, got);
        std::fclose(f);
    }
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
