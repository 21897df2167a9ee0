// What a batch program needs of the process around it: the three standard descriptors always
// open, termination signals that end the run in order, a closed output pipe that ends nothing,
// and a lock that keeps a second program out of a home directory.
#pragma once

#include <string>

namespace platform {

// Opens /dev/null on each of standard input, output and error that is closed, so that files the
// program opens later never take those numbers.
void ensureStandardDescriptors();

// SIGTERM and SIGHUP: the running command finishes, every macro is left (as after Escape) and
// terminationSignal() tells the driver to end the run; a second one ends the program at once.
// SIGPIPE is ignored: a write to a closed
// pipe fails with EPIPE instead of ending the program.
void installTerminationHandlers();
// The termination signal received (0 for none).
int terminationSignal();
// Forgets a received termination signal (tests).
void resetTerminationSignal();

// An advisory lock on the file `lockPath`, held while the object lives and released by the
// kernel when the process dies however it ends.
class FileLock {
  public:
    enum class Result { Locked, Busy, Failed };
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock without waiting (exclusive) or, with `wait`, waits for it. The lock file is
    // created when missing (never through a symbolic link) and left in place.
    Result acquire(const std::string& lockPath, bool wait);
    // Waits for the lock of a directory (the directory itself is locked, nothing is created).
    Result acquireDirectory(const std::string& directory);
    void release();
    bool held() const { return fd_ >= 0; }

  private:
    Result lockDescriptor(int fd, bool wait);
    int fd_ = -1;
};

} // namespace platform
