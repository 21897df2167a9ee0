#include "platform/safe_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40; // as the kernel's own limit on nested links

bool fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

mode_t currentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

std::optional<fs::path> replacementTarget(const fs::path& path, std::string* why) {
    fs::path at = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0) {
            if (errno == ENOENT) return at;
            fail(why, std::strerror(errno));
            return std::nullopt;
        }
        if (S_ISREG(st.st_mode)) return at;
        if (!S_ISLNK(st.st_mode)) {
            fail(why, "not a regular file");
            return std::nullopt;
        }
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        ssize_t n = ::readlink(at.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) {
            fail(why, n < 0 ? std::strerror(errno) : "link changed while read");
            return std::nullopt;
        }
        fs::path next(std::string(buffer.data(), static_cast<std::size_t>(n)));
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    fail(why, std::strerror(ELOOP));
    return std::nullopt;
}

TempFile makeTempBeside(const fs::path& target) {
    TempFile t;
    std::string name = "." + target.filename().string() + ".XXXXXX";
    std::string pattern = target.has_parent_path() ? (target.parent_path() / name).string() : name;
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return t;
    t.fd = fd;
    t.path = pattern;
    return t;
}

bool replaceWithTemp(const fs::path& temp, const fs::path& target, std::string* why) {
    struct stat st {};
    mode_t mode = 0666 & ~currentUmask();
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    if (::chmod(temp.c_str(), mode) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
        std::string reason = std::strerror(errno);
        ::unlink(temp.c_str());
        return fail(why, reason);
    }
    return true;
}

int openRegularDescriptor(const std::string& path, int flags, int mode) {
    int fd;
    // Non-blocking only for the open itself: a FIFO must not hold the program up.
    do {
        fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    if (!(flags & O_NONBLOCK)) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::FILE* openRegularForAppend(const std::string& path, bool readToo) {
    int flags = (readToo ? O_RDWR : O_WRONLY) | O_APPEND | O_CREAT;
    int fd = openRegularDescriptor(path, flags);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, readToo ? "a+" : "a");
    if (!f) {
        int saved = errno;
        ::close(fd);
        errno = saved;
    }
    return f;
}

std::FILE* openRegularForWrite(const std::string& path) {
    int fd = openRegularDescriptor(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "w");
    if (!f) {
        int saved = errno;
        ::close(fd);
        errno = saved;
    }
    return f;
}

bool removeRegularOrLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

} // namespace platform
