// Device-independent bitmaps as the shell keeps them: one block holding a 40-byte header, a
// colour table and bottom-up pixel rows padded to 4 bytes. The header helpers check every size
// against the block, so a block from outside is never trusted. Also the palettes, the shared
// image record and the document's held bitmap.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// An empty block is the null handle.
using DibBlock = std::vector<std::uint8_t>;

struct DibColour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const DibColour&) const = default;
};
using ColourTable = std::array<DibColour, 256>;

inline constexpr int kDibHeaderSize = 40;
inline constexpr int kCoreHeaderSize = 12;
inline constexpr int kDibMaxSide = 32767;

enum PaletteIndex : int { kPaletteGrey, kPaletteRed, kPaletteGreen, kPaletteBlue, kPaletteSpectrum };

// Fills the table for a palette 0..4; any other index leaves it untouched.
void BuildPalette(int paletteIndex, ColourTable& table);

// Bytes per stored row of a bitmap `width` pixels wide at `bits` per pixel.
std::size_t dibRowBytes(int width, int bits);
// A zero-filled 8-bit bitmap with the colour table; empty when a side is outside 1..32767.
DibBlock makeIndexedDib(int width, int height, const ColourTable& table);
// A 24-bit bitmap without colour table from rows of RGB triples, top row first.
DibBlock makeRgbDib(int width, int height, const std::uint8_t* rgbTopDown);

// The header helpers. Each returns 0 (or false) for a block whose header or sizes do not fit.
bool dibValid(const DibBlock& dib);
int DibWidth(const DibBlock& dib);
int DibHeight(const DibBlock& dib);
int DibBitCount(const DibBlock& dib);
int DibNumColors(const DibBlock& dib);
int PaletteSize(const DibBlock& dib);
// Offset of the pixel rows in the block.
std::size_t FindDibBits(const DibBlock& dib);
// The colour table (entries beyond the block are black); empty without one.
std::vector<DibColour> dibColourTable(const DibBlock& dib);
// A copy of the block (the clipboard's and the mask's copies).
DibBlock CopyDibHandle(const DibBlock& dib);
// The colour index of pixel (x, y), y counted from the top; 8-bit bitmaps only.
int dibIndexAt(const DibBlock& dib, int x, int y);
void setDibIndex(DibBlock& dib, int x, int y, int index);

// The shared image record.
struct ImageRecord {
    DibBlock currentDib;
    DibBlock paletteBarDib;
    DibBlock maskDib;
    double imageMaximum = 0;
    double imageMinimum = 0;
};

// The bins of a radiometer as the intensity bitmap needs them.
struct IntensityBins {
    int nx = 0, ny = 0;
    std::function<double(int column, int row)> scaled; // 0 .. 255.99999
    double maximum = 0, minimum = 0;
};
// The radiometer of the part of that name, when it carries one.
using RadiometerSource = std::function<std::optional<IntensityBins>(const std::string& part)>;
// The bins of the radiometer attached to the part of that name in the part list
// (ui/core/selected_radiometer.cpp).
std::optional<IntensityBins> partRadiometerBins(const std::string& part);

struct BitmapState {
    int paletteIndex = kPaletteGrey;
    ImageRecord image;
    // The document's held bitmap.
    DibBlock dibHandle;
    std::vector<DibColour> dibPalette; // empty: no palette
    int dibWidth = 1, dibHeight = 1;
    RadiometerSource radiometer = partRadiometerBins; // tests may put their own
    // Shows the box of the bitmap layer ("DIB is too large").
    std::function<void(const std::string&)> infoBox;
};
BitmapState& bitmapState();
void resetBitmapState();

// The colour bar of the current palette, every row 0, 1, 2, ... (column modulo 256).
void MakePaletteBarDib(int width, int height);
// The colour bar as the document's bitmap and the current image.
void MakePaletteDib(int width, int height);
// The intensity bitmap of the selected part's radiometer; 1 when one was built.
int MakeObjectDib(const std::string& partName);
// Reads size and palette of the held bitmap; a side outside 1..32767 drops it with a box.
void InitDibInfo();
void ReplaceDib(DibBlock dib);
