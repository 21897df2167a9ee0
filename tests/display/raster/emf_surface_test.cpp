// The metafile writer read back by a small parser of its own: header fields, record sizes and
// counts, one line record per line drawn, the image and end records; and the safe file write.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "display/raster/emf_surface.h"
#include "display/raster/raster_surface.h"

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::int32_t i32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(u32(b, at));
}

struct Record {
    std::uint32_t type, size;
    std::size_t offset;
};

// Walks the records; fails the test on a record that overruns the file.
std::vector<Record> records(const std::vector<std::uint8_t>& b) {
    std::vector<Record> out;
    std::size_t at = 0;
    while (at + 8 <= b.size()) {
        const std::uint32_t type = u32(b, at), size = u32(b, at + 4);
        EXPECT_GE(size, 8u);
        EXPECT_EQ(size % 4, 0u);
        EXPECT_LE(at + size, b.size());
        if (size < 8 || at + size > b.size()) break;
        out.push_back({type, size, at});
        at += size;
    }
    EXPECT_EQ(at, b.size());
    return out;
}

} // namespace

TEST(EmfSurface, HeaderRecordsAndLinesReadBack) {
    EmfSurface emf(803, 500);
    emf.selectPen(3);
    emf.moveTo(10, 20);
    emf.lineTo(100, 20);
    emf.lineTo(100, 200); // continues: no second move
    emf.selectPen(11);
    emf.moveTo(0, 0);
    emf.lineTo(802, 499);
    const auto b = emf.bytes();

    ASSERT_GE(b.size(), 108u);
    EXPECT_EQ(u32(b, 0), 1u);
    EXPECT_EQ(u32(b, 4), 108u);
    EXPECT_EQ(u32(b, 40), 0x464D4520u); // " EMF" at offset 40
    EXPECT_EQ(u32(b, 48), b.size());    // bytes
    EXPECT_EQ(i32(b, 16), 802);         // bounds right, bottom
    EXPECT_EQ(i32(b, 20), 499);
    EXPECT_EQ(i32(b, 72), 803); // reference device in pixels
    EXPECT_EQ(i32(b, 76), 500);
    // Frame in 0.01 mm at 96 dpi: 803 px = 212.46 mm.
    EXPECT_EQ(i32(b, 32), static_cast<int>(803 * 2540.0 / 96.0));

    const auto rs = records(b);
    ASSERT_FALSE(rs.empty());
    EXPECT_EQ(u32(b, 52), rs.size()); // record count
    EXPECT_EQ(rs.back().type, 14u);
    EXPECT_EQ(rs.back().size, 20u);
    std::map<std::uint32_t, int> count;
    std::uint32_t maxHandle = 0;
    for (const auto& r : rs) {
        ++count[r.type];
        if (r.type == 38) {
            maxHandle = std::max(maxHandle, u32(b, r.offset + 8));
            EXPECT_EQ(r.size, 28u);
        }
    }
    EXPECT_EQ(count[54], 3);       // one line record per line
    EXPECT_EQ(count[27], 2);       // moves only where the pen jumped
    EXPECT_EQ(count[38], 14); // the sixteen screen pens; two pairs share a colour
    EXPECT_EQ(u32(b, 56) & 0xFFFF, maxHandle + 1); // handles include slot 0
    // The pens carry the exact screen colours: pen 3 is red, as COLORREF 0x000000FF.
    bool red = false;
    for (const auto& r : rs)
        if (r.type == 38 && u32(b, r.offset + 8) == 4) red = u32(b, r.offset + 24) == 0x0000FFu;
    EXPECT_TRUE(red);
    // The last line goes to (802, 499).
    for (auto it = rs.rbegin(); it != rs.rend(); ++it)
        if (it->type == 54) {
            EXPECT_EQ(i32(b, it->offset + 8), 802);
            EXPECT_EQ(i32(b, it->offset + 12), 499);
            break;
        }
}

