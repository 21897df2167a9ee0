#include "ui/compose/tool_commands.h"

#include <cmath>
#include <cstdio>

#include "command/interpreter/aliases.h"
#include "ui/compose/field_text.h"

namespace {

constexpr std::size_t kObjectFieldLength = 20;

std::optional<std::string> objectFieldRefusal(const std::string& text, const char* field) {
    if (isObjectField(text, kObjectFieldLength)) return std::nullopt;
    return std::string(field) + ": please enter an object number or a name of at most 20 " +
           "characters: a letter, then letters, digits, \"_\" or \"-\".";
}

std::string three(double x, double y, double z) {
    return fieldNumber(x) + " " + fieldNumber(y) + " " + fieldNumber(z);
}

double sum(const std::array<double, 3>& h) {
    return h[0] + h[1] + h[2];
}

} // namespace

std::optional<std::string> rotationRefusal(const RotationRequest& r) {
    if (auto bad = objectFieldRefusal(r.object, "Object")) return bad;
    if (r.frame == 2) return objectFieldRefusal(r.reference, "Ref Object");
    return std::nullopt;
}

std::string rotationCommand(const RotationRequest& r) {
    static const char* const frames[] = {"/global", "/local", "/relative"};
    static const char* const axes[] = {"/x", "/y", "/z"};
    std::string text = std::string("rotate") + frames[r.frame < 0 || r.frame > 2 ? 1 : r.frame] +
                       axes[r.axis < 0 || r.axis > 2 ? 0 : r.axis] + " " + r.object + " ";
    if (r.frame == 2) text += r.reference + " ";
    return text + fieldNumber(r.angle);
}

std::optional<std::string> placementRefusal(const PlacementRequest& r) {
    if (auto bad = objectFieldRefusal(r.object, "Object")) return bad;
    // Rotations take an optional reference; relative and inside need one.
    if (r.type == 1 || r.type == 2 || !r.reference.empty())
        return objectFieldRefusal(r.reference, "Ref Object");
    return std::nullopt;
}

std::string placementCommand(const PlacementRequest& r) {
    switch (r.type) {
    case 1: return "place/object/relative " + r.object + " " + r.reference + " " + three(r.x, r.y, r.z);
    case 2: return "place/object/inside " + r.object + " " + r.reference + " " + three(r.x, r.y, r.z);
    case 3:
        return "place/rotations " + r.object + " " + three(r.x, r.y, r.z) + " " +
               three(r.a, r.b, r.g) + " " + r.reference;
    default: return "place/object/global " + r.object + " " + three(r.x, r.y, r.z);
    }
}

std::optional<std::string> translationRefusal(const TranslationRequest& r) {
    return objectFieldRefusal(r.object, "Object");
}

std::string translationCommand(const TranslationRequest& r) {
    return std::string(r.type == 1 ? "translate/local " : "translate/global ") + r.object + " " +
           three(r.x, r.y, r.z);
}

std::optional<std::string> workboxRefusal(const std::array<double, 3>& halfSizes) {
    for (double h : halfSizes)
        if (!(h > 0 && h <= 1e300)) return "Please enter a size above 0 and at most 1e+300.";
    return std::nullopt;
}

double gridExtentOf(const std::array<double, 3>& halfSizes) {
    return 0.333 * sum(halfSizes);
}

std::optional<std::string> wavelengthRefusal(const std::array<double, 12>& wavelengths) {
    for (double w : wavelengths)
        if (w < 0) return std::string("Please enter a wavelength of 0 or more.");
    return std::nullopt;
}

std::vector<std::string> wavelengthCommands(const std::array<double, 12>& weights,
                                            const std::array<double, 12>& wavelengths) {
    std::string weight = "set/weightwave";
    std::string wave = "set/wavelength";
    for (int i = 0; i < 12; ++i) {
        // The lines keep their blanks between the sixth and seventh value.
        weight += (i == 6 ? "   " : " ") + fieldNumber(weights[i]);
        wave += (i == 6 ? "  " : " ") + fieldNumber(wavelengths[i]);
    }
    return {weight, wave};
}

double perspectiveMinimum(const std::array<double, 3>& halfSizes) {
    return 0.33 * sum(halfSizes);
}

