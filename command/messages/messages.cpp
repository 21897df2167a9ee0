#include "command/messages/messages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "command/text/number_text.h"
#include "platform/platform_hooks.h"
#include "platform/safe_file.h"
#include "platform/temp_file.h"

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kConsoleBufferSize = 1024;
constexpr int kConsoleLineLimit = 11;

// True when the text reached the file (or its buffer, under a flush hold); errno says why not.
// The log and the screen text report their own failures and try again at the next message;
// any other stream keeps its error, for the writer that owns it to see.
bool writeToFile(std::FILE* f, std::string_view text, bool flush = true, bool keepError = false) {
    errno = 0;
    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (flush) ok = std::fflush(f) == 0 && ok;
    if (!ok) {
        if (errno == 0) errno = EIO;
        if (!keepError) std::clearerr(f);
    }
    return ok;
}

std::string logFilePath() {
    auto& s = messageState();
    return s.logPath.empty() ? std::string("meridyn.log") : s.logPath;
}

std::string screenFilePath() {
    auto& s = messageState();
    return s.screenOutPath.empty() ? std::string("screen.out") : s.screenOutPath;
}

// A message lost to the log or the screen text: the box of the documented text and the system's
// reason on standard error, once per file and run (a full disk would say it for every message),
// and the run counts as failed.
void reportLostMessage(bool& said, const char* boxText, const std::string& path, int error) {
    auto& s = messageState();
    s.outputFailed = true;
    if (said) return;
    said = true;
    infoBox(boxText);
    std::fprintf(stderr, "meridyn: cannot write %s: %s\n", path.c_str(), std::strerror(error));
    std::fflush(stderr);
}

// Opened once and kept; a link or anything but a regular file is refused. An open that fails is
// tried again at the next message, once.
std::FILE* openLog() {
    auto& s = messageState();
    if (!s.logFile) s.logFile = platform::openRegularForAppend(logFilePath(), true);
    return s.logFile;
}

std::FILE* openScreen() {
    auto& s = messageState();
    if (!s.screenFile) s.screenFile = platform::openRegularForAppend(screenFilePath());
    return s.screenFile;
}

// Takes the waiting prompt back off the end of the console buffer and screen.out; false when
// either no longer ends with it.
bool takeBackPrompt(const std::string& prompt) {
    auto& s = messageState();
    const std::size_t n = prompt.size();
    if (s.consoleBuffer.size() < n || s.consoleBuffer.compare(s.consoleBuffer.size() - n, n, prompt))
        return false;
    if (std::FILE* f = s.screenFile) {
        if (std::fflush(f) != 0) return false;
        struct stat st {};
        std::string tail(n, '\0');
        const off_t size = fstat(fileno(f), &st) == 0 ? st.st_size : 0;
        if (size < static_cast<off_t>(n) ||
            pread(fileno(f), tail.data(), n, size - static_cast<off_t>(n)) !=
                static_cast<ssize_t>(n) ||
            tail != prompt || ftruncate(fileno(f), size - static_cast<off_t>(n)) != 0)
            return false;
    }
    s.consoleBuffer.erase(s.consoleBuffer.size() - n);
    return true;
}

void writeScreenChannel(std::string_view text) {
    auto& s = messageState();
    // Between command runs the prompt for the next command stays last: what a repaint says
    // belongs to the command before it.
    std::string prompt;
    if (!s.writingPrompt) {
        prompt.swap(s.waitingPrompt);
        if (!prompt.empty() && (s.commandRuns > 0 || !takeBackPrompt(prompt))) prompt.clear();
    }
    consoleAppend(text);
    screenText(text);
    if (!prompt.empty()) {
        s.writingPrompt = true;
        consoleAppend(prompt);
        screenText(prompt);
        s.writingPrompt = false;
        s.waitingPrompt = prompt;
    }
}

void writeChannel(OutputChannel channel, std::string_view text) {
    if (channel.stream) {
        writeToFile(channel.stream, text, true, true);
    } else if (channel.id == logChannel.id) {
        logText(text);
    } else if (channel.id == outputChannel.id) {
        writeScreenChannel(text);
    }
}
std::string_view trimmedRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Keeps the "# >" lines of a text written to the log (a line may come in several pieces).
void noteLogComments(std::string_view text) {
    constexpr std::size_t kKept = 64; // a long run of messages keeps its last ones
    auto& s = messageState();
    for (char c : text) {
        if (c != '\n') {
            if (s.logLineSoFar.size() < 256) s.logLineSoFar += c;
            continue;
        }
        if (s.logLineSoFar.compare(0, 3, "# >") == 0) {
            if (s.freshLogComments.size() >= kKept)
                s.freshLogComments.erase(s.freshLogComments.begin());
            s.freshLogComments.emplace_back(trimmedRight(s.logLineSoFar));
        }
        s.logLineSoFar.clear();
    }
}

