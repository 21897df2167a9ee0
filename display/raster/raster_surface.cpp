#include "display/raster/raster_surface.h"

#include <algorithm>

#include "display/raster/line_pixels.h"
#include "display/raster/png_writer.h"
#include "display/plot/stroke_font.h"

namespace {
int clampSide(int v) {
    return std::clamp(v, 1, RasterSurface::kMaxSide);
}
} // namespace

RasterSurface::RasterSurface(int width, int height, SurfaceKind kind) : kind_(kind) {
    resize(width, height);
}

void RasterSurface::resize(int width, int height) {
    width_ = clampSide(width);
    height_ = clampSide(height);
    pixels_.assign(static_cast<std::size_t>(width_) * height_ * 3, 0);
    erase();
}

void RasterSurface::erase() {
    for (std::size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = kBackground.r;
        pixels_[i + 1] = kBackground.g;
        pixels_[i + 2] = kBackground.b;
    }
}

void RasterSurface::selectPen(int pen) {
    penColour_ = screenPenColour(pen);
}

void RasterSurface::moveTo(int x, int y) {
    curX_ = x;
    curY_ = y;
}

void RasterSurface::lineTo(int x, int y) {
    drawLine(curX_, curY_, x, y, penColour_, false);
    curX_ = x;
    curY_ = y;
}

TextExtent RasterSurface::textExtent(std::string_view text) const {
    return deviceTextExtent(text);
}

void RasterSurface::textOut(int x, int y, std::string_view text) {
    // Only the strokes are drawn, so opaque and transparent text look alike here.
    forEachDeviceStroke(text, x, y,
                        [this](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
                            drawLine(x0, y0, x1, y1, textColour_, true);
                        });
}

Rgb RasterSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
    return {p[0], p[1], p[2]};
}

bool RasterSurface::writePng(const std::filesystem::path& path) const {
    return writePngFile(path, width_, height_, pixels_);
}

// Steps along the major axis; the minor coordinate of step i is the rounded value
// minor0 + i * dMinor / n, kept as a quotient and remainder so every step is exact. Only the
// steps whose major coordinate lies on the picture are visited, so a line that reaches far
// outside costs no more than one across the picture.
void RasterSurface::drawLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                             Rgb colour, bool withEnd) {
    forEachLinePixel(x0, y0, x1, y1, withEnd, width_, height_,
                     [&](std::int64_t x, std::int64_t y) { plot(x, y, colour); });
}

void RasterSurface::paintDib(const IndexedImage& image, int left, int top, int width, int height) {
    if (!image.valid() || width <= 0 || height <= 0) return;
    // Only the part of the rectangle inside the picture is visited.
    const int x0 = std::max(0, left);
    const int x1 = static_cast<int>(std::min<long long>(width_, static_cast<long long>(left) + width));
    const int y0 = std::max(0, top);
    const int y1 = static_cast<int>(std::min<long long>(height_, static_cast<long long>(top) + height));
    for (int y = y0; y < y1; ++y) {
        const int sy = stretchSource(y - top, height, image.height);
        for (int x = x0; x < x1; ++x)
            plot(x, y, image.colourAt(stretchSource(x - left, width, image.width), sy));
    }
}
