// The command loop and the dispatcher: every command, typed, from a menu or from a macro, is
// read, checked for Escape and abort requests, matched against the keyword table and handed to
// its handler here.
#include <cstring>

#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/interpreter/macros.h"
#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "platform/platform_hooks.h"

namespace {

constexpr std::size_t kPauseNoteChars = 80;
constexpr std::size_t kMacroNameInOneMessage = 40;

// The reader's position in its text; a nested run keeps the enclosing run's position intact.
struct LineState {
    std::string inputLine;
    int linePos, lineLength, lineConsumed, inputAtEnd, inputExhausted, runBaseLevel;
};

LineState saveLineState() {
    const auto& r = readerState();
    return {r.inputLine,  r.linePos,        r.lineLength,  r.lineConsumed,
            r.inputAtEnd, r.inputExhausted, r.runBaseLevel};
}

void restoreLineState(const LineState& s) {
    auto& r = readerState();
    r.inputLine = s.inputLine;
    r.linePos = s.linePos;
    r.lineLength = s.lineLength;
    r.lineConsumed = s.lineConsumed;
    r.inputAtEnd = s.inputAtEnd;
    r.inputExhausted = s.inputExhausted;
    r.runBaseLevel = s.runBaseLevel;
}

void reportMacroReadError() {
    const std::string& name = macroState().levels[macroTop].name;
    if (name.size() > kMacroNameInOneMessage) {
        errorText(outputChannel, " Io error in macro file \n");
        errorText(outputChannel, " %s macro exited.\n", name.c_str());
    } else {
        errorText(outputChannel, " Io error in macro file %s macro exited\n", name.c_str());
    }
}

} // namespace

int CQelDoc::RunCommandLoop() {
    const CommandRunScope running;
    LineState saved = saveLineState();
    auto& r = readerState();
    r.runBaseLevel = macroTop;
    r.lineConsumed = 1;
    r.inputAtEnd = 0;
    r.inputExhausted = 0;
    const int base = macroTop;
    int result = 0;
    bool typedStop = false;
    ++runDepth_;
    do {
        int readError = 0;
        readCommandLine(&readError);
        // A macro paused from the user interface waits here, before its next command.
        if (paused_ && macroTop > 0) hooks_->waitWhilePaused();
        // The "end" made at the end of the input is no stop word of the text.
        bool madeAtEnd = r.inputExhausted != 0;
        if (readError) {
            if (macroTop > base) {
                reportMacroReadError();
                setParsedCommandText("macro /exit /current");
            } else {
                // The same read would fail again: this run's input ends here.
                setParsedCommandText("noop");
                r.inputAtEnd = 1;
            }
        }
        if (escapePressed()) {
            setParsedCommandText("macro /exit /all");
            abortRequest = 2;
        } else if (abortRequest) {
            setParsedCommandText("macro /exit /all");
        }
        if (!matchKeyword(commandWord, commandKeywords, "command")) setParsedCommandText("noop");
        if (isStopWord(commandWord)) {
            if (!madeAtEnd) {
                result = 1;
                if (macroTop == base) typedStop = true;
            }
            continue;
        }
        platform::beginWaitCursor();
        if (std::strcmp(commandWord, "macro") == 0)
            macroCommand();
        else
            DispatchCommand();
        platform::endWaitCursor();
    } while (r.inputExhausted == 0 || macroTop > base);
    // The pause belongs to the macros of this run.
    if (--runDepth_ == 0) paused_ = false;
    restoreLineState(saved);
    stopWordTyped_ = typedStop;
    return result;
}

void CQelDoc::runPause() {
    static const char* const noteTable[] = {"note", " "};
    int found = 0, several = 1, index = 0;
    getModifier(noteTable, &found, &several, &index, "note");
    std::string note;
    if (several)
        outText(outputChannel, "Multiple define modifiers not permitted.\n");
    else if (found && modifierHasValue[index])
        note = std::string(quotedStrings[index]).substr(0, kPauseNoteChars);
    paused_ = true;
    hooks_->updateAllViews();
    while (!hooks_->showPauseDialog(note)) {
    }
    paused_ = false;
}

void CQelDoc::DispatchCommand() {
    const std::string word = commandWord;
    if (word == "clear") {
        OnNewDocument();
    } else if (word == "pause") {
        runPause();
    } else if (word == "redefine") {
        redefineMode = 1;
        runCommandHandlers(word, *this);
        redefineMode = 0;
    } else if (word == "energy") {
        runCommandHandlers(word, *this);
        lastEnergyCommand_ = BuildCommandText();
    } else if (word == "material") {
        if (runCommandHandlers(word, *this) == 0) outText(outputChannel, "Material not found.\n");
    } else if (word == "radiometer") {
        if (!hasCommandHandler(word)) return;
        if (runCommandHandlers(word, *this) == 0) outText(outputChannel, "Radiometer not found.\n");
        hooks_->addHistoryLine("\n");
        commandBuffer.clear();
        ExecuteCommand();
    } else {
        runCommandHandlers(word, *this);
    }
}
