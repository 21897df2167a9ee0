// A guard on the file system for fuzz targets that run the whole interpreter: while it is armed,
// every call that creates, changes or removes a file outside one directory is refused (EACCES)
// and noted, so that no fuzz input can write anywhere but its scratch directory.
//
// The guard replaces the C library's file entry points (fopen, open, rename, unlink, mkdir, ...)
// in the program it is linked into. Paths named in MERIDYN_FUZZ_ALLOW (colon-separated
// directories) stay writable while armed, so the fuzzer can still save a crashing input there.
#pragma once

#include <cstddef>
#include <string>

namespace writeguard {

// Arms the guard for `directory` (absolute); an empty string disarms it.
void arm(const std::string& directory);
void disarm();
// Writes refused since the start of the program.
std::size_t refusedCount();

} // namespace writeguard
