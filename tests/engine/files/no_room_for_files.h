// A file that can grow no further (as on a full disk): while one lives, writes to regular files
// fail under a file-size limit of 0 (SIGXFSZ ignored, so the write returns an error instead).
#pragma once

#include <csignal>

#include <sys/resource.h>

namespace testsupport {

class NoRoomForFiles {
  public:
    NoRoomForFiles() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoRoomForFiles() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    NoRoomForFiles(const NoRoomForFiles&) = delete;
    NoRoomForFiles& operator=(const NoRoomForFiles&) = delete;

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

} // namespace testsupport
