// Speed of the polygon-net intercept: rays against a closed geodesic sphere of 1,280 facets.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "engine/commands/polynet_command.h"
#include "engine/model/engine_state.h"
#include "engine/polynet/polynet_facets.h"
#include "engine/polynet/polynet_intercept.h"
#include "platform/rand15.h"

namespace {

Vec3 onSphere(Vec3 v) {
    normalize3(v);
    return v;
}

// An icosahedron split `levels` times (20 x 4^levels facets) on the unit sphere, corners shared.
PolynetRecord* geodesicSphere(int levels) {
    const double t = (1 + std::sqrt(5.0)) / 2;
    std::vector<Vec3> corners = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0},
                                 {0, -1, t}, {0, 1, t}, {0, -1, -t}, {0, 1, -t},
                                 {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (auto& c : corners)
        c = onSphere(c);
    std::vector<std::array<int, 3>> faces = {
        {0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int l = 0; l < levels; ++l) {
        std::map<std::pair<int, int>, int> middle;
        auto mid = [&](int a, int b) {
            auto key = std::minmax(a, b);
            auto it = middle.find(key);
            if (it != middle.end()) return it->second;
            corners.push_back(onSphere(0.5 * (corners[a] + corners[b])));
            return middle[key] = static_cast<int>(corners.size()) - 1;
        };
        std::vector<std::array<int, 3>> finer;
        for (auto& f : faces) {
            int a = mid(f[0], f[1]), b = mid(f[1], f[2]), c = mid(f[2], f[0]);
            finer.push_back({f[0], a, c});
            finer.push_back({f[1], b, a});
            finer.push_back({f[2], c, b});
            finer.push_back({a, b, c});
        }
        faces.swap(finer);
    }
    PolynetRecord* net = allocPolynet();
    std::vector<PolyPoint*> points;
    for (const Vec3& c : corners) {
        points.push_back(allocPolyPoint());
        *points.back() = c;
    }
    for (auto& f : faces) {
        PolygonRecord* p = allocPolygon();
        ContourNode* contour = allocContour();
        appendContour(p, contour);
        for (int k : f) {
            VertexNode* v = allocVertexNode();
            v->point = points[k];
            appendVertex(contour, v);
        }
        appendPolygon(net, p);
        polynetPreparePolygon(p);
    }
    return net;
}

void BM_PolynetIntercept(benchmark::State& state) {
    resetEngineState();
    PolynetRecord* net = geodesicSphere(3);
    if (net->polygonCount != 1280) state.SkipWithError("sphere has the wrong facet count");
    const double values[7] = {0, 0, 0, 0, 0, 0, 1.5};
    SurfaceRecord* surface = createPolynetObject(net, values)->firstSurface;

    // Rays from a sphere of radius 3 towards points within radius 1.2 of the centre: most meet
    // the net, some pass it.
    platform::Rand15 rng;
    auto random = [&] { return 2 * rng.unit() - 1; };
    std::vector<std::pair<Vec3, Vec3>> rays;
    for (int i = 0; i < 4096; ++i) {
        Vec3 from = 3.0 * onSphere({random(), random(), random()});
        Vec3 to = 1.2 * Vec3{random(), random(), random()};
        rays.emplace_back(from, onSphere(to - from));
    }
    long hits = 0;
    std::size_t i = 0;
    for (auto _ : state) {
        auto& r = rays[i++ & 4095];
        Vec3 d = r.second;
        double nearest = -1;
        hits += polynetIntercept(surface, r.first, d, nearest);
        benchmark::DoNotOptimize(nearest);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["hit_fraction"] = static_cast<double>(hits) / state.iterations();
    resetEngineState();
}
BENCHMARK(BM_PolynetIntercept);

} // namespace
