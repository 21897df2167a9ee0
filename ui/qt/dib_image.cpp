#include "ui/qt/dib_image.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <cstring>

#include "platform/platform_hooks.h"

QImage dibToImage(const DibBlock& dib) {
    if (!dibValid(dib)) return {};
    const int w = DibWidth(dib), h = DibHeight(dib), bits = DibBitCount(dib);
    const std::size_t stride = dibRowBytes(w, bits);
    const std::size_t base = FindDibBits(dib);
    if (bits <= 8) {
        QImage img(w, h, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (const auto& c : dibColourTable(dib))
            table.push_back(qRgb(c.red, c.green, c.blue));
        while (table.size() < (1 << bits))
            table.push_back(qRgb(0, 0, 0));
        img.setColorTable(table);
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row = &dib[base + stride * static_cast<std::size_t>(h - 1 - y)];
            uchar* out = img.scanLine(y);
            for (int x = 0; x < w; ++x) {
                if (bits == 8) {
                    out[x] = row[x];
                } else {
                    const int perByte = 8 / bits;
                    const int shift = 8 - bits * (x % perByte + 1);
                    out[x] = static_cast<uchar>((row[x / perByte] >> shift) & ((1 << bits) - 1));
                }
            }
        }
        return img;
    }
    QImage img(w, h, QImage::Format_RGB32);
    const int bytes = bits / 8;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = &dib[base + stride * static_cast<std::size_t>(h - 1 - y)];
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = row + bytes * x;
            out[x] = qRgb(p[2], p[1], p[0]);
        }
    }
    return img;
}

DibBlock dibFromImage(const QImage& image) {
    if (image.isNull()) return {};
    const int w = image.width(), h = image.height();
    if (w < 1 || h < 1 || w > kDibMaxSide || h > kDibMaxSide) return {};
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() <= 256) {
        ColourTable table{};
        const auto colours = image.colorTable();
        for (int k = 0; k < colours.size() && k < 256; ++k)
            table[static_cast<std::size_t>(k)] = {static_cast<std::uint8_t>(qRed(colours[k])),
                                                  static_cast<std::uint8_t>(qGreen(colours[k])),
                                                  static_cast<std::uint8_t>(qBlue(colours[k]))};
        DibBlock dib = makeIndexedDib(w, h, table);
        for (int y = 0; y < h; ++y) {
            const uchar* in = image.constScanLine(y);
            for (int x = 0; x < w; ++x)
                setDibIndex(dib, x, y, in[x]);
        }
        return dib;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    for (int y = 0; y < h; ++y)
        std::memcpy(&rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3],
                    rgb.constScanLine(y), static_cast<std::size_t>(w) * 3);
    return makeRgbDib(w, h, rows.data());
}

namespace {

bool paint(QPainter& painter, const QRect& dst, const DibBlock& dib, const QRect& src, bool masked,
           bool report) {
    static const void* reported = nullptr;
    const QImage img = dibToImage(dib);
    if (img.isNull() || dst.isEmpty() || src.isEmpty()) {
        // Said once per bitmap, not once per paint.
        if (report && !dib.empty() && reported != dib.data()) {
            reported = dib.data();
            if (bitmapState().infoBox) bitmapState().infoBox("Unable to stretch bits\n");
        }
        return false;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (masked) painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(dst, img, src);
    painter.restore();
    return true;
}

} // namespace

bool PaintDib(QPainter& painter, const QRect& dst, const DibBlock& dib, const QRect& src) {
    return paint(painter, dst, dib, src, false, true);
}

bool PaintDibMasked(QPainter& painter, const QRect& dst, const DibBlock& dib, const QRect& src) {
    return paint(painter, dst, dib, src, true, false);
}

bool clipboardHasImage() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

bool CopyBitmap() {
    auto& s = bitmapState();
    const QImage img = dibToImage(s.dibHandle);
    if (img.isNull()) return false;
    platform::beginWaitCursor();
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setImage(img);
    platform::endWaitCursor();
    return true;
}

bool PasteBitmap() {
    if (!clipboardHasImage()) return false;
    platform::beginWaitCursor();
    DibBlock copy = dibFromImage(QApplication::clipboard()->image());
    platform::endWaitCursor();
    if (copy.empty()) {
        if (bitmapState().infoBox) bitmapState().infoBox("DIB is too large");
        return false;
    }
    ReplaceDib(std::move(copy));
    InitDibInfo();
    return true;
}

void BitmapToMask() {
    platform::beginWaitCursor();
    bitmapState().image.maskDib =
        clipboardHasImage() ? dibFromImage(QApplication::clipboard()->image()) : DibBlock{};
    platform::endWaitCursor();
}
