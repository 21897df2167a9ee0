// Writing files without harming what is not ours: a file replaced through a temporary name and a
// rename lands only on a regular file (through a symbolic link, on the file the link names), and
// the data and log files are opened only as regular files, never through a link.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// The file that replacing `path` must replace: `path` itself when it is missing or a regular file;
// for a symbolic link the file it names (followed to its end), which again must be missing or
// regular. Anything else (device, FIFO, directory, socket, a loop of links) gives nothing and
// `why` says so.
std::optional<std::filesystem::path> replacementTarget(const std::filesystem::path& path,
                                                       std::string* why = nullptr);

// A new private temporary file beside `target` (same directory, so that the rename stays on one
// file system): its open descriptor and its path; descriptor -1 when none can be made.
struct TempFile {
    int fd = -1;
    std::filesystem::path path;
};
TempFile makeTempBeside(const std::filesystem::path& target);

// Gives the finished temporary file the permission bits of `target` (the usual 0666 less the
// umask when `target` is missing) and renames it over `target`. The temporary file is removed
// when this fails; `why` says why.
bool replaceWithTemp(const std::filesystem::path& temp, const std::filesystem::path& target,
                     std::string* why = nullptr);

// Opens `path` for appending (`readToo`: also for reading), created when missing, without
// following a symbolic link and only when it is a regular file: nullptr otherwise, with errno
// set (ELOOP for a link, EINVAL for a file that is not regular, ENXIO for a FIFO nobody reads).
std::FILE* openRegularForAppend(const std::string& path, bool readToo = false);

// Opens `path` for writing from its start (created when missing, emptied when there), without
// following a symbolic link and only as a regular file: nullptr otherwise, errno as above.
std::FILE* openRegularForWrite(const std::string& path);

// open(2) of a data file with O_NOFOLLOW added; a file that turns out not to be regular is
// closed again and gives -1 with errno EINVAL.
int openRegularDescriptor(const std::string& path, int flags, int mode = 0666);

// A file that appears whole or not at all: written under a temporary name beside its target
// and renamed over it by commit, only when every write, the flush and the close went through.
// The target is `path` as replacementTarget finds it (a link is followed; a device, FIFO or
// directory is never written), or, for files that never go through a link, `path` itself when
// it is missing or a regular file. An uncommitted file is removed and any old target stays
// exactly as it was.
class ReplacementFile {
  public:
    ReplacementFile() = default;
    ~ReplacementFile(); // an uncommitted file is removed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Opens the temporary file for `path` (any file open before is discarded); false when the
    // target may not be written or no temporary can be made, `why` says which.
    enum class Links { Follow, Refuse };
    bool open(const std::filesystem::path& path, bool binary = false, Links links = Links::Follow,
              std::string* why = nullptr);
    std::FILE* stream() const { return stream_; }
    bool isOpen() const { return stream_ != nullptr; }
    // The file the rename replaces (empty while closed).
    const std::filesystem::path& target() const { return target_; }
    // Checks the stream's error, flushes (and with `durable` syncs) and closes it, then renames
    // the temporary over the target. False when anything failed: the temporary is then removed
    // and the target left as it was.
    bool commit(bool durable = false, std::string* why = nullptr);
    // Removes the temporary without touching the target.
    void discard();

  private:
    std::FILE* stream_ = nullptr;
    std::filesystem::path target_;
    std::filesystem::path temp_;
};

// Replaces `path` with `bytes` through a ReplacementFile.
bool replaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         bool durable = false, std::string* why = nullptr,
                         ReplacementFile::Links links = ReplacementFile::Links::Follow);

// Appends `count` bytes, which end on a record, to the file open on `fd`. When they do not all
// go out (a full disk), the file is cut back to the size it had before, so that it still ends
// on its last whole record; errno then says why. `sizeBefore` receives that size, so that a
// companion file can be cut back with it.
bool appendWholeRecords(int fd, const void* bytes, std::size_t count, off_t* sizeBefore = nullptr);

// Cuts the file open on `fd` back to `size` bytes (a companion of a file that failed), so that
// the next write continues there.
void cutBack(int fd, off_t size);

// Opens `path` for reading when it is a regular file (a link is followed to it), without ever
// waiting for the writer of a FIFO: nullptr otherwise, errno EINVAL for a file that is not
// regular.
std::FILE* openRegularForRead(const std::string& path, bool binary = false);

// Why a whole file could not be read.
enum class ReadFailure { None, Unopened, NotRegular, TooLarge, ReadError };
// Reads the regular file `path` whole into `text`, when it holds at most `maxBytes`.
ReadFailure readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text);

// Removes `path` when it is a regular file or a symbolic link (the link itself); a device, FIFO,
// socket or directory of that name is left alone (false).
bool removeRegularOrLink(const std::string& path);

} // namespace platform
