// meridyn-cli: the console driver. Runs the interpreter with the terminal as command line and
// screen text: each FILE is opened as the document opens a file; without FILE each line of
// standard input is one command line. The view is an offscreen picture of --size pixels,
// repainted after start-up and after every command run while AutoRedraw is on; --picture keeps
// it on disk as a PNG, --hpgl plots it at the end.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/messages/messages.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings_file.h"
#include "display/views/console_view.h"
#include "platform/console_hooks.h"
#include "platform/platform_hooks.h"

namespace fs = std::filesystem;

namespace {

// The history list of a console is the terminal itself; its one view is the offscreen picture.
// The redraw after a command run is the driver's (ConsoleView::afterCommand).
class ConsoleDocumentHooks : public DocumentHooks {
  public:
    explicit ConsoleDocumentHooks(ConsoleView& view) : view_(view) {}
    void addHistoryLine(const std::string& text) override {
        std::fputs(text.c_str(), stdout);
        if (text.empty() || text.back() != '\n') std::fputc('\n', stdout);
    }
    void updateAllViews() override { view_.updateAllViews(); }

  private:
    ConsoleView& view_;
};

void usage() {
    std::fprintf(stderr, "usage: meridyn-cli [--home DIR] [--size WxH] [--picture FILE.png] "
                         "[--hpgl FILE] [--save FILE] [FILE...]\n");
}

// Repaints after a command run and keeps the picture; a picture that cannot be written is said
// once per failure.
void afterCommand(ConsoleView& view, const std::string& picture) {
    if (view.afterCommand() == PictureFile::Result::Failed)
        std::fprintf(stderr, "meridyn-cli: cannot write the picture %s\n", picture.c_str());
}

// A file name as the quoted value of macro/name= (a quote is written twice).
std::string quoted(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv) {
    std::string home, picture, hpgl, save;
    int width = RasterSurface::kDefaultWidth, height = RasterSurface::kDefaultHeight;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && arg != "--home" &&
            arg != "--picture" && arg != "--hpgl" && arg != "--size" && arg != "--save") {
            std::fprintf(stderr, "meridyn-cli: unknown option %s\n", arg.c_str());
            usage();
            return 2;
        }
        if (arg == "--home" || arg == "--picture" || arg == "--hpgl" || arg == "--size" ||
            arg == "--save") {
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
            } else if (!parseViewSize(value, width, height)) {
                std::fprintf(stderr, "meridyn-cli: --size takes WxH, each 1 to %d\n",
                             RasterSurface::kMaxSide);
                return 2;
            }
        } else {
            files.push_back(arg);
        }
    }
    if (!home.empty()) {
        std::error_code ec;
        if (!fs::is_directory(home, ec)) {
            std::fprintf(stderr, "meridyn-cli: %s is not a directory\n", home.c_str());
            return 2;
        }
        fs::path p = fs::absolute(home, ec).lexically_normal();
        std::string text = p.string();
        while (text.size() > 1 && text.back() == '/')
            text.pop_back();
        programHome = text;
    }

    platform::installConsoleInterruptHandler();
    const bool interactive = isatty(STDIN_FILENO);
    messageState().screenMirror = [](std::string_view text) {
        // The prompt of the screen text is left out: the terminal gets its own.
        if (!messageState().writingPrompt) std::fwrite(text.data(), 1, text.size(), stdout);
    };

    registerCommandHandlers();
    ConsoleView view(width, height,
                     picture.empty() ? std::nullopt : std::optional<fs::path>(picture));
    ConsoleDocumentHooks hooks(view);
    CQelDoc doc(&hooks);
    // Read once before the first new document, so startup.opt and the files named here win.
    loadIniSettings();
    doc.OnNewDocument();
    afterCommand(view, picture);

    if (!files.empty()) {
        for (const auto& file : files) {
            commandBuffer = "macro/name=" + quoted(file);
            doc.ExecuteCommandAndRedraw();
            afterCommand(view, picture);
        }
    } else {
        char* buffer = nullptr;
        std::size_t capacity = 0;
        for (;;) {
            if (interactive) std::fputs("MD: ", stdout);
            std::fflush(stdout);
            errno = 0;
            ssize_t n = getline(&buffer, &capacity, stdin);
            if (n < 0) {
                if (std::ferror(stdin) && errno == EINTR) {
                    // Ctrl-C at the prompt: nothing runs, so there is nothing to stop.
                    std::clearerr(stdin);
                    platform::hooks().escapePending();
                    if (interactive) std::fputc('\n', stdout);
                    continue;
                }
                if (interactive) std::fputc('\n', stdout); // end of input typed at the prompt
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
    if (!hpgl.empty()) view.exportHpgl(hpgl);
    // The console's File > Save As, after the last command: .opt names get the compressed form.
    const bool saveFailed = !save.empty() && !doc.OnSaveDocument(save);

    saveIniSettings();
    closeOutputFiles();
    std::fflush(stdout);
    return saveFailed ? 1 : 0;
}
