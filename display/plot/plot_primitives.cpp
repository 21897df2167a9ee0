#include "display/plot/plot_primitives.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "command/settings/color_tables.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/plot/c_format.h"
#include "display/views/view_host.h"

namespace {

constexpr std::size_t kScreenTextLimit = 160;
constexpr double kDefaultTextDivisor = 280.0;
// Clipping settles within a few passes; a segment that has not settled by then (only possible
// with rounding at the very edge) is dropped rather than looped over.
constexpr int kMaxClipPasses = 16;

void appendD(std::string& s, double v) {
    s += std::to_string(truncateToInt(v));
}

void writeLine(std::FILE* f, std::string& line) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), f);
}

bool displayFileOn() {
    const PlotState& s = plotState();
    return s.displayFileOpen && s.displayFile;
}

// The display-file record of a tag and numbers, each formatted by `append`.
void displayRecord(const char* tag, std::initializer_list<double> values,
                   void (*append)(std::string&, double)) {
    if (!displayFileOn()) return;
    std::string line = tag;
    for (double v : values) {
        line += ' ';
        append(line, v);
    }
    writeLine(plotState().displayFile, line);
}

void hpglRecord(std::string line) {
    if (std::FILE* f = plotState().hpglFile) writeLine(f, line);
}

std::string hpglMove(const char* pen, PlotPoint p) {
    std::string line = pen;
    line += ";PA ";
    appendF(line, p.x);
    line += ' ';
    appendF(line, p.y);
    line += ';';
    return line;
}

int lookUpPen(int index) {
    int (*table)(int) = plotState().colourLookUp ? plotState().colourLookUp : &colorLut;
    return clampPen(table(clampPen(index)));
}

PlotPoint toDevice(double x, double y) {
    const PlotState& s = plotState();
    return {x * s.scale.x + s.bias.x, y * s.scale.y + s.bias.y};
}

bool finitePoint(PlotPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

int outcode(PlotPoint p, const PlotRange& v) {
    int code = 0;
    if (p.x < v.x1) code |= 1;
    if (p.x > v.x2) code |= 2;
    if (p.y < v.y1) code |= 4;
    if (p.y > v.y2) code |= 8;
    return code;
}

// Moves a onto the edges named by its code, along the line towards b, in the order x low,
// x high, y low, y high, each on the point as already moved.
void moveOntoEdges(PlotPoint& a, PlotPoint b, int code, const PlotRange& v) {
    auto alongX = [&](double edge) {
        if (a.x == b.x) return;
        a.y = b.y + (edge - b.x) / (a.x - b.x) * (a.y - b.y);
        a.x = edge;
    };
    auto alongY = [&](double edge) {
        if (a.y == b.y) return;
        a.x = b.x + (edge - b.y) / (a.y - b.y) * (a.x - b.x);
        a.y = edge;
    };
    if (code & 1) alongX(v.x1);
    if (code & 2) alongX(v.x2);
    if (code & 4) alongY(v.y1);
    if (code & 8) alongY(v.y2);
}

} // namespace

PlotState& plotState() {
    static PlotState s;
    return s;
}

void resetPlotState() {
    plotState() = PlotState{};
}

int truncateToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

