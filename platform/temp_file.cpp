#include "platform/temp_file.h"

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace platform {

std::filesystem::path makeTempFile(const std::string& pattern, const std::filesystem::path& dir) {
    std::string full = dir.empty() ? pattern : (dir / pattern).string();
    std::vector<char> buf(full.begin(), full.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
    if (fd < 0) return {};
    close(fd);
    return std::filesystem::path(buf.data());
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return (std::filesystem::path(dir) / name).string();
}

std::string currentDirectory() {
    std::error_code ec;
    auto p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}

} // namespace platform
