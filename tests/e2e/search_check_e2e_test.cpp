// The nearest-hit search's hierarchy chooses which parts get their exact tests; it must never
// change a result. Each check model is traced by every trace kind (one ray, cone, collimated,
// cosine lamp, re-emission, plug-in source, with roulette and shuffle, the chosen-ray and
// optical-path files, a radiometer and the shaded image) once with MERIDYN_PLAIN_SEARCH=1 and once
// without, and every file must come out the same to the byte. Every model carries a row of lenses
// beside it, so that the hierarchy serves however small the model itself is.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

// Lenses off to the side (and two behind the source, where reflected rays may go).
std::string sideLenses(int count) {
    std::string m;
    for (int i = 0; i < count; ++i) {
        const std::string name = "side" + std::to_string(i);
        m += "define/lens/spherical " + name + " 100 -100 8 30 1.5\n";
        const double x = i < 2 ? 0 : 120 + 40 * (i % 6), y = i < 2 ? 0 : 40 * (i / 6) - 60;
        const double z = i < 2 ? -200 - 30 * i : 50 * (i % 3);
        m += "place/object " + name + " " + num(x) + " " + num(y) + " " + num(z) + "\n";
    }
    return m;
}

// A refracting ball of facets: a globe of `lon` x `lat` quads (triangles at the poles).
std::string facetBall(double r, int lon, int lat) {
    const double pi = 4 * std::atan(1.0);
    auto point = [&](int i, int j) {
        const double th = pi * j / lat, ph = 2 * pi * i / lon;
        return "polynet/point " + num(r * std::sin(th) * std::cos(ph)) + " " +
               num(r * std::sin(th) * std::sin(ph)) + " " + num(r * std::cos(th)) + "\n";
    };
    std::string m = "polynet/start ball index=1.5\n";
    for (int j = 0; j < lat; ++j)
        for (int i = 0; i < lon; ++i) {
            m += "polynet/polygon\npolynet/chain\n";
            m += point(i, j);
            if (j > 0) m += point(i + 1, j);
            m += point(i + 1, j + 1);
            if (j + 1 < lat) m += point(i, j + 1);
            m += "polynet/close\n";
        }
    return m + "polynet/finish\npolynet/normalize ball\n";
}

// Every trace kind into one set of files (the ray files grow by every trace).
std::string traces(const std::string& module) {
    return "set/add_rays/on\n"
           "radiometer/attach screen 8 8\n"
           "echo/chosen/name=c.csv\n"
           "raytrace/single lamp 0.02 0.01 1\n"
           "raytrace/single lamp 0 0 1\n"
           "raytrace/cone lamp nx=7 ny=7 hfov=30 vfov=30\n"
           "echo/chosen/binary/name=c.bin\n"
           "raytrace/collimated lamp nx=9 ny=9 hhwidth=24 vhwidth=24\n"
           "raytrace/coslamp lamp nx=5\n"
           "echo/opl/name=o.txt\n"
           "raytrace/cone/eqsolid lamp nx=5 ny=5 hfov=60 vfov=60\n"
           "echo/opl/prewfm/name=p.txt\n"
           "raytrace/reemit lamp\n"
           "set/raylimits/roulette\n"
           "set/shuffle seed=77\n"
           "raytrace/collimated/oval lamp 10 20 20\n"
           "modify/sources/name=\"" +
           module +
           "\" lamp 4 2 0 0\n"
           "raytrace/custom lamp nx=4 ny=4 hhwidth=20 vhwidth=20\n"
           "radiometer/fileout/name=r.enr screen\n"
           "view/image nx=48 ny=32 azimuth=30 elevation=20\n";
}

// The source first (object 1, which the re-emission records name), the detector, the model.
std::string model(const std::string& body) {
    return "define/lightsource lamp\n"
           "define/detector screen xsize=200 ysize=200\n"
           "place/object lamp 0 0 -50\n"
           "place/object screen 0 0 300\n" +
           body;
}

std::string lensGrid(int n) {
    std::string m;
    for (int i = 0; i < n; ++i) {
        const std::string name = "g" + std::to_string(i);
        m += "define/lens/spherical " + name + " 30 -30 2 6 1.5\n";
        m += "place/object " + name + " " + num(-57 + 6 * (i % 20)) + " " +
             num(-57 + 6 * (i / 20 % 20)) + " " + num(40 + 3 * (i % 7)) + "\n";
    }
    return m;
}

// The text less the lines that name the run's own home.
std::string withoutHome(const std::string& text) {
    std::string kept;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (text.substr(start, end - start).find("meridyn-cli-") == std::string::npos)
            kept.append(text, start, end - start);
        start = end;
    }
    return kept;
}

struct CheckModel {
    const char* name;
    std::string body;
};

