// Writing files without harming what is not ours: a file replaced through a temporary name and a
// rename lands only on a regular file (through a symbolic link, on the file the link names), and
// the data and log files are opened only as regular files, never through a link.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

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

// Removes `path` when it is a regular file or a symbolic link (the link itself); a device, FIFO,
// socket or directory of that name is left alone (false).
bool removeRegularOrLink(const std::string& path);

} // namespace platform
