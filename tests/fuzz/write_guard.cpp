// The replaced entry points call the C library's own through dlsym(RTLD_NEXT) and refuse only
// while the guard is armed; reads always pass.
#undef _FORTIFY_SOURCE
#include "tests/fuzz/write_guard.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct GuardState {
    std::string root; // armed when not empty
    std::size_t refused = 0;
    std::set<std::string> reported;
};
GuardState& state() {
    static GuardState s;
    return s;
}

bool under(const std::string& path, const std::string& dir) {
    if (dir.empty()) return false;
    if (path == dir) return true;
    return path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 &&
           (dir.back() == '/' || path[dir.size()] == '/');
}

std::string resolve(int dirfd, const char* path) {
    if (!path) return {};
    fs::path p(path);
    if (p.is_relative()) {
        fs::path base;
        if (dirfd == AT_FDCWD) {
            char buf[4096];
            if (::getcwd(buf, sizeof buf)) base = buf;
        } else {
            char link[64], buf[4096];
            std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
            ssize_t n = ::readlink(link, buf, sizeof buf - 1);
            if (n > 0) base = std::string(buf, static_cast<std::size_t>(n));
        }
        p = base / p;
    }
    std::string text = p.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool allowedByEnvironment(const std::string& path) {
    const char* allow = std::getenv("MERIDYN_FUZZ_ALLOW");
    if (!allow) return false;
    std::string list = allow;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        while (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        if (!dir.empty() && under(path, dir)) return true;
        start = end + 1;
    }
    return false;
}

// True when a write to `path` may go ahead; otherwise errno is EACCES and the path is noted.
bool permit(int dirfd, const char* path) {
    GuardState& s = state();
    if (s.root.empty()) return true;
    std::string full = resolve(dirfd, path);
    if (under(full, s.root) || allowedByEnvironment(full)) return true;
    ++s.refused;
    if (s.reported.size() < 64 && s.reported.insert(full).second)
        std::fprintf(stderr, "write-guard: refused a write outside the scratch directory: %s\n",
                     full.c_str());
    errno = EACCES;
    return false;
}

bool writesFile(const char* mode) {
    return mode && std::strpbrk(mode, "wa+") != nullptr;
}
bool writesFile(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0;
}

template <typename F> F real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

namespace writeguard {
void arm(const std::string& directory) {
    state().root = directory;
    while (state().root.size() > 1 && state().root.back() == '/')
        state().root.pop_back();
}
void disarm() {
    state().root.clear();
}
std::size_t refusedCount() {
    return state().refused;
}
} // namespace writeguard

extern "C" {

FILE* fopen(const char* path, const char* mode) {
    static auto next = real<FILE* (*)(const char*, const char*)>("fopen");
    if (writesFile(mode) && !permit(AT_FDCWD, path)) return nullptr;
    return next(path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    static auto next = real<FILE* (*)(const char*, const char*)>("fopen64");
    if (writesFile(mode) && !permit(AT_FDCWD, path)) return nullptr;
    return next(path, mode);
}
FILE* freopen(const char* path, const char* mode, FILE* stream) {
    static auto next = real<FILE* (*)(const char*, const char*, FILE*)>("freopen");
    if (path && writesFile(mode) && !permit(AT_FDCWD, path)) return nullptr;
    return next(path, mode, stream);
}
FILE* freopen64(const char* path, const char* mode, FILE* stream) {
    static auto next = real<FILE* (*)(const char*, const char*, FILE*)>("freopen64");
    if (path && writesFile(mode) && !permit(AT_FDCWD, path)) return nullptr;
    return next(path, mode, stream);
}

#define MERIDYN_GUARD_OPEN(NAME)                                                                   \
    int NAME(const char* path, int flags, ...) {                                                   \
        static auto next = real<int (*)(const char*, int, ...)>(#NAME);                            \
        mode_t mode = 0;                                                                           \
        if (flags & (O_CREAT | O_TMPFILE)) {                                                       \
            va_list ap;                                                                            \
            va_start(ap, flags);                                                                   \
            mode = static_cast<mode_t>(va_arg(ap, int));                                           \
            va_end(ap);                                                                            \
        }                                                                                          \
        if (writesFile(flags) && !permit(AT_FDCWD, path)) return -1;                               \
        return next(path, flags, mode);                                                            \
    }
MERIDYN_GUARD_OPEN(open)
MERIDYN_GUARD_OPEN(open64)
#undef MERIDYN_GUARD_OPEN

#define MERIDYN_GUARD_OPENAT(NAME)                                                                 \
    int NAME(int dirfd, const char* path, int flags, ...) {                                        \
        static auto next = real<int (*)(int, const char*, int, ...)>(#NAME);                       \
        mode_t mode = 0;                                                                           \
        if (flags & (O_CREAT | O_TMPFILE)) {                                                       \
            va_list ap;                                                                            \
            va_start(ap, flags);                                                                   \
            mode = static_cast<mode_t>(va_arg(ap, int));                                           \
            va_end(ap);                                                                            \
        }                                                                                          \
        if (writesFile(flags) && !permit(dirfd, path)) return -1;                                  \
        return next(dirfd, path, flags, mode);                                                     \
    }
MERIDYN_GUARD_OPENAT(openat)
MERIDYN_GUARD_OPENAT(openat64)
#undef MERIDYN_GUARD_OPENAT

int creat(const char* path, mode_t mode) {
    static auto next = real<int (*)(const char*, mode_t)>("creat");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path, mode);
}
int creat64(const char* path, mode_t mode) {
    static auto next = real<int (*)(const char*, mode_t)>("creat64");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path, mode);
}
int mkdir(const char* path, mode_t mode) {
    static auto next = real<int (*)(const char*, mode_t)>("mkdir");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path, mode);
}
int mkdirat(int dirfd, const char* path, mode_t mode) {
    static auto next = real<int (*)(int, const char*, mode_t)>("mkdirat");
    if (!permit(dirfd, path)) return -1;
    return next(dirfd, path, mode);
}
int rmdir(const char* path) {
    static auto next = real<int (*)(const char*)>("rmdir");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path);
}
int unlink(const char* path) {
    static auto next = real<int (*)(const char*)>("unlink");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path);
}
int unlinkat(int dirfd, const char* path, int flags) {
    static auto next = real<int (*)(int, const char*, int)>("unlinkat");
    if (!permit(dirfd, path)) return -1;
    return next(dirfd, path, flags);
}
int remove(const char* path) {
    static auto next = real<int (*)(const char*)>("remove");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path);
}
int rename(const char* from, const char* to) {
    static auto next = real<int (*)(const char*, const char*)>("rename");
    if (!permit(AT_FDCWD, from) || !permit(AT_FDCWD, to)) return -1;
    return next(from, to);
}
int renameat(int fromfd, const char* from, int tofd, const char* to) {
    static auto next = real<int (*)(int, const char*, int, const char*)>("renameat");
    if (!permit(fromfd, from) || !permit(tofd, to)) return -1;
    return next(fromfd, from, tofd, to);
}
int truncate(const char* path, off_t length) {
    static auto next = real<int (*)(const char*, off_t)>("truncate");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(path, length);
}
int symlink(const char* target, const char* path) {
    static auto next = real<int (*)(const char*, const char*)>("symlink");
    if (!permit(AT_FDCWD, path)) return -1;
    return next(target, path);
}
int link(const char* from, const char* to) {
    static auto next = real<int (*)(const char*, const char*)>("link");
    if (!permit(AT_FDCWD, to)) return -1;
    return next(from, to);
}
// mkstemp and its kin open the file inside the C library, past the open above.
int mkstemp(char* pattern) {
    static auto next = real<int (*)(char*)>("mkstemp");
    if (!permit(AT_FDCWD, pattern)) return -1;
    return next(pattern);
}
int mkstemp64(char* pattern) {
    static auto next = real<int (*)(char*)>("mkstemp64");
    if (!permit(AT_FDCWD, pattern)) return -1;
    return next(pattern);
}
int mkostemp(char* pattern, int flags) {
    static auto next = real<int (*)(char*, int)>("mkostemp");
    if (!permit(AT_FDCWD, pattern)) return -1;
    return next(pattern, flags);
}
char* mkdtemp(char* pattern) {
    static auto next = real<char* (*)(char*)>("mkdtemp");
    if (!permit(AT_FDCWD, pattern)) return nullptr;
    return next(pattern);
}

} // extern "C"
