// Speed of the bundle tracer through refracting polygon-net balls of 2,000, 20,000 and 200,000
// triangles (radius 10, index 1.5, built through the command language as a mesh import builds
// them), of polynet/normalize over them and of building their facet hierarchies. One item of a
// trace is one source ray at one wavelength: it enters the ball and leaves it towards a
// detector; the ray files are off.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "command/text/number_text.h"
#include "engine/files/ray_files.h"
#include "engine/model/object_table.h"
#include "engine/polynet/facet_hierarchy.h"
#include "engine/polynet/polynet_intercept.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/trace/ray_tree.h"
#include "parts/raytrace_manager.h"

namespace {

constexpr double kRadius = 10;

// A ball cut by `rings` - 1 circles of latitude and `sectors` meridians into 2 x sectors x
// (rings - 1) triangles (one per cell at the poles, two elsewhere), corners counter-clockwise
// seen from outside.
void appendBall(std::string& m, int rings, int sectors) {
    auto corner = [&](int i, int j) {
        const double theta = M_PI * i / rings, phi = 2 * M_PI * (j % sectors) / sectors;
        return numberWords({kRadius * std::sin(theta) * std::cos(phi),
                            kRadius * std::sin(theta) * std::sin(phi), kRadius * std::cos(theta)});
    };
    auto facet = [&](const std::string& a, const std::string& b, const std::string& c) {
        m += "polynet/polygon\npolynet/chain\npolynet/point " + a + "\npolynet/point " + b +
             "\npolynet/point " + c + "\npolynet/close\n";
    };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sectors; ++j) {
            if (i + 1 < rings) facet(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1));
            if (i > 0) facet(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1));
        }
}

std::string ballModel(int rings, int sectors) {
    std::string m = "define/lightsource lamp\npolynet/silent\npolynet/start ball index=1.5\n";
    appendBall(m, rings, sectors);
    m += "polynet/finish\npolynet/silent\n"
         "define/detector screen\n"
         "place/object lamp 0 0 -50\n"
         "place/object ball 0 0 0\n"
         "place/object screen 0 0 30\n";
    return m;
}

// Facets: 2 x sectors x (rings - 1).
struct BallSize {
    int rings, sectors;
};
constexpr BallSize kBalls[] = {{26, 40}, {101, 100}, {251, 400}};

class BallModel {
  public:
    explicit BallModel(const BallSize& size) : home_("ball.mac"), registered_(registered()) {
        std::ofstream(home_.macro()) << ballModel(size.rings, size.sectors);
        doc_.OnNewDocument();
        commandBuffer = home_.macroCommand();
        doc_.ExecuteCommand();
    }
    ~BallModel() { resetAllState(); }

  private:
    // The handlers are registered before the document starts.
    static bool registered() {
        registerCommandHandlers();
        return true;
    }
    bench::MacroHome home_;
    bool registered_;
    CQelDoc doc_;
};

// The model of one ball size, kept while the benchmarks of that size run (the library calls
// each benchmark more than once); building a ball of 200,000 facets takes a while.
std::unique_ptr<BallModel> currentBall;
int currentBallSize = -1;

BallModel& ballOfSize(int size) {
    if (currentBallSize != size) {
        currentBall.reset();
        currentBall = std::make_unique<BallModel>(kBalls[size]);
        currentBallSize = size;
    }
    return *currentBall;
}

void BM_BundleThroughPolynetBall(benchmark::State& state) {
    const BallSize& size = kBalls[state.range(0)];
    ballOfSize(static_cast<int>(state.range(0)));
    {
        CRaytraceManager& m = *theRaytraceManager;
        ObjectRecord* lamp = getObject(0);
        const ObjectRecord* ball = getObject(1);
        const auto* net = ball && ball->firstSurface
                              ? static_cast<const PolynetRecord*>(ball->firstSurface->typeData)
                              : nullptr;
        if (!net || net->polygonCount != 2 * size.sectors * (size.rings - 1)) {
            state.SkipWithError("the ball was not built");
            return;
        }
        // A collimated bundle over 0.9 of the ball's aperture, as TraceCollimated hands it over.
        constexpr int kGrid = 64;
        std::vector<Vec3> points;
        for (int i = 0; i < kGrid; ++i)
            for (int j = 0; j < kGrid; ++j) {
                const double x = -0.9 * kRadius + 1.8 * kRadius * i / (kGrid - 1);
                const double y = -0.9 * kRadius + 1.8 * kRadius * j / (kGrid - 1);
                if (x * x + y * y > 0.81 * kRadius * kRadius) continue;
                Vec3 p;
                toGlobalPoint(Vec3{x, y, 0}, p, lamp->firstSurface);
                points.push_back(p);
            }
        Vec3 direction;
        toGlobalDirection(Vec3{0, 0, 1}, direction, lamp->firstSurface);
        rayOutputOn = 0;
        spotsOff = 1;
        m.OpenRayFiles(0);
        m.tracer.maxDepth = maxRayDepth;
        m.tracer.ghostLimit = maxGhosts;
        m.tracer.threshold = minRayEnergy;
        std::size_t next = 0;
        for (auto _ : state) {
            if (!m.tracer.TraceSourceRay(points[next], direction, lamp, 0)) {
                state.SkipWithError("the trace failed");
                break;
            }
            if (++next == points.size()) next = 0;
        }
        m.CloseRayFiles();
        if (polynetLastHitFacet == -1) state.SkipWithError("the bundle missed the ball");
        state.SetItemsProcessed(state.iterations());
        state.counters["facets"] = net->polygonCount;
    }
}

void BM_NormalizePolynetBall(benchmark::State& state) {
    ballOfSize(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (!polynetCheckNormals(2)) state.SkipWithError("normalize failed");
    state.SetItemsProcessed(state.iterations());
}
// Building the facet hierarchy of the ball anew, as polynet/finish does.
void BM_BuildFacetHierarchyOfBall(benchmark::State& state) {
    ballOfSize(static_cast<int>(state.range(0)));
    PolynetRecord* net = objectPolynet(2);
    for (auto _ : state)
        polynetFacetsChanged(net);
    state.SetItemsProcessed(state.iterations() * (net ? net->polygonCount : 0));
}

} // namespace

// The benchmarks of one size run one after the other, on one model.
int main(int argc, char** argv) {
    for (int size = 0; size < 3; ++size) {
        benchmark::RegisterBenchmark("BM_BundleThroughPolynetBall", BM_BundleThroughPolynetBall)
            ->Arg(size);
        benchmark::RegisterBenchmark("BM_NormalizePolynetBall", BM_NormalizePolynetBall)
            ->Arg(size)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_BuildFacetHierarchyOfBall", BM_BuildFacetHierarchyOfBall)
            ->Arg(size)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    currentBall.reset();
    benchmark::Shutdown();
    return 0;
}
