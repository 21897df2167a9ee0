#include "platform/run_control.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/console_hooks.h"

namespace platform {

namespace {
volatile std::sig_atomic_t receivedTermination = 0;

void onTermination(int signal) {
    // A second request while the first is still unheeded (a loop that never polls Escape) ends
    // the program the default way.
    if (receivedTermination != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    receivedTermination = signal;
    requestConsoleEscape();
}
} // namespace

void ensureStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is taken, which is this one.
        int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

void installTerminationHandlers() {
    struct sigaction sa {};
    sa.sa_handler = onTermination;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a blocked console read returns so the driver can end
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

int terminationSignal() {
    return receivedTermination;
}

void resetTerminationSignal() {
    receivedTermination = 0;
}

FileLock::~FileLock() {
    release();
}

FileLock::Result FileLock::acquire(const std::string& lockPath, bool wait) {
    release();
    int fd;
    do {
        fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    return lockDescriptor(fd, wait);
}

FileLock::Result FileLock::acquireDirectory(const std::string& directory) {
    release();
    int fd;
    do {
        fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return lockDescriptor(fd, true);
}

FileLock::Result FileLock::lockDescriptor(int fd, bool wait) {
    if (fd < 0) return Result::Failed;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::Busy : Result::Failed;
    }
    fd_ = fd;
    return Result::Locked;
}

void FileLock::release() {
    if (fd_ < 0) return;
    ::close(fd_); // closing the only descriptor drops the lock
    fd_ = -1;
}

} // namespace platform
