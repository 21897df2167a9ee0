#include "display/plot/plot_files.h"

#include <filesystem>

#include "command/messages/messages.h"
#include "display/plot/plot_primitives.h"
#include "display/views/view_host.h"
#include "platform/safe_file.h"

namespace {

constexpr int kMaxAutomaticNames = 1000000;

// A name is taken by anything there, a link that leads nowhere too.
bool nameTaken(const std::string& name) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(name, ec));
}

// The file name a request resolves to, or empty when every candidate is taken.
std::string choosePlotName(const std::string& name) {
    if (!name.empty() && name[0] == ' ') {
        for (int i = 0; i < kMaxAutomaticNames; ++i) {
            std::string candidate = "plot" + std::to_string(i);
            if (!nameTaken(candidate)) return candidate;
        }
        return {};
    }
    if (!nameTaken(name)) return name;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string candidate = name + letter;
        if (!nameTaken(candidate)) return candidate;
    }
    return {};
}

} // namespace

std::FILE* openPlotFile(const std::string& name) {
    closePlotFile();
    std::string chosen = choosePlotName(name);
    if (chosen.empty()) return nullptr;
    std::FILE* f = platform::openRegularForWrite(chosen);
    if (!f) return nullptr;
    PlotState& s = plotState();
    s.displayFile = f;
    s.displayFileName = chosen;
    s.displayFileOpen = 1;
    return f;
}

void closePlotFile() {
    PlotState& s = plotState();
    if (!s.displayFileOpen) return;
    outText(outputChannel, "Plot file created: %s\n", s.displayFileName.c_str());
    if (s.displayFile) std::fclose(s.displayFile);
    s.displayFile = nullptr;
    s.displayFileOpen = 0;
}

bool openHpglFile(const std::string& path) {
    // An export whose repaint never came holds only its first line; the new one replaces it.
    closeHpglFile();
    std::FILE* f = platform::openRegularForWrite(path);
    if (!f) {
        infoText("Unable to open hpgl file %s for output.", path.c_str());
        return false;
    }
    std::fputs("IN;VS 16.5;SP 1;\n", f);
    plotState().hpglFile = f;
    return true;
}

void closeHpglFile() {
    PlotState& s = plotState();
    if (s.hpglFile) std::fclose(s.hpglFile);
    s.hpglFile = nullptr;
}

bool exportHpglPlot(const std::string& path, ViewHost& view) {
    if (!openHpglFile(path)) return false;
    view.invalidateAndUpdate();
    return true;
}
