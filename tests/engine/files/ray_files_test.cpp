#include "engine/files/ray_files.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/files/ray_dump.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/files/no_room_for_files.h"

namespace fs = std::filesystem;

namespace {
// Hand-made little-endian fields, built without the engine's own encoder.
std::string le32(std::int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
    return s;
}
std::string le64(double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, 8);
    std::string s(8, '\0');
    for (int i = 0; i < 8; ++i)
        s[i] = static_cast<char>(u >> (8 * i));
    return s;
}
std::string rayBytes(int flag, double x, double y, double z) {
    return le32(flag) + le64(x) + le64(y) + le64(z);
}
std::string spotBytes(Vec3 p, double e, int object, int surface, Vec3 d, int wave) {
    return le64(p.x) + le64(p.y) + le64(p.z) + le64(e) + le32(object) + le32(surface) + le64(d.x) +
           le64(d.y) + le64(d.z) + le32(wave);
}
} // namespace

class RayFilesTest : public EngineTest {
  protected:
    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(home(name), std::ios::binary) << bytes;
    }
    std::string bytes(const std::string& name) { return testsupport::readFile(home(name)); }
    void openSpotsForReading() {
        spotFileHandle = openDataHandle(spotFilePath(), OpenMode::Append);
        ASSERT_GE(spotFileHandle, 0);
    }
};

TEST_F(RayFilesTest, RecordLayoutsAreExact) {
    unsigned char ray[kRayRecordBytes];
    encodeRayRecord({-1, {1.5, -2, 3e10}}, ray);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ray), sizeof ray), rayBytes(-1, 1.5, -2, 3e10));
    EXPECT_EQ(ray[0], 0xff);
    EXPECT_EQ(ray[4 + 7], 0x3f); // 1.5 = 0x3ff8000000000000, high byte last
    EXPECT_EQ(ray[4 + 6], 0xf8);

    SpotRecord s{{1, 2, 3}, 0.25, 7, 2, {0, 0.6, 0.8}, 11};
    unsigned char spot[kSpotRecordBytes];
    encodeSpotRecord(s, spot);
    std::string expected = spotBytes({1, 2, 3}, 0.25, 7, 2, {0, 0.6, 0.8}, 11);
    ASSERT_EQ(expected.size(), 68u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(spot), sizeof spot), expected);
    EXPECT_EQ(spot[32], 7);  // object number
    EXPECT_EQ(spot[36], 2);  // surface number
    EXPECT_EQ(spot[64], 11); // wavelength index
    SpotRecord back = decodeSpotRecord(spot, 68);
    EXPECT_EQ(back.direction.z, 0.8);
    EXPECT_EQ(back.wavelengthIndex, 11);
    EXPECT_EQ(decodeSpotRecord(spot, 64).wavelengthIndex, 0);
}

