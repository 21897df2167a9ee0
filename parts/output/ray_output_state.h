// The per-ray output files of the tracer: the chosen-ray file (text, or binary with its index
// file) and the optical-path file. The echo command opens, closes and configures them
// (RayOutputCommand); the tracer writes each chosen ray and each optical path through the
// state and the writers here.
//
// Binary chosen-ray files are little-endian whatever the host: doubles of 8 bytes, index
// offsets as 4-byte ints. The data file begins with one double, the format tag 1 + mode x 0.1.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Chosen-ray modes.
inline constexpr int kChosenShort = 1;
inline constexpr int kChosenFull = 2;
// Optical-path modes.
inline constexpr int kOplOff = 0;
inline constexpr int kOplShort = 1;
inline constexpr int kOplFull = 2;
inline constexpr int kOplPreWavefront = 3;

// Bytes the tracer adds to the record offset counter per written segment and per chosen ray
// (binary mode), and the counter's start: the header double.
inline constexpr int kChosenSegmentBytes = 40;
inline constexpr int kChosenTrailerBytes = 112;
inline constexpr int kChosenHeaderBytes = 8;

// The chosen rays wait in memory, whole, and go to the pair of files together once this many
// bytes wait, at the end of every trace and when the files close: a data file and its index
// always end on the same whole ray, and a disk that fills up leaves both as they were before.
inline constexpr std::size_t kChosenFlushBytes = 1 << 16;

struct RayOutputState {
    std::FILE* chosenFile = nullptr;      // chosen-ray data, null when closed
    std::FILE* chosenIndexFile = nullptr; // its index (binary mode only), null when closed
    std::string chosenName, chosenIndexName;
    std::string chosenPending, indexPending; // whole rays not written yet
    int chosenBinary = 0;
    int chosenMode = kChosenFull;
    // Byte offset in the data file where the next ray's trailer will start (binary mode).
    std::int32_t recordOffset = 0;
    int oplMode = kOplOff;
    std::string oplFileName;
    std::string oplPending; // the ray being written to the optical-path file
};

RayOutputState& rayOutputState();
// Closes the chosen-ray files and restores the load-time state.
void resetRayOutputState();

// Writes the waiting chosen rays to the pair of files. A pair that cannot take them whole is
// cut back to the rays it held before and closed, after "Unable to write %s\n" with the name
// of the file that failed; false then. True when nothing is open.
bool flushChosenRays();
// Flushes as above, closes both chosen-ray streams and marks them closed. Safe when closed;
// false when the last rays could not be written (said).
bool closeChosenRayFiles();
bool chosenRayFileOpen();

// The index file name of a binary data file: the last path component up to (not including) its
// last "." followed by ".ndx", in the same folder; a component without "." gives ".ndx".
std::string chosenIndexFileName(const std::string& dataName);

// Creates (or replaces) the file `path` for writing and returns the open stream, or null. The
// file is made under a temporary name in the same folder and renamed into place, so an existing
// link at `path` is replaced rather than followed; a path that names a directory, device or
// other non-regular file is refused.
std::FILE* createOutputFile(const std::string& path, bool binary);
// Writes `text` as the whole content of `path` the same way; false when it cannot.
bool writeWholeFile(const std::string& path, const std::string& text);
// Opens the optical-path file for appending one ray: its descriptor, or -1 when it is missing,
// not a regular file, or a link.
int openOplFileForAppend();

// Little-endian values of the binary chosen-ray format, appended to `out`.
void appendLittleEndianDouble(std::string& out, double value);
void appendLittleEndianInt32(std::string& out, std::int32_t value);
