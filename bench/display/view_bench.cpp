// The repaint's heavy parts: replaying a ray file of 1,000,000 points into the 800 x 600 raster
// (target: under 0.5 s) and a repaint of 500 lenses at high resolution (target: under 50 ms).
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/display_state.h"
#include "display/views/ray_replay.h"
#include "display/views/repaint.h"
#include "display/views/view_host.h"
#include "engine/model/object_table.h"
#include "engine/model/placement.h"
#include "engine/files/ray_files.h"

namespace {

namespace fs = std::filesystem;

// A scratch home directory for rays.dat and the output files, in a freshly reset program.
struct ScratchHome {
    fs::path path;
    ScratchHome() {
        resetDisplayState();
        std::string pattern = (fs::temp_directory_path() / "meridyn-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
        programHome = path.string();
        setOutputFiles();
    }
    ~ScratchHome() {
        resetDisplayState();
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// 100,000 rays of 10 points each through the workbox: a fan from a source at the back,
// through a lens plane, on to a focus and a film, with a far point at the end.
void writeRayFile() {
    openRayOutput(0);
    int error = 0;
    for (int ray = 0; ray < 100000; ++ray) {
        const double a = ray * 0.000628, r = 10 + (ray % 97) * 0.3;
        const double x = r * std::cos(a), y = r * std::sin(a) * 0.5;
        writeRayRecord(1, {0, 0, -95}, error);
        for (int k = 1; k < 9; ++k) {
            const double t = k / 9.0;
            writeRayRecord(0, {x * std::sin(3.1 * t), y * std::sin(3.1 * t), -95 + 190 * t}, error);
        }
        writeRayRecord(-1, {-x, -y, 95}, error);
    }
    closeRayFile();
}

void BM_ReplayMillionRayPoints(benchmark::State& state) {
    ScratchHome home;
    writeRayFile();
    HeadlessViewHost view(800, 600);
    view.setPaintRoutine(nullptr);
    for (auto _ : state) {
        beginViewDraw(view, view.raster());
        fitPlotWindow(workboxCentre(), workboxHalfSizes(), 45, 20, 1);
        replayRays();
    }
    state.counters["points"] = 1000000;
}
BENCHMARK(BM_ReplayMillionRayPoints)->Unit(benchmark::kMillisecond);

SurfaceRecord* newSurface(ObjectRecord* o, int number) {
    SurfaceRecord* s = allocSurface();
    initSurfaceRecord(s);
    s->number = number;
    s->owner = o;
    return s;
}

void setSphere(SurfaceRecord* s, double cz, double r) {
    for (double& q : s->quadric)
        q = 0;
    s->quadric[0] = s->quadric[4] = s->quadric[8] = 1;
    s->quadric[11] = -2 * cz;
    s->quadric[12] = cz * cz - r * r;
}

// The default lens (r1 100, r2 -100, thickness 20, diameter 70) scaled down, at `at`.
void addLens(double x, double y, double z) {
    ObjectRecord* o = allocObjectSlot();
    initObjectRecord(o);
    o->wireframeKind = kWireSingleLens;
    const double scale = 0.1, radius = 100 * scale, half = 3.5, h = 1;
    const double sag = radius - std::sqrt(radius * radius - half * half);
    SurfaceRecord* front = newSurface(o, 1);
    SurfaceRecord* back = newSurface(o, 2);
    SurfaceRecord* edge = newSurface(o, 3);
    setSphere(front, radius, radius);
    front->shapeCode = kShapeSphere;
    const double fe[6] = {-half, half, -half, half, 0, sag};
    std::copy(fe, fe + 6, front->extent);
    translatePlacement(0, 0, -h, front->objectToSurface, front->surfaceToObject);
    setSphere(back, -radius, radius);
    back->shapeCode = kShapeSphere;
    const double be[6] = {-half, half, -half, half, -half, 0};
    std::copy(be, be + 6, back->extent);
    translatePlacement(0, 0, h, back->objectToSurface, back->surfaceToObject);
    edge->quadric[0] = edge->quadric[4] = 1 / (half * half);
    edge->quadric[12] = -1;
    edge->shapeCode = kShapeCylinder;
    const double ee[6] = {-half, half, -half, half, sag - h, h - sag};
    std::copy(ee, ee + 6, edge->extent);
    o->firstSurface = front;
    front->next = back;
    back->next = edge;
    o->surfaceCount = 3;
    translatePlacement(x, y, z, o->globalToLocal, o->localToGlobal);
    setobj(o);
    o->activated = o->placed = 1;
}

void BM_Repaint500LensesHighResolution(benchmark::State& state) {
    ScratchHome home;
    for (int i = 0; i < 500; ++i)
        addLens(-70 + (i % 20) * 7, -45 + (i / 20 % 5) * 20, -90 + (i / 100) * 40);
    wireframeDetail = 3;
    HeadlessViewHost view(800, 600);
    for (auto _ : state)
        view.invalidateAndUpdate();
}
BENCHMARK(BM_Repaint500LensesHighResolution)->Unit(benchmark::kMillisecond);

} // namespace
