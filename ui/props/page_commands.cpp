#include "ui/props/page_commands.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "command/interpreter/reader.h"
#include "parts/attach/source_paths.h"
#include "parts/part.h"
#include "command/text/number_text.h"

namespace {

const char* const kNotNumber = "A value is not a number; nothing was applied.";
const char* const kTooLong =
    "The command would be longer than 250 characters; nothing was applied.";
const char* const kBadFile =
    "The file name cannot be passed to a command (empty, not chosen, or holding '|' or a control "
    "character); nothing was applied.";

bool allFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}
template <std::size_t N> bool allFinite(const std::array<double, N>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The result of the composed texts: refused when any is longer than the reader keeps.
ComposedCommands finish(std::vector<std::string> texts) {
    ComposedCommands c;
    for (const std::string& t : texts)
        if (t.size() > static_cast<std::size_t>(kLineSignificant)) {
            c.refusal = kTooLong;
            return c;
        }
    c.texts = std::move(texts);
    return c;
}

ComposedCommands refuse(const char* why) {
    ComposedCommands c;
    c.refusal = why;
    return c;
}

std::string numbers(const char* format, const double* values, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += formatCText(format, values[i]);
    return out;
}

} // namespace

bool readPageNumber(const std::string& text, double& value) {
    const char* p = text.c_str();
    double v = 0;
    if (!scanCDouble(p, v)) return false;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::string pageNumberText(double value) {
    return formatCText("%.12lg", value);
}

bool quotePageFileName(const std::string& path, std::string& quoted) {
    if (path.empty() || path.compare(0, 7, "<select") == 0) return false;
    std::string out = "\"";
    for (unsigned char c : path) {
        if (c == '|' || c < 0x20 || c == 0x7f) return false;
        out += static_cast<char>(c);
        if (c == '"') out += '"';
    }
    quoted = out + "\"";
    return true;
}

ComposedCommands composeExtent(const ExtentPageValues& v) {
    if (!allFinite({v.holeXCenter, v.holeYCenter, v.holeXHalf, v.holeYHalf, v.xMin, v.yMin, v.zMin,
                    v.xMax, v.yMax, v.zMax}))
        return refuse(kNotNumber);
    std::vector<std::string> texts;
    if (v.holeSection) {
        std::string t = "modify";
        if (v.holeType == 1)
            t += "/hole/rectang ";
        else if (v.holeType == 2)
            t += "/hole/oval ";
        else
            t += "/hole/delete ";
        t += v.name;
        if (v.holeType == 1 || v.holeType == 2) {
            const double hole[4] = {v.holeXCenter, v.holeYCenter, v.holeXHalf, v.holeYHalf};
            t += numbers(" %16.11lg", hole, 4);
        }
        texts.push_back(t);
    }
    const double extent[6] = {v.xMin, v.yMin, v.zMin, v.xMax, v.yMax, v.zMax};
    texts.push_back("modify/extent " + v.name + numbers(" %16.11lg", extent, 6));
    return finish(std::move(texts));
}

ComposedCommands composeDefinition(const DefinitionPageValues& v) {
    if (!allFinite(v.values)) return refuse(kNotNumber);
    std::string t = v.defineText;
    if (v.glassSelection > 0 && v.glassSelection < static_cast<int>(v.glassNames.size()))
        t += "/material=" + v.glassNames[static_cast<std::size_t>(v.glassSelection)];
    t += " ";
    if (v.valueCount >= 1 && v.valueCount <= DefinitionPageValues::kValues)
        t += numbers(" %16.11lg", v.values.data(), v.valueCount);
    return finish({t});
}

ComposedCommands composePlacement(const PlacementPageValues& v) {
    if (!allFinite({v.x, v.y, v.z, v.alpha, v.beta, v.gamma})) return refuse(kNotNumber);
    const double p[6] = {v.x, v.y, v.z, v.alpha, v.beta, v.gamma};
    return finish({"plac/rota " + v.name + numbers(" %15.11lg", p, 6) + " " + v.insideName});
}

ComposedCommands composeActivated(const PlacementPageValues& v, bool activated) {
    return finish({(activated ? "activate " : "deactivate ") + v.name});
}

ComposedCommands composeInPlace(const PlacementPageValues& v, bool inPlace) {
    if (inPlace) return composePlacement(v);
    return finish({"remove " + v.name});
}

ComposedCommands composeAttributes(const AttributesPageValues& v) {
    if (!allFinite({v.refl, v.absor})) return refuse(kNotNumber);
    const double a[2] = {v.refl, v.absor};
    return finish({"modify/surface/attributes " + v.name + numbers(" %16.11lg", a, 2)});
}

ComposedCommands composeAltSurface(const AltSurfacePageValues& v) {
    if (!allFinite(v.values)) return refuse(kNotNumber);
    std::string prefix;
    int count = 0;
    switch (v.type) {
    case 0:
        prefix = "modify/altsurfaces/none ";
        break;
    case 1:
        prefix = "modify/altsurfaces/toric ";
        count = 3;
        break;
    case 2:
        prefix = "modify/altsurfaces/aspheric ";
        count = 6;
        break;
    case 3:
        prefix = v.fresnelKind == 0   ? "modify/altsurfaces/fresnel/radial "
                 : v.fresnelKind == 1 ? "modify/altsurfaces/fresnel/x_c "
                                      : "modify/altsurfaces/fresnel/y_c  ";
        count = 2;
        break;
    case 4:
        prefix = "modify/altsurfaces/grating ";
        count = 3;
        break;
    case 5:
        prefix = "# ";
        break;
    default:
        return ComposedCommands{}; // no type chosen: nothing to issue
    }
    return finish({prefix + v.name + numbers(" %16.11lg", v.values.data(), count)});
}

ComposedCommands composeScattering(const ScatteringPageValues& v) {
    if (!allFinite(v.values)) return refuse(kNotNumber);
    std::string t = "modify";
    int count = 0;
    switch (v.type) {
    case 0:
        t += "/scatterer/none ";
        break;
    case 1:
        t += "/scatterer/lambertian ";
        count = 1;
        break;
    case 2:
        t += "/scatterer/gaussian ";
        count = 2;
        break;
    case 3:
        t += "/scatterer/powerlaw ";
        count = 2;
        break;
    case 4:
        t += "/scatterer/xy_exponential ";
        count = 3;
        break;
    default:
        return ComposedCommands{};
    }
    return finish({t + v.name + numbers(" %16.11lg", v.values.data(), count)});
}

ComposedCommands composeFresnel(const FresnelPageValues& v) {
    if (!allFinite(v.cons)) return refuse(kNotNumber);
    std::string t = "modify/surface";
    switch (v.type) {
    case 0:
        return finish({t + "/fresnel/off " + v.name});
    case 1:
        return finish({t + "/fresnel/on " + v.name});
    case 2:
        t += "/metal/on ";
        break;
    case 3:
        t += "/lwirmetal/on ";
        break;
    default:
        return ComposedCommands{};
    }
    return finish({t + v.name + numbers(" %16.11lg", v.cons.data(), 6)});
}

ComposedCommands composeMedia(const MediaPageValues& v) {
    if (!allFinite(v.values) || !std::isfinite(v.volumeAbsorption)) return refuse(kNotNumber);
    std::vector<std::string> texts;
    if (v.volumeAbsorption != v.absorptionLoaded)
        texts.push_back("modify/object/absor " + v.name + numberWords({v.volumeAbsorption}) + " ");
    switch (v.materialType) {
    case 0:
        texts.push_back("material/remove " + v.name);
        break;
    case 1:
        texts.push_back("material/bulk/attach " + v.name + numberWords(v.values.data(), 3));
        break;
    case 2: {
        std::string quoted;
        if (!quotePageFileName(v.pluginFile, quoted)) return refuse(kBadFile);
        texts.push_back("material/grin/name=" + quoted + " " + v.name +
                        numberWords(v.values.data(), 9));
        break;
    }
    default:
        break; // no type chosen: only the absorption
    }
    return finish(std::move(texts));
}

ComposedCommands composeSource(const SourcePageValues& v) {
    if (!allFinite(v.values)) return refuse(kNotNumber);
    std::string t;
    const std::string* file = nullptr;
    bool values = true;
    switch (v.type) {
    case 0:
        return finish({"modify/source " + v.name});
    case 1:
        t = "modify/source/custom/name=";
        file = &v.dllFile;
        break;
    case 2:
        t = "modify/source/iesna/name=";
        file = &v.tableFile;
        values = false;
        break;
    case 3:
        t = "modify/source/standard/name=";
        file = &v.dllFile;
        break;
    case 4:
        t = "modify/source/gridsrc/name=";
        file = &v.tableFile;
        break;
    default:
        return ComposedCommands{}; // no source choice (a pixel source): nothing
    }
    std::string quoted;
    if (!quotePageFileName(*file, quoted)) return refuse(kBadFile);
    t += quoted + " " + v.name;
    if (values) t += numberWords(v.values.data(), 9);
    return finish({t});
}

void chooseAltSurfaceType(AltSurfacePageValues& v, int type) {
    auto set = [&v](std::array<const char*, 6> labels, std::array<double, 6> values, int kind) {
        for (std::size_t i = 0; i < 6; ++i)
            v.labels[i] = labels[i];
        v.values = values;
        v.fresnelKind = kind;
    };
    const char* na = kNotApplicable;
    v.type = type;
    switch (type) {
    case 0:
        set({na, na, na, na, na, na}, {0, 0, 0, 0, 0, 0}, -1);
        break;
    case 1:
        set({"rx", "ry", "ccy", na, na, na}, {100, 200, 0, 0, 0, 0}, -1);
        break;
    case 2:
        set({"cv", "k", "a1", "a2", "a3", "a4"}, {0.2, -1.0, 0, 0, 0, 0}, -1);
        break;
    case 3:
        set({"s", "sp", na, na, na, na}, {50, 100, 0, 0, 0, 0}, 0);
        break;
    case 4:
        set({"frequency", "theta", "order", na, na, na}, {50, 0, 1.0, 0, 0, 0}, -1);
        break;
    default:
        v.fresnelKind = -1;
        break;
    }
}

void chooseScatteringType(ScatteringPageValues& v, int type) {
    const char* na = kNotApplicable;
    v.type = type;
    switch (type) {
    case 1:
        v.labels = {"fraction", na, na};
        break;
    case 2:
        v.labels = {"fraction", "sigma", na};
        break;
    case 3:
        v.labels = {"fraction", "power", na};
        break;
    case 4:
        v.labels = {"fraction", "xsigma", "ysigma"};
        break;
    default:
        v.labels = {na, na, na};
        break;
    }
}

void chooseFresnelType(FresnelPageValues& v, int type) {
    v.type = type;
    if (type == 2)
        v.cons = {0.5, 1.0, 1.0, 0.0, 1.5, 0.0};
    else if (type == 3)
        v.cons = {0.5, 1.0, 8.854e-12, 1.78e+14, 5.0e+5, 0.0};
    else
        v.cons = {0, 0, 0, 0, 0, 0};
}

void chooseMediaType(MediaPageValues& v, int type) {
    v.materialType = type;
    v.values = {};
    if (type == 1) {
        v.labels = {"scatter", "absorb", "anisotropy", "", "", "", "", "", ""};
        v.values[0] = 0.1;
        v.values[1] = 0.2;
        v.values[2] = 0.8;
        v.pluginFile.clear();
    } else if (type == 2) {
        v.labels = {"max step size", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8"};
        v.values[0] = 0.01;
        v.values[1] = 2.0;
        v.values[2] = -0.003085809;
        v.pluginFile = "<select dll>";
    } else {
        v.materialType = 0;
        v.labels = {"", "", "", "", "", "", "", "", ""};
        v.pluginFile.clear();
    }
}

void chooseSourceType(SourcePageValues& v, int type) {
    v.type = type;
    v.values = {};
    v.dllFile.clear();
    v.tableFile.clear();
    switch (type) {
    case 0:
        for (auto& l : v.labels)
            l.clear();
        break;
    case 1:
        v.dllFile = "<select a source dll>";
        break;
    case 2:
        v.tableFile = "<select a IESNA table>";
        break;
    case 3:
        v.dllFile = "<select a standard DLL>";
        break;
    case 4:
        v.tableFile = "<select a source table>";
        break;
    default:
        break;
    }
}

std::vector<std::string> placementChoices(const std::vector<std::string>& names,
                                          const std::string& pageName) {
    const std::size_t dot = pageName.rfind('.');
    const std::string own = dot == std::string::npos ? pageName : pageName.substr(0, dot);
    std::vector<std::string> out{kNoEntry};
    for (const std::string& n : names) {
        if (n == own || n == kNoEntry) continue;
        if (std::find(out.begin(), out.end(), n) == out.end()) out.push_back(n);
    }
    return out;
}

std::string tableSourceModule(int sourceType, const std::string& tableFile) {
    return sourceModulePath(sourceType == 2 ? kSourceIesna : kSourceGridsrc, tableFile);
}
