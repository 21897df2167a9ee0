#include "display/analysis/energy_plot.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "command/messages/messages.h"
#include "display/plot/plot_primitives.h"
#include "display/views/annotations.h"

namespace {

void textAt(double x, double y, const std::string& text) {
    moveAbs(x, y);
    plotText(text);
}

} // namespace

double centredTextX(const char* text) {
    const int n = text ? static_cast<int>(strnlen(text, 80)) : 0;
    return static_cast<double>((60 - n) / 2) / 60.0;
}

int energyPlot() {
    const FilmPlaneState& s = filmPlaneState();
    if (s.cells.empty()) {
        errorText(outputChannel,
                  "Use energy command to first evaluate a detector, then use VIEW/ENERGY.\n");
        return 0;
    }
    const char* yTitle = percentMode() ? "% ENERGY" : "ENERGY";
    const char* title =
        storeNormalised() ? "FILM PLANE ENERGY DENSITY" : "FILM PLANE ENERGY DISTRIBUTION";
    arrayPlot(s.cells.data(), static_cast<int>(s.cells.size()), s.xLow, s.xHigh,
              s.filmAxisTitle.c_str(), yTitle, title, 1);
    return 1;
}

void arrayPlot(const FilmCell* cells, int count, double xLow, double xHigh, const char* xTitle,
               const char* yTitle, const char* title, int zeroBased) {
    if (!cells || count < 1) return;
    plotState().textHeightDivisor = 600.0;
    // The range of the cells that hold numbers; a cell that holds none is not drawn, and a
    // range beyond what the window can hold becomes the unit range, so that the frame, the
    // axes and the labels are always there.
    auto usable = [](double v) { return std::isfinite(v) && std::fabs(v) < 1e300; };
    double ymin = 0.0, ymax = 0.0;
    bool any = false;
    for (int k = 0; k < count; ++k) {
        const double v = cells[k].energy;
        if (!usable(v)) continue;
        ymin = any ? std::min(ymin, v) : v;
        ymax = any ? std::max(ymax, v) : v;
        any = true;
    }
    if (zeroBased) ymin = 0.0;
    if (ymax == ymin) {
        ymin -= 0.5;
        ymax += 0.5;
    }
    double dx = xHigh - xLow;
    if (!(dx != 0.0)) dx = 1.0; // a film without width still gets a window
    double dy = ymax - ymin;
    if (!usable(dy)) {
        ymin = 0.0;
        ymax = dy = 1.0;
    }
    setWindow(xLow - 0.15 * dx, xHigh + 0.05 * dx, ymin - 0.15 * dy, ymax + 0.1 * dy);
    drawPlotFrame();
    setPenColor(11);
    moveAbs(xLow, ymin);
    lineAbs(xHigh, ymin);
    moveAbs(xLow, ymin);
    lineAbs(xLow, ymax);
    setPenColor(9);
    bool drawing = false;
    for (int k = 0; k < count; ++k) {
        const double x = xLow + (k + 0.5) * (xHigh - xLow) / count;
        const double y = cells[k].energy;
        if (!usable(y)) {
            drawing = false;
            continue;
        }
        if (drawing)
            lineAbs(x, y);
        else
            moveAbs(x, y);
        drawing = true;
    }
    setWindow(0.0, 1.0, 0.0, 1.0);
    setPenColor(12);
    textAt(centredTextX(title), 0.95, title ? title : "");
    setPenColor(14);
    textAt(centredTextX(xTitle), 0.05, xTitle ? xTitle : "");
    textAt(0.02, 0.55, yTitle ? yTitle : "");
    setPenColor(11);
    textAt(0.1, 0.05, formatText("%6.4g", xLow));
    textAt(0.85, 0.05, formatText("%6.4g", xHigh));
    textAt(0.02, 0.15, formatText("%6.4g", ymin));
    textAt(0.02, 0.9, formatText("%6.4g", ymax));
}
