#include "ui/core/dib.h"

#include <cstring>

#include "display/raster/bitmap_holder.h"

namespace {

std::uint32_t get32(const DibBlock& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t get16(const DibBlock& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
void put32(DibBlock& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(DibBlock& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Header fields without the size checks of dibValid.
struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0, height = 0;
    int bits = 0, compression = 0, colorsUsed = 0;
};

std::optional<Header> readHeader(const DibBlock& b) {
    if (b.size() < 4) return std::nullopt;
    Header h;
    h.size = get32(b, 0);
    if (h.size == kCoreHeaderSize && b.size() >= kCoreHeaderSize) {
        h.width = get16(b, 4);
        h.height = get16(b, 6);
        h.bits = get16(b, 10);
        return h;
    }
    if (h.size < kDibHeaderSize || b.size() < h.size) return std::nullopt;
    h.width = static_cast<std::int32_t>(get32(b, 4));
    h.height = static_cast<std::int32_t>(get32(b, 8));
    h.bits = get16(b, 14);
    h.compression = static_cast<int>(get32(b, 16));
    const std::uint32_t used = get32(b, 32);
    h.colorsUsed = used > 256 ? -1 : static_cast<int>(used);
    return h;
}

int numColors(const Header& h) {
    if (h.size >= kDibHeaderSize && h.colorsUsed != 0) return h.colorsUsed;
    switch (h.bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

} // namespace

void BuildPalette(int index, ColourTable& t) {
    // The palettes of the rendered image, so both bitmaps colour an index alike.
    static_assert(int{kPaletteGrey} == int{kImagePaletteGrey} &&
                  int{kPaletteSpectrum} == int{kImagePaletteSpectrum});
    if (index < kPaletteGrey || index > kPaletteSpectrum) return;
    std::uint8_t rgb[256][3];
    buildImagePalette(index, rgb);
    for (std::size_t k = 0; k < 256; ++k)
        t[k] = {rgb[k][0], rgb[k][1], rgb[k][2]};
}

std::size_t dibRowBytes(int width, int bits) {
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
}

static DibBlock makeDib(int width, int height, int bits, int colours) {
    if (width < 1 || height < 1 || width > kDibMaxSide || height > kDibMaxSide) return {};
    const std::size_t rows = dibRowBytes(width, bits) * static_cast<std::size_t>(height);
    DibBlock b(kDibHeaderSize + static_cast<std::size_t>(colours) * 4 + rows, 0);
    put32(b, 0, kDibHeaderSize);
    put32(b, 4, static_cast<std::uint32_t>(width));
    put32(b, 8, static_cast<std::uint32_t>(height));
    put16(b, 12, 1);
    put16(b, 14, static_cast<std::uint16_t>(bits));
    put32(b, 32, static_cast<std::uint32_t>(colours));
    return b;
}

DibBlock makeIndexedDib(int width, int height, const ColourTable& table) {
    DibBlock b = makeDib(width, height, 8, 256);
    if (b.empty()) return b;
    for (std::size_t k = 0; k < 256; ++k) {
        b[kDibHeaderSize + 4 * k] = table[k].blue;
        b[kDibHeaderSize + 4 * k + 1] = table[k].green;
        b[kDibHeaderSize + 4 * k + 2] = table[k].red;
    }
    return b;
}

DibBlock makeRgbDib(int width, int height, const std::uint8_t* rgb) {
    DibBlock b = makeDib(width, height, 24, 0);
    if (b.empty()) return b;
    const std::size_t stride = dibRowBytes(width, 24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &b[kDibHeaderSize + stride * static_cast<std::size_t>(height - 1 - y)];
        const std::uint8_t* src = rgb + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x];
        }
    }
    return b;
}

bool dibValid(const DibBlock& dib) {
    auto h = readHeader(dib);
    if (!h || h->compression != 0 || h->colorsUsed < 0) return false;
    if (h->width < 1 || h->height < 1 || h->width > kDibMaxSide || h->height > kDibMaxSide)
        return false;
    if (h->bits != 1 && h->bits != 4 && h->bits != 8 && h->bits != 24 && h->bits != 32)
        return false;
    const std::size_t entry = h->size == kCoreHeaderSize ? 3 : 4;
    const std::size_t need = h->size + static_cast<std::size_t>(numColors(*h)) * entry +
                             dibRowBytes(static_cast<int>(h->width), h->bits) *
                                 static_cast<std::size_t>(h->height);
    return dib.size() >= need;
}

int DibWidth(const DibBlock& dib) {
    return dibValid(dib) ? static_cast<int>(readHeader(dib)->width) : 0;
}
int DibHeight(const DibBlock& dib) {
    return dibValid(dib) ? static_cast<int>(readHeader(dib)->height) : 0;
}
int DibBitCount(const DibBlock& dib) {
    return dibValid(dib) ? readHeader(dib)->bits : 0;
}
int DibNumColors(const DibBlock& dib) {
    return dibValid(dib) ? numColors(*readHeader(dib)) : 0;
}
int PaletteSize(const DibBlock& dib) {
    if (!dibValid(dib)) return 0;
    auto h = readHeader(dib);
    return numColors(*h) * (h->size == kCoreHeaderSize ? 3 : 4);
}
std::size_t FindDibBits(const DibBlock& dib) {
    if (!dibValid(dib)) return 0;
    return readHeader(dib)->size + static_cast<std::size_t>(PaletteSize(dib));
}

std::vector<DibColour> dibColourTable(const DibBlock& dib) {
    std::vector<DibColour> out;
    if (!dibValid(dib)) return out;
    auto h = readHeader(dib);
    const std::size_t entry = h->size == kCoreHeaderSize ? 3 : 4;
    for (int k = 0; k < numColors(*h); ++k) {
        const std::size_t at = h->size + entry * static_cast<std::size_t>(k);
        out.push_back({dib[at + 2], dib[at + 1], dib[at]});
    }
    return out;
}

DibBlock CopyDibHandle(const DibBlock& dib) {
    return dib;
}

int dibIndexAt(const DibBlock& dib, int x, int y) {
    if (DibBitCount(dib) != 8) return 0;
    const int w = DibWidth(dib), h = DibHeight(dib);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return dib[FindDibBits(dib) + dibRowBytes(w, 8) * static_cast<std::size_t>(h - 1 - y) +
               static_cast<std::size_t>(x)];
}

void setDibIndex(DibBlock& dib, int x, int y, int index) {
    if (DibBitCount(dib) != 8) return;
    const int w = DibWidth(dib), h = DibHeight(dib);
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    dib[FindDibBits(dib) + dibRowBytes(w, 8) * static_cast<std::size_t>(h - 1 - y) +
        static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(index);
}

BitmapState& bitmapState() {
    static BitmapState s;
    return s;
}

void resetBitmapState() {
    bitmapState() = BitmapState{};
}

namespace {
DibBlock paletteBar(int width, int height) {
    ColourTable table{};
    BuildPalette(bitmapState().paletteIndex, table);
    DibBlock b = makeIndexedDib(width, height, table);
    for (int y = 0; y < height && !b.empty(); ++y)
        for (int x = 0; x < width; ++x)
            setDibIndex(b, x, y, x % 256);
    return b;
}
} // namespace

void MakePaletteBarDib(int width, int height) {
    bitmapState().image.paletteBarDib = paletteBar(width, height);
}

void MakePaletteDib(int width, int height) {
    auto& s = bitmapState();
    s.image.currentDib = paletteBar(width, height);
    s.dibPalette.clear();
    s.dibHandle = s.image.currentDib;
    InitDibInfo();
}

int MakeObjectDib(const std::string& partName) {
    auto& s = bitmapState();
    if (!s.radiometer) return 0;
    auto bins = s.radiometer(partName);
    if (!bins || !bins->scaled) return 0;
    MakePaletteBarDib(256, 4);
    s.image.currentDib.clear();
    s.dibHandle.clear();
    s.dibPalette.clear();
    ColourTable table{};
    BuildPalette(s.paletteIndex, table);
    DibBlock b = makeIndexedDib(bins->nx, bins->ny, table);
    for (int i = 0; i < bins->ny && !b.empty(); ++i)
        for (int j = 0; j < bins->nx; ++j) {
            double v = bins->scaled(j, i);
            if (!(v >= 0)) v = 0;
            if (v > 255) v = 255;
            // Row 0 of the radiometer is the bottom row of the picture.
            setDibIndex(b, j, bins->ny - 1 - i, static_cast<int>(v));
        }
    s.image.imageMaximum = bins->maximum;
    s.image.imageMinimum = bins->minimum;
    s.image.currentDib = b;
    s.dibHandle = std::move(b);
    InitDibInfo();
    return 1;
}

void InitDibInfo() {
    auto& s = bitmapState();
    s.dibPalette.clear();
    if (s.dibHandle.empty()) return;
    if (!dibValid(s.dibHandle)) {
        s.dibHandle.clear();
        if (s.infoBox) s.infoBox("DIB is too large");
        return;
    }
    s.dibWidth = DibWidth(s.dibHandle);
    s.dibHeight = DibHeight(s.dibHandle);
    s.dibPalette = dibColourTable(s.dibHandle);
}

void ReplaceDib(DibBlock dib) {
    bitmapState().dibHandle = std::move(dib);
}
