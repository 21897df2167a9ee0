#include "command/settings/settings_file.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "command/settings/color_tables.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "command/text/number_text.h"
#include "platform/private_profile.h"
#include "platform/run_control.h"
#include "platform/safe_file.h"

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
    double v = readCDouble(text.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

std::string plotmaxText(double v) {
    return formatText("%lg", v);
}

void warnNotWritten(const std::filesystem::path& path, const std::string& why) {
    std::fprintf(stderr, "WARNING: Unable to write settings file %s: %s\n", path.c_str(),
                 why.c_str());
}

void warnNotRead(const std::filesystem::path& path, const std::string& why) {
    std::fprintf(stderr, "WARNING: Settings file %s not read: %s\n", path.c_str(), why.c_str());
}

// Every key with the setting it stands for, in the order of the file.
std::vector<IntKey> iniKeys() {
    auto& s = settingsState();
    return {
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
}

// The value of a key as the file holds it.
std::string keyText(const IntKey& k) {
    if (!k.value) return plotmaxText(settingsState().plotMax);
    if (k.kind == KeyKind::Switch) return *k.value ? "1" : "0";
    return formatText("%ld", static_cast<long>(*k.value));
}

// Reads the file as a settings file: a file that is not a regular one of at most 1 MB warns and
// reads as empty. False when it was refused.
bool loadSettingsFile(platform::ProfileFile& file, const std::filesystem::path& path) {
    std::string refused;
    if (file.load(path, &refused) || refused.empty()) return true;
    warnNotRead(path, refused);
    return false;
}

// The read-modify-write of the settings file under a lock on its directory, so that two
// programs sharing it never lose each other's keys. `change` edits the profile as read.
bool updateSettingsFile(const std::function<void(platform::ProfileFile&)>& change) {
    const auto path = settingsFilePath();
    std::string why;
    auto target = platform::replacementTarget(path, &why);
    if (!target) {
        warnNotWritten(path, why);
        return false;
    }
    std::error_code ec;
    const std::filesystem::path dir = target->parent_path().empty() ? "." : target->parent_path();
    std::filesystem::create_directories(dir, ec);
    platform::FileLock lock;
    // Without a lock (a directory that cannot be opened) the update still goes ahead.
    lock.acquireDirectory(dir.string());
    platform::ProfileFile file;
    if (!loadSettingsFile(file, *target)) return false; // never overwrite what we cannot read
    change(file);
    if (file.save(path, &why)) return true;
    warnNotWritten(path, why);
    return false;
}

bool writeKey(const char* key, const std::string& value) {
    return updateSettingsFile(
        [&](platform::ProfileFile& file) { file.set(kSettingsSection, key, value); });
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
    loadSettingsFile(file, settingsFilePath());
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
    s.iniLoadedValues.clear();
    for (const IntKey& k : iniKeys())
        s.iniLoadedValues.emplace_back(k.key, keyText(k));
}

void saveIniSettings() {
    auto& s = settingsState();
    updateSettingsFile([&](platform::ProfileFile& file) {
        for (const IntKey& k : iniKeys()) {
            const std::string value = keyText(k);
            // A key this run left as loaded keeps what the file holds now (another program may
            // have changed it meanwhile); a key the file lacks is filled in.
            bool changed = true;
            for (const auto& [key, loaded] : s.iniLoadedValues)
                if (key == k.key) changed = loaded != value;
            if (changed || !file.get(kSettingsSection, k.key)) file.set(kSettingsSection, k.key, value);
        }
    });
}

double readIniNumber(const char* key, const char* defaultText) {
    platform::ProfileFile file;
    loadSettingsFile(file, settingsFilePath());
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
