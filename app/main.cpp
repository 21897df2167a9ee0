// meridyn-cli: the console driver. Runs the interpreter with the terminal as command line and
// screen text: each FILE is opened as the document opens a file; without FILE each line of
// standard input is one command line. The view is an offscreen picture of --size pixels,
// repainted after start-up and after every command run while AutoRedraw is on; --picture keeps
// it on disk as a PNG, --hpgl plots it at the end.
//
// Exit status: 0 when the run reported no error; 1 when a command reported an error, a FILE
// could not be run or an output could not be written; 2 for bad options, an unusable home or a
// home another program holds; 130 after Ctrl-C, 143 after SIGTERM, 129 after SIGHUP.
#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/document/program_home.h"
#include "command/messages/messages.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings_file.h"
#include "display/exchange/iges_export.h"
#include "display/views/console_view.h"
#include "platform/console_hooks.h"
#include "platform/platform_hooks.h"
#include "platform/run_control.h"

namespace fs = std::filesystem;

namespace {

// Standard output as the mirror of the screen text: once it fails (a reader that went away) it
// is left alone and the run goes on with its files.
bool consoleClosed = false;

void consoleWrite(std::string_view text) {
    if (consoleClosed || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) consoleClosed = true;
}

void consoleFlush() {
    if (!consoleClosed && std::fflush(stdout) != 0) consoleClosed = true;
}

// The history list of a console is the terminal itself; its one view is the offscreen picture.
// The redraw after a command run is the driver's (ConsoleView::afterCommand).
class ConsoleDocumentHooks : public DocumentHooks {
  public:
    explicit ConsoleDocumentHooks(ConsoleView& view) : view_(view) {}
    void addHistoryLine(const std::string& text) override {
        consoleWrite(text);
        if (text.empty() || text.back() != '\n') consoleWrite("\n");
    }
    void updateAllViews() override { view_.updateAllViews(); }

  private:
    ConsoleView& view_;
};

void usage() {
    std::fprintf(stderr, "usage: meridyn-cli [--home DIR] [--size WxH] [--picture FILE.png] "
                         "[--hpgl FILE] [--save FILE] [--iges FILE] [FILE...]\n");
}

// An output named on the command line could not be written, or a FILE could not be run.
bool outputFailed = false;

// Repaints after a command run and keeps the picture; a picture that cannot be written is said
// once per failure.
void afterCommand(ConsoleView& view, const std::string& picture) {
    const PictureFile::Result painted = view.afterCommand();
    // Ctrl-C during the repaint stopped the repaint's rays, not the next command.
    abortRequest = 0;
    if (painted == PictureFile::Result::Failed) {
        std::fprintf(stderr, "meridyn-cli: cannot write the picture %s\n", picture.c_str());
        outputFailed = true;
    }
}

// The name under which FILE reaches the interpreter (and the log): as typed when it names the same
// file from the home, else its absolute path, else the path from the home, whichever passes
// through a command line whole; empty when none does.
std::string macroArgument(const std::string& given, const std::string& absolute,
                          const std::string& home, const std::string& start) {
    if ((given == absolute || start == home) && macroNamePassesWhole(given)) return given;
    if (macroNamePassesWhole(absolute)) return absolute;
    fs::path relative = fs::path(absolute).lexically_relative(home);
    if (!relative.empty() && macroNamePassesWhole(relative.string())) return relative.string();
    return {};
}

// The exit status of a run that got to its end.
int runStatus() {
    switch (platform::terminationSignal()) {
    case SIGTERM:
        return 128 + SIGTERM;
    case SIGHUP:
        return 128 + SIGHUP;
    default:
        break;
    }
    if (platform::consoleInterrupted()) return 128 + SIGINT;
    const auto& m = messageState();
    if (m.errorsReported > 0 || m.outputFailed || outputFailed) return 1;
    return 0;
}

// True when the run is to end before its next command: a termination signal, or Ctrl-C while
// FILE arguments run (commands read from standard input go on after it, as after Escape).
bool runStopped(bool runningFiles) {
    return platform::terminationSignal() != 0 || (runningFiles && platform::consoleInterrupted());
}

} // namespace

