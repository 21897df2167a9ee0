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

struct RayOutputState {
    std::FILE* chosenFile = nullptr;      // chosen-ray data, null when closed
    std::FILE* chosenIndexFile = nullptr; // its index (binary mode only), null when closed
    int chosenBinary = 0;
    int chosenMode = kChosenFull;
    // Byte offset in the data file where the next ray's trailer will start (binary mode).
    std::int32_t recordOffset = 0;
    int oplMode = kOplOff;
    std::string oplFileName;
};

RayOutputState& rayOutputState();
// Closes the chosen-ray files and restores the load-time state.
void resetRayOutputState();

// Flushes and closes both chosen-ray streams and marks them closed. Safe when closed.
void closeChosenRayFiles();
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
// Opens the optical-path file for appending one ray; null when it is missing, not a regular
// file, or a link.
std::FILE* openOplFileForAppend();

// Little-endian writers of the binary chosen-ray format; false when the write failed.
bool writeLittleEndianDouble(std::FILE* stream, double value);
bool writeLittleEndianInt32(std::FILE* stream, std::int32_t value);
