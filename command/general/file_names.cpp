#include "command/general/file_names.h"

#include <algorithm>
#include <filesystem>

#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/settings/settings_file.h"
#include "platform/temp_file.h"

namespace fs = std::filesystem;

namespace {

// The place a name stands for: absolute, links followed as far as they exist.
fs::path placeOf(const std::string& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) return fs::path(path).lexically_normal();
    fs::path place = fs::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal() : place;
}

bool sameFile(const fs::path& place, const std::string& own) {
    if (own.empty()) return false;
    std::error_code ec;
    if (fs::equivalent(place, own, ec)) return true;
    return place == placeOf(own);
}

std::string homeFile(const char* name) {
    return platform::joinPath(messageState().programHome, name);
}

} // namespace

FileNameState& fileNameState() {
    static FileNameState s;
    return s;
}

void resetFileNameState() {
    fileNameState() = FileNameState{};
}

void markFileInUse(const std::string& path) {
    fileNameState().inUse.push_back(path);
}

void releaseFileInUse(const std::string& path) {
    auto& files = fileNameState().inUse;
    const auto at = std::find(files.begin(), files.end(), path);
    if (at != files.end()) files.erase(at);
}

bool isOwnFile(const std::string& path) {
    if (path.empty()) return false;
    const MessageState& m = messageState();
    const fs::path place = placeOf(path);
    const std::string own[] = {
        m.logPath.empty() ? homeFile("meridyn.log") : m.logPath,
        m.screenOutPath.empty() ? homeFile("screen.out") : m.screenOutPath,
        m.raysPath.empty() ? homeFile("rays.dat") : m.raysPath,
        m.spotsPath.empty() ? homeFile("spots.dat") : m.spotsPath,
        homeFile("reemit.dat"),
        settingsFilePath().string(),
    };
    for (const std::string& file : own)
        if (sameFile(place, file)) return true;
    for (const std::string& file : fileNameState().inUse)
        if (sameFile(place, file)) return true;
    return false;
}

bool fileNameCut(const std::string& name) {
    return readerState().commandCut != 0 ||
           name.size() >= static_cast<std::size_t>(kQuotedValueChars);
}

bool inputNameUsable(const std::string& name) {
    if (!fileNameCut(name)) return true;
    errorText(outputChannel, " File name too long, command ignored.\n");
    return false;
}

bool ownFileRefused(const std::string& name) {
    if (!isOwnFile(name)) return false;
    errorText(outputChannel, " File %s is one of MERIDYN's own files, command ignored.\n",
              name.c_str());
    return true;
}

bool outputNameUsable(const std::string& name) {
    return inputNameUsable(name) && !ownFileRefused(name);
}
