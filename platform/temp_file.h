// Temporary files and path helpers.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Creates a new empty file from a pattern ending in "XXXXXX" inside `dir` (the current directory
// when empty) and returns its path; an empty path when it cannot be made.
std::filesystem::path makeTempFile(const std::string& pattern,
                                   const std::filesystem::path& dir = {});

// Joins a directory and a file name; an empty directory yields the name alone.
std::string joinPath(const std::string& dir, const std::string& name);

// The current working directory as text (empty when it cannot be read).
std::string currentDirectory();

} // namespace platform
