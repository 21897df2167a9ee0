// The colour look-up tables: each turns the 16 colour indices of the drawing primitives into
// the pen numbers actually drawn. The colour-mapped table can be edited and kept in colors.opt.
#pragma once

#include "command/messages/messages.h"

inline constexpr int kColorCount = 16;
inline constexpr const char* kColorMapFile = "colors.opt";

enum ColorTableType { kColorMapped = 0, kBlackOnWhite = 1, kWhiteOnBlack = 2 };

struct ColorTableState {
    unsigned char mapped[kColorCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    int current = kColorMapped;
};
ColorTableState& colorTableState();
void resetColorTableState();

// The pen number of a colour index in the current table (an index outside 0..15 is clamped).
int colorLut(int index);

// 1 black on white, 2 white on black, any other value the colour-mapped table.
void selectColorTable(int type);
// Sets the colour-mapped entry at index to value; refuses (0, with its message, nothing
// changed) an index or value outside 0..15.
int setColorMapEntry(int value, int index);
// The identity map.
void resetColorMap();
// Writes the 16 entries of the colour-mapped table to colors.opt; 0 when it cannot be written.
int saveColorMap();
// Reads colors.opt into the colour-mapped table and selects it. The first 16 lines must each
// hold a whole number 0..15; otherwise 0 and nothing changes.
int loadColorMap();
// Prints the current table.
void listColorTable(OutputChannel channel = outputChannel);
