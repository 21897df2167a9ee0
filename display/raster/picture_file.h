// The console's picture on disk: a PNG that follows the headless raster, rewritten only when
// the picture changed and replaced atomically so that a reader never sees half a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "display/raster/raster_surface.h"

// Writes the raster as a PNG beside `path` and renames it over `path`; false on failure, when
// `path` is left as it was.
bool writePngAtomically(const std::filesystem::path& path, const RasterSurface& raster);

class PictureFile {
  public:
    enum class Result { Written, Unchanged, Failed };

    explicit PictureFile(std::filesystem::path path) : path_(std::move(path)) {}

    // Writes the picture when it differs from the last one written (or none was written yet).
    Result update(const RasterSurface& raster);

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    bool written_ = false;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};
