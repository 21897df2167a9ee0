// What the console driver needs of the display: a headless view of a chosen size that the
// repaint draws into, the picture it keeps on disk, and the HPGL export.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "display/raster/picture_file.h"
#include "display/views/view_host.h"

// Reads "WxH" (each side 1 to 8192); false, with nothing changed, for anything else.
bool parseViewSize(std::string_view text, int& width, int& height);

class ConsoleView {
  public:
    // Becomes the view that view commands repaint and connects the display to the settings.
    // With a picture path the picture is kept on disk as a PNG.
    explicit ConsoleView(int width = RasterSurface::kDefaultWidth,
                         int height = RasterSurface::kDefaultHeight,
                         std::optional<std::filesystem::path> picture = std::nullopt);
    ~ConsoleView();
    ConsoleView(const ConsoleView&) = delete;
    ConsoleView& operator=(const ConsoleView&) = delete;

    // After start-up and after each command: repaints when AutoRedraw is on, then writes the
    // picture when it changed since the last write (atomically). Returns the picture's result
    // (Unchanged without a picture). Without a picture, and with no display, HPGL or IGES file
    // open, repaints settle the view's state but draw nothing: nobody would see the pixels.
    PictureFile::Result afterCommand();
    // The HPGL export: `path` becomes the plot, its first line is written and the view repaints
    // once, which writes the plot and closes it. False when the file cannot be opened (an
    // information box says so). The picture on disk stays that of the last command: text in a
    // plot is stroked, not the screen's.
    bool exportHpgl(const std::string& path);
    // The document's "update all views".
    void updateAllViews() { view_.updateAllViews(); }

    HeadlessViewHost& view() { return view_; }

  private:
    PictureFile::Result writePicture();

    HeadlessViewHost view_;
    std::optional<PictureFile> picture_;
};
