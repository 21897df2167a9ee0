#include "parts/output/ray_output_state.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "command/general/file_names.h"
#include "command/messages/messages.h"
#include "platform/safe_file.h"
#include "platform/temp_file.h"

namespace fs = std::filesystem;

RayOutputState& rayOutputState() {
    static RayOutputState state;
    return state;
}

namespace {

// Closes both streams without writing what waits; true when both closed cleanly.
bool closeChosenStreams() {
    RayOutputState& s = rayOutputState();
    bool ok = true;
    if (s.chosenFile && std::fclose(s.chosenFile) != 0) ok = false;
    if (s.chosenIndexFile && std::fclose(s.chosenIndexFile) != 0) ok = false;
    s.chosenFile = nullptr;
    s.chosenIndexFile = nullptr;
    releaseFileInUse(s.chosenName);
    releaseFileInUse(s.chosenIndexName);
    s.chosenPending.clear();
    s.indexPending.clear();
    return ok;
}

// Writes out what a stream holds in its own buffer (the header); true when nothing failed.
bool flushStream(std::FILE* f) {
    return !f || (std::fflush(f) == 0 && !std::ferror(f));
}

} // namespace

bool flushChosenRays() {
    RayOutputState& s = rayOutputState();
    if (!s.chosenFile) return true;
    const std::string* failed = nullptr;
    off_t dataBefore = 0;
    if (!flushStream(s.chosenFile) ||
        !platform::appendWholeRecords(fileno(s.chosenFile), s.chosenPending.data(),
                                      s.chosenPending.size(), &dataBefore)) {
        failed = &s.chosenName;
    } else if (!flushStream(s.chosenIndexFile) ||
               (s.chosenIndexFile &&
                !platform::appendWholeRecords(fileno(s.chosenIndexFile), s.indexPending.data(),
                                              s.indexPending.size()))) {
        // The data of rays the index does not hold would leave the pair apart.
        platform::cutBack(fileno(s.chosenFile), dataBefore);
        failed = &s.chosenIndexName;
    }
    s.chosenPending.clear();
    s.indexPending.clear();
    if (!failed) return true;
    errorText(outputChannel, "Unable to write %s\n", failed->c_str());
    closeChosenStreams();
    return false;
}

bool closeChosenRayFiles() {
    RayOutputState& s = rayOutputState();
    if (!s.chosenFile) return closeChosenStreams();
    const std::string name = s.chosenName;
    if (!flushChosenRays()) return false;
    if (closeChosenStreams()) return true;
    errorText(outputChannel, "Unable to write %s\n", name.c_str());
    return false;
}

void resetRayOutputState() {
    closeChosenStreams();
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

} // namespace

std::FILE* createOutputFile(const std::string& path, bool binary) {
    if (path.empty() || fs::path(path).filename().empty() || !replaceable(path)) return nullptr;
    const platform::TempFile tmp = platform::makeTempBeside(path);
    if (tmp.fd < 0) return nullptr;
    std::FILE* f = ::fdopen(tmp.fd, binary ? "wb" : "w");
    if (!f) {
        ::close(tmp.fd);
        ::unlink(tmp.path.c_str());
        return nullptr;
    }
    // The rename replaces a link itself; the temporary is removed when it fails.
    if (!platform::replaceWithTemp(tmp.path, path)) {
        std::fclose(f);
        return nullptr;
    }
    return f;
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    std::FILE* f = createOutputFile(path, false);
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

int openOplFileForAppend() {
    const std::string& path = rayOutputState().oplFileName;
    if (path.empty()) return -1;
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void appendLittleEndianDouble(std::string& out, double value) {
    static_assert(sizeof(double) == 8, "the format's doubles are 8 bytes");
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>(static_cast<unsigned char>(bits >> (8 * i)));
}

void appendLittleEndianInt32(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(static_cast<unsigned char>(bits >> (8 * i)));
}
