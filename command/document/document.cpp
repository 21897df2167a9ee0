#include "command/document/document.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "command/messages/messages.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/saving/model_saving.h"
#include "command/settings/settings.h"
#include "platform/temp_file.h"

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
    // In memory: a full disk can never cut a line of them short.
    char* text = nullptr;
    std::size_t size = 0;
    if (std::FILE* f = open_memstream(&text, &size)) {
        writer(f);
        if (std::fclose(f) == 0 && text) {
            std::string_view rest(text, size);
            while (!rest.empty()) {
                const std::size_t end = rest.find('\n');
                commandBuffer = std::string(rest.substr(0, end));
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
                ExecuteLine();
            }
        }
        std::free(text);
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

namespace {

const char* onOff(int flag) {
    return flag ? "on" : "off";
}

bool endsInLowerOpt(const std::string& path) {
    std::string lower = path;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.size() >= 3 && lower.compare(lower.size() - 3, 3, "opt") == 0;
}

} // namespace

void CQelDoc::WriteSettings(std::FILE* f) {
    std::fprintf(f, "# > These are the settings at the time this file was saved:\n");
    std::fprintf(f, "%s\n", viewRays ? "view/rays" : "view");
    std::fprintf(f, "set/workbox %lg %lg %lg %lg %lg %lg\n", workbox.center[0], workbox.center[1],
                 workbox.center[2], workbox.halfSize[0], workbox.halfSize[1], workbox.halfSize[2]);
    std::fprintf(f, "set/add_rays/%s\n", onOff(addRays));
    std::fprintf(f, "set/fresnel/%s\n", onOff(fresnelOn));
    std::fprintf(f, "set/autoredraw/%s\n", onOff(autoRedraw));
    // The saved echo flag is never set: a model never turns echoing on when it is run.
    std::fprintf(f, "echo/off\n");
    std::fprintf(f, "set/autoretrace/%s\n", onOff(autoRetrace));
    std::fprintf(f, "set/rayrainbow/%s\n", onOff(rayRainbow));
    std::fprintf(f, "set/sphlensvertex/%s\n", onOff(sphLensVertex));
    std::fprintf(f, "set/energy/density/%s\n", onOff(energyDensity));
    std::fprintf(f, "set/energy/percentage/%s\n", onOff(energyPercentage));
    std::fprintf(f, "set/energy/%s\n", energyAbsolute ? "absolute" : "relative");
    std::fprintf(f, "set/saverays/%s\n", onOff(saveRays));
    std::fprintf(f, "set/savespots/%s\n", onOff(!spotsOff));
    std::fprintf(f, "set/fletch/%s\n", onOff(fletchOn));
    std::fprintf(f, "set/proximity_glue maxdistance=%lg\n", proximityGlueDistance);
    std::fprintf(f, "set/iteration maxcount=%d tolerance=%lg\n", iterationMaxCount,
                 iterationTolerance);
    std::fprintf(f, "set/raylimits maxdepth=%d mintrans=%lg maxghost=%d\n", maxRayDepth,
                 minRayEnergy, maxGhosts);
    for (const auto* table : {&wavelengthTable, &weightTable}) {
        std::fprintf(f, table == &wavelengthTable ? "set/wavelength" : "set/weightwave");
        for (int i = 0; i < kWavelengthSlots; ++i)
            std::fprintf(f, i == 6 ? "   %lg" : " %lg", (*table)[i]);
        std::fprintf(f, "\n");
    }
}

bool CQelDoc::OnOpenDocument(const std::string& path) {
    const bool opt = endsInLowerOpt(path);
    hooks_->addHistoryLine(opt ? "Retrieving compressed .opt file." : "Run macro.");
    commandBuffer = macroRunCommand(path);
    ExecuteCommandAndRedraw();
    SetModifiedFlag(!opt);
    SetPathName(opt ? path : std::string("Untitled.opt"));
    return true;
}

bool CQelDoc::OnSaveDocument(const std::string& path) {
    const bool compressed = isCompressedSaveName(path);
    hooks_->addHistoryLine(compressed ? "Saving compressed form of macro in .opt file."
                                      : "Saving complete form of macro.");
    switch (saveModelFile(*this, path, compressed)) {
    case SaveResult::Saved:
        SetModifiedFlag(false);
        SetPathName(path);
        return true;
    case SaveResult::LogUnreadable:
        infoBox(kLogFileError);
        return false;
    case SaveResult::LineTooLong: // said already
        return false;
    case SaveResult::TargetUnwritable:
        break;
    }
    infoBox(kSaveFileError);
    return false;
}

int CQelDoc::Metamorph(int ignored, CDefineParams* params, std::string* partNameOut) {
    (void)ignored;
    auto& step = documentSteps().metamorph;
    if (!step) {
        errorText(outputChannel, "Part not found.");
        return 0;
    }
    return step(*this, params, partNameOut);
}
