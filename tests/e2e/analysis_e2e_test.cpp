// The analyses through meridyn-cli on hand-written spots.dat and rays.dat: the film-plane
// reports line by line, the encircled rings, the polar table of terminal directions, their
// refusals and the spot diagram and energy curve in a display file. The expected numbers are
// counted here from the fixtures, by comparisons rather than by the program's divisions.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/e2e/analysis_run.h"

namespace {

using namespace analysistest;

// A detector of half widths 10 x 10 at z = 100, object 1; a lens, object 2.
const char* const kModel = "define/detector xsize=10 ysize=10\n"
                           "place 1 0 0 100\n"
                           "define/lens\n"
                           "place 2 0 0 50\n";

// A collimated 5 x 5 grid on the detector with energies 0.2 to 1.0 by row, the two x edges,
// one hit beyond the film and two hits of another object.
std::vector<Hit> gridHits() {
    std::vector<Hit> hits;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            hits.push_back({-8.0 + 4.0 * i, -7.0 + 3.5 * j, 0.2 * (j + 1)});
    hits.push_back({10.0, 1.0, 0.5});  // exactly on the upper x edge: the last bin
    hits.push_back({-10.0, 1.0, 0.5}); // on the lower edge: the first bin
    hits.push_back({10.5, 0.0, 0.25}); // beyond the film
    hits.push_back({0.0, 0.0, 9.0, 2});
    hits.push_back({3.0, 3.0, 9.0, 2});
    return hits;
}

// The cell of v among `count` cells over -10..10, -1 outside; the upper edge counts in the last.
int cellOf(double v, int count) {
    const double inc = 20.0 / count;
    for (int k = 0; k < count; ++k) {
        const double lo = -10.0 + k * inc, hi = lo + inc;
        if (v >= lo && (v < hi || (k == count - 1 && v == 10.0))) return k;
    }
    return -1;
}

// The report of a linear profile as the command must print it, normalised by `norm`.
std::vector<std::string> linearReport(const std::vector<Hit>& hits, bool alongX, int bins,
                                      bool percent, bool byTrace) {
    std::vector<int> n(bins, 0);
    std::vector<double> e(bins, 0.0);
    int onFilm = 0, outside = 0;
    double filmEnergy = 0.0;
    for (const Hit& h : hits) {
        if (h.object != 1) continue;
        const int i = alongX ? cellOf(h.x, bins) : cellOf(h.x, 1);
        const int j = alongX ? cellOf(h.y, 1) : cellOf(h.y, bins);
        if (i < 0 || j < 0) {
            ++outside;
            continue;
        }
        ++n[alongX ? i : j];
        e[alongX ? i : j] += h.energy;
        ++onFilm;
        filmEnergy += h.energy;
    }
    const double norm = byTrace ? 1.0 : filmEnergy; // nothing traced: taken as 1
    const double incX = alongX ? 20.0 / bins : 20.0, incY = alongX ? 20.0 : 20.0 / bins;
    const double area = 400.0 / bins;
    std::vector<std::string> out = {
        "Film Plane Analysis:",
        "Total Rays=,0, Energy Sum=0.",
        fmt("x and y half widths ,%lg, %lg, and x and y increments ,%lg, %lg", 10.0, 10.0, incX,
            incY),
        fmt("   A total of ,%d, rays struck the film, total energy =, %f ", onFilm, filmEnergy),
        fmt("Energy normalization factor, %lg", norm),
        fmt("Average density = ,%lg, per square unit area.", filmEnergy / area),
        percent ? "   Position,   N_hits, PercentEnergy,   PercentEnergy/Area "
                : "   Cell   N_hits  Energy   Energy/Area ",
    };
    const double inc = 20.0 / bins;
    for (int k = 0; k < bins; ++k)
        out.push_back(fmt("    %lg, %5d,    %f,   %lg", -10.0 + (k + 0.5) * inc, n[k],
                          percent ? e[k] / norm * 100.0 : e[k], e[k] / area / norm));
    if (outside) {
        out.push_back("");
        out.push_back(fmt("NOTE: %d film plane rays fell outside the grid.", outside));
    }
    out.push_back("Ray decendants/energy to deep space, 0,0");
    out.push_back("Ray decendants/energy below minimum transmittance or max ghosts, 0,0");
    out.push_back("Ray decendants/energy trucated at depth limit, 0,0");
    return out;
}

TEST(FilmPlaneAnalysis, LinearProfilesOfACollimatedGrid) {
    PipedRun run;
    run.fixture("spots.dat", spotsFile(gridHits()));
    ASSERT_TRUE(run.go(std::string(kModel) + "energy/xlinear object=1 nbins=4\n"
                                             "energy/ylinear object=1 nbins=5\n"
                                             "set/energy/relative\n"
                                             "set/energy/percentage\n"
                                             "energy/xlinear object=1\n"
                                             "energy/xlinear object=1 nbins=3 /filename=x3.csv\n"));
    const std::string out = run.file("stdout.txt");
    const std::string screen = run.file("screen.out");
    struct Case {
        std::string command;
        bool alongX;
        int bins;
        bool percent, byTrace;
    } cases[] = {{"energy/xlinear object=1 nbins=4", true, 4, false, true},
                 {"energy/ylinear object=1 nbins=5", false, 5, false, true},
                 {"energy/xlinear object=1\n", true, 20, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const auto want = linearReport(gridHits(), c.alongX, c.bins, c.percent, c.byTrace);
        const std::size_t at = out.find(c.command);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(linesFrom(out.substr(at), "Film Plane Analysis:", want.size()), want);
    }
    // The named file holds the report and the screen does not.
    const auto want = linearReport(gridHits(), true, 3, true, false);
    EXPECT_EQ(linesFrom(run.file("x3.csv"), "Film Plane Analysis:", want.size() + 1),
              want);
    EXPECT_EQ(screen.find(want[8]), std::string::npos);
}

TEST(FilmPlaneAnalysis, EncircledRings) {
    PipedRun run;
    run.fixture("spots.dat", spotsFile(gridHits()));
    ASSERT_TRUE(run.go(std::string(kModel) + "energy/encircled object=1 nbuckets=3\n"
                                             "energy/encircled object=1 radiusmax=6 nbuckets=4\n"));
    const std::string out = run.file("stdout.txt");
    EXPECT_NE(out.find("Radius for this film plane is 14.142136.\n"), std::string::npos);
    for (const auto& [radius, buckets] : {std::pair{std::sqrt(200.0), 3}, std::pair{6.0, 4}}) {
        SCOPED_TRACE(buckets);
        std::vector<int> n(buckets, 0);
        std::vector<double> e(buckets, 0.0);
        int onFilm = 0;
        double filmEnergy = 0;
        for (const Hit& h : gridHits()) {
            if (h.object != 1) continue;
            ++onFilm;
            filmEnergy += h.energy;
            const double r = std::hypot(h.x, h.y);
            for (int k = 0; k < buckets; ++k)
                if (r >= k * radius / buckets && r < (k + 1) * radius / buckets) {
                    ++n[k];
                    e[k] += h.energy;
                }
        }
        std::vector<std::string> want = {
            "Film Plane Analysis (Encircled Energy):",
            "",
            "Total rays, 0, Energy Sum=0.",
            fmt("   A total of, %d, rays struck the film, total film plane energy =, %f", onFilm,
                filmEnergy),
            "   Radius,    N_hits,    Energy,   EncircledEnergy, Energy/Area"};
        double sum = 0;
        for (int k = 0; k < buckets; ++k) {
            sum += e[k];
            const double outer = (k + 1) * radius / buckets;
            want.push_back(fmt("    %7f, %5d,    %9f,  %lg,         %lg", outer, n[k], e[k], sum,
                               sum / (3.141592654 * outer * outer)));
        }
        const std::size_t at = out.find(fmt("nbuckets=%d", buckets));
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(linesFrom(out.substr(at), "Film Plane Analysis (Encircled", want.size()), want);
    }
}

TEST(FilmPlaneAnalysis, RefusalsAndMissingData) {
    // No spots.dat at all: a new document starts with empty ray files, which
    // set/savespots/off deletes.
    PipedRun run;
    ASSERT_TRUE(run.go(std::string(kModel) + "set/savespots/off\n"
                                             "energy/xlinear object=1 nbins=0\n"
                                             "energy/ylinear nbins=3\n"
                                             "energy/xlinear object=7\n"
                                             "energy/xlinear object=2\n"
                                             "energy/encircled object=1 nbuckets=0\n"
                                             "energy/xlinear object=1\n"
                                             "view/energy\n"
                                             "energy/polar buckets=400\n"
                                             "energy/polar radiusmax=0\n"
                                             "energy/polar\n"));
    const std::string out = run.file("stdout.txt");
    for (const char* line : {
             "ERROR: At least nbins must be 1 or greater. Read the manual.\n",
             "ERROR: No object given. Command ignored.\n", "ERROR: Film plane object not found.\n",
             "ERROR: Object is not a film plane.\n",
             "ERROR: Number of buckets must be greater than 1.\n",
             "ERROR:  Error opening spot data file.\n",
             "ERROR: Use energy command to first evaluate a detector, then use VIEW/ENERGY.",
             "ERROR:  Polar buckets must be 1 to 359 and radiusmax greater than 0 and at most "
             "180.  Command ignored.\n",
             "No ray data found.\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line;
    EXPECT_EQ(out.find("Half angle"), std::string::npos);
    EXPECT_FALSE(run.exists("spots.dat")); // read only: never created
    EXPECT_EQ(run.exitStatus(), 1);
}

// Rays leaving in known directions: far points 1e6 x weight along the direction.
struct Leaving {
    double dx, dy, dz, weight;
};

TEST(AngularAnalysis, PolarTableOfTerminalDirectionsWithTheFinalPath) {
    const double d25 = 25 * M_PI / 180, d65 = 65 * M_PI / 180;
    const std::vector<Leaving> leaving = {
        {std::sin(d25), 0, std::cos(d25), 2.0},
        {0, std::sin(d65), std::cos(d65), 0.5},
        {-std::sin(d25) * std::cos(d25), -std::sin(d25) * std::sin(d25), std::cos(d25) * 1.0, 1.0},
        {0, 0, -1, 0.25}, // the last path of the file
    };
    std::vector<RayPoint> points;
    for (const Leaving& l : leaving) {
        const double n = std::sqrt(l.dx * l.dx + l.dy * l.dy + l.dz * l.dz);
        points.push_back({1, 0, 0, 5});
        points.push_back({0, 1, 1, 6});
        const double s = l.weight * 1e6 / n;
        points.push_back({-1, 1 + s * l.dx, 1 + s * l.dy, 6 + s * l.dz});
    }
    // An absorbed ray (no exit point) is not binned.
    points.insert(points.begin(), {{1, 0, 0, 0}, {0, 0, 0, 9}});
    PipedRun run;
    run.fixture("rays.dat", raysFile(points));
    ASSERT_TRUE(run.go("energy/polar radiusmax=90 buckets=6\n"));
    const std::string out = run.file("stdout.txt");

    // Bins of 15 degrees; the bucket of an angle found by comparison.
    const double width = 15.0;
    double table[3][7] = {}, spill[3] = {};
    for (const Leaving& l : leaving) {
        const double n = std::sqrt(l.dx * l.dx + l.dy * l.dy + l.dz * l.dz);
        const double c[3] = {l.dx / n, l.dy / n, l.dz / n};
        for (int a = 0; a < 3; ++a) {
            const double deg = std::acos(c[a]) * 180 / M_PI;
            int k = 0;
            while (deg >= (k + 1) * width && k < 100)
                ++k;
            if (k > 6)
                spill[a] += l.weight;
            else
                table[a][k] += l.weight;
        }
    }
    std::vector<std::string> want = {"Half angle (degrees),     Solid angle (steradians),     x "
                                     "polar,     y polar,     z polar"};
    double maxima[3] = {};
    for (int k = 0; k < 6; ++k) {
        const double lo = k * width * M_PI / 180, hi = (k + 1) * width * M_PI / 180;
        const double omega = 2 * M_PI * (std::cos(lo) - std::cos(hi));
        for (int a = 0; a < 3; ++a)
            maxima[a] = std::max(maxima[a], table[a][k] / omega);
        want.push_back(fmt("%11.6lg,%15.6lg,%15.6lg,%15.6lg,%15.6lg", (k + 1) * width, omega,
                           table[0][k] / omega, table[1][k] / omega, table[2][k] / omega));
    }
    const auto got = linesFrom(out, "Half angle", want.size());
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        // Solid angles differ from 2 pi (cos - cos) in the last digits at most.
        EXPECT_EQ(got[i].substr(0, 11), want[i].substr(0, 11));
        if (i == 0) {
            EXPECT_EQ(got[i], want[i]);
            continue;
        }
        double g[5], w[5];
        ASSERT_EQ(std::sscanf(got[i].c_str(), "%lf,%lf,%lf,%lf,%lf", &g[0], &g[1], &g[2], &g[3],
                              &g[4]),
                  5);
        std::sscanf(want[i].c_str(), "%lf,%lf,%lf,%lf,%lf", &w[0], &w[1], &w[2], &w[3], &w[4]);
        for (int c = 0; c < 5; ++c)
            EXPECT_NEAR(g[c], w[c], 1e-5 * std::max(1.0, std::fabs(w[c])));
    }
    // Beyond 90 degrees from z: the ray going back along -z spills (bucket 12 > 6).
    const auto spillLine = linesFrom(out, "X spillage", 2);
    ASSERT_EQ(spillLine.size(), 2u);
    double s[3];
    ASSERT_EQ(std::sscanf(spillLine[1].c_str(), "%lf,%lf,%lf", &s[0], &s[1], &s[2]), 3);
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(s[a], spill[a], 1e-9);
    EXPECT_NEAR(spill[2], 0.25, 1e-12);
    // The xy table is not per steradian: the largest azimuth bin holds the 2.0 ray alone.
    const auto maxLine = linesFrom(out, "X max (/sr)", 2);
    ASSERT_EQ(maxLine.size(), 2u);
    double m[4];
    ASSERT_EQ(std::sscanf(maxLine[1].c_str(), "%lf,%lf,%lf,%lf", &m[0], &m[1], &m[2], &m[3]), 4);
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(m[a], maxima[a], 1e-5 * maxima[a]);
    EXPECT_NEAR(m[3], 2.0, 1e-9);
}

// Records of a display file whose tag is `tag`.
std::vector<std::string> records(const std::string& text, const std::string& tag) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        if (line.rfind(tag + " ", 0) == 0) out.push_back(line);
        at = end + 1;
    }
    return out;
}

TEST(AnalysisViews, SpotDiagramAndEnergyCurveInTheDisplayFile) {
    PipedRun run;
    std::vector<Hit> hits = {{1.5, 2.5, 1.0, 1, 2}, {-4, -6, 0.5, 1, 0}, {7, 7, 9, 2, 0}};
    run.fixture("spots.dat", spotsFile(hits));
    ASSERT_TRUE(run.go(std::string(kModel) + "view/film/save\n"
                                             "energy/xlinear object=1 nbins=4\n"
                                             "view/energy/save\n"));
    // The spot diagram: the window over the film widened by 0.1 (x) and 0.1 / 0.2 (y) of its
    // size, then widened by 0.001 of each bound; a cross per hit of the detector, in the colour
    // of its wavelength index + 1.
    const std::string film = run.file("plot0");
    const auto windows = records(film, "w");
    ASSERT_GE(windows.size(), 2u);
    EXPECT_EQ(windows[1], fmt("w %g %g %g %g", -12 * 1.001, 12 * 1.001, -14 * 1.001, 12 * 1.001));
    const double d = 0.01 * 24 * 1.001; // the cross half size: 1 % of the window width
    for (const Hit& h : hits) {
        const std::string across = fmt("ma %g %g", h.x - d, h.y);
        EXPECT_EQ(film.find(across) != std::string::npos, h.object == 1) << across;
    }
    EXPECT_NE(film.find(fmt("c 3\nma %g %g", 1.5 - d, 2.5)), std::string::npos);
    EXPECT_NE(film.find(fmt("c 1\nma %g %g", -4 - d, -6.0)), std::string::npos);

    // The energy curve: one point per cell centre, the first a move.
    const std::string energy = run.file("plot1");
    const double e[4] = {0, 0.5, 1.0, 0}; // bins of 5 from -10: -4 in 1, 1.5 in 2
    std::string curve = fmt("c 9\nma %g %g", -7.5, e[0]);
    for (int k = 1; k < 4; ++k)
        curve += fmt("\nla %g %g", -7.5 + 5 * k, e[k]);
    EXPECT_NE(energy.find(curve), std::string::npos) << energy.substr(0, 600);
}

} // namespace

namespace {

// The one-ray trace feeds the analysis: its single spot lands in the bin of its position.
TEST(FilmPlaneAnalysis, AfterAOneRayTrace) {
    analysistest::PipedRun run;
    ASSERT_TRUE(run.go("define/detector xsize=10 ysize=10\n"
                       "define/lightsource\n"
                       "place 1 0 0 100\n"
                       "place 2 3 4 0\n"
                       "raytrace/single object=2\n"
                       "energy/xlinear object=1 nbins=4\n"));
    const auto lines =
        analysistest::linesFrom(run.file("stdout.txt"), "   Cell   N_hits", 5);
    EXPECT_EQ(lines, (std::vector<std::string>{"   Cell   N_hits  Energy   Energy/Area ",
                                               "    -7.5,     0,    0.000000,   0",
                                               "    -2.5,     0,    0.000000,   0",
                                               "    2.5,     1,    1.000000,   0.01",
                                               "    7.5,     0,    0.000000,   0"}));
}

} // namespace
