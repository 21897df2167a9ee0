#include "command/settings/settings_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command/settings/color_tables.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "platform/private_profile.h"

namespace {

enum class KeyKind { Switch, Integer };

struct IntKey {
    const char* key;
    int* value;
    KeyKind kind;
};

int& popupFlag() {
    return messageState().errorPopup;
}

double textToNumber(const std::string& text) {
    double v = std::strtod(text.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

std::string plotmaxText(double v) {
    return formatText("%lg", v);
}

void warnNotWritten(const std::filesystem::path& path, const std::string& why) {
    std::fprintf(stderr, "WARNING: Unable to write settings file %s: %s\n", path.c_str(),
                 why.c_str());
}

bool writeKey(const char* key, const std::string& value) {
    auto path = settingsFilePath();
    platform::ProfileFile file;
    file.load(path);
    file.set(kSettingsSection, key, value);
    std::string why;
    if (file.save(path, &why)) return true;
    warnNotWritten(path, why);
    return false;
}

} // namespace

std::filesystem::path settingsFilePath() {
    const char* explicitPath = std::getenv("MERIDYN_INI");
    if (explicitPath && *explicitPath) return explicitPath;
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return kSettingsFileName; // nowhere better: the current directory
        base = std::filesystem::path(home) / ".config";
    }
    return base / "meridyn" / kSettingsFileName;
}

void loadIniSettings() {
    auto& s = settingsState();
    platform::ProfileFile file;
    file.load(settingsFilePath());
    auto readInt = [&](const char* key, int& value) {
        if (auto text = file.get(kSettingsSection, key)) value = platform::profileInt(*text);
    };
    readInt("verifycom", s.verifyCommands);
    readInt("ortho", s.orthogonalMode);
    readInt("rays", s.viewRays);
    readInt("mono", s.monochrome);
    if (s.monochrome) selectColorTable(kBlackOnWhite);
    readInt("box", s.viewBox);
    readInt("grid", s.viewGrid);
    readInt("memsplit", s.memsplit);
    readInt("Xsnz", s.xsnz);
    readInt("redraw", s.autoRedraw);
    readInt("retrace", s.autoRetrace);
    readInt("computertype", s.computerType);
    readInt("autoplot", s.autoPlot);
    s.plotMax = textToNumber(file.get(kSettingsSection, "plotmax").value_or("99.0"));
    readInt("density", s.energyDensity);
    readInt("percent", s.energyPercentage);
    readInt("energyabsolute", s.energyAbsolute);
    readInt("comline", s.commandLineMode);
    readInt("cpu", s.cpu);
    readInt("sphlensvertex", s.sphLensVertex);
    readInt("errorpopup", popupFlag());
}

void saveIniSettings() {
    auto& s = settingsState();
    const IntKey keys[] = {
        {"verifycom", &s.verifyCommands, KeyKind::Switch},
        {"ortho", &s.orthogonalMode, KeyKind::Switch},
        {"rays", &s.viewRays, KeyKind::Switch},
        {"mono", &s.monochrome, KeyKind::Switch},
        {"box", &s.viewBox, KeyKind::Switch},
        {"grid", &s.viewGrid, KeyKind::Switch},
        {"memsplit", &s.memsplit, KeyKind::Integer},
        {"Xsnz", &s.xsnz, KeyKind::Integer},
        {"redraw", &s.autoRedraw, KeyKind::Switch},
        {"retrace", &s.autoRetrace, KeyKind::Switch},
        {"comline", &s.commandLineMode, KeyKind::Integer},
        {"computertype", &s.computerType, KeyKind::Integer},
        {"autoplot", &s.autoPlot, KeyKind::Switch},
        {"plotmax", nullptr, KeyKind::Integer},
        {"density", &s.energyDensity, KeyKind::Switch},
        {"percent", &s.energyPercentage, KeyKind::Switch},
        {"energyabsolute", &s.energyAbsolute, KeyKind::Switch},
        {"sphlensvertex", &s.sphLensVertex, KeyKind::Switch},
        {"cpu", &s.cpu, KeyKind::Integer},
        {"errorpopup", &popupFlag(), KeyKind::Switch},
    };
    auto path = settingsFilePath();
    platform::ProfileFile file;
    file.load(path);
    for (const IntKey& k : keys) {
        std::string value;
        if (!k.value)
            value = plotmaxText(s.plotMax);
        else if (k.kind == KeyKind::Switch)
            value = std::string(*k.value ? "1" : "0");
        else
            value = formatText("%ld", static_cast<long>(*k.value));
        file.set(kSettingsSection, k.key, value);
    }
    std::string why;
    if (!file.save(path, &why)) warnNotWritten(path, why);
}

double readIniNumber(const char* key, const char* defaultText) {
    platform::ProfileFile file;
    file.load(settingsFilePath());
    return textToNumber(file.get(kSettingsSection, key).value_or(defaultText));
}

bool writeIniNumber(double value, const char* key) {
    return writeKey(key, formatText("%lg", value));
}

bool writeIniInteger(long value, const char* key) {
    return writeKey(key, formatText("%ld", value));
}

bool writeIniSwitch(int value, const char* key) {
    return writeKey(key, value ? "1" : "0");
}
