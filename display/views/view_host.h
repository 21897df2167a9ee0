// What the repaint needs of the view window, and the console's headless view that paints into
// an offscreen raster.
#pragma once

#include <array>
#include <functional>

#include "display/raster/raster_surface.h"
#include "display/views/repaint.h"

class ViewHost {
  public:
    virtual ~ViewHost() = default;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    // Height of the status line drawn over the bottom of the client area.
    virtual int statusLineHeight() const = 0;
    // Invalidates the whole client area with erasing and repaints it at once.
    virtual void invalidateAndUpdate() = 0;
    // The last model point picked with the mouse (x, y, z).
    virtual std::array<double, 3> pickedPoint() const = 0;
};

// A surface that measures like the one it stands for and draws nothing.
class SilentSurface : public DrawSurface {
  public:
    explicit SilentSurface(const DrawSurface& like) : like_(like) {}
    int width() const override { return like_.width(); }
    int height() const override { return like_.height(); }
    SurfaceKind kind() const override { return like_.kind(); }
    void erase() override {}
    void selectPen(int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    void setTextColor(Rgb) override {}
    void setTransparentText(bool) override {}
    TextExtent textExtent(std::string_view text) const override { return like_.textExtent(text); }
    void textOut(int, int, std::string_view) override {}

  private:
    const DrawSurface& like_;
};

// The console's view: no status line, no mouse, and every update repaints its raster at once,
// by default with the repaint of the view (paintView).
class HeadlessViewHost : public ViewHost {
  public:
    // Draws the picture; the raster is already erased to white when it is called.
    using PaintRoutine = std::function<void(ViewHost& view, DrawSurface& surface)>;

    explicit HeadlessViewHost(int width = RasterSurface::kDefaultWidth,
                              int height = RasterSurface::kDefaultHeight)
        : raster_(width, height), silent_(raster_), paint_(&paintView) {}
    HeadlessViewHost(const HeadlessViewHost&) = delete;
    HeadlessViewHost& operator=(const HeadlessViewHost&) = delete;

    int clientWidth() const override { return raster_.width(); }
    int clientHeight() const override { return raster_.height(); }
    int statusLineHeight() const override { return 0; }
    void invalidateAndUpdate() override;
    std::array<double, 3> pickedPoint() const override { return {0.0, 0.0, 0.0}; }

    // The document's "update all views" hook.
    void updateAllViews() { invalidateAndUpdate(); }

    void setClientSize(int width, int height) { raster_.resize(width, height); }
    void setPaintRoutine(PaintRoutine paint) { paint_ = std::move(paint); }
    // A view nobody looks at: an update paints pixels only while `wanted` says that someone reads
    // the result (a picture on disk, an open plot or export file). Otherwise the repaint still
    // runs, so that everything it settles (aspect, plot window, view modes) is as after a paint,
    // but onto a surface of the raster's size that draws nothing, and the raster keeps its old
    // picture. Without a `wanted` every update paints.
    void setPaintWanted(std::function<bool()> wanted) { paintWanted_ = std::move(wanted); }

    RasterSurface& raster() { return raster_; }
    const RasterSurface& raster() const { return raster_; }

  private:
    RasterSurface raster_;
    SilentSurface silent_; // lives as long as the raster: the plot state may keep its address
    PaintRoutine paint_;
    std::function<bool()> paintWanted_;
};
