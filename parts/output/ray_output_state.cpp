#include "parts/output/ray_output_state.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/temp_file.h"

namespace fs = std::filesystem;

RayOutputState& rayOutputState() {
    static RayOutputState state;
    return state;
}

void closeChosenRayFiles() {
    RayOutputState& s = rayOutputState();
    if (s.chosenFile) std::fclose(s.chosenFile);
    if (s.chosenIndexFile) std::fclose(s.chosenIndexFile);
    s.chosenFile = nullptr;
    s.chosenIndexFile = nullptr;
}

void resetRayOutputState() {
    closeChosenRayFiles();
    rayOutputState() = RayOutputState{};
}

bool chosenRayFileOpen() {
    return rayOutputState().chosenFile != nullptr;
}

std::string chosenIndexFileName(const std::string& dataName) {
    const std::size_t slash = dataName.find_last_of('/');
    const std::size_t componentStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = dataName.find_last_of('.');
    const std::size_t stem =
        dot != std::string::npos && dot >= componentStart ? dot : componentStart;
    return dataName.substr(0, stem) + ".ndx";
}

namespace {

// True when `path` may be replaced by a new regular file: it does not exist, or it is a regular
// file or a link (the link itself is replaced, never followed).
bool replaceable(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode);
}

// A new private temporary file beside `path`; empty when none can be made.
fs::path temporaryBeside(const std::string& path) {
    const fs::path target(path);
    if (target.filename().empty()) return {};
    return platform::makeTempFile("." + target.filename().string() + ".XXXXXX",
                                  target.parent_path());
}

// The temporary file was made private; the output gets the usual permissions.
void giveUsualPermissions(const fs::path& file) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::error_code ec;
    fs::permissions(file, static_cast<fs::perms>(0666 & ~mask), ec);
}

} // namespace

std::FILE* createOutputFile(const std::string& path, bool binary) {
    if (path.empty() || !replaceable(path)) return nullptr;
    const fs::path tmp = temporaryBeside(path);
    if (tmp.empty()) return nullptr;
    std::error_code ec;
    std::FILE* f = std::fopen(tmp.c_str(), binary ? "wb" : "w");
    if (!f) {
        fs::remove(tmp, ec);
        return nullptr;
    }
    giveUsualPermissions(tmp);
    fs::rename(tmp, path, ec);
    if (ec) {
        std::fclose(f);
        fs::remove(tmp, ec);
        return nullptr;
    }
    return f;
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    if (path.empty() || !replaceable(path)) return false;
    const fs::path tmp = temporaryBeside(path);
    if (tmp.empty()) return false;
    std::error_code ec;
    std::FILE* f = std::fopen(tmp.c_str(), "w");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (ok) {
        giveUsualPermissions(tmp);
        fs::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(tmp, ec);
    return ok;
}

std::FILE* openOplFileForAppend() {
    const std::string& path = rayOutputState().oplFileName;
    if (path.empty()) return nullptr;
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "a");
    if (!f) ::close(fd);
    return f;
}

bool writeLittleEndianDouble(std::FILE* stream, double value) {
    static_assert(sizeof(double) == 8, "the format's doubles are 8 bytes");
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    return stream && std::fwrite(bytes, 1, sizeof bytes, stream) == sizeof bytes;
}

bool writeLittleEndianInt32(std::FILE* stream, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    return stream && std::fwrite(bytes, 1, sizeof bytes, stream) == sizeof bytes;
}
