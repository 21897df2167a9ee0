#include "engine/files/ray_files.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/surfaces/surface_geometry.h"
#include "platform/safe_file.h"
#include "platform/temp_file.h"

namespace {
constexpr std::size_t kBufferBytes = 1 << 16;

// Little-endian on any host.
void putU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void putU64(unsigned char* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t getU32(const unsigned char* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}
std::uint64_t getU64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}
void putInt(unsigned char* p, std::int32_t v) {
    putU32(p, static_cast<std::uint32_t>(v));
}
void putDouble(unsigned char* p, double v) {
    putU64(p, std::bit_cast<std::uint64_t>(v));
}
std::int32_t getInt(const unsigned char* p) {
    return static_cast<std::int32_t>(getU32(p));
}
double getDouble(const unsigned char* p) {
    return std::bit_cast<double>(getU64(p));
}
void putVec(unsigned char* p, const Vec3& v) {
    putDouble(p, v.x);
    putDouble(p + 8, v.y);
    putDouble(p + 16, v.z);
}
Vec3 getVec(const unsigned char* p) {
    return {getDouble(p), getDouble(p + 8), getDouble(p + 16)};
}

// Writes the whole buffer, which holds whole records only; false on any failure (the buffered
// records are then lost, and the file is cut back to the last record it held whole, so that a
// later trace that adds rays appends to a sound file).
bool flushWrites(DataFile& f) {
    const bool ok = platform::appendWholeRecords(f.handle, f.writeBuffer, f.writeUsed);
    f.writeUsed = 0;
    return ok;
}

// Room for n bytes of one record in the write buffer, or nullptr (and the error flag raised)
// when the file is not open or writing out the full buffer failed.
unsigned char* reserveRecord(DataFile& f, std::size_t n, int& errorFlag) {
    if (f.handle < 0) {
        errorFlag = 1;
        return nullptr;
    }
    if (!f.writeBuffer) {
        f.writeBuffer = new (std::nothrow) unsigned char[kBufferBytes];
        if (!f.writeBuffer) {
            errorFlag = 1;
            return nullptr;
        }
    }
    // Writes go to the end of the file; buffered read-ahead no longer follows the offset.
    f.readPos = f.readLen = 0;
    if (f.writeUsed + n > kBufferBytes && !flushWrites(f)) {
        errorFlag = 1;
        return nullptr;
    }
    unsigned char* p = f.writeBuffer + f.writeUsed;
    f.writeUsed += n;
    return p;
}

// Up to n bytes from the file; fewer only at its end or on an error.
std::size_t readBytes(DataFile& f, unsigned char* dst, std::size_t n) {
    if (f.handle < 0) return 0;
    if (f.writeUsed) flushWrites(f);
    if (!f.readBuffer) {
        f.readBuffer = new (std::nothrow) unsigned char[kBufferBytes];
        if (!f.readBuffer) return 0;
    }
    std::size_t got = 0;
    while (got < n) {
        if (f.readPos == f.readLen) {
            ssize_t r = ::read(f.handle, f.readBuffer, kBufferBytes);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            f.readPos = 0;
            f.readLen = static_cast<std::size_t>(r);
        }
        std::size_t take = std::min(n - got, f.readLen - f.readPos);
        std::memcpy(dst + got, f.readBuffer + f.readPos, take);
        f.readPos += take;
        got += take;
    }
    return got;
}

// Writes what is buffered and closes; the handle becomes -1 so that a stale handle can never
// reach a file that reuses the descriptor. 0 when the final write failed.
int closeDataFile(DataFile& f) {
    if (f.handle < 0) return 1;
    bool ok = f.writeUsed == 0 || flushWrites(f);
    ::close(f.handle);
    f.handle = -1;
    f.readPos = f.readLen = 0;
    return ok ? 1 : 0;
}

// Opens into a file slot, closing what it held before.
int openInto(DataFile& f, const std::string& path, OpenMode mode, bool createWhenMissing) {
    closeDataFile(f);
    int h = openDataHandle(path, mode);
    if (h < 0 && createWhenMissing) h = openDataHandle(path, OpenMode::Create);
    f.handle = h;
    return h;
}

void flushBeforeTouching(DataFile& f) {
    if (f.handle >= 0 && f.writeUsed) flushWrites(f);
}

int readSpotLike(DataFile& f, Vec3& point, double& energy, int& objectNumber, int& surfaceNumber,
                 Vec3& direction, bool* wavelengthHeld = nullptr) {
    unsigned char b[kSpotRecordBytes];
    int n = static_cast<int>(readBytes(f, b, kSpotRecordBytes));
    if (n <= 63) {
        closeDataFile(f);
        return 0;
    }
    SpotRecord r = decodeSpotRecord(b, n);
    point = r.point;
    energy = r.energy;
    objectNumber = r.objectNumber;
    surfaceNumber = r.surfaceNumber;
    direction = r.direction;
    // Only a whole record with an index the twelve-entry wavelength tables hold replaces it.
    const bool held =
        n == kSpotRecordBytes && r.wavelengthIndex >= 0 && r.wavelengthIndex < kWavelengthCount;
    if (held) rayFileState().wavelengthIndex = r.wavelengthIndex;
    if (wavelengthHeld) *wavelengthHeld = held;
    return n;
}

std::string homeFile(const char* name) {
    return platform::joinPath(messageState().programHome, name);
}
} // namespace

