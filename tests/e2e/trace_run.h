// raytrace/single through meridyn-cli: a macro run in a scratch home, its rays.dat and spots.dat
// decoded, and the vector helpers that compute the expected paths from the geometry.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/cli_runner.h"

namespace tracetest {

struct V {
    double x = 0, y = 0, z = 0;
};
inline V operator+(V a, V b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V operator-(V a, V b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V operator*(double s, V a) {
    return {s * a.x, s * a.y, s * a.z};
}
inline double dot(V a, V b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V unit(V a) {
    return (1 / std::sqrt(dot(a, a))) * a;
}
// The root of |p + t d - c| = r along the unit d: the nearer positive one, or the farther.
inline double sphereRoot(V p, V d, V c, double r, bool farther) {
    const V w = p - c;
    const double b = dot(w, d), s = std::sqrt(b * b - (dot(w, w) - r * r));
    return farther || -b - s <= 0 ? -b + s : -b - s;
}
// Snell's law in vector form; the normal may have any length and face either way.
// The mirror image of d about a plane of normal n (any length).
inline V reflect(V d, V n) {
    n = unit(n);
    return d - (2 * dot(d, n)) * n;
}
// The point where the ray p + t d meets the plane through q with normal n.
inline V onPlane(V p, V d, V q, V n) {
    return p + (dot(q - p, n) / dot(d, n)) * d;
}
inline V snell(V d, V n, double n1, double n2) {
    n = unit(n);
    if (dot(n, d) > 0) n = -1 * n;
    const double ci = -dot(n, d), eta = n1 / n2;
    return unit(eta * d + (eta * ci - std::sqrt(1 - eta * eta * (1 - ci * ci))) * n);
}

struct RayPoint {
    int flag;
    V p;
};
struct Spot {
    V p;
    double energy;
    int object, surface;
    V d;
    int wavelength;
};

// Little-endian fields, read byte by byte.
inline std::int32_t i32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = v << 8 | static_cast<unsigned char>(b[at + k]);
    return static_cast<std::int32_t>(v);
}
inline double f64(const std::string& b, std::size_t at) {
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k)
        v = v << 8 | static_cast<unsigned char>(b[at + k]);
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}
inline V vec(const std::string& b, std::size_t at) {
    return {f64(b, at), f64(b, at + 8), f64(b, at + 16)};
}

// A scratch home where meridyn-cli runs one macro (main.mac).
class CliRun {
  public:
    explicit CliRun(const std::string& macro) { put("main.mac", macro); }
    // Puts a file into the home before the run.
    void put(const std::string& name, const std::string& content) {
        std::ofstream(home_.path() / name, std::ios::binary) << content;
    }
    // Runs the macro; true when the run ended with `status` (1 when its commands report errors).
    bool go(int status = 0) {
        return !home_.path().empty() &&
               clitest::runCli(home_.path(), {"--home", ".", "main.mac"}) == status;
    }
    std::string file(const std::string& name) const {
        return clitest::readFile(home_.path() / name);
    }
    // rays.dat: a flag and a point a record.
    std::vector<RayPoint> rays() const {
        const std::string b = file("rays.dat");
        std::vector<RayPoint> out;
        for (std::size_t i = 0; i + 28 <= b.size(); i += 28)
            out.push_back({i32(b, i), vec(b, i + 4)});
        return out;
    }
    std::vector<Spot> spots() const {
        const std::string b = file("spots.dat");
        std::vector<Spot> out;
        for (std::size_t i = 0; i + 68 <= b.size(); i += 68)
            out.push_back({vec(b, i), f64(b, i + 24), i32(b, i + 32), i32(b, i + 36),
                           vec(b, i + 40), i32(b, i + 64)});
        return out;
    }

  private:
    clitest::ScratchHome home_;
};

// A record of reemit.dat: a point of weight 1 on object 1's surface 1, its direction.
inline std::string reemitRecord(V p, V d, std::int32_t wavelength = 0) {
    char b[68] = {};
    const double at[] = {p.x, p.y, p.z, 1}, towards[] = {d.x, d.y, d.z};
    const std::int32_t ids[] = {1, 1};
    std::memcpy(b, at, 32);
    std::memcpy(b + 32, ids, 8);
    std::memcpy(b + 40, towards, 24);
    std::memcpy(b + 64, &wavelength, 4);
    return std::string(b, 68);
}

// Runs both with MERIDYN_PLAIN_SEARCH=1 and without; true when both ran.
inline bool runBothSearches(CliRun& plain, CliRun& hierarchy) {
    setenv("MERIDYN_PLAIN_SEARCH", "1", 1);
    const bool plainRan = plain.go();
    unsetenv("MERIDYN_PLAIN_SEARCH");
    return plainRan && hierarchy.go();
}

inline void expectNear(V got, V want, double tol = 1e-9) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
    EXPECT_NEAR(got.z, want.z, tol);
}

inline void expectPath(const std::vector<RayPoint>& got, const std::vector<RayPoint>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].flag, want[i].flag);
        expectNear(got[i].p, want[i].p);
    }
}

} // namespace tracetest
