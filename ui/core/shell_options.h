// The command line of the windowed program, the lock on its home directory and the recent-file
// list it keeps in the settings file.
#pragma once

#include "platform/run_control.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ShellOptions {
    std::string home; // empty: the current directory
    std::string file; // the file to open after start-up
    bool help = false;
};
// nullopt with `error` set for an unknown option, a missing value or a second FILE.
std::optional<ShellOptions> parseShellOptions(const std::vector<std::string>& args,
                                              std::string& error);
inline constexpr const char* kShellUsage = "usage: meridyn [--home DIR] [FILE]";

// One running program per home directory: an advisory lock on a file in it, held until the
// object dies (or the process ends).
class HomeLock {
  public:
    // False when another program holds the home (or the lock file cannot be made).
    bool acquire(const std::filesystem::path& home);

  private:
    platform::FileLock lock_;
};
inline constexpr const char* kTooManyCaption = "Error: Too many MERIDYN executables.";
std::string homeInUseText(const std::string& home);

// The four most recent files, newest first, in section "Recent File List" of the settings file.
class RecentFiles {
  public:
    static constexpr int kCount = 4;
    void load(const std::filesystem::path& iniPath);
    bool save(const std::filesystem::path& iniPath) const;
    // Puts the path first (an entry naming the same file moves up).
    void add(const std::string& path);
    void remove(const std::string& path);
    const std::vector<std::string>& entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
};