void setWindow(double x1, double x2, double y1, double y2) {
    displayRecord("w", {x1, x2, y1, y2}, appendG);
    PlotState& s = plotState();
    const PlotRange exact{std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
    // Widened a little for the mapping, so that a point on the window's edge still rounds into
    // the viewport.
    const double dx = 0.00001 * (exact.x2 - exact.x1), dy = 0.00001 * (exact.y2 - exact.y1);
    s.window = {exact.x1 - dx, exact.x2 + dx, exact.y1 - dy, exact.y2 + dy};
    setViewport(s.viewport.x1, s.viewport.x2, s.viewport.y1, s.viewport.y2);
    s.window = exact;
}

void setScreenRange(double x1, double x2, double y1, double y2) {
    displayRecord("s", {x1, x2, y1, y2}, appendD);
    if (!displayFileOn() && plotState().hpglFile) {
        std::string line = "SC";
        for (double v : {x1, x2, y1, y2}) {
            line += ' ';
            appendD(line, v);
        }
        hpglRecord(line + ";");
    }
    PlotState& s = plotState();
    s.screenRange = {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
    s.viewport = s.screenRange;
}

void setViewport(double x1, double x2, double y1, double y2) {
    displayRecord("v", {x1, x2, y1, y2}, appendD);
    PlotState& s = plotState();
    const PlotRange& sr = s.screenRange;
    s.viewport = {std::max(x1, sr.x1), std::min(x2, sr.x2), std::max(y1, sr.y1),
                  std::min(y2, sr.y2)};
    if (sr.x2 - sr.x1 == 0.0 || sr.y2 - sr.y1 == 0.0) infoBox("View surface size error.\n");
    double w = s.viewport.x2 - s.viewport.x1, h = s.viewport.y2 - s.viewport.y1;
    if (w == 0.0) w = 1.0;
    if (h == 0.0) h = 1.0;
    const PlotRange& win = s.window;
    double ww = win.x2 - win.x1, wh = win.y2 - win.y1;
    if (ww == 0.0 || wh == 0.0) {
        errorText(outputChannel, "Window size error. x1=%g x2=%f y1=%f y2=%f\n", win.x1, win.x2,
                  win.y1, win.y2);
        ww = wh = 1.0;
    }
    s.viewportHalf = {w / 2.0, h / 2.0};
    s.scale = {w / ww, h / wh};
    s.bias = {s.viewport.x1 - win.x1 * s.scale.x, s.viewport.y1 - win.y1 * s.scale.y};
}

void setPenColor(int index) {
    PlotState& s = plotState();
    int pen = lookUpPen(index);
    if (displayFileOn()) {
        displayRecord("c", {static_cast<double>(pen)}, appendD);
    } else if (s.hpglFile) {
        // On a black-on-white table everything is plotted with the plotter's first pen.
        if (lookUpPen(1) == 15) pen = 1;
        hpglRecord("SP " + std::to_string(pen) + ";");
    }
    if (s.drawingSurface) s.drawingSurface->selectPen(pen);
    s.currentColour = pen;
    s.currentColourIndex = clampPen(index);
}

void beginPage() {
    displayRecord("p", {}, appendD);
}

void endPage() {
    displayRecord("a", {}, appendD);
}

void endPlot() {
    displayRecord("d", {}, appendD);
    if (!displayFileOn()) hpglRecord("SP 0; IN;");
}

void moveAbs(double x, double y) {
    PlotState& s = plotState();
    if (x != s.currentPoint.x || y != s.currentPoint.y) displayRecord("ma", {x, y}, appendG);
    s.currentPoint = {x, y};
    s.screenCursor = toDevice(x, y);
}

void lineAbs(double x, double y) {
    PlotState& s = plotState();
    if (x != s.currentPoint.x || y != s.currentPoint.y) displayRecord("la", {x, y}, appendG);
    s.currentPoint = {x, y};
    PlotPoint p = s.screenCursor;
    const PlotPoint end = toDevice(x, y);
    PlotPoint q = end;
    if (clipToViewport(p, q)) {
        screenLine(p, q, s.currentColour);
        if (s.hpglFile) {
            hpglRecord(hpglMove("PU", p));
            hpglRecord(hpglMove("PD", q));
        }
    }
    s.screenCursor = end;
}

void drawCross(double x, double y) {
    const PlotRange& w = plotState().window;
    double d = 0.01 * (w.x2 - w.x1);
    moveAbs(x - d, y);
    lineAbs(x + d, y);
    moveAbs(x, y - d);
    lineAbs(x, y + d);
}

void plotText(std::string_view text) {
    PlotState& s = plotState();
    double divisor = s.textHeightDivisor;
    if (!(divisor > 0.0) || !std::isfinite(divisor)) divisor = kDefaultTextDivisor;
    double size = (s.window.y2 - s.window.y1) / divisor;
    bool metafile = s.drawingSurface && s.drawingSurface->metafileOutput();
    if (displayFileOn() || s.hpglFile || metafile) {
        double x = (s.screenCursor.x - s.bias.x) / s.scale.x;
        double y = (s.screenCursor.y - s.bias.y) / s.scale.y;
        strokeText(strokeFont, 4.0, size, text, x, y);
    } else {
        drawScreenText(s.currentColour, text, s.screenCursor.x, s.bottomPixel - s.screenCursor.y);
    }
}

bool clipToViewport(PlotPoint& p, PlotPoint& q) {
    const PlotRange v = plotState().viewport;
    // An empty viewport shows nothing (and would send the points back and forth for ever).
    if (!(v.x1 <= v.x2 && v.y1 <= v.y2)) return false;
    for (int pass = 0; pass < kMaxClipPasses; ++pass) {
        if (!finitePoint(p) || !finitePoint(q)) return false;
        int cp = outcode(p, v), cq = outcode(q, v);
        if (cp & cq) return false;
        if (cp == 0 && cq == 0) return true;
        if (cp) moveOntoEdges(p, q, cp, v);
        if (cq) moveOntoEdges(q, p, cq, v);
    }
    return false;
}

void screenLine(PlotPoint p, PlotPoint q, int pen) {
    PlotState& s = plotState();
    if (!s.drawingSurface) return;
    s.drawingSurface->selectPen(pen);
    s.drawingSurface->moveTo(truncateToInt(p.x), truncateToInt(s.bottomPixel - p.y));
    s.drawingSurface->lineTo(truncateToInt(q.x), truncateToInt(s.bottomPixel - q.y));
}

void drawScreenText(int pen, std::string_view text, double x, double y) {
    DrawSurface* surface = plotState().drawingSurface;
    text = text.substr(0, std::min(text.size(), kScreenTextLimit));
    // Empty text has no average character width to centre by.
    if (!surface || text.empty()) return;
    surface->setTextColor(Rgb{0, 0, 0});
    surface->setTransparentText(true);
    surface->selectPen(pen);
    TextExtent e = surface->textExtent(text);
    int half = (e.cx / static_cast<int>(text.size())) / 2;
    surface->textOut(truncateToInt(x - half), truncateToInt(y - e.cy), text);
}

int strokeGlyph(char c, double x, double y, const StrokeFont& font, double size) {
    const StrokeGlyphEntry* g = findStrokeGlyph(font, static_cast<unsigned char>(c));
    if (!g) return 2 * font.blankHalfAdvance;
    const int w = g->halfWidth;
    // The full stop is drawn from the glyph origin through every word, so it shows as a short
    // stroke up to the base line.
    const bool everyWord = c == '.';
    double px = 0.0, py = 0.0;
    for (int i = g->firstWord;; ++i) {
        StrokePoint sp = decodeStrokeWord(font.words[i]);
        double gx = size * sp.x - w * size, gy = size * sp.y;
        if (sp.penDown || everyWord) {
            moveAbs(x + px, y + py);
            lineAbs(x + gx, y + gy);
        }
        px = gx;
        py = gy;
        if (sp.last) break;
    }
    return 2 * w;
}

void strokeText(const StrokeFont& font, double spacing, double size, std::string_view text,
                double x, double y) {
    for (char c : text) {
        int advance = strokeGlyph(c, x, y, font, size);
        x += (spacing + advance) * size;
    }
}

void beginViewDraw(ViewHost& window, DrawSurface& surface) {
    PlotState& s = plotState();
    s.currentColour = 15;
    s.currentColourIndex = 15;
    s.drawingSurface = &surface;
    s.drawingWindow = &window;
    s.currentPoint = {std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::quiet_NaN()};
    s.textHeightDivisor = kDefaultTextDivisor;
    int width, height;
    if (surface.printingNow()) {
        width = surface.width();
        height = surface.height();
    } else {
        width = window.clientWidth();
        height = window.clientHeight() - window.statusLineHeight();
    }
    // A client area without height (a minimised window) has no proportion of its own.
    aspect = width > 0 && height > 0 ? static_cast<double>(width) / height : 1.0;
    setScreenRange(0.0, width - 1.0, 0.0, height - 1.0);
    setWindow(0, 1200, 0, 800);
    s.bottomPixel = height - 1;
}
