#include "display/raster/picture_file.h"

#include <algorithm>
#include <unistd.h>

#include "platform/safe_file.h"

bool writePngAtomically(const std::filesystem::path& path, const RasterSurface& raster) {
    namespace fs = std::filesystem;
    if (path.filename().empty()) return false;
    // A link is followed to the file it names; a device, FIFO or directory is left alone.
    auto target = platform::replacementTarget(path);
    if (!target) return false;
    platform::TempFile tmp = platform::makeTempBeside(*target);
    if (tmp.fd < 0) return false;
    ::close(tmp.fd);
    if (!raster.writePng(tmp.path)) {
        std::error_code ec;
        fs::remove(tmp.path, ec);
        return false;
    }
    return platform::replaceWithTemp(tmp.path, *target);
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
