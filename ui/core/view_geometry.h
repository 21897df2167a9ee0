// The view's arithmetic, free of any window: drags to angles, angle normalising, grid snapping
// and the first grid increment, client points to model points, the workbox texts of a box drag,
// the progress text, the printed page layout with its header, and bounded command formatting.
#pragma once

#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/view_state.h"

// Brings the azimuth into -180..180 (by whole turns, no loop) and the elevation into -90..90.
void normalizeAngles(double& azimuth, double& elevation);
// An AzEl drag of (dx, dy) pixels on a client of width x height; false (nothing changed) on a
// client without width or height.
bool applyAzElDrag(double& azimuth, double& elevation, int dx, int dy, int width, int height);

// Rounds c to the nearest multiple of the increment, halves away from zero; an increment not
// above 0 leaves c as it is, and 0 stays 0.
double snapCoordinate(double c, double increment);
// The first snap increment for w = (sum of the workbox half sizes) x 2/3: the decade of w,
// divided by 10 when w / increment < 5; 1 for a w that is not positive and finite.
double firstGridIncrement(double w);

// Which pane of the four views a client point lies in.
enum class Pane { None, X, Y, Z, ThreeD };
// The pane of (px, py) split at the pane centre (cx, cy).
Pane paneOfPoint(double px, double py, double cx, double cy);
// Maps a client point (y from the bottom) into the model through the pane mappings of the last
// paint; coordinates the view does not map keep their values (out is updated in place). Uses
// the view modes and the screen range of the plot state. False when nothing was mapped.
bool ClientToModel(int px, int py, double out[3]);

// The workbox lines of a box drag between model corners a and b: one per axis whose half size
// is not 0 ("set/workbox xs=%14.9lg xc=%14.9lg" and the y and z forms).
std::vector<std::string> workboxTexts(const double a[3], const double b[3]);

// "%2d %% Complete       " for the fraction, "Escaped                    " when negative.
std::string progressText(double fraction);

// The printed picture: the page area (95 percent of the printable page in device pixels, the
// height from the screen's aspect for a solid image) and its top-left corner on the page (2.5
// percent of the area's own width and height from the printable page's top-left).
struct PageLayout {
    int width = 0, height = 0;
    int left = 0, top = 0;
};
PageLayout pageLayout(int pageWidth, int pageHeight, bool solidImage, double printAspect);
// The header printed above the picture: the local time "%I:%M%p %a, %b %d, %Y " (C locale) and
// the document title, joined by a blank.
std::string printHeader(const std::tm& localTime, const std::string& title);
// True when the page must use the black-on-white table: monochrome off, fewer than 8 colours.
bool useMonochromeTable(bool monochromeSetting, int printerColours);

// printf-style formatting into a command text; nullopt when the text would be longer than the
// reader takes (250 characters), so a cut text never runs as another command.
std::optional<std::string> boundedCommandText(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
