// Speed of the data files (records per second each way) and of the current-object refresh on a
// full table.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "command/messages/messages.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "engine/files/ray_files.h"
#include "engine/model/engine_state.h"

namespace {
constexpr long kRecords = 10'000'000;

struct ScratchHome {
    std::string path;
    ScratchHome() {
        resetEngineState();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "meridyn-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path = pattern;
        programHome = path;
        messageState().raysPath = path + "/rays.dat";
        messageState().spotsPath = path + "/spots.dat";
    }
    ~ScratchHome() {
        resetEngineState();
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

void writeRays(long count) {
    openRayOutput(0);
    int err = 0;
    Vec3 p{1, 2, 3};
    for (long i = 0; i < count; ++i) {
        p.x += 0.5;
        writeRayRecord(i % 8 == 0 ? 1 : 0, p, err);
    }
    if (!closeRayFile() || err) std::abort();
}

void BM_WriteRayRecords(benchmark::State& state) {
    ScratchHome home;
    for (auto _ : state)
        writeRays(kRecords);
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WriteRayRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadRayRecords(benchmark::State& state) {
    ScratchHome home;
    writeRays(kRecords);
    for (auto _ : state) {
        openRayFile();
        int flag;
        Vec3 p;
        long n = 0;
        while (readRayRecord(flag, p))
            ++n;
        if (n != kRecords) std::abort();
        benchmark::DoNotOptimize(p);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReadRayRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RefreshFullTable(benchmark::State& state) {
    ScratchHome home;
    const int kinds[] = {kTypeLens, kTypeMirror, kTypeLightSource, kTypeRod, kTypePolynet};
    for (int i = 0; i < kMaxObjects; ++i) {
        ObjectRecord* o = allocObjectSlot();
        initObjectRecord(o);
        o->typeCode = kinds[i % 5];
        o->placed = o->activated = i % 3 != 0;
    }
    noteDefinedObject(kMaxObjects);
    for (auto _ : state)
        benchmark::DoNotOptimize(refreshCurrentObjects(0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RefreshFullTable);
} // namespace
