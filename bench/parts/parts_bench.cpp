// The materials' inner loops as the tracer runs them. Targets: a gradient-index step through the
// bundled ixprof13 with a radial profile at least 4 M steps per second; a bulk scatter event (a
// free path that scatters and its direction) at least 5 M per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "engine/optics/random_sampling.h"
#include "parts/materials/material.h"

namespace {

void BM_GrinStep(benchmark::State& state) {
    CMaterial material(std::string(MERIDYN_PLUGIN_DIR) + "/ixprof13.so", 0.1);
    if (!material.entry) {
        state.SkipWithError("ixprof13 not bound");
        return;
    }
    // n = 1.6 - 0.001 r^2 (r in millimetres).
    material.record.v[GRIN_PARAM1] = 1.6;
    material.record.v[GRIN_PARAM1 + 1] = -0.001;
    Vec3 position{1.0, 0.5, 0.0}, direction{0.0, 0.0, 1.0};
    for (auto _ : state) {
        if (material.GrinStep(position, direction, 0.1) == 0.0 || position.z > 1000.0) {
            position = {1.0, 0.5, 0.0};
            direction = {0.0, 0.0, 1.0};
        }
        benchmark::DoNotOptimize(position);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GrinStep);

void BM_BulkScatter(benchmark::State& state) {
    resetRandomState();
    CMaterial material(2.0, 0.1, 0.8);
    Vec3 direction{0.0, 0.0, 1.0};
    double path = 0;
    for (auto _ : state) {
        if (material.SampleFreePath(1e30, path)) material.ScatterDirection(direction, direction);
        benchmark::DoNotOptimize(direction);
        benchmark::DoNotOptimize(path);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BulkScatter);

} // namespace
