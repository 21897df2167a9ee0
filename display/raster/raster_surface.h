// An offscreen 8-bit RGB picture that the console draws into: aliased one-pixel lines in the
// exact screen-pen colours and screen text in the stroke font at one pixel per font unit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "display/raster/draw_surface.h"

class RasterSurface : public DrawSurface {
  public:
    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;
    static constexpr int kMaxSide = 8192;
    static constexpr Rgb kBackground{0xFF, 0xFF, 0xFF};

    // A side outside 1..kMaxSide is brought into that range.
    explicit RasterSurface(int width = kDefaultWidth, int height = kDefaultHeight,
                           SurfaceKind kind = SurfaceKind::Screen);

    // New size (each side brought into 1..kMaxSide); the picture is erased.
    void resize(int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }
    SurfaceKind kind() const override { return kind_; }

    void erase() override;
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setTextColor(Rgb colour) override { textColour_ = colour; }
    void setTransparentText(bool transparent) override { transparentText_ = transparent; }
    TextExtent textExtent(std::string_view text) const override;
    void textOut(int x, int y, std::string_view text) override;
    void setPixel(int x, int y, Rgb colour) override { plot(x, y, colour); }
    void paintDib(const IndexedImage& image, int left, int top, int width, int height) override;

    Rgb pixel(int x, int y) const;
    // Rows of RGB triples, top to bottom.
    std::span<const std::uint8_t> pixels() const { return pixels_; }

    bool writePng(const std::filesystem::path& path) const;

  private:
    void drawLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Rgb colour,
                  bool withEnd);
    void plot(std::int64_t x, std::int64_t y, Rgb colour) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        p[0] = colour.r;
        p[1] = colour.g;
        p[2] = colour.b;
    }

    int width_ = 0;
    int height_ = 0;
    SurfaceKind kind_;
    std::vector<std::uint8_t> pixels_;
    Rgb penColour_ = kScreenPens[0];
    Rgb textColour_{};
    bool transparentText_ = false;
    int curX_ = 0;
    int curY_ = 0;
};