// True when the repeat memory in force holds the text from its last time or already from this
// one; the text is noted for this time either way.
bool repeatedMessage(const std::string& text) {
    RepeatMemory* m = messageState().repeatMemory;
    if (!m) return false;
    auto holds = [&text](const std::vector<std::string>& texts) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    if (holds(m->current)) return true;
    m->current.push_back(text);
    return holds(m->last);
}
} // namespace

MessageState& messageState() {
    static MessageState s;
    return s;
}

void resetMessageState() {
    closeOutputFiles();
    auto mirror = messageState().screenMirror;
    messageState() = MessageState{};
    messageState().screenMirror = mirror;
}

std::string formatTextV(const char* format, std::va_list args) {
    return formatCTextV(format, args);
}

std::string formatText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string s = formatTextV(format, args);
    va_end(args);
    return s;
}

int outText(OutputChannel channel, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    writeChannel(channel, text);
    return 1;
}

void errorText(OutputChannel channel, const char* format, ...) {
    auto& s = messageState();
    std::va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    if (repeatedMessage(text)) return;
    s.errorOccurred = 1;
    ++s.errorsReported;
    writeChannel(channel, "ERROR: ");
    logText("# > ERROR: ");
    platform::hooks().beep();
    if (s.errorPopup) {
        if (platform::hooks().askYesNo("MERIDYN Input Error - Abort Now?", text, false))
            s.abortRequest = 1;
    }
    writeChannel(channel, text);
    logText(text);
}

void warningText(OutputChannel channel, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    if (repeatedMessage(text)) return;
    writeChannel(channel, "WARNING: ");
    logText("# > WARNING: ");
    logText(text);
    writeChannel(channel, text);
}

int infoText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    infoBox(text);
    return 1;
}

void errorBox(const std::string& text) {
    ++messageState().errorsReported;
    platform::hooks().messageBox("MERIDYN Error", text, platform::BoxIcon::Error);
}

void infoBox(const std::string& text) {
    platform::hooks().messageBox("MERIDYN Information", text, platform::BoxIcon::Information);
}

void logText(std::string_view text) {
    auto& s = messageState();
    std::FILE* f = openLog();
    if (!f || !writeToFile(f, text, s.flushHolds == 0)) {
        const int error = errno;
        reportLostMessage(s.logFailureSaid, "Error in logText\n", logFilePath(), error);
        if (!f) return;
    }
    if (!text.empty()) messageState().logAtLineStart = text.back() == '\n';
    noteLogComments(text);
}

bool takeRepeatedLogComment(std::string_view line) {
    logEnsureLineStart();
    auto& fresh = messageState().freshLogComments;
    const std::string_view want = trimmedRight(line);
    for (auto it = fresh.begin(); it != fresh.end(); ++it) {
        if (*it != want) continue;
        fresh.erase(it);
        return true;
    }
    return false;
}

void clearFreshLogComments() {
    messageState().freshLogComments.clear();
}

void logEnsureLineStart() {
    if (!messageState().logAtLineStart) logText("\n");
}

void logRemoveLastLineEnd() {
    std::FILE* f = openLog();
    if (!f) return;
    std::fflush(f);
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || st.st_size == 0) return;
    char last = 0;
    if (pread(fileno(f), &last, 1, st.st_size - 1) == 1 && last == '\n') {
        if (ftruncate(fileno(f), st.st_size - 1) == 0) messageState().logAtLineStart = false;
    }
}

void screenText(std::string_view text) {
    auto& s = messageState();
    if (s.screenMirror) s.screenMirror(text);
    std::FILE* f = openScreen();
    if (!f || !writeToFile(f, text, s.flushHolds == 0)) {
        const int error = errno;
        reportLostMessage(s.screenFailureSaid, "Error in screenText\n", screenFilePath(), error);
        if (!f) return;
    }
    ++s.screenLineCount;
}

void consoleTrimLines(int n) {
    auto& s = messageState();
    int drop = s.consoleLines + n - s.consoleLineLimit;
    if (drop <= 0) return;
    std::size_t pos = 0;
    int found = 0;
    while (found < drop) {
        std::size_t nl = s.consoleBuffer.find('\n', pos);
        if (nl == std::string::npos) break;
        pos = nl + 1;
        ++found;
    }
    if (found < drop) {
        s.consoleBuffer.clear();
        s.consoleLines = 0;
        s.consoleLineLimit = kConsoleLineLimit;
        return;
    }
    s.consoleBuffer.erase(0, pos);
    s.consoleLines -= found;
}

