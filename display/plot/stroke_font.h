// The stroke font: 94 glyphs ("!" to "~") drawn as pen strokes on a small grid, used for text
// in display and HPGL files, in metafiles, and (at one pixel per font unit) as the screen font
// of the headless surfaces.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "display/raster/draw_surface.h"

// One glyph: half-width w (0 to 4), height (1 to 8, in units of two), unused, index of its first
// stroke word.
struct StrokeGlyphEntry {
    std::int32_t halfWidth;
    std::int32_t height;
    std::int32_t unused;
    std::int32_t firstWord;
};

struct StrokeFont {
    int blankHalfAdvance; // half the advance of a blank or an unknown character
    int cellHeight;
    int firstChar;
    int lastChar;
    const std::uint32_t* words;
    const StrokeGlyphEntry* glyphs;
};

// Stroke word layout: bits 8-14 x, bits 0-6 y (each decoded as v * 2 - 128), bit 7 pen down,
// bit 15 last word of the glyph.
inline constexpr std::uint32_t kStrokePenDown = 0x80;
inline constexpr std::uint32_t kStrokeLastWord = 0x8000;

struct StrokePoint {
    int x;
    int y;
    bool penDown;
    bool last;
};

constexpr StrokePoint decodeStrokeWord(std::uint32_t word) {
    return {static_cast<int>((word >> 8) & 0x7F) * 2 - 128, static_cast<int>(word & 0x7F) * 2 - 128,
            (word & kStrokePenDown) != 0, (word & kStrokeLastWord) != 0};
}

constexpr std::uint32_t encodeStrokeWord(int x, int y, bool penDown, bool last) {
    return (static_cast<std::uint32_t>((x + 128) / 2) << 8) |
           static_cast<std::uint32_t>((y + 128) / 2) | (penDown ? kStrokePenDown : 0u) |
           (last ? kStrokeLastWord : 0u);
}

// The font compiled into the program.
extern const StrokeFont strokeFont;
// Number of stroke words in the font.
int strokeFontWordCount();

// The glyph of a character, or nullptr for a blank or a character the font lacks.
const StrokeGlyphEntry* findStrokeGlyph(const StrokeFont& font, unsigned char c);

// Screen-text metrics of the headless surfaces: one pixel per font unit, a cell 16 pixels high
// with the base line 12 pixels below its top.
inline constexpr int kDeviceTextHeight = 16;
int deviceCharAdvance(unsigned char c);
TextExtent deviceTextExtent(std::string_view text);
// Calls segment(x0, y0, x1, y1) in device pixels for every stroke of the text placed with its
// top left corner at (x, y). Both end pixels of a stroke belong to it. Wide coordinates, so that
// text placed at the edge of the int range cannot overflow.
using DeviceStroke = std::function<void(std::int64_t, std::int64_t, std::int64_t, std::int64_t)>;
void forEachDeviceStroke(std::string_view text, std::int64_t x, std::int64_t y,
                         const DeviceStroke& segment);
