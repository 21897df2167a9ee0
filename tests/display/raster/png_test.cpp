#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "display/raster/picture_file.h"
#include "display/raster/png_writer.h"
#include "display/raster/raster_surface.h"
#include "tests/command/test_support.h"
#include "tests/display/png_decoder.h"

namespace {

std::vector<std::uint8_t> patternPixels(int w, int h) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>((i * 7 + i / 3) & 0xFF);
    return px;
}

TEST(PngWriter, RoundTripsEverySizeAcrossBlockBoundaries) {
    // Odd widths, rows that do not divide the compressor's buffers, one pixel.
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {28, 771}, {1456, 30}, {1456, 31}, {100, 700}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        auto px = patternPixels(w, h);
        DecodedPng d = decodePng(encodePng(w, h, px));
        ASSERT_EQ(d.error, "");
        EXPECT_EQ(d.width, w);
        EXPECT_EQ(d.height, h);
        EXPECT_TRUE(d.rgb == px);
    }
}

TEST(PngWriter, DeflatesALineDrawingAndReadsItBackPixelForPixel) {
    RasterSurface r(800, 600);
    for (int i = 0; i < 200; ++i) {
        r.selectPen(i % 16);
        r.moveTo((i * 37) % 800, (i * 53) % 600);
        r.lineTo((i * 91) % 800, (i * 17) % 600);
    }
    r.setTextColor({0, 0, 0x8A});
    r.textOut(40, 40, "GRID = 1.0 mm");
    auto png = encodePng(r.width(), r.height(), r.pixels());
    // A busy drawing of 200 long lines still deflates to a tenth of its 1.44 MB of pixels.
    EXPECT_LT(png.size(), r.pixels().size() / 10);
    DecodedPng d = decodePng(png);
    ASSERT_EQ(d.error, "");
    EXPECT_TRUE(std::equal(d.rgb.begin(), d.rgb.end(), r.pixels().begin(), r.pixels().end()));
    // A busy pattern round-trips too.
    auto noise = patternPixels(300, 200);
    EXPECT_TRUE(decodePng(encodePng(300, 200, noise)).rgb == noise);
}

TEST(PngWriter, RejectsSizesThatDoNotMatchThePixels) {
    std::vector<std::uint8_t> px(12);
    EXPECT_TRUE(encodePng(0, 4, px).empty());
    EXPECT_TRUE(encodePng(2, -2, px).empty());
    EXPECT_TRUE(encodePng(3, 2, px).empty());
    EXPECT_FALSE(encodePng(2, 2, px).empty());
}

TEST(PngWriter, DecoderNoticesDamage) {
    auto px = patternPixels(20, 10);
    auto png = encodePng(20, 10, px);
    auto damaged = png;
    damaged[100] ^= 0x40; // a pixel byte: the chunk's CRC no longer matches
    EXPECT_EQ(decodePng(damaged).error, "CRC of IDAT");
    auto truncated = png;
    truncated.resize(png.size() - 12);
    EXPECT_EQ(decodePng(truncated).error, "no IEND");
}

class PictureFileTest : public ::testing::Test {
  protected:
    std::filesystem::path file(const std::string& name) { return dir.path() / name; }
    std::size_t entries() {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()));
    }
    testsupport::ScratchDir dir;
};

TEST_F(PictureFileTest, RasterWritesAPngThatReadsBackPixelForPixel) {
    RasterSurface r(800, 600);
    r.selectPen(10);
    r.moveTo(5, 590);
    r.lineTo(795, 7);
    r.setTextColor({0, 0, 0x8A});
    r.textOut(100, 100, "GRID = 1.0 mm");
    ASSERT_TRUE(r.writePng(file("p.png")));
    DecodedPng d = decodePngFile(file("p.png").string());
    ASSERT_EQ(d.error, "");
    EXPECT_EQ(d.width, 800);
    EXPECT_EQ(d.height, 600);
    EXPECT_TRUE(std::equal(d.rgb.begin(), d.rgb.end(), r.pixels().begin(), r.pixels().end()));
}

TEST_F(PictureFileTest, WritesOnlyWhenThePictureChanged) {
    RasterSurface r(50, 40);
    PictureFile picture(file("view.png"));
    EXPECT_EQ(picture.update(r), PictureFile::Result::Written);
    auto firstWrite = std::filesystem::last_write_time(file("view.png"));
    std::filesystem::remove(file("view.png"));
    EXPECT_EQ(picture.update(r), PictureFile::Result::Unchanged);
    EXPECT_FALSE(std::filesystem::exists(file("view.png")));

    r.selectPen(3);
    r.moveTo(0, 0);
    r.lineTo(10, 10);
    EXPECT_EQ(picture.update(r), PictureFile::Result::Written);
    DecodedPng d = decodePngFile(file("view.png").string());
    ASSERT_EQ(d.error, "");
    EXPECT_EQ(d.rgb[0], 0xFF); // pen 3 is red
    EXPECT_EQ(d.rgb[1], 0x00);
    (void)firstWrite;

    // The same picture at another size is a change too.
    r.resize(40, 50);
    EXPECT_EQ(picture.update(r), PictureFile::Result::Written);
    EXPECT_EQ(decodePngFile(file("view.png").string()).width, 40);
}

TEST_F(PictureFileTest, ReplacementIsAtomicAndLeavesNoTemporaryFile) {
    std::ofstream(file("view.png")) << "an older picture";
    RasterSurface r(8, 8);
    ASSERT_TRUE(writePngAtomically(file("view.png"), r));
    EXPECT_EQ(decodePngFile(file("view.png").string()).error, "");
    EXPECT_EQ(entries(), 1u);
    mode_t mask = ::umask(0);
    ::umask(mask);
    auto perms = std::filesystem::status(file("view.png")).permissions();
    EXPECT_EQ(static_cast<unsigned>(perms) & 0777u, 0666u & ~mask);
}

TEST_F(PictureFileTest, FailureLeavesTheOldFileAndIsReported) {
    RasterSurface r(8, 8);
    PictureFile missing(file("no/such/dir/view.png"));
    EXPECT_EQ(missing.update(r), PictureFile::Result::Failed);
    // A later success still writes: the failed attempt did not count as written.
    std::filesystem::create_directories(file("no/such/dir"));
    EXPECT_EQ(missing.update(r), PictureFile::Result::Written);
    EXPECT_FALSE(writePngAtomically(dir.path() / "", r));
    EXPECT_EQ(entries(), 1u);
}

} // namespace
