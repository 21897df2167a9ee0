#include "parts/plugin_binder.h"

#include <cctype>
#include <filesystem>
#include <vector>

#include "command/messages/messages.h"
#include "platform/dynamic_library.h"

namespace fs = std::filesystem;

namespace {

bool endsWithDll(const std::string& name) {
    if (name.size() < 4) return false;
    static const char kDll[] = ".dll";
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned char c = static_cast<unsigned char>(name[name.size() - 4 + i]);
        if (std::tolower(c) != kDll[i]) return false;
    }
    return true;
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

} // namespace

PluginBinderState& pluginBinderState() {
    static PluginBinderState s;
    return s;
}

void resetPluginBinderState() {
    pluginBinderState() = PluginBinderState{};
}

std::string pluginFileName(const std::string& name) {
    if (endsWithDll(name)) return name.substr(0, name.size() - 4) + ".so";
    std::size_t slash = name.rfind('/');
    std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    if (last.find('.') == std::string::npos) return name + ".so";
    return name;
}

std::string findPluginFile(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const fs::path home = programHome.empty() ? fs::path(".") : fs::path(programHome);
    std::vector<fs::path> folders = {".", home, home / "sources" / "custom" / "dlls",
                                     home / "sources" / "standard" / "dlls"};
    std::string programFolder = platform::runningProgramFolder();
    if (!programFolder.empty()) folders.emplace_back(programFolder);
    for (const fs::path& folder : folders) {
        fs::path candidate = folder / name;
        // The path always holds a "/", so the loader opens exactly this file.
        if (isFile(candidate)) return candidate.string();
    }
    return name;
}

PluginEntry LoadPluginEntry(const std::string& fileName, const std::string& entryName, int& status,
                            void*& module) {
    PluginBinderState& s = pluginBinderState();
    s.paramNamesEntry = nullptr;
    status = kPluginNotLoaded;
    module = nullptr;
    if (fileName.empty()) {
        s.loadError = "no library name given";
        return nullptr;
    }
    module = platform::openLibrary(findPluginFile(pluginFileName(fileName)), s.loadError);
    if (!module) return nullptr;
    status = kPluginEntryMissing;
    auto entry = reinterpret_cast<PluginEntry>(platform::findSymbol(module, entryName.c_str()));
    if (!entry) return nullptr;
    s.paramNamesEntry =
        reinterpret_cast<PluginEntry>(platform::findSymbol(module, "UserParamNames"));
    status = kPluginBound;
    return entry;
}

PluginEntry GetPluginParamNames() {
    return pluginBinderState().paramNamesEntry;
}

int CallPluginEntry(PluginEntry entry, void* record) {
    if (!entry) return -1;
    return entry(record);
}

std::string pluginParamName(PluginEntry namesEntry, int slot) {
    if (!namesEntry || slot < 0 || slot > 255) return {};
    char buffer[MERIDYN_PARAM_BUFFER_SIZE] = {};
    buffer[0] = static_cast<char>(static_cast<unsigned char>(slot));
    CallPluginEntry(namesEntry, buffer);
    buffer[MERIDYN_PARAM_NAME_LENGTH] = '\0';
    return buffer;
}
