#include "ui/qt/qt_surface.h"

#include <algorithm>

#include "display/plot/stroke_font.h"
#include "display/raster/line_pixels.h"

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
    // On the view's own picture the pixels are set as the console's raster sets them, so both
    // pictures of one model agree pixel for pixel; printers and other devices get real lines.
    auto* image = dynamic_cast<QImage*>(painter_.device());
    if (image && kind_ == SurfaceKind::Screen && !painter_.transform().isScaling() &&
        painter_.transform().type() <= QTransform::TxTranslate &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32)) {
        const QPoint shift = painter_.transform().map(QPoint(0, 0));
        const QRgb value = qRgb(colour.r, colour.g, colour.b);
        const qint64 w = std::min<qint64>(width_, image->width() - shift.x());
        const qint64 h = std::min<qint64>(height_, image->height() - shift.y());
        forEachLinePixel(x0, y0, x1, y1, withEnd, w, h, [&](std::int64_t x, std::int64_t y) {
            const qint64 px = x + shift.x(), py = y + shift.y();
            if (px < 0 || py < 0) return;
            reinterpret_cast<QRgb*>(image->scanLine(static_cast<int>(py)))[px] = value;
        });
        return;
    }
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

QImage indexedToQImage(const IndexedImage& image) {
    if (!image.valid()) return {};
    QImage out(image.width, image.height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb& c : image.colours)
        table.push_back(qRgb(c.r, c.g, c.b));
    while (table.size() < 256)
        table.push_back(qRgb(0, 0, 0));
    table.resize(256);
    out.setColorTable(table);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.indices[static_cast<std::size_t>(y) * image.width], image.width,
                    out.scanLine(y));
    return out;
}

void QtPainterSurface::paintDib(const IndexedImage& image, int left, int top, int width, int height) {
    if (!image.valid() || width <= 0 || height <= 0) return;
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.drawImage(QRect(left, top, width, height), indexedToQImage(image));
    painter_.restore();
}
