#include "display/analysis/report_file.h"

#include <filesystem>
#include <unistd.h>

#include "platform/temp_file.h"

namespace fs = std::filesystem;

bool writableTarget(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (st.type() == fs::file_type::not_found) return true;
    return !ec && st.type() == fs::file_type::regular;
}

ReportFile::~ReportFile() {
    discard();
}

bool ReportFile::open(const std::string& path, bool binary) {
    discard();
    if (!writableTarget(path)) return false;
    const fs::path target(path);
    fs::path dir = target.parent_path();
    const fs::path temp =
        platform::makeTempFile("." + target.filename().string() + ".XXXXXX", dir);
    if (temp.empty()) return false;
    stream_ = std::fopen(temp.c_str(), binary ? "wb" : "w");
    if (!stream_) {
        ::unlink(temp.c_str());
        return false;
    }
    target_ = path;
    temp_ = temp.string();
    return true;
}

bool ReportFile::commit() {
    if (!stream_) return false;
    const bool written = std::ferror(stream_) == 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    // The target may have become a link or a device while we wrote.
    if (!written || !closed || !writableTarget(target_) ||
        std::rename(temp_.c_str(), target_.c_str()) != 0) {
        ::unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    return true;
}

void ReportFile::discard() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}
