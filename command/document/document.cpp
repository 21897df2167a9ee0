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
#include "command/text/number_text.h"
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
    noteLogStart();
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
    readerState().redefineTarget.clear();
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

std::string settingsBlockText() {
    std::string t = "# > These are the settings at the time this file was saved:\n";
    t += viewRays ? "view/rays\n" : "view\n";
    t += "set/workbox" +
         numberWords({workbox.center[0], workbox.center[1], workbox.center[2],
                      workbox.halfSize[0], workbox.halfSize[1], workbox.halfSize[2]}) +
         "\n";
    auto line = [&t](const char* setting, int flag) {
        t += formatCText("%s/%s\n", setting, onOff(flag));
    };
    line("set/add_rays", addRays);
    line("set/fresnel", fresnelOn);
    line("set/autoredraw", autoRedraw);
    // The saved echo flag is never set: a model never turns echoing on when it is run.
    t += "echo/off\n";
    line("set/autoretrace", autoRetrace);
    line("set/rayrainbow", rayRainbow);
    line("set/sphlensvertex", sphLensVertex);
    line("set/energy/density", energyDensity);
    line("set/energy/percentage", energyPercentage);
    t += energyAbsolute ? "set/energy/absolute\n" : "set/energy/relative\n";
    line("set/saverays", saveRays);
    line("set/savespots", !spotsOff);
    line("set/fletch", fletchOn);
    t += "set/proximity_glue maxdistance=" + numberText(proximityGlueDistance) + "\n";
    t += formatCText("set/iteration maxcount=%d tolerance=", iterationMaxCount) +
         numberText(iterationTolerance) + "\n";
    t += formatCText("set/raylimits maxdepth=%d mintrans=", maxRayDepth) + numberText(minRayEnergy) +
         formatCText(" maxghost=%d\n", maxGhosts);
    for (const auto* table : {&wavelengthTable, &weightTable}) {
        t += table == &wavelengthTable ? "set/wavelength" : "set/weightwave";
        for (int i = 0; i < kWavelengthSlots; ++i)
            t += (i == 6 ? "   " : " ") + numberText((*table)[i]);
        t += "\n";
    }
    // What the model also depends on: its units (a gradient-index profile reads them), the grid
    // and the arrow heads of the rays.
    static const char* const unitWords[] = {"cm", "mm", "inches", "meters"};
    if (currentUnit >= 0 && currentUnit < 4)
        t += std::string("set/units/") + unitWords[currentUnit] + "\n";
    t += "set/grid" + numberWords({gridIncrements[0]}) + "\n";
    if (fletchOn)
        t += "set/fletch/on position=" + numberText(arrowPosition) +
             " size=" + numberText(arrowHeadSize) + "\n";
    return t;
}

void CQelDoc::WriteSettings(std::FILE* f) {
    std::fputs(settingsBlockText().c_str(), f);
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
