#include "command/document/document.h"

#include <cstdarg>
#include <filesystem>

#include "command/messages/messages.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "platform/temp_file.h"

namespace {
constexpr std::size_t kReplicatedLineChars = 120;
}

DocumentSteps& documentSteps() {
    static DocumentSteps s;
    return s;
}

DocumentState& documentState() {
    static DocumentState s;
    return s;
}

void resetDocumentState() {
    documentState() = DocumentState{};
    documentSteps() = DocumentSteps{};
}

CQelDoc::CQelDoc(DocumentHooks* hooks) {
    if (hooks) hooks_ = hooks;
    if (!initInterpreter()) infoBox("!Warning! Error starting MERIDYN under windows!");
    readerState().inputStream = messageState().consoleStream;
    theDocument = this;
    if (programHome.empty()) programHome = platform::currentDirectory();
    for (auto& make : documentSteps().members)
        members_.push_back(make(*this));
}

CQelDoc::~CQelDoc() {
    while (!members_.empty())
        members_.pop_back();
    if (theDocument == this) theDocument = nullptr;
}

void CQelDoc::setHooks(DocumentHooks* hooks) {
    hooks_ = hooks ? hooks : &defaultHooks_;
}

void CQelDoc::runExecute(bool markModified, bool redraw, bool reloadHistory) {
    commandPending = 1;
    errorOccurred = 0;
    RunCommandLoop();
    for (auto& step : documentSteps().afterRun)
        step(*this);
    hooks_->refreshObjectTree();
    if (markModified && errorOccurred == 0) SetModifiedFlag(true);
    if (redraw) hooks_->redrawIfAutoRedraw();
    if (reloadHistory) hooks_->reloadHistory();
    if (abortRequest) {
        hooks_->addHistoryLine("Operation aborted via escape.");
        abortRequest = 0;
    }
    hooks_->selectViewObjectItem();
}

void CQelDoc::ExecuteCommand() {
    runExecute(true, false, true);
}

void CQelDoc::ExecuteCommandAndRedraw() {
    runExecute(true, true, true);
}

void CQelDoc::ExecuteLine() {
    runExecute(false, false, false);
}

bool CQelDoc::OnNewDocument() {
    for (auto& step : documentSteps().clearModel)
        step(*this);
    deleteOutputFiles();
    hooks_->reloadHistory();
    hooks_->addHistoryLine("MERIDYN Cleared.");
    outText(outputChannel, "The MERIDYN Home Directory is %s\n", programHome.c_str());
    // Every log, and so every model saved from it, begins with a clear command.
    logText("clear\n");
    // A home whose path cannot pass through a command line whole is named from inside it when
    // it is the working directory; otherwise no start-up macro runs rather than another file.
    std::string startup = platform::joinPath(programHome, "startup.opt");
    if (!macroNamePassesWhole(startup) && platform::currentDirectory() == programHome)
        startup = "startup.opt";
    const bool startupNamed = macroNamePassesWhole(startup);
    if (startupNamed) commandBuffer = macroRunCommand(startup);
    auto& state = documentState();
    if (!state.startupDone) {
        state.startupDone = 1;
        if (startupNamed) ExecuteCommandAndRedraw();
    }
    for (auto& step : documentSteps().afterNewDocument)
        step(*this);
    hooks_->clearHeldBitmap();
    hooks_->refreshObjectTree();
    hooks_->updateAllViews();
    SetModifiedFlag(false);
    return true;
}

std::string CQelDoc::BuildCommandText() const {
    const auto& p = parsedCommand();
    std::string text = p.commandWord;
    for (int i = 0; i < p.modifierCount; ++i) {
        text += "/";
        text += p.modifierWords[i];
    }
    for (int i = 0; i < kMaxNumerics; ++i)
        if (p.numericGiven[i]) text += formatText(" %g", p.numericValues[i]);
    return text;
}

void CQelDoc::RunReplicatedCommands(const std::function<void(std::FILE*)>& writer) {
    redefineMode = 1;
    std::filesystem::path path = platform::makeTempFile("opXXXXXX", programHome);
    std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "w+");
    if (f) {
        writer(f);
        std::rewind(f);
        char* buffer = nullptr;
        std::size_t capacity = 0;
        ssize_t n;
        while ((n = getline(&buffer, &capacity, f)) >= 0) {
            std::string line(buffer, static_cast<std::size_t>(n));
            if (!line.empty() && line.back() == '\n') line.pop_back();
            if (line.size() > kReplicatedLineChars) line.resize(kReplicatedLineChars);
            commandBuffer = line;
            ExecuteLine();
        }
        std::free(buffer);
        std::fclose(f);
    }
    if (!path.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    redefineMode = 0;
}

void IssueFormattedCommand(CQelDoc* doc, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    commandBuffer = formatTextV(format, args);
    va_end(args);
    if (doc) doc->ExecuteCommand();
}
