// The command line of the windowed program, the refusal of a second program on its home and
// the recent-file list it keeps in the settings file.
#pragma once

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

// The box that refuses a second program on a home (the lock is ProgramHome's).
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
