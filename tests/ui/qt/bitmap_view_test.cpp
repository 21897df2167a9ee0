// Bitmaps through Qt (conversion, painting, the clipboard) and the view's picture against the
// headless view's.
#include <QClipboard>
#include <QPainter>

#include "display/raster/raster_surface.h"
#include "display/views/repaint.h"
#include "tests/ui/qt/shell_fixture.h"
#include "ui/qt/dib_image.h"
#include "ui/qt/qt_surface.h"
#include "ui/qt/view_widget.h"

using namespace shelltest;

namespace {

std::vector<std::uint8_t> pattern(int w, int h) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = &rgb[static_cast<std::size_t>((y * w + x) * 3)];
            p[0] = static_cast<std::uint8_t>(x * 5);
            p[1] = static_cast<std::uint8_t>(y * 8);
            p[2] = static_cast<std::uint8_t>(x + y);
        }
    return rgb;
}

class BitmapTest : public ShellTest {};

} // namespace

TEST_F(BitmapTest, A24BitBitmapConvertsPixelByPixelBothWays) {
    application();
    const auto rgb = pattern(50, 30);
    const DibBlock dib = makeRgbDib(50, 30, rgb.data());
    const QImage img = dibToImage(dib);
    ASSERT_EQ(img.format(), QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(50, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) {
            const auto* p = &rgb[static_cast<std::size_t>((y * 50 + x) * 3)];
            ASSERT_EQ(img.pixel(x, y), qRgb(p[0], p[1], p[2])) << x << "," << y;
        }
    EXPECT_EQ(dibFromImage(img), dib);
    // An indexed picture keeps its table.
    ColourTable spectrum{};
    BuildPalette(kPaletteSpectrum, spectrum);
    DibBlock indexed = makeIndexedDib(7, 3, spectrum);
    setDibIndex(indexed, 6, 2, 200);
    const QImage i8 = dibToImage(indexed);
    ASSERT_EQ(i8.format(), QImage::Format_Indexed8);
    EXPECT_EQ(i8.pixelIndex(6, 2), 200);
    EXPECT_EQ(i8.pixel(6, 2), qRgb(0, 111, 145));
    EXPECT_EQ(dibFromImage(i8), indexed);
    EXPECT_TRUE(dibToImage(DibBlock{1, 2, 3}).isNull());
}

TEST_F(BitmapTest, PaintsOneToOneStretchedAndMasked) {
    application();
    const auto rgb = pattern(4, 2);
    const DibBlock dib = makeRgbDib(4, 2, rgb.data());
    QImage target(8, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter p(&target);
        ASSERT_TRUE(PaintDib(p, QRect(0, 0, 4, 2), dib, QRect(0, 0, 4, 2)));
        ASSERT_TRUE(PaintDib(p, QRect(0, 2, 8, 2), dib, QRect(0, 0, 4, 1))); // stretched x2
    }
    EXPECT_EQ(target.pixel(3, 1), qRgb(15, 8, 4));
    EXPECT_EQ(target.pixel(6, 2), qRgb(15, 0, 3)); // no smoothing: a copy of source pixel 3
    EXPECT_EQ(target.pixel(7, 3), qRgb(15, 0, 3));
    // The mask combines by AND.
    ColourTable grey{};
    BuildPalette(kPaletteGrey, grey);
    DibBlock mask = makeIndexedDib(1, 1, grey);
    setDibIndex(mask, 0, 0, 0x0F);
    {
        QPainter p(&target);
        ASSERT_TRUE(PaintDibMasked(p, QRect(3, 1, 1, 1), mask, QRect(0, 0, 1, 1)));
    }
    EXPECT_EQ(target.pixel(3, 1), qRgb(15 & 0x0F, 8 & 0x0F, 4 & 0x0F));
    // An unsound bitmap: no paint, one message per bitmap.
    std::vector<std::string> boxes;
    bitmapState().infoBox = [&](const std::string& t) { boxes.push_back(t); };
    DibBlock bad = dib;
    bad.resize(30);
    QPainter p(&target);
    EXPECT_FALSE(PaintDib(p, QRect(0, 0, 4, 2), bad, QRect(0, 0, 4, 2)));
    EXPECT_FALSE(PaintDib(p, QRect(0, 0, 4, 2), bad, QRect(0, 0, 4, 2)));
    EXPECT_EQ(boxes, std::vector<std::string>{"Unable to stretch bits\n"});
}

TEST_F(BitmapTest, CopyAndPasteThroughTheClipboard) {
    start();
    EXPECT_TRUE(bitmapState().dibHandle.empty()); // a new document holds no bitmap
    EXPECT_FALSE(CopyBitmap());
    MakePaletteDib(256, 4);
    ASSERT_TRUE(CopyBitmap());
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(256, 4));
    // A 24-bit picture pasted: kept without palette, the document changed.
    QImage picture(50, 30, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    QApplication::clipboard()->setImage(picture);
    window->document().SetModifiedFlag(false);
    window->OnPasteBitmap();
    EXPECT_EQ(bitmapState().dibWidth, 50);
    EXPECT_EQ(DibBitCount(bitmapState().dibHandle), 24);
    EXPECT_TRUE(bitmapState().dibPalette.empty());
    EXPECT_TRUE(window->document().IsModified());
    window->OnBitmapToMask();
    EXPECT_EQ(DibWidth(bitmapState().image.maskDib), 50);
    // A picture too large for a bitmap is refused and the held one stays.
    QApplication::clipboard()->setImage(QImage(40000, 1, QImage::Format_RGB32));
    window->OnPasteBitmap();
    EXPECT_EQ(bitmapState().dibWidth, 50);
    EXPECT_TRUE(prompts.wasAsked("info"));
    EXPECT_EQ(prompts.asked.back().text, "DIB is too large");
}

TEST_F(BitmapTest, TheViewPaintsWhatTheHeadlessViewPaints) {
    start(kTwoLenses);
    window->view()->resize(640, 480);
    window->updateAllViews();
    const QImage shown = window->view()->picture();
    ASSERT_EQ(shown.size(), QSize(640, 480));
    HeadlessViewHost headless(640, 480);
    headless.invalidateAndUpdate();
    long differ = 0, lens = 0;
    const Rgb lensPen = screenPenColour(11);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const Rgb r = headless.raster().pixel(x, y);
            const QRgb q = shown.pixel(x, y);
            if (qRed(q) != r.r || qGreen(q) != r.g || qBlue(q) != r.b) ++differ;
            if (qRed(q) == lensPen.r && qGreen(q) == lensPen.g && qBlue(q) == lensPen.b) ++lens;
        }
    EXPECT_GT(lens, 100);         // the lens wireframe in its exact pen colour
    EXPECT_LT(differ, 640 * 480 / 200) << "pixels that differ from the headless picture";
}
