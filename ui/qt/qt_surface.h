// The drawing surface over a QPainter: aliased one-pixel lines in the exact screen-pen colours
// and screen text in the stroke font, so the window shows what the headless view paints.
#pragma once

#include <QImage>
#include <QPainter>

#include "display/raster/draw_surface.h"

class QtPainterSurface : public DrawSurface {
  public:
    static constexpr Rgb kBackground{0xFF, 0xFF, 0xFF};

    // Draws into the painter's device of the given size (the painter stays the caller's).
    QtPainterSurface(QPainter& painter, int width, int height,
                     SurfaceKind kind = SurfaceKind::Screen);

    int width() const override { return width_; }
    int height() const override { return height_; }
    SurfaceKind kind() const override { return kind_; }
    void erase() override;
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setTextColor(Rgb colour) override { textColour_ = colour; }
    void setTransparentText(bool transparent) override { transparentText_ = transparent; }
    TextExtent textExtent(std::string_view text) const override;
    void textOut(int x, int y, std::string_view text) override;
    void paintDib(const IndexedImage& image, int left, int top, int width, int height) override;

  private:
    void line(qint64 x0, qint64 y0, qint64 x1, qint64 y1, Rgb colour, bool withEnd);

    QPainter& painter_;
    int width_, height_;
    SurfaceKind kind_;
    Rgb pen_ = kScreenPens[0];
    Rgb textColour_{};
    bool transparentText_ = false;
    int curX_ = 0, curY_ = 0;
};

// The image as an 8-bit Qt image with its colour table (a null image when unsound).
QImage indexedToQImage(const IndexedImage& image);
