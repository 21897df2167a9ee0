// An enhanced-metafile writer as a drawing surface: the picture as vector records (pens, move
// and line records, stretched images) that other programs can scale and print. The client
// size becomes the reference device at 96 dots per inch. Text arrives stroked, as lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "display/raster/draw_surface.h"

class EmfSurface : public DrawSurface {
  public:
    // Record types written.
    enum : std::uint32_t {
        kHeader = 1,
        kEof = 14,
        kMoveTo = 27,
        kSelectObject = 37,
        kCreatePen = 38,
        kLineTo = 54,
        kStretchDibits = 81,
    };
    static constexpr int kHeaderSize = 108;

    EmfSurface(int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }
    SurfaceKind kind() const override { return SurfaceKind::Metafile; }
    // The background is the reader's: nothing is recorded.
    void erase() override {}
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setTextColor(Rgb colour) override { textColour_ = colour; }
    void setTransparentText(bool) override {}
    TextExtent textExtent(std::string_view text) const override;
    void textOut(int x, int y, std::string_view text) override;
    void paintDib(const IndexedImage& image, int left, int top, int width, int height) override;

    // The whole file: header, the records so far, the end record.
    std::vector<std::uint8_t> bytes() const;
    int lineRecords() const { return lines_; }

  private:
    void selectColour(Rgb colour);
    void record(std::uint32_t type, std::initializer_list<std::uint32_t> words);

    int width_, height_;
    std::vector<std::uint8_t> records_;
    std::uint32_t recordCount_ = 0;
    std::vector<Rgb> pens_; // handle i + 1
    int selected_ = -1;     // index into pens_
    Rgb penColour_ = kScreenPens[0];
    Rgb textColour_{};
    int curX_ = 0, curY_ = 0, recX_ = 0, recY_ = 0;
    bool recordedAt_ = false;
    int lines_ = 0;
};

// Writes the bytes beside `path` and renames them over it; false (an existing file kept) when
// that fails or `path` names something other than a regular file.
bool writeFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
