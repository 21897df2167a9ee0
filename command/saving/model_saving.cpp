#include "command/saving/model_saving.h"

#include <filesystem>

#include "command/document/document.h"
#include "command/general/file_names.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/saving/log_filters.h"
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

bool writeCompressedForm(CQelDoc& doc, std::FILE* log, std::FILE* target) {
    doc.WriteSettings(target);
    if (auto& catalogs = saveHooks().loadedCatalogs) {
        for (const std::string& name : catalogs()) {
            const std::string line = "set/matcatalog/name=\"" + name + "\"\n";
            if (!linesFitReader(line)) {
                errorText(outputChannel,
                          " The catalog %s cannot be saved: its line would be longer than a "
                          "command line.\n",
                          name.c_str());
                return false;
            }
            std::fputs(line.c_str(), target);
        }
    }
    saveLogPolynets(log, target);
    std::rewind(log);
    if (auto& parts = saveHooks().writeParts)
        if (!parts(target)) return false;
    saveLogCompressed(log, target);
    return true;
}

} // namespace

bool linesFitReader(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t n = end - start;
        while (n > 0 && text[start + n - 1] == ' ')
            --n;
        if (n > static_cast<std::size_t>(kLineSignificant)) return false;
        start = end + 1;
    }
    return true;
}

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
    flushOutputFiles();
    FileCloser log{messageState().logPath.empty()
                       ? nullptr
                       : platform::openRegularForRead(messageState().logPath)};
    if (!log.f) return SaveResult::LogUnreadable;

    // A link is followed to the file it names; a device, FIFO or directory is never written,
    // nor one of the program's own files.
    if (isOwnFile(path)) return SaveResult::TargetUnwritable;
    platform::ReplacementFile out;
    if (!out.open(path)) return SaveResult::TargetUnwritable;
    bool whole = true;
    if (compressed)
        whole = writeCompressedForm(doc, log.f, out.stream());
    else
        saveLogComplete(log.f, out.stream());
    if (!whole) return SaveResult::LineTooLong;
    if (std::ferror(log.f)) return SaveResult::LogUnreadable;
    if (!out.commit(true)) return SaveResult::TargetUnwritable;
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
    if (!outputNameUsable(name)) return 0;
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
    case SaveResult::LineTooLong:
        return 0;
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