int main(int argc, char** argv) {
    // Before anything is opened: the run's own files must never become descriptors 0 to 2.
    platform::ensureStandardDescriptors();
    std::string home, picture, hpgl, save, iges;
    int width = RasterSurface::kDefaultWidth, height = RasterSurface::kDefaultHeight;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && arg != "--home" &&
            arg != "--picture" && arg != "--hpgl" && arg != "--size" && arg != "--save" &&
            arg != "--iges") {
            std::fprintf(stderr, "meridyn-cli: unknown option %s\n", arg.c_str());
            usage();
            return 2;
        }
        if (arg == "--home" || arg == "--picture" || arg == "--hpgl" || arg == "--size" ||
            arg == "--save" || arg == "--iges") {
            if (i + 1 >= argc) {
                usage();
                return 2;
            }
            std::string value = argv[++i];
            if (arg == "--home") {
                home = value;
            } else if (arg == "--picture") {
                picture = value;
            } else if (arg == "--hpgl") {
                hpgl = value;
            } else if (arg == "--save") {
                save = value;
            } else if (arg == "--iges") {
                iges = value;
            } else if (!parseViewSize(value, width, height)) {
                std::fprintf(stderr, "meridyn-cli: --size takes WxH, each 1 to %d\n",
                             RasterSurface::kMaxSide);
                return 2;
            }
        } else {
            files.push_back(arg);
        }
    }
    // Every path of the command line means what it meant where the user started; then the home
    // becomes the working directory, where every "current directory" file of the run lands.
    ProgramHome programHomeDir;
    std::string homeError;
    if (!programHomeDir.resolve(home, homeError)) {
        std::fprintf(stderr, "meridyn-cli: %s\n", homeError.c_str());
        return 2;
    }
    const std::string& startDirectory = programHomeDir.startDirectory();
    const std::string& homePath = programHomeDir.path();
    std::vector<std::string> macroNames;
    for (const auto& file : files) {
        std::string name =
            macroArgument(file, programHomeDir.fromStart(file), homePath, startDirectory);
        if (name.empty()) {
            std::fprintf(stderr,
                         "meridyn-cli: %s cannot be run: its name is too long or holds a '|' "
                         "or a control character\n",
                         file.c_str());
            return 2;
        }
        macroNames.push_back(name);
    }
    // Output paths keep the form they were given in when they mean the same from the home.
    if (startDirectory != homePath)
        for (std::string* output : {&picture, &hpgl, &save, &iges})
            *output = programHomeDir.fromStart(*output);
    if (!programHomeDir.enter(homeError)) {
        std::fprintf(stderr, "meridyn-cli: %s\n", homeError.c_str());
        return 2;
    }

    // One program per home: a second one would delete the first one's log and screen text.
    if (programHomeDir.lock() == platform::FileLock::Result::Busy) {
        std::fprintf(stderr, "Another MERIDYN is using the home directory %s.\n",
                     homePath.c_str());
        return 2;
    }

    platform::installConsoleInterruptHandler();
    platform::installTerminationHandlers();
    const bool interactive = isatty(STDIN_FILENO);
    messageState().screenMirror = [](std::string_view text) {
        // The prompt of the screen text is left out: the terminal gets its own.
        if (!messageState().writingPrompt) consoleWrite(text);
    };

    registerCommandHandlers();
    ConsoleView view(width, height,
                     picture.empty() ? std::nullopt : std::optional<fs::path>(picture));
    ConsoleDocumentHooks hooks(view);
    CQelDoc doc(&hooks);
    // Read once before the first new document, so startup.opt and the files named here win.
    loadIniSettings();
    // A home without a start-up macro is no error of the run, though the attempt says so.
    const bool startupPresent = fs::exists("startup.opt") || fs::exists("startup.mac");
    doc.OnNewDocument();
    if (!startupPresent) messageState().errorsReported = 0;
    afterCommand(view, picture);

    if (!macroNames.empty()) {
        for (const auto& name : macroNames) {
            if (runStopped(true)) break;
            // A file that is there but cannot be opened is said by the interpreter outside the
            // error channel; the run still counts as failed. (A missing one is an error.)
            int probe = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (probe < 0 && errno != ENOENT)
                outputFailed = true;
            else
                ::close(probe);
            commandBuffer = macroRunCommand(name);
            doc.ExecuteCommandAndRedraw();
            afterCommand(view, picture);
        }
    } else {
        char* buffer = nullptr;
        std::size_t capacity = 0;
        for (;;) {
            if (runStopped(false)) break;
            if (interactive) consoleWrite("MD: ");
            consoleFlush();
            errno = 0;
            ssize_t n = getline(&buffer, &capacity, stdin);
            if (n < 0) {
                if (std::ferror(stdin) && errno == EINTR) {
                    std::clearerr(stdin);
                    if (runStopped(false)) break;
                    // Ctrl-C at the prompt: nothing runs, so there is nothing to stop.
                    platform::hooks().escapePending();
                    if (interactive) consoleWrite("\n");
                    continue;
                }
                if (interactive) consoleWrite("\n"); // end of input typed at the prompt
                break;
            }
            std::string line(buffer, static_cast<std::size_t>(n));
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                line.pop_back();
            platform::hooks().escapePending(); // an Escape pressed while idle belongs to no command
            commandBuffer = line;
            doc.ExecuteCommand();
            afterCommand(view, picture);
            if (doc.StopWordTyped()) break;
        }
        std::free(buffer);
    }

    // The console's stand-in for the document's HPGL export, after the last command.
    if (!hpgl.empty() && !view.exportHpgl(hpgl)) outputFailed = true;
    // The console's File > Save As, after the last command: .opt names get the compressed form.
    if (!save.empty() && !doc.OnSaveDocument(save)) outputFailed = true;
    // The view's IGES export, after the last command and the save (its iges command is not
    // part of the model), as the export dialog runs it.
    if (!iges.empty() && !exportIgesView(doc, iges)) {
        std::fprintf(stderr, "meridyn-cli: cannot write the IGES file %s\n", iges.c_str());
        outputFailed = true;
    }

    saveIniSettings();
    closeOutputFiles();
    consoleFlush();
    return runStatus();
}
