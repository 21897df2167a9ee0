#include "ui/core/history_model.h"

#include <cstdio>
#include <sys/stat.h>

#include "platform/safe_file.h"

std::vector<std::string> splitHistoryPieces(std::string_view text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && end - pos < kHistoryPieceChars && text[end] != '\n')
            ++end;
        out.emplace_back(text.substr(pos, end - pos));
        if (end < text.size() && text[end] == '\n' && end - pos < kHistoryPieceChars) ++end;
        pos = end;
    }
    return out;
}

void HistoryModel::reset() {
    pieces_.clear();
    base_ = 0;
    total_ = 0;
    offset_ = 0;
    device_ = inode_ = 0;
    openPiece_ = false;
}

bool HistoryModel::readFrom(std::FILE* f, std::uint64_t device, std::uint64_t inode) {
    struct stat st {};
    if (fstat(fileno(f), &st) != 0) return false;
    // A different or shorter file than the one read before: start again from its beginning.
    if (device != device_ || inode != inode_ || st.st_size < offset_) {
        reset();
        device_ = device;
        inode_ = inode;
    }
    if (openPiece_) {
        pieces_.pop_back();
        --total_;
        openPiece_ = false;
    }
    if (std::fseek(f, static_cast<long>(offset_), SEEK_SET) != 0) return false;
    // What the file gained, read in blocks and split in memory.
    std::string data;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0)
        data.append(block, got);
    const std::int64_t origin = offset_;
    const std::size_t n = data.size();
    std::size_t i = 0, start = 0;
    auto finish = [&](std::size_t length) {
        pieces_.emplace_back(data, start, length);
        ++total_;
    };
    while (i < n) {
        if (data[i] == '\n') {
            finish(i - start);
            start = ++i;
            offset_ = origin + static_cast<std::int64_t>(i);
            continue;
        }
        if (++i - start < kHistoryPieceChars) continue;
        // A full piece ends here; a newline right after it starts an empty piece.
        finish(kHistoryPieceChars);
        start = i;
        offset_ = origin + static_cast<std::int64_t>(i);
        if (i < n && data[i] == '\n') {
            pieces_.emplace_back();
            ++total_;
            start = ++i;
            offset_ = origin + static_cast<std::int64_t>(i);
        }
    }
    if (start < n) {
        finish(n - start);
        openPiece_ = true;
    }
    return true;
}

bool HistoryModel::reload(const std::filesystem::path& path, int& screenLineCount) {
    entries_.clear();
    std::FILE* f = platform::openRegularForRead(path);
    if (!f) {
        reset();
        return false;
    }
    struct stat st {};
    fstat(fileno(f), &st);
    const long skip = static_cast<long>(screenLineCount) - kHistoryKeptLines;
    // Pieces dropped earlier are needed again (the count went back): read the file whole.
    if (skip < base_) reset();
    bool ok = readFrom(f, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino));
    std::fclose(f);
    if (!ok) {
        reset();
        return false;
    }
    const long from = skip > base_ ? skip : base_;
    firstPiece_ = from;
    for (long i = from; i < total_; ++i)
        entries_.push_back(pieces_[static_cast<std::size_t>(i - base_)]);
    screenLineCount = static_cast<int>(total_);
    // The next reload skips at least total - 200 pieces; older ones are never shown again.
    while (base_ < total_ - kHistoryKeptLines && !pieces_.empty()) {
        pieces_.pop_front();
        ++base_;
    }
    const int count = static_cast<int>(entries_.size());
    linesAdded_ = count - linesShown_;
    linesShown_ = count;
    return true;
}

void HistoryModel::addLine(const std::string& text) {
    entries_.push_back(text);
}
