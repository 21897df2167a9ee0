#include "display/plot/plot_files.h"

#include <filesystem>
#include <memory>

#include "command/general/file_names.h"
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

namespace {

// A replacement file for `path` (never through a link), or nullptr when it cannot be made.
std::unique_ptr<platform::ReplacementFile> openReplacement(const std::string& path) {
    auto file = std::make_unique<platform::ReplacementFile>();
    if (!file->open(path, false, platform::ReplacementFile::Links::Refuse)) return nullptr;
    return file;
}

} // namespace

std::FILE* openPlotFile(const std::string& name) {
    closePlotFile();
    std::string chosen = choosePlotName(name);
    if (chosen.empty()) return nullptr;
    PlotState& s = plotState();
    s.displayOutput = openReplacement(chosen);
    if (!s.displayOutput) return nullptr;
    s.displayFile = s.displayOutput->stream();
    s.displayFileName = chosen;
    s.displayFileOpen = 1;
    return s.displayFile;
}

void closePlotFile() {
    PlotState& s = plotState();
    if (!s.displayFileOpen) return;
    const bool written = s.displayOutput && s.displayOutput->commit();
    s.displayOutput.reset();
    s.displayFile = nullptr;
    s.displayFileOpen = 0;
    if (written)
        outText(outputChannel, "Plot file created: %s\n", s.displayFileName.c_str());
    else
        errorText(outputChannel, "Unable to write %s\n", s.displayFileName.c_str());
}

bool openHpglFile(const std::string& path) {
    // An export whose repaint never came is dropped; the new one takes its place.
    PlotState& s = plotState();
    s.hpglOutput.reset();
    s.hpglFile = nullptr;
    s.hpglOutput = openReplacement(path);
    if (!s.hpglOutput) {
        infoText("Unable to open hpgl file %s for output.", path.c_str());
        return false;
    }
    s.hpglFile = s.hpglOutput->stream();
    s.hpglFileName = path;
    s.hpglFailed = 0;
    std::fputs("IN;VS 16.5;SP 1;\n", s.hpglFile);
    return true;
}

void closeHpglFile() {
    PlotState& s = plotState();
    if (!s.hpglOutput) return;
    const bool written = s.hpglOutput->commit();
    s.hpglOutput.reset();
    s.hpglFile = nullptr;
    if (written) return;
    s.hpglFailed = 1;
    errorText(outputChannel, "Unable to write %s\n", s.hpglFileName.c_str());
}

bool exportHpglPlot(const std::string& path, ViewHost& view) {
    if (ownFileRefused(path) || !openHpglFile(path)) return false;
    view.invalidateAndUpdate();
    // The repaint writes and closes the plot; a view that painted nothing leaves it open.
    closeHpglFile();
    return plotState().hpglFailed == 0;
}
