// The command reader's sources and its splitter of logical commands: physical lines come from
// the user interface's command buffer or from the input stream (a macro file or the console),
// are split at ";" and joined at "&", and each logical command then passes through the steps of
// readCommandLine.
#include <algorithm>
#include <cstring>

#include "command/interpreter/macros.h"
#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"

ReaderState& readerState() {
    static ReaderState s;
    return s;
}

void resetReaderState() {
    readerState() = ReaderState{};
    readerState().inputStream = messageState().consoleStream;
}

int lineLengthTrimmed(const std::string& text, int limit) {
    int n = static_cast<int>(std::min(text.size(), static_cast<std::size_t>(limit)));
    while (n > 0 && text[static_cast<std::size_t>(n) - 1] == ' ')
        --n;
    return n;
}

bool runOwnsInput() {
    auto& r = readerState();
    return !(r.runBaseLevel > 0 && macroTop <= r.runBaseLevel);
}

namespace {

// Reads one line: the newline is consumed, at most kLineStored characters are kept (the rest
// of a longer line is skipped without being held), a trailing carriage return is removed and a
// NUL byte ends the text. False at end of file with nothing read; `error` on a read error.
bool readPhysicalLine(std::FILE* stream, std::string& line, bool& error, bool* cut = nullptr) {
    error = false;
    line.clear();
    if (cut) *cut = false;
    if (!stream) return false;
    bool any = false;
    bool dropped = false; // a character that is not blank went beyond what is kept
    int c;
    flockfile(stream);
    while ((c = getc_unlocked(stream)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() <= static_cast<std::size_t>(kLineStored))
            line += static_cast<char>(c);
        else if (c != ' ' && c != '\r')
            dropped = true;
    }
    if (c == EOF && std::ferror(stream)) error = true;
    funlockfile(stream);
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > static_cast<std::size_t>(kLineStored)) {
        if (line[static_cast<std::size_t>(kLineStored)] != ' ') dropped = true;
        line.resize(kLineStored);
    }
    line.resize(std::strlen(line.c_str()));
    if (cut) *cut = dropped;
    return true;
}

// True when cutting `line` to what the reader keeps of it loses more than blanks.
bool lineLosesText(const std::string& line, bool dropped) {
    return dropped || lineLengthTrimmed(line, kLineStored) > kLineSignificant;
}

bool isBlank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

void logCommandLine(const std::string& text) {
    logEnsureLineStart();
    logText(text);
}

} // namespace

bool readAnswerLine(std::string& line) {
    line.clear();
    if (!runOwnsInput()) return false;
    std::FILE* stream = readerState().inputStream;
    printPrompt(stream, outputChannel);
    bool error = false;
    return readPhysicalLine(stream, line, error);
}

void discardRestOfLine() {
    auto& r = readerState();
    r.inputLine = " ";
    r.lineConsumed = 1;
}

void takeUiCommand(std::string& line, int* error) {
    auto& r = readerState();
    *error = 0;
    line = r.commandBuffer.substr(
        0, std::min(r.commandBuffer.size(), static_cast<std::size_t>(kLineStored)));
    line.resize(std::strlen(line.c_str()));
    const int given = lineLengthTrimmed(r.commandBuffer, static_cast<int>(r.commandBuffer.size()));
    r.lineCut = lineLosesText(line, given > static_cast<int>(line.size()));
    r.commandBuffer.clear();
    r.commandPending = 0;
    if (r.redefineMode)
        logCommandLine("# > REDEFINED: " + line + "\n");
    else
        logCommandLine(line + "\n");
    outText(outputChannel, "%s\n", line.c_str());
}

void readMacroLine(std::string& line, std::FILE* stream, int* error, int* endOfFile) {
    *error = 0;
    line = " ";
    // A nested run sees the end of its own text instead of the enclosing macro's next line.
    if (!runOwnsInput()) {
        *endOfFile = 1;
        return;
    }
    printPrompt(stream, outputChannel);
    bool failed = false, cut = false;
    std::string text;
    if (!readPhysicalLine(stream, text, failed, &cut)) {
        if (failed)
            *error = 1;
        else
            *endOfFile = 1;
        return;
    }
    line = text;
    readerState().lineCut = lineLosesText(line, cut);
    if (line.size() < 23)
        logCommandLine(formatText("%-20s\n", line.c_str()));
    else
        logCommandLine(line + "\n");
}

