// What the system view draws besides the objects and rays: the workbox outline, grid ticks and
// the grid label, the axis triad, and the dimension box that frames 2-D plots.
#pragma once

#include <string>

#include "engine/math/vector_math.h"

struct AnnotationState {
    unsigned char gridOn = 0; // grids are drawn in this repaint
};
AnnotationState& annotationState();
void resetAnnotationState();

inline unsigned char& gridOn = annotationState().gridOn;

// An axis of the grid that would need more ticks than this is left out.
inline constexpr long kMaxGridTicks = 10000;

// The twelve edges of the box centre +- halfSizes in colour 1; the previous colour is restored.
void drawWorkboxOutline(const Vec3& centre, const Vec3& halfSizes);
// Grid ticks along the workbox edges of plane 0 (y and z), 1 (x and z) or 2 (x and y), when
// gridOn is set.
void drawGrid(int plane);
// "GRID = <increment> <unit>" at the current point, when gridOn is set.
void drawGridLabel(double increment);
// Brings the grid increment into 5..50 steps of the workbox's z half size.
void resetGridIncrement();
// Cuts the trailing zeros of a "%f" number but one: 1.500000 -> 1.50, 2.000000 -> 2.0.
std::string trimTrailingZeros(const std::string& text);
// Axes of length `size` in the lower-left fifth of the viewport, labelled where the flag is 1.
void drawAxisTriad(double size, int labelX, int labelY, int labelZ);
// Dimension lines above and to the left of the 2-D box, with its width and height.
void drawDimensionBox(double x1, double x2, double y1, double y2);
// The rectangle of the plot window in colour 15, just inside its edges, when the plot frame is
// on (viewFrame).
void drawPlotFrame();
