// The bitmap blocks: layout, palettes, header checks and the held bitmap.
#include <gtest/gtest.h>

#include "ui/core/dib.h"

namespace {
class DibTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetBitmapState();
        bitmapState().infoBox = [this](const std::string& t) { boxes.push_back(t); };
    }
    void TearDown() override { resetBitmapState(); }
    std::vector<std::string> boxes;
};
} // namespace

TEST_F(DibTest, A50By30BitmapHasRows52BytesApartBottomUp) {
    ColourTable grey{};
    BuildPalette(kPaletteGrey, grey);
    DibBlock d = makeIndexedDib(50, 30, grey);
    EXPECT_EQ(dibRowBytes(50, 8), 52u);
    EXPECT_EQ(d.size(), 40u + 1024u + 52u * 30u);
    EXPECT_EQ(DibWidth(d), 50);
    EXPECT_EQ(DibHeight(d), 30);
    EXPECT_EQ(DibNumColors(d), 256);
    EXPECT_EQ(PaletteSize(d), 1024);
    EXPECT_EQ(FindDibBits(d), 1064u);
    setDibIndex(d, 3, 0, 77); // top row = last stored row
    EXPECT_EQ(d[1064 + 52 * 29 + 3], 77);
    EXPECT_EQ(dibIndexAt(d, 3, 0), 77);
    EXPECT_EQ(dibRowBytes(50, 24), 152u);
}

TEST_F(DibTest, Palettes) {
    ColourTable t{};
    BuildPalette(kPaletteSpectrum, t);
    EXPECT_EQ(t[0], (DibColour{255, 0, 0}));
    EXPECT_EQ(t[127], (DibColour{1, 254, 0}));
    EXPECT_EQ(t[128], (DibColour{0, 255, 1}));
    EXPECT_EQ(t[255], (DibColour{0, 1, 255}));
    BuildPalette(kPaletteGreen, t);
    EXPECT_EQ(t[200], (DibColour{0, 200, 0}));
    ColourTable before = t;
    BuildPalette(5, t);
    BuildPalette(-1, t);
    EXPECT_EQ(t, before);
}

TEST_F(DibTest, ThePaletteBarHoldsColumnIndicesInEveryRow) {
    bitmapState().paletteIndex = kPaletteBlue;
    MakePaletteBarDib(300, 4);
    const DibBlock& bar = bitmapState().image.paletteBarDib;
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(dibIndexAt(bar, 0, y), 0);
        EXPECT_EQ(dibIndexAt(bar, 255, y), 255);
        EXPECT_EQ(dibIndexAt(bar, 256, y), 0);
    }
    EXPECT_EQ(dibColourTable(bar)[9], (DibColour{0, 0, 9}));
    MakePaletteDib(256, 4);
    EXPECT_EQ(bitmapState().dibWidth, 256);
    EXPECT_EQ(bitmapState().dibHeight, 4);
    EXPECT_EQ(bitmapState().dibPalette.size(), 256u);
    EXPECT_EQ(bitmapState().dibHandle, bitmapState().image.currentDib);
}

TEST_F(DibTest, HeaderHelpersTrustNothingOutsideTheBlock) {
    ColourTable t{};
    DibBlock d = makeIndexedDib(8, 8, t);
    DibBlock cut(d.begin(), d.end() - 1);
    EXPECT_FALSE(dibValid(cut));
    EXPECT_EQ(DibWidth(cut), 0);
    EXPECT_EQ(FindDibBits(cut), 0u);
    EXPECT_EQ(dibIndexAt(cut, 0, 0), 0);
    setDibIndex(cut, 0, 0, 5); // no write outside
    DibBlock huge = d;
    huge[4] = 0xFF; huge[5] = 0xFF; huge[6] = 0xFF; huge[7] = 0x7F; // width 2^31 - 1
    EXPECT_FALSE(dibValid(huge));
    DibBlock negative = d;
    negative[8] = 0xFF; negative[9] = 0xFF; negative[10] = 0xFF; negative[11] = 0xFF;
    EXPECT_FALSE(dibValid(negative));
    DibBlock manyColours = d;
    manyColours[33] = 0x10; // 4096 colours used
    EXPECT_FALSE(dibValid(manyColours));
    EXPECT_FALSE(dibValid(DibBlock{}));
    EXPECT_FALSE(dibValid(DibBlock{40, 0, 0}));
    EXPECT_TRUE(makeIndexedDib(0, 5, t).empty());
    EXPECT_TRUE(makeIndexedDib(32768, 1, t).empty());
    EXPECT_EQ(CopyDibHandle(d), d);
}

TEST_F(DibTest, AnUnsoundHeldBitmapIsDroppedWithTheBox) {
    ColourTable t{};
    DibBlock d = makeIndexedDib(4, 4, t);
    d[4] = 0; d[5] = 0x80; // width 32768
    ReplaceDib(d);
    InitDibInfo();
    EXPECT_TRUE(bitmapState().dibHandle.empty());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "DIB is too large");
}

TEST_F(DibTest, A24BitBitmapKeepsNoPalette) {
    const std::uint8_t rgb[2 * 2 * 3] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    DibBlock d = makeRgbDib(2, 2, rgb);
    EXPECT_EQ(DibBitCount(d), 24);
    EXPECT_EQ(DibNumColors(d), 0);
    // Bottom row first, blue-green-red.
    EXPECT_EQ(d[40], 90);
    EXPECT_EQ(d[42], 70);
    ReplaceDib(d);
    InitDibInfo();
    EXPECT_TRUE(bitmapState().dibPalette.empty());
    EXPECT_EQ(bitmapState().dibWidth, 2);
}

TEST_F(DibTest, TheIntensityBitmapPutsRadiometerRowZeroAtTheBottom) {
    EXPECT_EQ(MakeObjectDib("det"), 0); // no radiometer source yet
    bitmapState().radiometer = [](const std::string& name) -> std::optional<IntensityBins> {
        if (name != "det") return std::nullopt;
        IntensityBins b;
        b.nx = 50;
        b.ny = 30;
        b.scaled = [](int j, int i) { return j + 2.0 * i + 0.9; };
        b.maximum = 12.5;
        b.minimum = 0.5;
        return b;
    };
    EXPECT_EQ(MakeObjectDib("other"), 0);
    ASSERT_EQ(MakeObjectDib("det"), 1);
    const DibBlock& d = bitmapState().dibHandle;
    EXPECT_EQ(DibWidth(d), 50);
    EXPECT_EQ(dibIndexAt(d, 4, 29), 4);      // row 0 of the radiometer, bottom of the picture
    EXPECT_EQ(dibIndexAt(d, 4, 0), 4 + 58);  // row 29, top
    EXPECT_DOUBLE_EQ(bitmapState().image.imageMaximum, 12.5);
    EXPECT_EQ(bitmapState().image.paletteBarDib.empty(), false);
}
