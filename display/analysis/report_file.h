// An output file that appears whole or not at all: written under a temporary name beside the
// target and renamed over it at the end. It lands only on a regular file (through a symbolic
// link, on the file the link names); a device, FIFO or directory is never written.
#pragma once

#include <cstdio>
#include <string>

class ReportFile {
  public:
    ReportFile() = default;
    ~ReportFile(); // an uncommitted file is removed
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Opens the temporary file for `path`; false when the target may not be written or the
    // temporary cannot be made.
    bool open(const std::string& path, bool binary = false);
    std::FILE* stream() const { return stream_; }
    // Closes the temporary and renames it over the target; false when anything failed (the
    // temporary is then removed and the target left as it was).
    bool commit();
    // Removes the temporary without touching the target.
    void discard();

  private:
    std::FILE* stream_ = nullptr;
    std::string target_; // the file the rename replaces
    std::string temp_;
};

