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

ReplacementFile::~ReplacementFile() {
    discard();
}

bool ReplacementFile::open(const fs::path& path, bool binary, Links links, std::string* why) {
    discard();
    if (path.empty() || path.filename().empty()) return fail(why, "no file name");
    std::optional<fs::path> target;
    if (links == Links::Follow) {
        target = replacementTarget(path, why);
    } else {
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 ? S_ISREG(st.st_mode) : errno == ENOENT)
            target = path;
        else
            fail(why, S_ISLNK(st.st_mode) ? "a symbolic link" : "not a regular file");
    }
    if (!target) return false;
    const TempFile temp = makeTempBeside(*target);
    if (temp.fd < 0) return fail(why, std::strerror(errno));
    stream_ = ::fdopen(temp.fd, binary ? "wb" : "w");
    if (!stream_) {
        const int error = errno;
        ::close(temp.fd);
        ::unlink(temp.path.c_str());
        return fail(why, std::strerror(error));
    }
    target_ = *target;
    temp_ = temp.path;
    return true;
}

bool ReplacementFile::commit(bool durable, std::string* why) {
    if (!stream_) return fail(why, "not open");
    errno = 0;
    bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    if (ok && durable) ok = ::fsync(fileno(stream_)) == 0;
    int error = errno;
    if (std::fclose(stream_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    stream_ = nullptr;
    const fs::path temp = temp_;
    temp_.clear();
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(why, std::strerror(error != 0 ? error : EIO));
    }
    // The replacement checks the target again and removes the temporary file when it fails.
    return replaceWithTemp(temp, target_, why);
}

void ReplacementFile::discard() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool replaceFileContents(const fs::path& path, std::string_view bytes, bool durable,
                         std::string* why, ReplacementFile::Links links) {
    ReplacementFile file;
    if (!file.open(path, true, links, why)) return false;
    // A short write leaves its error on the stream, where the commit sees it.
    std::fwrite(bytes.data(), 1, bytes.size(), file.stream());
    return file.commit(durable, why);
}

void cutBack(int fd, off_t size) {
    const int cut = ::ftruncate(fd, size);
    (void)cut; // nothing more can be done about a file that cannot even shrink
    // A descriptor not opened for appending writes at its offset: no hole before the next one.
    ::lseek(fd, size, SEEK_SET);
}

bool appendWholeRecords(int fd, const void* bytes, std::size_t count, off_t* sizeBefore) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    if (sizeBefore) *sizeBefore = st.st_size;
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, p + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            // A record cut in two would spoil every record appended after it.
            if (done > 0) cutBack(fd, st.st_size);
            errno = error;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::FILE* openRegularForRead(const std::string& path, bool binary) {
    int fd;
    // Non-blocking only for the open itself: a FIFO must not hold the program up.
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, binary ? "rb" : "r");
    if (!f) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
    }
    return f;
}

ReadFailure readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text) {
    text.clear();
    std::FILE* f = openRegularForRead(path, true);
    if (!f) return errno == EINVAL ? ReadFailure::NotRegular : ReadFailure::Unopened;
    struct stat st {};
    ReadFailure result = ReadFailure::None;
    if (::fstat(fileno(f), &st) != 0) {
        result = ReadFailure::ReadError;
    } else if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        result = ReadFailure::TooLarge;
    } else {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
            text.append(buffer, n);
            // The file may grow while it is read.
            if (text.size() > maxBytes) {
                result = ReadFailure::TooLarge;
                break;
            }
        }
        if (result == ReadFailure::None && std::ferror(f)) result = ReadFailure::ReadError;
    }
    std::fclose(f);
    if (result != ReadFailure::None) text.clear();
    return result;
}

bool removeRegularOrLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

} // namespace platform
