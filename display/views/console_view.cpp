#include "display/views/console_view.h"

#include <charconv>

#include "command/settings/settings.h"
#include "display/plot/plot_files.h"
#include "display/plot/plot_primitives.h"
#include "display/views/segment_3d.h"
#include "display/views/view_modes.h"

namespace {

bool parseSide(std::string_view text, int& side) {
    int v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    if (v < 1 || v > RasterSurface::kMaxSide) return false;
    side = v;
    return true;
}

} // namespace

bool parseViewSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    int w = 0, h = 0;
    if (!parseSide(text.substr(0, x), w) || !parseSide(text.substr(x + 1), h)) return false;
    width = w;
    height = h;
    return true;
}

ConsoleView::ConsoleView(int width, int height, std::optional<std::filesystem::path> picture)
    : view_(width, height) {
    if (picture) picture_.emplace(*picture);
    // A repaint is worth its time only when its result is read: the picture, or a display,
    // HPGL or IGES line file that the repaint feeds and closes.
    view_.setPaintWanted([this] {
        const PlotState& plot = plotState();
        return picture_.has_value() || plot.displayFileOpen || plot.hpglFile || lineExportOn;
    });
    setViewWindow(&view_);
    installDisplaySettingsHooks();
}

ConsoleView::~ConsoleView() {
    if (viewModeState().viewWindow == &view_) setViewWindow(nullptr);
}

PictureFile::Result ConsoleView::writePicture() {
    if (!picture_) return PictureFile::Result::Unchanged;
    return picture_->update(view_.raster());
}

PictureFile::Result ConsoleView::afterCommand() {
    if (autoRedraw) view_.invalidateAndUpdate();
    return writePicture();
}

bool ConsoleView::exportHpgl(const std::string& path) {
    return exportHpglPlot(path, view_);
}
