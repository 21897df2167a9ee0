#include "command/saving/model_saving.h"

#include <filesystem>

#include "command/document/document.h"
#include "command/general/file_names.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
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

struct SaveState {
    SaveHooks hooks;
    bool logStartNoted = false;
    std::string logStartSettings; // savedSettingsText() as the log began
};

SaveState& saveState() {
    static SaveState s;
    return s;
}

// Writes how a saved model begins; false after its message when a line of it would be cut when
// the file is run.
bool writeSettingsText(const std::string& text, std::FILE* target) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line(text.data() + start, end - start);
        if (!linesFitReader(line)) {
            const std::string_view catalog = "set/matcatalog/name=\"";
            if (line.substr(0, catalog.size()) == catalog) {
                const std::string name(line.substr(catalog.size(), line.rfind('"') - catalog.size()));
                errorText(outputChannel,
                          " The catalog %s cannot be saved: its line would be longer than a "
                          "command line.\n",
                          name.c_str());
            } else {
                errorText(outputChannel,
                          " The settings cannot be saved: a line would be longer than a command "
                          "line.\n");
            }
            return false;
        }
        start = end;
    }
    std::fputs(text.c_str(), target);
    return true;
}

bool writeCompressedForm(std::FILE* log, std::FILE* target) {
    if (!writeSettingsText(savedSettingsText(), target)) return false;
    saveLogPolynets(log, target);
    std::rewind(log);
    if (auto& parts = saveHooks().writeParts)
        if (!parts(target)) return false;
    saveLogCompressed(log, target);
    return true;
}

bool writeCompleteForm(std::FILE* log, std::FILE* target) {
    const SaveState& s = saveState();
    if (!writeSettingsText(s.logStartNoted ? s.logStartSettings : savedSettingsText(), target))
        return false;
    saveLogComplete(log, target);
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
    numberTextMisses() = 0;
    const bool whole = compressed ? writeCompressedForm(log.f, out.stream())
                                  : writeCompleteForm(log.f, out.stream());
    const int misses = numberTextMisses();
    if (!whole) return SaveResult::LineTooLong;
    if (std::ferror(log.f)) return SaveResult::LogUnreadable;
    if (!out.commit(true)) return SaveResult::TargetUnwritable;
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
