// Speed of the bundle tracer: a collimated bundle from a light source through the default singlet
// to a detector, the model built through the command language. One item is one source ray at one
// wavelength. The core is timed with the ray files off (the rays go straight to the tracer, as the
// collimated trace hands them over), then with rays.dat and spots.dat written, then with Fresnel
// ghosts; the last two figures show what the files and the extra branches cost. The same singlet
// with 497 lenses off to the side (a model of 500 objects that the bundle never meets) shows what
// the size of the model costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "engine/files/ray_files.h"
#include "engine/model/object_table.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/trace/ray_tree.h"
#include "parts/raytrace_manager.h"
#include "parts/trace/trace_totals.h"

namespace {

constexpr int kGrid = 64; // 64 x 64 rays over the lens aperture

struct Bundle {
    std::vector<Vec3> points;
    Vec3 direction;
    ObjectRecord* source = nullptr;
};

// The collimated bundle's rays in global coordinates, as TraceCollimated makes them.
Bundle makeBundle() {
    Bundle b;
    b.source = getObject(0);
    SurfaceRecord* frame = b.source->firstSurface;
    for (int i = 0; i < kGrid; ++i)
        for (int j = 0; j < kGrid; ++j) {
            const Vec3 local{-30 + 60.0 * i / (kGrid - 1), -30 + 60.0 * j / (kGrid - 1), 0};
            Vec3 p;
            toGlobalPoint(local, p, frame);
            b.points.push_back(p);
        }
    toGlobalDirection(Vec3{0, 0, 1}, b.direction, frame);
    return b;
}

// 497 small lenses in a grid beside the beam, beyond the lens aperture.
std::string sideLenses() {
    std::string m;
    char line[160];
    for (int i = 0; i < 497; ++i) {
        std::snprintf(line, sizeof line,
                      "define/lens/spherical side%d 30 -30 2 8 1.5\nplace/object side%d %d %d %d\n", i,
                      i, 100 + 10 * (i % 20), -120 + 10 * (i / 20), 10 * (i % 7));
        m += line;
    }
    return m;
}

void traceBundle(benchmark::State& state, bool files, bool fresnel, bool side = false) {
    bench::MacroHome home("model.mac");
    std::ofstream(home.macro()) << bench::kSingletModel << (fresnel ? "set/fresnel/on\n" : "")
                                << (side ? sideLenses() : std::string());
    registerCommandHandlers();
    {
        CQelDoc doc;
        doc.OnNewDocument();
        commandBuffer = home.macroCommand();
        doc.ExecuteCommand();
        CRaytraceManager& m = *theRaytraceManager;
        const Bundle b = makeBundle();
        rayOutputOn = files ? 1 : 0;
        spotsOff = files ? 0 : 1;
        m.OpenRayFiles(0);
        m.tracer.maxDepth = maxRayDepth;
        m.tracer.ghostLimit = maxGhosts;
        m.tracer.threshold = minRayEnergy;
        long rays = 0;
        for (auto _ : state) {
            for (const Vec3& p : b.points)
                if (!m.tracer.TraceSourceRay(p, b.direction, b.source, 0)) {
                    state.SkipWithError("a data file could not be written");
                    break;
                }
            rays += static_cast<long>(b.points.size());
            if (files && rays % (kGrid * kGrid * 64) == 0) {
                // Keep the files small: start them again now and then.
                state.PauseTiming();
                m.CloseRayFiles();
                m.OpenRayFiles(0);
                state.ResumeTiming();
            }
        }
        m.CloseRayFiles();
        if (traceTotals().noHitCount == traceTotals().raysTraced)
            state.SkipWithError("the bundle missed the model");
        state.SetItemsProcessed(rays);
    }
    resetAllState();
}

void BM_BundleSingletDetectorNoFiles(benchmark::State& state) {
    traceBundle(state, false, false);
}
BENCHMARK(BM_BundleSingletDetectorNoFiles);

void BM_BundleSingletDetectorWithFiles(benchmark::State& state) {
    traceBundle(state, true, false);
}
BENCHMARK(BM_BundleSingletDetectorWithFiles);

void BM_BundleSingletDetectorFresnel(benchmark::State& state) {
    traceBundle(state, false, true);
}
BENCHMARK(BM_BundleSingletDetectorFresnel);

void BM_BundleSingletBeside497Lenses(benchmark::State& state) {
    traceBundle(state, false, false, true);
}
BENCHMARK(BM_BundleSingletBeside497Lenses);

} // namespace
