#include "ui/qt/qt_surface.h"

#include <algorithm>

#include "display/plot/stroke_font.h"

namespace {
QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}
// Coordinates far outside the picture are brought into a range QPainter handles exactly.
int clampCoord(qint64 v) {
    return static_cast<int>(std::clamp<qint64>(v, -1000000, 1000000));
}
} // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter, int width, int height, SurfaceKind kind)
    : painter_(painter), width_(width), height_(height), kind_(kind) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QtPainterSurface::erase() {
    painter_.fillRect(0, 0, width_, height_, toQColor(kBackground));
}

void QtPainterSurface::selectPen(int pen) {
    pen_ = screenPenColour(pen);
}

void QtPainterSurface::moveTo(int x, int y) {
    curX_ = x;
    curY_ = y;
}

void QtPainterSurface::line(qint64 x0, qint64 y0, qint64 x1, qint64 y1, Rgb colour,
                            bool withEnd) {
    QPen pen(toQColor(colour));
    pen.setWidth(1);
    pen.setCosmetic(true);
    pen.setCapStyle(withEnd ? Qt::SquareCap : Qt::FlatCap);
    painter_.setPen(pen);
    if (x0 == x1 && y0 == y1) {
        if (withEnd) painter_.drawPoint(clampCoord(x0), clampCoord(y0));
        return;
    }
    painter_.drawLine(QPoint(clampCoord(x0), clampCoord(y0)), QPoint(clampCoord(x1), clampCoord(y1)));
}

void QtPainterSurface::lineTo(int x, int y) {
    line(curX_, curY_, x, y, pen_, false);
    curX_ = x;
    curY_ = y;
}

TextExtent QtPainterSurface::textExtent(std::string_view text) const {
    return deviceTextExtent(text);
}

void QtPainterSurface::textOut(int x, int y, std::string_view text) {
    forEachDeviceStroke(text, x, y, [this](std::int64_t x0, std::int64_t y0, std::int64_t x1,
                                          std::int64_t y1) { line(x0, y0, x1, y1, textColour_, true); });
}
