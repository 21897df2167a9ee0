// Plug-in calls through the binder, as the trace and the gradient-index stepping make them.
// Targets: ixprof01 at least 5 M evaluations per second; raysrc2 with a full cone at least
// 4 M rays per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "parts/plugin_binder.h"

namespace {

PluginEntry bindEntry(const char* name, const char* entry) {
    int status = 0;
    void* module = nullptr;
    std::string path = std::string(MERIDYN_PLUGIN_DIR) + "/" + name + ".so";
    return LoadPluginEntry(path, entry, status, module);
}

void grinEvaluations(benchmark::State& state) {
    PluginEntry entry = bindEntry("ixprof01", "UserGrinDefinition");
    if (!entry) {
        state.SkipWithError("ixprof01 not bound");
        return;
    }
    GrinCallRecord r{};
    r.v[GRIN_TAG] = GRIN_TAG_VALUE;
    r.v[GRIN_WAVELENGTH] = 0.6328;
    r.v[GRIN_MM_PER_UNIT] = 1.0;
    r.v[GRIN_PARAM1] = 0.0;
    double z = 0.0;
    for (auto _ : state) {
        r.v[GRIN_Z] = z;
        z = z < 8.0 ? z + 1e-3 : 0.0;
        benchmark::DoNotOptimize(CallPluginEntry(entry, &r));
    }
    state.counters["evaluations/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Rays with a full cone (angles 0), p0.. as given.
void sourceRays(benchmark::State& state, const char* name, std::initializer_list<double> params) {
    setenv("MERIDYN_PLUGIN_SEED", "1", 1);
    PluginEntry entry = bindEntry(name, "UserSourceRay");
    if (!entry) {
        state.SkipWithError("source not bound");
        return;
    }
    SourceCallRecord r{};
    int k = 0;
    for (double p : params)
        r.v[SRC_PARAM0 + k++] = p;
    r.v[SRC_MODE] = 1.0;
    CallPluginEntry(entry, &r);
    r.v[SRC_MODE] = 0.0;
    for (auto _ : state) {
        r.v[SRC_WEIGHT] = r.v[SRC_WEIGHT_IN] = 1.0;
        r.v[SRC_X] = r.v[SRC_Y] = r.v[SRC_Z] = 0.0;
        r.v[SRC_DIR_X] = r.v[SRC_DIR_Y] = 0.0;
        r.v[SRC_DIR_Z] = 1.0;
        benchmark::DoNotOptimize(CallPluginEntry(entry, &r));
    }
    state.counters["rays/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(grinEvaluations)->Name("ixprof01/evaluate");
BENCHMARK_CAPTURE(sourceRays, raysrc2, "raysrc2", {2.0, 5.0, 0, 0, 0, 0, 1.0})
    ->Name("raysrc2/full_cone");
BENCHMARK_CAPTURE(sourceRays, raysrc1, "raysrc1", {4.0, 2.0, 2.0, 1.0, 0, 0.5, 1.0})
    ->Name("raysrc1/full_cone");
BENCHMARK_CAPTURE(sourceRays, raysrc5, "raysrc5", {1.0, 2.0, 3.0, 0, 0, 0, 1.0})
    ->Name("raysrc5/full_cone");