TEST(EmfSurface, ImagesBecomeStretchRecordsWithBottomUpRows) {
    EmfSurface emf(100, 80);
    IndexedImage image;
    image.width = 3;
    image.height = 2;
    image.indices = {1, 2, 3, 4, 5, 6};
    image.colours = {{0, 0, 0}, {10, 20, 30}};
    emf.paintDib(image, 5, 6, 30, 20);
    IndexedImage bad; // not painted
    emf.paintDib(bad, 0, 0, 10, 10);
    const auto b = emf.bytes();
    const auto rs = records(b);
    int stretches = 0;
    for (const auto& r : rs) {
        if (r.type != 81) continue;
        ++stretches;
        const std::size_t o = r.offset;
        EXPECT_EQ(i32(b, o + 24), 5); // xDest, yDest
        EXPECT_EQ(i32(b, o + 28), 6);
        EXPECT_EQ(i32(b, o + 40), 3); // cxSrc, cySrc
        EXPECT_EQ(i32(b, o + 44), 2);
        EXPECT_EQ(i32(b, o + 72), 30); // cxDest, cyDest
        EXPECT_EQ(i32(b, o + 76), 20);
        const std::uint32_t offBmi = u32(b, o + 48), offBits = u32(b, o + 56), cbBits = u32(b, o + 60);
        EXPECT_EQ(u32(b, o + offBmi), 40u);
        EXPECT_EQ(i32(b, o + offBmi + 4), 3);
        EXPECT_EQ(b[o + offBmi + 14], 8); // bits per pixel
        // Colour 1 as blue, green, red, 0.
        EXPECT_EQ(b[o + offBmi + 40 + 4], 30);
        EXPECT_EQ(b[o + offBmi + 40 + 6], 10);
        EXPECT_EQ(cbBits, 8u); // two rows of 4 bytes
        EXPECT_EQ(b[o + offBits], 4);     // bottom row first
        EXPECT_EQ(b[o + offBits + 4], 1); // then the top row
        EXPECT_EQ(offBits + cbBits, r.size);
    }
    EXPECT_EQ(stretches, 1);
}

TEST(EmfSurface, TextIsStrokedIntoLines) {
    EmfSurface emf(200, 100);
    emf.setTextColor({0, 0, 0});
    emf.textOut(10, 10, "AB");
    EXPECT_GT(emf.lineRecords(), 4);
}

TEST(RasterPaintDib, StretchesByNearestPixelAndClipsToThePicture) {
    RasterSurface r(20, 10);
    IndexedImage image;
    image.width = 2;
    image.height = 1;
    image.indices = {0, 1};
    image.colours = {{255, 0, 0}, {0, 0, 255}};
    r.paintDib(image, -4, 2, 20, 4); // the left half starts off the picture
    EXPECT_EQ(r.pixel(0, 2), (Rgb{255, 0, 0}));
    EXPECT_EQ(r.pixel(5, 5), (Rgb{255, 0, 0}));
    EXPECT_EQ(r.pixel(6, 5), (Rgb{0, 0, 255}));
    EXPECT_EQ(r.pixel(15, 5), (Rgb{0, 0, 255}));
    EXPECT_EQ(r.pixel(16, 5), (Rgb{255, 255, 255}));
    EXPECT_EQ(r.pixel(6, 6), (Rgb{255, 255, 255}));
}

TEST(WriteFileAtomically, ReplacesAFileAndRefusesADirectoryKeepingIt) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("emf_write_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "pic.emf";
    { std::ofstream(file) << "old"; }
    EXPECT_TRUE(writeFileAtomically(file, {1, 2, 3}));
    EXPECT_EQ(fs::file_size(file), 3u);
    fs::create_directories(dir / "sub.emf");
    EXPECT_FALSE(writeFileAtomically(dir / "sub.emf", {1}));
    EXPECT_TRUE(fs::is_directory(dir / "sub.emf"));
    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "x.emf", {1}));
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2);
    fs::remove_all(dir);
}
