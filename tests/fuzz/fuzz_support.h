// What the fuzz targets share: quiet platform hooks, a private scratch directory and the
// writing of an input to a file.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/platform_hooks.h"

namespace fuzzsupport {

// Quiet hooks: boxes are dropped, questions take their default, Escape comes after a number of
// polls so that a runaway input ends.
class QuietHooks : public platform::PlatformHooks {
  public:
    explicit QuietHooks(long pollsBeforeEscape) : pollsBeforeEscape_(pollsBeforeEscape) {}
    long polls = 0;
    void messageBox(const std::string&, const std::string&, platform::BoxIcon) override {}
    bool askYesNo(const std::string&, const std::string&, bool defaultYes) override {
        return defaultYes;
    }
    void beep() override {}
    bool escapePending() override { return ++polls % pollsBeforeEscape_ == 0; }

  private:
    long pollsBeforeEscape_;
};

namespace detail {
inline std::string& scratchPath() {
    static std::string path;
    return path;
}
inline void (*&beforeRemove())() {
    static void (*hook)() = nullptr;
    return hook;
}
inline void removeScratchDirectory() {
    if (beforeRemove()) beforeRemove()();
    std::error_code ec;
    if (!scratchPath().empty()) std::filesystem::remove_all(scratchPath(), ec);
}
} // namespace detail

// Made once per process from `pattern` (ending in XXXXXX) in the temporary directory: it becomes
// the working directory, standard input reads /dev/null, and it is removed at exit (after
// `beforeRemove`, when given).
inline const std::string& scratchDirectory(const char* pattern, void (*beforeRemove)() = nullptr) {
    static const std::string dir = [&] {
        std::string path = (std::filesystem::temp_directory_path() / pattern).string();
        if (!mkdtemp(path.data())) std::abort();
        if (chdir(path.c_str()) != 0) std::abort();
        detail::scratchPath() = path;
        detail::beforeRemove() = beforeRemove;
        if (!std::freopen("/dev/null", "r", stdin)) std::abort();
        std::atexit(detail::removeScratchDirectory);
        return path;
    }();
    return dir;
}

// Writes the input `text` to `path` as it is; a file that cannot be made is left out.
inline void writeInput(const std::string& path, const std::string& text) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

} // namespace fuzzsupport