DataFile::~DataFile() {
    closeDataFile(*this);
    delete[] writeBuffer;
    delete[] readBuffer;
}

RayFileState& rayFileState() {
    static RayFileState s;
    return s;
}

void resetRayFiles() {
    auto& s = rayFileState();
    closeDataFile(s.rays);
    closeDataFile(s.spots);
    closeDataFile(s.reemit);
    s.farPointMarker = 0;
    s.wavelengthIndex = 0;
    s.lastSpot = LastSpot{};
}

void encodeRayRecord(const RayPointRecord& record, unsigned char out[kRayRecordBytes]) {
    putInt(out, record.flag);
    putVec(out + 4, record.point);
}

RayPointRecord decodeRayRecord(const unsigned char in[kRayRecordBytes]) {
    return {getInt(in), getVec(in + 4)};
}

void encodeSpotRecord(const SpotRecord& record, unsigned char out[kSpotRecordBytes]) {
    putVec(out, record.point);
    putDouble(out + 24, record.energy);
    putInt(out + 32, record.objectNumber);
    putInt(out + 36, record.surfaceNumber);
    putVec(out + 40, record.direction);
    putInt(out + 64, record.wavelengthIndex);
}

SpotRecord decodeSpotRecord(const unsigned char* in, int byteCount) {
    SpotRecord r;
    r.point = getVec(in);
    r.energy = getDouble(in + 24);
    r.objectNumber = getInt(in + 32);
    r.surfaceNumber = getInt(in + 36);
    r.direction = getVec(in + 40);
    if (byteCount >= kSpotRecordBytes) r.wavelengthIndex = getInt(in + 64);
    return r;
}

std::string rayFilePath() {
    const auto& m = messageState();
    return m.raysPath.empty() ? homeFile("rays.dat") : m.raysPath;
}

std::string spotFilePath() {
    const auto& m = messageState();
    return m.spotsPath.empty() ? homeFile("spots.dat") : m.spotsPath;
}

std::string reemitFilePath() {
    return homeFile("reemit.dat");
}

int openDataHandle(const std::string& path, OpenMode mode) {
    int flags = O_RDWR | O_APPEND | O_CLOEXEC;
    if (mode == OpenMode::Truncate) flags |= O_TRUNC;
    if (mode == OpenMode::Create) flags |= O_CREAT;
    // Never through a planted link, never into a device or a FIFO.
    return platform::openRegularDescriptor(path, flags, 0666);
}

int openRayFile() {
    return openInto(rayFileState().rays, rayFilePath(), OpenMode::Append, false);
}

namespace {
// A file that a crash left with a torn last record gets only whole records after it.
void cutToWholeRecords(int handle, off_t recordBytes) {
    struct stat st {};
    if (handle < 0 || ::fstat(handle, &st) != 0 || st.st_size % recordBytes == 0) return;
    const int cut = ::ftruncate(handle, st.st_size - st.st_size % recordBytes);
    (void)cut; // a file that cannot shrink fails at its first write instead
}
} // namespace

int openRayOutput(int append) {
    ++rayFileState().outputGeneration;
    const int h = openInto(rayFileState().rays, rayFilePath(),
                           append ? OpenMode::Append : OpenMode::Truncate, true);
    if (append) cutToWholeRecords(h, kRayRecordBytes);
    return h;
}

int openSpotOutput(int append) {
    ++rayFileState().outputGeneration;
    const int h = openInto(rayFileState().spots, spotFilePath(),
                           append ? OpenMode::Append : OpenMode::Truncate, true);
    if (append) cutToWholeRecords(h, kSpotRecordBytes);
    return h;
}

