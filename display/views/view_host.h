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

// The console's view: no status line, no mouse, and every update repaints its raster at once,
// by default with the repaint of the view (paintView).
class HeadlessViewHost : public ViewHost {
  public:
    // Draws the picture; the raster is already erased to white when it is called.
    using PaintRoutine = std::function<void(ViewHost& view, DrawSurface& surface)>;

    explicit HeadlessViewHost(int width = RasterSurface::kDefaultWidth,
                              int height = RasterSurface::kDefaultHeight)
        : raster_(width, height), paint_(&paintView) {}

    int clientWidth() const override { return raster_.width(); }
    int clientHeight() const override { return raster_.height(); }
    int statusLineHeight() const override { return 0; }
    void invalidateAndUpdate() override;
    std::array<double, 3> pickedPoint() const override { return {0.0, 0.0, 0.0}; }

    // The document's "update all views" hook.
    void updateAllViews() { invalidateAndUpdate(); }

    void setClientSize(int width, int height) { raster_.resize(width, height); }
    void setPaintRoutine(PaintRoutine paint) { paint_ = std::move(paint); }

    RasterSurface& raster() { return raster_; }
    const RasterSurface& raster() const { return raster_; }

  private:
    RasterSurface raster_;
    PaintRoutine paint_;
};
