// The binary results of a trace: "rays.dat" (the polyline of every ray path), "spots.dat" (one
// record per ray that ends on a detector) and the input "reemit.dat" (spot records to re-emit).
// Each file is a plain run of packed little-endian records with no header; a reader reads until
// a short read. Writers and readers buffer; records cross the file boundary whole.
#pragma once

#include <cstdint>
#include <string>

#include "command/messages/messages.h"
#include "engine/model/object_table.h"

inline constexpr int kRayRecordBytes = 28;
inline constexpr int kSpotRecordBytes = 68;
inline constexpr int kWavelengthCount = 12;

// Flags of a ray point: a path starts at any flag above 0 (the tracers write the wavelength
// index + 1 there), 0 continues the path, -1 is the far end of a ray that leaves the system.
inline constexpr int kRayFlagPathStart = 1;
inline constexpr int kRayFlagNext = 0;
inline constexpr int kRayFlagFarPoint = -1;

// rays.dat: flag (int32, offset 0), x, y, z (doubles, offsets 4, 12, 20), global coordinates.
struct RayPointRecord {
    std::int32_t flag = 0;
    Vec3 point;
};

// spots.dat and reemit.dat: local point (0), energy (24), object number (32), surface number
// (36), local unit direction (40), wavelength index (64).
struct SpotRecord {
    Vec3 point;
    double energy = 0;
    std::int32_t objectNumber = 0;
    std::int32_t surfaceNumber = 0;
    Vec3 direction;
    std::int32_t wavelengthIndex = 0;
};
using ReemitRecord = SpotRecord;

void encodeRayRecord(const RayPointRecord& record, unsigned char out[kRayRecordBytes]);
RayPointRecord decodeRayRecord(const unsigned char in[kRayRecordBytes]);
void encodeSpotRecord(const SpotRecord& record, unsigned char out[kSpotRecordBytes]);
// Decodes the first 64 bytes; the wavelength index only when all 68 are there (else 0).
SpotRecord decodeSpotRecord(const unsigned char* in, int byteCount);

// The last spot written, kept for the bundle tracer.
struct LastSpot {
    Vec3 globalPoint;
    Vec3 localPoint;
    double energy = 0;
    Vec3 localDirection;
};

// One open data file with its buffers. Go through the functions below; never close `handle`
// directly or buffered records are lost.
struct DataFile {
    int handle = -1;
    unsigned char* writeBuffer = nullptr; // allocated once per file, kept across opens
    std::size_t writeUsed = 0;
    unsigned char* readBuffer = nullptr;
    std::size_t readPos = 0, readLen = 0;
    DataFile() = default;
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;
    ~DataFile();
};

struct RayFileState {
    DataFile rays, spots, reemit;
    int farPointMarker = 0;  // 1 when the last ray record read had flag -1
    int wavelengthIndex = 0; // written into every spot, replaced by every complete spot read
    LastSpot lastSpot;
    long outputGeneration = 0; // counts the openings of rays.dat and spots.dat for writing
};

RayFileState& rayFileState();
// Closes the three files (writing what is buffered) and restores the load-time values.
void resetRayFiles();

inline int& rayFileHandle = rayFileState().rays.handle;
inline int& spotFileHandle = rayFileState().spots.handle;
inline int& reemitFileHandle = rayFileState().reemit.handle;
inline int& farPointMarker = rayFileState().farPointMarker;
inline int& wavelengthIndex = rayFileState().wavelengthIndex;

// Full paths in the home directory.
std::string rayFilePath();
std::string spotFilePath();
std::string reemitFilePath();

enum class OpenMode { Append, Truncate, Create };
// Opens a file read/write with append (plus truncate or create). Returns the handle, -1 on
// failure.
int openDataHandle(const std::string& path, OpenMode mode);

// rays.dat in append mode for reading; the handle, -1 on failure (no message).
int openRayFile();
// rays.dat or spots.dat for a trace: append or truncate, created when missing.
int openRayOutput(int append);
int openSpotOutput(int append);
// Close a file, writing out what is buffered; the handle becomes -1. Returns 0 when the final
// write failed (the caller reports it as a failed record write), else 1.
int closeRayFile();
int closeSpotFile();
int closeReemitFile();
// Delete a file after its writer has flushed.
void deleteRayFile();
void deleteSpotFile();

// Sets errorFlag to 1 when the record did not go out; a good record leaves it alone.
void writeRayRecord(int flag, const Vec3& point, int& errorFlag);
// The closing point of a ray that leaves the system, `distance` along the unit direction from
// `point`: at most 1e200 away (the angular analysis sums these lengths), and nearer still when
// the point would be no finite number, so that rays.dat holds only numbers.
Vec3 farRayPoint(const Vec3& point, const Vec3& direction, double distance);
// 1 and the record; a far point comes back as flag 0 with farPointMarker 1. At the end of the
// file (fewer than 28 bytes) the file is closed and the result is 0.
int readRayRecord(int& flag, Vec3& point);

// Writes the spot of a ray ending on `surface` at globalPoint: the point in the surface frame,
// the owner's number, the surface number, the local direction and wavelengthIndex.
void writeSpotRecord(const Vec3& globalPoint, double energy, const SurfaceRecord* surface,
                     int& errorFlag, const Vec3& localDirection);
// The unit direction in the surface's frame; 0 and nothing written without a surface.
int localRayDirection(const SurfaceRecord* surface, const Vec3& point, const Vec3& direction,
                      Vec3& out);
// The byte count when more than 63 bytes came, else closes spots.dat and returns 0.
int readSpotRecord(Vec3& point, double& energy, int& objectNumber, int& surfaceNumber,
                   Vec3& direction);
int readSpotPoint(Vec3& point, double& energy, int& objectNumber, int& surfaceNumber);
// spots.dat for reading only (the analyses): the handle, -1 when it does not exist or cannot be
// opened. Never creates the file.
int openSpotFileForReading();
// 1 when spots.dat exists and opens; never creates it.
int spotFileAvailable();

// reemit.dat in append mode; on failure the error " Error opening ReEmit data file." and -1.
int openReemitFile();
// `wavelengthHeld` (optional) tells whether the record carried its own wavelength index, one of
// the twelve slots; otherwise the current index stays that of an earlier record.
int readReemitRecord(Vec3& point, double& energy, int& objectNumber, int& surfaceNumber,
                     Vec3& direction, bool* wavelengthHeld = nullptr);
