#include "display/raster/bitmap_holder.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = v << 8 | b[at + k];
    return v;
}
std::uint16_t get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

} // namespace

BitmapHolderState& bitmapHolderState() {
    static BitmapHolderState s;
    return s;
}

void resetBitmapHolder() {
    bitmapHolderState() = BitmapHolderState{};
}

void buildImagePalette(int index, std::uint8_t table[256][3]) {
    if (index < kImagePaletteGrey || index > kImagePaletteSpectrum) return;
    for (int k = 0; k < 256; ++k) {
        int r = 0, g = 0, b = 0;
        switch (index) {
        case kImagePaletteGrey: r = g = b = k; break;
        case kImagePaletteRed: r = k; break;
        case kImagePaletteGreen: g = k; break;
        case kImagePaletteBlue: b = k; break;
        default:
            if (k < 128) {
                r = 255 - 2 * k;
                g = 2 * k;
            } else {
                g = 511 - 2 * k;
                b = 2 * k - 255;
            }
        }
        table[k][0] = static_cast<std::uint8_t>(r);
        table[k][1] = static_cast<std::uint8_t>(g);
        table[k][2] = static_cast<std::uint8_t>(b);
    }
}

bool makeImageDib(int nx, int ny) {
    std::vector<std::uint8_t>& dib = imageDib;
    dib.clear();
    dib.shrink_to_fit();
    if (nx < 1 || ny < 1) return false;
    const std::size_t size =
        kImageHeaderBytes + kImagePaletteBytes + imageStride(nx) * static_cast<std::size_t>(ny);
    try {
        dib.assign(size, 0);
    } catch (const std::bad_alloc&) {
        dib.clear();
        return false;
    }
    put32(dib, 0, kImageHeaderBytes);
    put32(dib, 4, static_cast<std::uint32_t>(nx));
    put32(dib, 8, static_cast<std::uint32_t>(ny));
    put16(dib, 12, 1); // planes
    put16(dib, 14, 8); // bits per pixel
    // compression 0, image size 0, resolutions 0
    put32(dib, 32, 256); // colours used
    std::uint8_t table[256][3] = {};
    buildImagePalette(kImagePaletteGrey, table);
    buildImagePalette(imagePaletteIndex, table);
    for (int k = 0; k < 256; ++k) {
        std::uint8_t* e = &dib[kImageHeaderBytes + 4 * static_cast<std::size_t>(k)];
        e[0] = table[k][2];
        e[1] = table[k][1];
        e[2] = table[k][0];
        e[3] = 0;
    }
    return true;
}

int imageWidth(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < 12) return 0;
    return get32(dib, 0) == kImageHeaderBytes && dib.size() >= kImageHeaderBytes
               ? static_cast<int>(get32(dib, 4))
               : get16(dib, 4);
}

int imageHeight(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < 12) return 0;
    return get32(dib, 0) == kImageHeaderBytes && dib.size() >= kImageHeaderBytes
               ? static_cast<int>(get32(dib, 8))
               : get16(dib, 6);
}

int imageColourCount(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < 12) return 0;
    const bool info = get32(dib, 0) == kImageHeaderBytes && dib.size() >= kImageHeaderBytes;
    if (info && get32(dib, 32) != 0) return static_cast<int>(get32(dib, 32));
    const int bits = info ? get16(dib, 14) : get16(dib, 10);
    return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
}

int imagePaletteBytes(const std::vector<std::uint8_t>& dib) {
    const bool info = dib.size() >= kImageHeaderBytes && get32(dib, 0) == kImageHeaderBytes;
    return imageColourCount(dib) * (info ? 4 : 3);
}

std::size_t imageBitsOffset(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < 4) return 0;
    return get32(dib, 0) + static_cast<std::size_t>(imagePaletteBytes(dib));
}

bool imagePixel(const std::vector<std::uint8_t>& dib, int x, int y, std::uint8_t rgb[3]) {
    const int w = imageWidth(dib), h = imageHeight(dib);
    if (x < 0 || y < 0 || x >= w || y >= h || imageColourCount(dib) != 256) return false;
    if (get32(dib, 0) != kImageHeaderBytes) return false;
    const std::size_t at = imageBitsOffset(dib) + imageStride(w) * static_cast<std::size_t>(h - 1 - y) +
                           static_cast<std::size_t>(x);
    if (at >= dib.size()) return false;
    const std::uint8_t* e = &dib[kImageHeaderBytes + 4 * static_cast<std::size_t>(dib[at])];
    rgb[0] = e[2];
    rgb[1] = e[1];
    rgb[2] = e[0];
    return true;
}

IndexedImage indexedImageOfImage(const std::vector<std::uint8_t>& dib) {
    IndexedImage out;
    const int w = imageWidth(dib), h = imageHeight(dib);
    if (w < 1 || h < 1 || dib.size() < kImageHeaderBytes + kImagePaletteBytes ||
        get32(dib, 0) != kImageHeaderBytes || imageColourCount(dib) != 256)
        return out;
    const std::size_t bits = imageBitsOffset(dib), stride = imageStride(w);
    if (bits + stride * static_cast<std::size_t>(h) > dib.size()) return out;
    out.width = w;
    out.height = h;
    out.indices.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = &dib[bits + stride * static_cast<std::size_t>(h - 1 - y)];
        std::copy(row, row + w, out.indices.begin() + static_cast<std::ptrdiff_t>(y) * w);
    }
    out.colours.reserve(256);
    for (std::size_t k = 0; k < 256; ++k) {
        const std::uint8_t* e = &dib[kImageHeaderBytes + 4 * k];
        out.colours.push_back({e[2], e[1], e[0]});
    }
    return out;
}

bool paintImage(DrawSurface& surface, const std::vector<std::uint8_t>& dib) {
    const int sw = surface.width(), sh = surface.height();
    if (sw < 1 || sh < 1) return false;
    const IndexedImage image = indexedImageOfImage(dib);
    if (!image.valid()) return false;
    // Through the surface's own stretch, so the view, a printed page and a metafile show it too.
    surface.paintDib(image, 0, 0, sw, sh);
    return true;
}
