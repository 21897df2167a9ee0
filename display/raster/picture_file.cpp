#include "display/raster/picture_file.h"

#include <algorithm>
#include <sys/stat.h>

#include "platform/temp_file.h"

bool writePngAtomically(const std::filesystem::path& path, const RasterSurface& raster) {
    namespace fs = std::filesystem;
    if (path.filename().empty()) return false;
    fs::path tmp =
        platform::makeTempFile("." + path.filename().string() + ".XXXXXX", path.parent_path());
    if (tmp.empty()) return false;
    std::error_code ec;
    bool ok = raster.writePng(tmp);
    if (ok) {
        // The temporary file was made private; the picture gets the usual permissions.
        mode_t mask = ::umask(0);
        ::umask(mask);
        fs::permissions(tmp, static_cast<fs::perms>(0666 & ~mask), ec);
        fs::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(tmp, ec);
    return ok;
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