std::vector<CheckModel> checkModels() {
    const std::string singlet = "define/lens singlet\nplace/object singlet 0 0 0\n";
    const std::string doublet =
        "define/lens/doublet dbl r1=90 r2=-60 r3=-150 t1=12 t2=6 diameter=40\n"
        "place/object dbl 0 0 20\n";
    return {
        {"singlet", singlet},
        {"singlet, Fresnel on", singlet + "set/fresnel/on\n"},
        {"doublet", doublet},
        {"doublet, Fresnel on", doublet + "set/fresnel/on\n"},
        {"rod with total internal reflection",
         "define/rod rod length=200 diameter=40 n=1.5\nplace/object rod 0 0 0\n"},
        {"mirrors of every kind",
         "define/mirror/flat/rectangle xhw=25 yhw=20 flat\n"
         "place/rotations flat 40 0 120 0 30 0\n"
         "define/mirror/spherical/oval fl=50 xhw=20 yhw=20 sph\n"
         "place/object sph -40 0 100\n"
         "define/mirror/parabolic/concave flx=20 par\n"
         "place/object par 0 40 150\n"
         "define/mirror/conic c=0.02 k=-1 radius=20 con\n"
         "place/object con 0 -40 160\n"
         "modify/scatterer/gaussian flat.1 0.5 2\n"
         "modify/surface/metal/on sph.1 0.5 1 1 0 1.5 0\n"},
        {"a CPC", "define/mirror/cpc/concave funnel 20 60 5\nplace/object funnel 0 0 0\n"},
        {"a ball of facets", facetBall(25, 16, 10) + "place/object ball 0 0 40\n"},
        {"400 lenses", lensGrid(400)},
        // Equal distances: two detectors and two lenses in the same place, the second of each
        // later in the list and with bounds nearer the source; and a slot given back and taken again, so that the part list and the
        // object table order the same parts differently.
        {"ties and a reused slot",
         singlet +
             "define/detector twin xsize=200 ysize=200\nplace/object twin 0 0 300\n"
             "define/lens copy\nplace/object copy 0 0 0\n"
             // Bounds that reach further towards the source: the hierarchy meets these first.
             "modify/extent twin.1 z1=-250\nmodify/extent copy.1 z1=-40\n"
             "define/lens gone\nplace/object gone 0 0 90\ndelete gone\n"
             "define/lens/spherical late 100 -100 8 30 1.5\nplace/object late 0 0 150\n"},
        // The model changes between traces: the hierarchy must follow it.
        {"parts moved after a trace",
         singlet + "raytrace/collimated lamp nx=5 ny=5 hhwidth=20 vhwidth=20\n"
                   "raytrace/single lamp 0 0 1\n"
                   "translate side3 -120 40 100\nplace/object singlet 0 5 20\n"
                   "define/lens/spherical added 50 -50 8 30 1.5\nplace/object added 0 0 200\n"
                   "delete side4\n"},
    };
}

// A re-emission file of three rays from the lamp.
std::string reemitData() {
    std::string data;
    auto put = [&data](V p, V d) {
        char b[68] = {};
        auto f64 = [&b](int at, double v) { std::memcpy(b + at, &v, 8); };
        auto i32 = [&b](int at, int v) { std::memcpy(b + at, &v, 4); };
        f64(0, p.x), f64(8, p.y), f64(16, p.z), f64(24, 1.0);
        i32(32, 1), i32(36, 1);
        f64(40, d.x), f64(48, d.y), f64(56, d.z);
        i32(64, 0);
        data.append(b, 68);
    };
    put({1, 2, 0}, unit({0.05, 0, 1}));
    put({-5, 3, 0}, unit({0, -0.1, 1}));
    put({0, 0, 0}, {0, 0, 1});
    return data;
}

TEST(SearchCheck, TheHierarchyAndThePlainLoopWriteTheSameFiles) {
    const std::string module = std::string(MERIDYN_PLUGIN_DIR) + "/raysrc1.so";
    const char* const files[] = {"rays.dat", "spots.dat", "c.csv", "c.bin",  "c.ndx",
                                 "o.txt",    "p.txt",     "r.enr", "TEMP.SOL", "screen.out"};
    setenv("MERIDYN_PLUGIN_SEED", "12345", 1);
    for (const CheckModel& m : checkModels()) {
        SCOPED_TRACE(m.name);
        const std::string macro = model(sideLenses(32) + m.body) + traces(module);
        CliRun plain(macro), hierarchy(macro);
        plain.put("reemit.dat", reemitData());
        hierarchy.put("reemit.dat", reemitData());
        setenv("MERIDYN_PLAIN_SEARCH", "1", 1);
        const bool plainRan = plain.go();
        unsetenv("MERIDYN_PLAIN_SEARCH");
        ASSERT_TRUE(plainRan) << plain.file("screen.out");
        ASSERT_TRUE(hierarchy.go()) << hierarchy.file("screen.out");
        // The model was traced and hit: the check is not one of empty files.
        EXPECT_GT(plain.spots().size(), 0u);
        for (const char* f : files) {
            SCOPED_TRACE(f);
            const std::string a = plain.file(f);
            EXPECT_FALSE(a.empty());
            EXPECT_TRUE(withoutHome(a) == withoutHome(hierarchy.file(f)));
        }
    }
    unsetenv("MERIDYN_PLUGIN_SEED");
}

} // namespace