void consoleAppend(std::string_view text) {
    // The console keeps the newest text, as a terminal does: a text longer than the buffer keeps
    // its last lines and characters, and the oldest lines of the buffer make room quietly.
    auto& s = messageState();
    int lineEnds = 0;
    for (char c : text)
        if (c == '\n') ++lineEnds;
    for (; lineEnds > s.consoleLineLimit; --lineEnds)
        text.remove_prefix(text.find('\n') + 1);
    if (text.size() >= kConsoleBufferSize) {
        text.remove_prefix(text.size() - (kConsoleBufferSize - 1));
        lineEnds = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    consoleTrimLines(lineEnds);
    // The buffer holds at most 1023 characters and its terminator.
    while (!s.consoleBuffer.empty() && s.consoleBuffer.size() + text.size() + 1 > kConsoleBufferSize) {
        const std::size_t nl = s.consoleBuffer.find('\n');
        if (nl == std::string::npos) {
            // One unfinished line: its oldest characters go.
            s.consoleBuffer.erase(0, s.consoleBuffer.size() + text.size() + 1 - kConsoleBufferSize);
        } else {
            s.consoleBuffer.erase(0, nl + 1);
            --s.consoleLines;
        }
    }
    s.consoleBuffer.append(text);
    s.consoleLines += lineEnds;
}

int escapePressed() {
    return platform::hooks().escapePending() ? 1 : 0;
}

int progressStep(long done, long total, int every) {
    auto& s = messageState();
    platform::hooks().progress(done, total);
    if (every > 1) {
        if (s.progressCalls++ < every) return 0;
        s.progressCalls = 0;
    }
    if (escapePressed()) {
        s.abortRequest = 1;
        return 1;
    }
    return 0;
}

void closeOutputFiles() {
    auto& s = messageState();
    flushOutputFiles();
    if (s.logFile) std::fclose(s.logFile);
    if (s.screenFile) std::fclose(s.screenFile);
    s.logFile = nullptr;
    s.screenFile = nullptr;
}

void flushOutputFiles() {
    auto& s = messageState();
    if (s.logFile && !writeToFile(s.logFile, {})) {
        const int error = errno;
        reportLostMessage(s.logFailureSaid, "Error in logText\n", logFilePath(), error);
    }
    if (s.screenFile && !writeToFile(s.screenFile, {})) {
        const int error = errno;
        reportLostMessage(s.screenFailureSaid, "Error in screenText\n", screenFilePath(), error);
    }
}

RepeatScope::RepeatScope(RepeatMemory& memory)
    : memory_(memory), outer_(messageState().repeatMemory) {
    memory_.current.clear();
    messageState().repeatMemory = &memory_;
}

RepeatScope::~RepeatScope() {
    memory_.last.swap(memory_.current);
    memory_.current.clear();
    messageState().repeatMemory = outer_;
}

OutputFlushHold::OutputFlushHold() {
    ++messageState().flushHolds;
}

OutputFlushHold::~OutputFlushHold() {
    auto& s = messageState();
    if (s.flushHolds > 0 && --s.flushHolds == 0) flushOutputFiles();
}

void deleteOutputFiles() {
    auto& s = messageState();
    closeOutputFiles();
    // A regular file or a link (the link itself) goes; a device, FIFO or directory of that name
    // is never ours to remove, and the open that follows refuses it.
    for (const std::string& path : {s.logPath, s.screenOutPath})
        if (!path.empty()) platform::removeRegularOrLink(path);
    s.logAtLineStart = true;
    s.waitingPrompt.clear();
    // The lines counted so far are gone with the file.
    s.screenLineCount = 0;
}

void setOutputFiles() {
    auto& s = messageState();
    closeOutputFiles();
    if (s.programHome.empty()) s.programHome = platform::currentDirectory();
    s.spotsPath = platform::joinPath(s.programHome, "spots.dat");
    s.raysPath = platform::joinPath(s.programHome, "rays.dat");
    s.logPath = platform::joinPath(s.programHome, "meridyn.log");
    s.screenOutPath = platform::joinPath(s.programHome, "screen.out");
    // Delete exactly the files this run will write.
    deleteOutputFiles();
    s.screenLineCount = 0;
    logText("\n");
}

void printBanner(OutputChannel channel) {
    auto& s = messageState();
    if (s.bannerPrinted) return;
    s.bannerPrinted = 1;
    outText(channel, "\nMERIDYN %s\n", kVersionText);
}

void setPrompt(const std::string& text) {
    messageState().promptText = text;
}

void printPrompt(std::FILE* stream, OutputChannel channel) {
    auto& s = messageState();
    // The console stream may be null: a console that gives end of file at once.
    if (stream != s.consoleStream) return;
    s.writingPrompt = true;
    outText(channel, " %s", s.promptText.c_str());
    s.writingPrompt = false;
    if (channel == outputChannel) s.waitingPrompt = " " + s.promptText;
}

void startInterpreter() {
    setOutputFiles();
    printBanner(outputChannel);
    setPrompt(kStartupPrompt);
}

int initInterpreter() {
    startInterpreter();
    if (!messageState().logFile) {
        infoBox("Error setting log file.");
        return 0;
    }
    return 1;
}
