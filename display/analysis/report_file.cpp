#include "display/analysis/report_file.h"

#include <unistd.h>

#include "platform/safe_file.h"

ReportFile::~ReportFile() {
    discard();
}

bool ReportFile::open(const std::string& path, bool binary) {
    discard();
    if (path.empty()) return false;
    const auto target = platform::replacementTarget(path);
    if (!target) return false;
    const platform::TempFile temp = platform::makeTempBeside(*target);
    if (temp.fd < 0) return false;
    stream_ = ::fdopen(temp.fd, binary ? "wb" : "w");
    if (!stream_) {
        ::close(temp.fd);
        ::unlink(temp.path.c_str());
        return false;
    }
    target_ = target->string();
    temp_ = temp.path.string();
    return true;
}

bool ReportFile::commit() {
    if (!stream_) return false;
    const bool written = std::ferror(stream_) == 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    const std::string temp = temp_;
    temp_.clear();
    if (!written || !closed) {
        ::unlink(temp.c_str());
        return false;
    }
    // The replacement checks the target again and removes the temporary file when it fails.
    return platform::replaceWithTemp(temp, target_);
}

void ReportFile::discard() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}
