// Two-dimensional plot primitives in world coordinates. Every primitive feeds up to three
// outputs at once: the drawing surface, the display file (one text record per primitive) and
// the HPGL plot file.
#pragma once

#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "display/plot/stroke_font.h"
#include "display/raster/draw_surface.h"
#include "platform/safe_file.h"

class ViewHost;

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
};

// A rectangle as two ordered pairs: x1 <= x2, y1 <= y2.
struct PlotRange {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
};

struct PlotState {
    PlotRange screenRange{0.0, 799.0, 0.0, 599.0}; // device range, pixels, y upward
    PlotRange window{0.0, 1200.0, 0.0, 800.0};     // world window
    PlotRange viewport{0.0, 799.0, 0.0, 599.0};    // part of the screen range showing the window
    PlotPoint viewportHalf{399.5, 299.5};
    PlotPoint scale{1.0, 1.0}; // device units per world unit
    PlotPoint bias{0.0, 0.0};  // device = world * scale + bias
    PlotPoint screenCursor;    // device units, unclipped
    PlotPoint currentPoint{std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::quiet_NaN()}; // world units; NaN: none
    int currentColour = 15;                                           // pen number now selected
    int currentColourIndex = 15; // the colour index that selected it
    DrawSurface* drawingSurface = nullptr;
    ViewHost* drawingWindow = nullptr;
    int bottomPixel = 599;            // device y is flipped against it for the surface
    double textHeightDivisor = 280.0; // the stroke-font unit is the window height over this

    // The display file and the HPGL plot are written under temporary names and put in place
    // whole when their repaint ends; displayFile and hpglFile are their streams meanwhile.
    int displayFileOpen = 0;
    std::FILE* displayFile = nullptr;
    std::string displayFileName;
    std::unique_ptr<platform::ReplacementFile> displayOutput;
    std::FILE* hpglFile = nullptr;
    std::string hpglFileName;
    std::unique_ptr<platform::ReplacementFile> hpglOutput;
    int hpglFailed = 0; // the last HPGL plot could not be written (said)

    // The colour look-up table in force: colour index to pen number.
    int (*colourLookUp)(int index) = nullptr;
};

PlotState& plotState();
// Drops any open display or HPGL file without a message (an old file of its name stays) and
// restores the start values.
void resetPlotState();

// A double truncated toward zero into int range; not-a-number gives 0.
int truncateToInt(double v);

void setWindow(double x1, double x2, double y1, double y2);
void setScreenRange(double x1, double x2, double y1, double y2);
void setViewport(double x1, double x2, double y1, double y2);
// Selects the pen of a colour index through the colour look-up table.
void setPenColor(int index);
void beginPage();
void endPage();
void endPlot();
void moveAbs(double x, double y);
void lineAbs(double x, double y);
void drawCross(double x, double y);
// Text at the current point: stroked when a file or a metafile receives the picture, otherwise
// in the surface's own font.
void plotText(std::string_view text);

// Clips the device segment p-q to the viewport in place; true when a piece remains.
bool clipToViewport(PlotPoint& p, PlotPoint& q);
// One device segment on the drawing surface (y flipped against bottomPixel).
void screenLine(PlotPoint p, PlotPoint q, int pen);
// Text in the surface's own font, centred on x by its average character width, bottom at y.
void drawScreenText(int pen, std::string_view text, double x, double y);

// Draws one glyph at world (x, y) through moveAbs/lineAbs; returns its advance in font units.
int strokeGlyph(char c, double x, double y, const StrokeFont& font, double size);
void strokeText(const StrokeFont& font, double spacing, double size, std::string_view text,
                double x, double y);

// Starts drawing into a view window or a printer page: current colour 15 (no record), the
// current point forgotten, the text divisor 280, the screen range of the surface, the window
// 0..1200 x 0..800 and the settings' `aspect` from the surface.
void beginViewDraw(ViewHost& window, DrawSurface& surface);
