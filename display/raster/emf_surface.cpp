#include "display/raster/emf_surface.h"

#include <algorithm>
#include <string_view>

#include "display/plot/stroke_font.h"
#include "platform/safe_file.h"

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
std::uint32_t s32(int v) {
    return static_cast<std::uint32_t>(v);
}
std::uint32_t colourRef(Rgb c) {
    return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
           (static_cast<std::uint32_t>(c.b) << 16);
}
// Device coordinates far outside the picture are brought into the 32-bit record range.
int clampCoord(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -1000000, 1000000));
}

} // namespace

EmfSurface::EmfSurface(int width, int height)
    : width_(std::max(1, width)), height_(std::max(1, height)) {
    // The sixteen screen pens first, so handles 1..16 are the pen numbers 0..15.
    for (int pen = 0; pen < 16; ++pen)
        selectColour(kScreenPens[static_cast<std::size_t>(pen)]);
    selected_ = -1;
}

void EmfSurface::record(std::uint32_t type, std::initializer_list<std::uint32_t> words) {
    put32(records_, type);
    put32(records_, static_cast<std::uint32_t>(8 + 4 * words.size()));
    for (std::uint32_t w : words)
        put32(records_, w);
    ++recordCount_;
}

void EmfSurface::selectColour(Rgb colour) {
    auto it = std::find(pens_.begin(), pens_.end(), colour);
    int index = static_cast<int>(it - pens_.begin());
    if (it == pens_.end()) {
        pens_.push_back(colour);
        // Solid, one pixel wide.
        record(kCreatePen, {s32(index + 1), 0u, 1u, 0u, colourRef(colour)});
    }
    if (selected_ == index) return;
    record(kSelectObject, {s32(index + 1)});
    selected_ = index;
}

void EmfSurface::selectPen(int pen) {
    penColour_ = screenPenColour(pen);
}

void EmfSurface::moveTo(int x, int y) {
    curX_ = x;
    curY_ = y;
}

void EmfSurface::lineTo(int x, int y) {
    selectColour(penColour_);
    if (!recordedAt_ || recX_ != curX_ || recY_ != curY_)
        record(kMoveTo, {s32(clampCoord(curX_)), s32(clampCoord(curY_))});
    record(kLineTo, {s32(clampCoord(x)), s32(clampCoord(y))});
    ++lines_;
    curX_ = recX_ = x;
    curY_ = recY_ = y;
    recordedAt_ = true;
}

TextExtent EmfSurface::textExtent(std::string_view text) const {
    return deviceTextExtent(text);
}

void EmfSurface::textOut(int x, int y, std::string_view text) {
    const Rgb keep = penColour_;
    const int keepX = curX_, keepY = curY_;
    penColour_ = textColour_;
    forEachDeviceStroke(text, x, y,
                        [this](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
                            moveTo(clampCoord(x0), clampCoord(y0));
                            lineTo(clampCoord(x1), clampCoord(y1));
                        });
    penColour_ = keep;
    curX_ = keepX;
    curY_ = keepY;
}

void EmfSurface::paintDib(const IndexedImage& image, int left, int top, int width, int height) {
    if (!image.valid() || width <= 0 || height <= 0) return;
    const std::uint32_t colours = 256;
    const std::size_t rowBytes = (static_cast<std::size_t>(image.width) + 3) & ~std::size_t(3);
    const std::uint32_t bmiBytes = 40 + 4 * colours;
    const std::size_t bitsBytes = rowBytes * static_cast<std::size_t>(image.height);
    if (bitsBytes > 0x7FFFFFFF - 1024) return;
    const std::uint32_t size = static_cast<std::uint32_t>(80 + bmiBytes + bitsBytes);
    put32(records_, kStretchDibits);
    put32(records_, size);
    for (int v : {left, top, left + width - 1, top + height - 1}) // bounds
        put32(records_, s32(v));
    for (int v : {left, top, 0, 0, image.width, image.height})
        put32(records_, s32(v));
    put32(records_, 80);
    put32(records_, bmiBytes);
    put32(records_, 80 + bmiBytes);
    put32(records_, static_cast<std::uint32_t>(bitsBytes));
    put32(records_, 0);          // colours are RGB
    put32(records_, 0x00CC0020); // copy
    put32(records_, s32(width));
    put32(records_, s32(height));
    // The bitmap header, bottom-up rows.
    put32(records_, 40);
    put32(records_, s32(image.width));
    put32(records_, s32(image.height));
    put16(records_, 1);
    put16(records_, 8);
    put32(records_, 0);
    put32(records_, static_cast<std::uint32_t>(bitsBytes));
    put32(records_, 3780);
    put32(records_, 3780);
    put32(records_, colours);
    put32(records_, 0);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const Rgb c = i < image.colours.size() ? image.colours[i] : Rgb{};
        records_.insert(records_.end(), {c.b, c.g, c.r, 0});
    }
    for (int row = image.height - 1; row >= 0; --row) {
        const std::uint8_t* p = &image.indices[static_cast<std::size_t>(row) * image.width];
        records_.insert(records_.end(), p, p + image.width);
        records_.insert(records_.end(), rowBytes - static_cast<std::size_t>(image.width), 0);
    }
    ++recordCount_;
    recordedAt_ = false;
}

std::vector<std::uint8_t> EmfSurface::bytes() const {
    std::vector<std::uint8_t> out;
    const std::size_t total = kHeaderSize + records_.size() + 20;
    out.reserve(total);
    // 0.01 mm and millimetres of the picture at 96 dots per inch.
    const int frameW = static_cast<int>(width_ * 2540.0 / 96.0);
    const int frameH = static_cast<int>(height_ * 2540.0 / 96.0);
    put32(out, kHeader);
    put32(out, kHeaderSize);
    for (int v : {0, 0, width_ - 1, height_ - 1}) // bounds, pixels
        put32(out, s32(v));
    for (int v : {0, 0, frameW, frameH}) // frame, 0.01 mm
        put32(out, s32(v));
    put32(out, 0x464D4520); // " EMF"
    put32(out, 0x00010000);
    put32(out, static_cast<std::uint32_t>(total));
    put32(out, recordCount_ + 2);
    put16(out, static_cast<std::uint16_t>(pens_.size() + 1));
    put16(out, 0);
    put32(out, 0); // no description
    put32(out, 0);
    put32(out, 0); // no palette
    put32(out, s32(width_));
    put32(out, s32(height_));
    put32(out, s32(std::max(1, frameW / 100)));
    put32(out, s32(std::max(1, frameH / 100)));
    put32(out, 0); // no pixel format
    put32(out, 0);
    put32(out, 0);
    put32(out, s32(frameW * 10)); // micrometres
    put32(out, s32(frameH * 10));
    out.insert(out.end(), records_.begin(), records_.end());
    put32(out, kEof);
    put32(out, 20);
    put32(out, 0);
    put32(out, 16);
    put32(out, 20);
    return out;
}

bool writeFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    return platform::replaceFileContents(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
