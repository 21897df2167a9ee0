#include "command/saving/model_saving.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

#include "command/document/document.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/messages/messages.h"
#include "command/saving/log_filters.h"
#include "command/text/number_text.h"
#include "platform/safe_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kShortSaveName = 40;

const char* const kSaveNameWords[] = {"name", " "};
const char* const kOverwriteWords[] = {"overwrite", " "};

// A closer for the files of one save.
struct FileCloser {
    std::FILE* f = nullptr;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

// True when `path` names the command log or the screen text, which a save must not replace.
bool isOutputFile(const fs::path& path) {
    std::error_code ec;
    for (const std::string* p : {&messageState().logPath, &messageState().screenOutPath})
        if (!p->empty() && fs::equivalent(path, *p, ec)) return true;
    return false;
}

struct SaveState {
    SaveHooks hooks;
    bool logStartNoted = false;
    std::string logStartSettings; // savedSettingsText() as the log began
};

SaveState& saveState() {
    static SaveState s;
    return s;
}

void writeCompressedForm(std::FILE* log, std::FILE* target) {
    std::fputs(savedSettingsText().c_str(), target);
    saveLogPolynets(log, target);
    std::rewind(log);
    if (auto& parts = saveHooks().writeParts) parts(target);
    saveLogCompressed(log, target);
}

void writeCompleteForm(std::FILE* log, std::FILE* target) {
    const SaveState& s = saveState();
    std::fputs(s.logStartNoted ? s.logStartSettings.c_str() : savedSettingsText().c_str(), target);
    saveLogComplete(log, target);
}

} // namespace

SaveHooks& saveHooks() {
    return saveState().hooks;
}

void resetSaveState() {
    saveState() = SaveState{};
}

std::string savedSettingsText() {
    std::string text = settingsBlockText();
    if (auto& catalogs = saveHooks().loadedCatalogs) {
        for (const std::string& name : catalogs())
            text += "set/matcatalog/name=\"" + name + "\"\n";
    }
    return text;
}

void noteLogStart() {
    saveState().logStartSettings = savedSettingsText();
    saveState().logStartNoted = true;
}

bool isCompressedSaveName(const std::string& path) {
    if (path.size() < 3) return false;
    const std::string end = path.substr(path.size() - 3);
    return end == "opt" || end == "OPT";
}

SaveResult saveModelFile(CQelDoc&, const std::string& path, bool compressed) {
    if (messageState().logFile) std::fflush(messageState().logFile);
    FileCloser log{
        messageState().logPath.empty() ? nullptr : std::fopen(messageState().logPath.c_str(), "r")};
    if (!log.f) return SaveResult::LogUnreadable;

    if (path.empty() || fs::path(path).filename().empty()) return SaveResult::TargetUnwritable;
    // A link is followed to the file it names; a device, FIFO or directory is never written.
    const auto target = platform::replacementTarget(path);
    if (!target || isOutputFile(*target)) return SaveResult::TargetUnwritable;
    platform::TempFile tmp = platform::makeTempBeside(*target);
    if (tmp.fd < 0) return SaveResult::TargetUnwritable;
    bool ok = false;
    int misses = 0;
    if (std::FILE* out = ::fdopen(tmp.fd, "w")) {
        numberTextMisses() = 0;
        if (compressed)
            writeCompressedForm(log.f, out);
        else
            writeCompleteForm(log.f, out);
        misses = numberTextMisses();
        ok = std::fflush(out) == 0 && !std::ferror(out) && !std::ferror(log.f);
        ok = ::fsync(fileno(out)) == 0 && ok;
        ok = std::fclose(out) == 0 && ok;
    } else {
        ::close(tmp.fd);
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(tmp.path, ec);
        return SaveResult::TargetUnwritable;
    }
    if (!platform::replaceWithTemp(tmp.path, *target)) return SaveResult::TargetUnwritable;
    if (misses > 0)
        warningText(outputChannel,
                    "%d numbers of the model need more than %zu characters; they were saved "
                    "rounded.\n",
                    misses, kNumberTextLimit);
    return SaveResult::Saved;
}

int saveCommand(CQelDoc& doc) {
    int found = 0, several = 0, index = 0;
    getModifier(kSaveNameWords, &found, &several, &index, "file name");
    if (several) return 0;
    if (!found || !modifierHasValue[index] || quotedStrings[index][0] == '\0') {
        errorText(outputChannel, " No file name given, command ignored.\n");
        return 0;
    }
    const std::string name = quotedStrings[index];
    int overwrite = 0, overwriteSeveral = 1, overwriteIndex = 0;
    getModifier(kOverwriteWords, &overwrite, &overwriteSeveral, &overwriteIndex, " ");
    std::error_code ec;
    if (!overwrite && fs::symlink_status(name, ec).type() != fs::file_type::not_found && !ec) {
        if (name.size() < kShortSaveName)
            errorText(outputChannel, " File %s already exists.  Command Ignored.\n", name.c_str());
        else
            errorText(outputChannel, " File %s already exists, command ignored\n", name.c_str());
        return 0;
    }
    switch (saveModelFile(doc, name, true)) {
    case SaveResult::Saved:
        return 1;
    case SaveResult::LogUnreadable:
        errorText(outputChannel, "%s\n", kLogFileError);
        return 0;
    case SaveResult::TargetUnwritable:
        break;
    }
    errorText(outputChannel, "%s\n", kSaveFileError);
    return 0;
}

void registerSaveCommand() {
    addCommandHandler("save", [](CQelDoc& doc) { return saveCommand(doc); });
}
