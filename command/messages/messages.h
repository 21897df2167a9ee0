// The message layer: every text the system prints goes through here, to the screen text
// (console buffer + screen.out), to the command log (meridyn.log) or to an open stream.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Where a message goes: the screen channel, the log channel, or an open stdio stream.
struct OutputChannel {
    int id = 0;
    std::FILE* stream = nullptr;
    constexpr OutputChannel() = default;
    constexpr explicit OutputChannel(int channelId) : id(channelId) {}
    constexpr OutputChannel(std::FILE* f) : stream(f) {}
    constexpr bool operator==(const OutputChannel& o) const {
        return id == o.id && stream == o.stream;
    }
};

inline constexpr OutputChannel outputChannel{1}; // screen text
inline constexpr OutputChannel logChannel{2};    // command log

inline constexpr const char* kVersionText = "Version 5.0132";
inline constexpr const char* kStartupPrompt = "MD: ";

// What one recurring source of messages (the repaint) said the last time and says this time.
struct RepeatMemory {
    std::vector<std::string> last, current;
    long stamp = 0; // the owner's mark of what the last texts were about
};

// State of the message layer, grouped so tests can reset it.
struct MessageState {
    std::string programHome;   // empty means the current directory
    std::string logPath;       // full path of meridyn.log once the output files are set
    std::string screenOutPath; // full path of screen.out
    std::string spotsPath, raysPath;
    int screenLineCount = 0;

    std::string consoleBuffer; // the last lines of screen output
    int consoleLines = 0;
    int consoleLineLimit = 11;

    int errorOccurred = 0;
    // Errors reported since start-up (error lines and error boxes); unlike errorOccurred the
    // document never clears it, so the program's exit status can tell a run that had any.
    int errorsReported = 0;
    // A message was lost to meridyn.log or screen.out (said once per file on standard error).
    bool outputFailed = false;
    bool logFailureSaid = false;
    bool screenFailureSaid = false;
    int errorPopup = 0;
    int abortRequest = 0;
    int bannerPrinted = 0;

    std::string promptText = kStartupPrompt;
    // The prompt last written at the end of the screen text, while nothing followed it; a
    // message written between command runs (a repaint's) goes before it.
    std::string waitingPrompt;
    int commandRuns = 0; // command loops running (CommandRunScope)
    // The repeat memory in force (RepeatScope), or null.
    RepeatMemory* repeatMemory = nullptr;
    // The reader's console stream (never owned here); null is a console that gives end of file
    // at once, as the console of a windowed program does.
    std::FILE* consoleStream = nullptr;
    bool writingPrompt = false; // set while the prompt is written (mirrors may leave it out)

    // Files kept open between messages; every message is flushed at once unless a flush hold
    // is in force (see OutputFlushHold). Both are opened only as regular files, never through a
    // symbolic link.
    std::FILE* logFile = nullptr;
    std::FILE* screenFile = nullptr;
    bool logAtLineStart = true;
    // The "# >" comment lines written to the log since the reader last logged a line it read,
    // and the line being written (see takeRepeatedLogComment).
    std::vector<std::string> freshLogComments;
    std::string logLineSoFar;
    // Holds in force: while above 0, messages to meridyn.log and screen.out wait in the files'
    // buffers until flushOutputFiles or the last hold ends.
    int flushHolds = 0;

    int progressCalls = 0;

    // Receives every text written to the screen channel (the console driver echoes it to
    // standard output).
    std::function<void(std::string_view)> screenMirror;
};

MessageState& messageState();
// Closes the files and restores every value to its load-time state (the banner flag too).
void resetMessageState();

// The shared flags, under their usual names.
inline int& errorOccurred = messageState().errorOccurred;
inline int& abortRequest = messageState().abortRequest;
inline int& errorPopup = messageState().errorPopup;
inline std::string& programHome = messageState().programHome;

int outText(OutputChannel channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
void errorText(OutputChannel channel, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void warningText(OutputChannel channel, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
int infoText(const char* format, ...) __attribute__((format(printf, 1, 2)));
void errorBox(const std::string& text);
void infoBox(const std::string& text);

void logText(std::string_view text);
void screenText(std::string_view text);
// Ends a log line that an earlier message left open, so the next command starts its own line.
void logEnsureLineStart();
// Removes the line end of the last log line (the query marker follows the command on its line).
void logRemoveLastLineEnd();
// True when `line` (a "# >" comment read from a macro, as a complete form holds them) is one the
// program has just written to the log again itself since the reader last logged a line: it is
// then taken off the list and is not to be logged a second time. A replay of a complete form
// rewrites its errors and redefinitions; without this its comments would double at each save.
bool takeRepeatedLogComment(std::string_view line);
// Forgets those comments (the reader has logged a line of its own).
void clearFreshLogComments();

void consoleAppend(std::string_view text);
void consoleTrimLines(int n);

int escapePressed();
int progressStep(long done, long total, int every);

void setOutputFiles();
// Closes and deletes meridyn.log and screen.out (new document); they are created again on the
// next message.
void deleteOutputFiles();
// Flushes and closes the open log and screen files (program end).
void closeOutputFiles();
// Writes out what waits in the buffers of meridyn.log and screen.out (a held flush); a failure
// is reported as for a lost message. Anything that reads either file back while a hold may be
// in force flushes first.
void flushOutputFiles();

// While one lives, messages to meridyn.log and screen.out are not flushed one by one: a long run
// of commands from the window (an import) writes them in blocks, as a stream would. Their text
// is the same; the holder flushes at its own checkpoints, and the end of the last hold flushes
// on every way out. A crash loses at most what was written since the last flush.
class OutputFlushHold {
  public:
    OutputFlushHold();
    ~OutputFlushHold();
    OutputFlushHold(const OutputFlushHold&) = delete;
    OutputFlushHold& operator=(const OutputFlushHold&) = delete;
};
// While one lives, an error or warning whose text the memory held from its owner's last time, or
// that this time already said, is not reported again (a repaint after every command would
// repeat its fault after every command, and a fault of the window fit once a pane);
// when it ends, the memory holds this time's texts, shown or not. A time without messages
// forgets them, so a fault that comes back is reported again.
class RepeatScope {
  public:
    explicit RepeatScope(RepeatMemory& memory);
    ~RepeatScope();
    RepeatScope(const RepeatScope&) = delete;
    RepeatScope& operator=(const RepeatScope&) = delete;

  private:
    RepeatMemory& memory_;
    RepeatMemory* outer_;
};

// Marks a command loop running: messages written meanwhile follow the screen text in order.
class CommandRunScope {
  public:
    CommandRunScope() { ++messageState().commandRuns; }
    ~CommandRunScope() { --messageState().commandRuns; }
    CommandRunScope(const CommandRunScope&) = delete;
    CommandRunScope& operator=(const CommandRunScope&) = delete;
};

void startInterpreter();
int initInterpreter();
void printBanner(OutputChannel channel);
void setPrompt(const std::string& text);
void printPrompt(std::FILE* stream, OutputChannel channel);

// Formats like printf into a string of any length, in the C locale (formatCText).
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatTextV(const char* format, std::va_list args);
