// The history list of the command bar: the last lines of the screen text, read back from
// screen.out in the pieces the list shows. Reading is incremental: a reload reads only what the
// file gained since the last one (an unfinished last line is read again), yet yields exactly the
// list a full re-read gives.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Lines of the list kept before the line count of the previous reload.
inline constexpr int kHistoryKeptLines = 200;
// Longest piece of a line; a longer line yields several entries.
inline constexpr std::size_t kHistoryPieceChars = 127;

// Splits screen text into list pieces: each ends after a newline (which is dropped) or after
// 127 characters. A line of exactly 127 characters is followed by an empty piece.
std::vector<std::string> splitHistoryPieces(std::string_view text);

class HistoryModel {
  public:
    // Refills the list from the file: the pieces from (screenLineCount - 200) on. screenLineCount
    // becomes the number of pieces in the file. When the file cannot be opened the list is empty
    // and the count is left alone; false then.
    bool reload(const std::filesystem::path& path, int& screenLineCount);
    // One more entry that no file holds (until the next reload empties the list).
    void addLine(const std::string& text);
    // Forgets everything read (the file was replaced).
    void reset();

    const std::vector<std::string>& entries() const { return entries_; }
    // The piece number of the first entry (entries added since the reload have none).
    long firstPiece() const { return firstPiece_; }
    int linesShown() const { return linesShown_; }
    int linesAdded() const { return linesAdded_; }

  private:
    bool readFrom(std::FILE* f, std::uint64_t device, std::uint64_t inode);

    std::vector<std::string> entries_;
    std::deque<std::string> pieces_; // pieces_[0] is piece number base_ of the file
    long base_ = 0;
    long total_ = 0;            // pieces in the file at the last reload
    std::int64_t offset_ = 0;   // file offset just after the last finished piece
    std::uint64_t device_ = 0, inode_ = 0;
    bool openPiece_ = false;
    long firstPiece_ = 0;    // the last piece of pieces_ is unfinished (read again next time)
    int linesShown_ = 0;
    int linesAdded_ = 0;
};
