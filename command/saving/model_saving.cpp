#include "command/saving/model_saving.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "command/document/document.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/messages/messages.h"
#include "command/saving/log_filters.h"
#include "platform/temp_file.h"

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

void writeCompressedForm(CQelDoc& doc, std::FILE* log, std::FILE* target) {
    doc.WriteSettings(target);
    if (auto& catalogs = saveHooks().loadedCatalogs) {
        for (const std::string& name : catalogs())
            std::fprintf(target, "set/matcatalog/name=\"%s\"\n", name.c_str());
    }
    saveLogPolynets(log, target);
    std::rewind(log);
    if (auto& parts = saveHooks().writeParts) parts(target);
    saveLogCompressed(log, target);
}

} // namespace

SaveHooks& saveHooks() {
    static SaveHooks hooks;
    return hooks;
}

void resetSaveState() {
    saveHooks() = SaveHooks{};
}

bool isCompressedSaveName(const std::string& path) {
    if (path.size() < 3) return false;
    const std::string end = path.substr(path.size() - 3);
    return end == "opt" || end == "OPT";
}

SaveResult saveModelFile(CQelDoc& doc, const std::string& path, bool compressed) {
    if (messageState().logFile) std::fflush(messageState().logFile);
    FileCloser log{
        messageState().logPath.empty() ? nullptr : std::fopen(messageState().logPath.c_str(), "r")};
    if (!log.f) return SaveResult::LogUnreadable;

    const fs::path target(path);
    if (path.empty() || target.filename().empty()) return SaveResult::TargetUnwritable;
    // Only a regular file (or a link, which the rename replaces) may stand at the target: a
    // device or a directory is never written through.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return SaveResult::TargetUnwritable;
    if (isOutputFile(target)) return SaveResult::TargetUnwritable;

    const fs::path tmp =
        platform::makeTempFile("." + target.filename().string() + ".XXXXXX", target.parent_path());
    if (tmp.empty()) return SaveResult::TargetUnwritable;
    std::error_code ec;
    bool ok = false;
    if (std::FILE* out = std::fopen(tmp.c_str(), "w")) {
        if (compressed)
            writeCompressedForm(doc, log.f, out);
        else
            saveLogComplete(log.f, out);
        ok = std::fflush(out) == 0 && !std::ferror(out) && !std::ferror(log.f);
        ok = ::fsync(fileno(out)) == 0 && ok;
        ok = std::fclose(out) == 0 && ok;
    }
    if (ok) {
        // The temporary file was made private; the saved model gets the usual permissions.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        fs::permissions(tmp, static_cast<fs::perms>(0666 & ~mask), ec);
        fs::rename(tmp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(tmp, ec);
        return SaveResult::TargetUnwritable;
    }
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
