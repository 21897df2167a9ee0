// The nearest-hit search's hierarchy never changes a result: each model, beside a row of lenses
// so that the hierarchy serves, is traced by every trace kind with the plain loop and with the
// hierarchy, and every file comes out the same to the byte.
#include <cmath>
#include <cstdlib>
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

std::string lens(const std::string& name, const char* shape, double x, double y, double z) {
    return "define/lens/spherical " + name + " " + shape + "\nplace/object " + name + " " + num(x) +
           " " + num(y) + " " + num(z) + "\n";
}

// Lenses off to the side, and two behind the source where reflected rays may go.
std::string sideLenses(int count) {
    std::string m;
    for (int i = 0; i < count; ++i)
        m += lens("side" + std::to_string(i), "100 -100 8 30 1.5", i < 2 ? 0 : 120 + 40 * (i % 6),
                  i < 2 ? 0 : 40 * (i / 6) - 60, i < 2 ? -200 - 30 * i : 50 * (i % 3));
    return m;
}

std::string lensGrid(int n) {
    std::string m;
    for (int i = 0; i < n; ++i)
        m += lens("g" + std::to_string(i), "30 -30 2 6 1.5", -57 + 6 * (i % 20),
                  -57 + 6 * (i / 20 % 20), 40 + 3 * (i % 7));
    return m;
}

// A refracting globe of `lon` x `lat` quads (triangles at the poles).
std::string facetBall(double r, int lon, int lat) {
    auto point = [&](int i, int j) {
        const double th = M_PI * j / lat, ph = 2 * M_PI * i / lon;
        return "polynet/point " + num(r * std::sin(th) * std::cos(ph)) + " " +
               num(r * std::sin(th) * std::sin(ph)) + " " + num(r * std::cos(th)) + "\n";
    };
    std::string m = "polynet/start ball index=1.5\n";
    for (int j = 0; j < lat; ++j)
        for (int i = 0; i < lon; ++i)
            m += "polynet/polygon\npolynet/chain\n" + point(i, j) + (j > 0 ? point(i + 1, j) : "") +
                 point(i + 1, j + 1) + (j + 1 < lat ? point(i, j + 1) : "") + "polynet/close\n";
    return m + "polynet/finish\npolynet/normalize ball\n";
}

// Every trace kind into one set of files (the ray files grow by every trace).
const std::string kTraces =
    "set/add_rays/on\nradiometer/attach screen 8 8\necho/chosen/name=c.csv\n"
    "raytrace/single lamp 0.02 0.01 1\nraytrace/single lamp 0 0 1\n"
    "raytrace/cone lamp nx=7 ny=7 hfov=30 vfov=30\necho/chosen/binary/name=c.bin\n"
    "raytrace/collimated lamp nx=9 ny=9 hhwidth=24 vhwidth=24\nraytrace/coslamp lamp nx=5\n"
    "echo/opl/name=o.txt\nraytrace/cone/eqsolid lamp nx=5 ny=5 hfov=60 vfov=60\n"
    "echo/opl/prewfm/name=p.txt\nraytrace/reemit lamp\nset/raylimits/roulette\n"
    "set/shuffle seed=77\nraytrace/collimated/oval lamp 10 20 20\n"
    "modify/sources/name=\"" MERIDYN_PLUGIN_DIR "/raysrc1.so\" lamp 4 2 0 0\n"
    "raytrace/custom lamp nx=4 ny=4 hhwidth=20 vhwidth=20\nradiometer/fileout/name=r.enr screen\n"
    "view/image nx=48 ny=32 azimuth=30 elevation=20\n";

// The source first (object 1, which the re-emission records name), then the detector.
const std::string kSetUp = "define/lightsource lamp\n"
                           "define/detector screen xsize=200 ysize=200\nplace/object lamp 0 0 -50\n"
                           "place/object screen 0 0 300\n";

// The text less the lines that name the run's own home.
std::string withoutHome(const std::string& text) {
    std::string kept;
    for (std::size_t start = 0, end; start < text.size(); start = end) {
        end = std::min(text.find('\n', start), text.size() - 1) + 1;
        if (text.substr(start, end - start).find("meridyn-cli-") == std::string::npos)
            kept.append(text, start, end - start);
    }
    return kept;
}

TEST(SearchCheck, TheHierarchyAndThePlainLoopWriteTheSameFiles) {
    const std::string singlet = "define/lens singlet\nplace/object singlet 0 0 0\n";
    const std::string doublet =
        "define/lens/doublet dbl r1=90 r2=-60 r3=-150 t1=12 t2=6 diameter=40\n"
        "place/object dbl 0 0 20\n";
    const std::pair<const char*, std::string> models[] = {
        {"singlet", singlet},
        {"singlet, Fresnel on", singlet + "set/fresnel/on\n"},
        {"doublet", doublet},
        {"doublet, Fresnel on", doublet + "set/fresnel/on\n"},
        {"rod with total internal reflection",
         "define/rod rod length=200 diameter=40 n=1.5\nplace/object rod 0 0 0\n"},
        {"mirrors of every kind", "define/mirror/flat/rectangle xhw=25 yhw=20 flat\n"
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
        // Two detectors and two lenses in one place, the later of each with bounds reaching
        // nearer the source (met first by the hierarchy); a slot given back and taken again, so
        // that the part list and the object table order the same parts differently.
        {"ties and a reused slot",
         singlet + "define/detector twin xsize=200 ysize=200\nplace/object twin 0 0 300\n"
                   "define/lens copy\nplace/object copy 0 0 0\n"
                   "modify/extent twin.1 z1=-250\nmodify/extent copy.1 z1=-40\n"
                   "define/lens gone\nplace/object gone 0 0 90\ndelete gone\n"
                   "define/lens/spherical late 100 -100 8 30 1.5\nplace/object late 0 0 150\n"},
        {"parts moved after a trace",
         singlet + "raytrace/collimated lamp nx=5 ny=5 hhwidth=20 vhwidth=20\n"
                   "raytrace/single lamp 0 0 1\n"
                   "translate side3 -120 40 100\nplace/object singlet 0 5 20\n"
                   "define/lens/spherical added 50 -50 8 30 1.5\nplace/object added 0 0 200\n"
                   "delete side4\n"},
    };
    const std::string reemit = reemitRecord({1, 2, 0}, unit({0.05, 0, 1})) +
                               reemitRecord({-5, 3, 0}, unit({0, -0.1, 1})) +
                               reemitRecord({0, 0, 0}, {0, 0, 1});
    setenv("MERIDYN_PLUGIN_SEED", "12345", 1);
    for (const auto& [name, body] : models) {
        SCOPED_TRACE(name);
        const std::string macro = kSetUp + sideLenses(32) + body + kTraces;
        CliRun plain(macro), hierarchy(macro);
        plain.put("reemit.dat", reemit);
        hierarchy.put("reemit.dat", reemit);
        ASSERT_TRUE(runBothSearches(plain, hierarchy)) << plain.file("screen.out");
        EXPECT_GT(plain.spots().size(), 0u); // not a check of empty files
        for (const char* f : {"rays.dat", "spots.dat", "c.csv", "c.bin", "c.ndx", "o.txt", "p.txt",
                              "r.enr", "TEMP.SOL", "screen.out"}) {
            SCOPED_TRACE(f);
            const std::string a = plain.file(f);
            EXPECT_FALSE(a.empty());
            EXPECT_TRUE(withoutHome(a) == withoutHome(hierarchy.file(f)));
        }
    }
    unsetenv("MERIDYN_PLUGIN_SEED");
}

} // namespace
