// Bitmaps between the shell's own blocks and Qt: painting (1:1, stretched and masked), and the
// clipboard. Paste builds our own bitmap from the clipboard's image, so no foreign header is
// ever trusted.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "ui/core/dib.h"

// The bitmap as an Indexed8 (8-bit and fewer) or RGB32 image, rows flipped into top-down order;
// a null image for a block that does not hold a sound bitmap.
QImage dibToImage(const DibBlock& dib);
// An 8-bit bitmap with its colour table from an indexed image, else a 24-bit one without
// palette; empty for a null image or a side outside 1..32767.
DibBlock dibFromImage(const QImage& image);

// Paints the source rectangle (top-down pixel coordinates) of the bitmap into the destination,
// without smoothing. False for a null or unsound bitmap; a failed paint says "Unable to stretch
// bits" once per bitmap (through the bitmap layer's box).
bool PaintDib(QPainter& painter, const QRect& destination, const DibBlock& dib,
              const QRect& source);
// The same, combining with the picture by AND, without the message.
bool PaintDibMasked(QPainter& painter, const QRect& destination, const DibBlock& dib,
                    const QRect& source);

// The clipboard operations of the document's held bitmap.
bool clipboardHasImage();
// Puts a copy of the held bitmap on the clipboard; false without one.
bool CopyBitmap();
// Takes the clipboard's image as the held bitmap; false (nothing changed) without one.
bool PasteBitmap();
// The clipboard's image becomes the mask (or none).
void BitmapToMask();
