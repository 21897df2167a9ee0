#include "display/raster/picture_file.h"

#include <algorithm>
#include <string_view>

#include "display/raster/png_writer.h"
#include "platform/safe_file.h"

bool writePngAtomically(const std::filesystem::path& path, const RasterSurface& raster) {
    const std::vector<std::uint8_t> png =
        encodePng(raster.width(), raster.height(), raster.pixels());
    if (png.empty()) return false;
    // A link is followed to the file it names; a device, FIFO or directory is left alone.
    return platform::replaceFileContents(
        path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
}

PictureFile::Result PictureFile::update(const RasterSurface& raster) {
    auto px = raster.pixels();
    if (written_ && width_ == raster.width() && height_ == raster.height() &&
        std::equal(px.begin(), px.end(), pixels_.begin(), pixels_.end()))
        return Result::Unchanged;
    if (!writePngAtomically(path_, raster)) return Result::Failed;
    written_ = true;
    width_ = raster.width();
    height_ = raster.height();
    pixels_.assign(px.begin(), px.end());
    return Result::Written;
}