void readCommand(std::string& command, int* endFlag, int* error) {
    auto& r = readerState();
    *endFlag = 0;
    *error = 0;
    command.clear();
    r.commandCut = 0;
    auto store = [&](char c) {
        if (command.size() < static_cast<std::size_t>(kCommandLimit))
            command += c;
        else if (c != ' ')
            r.commandCut = 1;
    };
    for (;;) {
        if (r.lineConsumed) {
            if (r.inputAtEnd) {
                r.inputAtEnd = 0;
                *endFlag = 1;
                r.inputExhausted = 1;
                macroNoteEndOfInput();
                return;
            }
            if (r.commandPending)
                takeUiCommand(r.inputLine, error);
            else
                readMacroLine(r.inputLine, r.inputStream, error, &r.inputAtEnd);
            if (*error) return;
            if (r.inputAtEnd) {
                if (!isBlank(command)) {
                    // Hand out what was collected; the end is reported by the next call.
                    r.inputExhausted = 0;
                    return;
                }
                *endFlag = 1;
                r.inputExhausted = 1;
                r.inputAtEnd = 0;
                macroNoteEndOfInput();
                return;
            }
            r.linePos = -1;
            r.lineLength = lineLengthTrimmed(r.inputLine, kLineSignificant);
            r.lineConsumed = 0;
            if (r.verboseOn) outText(outputChannel, " =>%s\n", r.inputLine.c_str());
        }
        ++r.linePos;
        if (r.linePos >= r.lineLength) {
            r.lineConsumed = 1;
            if (command.empty()) continue;
            // The command runs to the end of a line that lost its tail.
            if (r.lineCut) r.commandCut = 1;
            r.inputExhausted = 0;
            return;
        }
        char c = r.inputLine[static_cast<std::size_t>(r.linePos)];
        if (c == '"') {
            // A quoted string is taken whole; "" inside it does not close it.
            store(c);
            while (r.linePos + 1 < r.lineLength) {
                char q = r.inputLine[static_cast<std::size_t>(++r.linePos)];
                store(q);
                if (q != '"') continue;
                if (r.linePos + 1 < r.lineLength &&
                    r.inputLine[static_cast<std::size_t>(r.linePos) + 1] == '"') {
                    store(r.inputLine[static_cast<std::size_t>(++r.linePos)]);
                    continue;
                }
                break;
            }
            continue;
        }
        if (c == '&') {
            r.lineConsumed = 1;
            continue;
        }
        if (c == ';') {
            if (command.empty()) continue;
            r.inputExhausted = 0;
            return;
        }
        store(c);
    }
}

void setParsedCommandText(const std::string& text) {
    readerState().commandCut = 0; // a text of the program's own, whole
    std::string command = text;
    parseNumerics(command);
    splitCommandWords(command);
}

void readCommandLine(int* error) {
    auto& r = readerState();
    std::string command;
    int end = 0;
    readCommand(command, &end, error);
    if (*error) {
        clearParsedCommand();
        return;
    }
    if (end) command = macroTop > r.runBaseLevel ? "macro/end" : "end";
    expandVariables(command);
    // Variables may lengthen a command beyond what normalizing keeps of it.
    if (lineLengthTrimmed(command, static_cast<int>(command.size())) > kLineSignificant)
        r.commandCut = 1;
    normalizeLine(command);
    if (r.echoOn) {
        if (isBlank(command))
            outText(outputChannel, " ==>\n");
        else
            outText(outputChannel, " ==>%s\n", command.c_str());
    }
    checkBlockIf(command);
    parseNumerics(command);
    splitCommandWords(command);
    markBlockIf();
}
