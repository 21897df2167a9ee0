// The drawing surface: what the plot primitives need of a device. The Qt view, the headless
// raster and the test recorder each implement it. Coordinates are device pixels with y growing
// downwards; a line ends just before its end pixel.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    constexpr bool operator==(const Rgb&) const = default;
};

// The sixteen screen pens, solid and one pixel wide, by pen number.
inline constexpr std::array<Rgb, 16> kScreenPens = {{
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x8A},
    {0x00, 0x8A, 0x00},
    {0xFF, 0x00, 0x00},
    {0x45, 0xFF, 0xFF},
    {0x8A, 0x00, 0x8A},
    {0x8A, 0x45, 0x00},
    {0x8A, 0x8A, 0x8A},
    {0x45, 0x45, 0x45},
    {0x00, 0x00, 0x8A},
    {0x45, 0xFF, 0x45},
    {0x00, 0x8A, 0x8A},
    {0xFF, 0x45, 0x45},
    {0xFF, 0x45, 0xFF},
    {0xFF, 0xFF, 0x45},
    {0x00, 0x00, 0x00},
}};

// A pen number forced into 0..15.
constexpr int clampPen(int pen) {
    return pen < 0 ? 0 : (pen > 15 ? 15 : pen);
}

constexpr Rgb screenPenColour(int pen) {
    return kScreenPens[static_cast<std::size_t>(clampPen(pen))];
}

enum class SurfaceKind { Screen, Printer, Metafile };

// An 8-bit image with its colour table, rows top first (what PaintDib draws).
struct IndexedImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices; // width x height
    std::vector<Rgb> colours;          // an index beyond the table is black
    bool valid() const {
        return width > 0 && height > 0 &&
               indices.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    Rgb colourAt(int x, int y) const {
        const std::uint8_t i = indices[static_cast<std::size_t>(y) * width + x];
        return i < colours.size() ? colours[i] : Rgb{};
    }
};

struct TextExtent {
    int cx = 0;
    int cy = 0;
};

class DrawSurface {
  public:
    virtual ~DrawSurface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual SurfaceKind kind() const = 0;
    // A paint for the printer is in progress.
    bool printingNow() const { return kind() == SurfaceKind::Printer; }
    // The picture goes into a metafile.
    bool metafileOutput() const { return kind() == SurfaceKind::Metafile; }

    // Fills the surface with the window background.
    virtual void erase() = 0;
    // Selects screen pen 0..15 for the following lines.
    virtual void selectPen(int pen) = 0;
    virtual void moveTo(int x, int y) = 0;
    // Draws from the current position to (x, y), without the end pixel, and moves there.
    virtual void lineTo(int x, int y) = 0;

    virtual void setTextColor(Rgb colour) = 0;
    virtual void setTransparentText(bool transparent) = 0;
    virtual TextExtent textExtent(std::string_view text) const = 0;
    // Draws text with its top left corner at (x, y).
    virtual void textOut(int x, int y, std::string_view text) = 0;
    // Sets one pixel (bitmaps painted into the view); surfaces without pixels ignore it.
    virtual void setPixel(int x, int y, Rgb colour) {
        (void)x;
        (void)y;
        (void)colour;
    }
    // Stretches the whole image into the rectangle (nearest pixel); a surface that cannot show
    // images ignores it.
    virtual void paintDib(const IndexedImage& image, int left, int top, int width, int height) {
        (void)image, (void)left, (void)top, (void)width, (void)height;
    }
};

// The source pixel of destination column (or row) d of a stretch from `from` to `to` pixels.
constexpr int stretchSource(int d, int to, int from) {
    return static_cast<int>(static_cast<long long>(d) * from / to);
}
