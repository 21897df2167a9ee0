// Speed of the one-ray trace: whole rays through one lens of the define command's default size,
// from a light source in front of it, with and without the ray file written.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/engine/bench_lens.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/trace/one_ray_trace.h"
#include "engine/model/placement.h"
#include "engine/files/ray_files.h"
#include "engine/model/engine_state.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"

namespace {

constexpr int kFan = 1024;

void placeAt(ObjectRecord* o, double z) {
    translatePlacement(0, 0, z, o->globalToLocal, o->localToGlobal);
    o->activated = o->placed = 1;
    setobj(o);
}

// The default lens: radii 100 and -100, 20 thick, 70 across, index 1.33, with its bounding
// sphere, at the origin.
void makeDefaultLens() {
    const double r = 100, h = 10, R = 35, n = 1.33;
    const double sag = r - std::sqrt(r * r - R * R);
    ObjectRecord* o = bench::makeLensSurfaces(r, 2 * h, 2 * R, n);
    o->traceable = 1;
    const double K = std::max(h, std::fabs(sag - h));
    o->boundingRadius = std::sqrt(K * K + R * R);
    placeAt(o, 0);
}

// Directions from the source 100 in front of the lens to points spread over its face.
std::vector<Vec3> fan() {
    std::vector<Vec3> out(kFan);
    for (int i = 0; i < kFan; ++i) {
        const double u = (i % 32) / 31.0 - 0.5, v = (i / 32) / 31.0 - 0.5;
        out[i] = {0.5 * u, 0.5 * v, 1};
    }
    return out;
}

struct Model {
    ObjectRecord* source = nullptr;
    std::filesystem::path home;
    Model() {
        resetEngineState();
        home = std::filesystem::temp_directory_path() / "meridyn-trace-bench";
        std::filesystem::create_directories(home);
        programHome = home.string();
        setOutputFiles();
        makeDefaultLens();
        source = bench::newObject(kTypeLightSource, 1);
        placeAt(source, -100);
    }
    ~Model() {
        resetEngineState();
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
};

void traceFan(benchmark::State& state, bool output) {
    Model model;
    rayOutputOn = output ? 1 : 0;
    if (output) openRayOutput(0);
    const std::vector<Vec3> directions = fan();
    const Vec3 start{0, 0, -100};
    long rays = 0;
    int error = 0;
    for (auto _ : state) {
        for (const Vec3& d : directions) {
            traceOneRay(start, d, model.source, error);
            benchmark::DoNotOptimize(currentRay.energy);
        }
        rays += kFan;
        if (output && rays % (kFan * 256) == 0) {
            // Keep the file small: start it again now and then.
            state.PauseTiming();
            closeRayFile();
            openRayOutput(0);
            state.ResumeTiming();
        }
    }
    if (error) std::abort();
    if (output) closeRayFile();
    state.SetItemsProcessed(rays);
}

void BM_TraceOneRayNoOutput(benchmark::State& state) {
    traceFan(state, false);
}
BENCHMARK(BM_TraceOneRayNoOutput);

void BM_TraceOneRayWithOutput(benchmark::State& state) {
    traceFan(state, true);
}
BENCHMARK(BM_TraceOneRayWithOutput);

} // namespace