int closeRayFile() {
    return closeDataFile(rayFileState().rays);
}

int closeSpotFile() {
    return closeDataFile(rayFileState().spots);
}

int closeReemitFile() {
    return closeDataFile(rayFileState().reemit);
}

void deleteRayFile() {
    flushBeforeTouching(rayFileState().rays);
    platform::removeRegularOrLink(rayFilePath());
}

void deleteSpotFile() {
    flushBeforeTouching(rayFileState().spots);
    platform::removeRegularOrLink(spotFilePath());
}

Vec3 farRayPoint(const Vec3& point, const Vec3& direction, double distance) {
    constexpr double kFarthest = 1e200;
    if (!(distance <= kFarthest)) distance = kFarthest;
    Vec3 far;
    rayPoint(far, point, direction, distance);
    // A start near the end of the range of a double: come nearer until the point is a number.
    while (!(std::isfinite(far.x) && std::isfinite(far.y) && std::isfinite(far.z)) &&
           distance > 1.0) {
        distance *= 1e-10;
        rayPoint(far, point, direction, distance);
    }
    return far;
}

void writeRayRecord(int flag, const Vec3& point, int& errorFlag) {
    unsigned char* p = reserveRecord(rayFileState().rays, kRayRecordBytes, errorFlag);
    if (p) encodeRayRecord({flag, point}, p);
}

int readRayRecord(int& flag, Vec3& point) {
    auto& s = rayFileState();
    unsigned char b[kRayRecordBytes];
    if (readBytes(s.rays, b, kRayRecordBytes) < kRayRecordBytes) {
        closeDataFile(s.rays);
        return 0;
    }
    RayPointRecord r = decodeRayRecord(b);
    point = r.point;
    if (r.flag == kRayFlagFarPoint) {
        flag = 0;
        s.farPointMarker = 1;
    } else {
        flag = r.flag;
        s.farPointMarker = 0;
    }
    return 1;
}

void writeSpotRecord(const Vec3& globalPoint, double energy, const SurfaceRecord* surface,
                     int& errorFlag, const Vec3& localDirection) {
    auto& s = rayFileState();
    if (!surface) {
        errorFlag = 1;
        return;
    }
    SpotRecord r;
    toLocalPoint(globalPoint, r.point, surface);
    r.energy = energy;
    r.objectNumber = surface->owner ? surface->owner->number : 0;
    r.surfaceNumber = surface->number;
    r.direction = localDirection;
    r.wavelengthIndex = s.wavelengthIndex;
    s.lastSpot = {globalPoint, r.point, energy, localDirection};
    unsigned char* p = reserveRecord(s.spots, kSpotRecordBytes, errorFlag);
    if (p) encodeSpotRecord(r, p);
}

int localRayDirection(const SurfaceRecord* surface, const Vec3&, const Vec3& direction, Vec3& out) {
    if (!surface) return 0;
    toLocalDirection(direction, out, surface);
    normalize3(out);
    return 1;
}

int readSpotRecord(Vec3& point, double& energy, int& objectNumber, int& surfaceNumber,
                   Vec3& direction) {
    return readSpotLike(rayFileState().spots, point, energy, objectNumber, surfaceNumber,
                        direction);
}

int readSpotPoint(Vec3& point, double& energy, int& objectNumber, int& surfaceNumber) {
    Vec3 scratch;
    return readSpotRecord(point, energy, objectNumber, surfaceNumber, scratch);
}

int openSpotFileForReading() {
    DataFile& f = rayFileState().spots;
    closeDataFile(f);
    int h;
    do {
        h = platform::openRegularDescriptor(spotFilePath(), O_RDONLY | O_CLOEXEC);
    } while (h < 0 && errno == EINTR);
    f.handle = h;
    return h;
}

int spotFileAvailable() {
    flushBeforeTouching(rayFileState().spots);
    int h = openDataHandle(spotFilePath(), OpenMode::Append);
    if (h < 0) return 0;
    ::close(h);
    return 1;
}

int openReemitFile() {
    int h = openInto(rayFileState().reemit, reemitFilePath(), OpenMode::Append, false);
    if (h < 0) errorText(outputChannel, " Error opening ReEmit data file.\n");
    return h;
}

int readReemitRecord(Vec3& point, double& energy, int& objectNumber, int& surfaceNumber,
                     Vec3& direction, bool* wavelengthHeld) {
    return readSpotLike(rayFileState().reemit, point, energy, objectNumber, surfaceNumber,
                        direction, wavelengthHeld);
}