bool perspectiveAccepted(double distance, const std::array<double, 3>& halfSizes) {
    return distance >= perspectiveMinimum(halfSizes);
}

double solidAspect(int clientWidth, int clientHeight) {
    if (clientWidth <= 0) return 1.0;
    return static_cast<double>(clientHeight) / clientWidth;
}

SolidSizes solidPresets(int clientWidth, int clientHeight) {
    SolidSizes s;
    s.maxNx = clientWidth;
    s.maxNy = clientHeight;
    s.nx = 128;
    s.ny = static_cast<int>(128 * solidAspect(clientWidth, clientHeight));
    return s;
}

SolidSizes solidSizesForStep(int clientWidth, int clientHeight, int step) {
    SolidSizes s;
    s.maxNx = clientWidth;
    s.maxNy = clientHeight;
    if (step < 1) step = 1;
    s.nx = clientWidth / step / 4 * 4;
    s.ny = clientHeight / step;
    return s;
}

int solidRoundNx(int nx) {
    if (nx % 4 == 0) return nx;
    return nx > 0 ? (nx / 4 + 1) * 4 : nx / 4 * 4;
}

std::optional<std::string> solidRefusal(int nx, int ny) {
    if (nx < 4 || nx > 4096 || ny < 4 || ny > 4096) return rangeRefusal(4, 4096);
    return std::nullopt;
}

double solidEyeDistance(double viewDistance, const std::array<double, 3>& halfSizes) {
    const double limit = 100000 * sum(halfSizes);
    return viewDistance > limit ? limit : viewDistance;
}

std::string solidLimitText(int maxNx, int maxNy) {
    char text[96];
    std::snprintf(text, sizeof text, kSolidLimitFormat, maxNx, maxNy);
    return text;
}

std::optional<std::string> replicateRefusal(int copies, const std::string& baseName) {
    if (copies < 1 || copies > 499) return rangeRefusal(1, 499);
    if (!isCommandName(baseName, 16)) return commandNameRefusal("New Name(base)", 16);
    return std::nullopt;
}

std::string replicateCommand(const std::string& baseName, const std::string& objectLabel,
                             int copies) {
    return "replicate/newname=" + baseName + " " + objectLabel + " " + std::to_string(copies);
}

std::string fresnelAltSurfacePath(int orientation) {
    switch (orientation) {
    case 0: return "modify/altsurfaces/fresnel/radial";
    case 2: return "modify/altsurfaces/fresnel/y_cylindrical";
    default: return "modify/altsurfaces/fresnel/x_cylindrical";
    }
}

std::string igesCommand(bool viewRays, const std::string& fileName) {
    return std::string(viewRays ? "iges/rays/name=" : "iges/name=") + fileName;
}

std::optional<std::string> stlParametersRefusal(const StlParameters& p) {
    if (p.name.empty()) return std::string(kStlEmptyNameText);
    if (!isCommandName(p.name, 19)) return commandNameRefusal("Object name", 19);
    // The start command would refuse it after the file was opened; the dialog says so first.
    if (aliasFindByName(p.name.c_str()))
        return "\"" + p.name + "\" is already in use.  Use a different name.";
    if (!(p.reflectance >= 0 && p.reflectance <= 1) || !(p.absorption >= 0 && p.absorption <= 1))
        return rangeRefusal(0, 1);
    if (p.reflectance + p.absorption > 1)
        return std::string("Reflectance and absorption together must not exceed 1.");
    if (!std::isfinite(p.index)) return std::string("Please enter a number.");
    return std::nullopt;
}

std::string stlStartCommand(const StlParameters& p) {
    return "polynet/start " + p.name + " refl=" + fieldNumber(p.reflectance) +
           " abs=" + fieldNumber(p.absorption) + " index=" + fieldNumber(p.index);
}

std::optional<std::string> cubeCornerRefusal(const CubeCornerRequest& r) {
    if (!isCommandName(r.name, 17)) return commandNameRefusal("Name", 17);
    if (!(r.halfWidth > 0 && r.halfWidth <= 1e37))
        return std::string("Please enter a half-width above 0 and at most 1e+37.");
    if (!(r.index >= 0 && r.index <= 1000)) return rangeRefusal(0, 1000);
    return std::nullopt;
}
