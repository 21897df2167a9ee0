#include "tests/engine/fuzz/ray_files_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "command/messages/messages.h"
#include "engine/files/ray_dump.h"
#include "engine/files/ray_files.h"
#include "engine/model/engine_state.h"

namespace {
char scratchPath[4096];

void removeScratch() {
    std::error_code ec;
    std::filesystem::remove_all(scratchPath, ec);
}

// A scratch home for the whole run, removed at exit; the screen text and log go nowhere.
const char* scratchHome() {
    if (!scratchPath[0]) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "meridyn-fuzz-XXXXXX").string();
        if (pattern.size() >= sizeof scratchPath || !mkdtemp(pattern.data())) std::abort();
        std::memcpy(scratchPath, pattern.c_str(), pattern.size() + 1);
        std::atexit(removeScratch);
    }
    return scratchPath;
}

void prepare() {
    resetEngineState();
    auto& m = messageState();
    m.programHome = scratchHome();
    m.raysPath = m.programHome + "/rays.dat";
    m.spotsPath = m.programHome + "/spots.dat";
    m.logPath = "/dev/null";
    m.screenOutPath = "/dev/null";
}

void putFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

void readAllSpots(int (*read)(Vec3&, double&, int&, int&, Vec3&)) {
    Vec3 p, d;
    double e;
    int object, surface;
    while (read(p, e, object, surface, d) > 0) {
    }
}
} // namespace

int fuzzRayFilesOneInput(const std::uint8_t* data, std::size_t size) {
    prepare();
    putFile(rayFilePath(), data, size);
    putFile(spotFilePath(), data, size);
    putFile(reemitFilePath(), data, size);

    static std::FILE* sink = std::fopen("/dev/null", "w");
    for (int switches = 0; switches < 4; ++switches) {
        openRayFile();
        printRayData(sink, switches & 1, switches & 2);
        closeRayFile();
    }
    // Picks at a few places the input chooses, including past its end.
    int ray = size ? data[0] % 5 : 1;
    int point = size > 1 ? data[1] % 7 : 1;
    Vec3 out;
    findRayPoint(ray, point, out, 1);
    findRayPoint(1, 1, out, 1);
    findRayPoint(1000000, 3, out, 0);

    spotFileHandle = openDataHandle(spotFilePath(), OpenMode::Append);
    readAllSpots(readSpotRecord);
    openReemitFile();
    readAllSpots([](Vec3& p, double& e, int& o, int& s, Vec3& d) {
        return readReemitRecord(p, e, o, s, d);
    });
    if (wavelengthIndex < 0 || wavelengthIndex >= kWavelengthCount) std::abort();
    resetEngineState();
    return 0;
}