TEST_F(RayFilesTest, WrittenRaysReadBackWithTheFarPointMarker) {
    ASSERT_GE(openRayOutput(0), 0);
    int err = 0;
    writeRayRecord(1, {0, 0, 0}, err);
    writeRayRecord(-1, {1, 2, 3}, err);
    writeRayRecord(0, {4, 5, 6}, err);
    EXPECT_EQ(closeRayFile(), 1);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(rayFileHandle, -1);
    EXPECT_EQ(bytes("rays.dat"),
              rayBytes(1, 0, 0, 0) + rayBytes(-1, 1, 2, 3) + rayBytes(0, 4, 5, 6));

    ASSERT_GE(openRayFile(), 0);
    int flag = 9;
    Vec3 p;
    ASSERT_EQ(readRayRecord(flag, p), 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(farPointMarker, 0);
    ASSERT_EQ(readRayRecord(flag, p), 1);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(farPointMarker, 1);
    EXPECT_EQ(p.z, 3);
    ASSERT_EQ(readRayRecord(flag, p), 1);
    EXPECT_EQ(farPointMarker, 0); // only until the next record
    EXPECT_EQ(readRayRecord(flag, p), 0);
    EXPECT_EQ(rayFileHandle, -1); // the end closes the file and forgets the handle
    EXPECT_EQ(readRayRecord(flag, p), 0);
}

TEST_F(RayFilesTest, CutRayRecordIsIgnored) {
    put("rays.dat", rayBytes(1, 1, 1, 1) + rayBytes(0, 2, 2, 2).substr(0, 27));
    ASSERT_GE(openRayFile(), 0);
    int flag;
    Vec3 p;
    EXPECT_EQ(readRayRecord(flag, p), 1);
    EXPECT_EQ(readRayRecord(flag, p), 0);
    EXPECT_EQ(p.x, 1);
}

TEST_F(RayFilesTest, AppendKeepsEarlierPathsAndTruncateDropsThem) {
    int err = 0;
    for (int ray = 0; ray < 2; ++ray) {
        ASSERT_GE(openRayOutput(1), 0);
        writeRayRecord(1, {0, 0, double(ray)}, err);
        writeRayRecord(0, {1, 0, double(ray)}, err);
        closeRayFile();
    }
    EXPECT_EQ(fs::file_size(home("rays.dat")), 4u * 28);
    EXPECT_EQ(bytes("rays.dat").substr(56, 4), le32(1));
    ASSERT_GE(openRayOutput(0), 0);
    closeRayFile();
    EXPECT_EQ(fs::file_size(home("rays.dat")), 0u);
}

TEST_F(RayFilesTest, OpenModesAndProbes) {
    EXPECT_EQ(openRayFile(), -1); // reading never creates
    EXPECT_FALSE(fs::exists(home("rays.dat")));
    EXPECT_EQ(spotFileAvailable(), 0);
    EXPECT_FALSE(fs::exists(home("spots.dat")));
    ASSERT_GE(openSpotOutput(0), 0); // a trace creates it
    EXPECT_EQ(spotFileAvailable(), 1);
    EXPECT_EQ(closeSpotFile(), 1);
    EXPECT_EQ(closeSpotFile(), 1); // closing a closed file does nothing
    EXPECT_EQ(spotFileHandle, -1);
}

TEST_F(RayFilesTest, IoOnAClosedHandleFailsAtOnce) {
    int err = 0;
    writeRayRecord(1, {}, err);
    EXPECT_EQ(err, 1);
    err = 0;
    ObjectRecord* o = makeObject(kTypeRaytraceDetector);
    writeSpotRecord({}, 1, o->firstSurface, err, {});
    EXPECT_EQ(err, 1);
    Vec3 p, d;
    double e;
    int obj, surf;
    EXPECT_EQ(readSpotRecord(p, e, obj, surf, d), 0);
    EXPECT_EQ(readReemitRecord(p, e, obj, surf, d), 0);
}

TEST_F(RayFilesTest, SpotRecordsGoIntoTheSurfaceFrame) {
    ObjectRecord* o = makeObject(kTypeRaytraceDetector, 2);
    o->number = 7; // as if it lived in slot 6
    SurfaceRecord* s = o->firstSurface->next;
    // The surface frame sits at global (10, 0, 0), turned 90 degrees about z.
    translatePlacement(10, 0, 0, s->globalToSurface, s->surfaceToGlobal);
    rotatePlacementZ(90, s->globalToSurface, s->surfaceToGlobal);
    wavelengthIndex = 3;

    Vec3 dir;
    EXPECT_EQ(localRayDirection(nullptr, {}, {1, 0, 0}, dir), 0);
    ASSERT_EQ(localRayDirection(s, {}, {0, 5, 0}, dir), 1); // length 5 comes back unit
    EXPECT_NEAR(dir.x, -1, 1e-15);
    EXPECT_NEAR(dir.y, 0, 1e-15);
    EXPECT_NEAR(dir.z, 0, 1e-15);

    ASSERT_GE(openSpotOutput(0), 0);
    int err = 0;
    writeSpotRecord({10, 2, 1}, 0.5, s, err, dir);
    EXPECT_EQ(closeSpotFile(), 1);
    EXPECT_EQ(err, 0);
    const LastSpot& last = rayFileState().lastSpot;
    EXPECT_EQ(last.globalPoint.y, 2);
    EXPECT_NEAR(last.localPoint.x, -2, 1e-15);
    EXPECT_NEAR(last.localPoint.y, 0, 1e-15);
    EXPECT_EQ(last.localPoint.z, 1);
    EXPECT_EQ(last.energy, 0.5);

    std::string b = bytes("spots.dat");
    ASSERT_EQ(b.size(), 68u);
    EXPECT_EQ(b.substr(24, 8), le64(0.5));
    EXPECT_EQ(b.substr(32, 4), le32(7));
    EXPECT_EQ(b.substr(36, 4), le32(2));
    EXPECT_EQ(b.substr(64, 4), le32(3));
    EXPECT_EQ(b.substr(16, 8), le64(1));
}

TEST_F(RayFilesTest, SpotReadsCountFromSixtyFourBytesAndGuardTheWavelength) {
    put("spots.dat", spotBytes({1, 2, 3}, 0.9, 4, 1, {0, 0, 1}, 5) +
                         spotBytes({7, 8, 9}, 0.1, 2, 3, {1, 0, 0}, 6).substr(0, 64));
    openSpotsForReading();
    Vec3 p, d;
    double e;
    int obj, surf;
    EXPECT_EQ(readSpotRecord(p, e, obj, surf, d), 68);
    EXPECT_EQ(wavelengthIndex, 5);
    EXPECT_EQ(p.y, 2);
    EXPECT_EQ(obj, 4);
    EXPECT_EQ(readSpotRecord(p, e, obj, surf, d), 64); // counts, but its index is cut
    EXPECT_EQ(wavelengthIndex, 5);
    EXPECT_EQ(p.x, 7);
    EXPECT_EQ(surf, 3);
    EXPECT_EQ(d.x, 1);
    EXPECT_EQ(readSpotRecord(p, e, obj, surf, d), 0);
    EXPECT_EQ(spotFileHandle, -1);

    put("spots.dat", spotBytes({}, 1, 1, 1, {}, 12) + spotBytes({}, 1, 1, 1, {}, -1) +
                         spotBytes({}, 1, 1, 1, {}, 11) + std::string(63, '\0'));
    openSpotsForReading();
    EXPECT_EQ(readSpotPoint(p, e, obj, surf), 68);
    EXPECT_EQ(wavelengthIndex, 5); // a foreign index never reaches the tables
    EXPECT_EQ(readSpotPoint(p, e, obj, surf), 68);
    EXPECT_EQ(wavelengthIndex, 5);
    EXPECT_EQ(readSpotPoint(p, e, obj, surf), 68);
    EXPECT_EQ(wavelengthIndex, 11);
    EXPECT_EQ(readSpotPoint(p, e, obj, surf), 0); // 63 bytes are not a record
}

TEST_F(RayFilesTest, ReemitFileOpensFromTheHomeDirectory) {
    EXPECT_EQ(openReemitFile(), -1);
    EXPECT_EQ(reemitFileHandle, -1);
    EXPECT_EQ(screen(), "ERROR:  Error opening ReEmit data file.\n");
    EXPECT_FALSE(fs::exists(home("reemit.dat")));
    put("reemit.dat", spotBytes({1, 1, 1}, 0.75, 3, 2, {0, 1, 0}, 9));
    ASSERT_GE(openReemitFile(), 0);
    Vec3 p, d;
    double e;
    int obj, surf;
    EXPECT_EQ(readReemitRecord(p, e, obj, surf, d), 68);
    EXPECT_EQ(e, 0.75);
    EXPECT_EQ(d.y, 1);
    EXPECT_EQ(wavelengthIndex, 9);
    EXPECT_EQ(readReemitRecord(p, e, obj, surf, d), 0);
    EXPECT_EQ(reemitFileHandle, -1);
}

TEST_F(RayFilesTest, BufferedRecordsReachTheFileBeforeAnyoneLooks) {
    ASSERT_GE(openSpotOutput(0), 0);
    ObjectRecord* o = makeObject(kTypeRaytraceDetector);
    int err = 0;
    writeSpotRecord({}, 1, o->firstSurface, err, {});
    spotFileAvailable();
    EXPECT_EQ(fs::file_size(home("spots.dat")), 68u);

    ASSERT_GE(openRayOutput(0), 0);
    writeRayRecord(1, {1, 2, 3}, err);
    writeRayRecord(0, {4, 5, 6}, err);
    Vec3 p;
    ASSERT_EQ(findRayPoint(1, 2, p, 0), 1); // the pick's open writes the buffered rays first
    EXPECT_EQ(p.z, 6);
    closeSpotFile();
}

using testsupport::NoRoomForFiles;

TEST_F(RayFilesTest, WriteFailuresRaiseTheFlagOfTheRecordThatFailed) {
    NoRoomForFiles full;
    ASSERT_GE(openRayOutput(0), 0);
    int err = 0;
    writeRayRecord(1, {}, err);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(closeRayFile(), 0); // the final write failed: the closer reports it

    ASSERT_GE(openRayOutput(0), 0);
    int records = 0;
    while (err == 0 && records < 100000) {
        writeRayRecord(0, {}, err);
        ++records;
    }
    EXPECT_EQ(err, 1);
    EXPECT_EQ(records, 65536 / 28 + 1); // the record that found the buffer full
    EXPECT_EQ(closeRayFile(), 1);       // nothing was left to write
}

class RayDumpTest : public RayFilesTest {
  protected:
    void SetUp() override {
        RayFilesTest::SetUp();
        // One ray with a far point, then a path started by a flag above 1 with a zero-length
        // segment.
        put("rays.dat", rayBytes(1, 0, 0, 0) + rayBytes(0, 3, 4, 0) + rayBytes(-1, 3, 4, 10) +
                            rayBytes(2, 1, 1, 1) + rayBytes(0, 1, 1, 1));
    }
    std::string dump(int locations, int directions) {
        std::string path = home("dump.txt");
        std::FILE* f = std::fopen(path.c_str(), "w");
        openRayFile();
        printRayData(f, locations, directions);
        std::fclose(f);
        closeRayFile();
        return testsupport::readFile(path);
    }
};

namespace {
const char* kHeader = "\nRay Data Output (in global coordinates)\n\n"
                      "                   X               Y               Z     Level   "
                      "WavelengthIndex\n";
const char* kLoc0 = "Loc  0.00000000000e+00, 0.00000000000e+00, 0.00000000000e+00, ";
const char* kLoc1 = "Loc  3.00000000000e+00, 4.00000000000e+00, 0.00000000000e+00, ";
const char* kLoc2 = "Loc  3.00000000000e+00, 4.00000000000e+00, 1.00000000000e+01, ";
const char* kLoc3 = "Loc  1.00000000000e+00, 1.00000000000e+00, 1.00000000000e+00, ";
const char* kDir1 = "DCos 6.00000000000e-01, 8.00000000000e-01, 0.00000000000e+00";
const char* kDir2 = "DCos 0.00000000000e+00, 0.00000000000e+00, 1.00000000000e+00";
const char* kDir4 = "DCos 0.00000000000e+00, 0.00000000000e+00, 0.00000000000e+00";
} // namespace

TEST_F(RayDumpTest, LocationsAndDirections) {
    EXPECT_EQ(dump(1, 1), std::string(kHeader) + kLoc0 + "        0,         0\n" + kDir1 + "\n" +
                              kLoc1 + "        1,         0\n" + kDir2 + "\n" + kLoc2 +
                              "        2,         2\n" + kLoc3 + "        0,         0\n" + kDir4 +
                              "\n" + kLoc3 + "        1\n\n");
}

TEST_F(RayDumpTest, LocationsOnly) {
    EXPECT_EQ(dump(1, 0), std::string(kHeader) + kLoc0 + "        0,         0\n" + kLoc1 +
                              "        1,         0\n" + kLoc2 + "        2,         2\n" + kLoc3 +
                              "        0,         0\n" + kLoc3 + "        1\n\n");
}

TEST_F(RayDumpTest, DirectionsOnly) {
    EXPECT_EQ(dump(0, 1), std::string(kHeader) + kDir1 + "        0\n" + kDir2 + "        1\n" +
                              kDir4 + "        0\n");
}

TEST_F(RayDumpTest, NothingWithBothSwitchesOffAndNoDataMessage) {
    EXPECT_EQ(dump(0, 0), "");
    put("rays.dat", "");
    EXPECT_EQ(dump(1, 0), "No ray data found.\n");
}

TEST_F(RayDumpTest, PickCountsPathsByStartsNotByFlagValues) {
    Vec3 p;
    ASSERT_EQ(findRayPoint(2, 1, p, 1), 1);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(rayFileHandle, -1);
    ASSERT_EQ(findRayPoint(1, 3, p, 1), 1); // the far point, reached along +z
    EXPECT_EQ(p.z, 10);
    ASSERT_EQ(findRayPoint(2, 2, p, 1), 1); // zero-length segment: no direction
    ASSERT_EQ(findRayPoint(1, 2, p, 1), 1);
    EXPECT_EQ(findRayPoint(1, 4, p, 1), 0);
    EXPECT_EQ(findRayPoint(3, 1, p, 1), 0);
    EXPECT_EQ(rayFileHandle, -1);
    EXPECT_EQ(screen(), "1 1 1  0 0 0\n"
                        "3 4 10  0 0 1\n"
                        "1 1 1  0 0 0\n"
                        "3 4 0  0.6 0.8 0\n");
    fs::remove(home("rays.dat"));
    EXPECT_EQ(findRayPoint(1, 1, p, 1), 0);
}
