// The rendered image: the shaded or solid picture as an 8-bit device-independent bitmap in
// memory (a 40-byte header, a 256-entry colour table of blue, green, red, 0, then the pixel rows
// bottom row first, each padded to a multiple of 4 bytes), with the palettes it is built with.
// The shaded and solid renderers draw into it and the console view paints it; the window's
// shared image record (ui/core/dib.h) takes the same block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/raster/draw_surface.h"

inline constexpr int kImageHeaderBytes = 40;
inline constexpr int kImagePaletteBytes = 1024;

enum ImagePalette : int {
    kImagePaletteGrey = 0,
    kImagePaletteRed,
    kImagePaletteGreen,
    kImagePaletteBlue,
    kImagePaletteSpectrum
};

struct BitmapHolderState {
    std::vector<std::uint8_t> imageDib; // empty: no image
    int imagePaletteIndex = kImagePaletteGrey; // palette of new images
    // 0 wireframe only, 1 the image only, 2 the image with the wireframe over it.
    int solidMode = 0;
};

BitmapHolderState& bitmapHolderState();
// Frees the image and restores the start values.
void resetBitmapHolder();

inline std::vector<std::uint8_t>& imageDib = bitmapHolderState().imageDib;
inline int& imagePaletteIndex = bitmapHolderState().imagePaletteIndex;
inline int& solidMode = bitmapHolderState().solidMode;

// Bytes between two pixel rows of an 8-bit bitmap nx pixels wide.
constexpr std::size_t imageStride(int nx) {
    return (static_cast<std::size_t>(nx) + 3u) & ~static_cast<std::size_t>(3u);
}

// Fills a 256-entry table (red, green, blue per entry) by palette 0-4; any other index leaves it.
void buildImagePalette(int index, std::uint8_t table[256][3]);
// Replaces the image by a zero-filled nx x ny bitmap with the current palette; false (and no
// image) when nx or ny is below 1 or the memory cannot be had.
bool makeImageDib(int nx, int ny);

// Reading a bitmap block (false/0 for a block too short to hold its header).
int imageWidth(const std::vector<std::uint8_t>& dib);
int imageHeight(const std::vector<std::uint8_t>& dib);
int imageColourCount(const std::vector<std::uint8_t>& dib);
int imagePaletteBytes(const std::vector<std::uint8_t>& dib);
// Offset of the pixel rows: header size + colour table size.
std::size_t imageBitsOffset(const std::vector<std::uint8_t>& dib);
// The palette entry (red, green, blue) of pixel (x, y), y counted from the top; false outside.
bool imagePixel(const std::vector<std::uint8_t>& dib, int x, int y, std::uint8_t rgb[3]);
// The bitmap as an image with its colour table, rows top first; an invalid image for a block
// that is not an 8-bit bitmap with 256 colours whose rows it holds.
IndexedImage indexedImageOfImage(const std::vector<std::uint8_t>& dib);
// Paints the bitmap over the whole surface, stretched (nearest pixel) by the surface's paintDib.
// False without an image.
bool paintImage(DrawSurface& surface, const std::vector<std::uint8_t>& dib);
