// A drawing surface that keeps every call in order as a line of text, for tests.
#pragma once

#include <string>
#include <vector>

#include "display/raster/draw_surface.h"

class RecordingSurface : public DrawSurface {
  public:
    explicit RecordingSurface(int width = 800, int height = 600,
                              SurfaceKind kind = SurfaceKind::Screen)
        : width_(width), height_(height), kind_(kind) {}

    int width() const override { return width_; }
    int height() const override { return height_; }
    SurfaceKind kind() const override { return kind_; }

    // Calls as "erase", "pen 3", "move 10 20", "line 30 40", "textcolor 0 0 0",
    // "transparent 1", "extent TEXT", "text 5 6 TEXT".
    void erase() override { calls.push_back("erase"); }
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setTextColor(Rgb colour) override;
    void setTransparentText(bool transparent) override;
    TextExtent textExtent(std::string_view text) const override;
    void textOut(int x, int y, std::string_view text) override;

    // Only the calls that draw: "move", "line" and "text".
    std::vector<std::string> drawing() const;

    mutable std::vector<std::string> calls;

  private:
    int width_;
    int height_;
    SurfaceKind kind_;
};
