// Colour look-up table of the drawing layer: colour index to pen number.
#pragma once

int colorLut(int index);
