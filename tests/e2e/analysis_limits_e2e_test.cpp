// The views and analyses at the edges of their numbers, through meridyn-cli, checked in the
// display, data and IGES files the runs wrote.
#include <cmath>
#include <string>
#include <vector>

#include "tests/e2e/analysis_run.h"
#include "tests/e2e/iges_reader.h"
#include "tests/e2e/trace_run.h"

namespace {

using namespace analysistest;

const double kNaN = std::nan(""), kInf = HUGE_VAL;

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A lamp at the centre of a belt of 36 facets about y, the belt's radiometer, one ray along z.
const char* const kPolarModel = "define/lightsource lamp\n"
                                "place/object lamp 0 0 0\n"
                                "polynet/belt/xzpolar radius=50 nfacets=36\nplace/object 2 0 0 0\n"
                                "radiometer/attach 2 nx=36 ny=1\ndefine/detector screen\n"
                                "place/object screen 0 0 80\nradiometer/attach screen nx=4 ny=4\n"
                                "raytrace/collimated lamp nx=1 ny=1\n";

TEST(ConsoleViews, ThePolarRadiometerViewDrawsTheNetsIntensity) {
    PipedRun run;
    ASSERT_TRUE(run.go(kPolarModel + std::string("view/polar/save object=2\n"
                                                 "view/polar/save object=3\n"),
                       {"--picture", "p.png"}));
    EXPECT_EQ(run.exitStatus(), 0);
    EXPECT_EQ(count(run.file("screen.out"), "ERROR"), 1u); // startup.opt is not there
    const std::string rays = run.file("rays.dat"), spots = run.file("spots.dat");
    for (std::size_t i = 0; i + 28 <= rays.size(); i += 28)
        for (std::size_t at : {4, 12, 20})
            EXPECT_TRUE(std::isfinite(tracetest::f64(rays, i + at))) << "rays.dat " << i / 28;
    for (std::size_t i = 0; i + 68 <= spots.size(); i += 68)
        for (std::size_t at : {0, 8, 16, 24, 40, 48, 56})
            EXPECT_TRUE(std::isfinite(tracetest::f64(spots, i + at))) << "spots.dat " << i / 68;
    EXPECT_TRUE(run.exists("p.png"));
    // The one ray's facet is the maximum: its wedge of 10 degrees at full radius and the mirror
    // image, and no other wedge.
    const std::string polar = run.file("plot0"), detector = run.file("plot1");
    EXPECT_NE(polar.find("\nw -1.1011 1.1011 -1.1011 1.1011\n"), std::string::npos);
    const double s = std::sin(10 * M_PI / 180), co = std::cos(10 * M_PI / 180);
    EXPECT_EQ(
        linesFrom(polar.substr(polar.find("\nc 15\n") + 1), "c 15", 9),
        (std::vector<std::string>{"c 15", "ma 0 0", fmt("la %g %g", s, co), "la 0 1", "la 0 0",
                                  fmt("la %g %g", -s, co), "la -0 1", "la 0 0", "a"}));
    // A detector's radiometer has no cells round an axis: the four panes and the whole view.
    EXPECT_EQ(detector.find("\nw -1.1011 1.1011 -1.1011 1.1011\n"), std::string::npos);
    EXPECT_GE(count(detector, "\nv "), 5u);
}

TEST(OneMessage, ARedrawFaultIsSaidOnceBeforeTheNextPrompt) {
    PipedRun run;
    run.fixture(
        "rays.dat",
        raysFile({{1, 0, 0, 0}, {0, kNaN, 0, 10}, {-1, 0, kInf, 20}, {1, 0, 0, 0}, {-1, 0, 0, 5}}));
    ASSERT_TRUE(run.go("define/detector screen\nplace/object screen 0 0 30\n"
                       "view/system/rays\ndefine/lens l\nplace/object l 0 0 0\nshow/units\n"
                       "view/energy\ndefine/lens m\nshow/units\nview/orthogonal/rays\nshow/units\n",
                       {"--picture", "p.png"}));
    EXPECT_EQ(run.exitStatus(), 1);
    const std::string log = run.file("meridyn.log"), screen = run.file("screen.out");
    const struct {
        const char* message;
        std::size_t times; // the view command asks afresh; its four panes say it once
        const char* after; // the command whose redraw says it
    } said[] = {
        {"2 Bad points are found in ray data.\n", 2, "view/system/rays\n"},
        {"Use energy command to first evaluate a detector, then use VIEW/ENERGY.\n", 1,
         "view/energy\n"},
    };
    for (const auto& m : said) {
        SCOPED_TRACE(m.message);
        EXPECT_EQ(count(log, std::string("# > ERROR: ") + m.message), m.times);
        EXPECT_EQ(count(screen, std::string("ERROR: ") + m.message), m.times);
        const std::size_t command = screen.find(std::string(" MD: ") + m.after);
        ASSERT_NE(command, std::string::npos);
        EXPECT_LT(screen.find(m.message, command), screen.find(" MD: ", command + 1));
    }
}

const char* const kDetector = "define/detector xsize=10 ysize=10\nplace 1 0 0 100\n";

TEST(BadRecords, AreLeftOutWithOneMessage) {
    // Two finite hits on the detector, a NaN, an infinite point, an infinite energy.
    std::vector<Hit> hits = {{-7, 0, 1}, {-2, 1, 0.5}, {kNaN, 0, 1}, {kInf, 0, 1}, {2, 0, kInf}};
    // A ray along +z of weight 2, one whose far point lies 1e200 out, one broken by a NaN point.
    const std::vector<RayPoint> rays = {{1, 0, 0, 0},          {-1, 0, 0, 2e6}, {1, 0, 0, 0},
                                        {-1, 1e200, 0, 1e200}, {1, 0, 0, 0},    {0, kNaN, 0, 1},
                                        {-1, 0, 0, 5e6}};
    const std::string longName(81, 'n'), spotsBad = "3 Bad points are found in spot data.\n";
    const struct {
        std::string commands, message; // the one error line the commands give
        bool brokenRay = true;
        std::vector<std::string> args = {"--picture", "p.png"};
    } cases[] = {
        {"energy/xlinear object=1 nbins=4\n", spotsBad},
        {"energy/encircled object=1\n", spotsBad},
        {"view/film\nshow/units\nshow/units\n", spotsBad},
        {"energy/polar\n", "1 Bad points are found in ray data.\n"},
        {"energy/polar radiusmax=181\n",
         " Polar buckets must be 1 to 359 and radiusmax greater than 0 and at most 180.  "
         "Command ignored.\n"},
        // The far ray's weight of 1e194 over a ring of 1e-200 degrees: no number holds it.
        {"energy/polar radiusmax=1e-200 buckets=1\n",
         " Polar table values beyond the range of a number.  Command ignored.\n", false},
        {"view/system/rays\n",
         "1 lines with coordinates an IGES file cannot hold were left out.\n",
         false,
         {"--iges", "far.igs"}},
        {"iges/name=" + longName + "\n", " File name too long, command ignored.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commands);
        PipedRun run;
        run.fixture("spots.dat", spotsFile(hits));
        run.fixture("rays.dat", raysFile({rays.begin(), rays.end() - (c.brokenRay ? 0 : 3)}));
        ASSERT_TRUE(run.go(kDetector + c.commands, c.args));
        const std::string all = run.file("meridyn.log"), out = run.file("stdout.txt");
        const std::string log = all.substr(all.find("define/detector")); // after the start-up
        EXPECT_EQ(run.exitStatus(), 1);
        EXPECT_EQ(count(log, "# > ERROR: "), 1u) << log;
        EXPECT_EQ(count(log, "# > ERROR: " + c.message), 1u);
        const std::size_t at = out.find(c.commands.substr(0, c.commands.find('\n') + 1));
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(out.find("inf", at), std::string::npos);
        EXPECT_EQ(out.find("nan", at), std::string::npos);
        EXPECT_FALSE(run.exists(longName));
    }

    // The report counts the finite hits only; the energy plot of a cell beyond the range of a
    // double (two hits of 1e308) keeps its frame and both axes, and the curve leaves it out.
    hits.insert(hits.end(), {{8, 0, 1e308}, {9, 0, 1e308}});
    PipedRun run;
    run.fixture("spots.dat", spotsFile(hits));
    ASSERT_TRUE(
        run.go(kDetector + std::string("energy/xlinear object=1 nbins=4\nview/energy/save\n")));
    EXPECT_NE(run.file("stdout.txt").find("   A total of ,4, rays struck the film"),
              std::string::npos);
    const std::string plot = run.file("plot0");
    // Cells of 5 from -10 with energies 1, 0.5, 0 and beyond; the window runs from -13 to 11
    // and from -0.15 to 1.1, and the frame lies just inside it.
    const double x1 = -10 - 0.15 * 20, x2 = 10 + 0.05 * 20, y1 = -0.15;
    const double dx = 0.00001 * (x2 - x1), dy = 0.00001 * 1.25;
    const std::string frame = fmt("c 15\nma %g %g\nla %g %g\n", x1 + dx, y1 + dy, x2 - dx, y1 + dy);
    EXPECT_NE(plot.find(frame), std::string::npos) << plot.substr(0, 400);
    EXPECT_NE(plot.find("c 11\nma -10 0\nla 10 0\nma -10 0\nla -10 1\n"), std::string::npos);
    EXPECT_NE(plot.find("c 9\nma -7.5 1\nla -2.5 0.5\nla 2.5 0\nw 0 1 0 1\n"), std::string::npos);
}

TEST(DocumentedMends, AreKept) {
    // Film positions in the detector's frame: x from 0 to 10 puts the two cells at 2.5 and 7.5.
    PipedRun film;
    film.fixture("spots.dat", spotsFile({{1, 0, 1}, {6, 0, 1}, {9, 0, 1}}));
    ASSERT_TRUE(film.go(kDetector + std::string("modify/extent 1.1 x1=0\n"
                                                "energy/xlinear object=1 nbins=2\n")));
    EXPECT_EQ(film.exitStatus(), 0);
    EXPECT_EQ(linesFrom(film.file("stdout.txt"), "   Cell   N_hits", 3),
              (std::vector<std::string>{"   Cell   N_hits  Energy   Energy/Area ",
                                        "    2.5,     1,    1.000000,   0.01",
                                        "    7.5,     2,    2.000000,   0.02"}));

    // The angular maxima leave the edge bucket out: a ray along +x of weight 5 lies 90 degrees
    // from y and z, in the edge bucket of 90 degrees in 6; only x has a maximum per steradian.
    PipedRun polar;
    polar.fixture("rays.dat", raysFile({{1, 0, 0, 0}, {-1, 5e6, 0, 0}}));
    ASSERT_TRUE(polar.go("energy/polar radiusmax=90 buckets=6\n"));
    EXPECT_EQ(polar.exitStatus(), 0);
    const double ring = 2 * M_PI * (1 - std::cos(15 * M_PI / 180));
    double m[4] = {};
    const auto line = linesFrom(polar.file("stdout.txt"), "X max (/sr)", 2);
    ASSERT_EQ(line.size(), 2u);
    ASSERT_EQ(std::sscanf(line[1].c_str(), "%lf,%lf,%lf,%lf", &m[0], &m[1], &m[2], &m[3]), 4);
    EXPECT_NEAR(m[0], 5 / ring, 1e-5 * 5 / ring);
    EXPECT_EQ(m[1], 0.0);
    EXPECT_EQ(m[2], 0.0);
    EXPECT_EQ(m[3], 5.0);

    // IGES parameter lines break after a comma: no number is cut across two lines.
    PipedRun iges;
    iges.fixture("rays.dat", raysFile({{1, -1.23457e10, -2.34567e-10, -3.45678e11},
                                       {-1, -4.56789e12, -5.67891e-13, -6.78912e14}}));
    ASSERT_TRUE(iges.go("view/system/rays\n", {"--iges", "l.igs"}));
    const std::string text = iges.file("l.igs");
    const igestest::IgesFile f = igestest::readIges(text);
    ASSERT_EQ(f.error, "");
    bool found = false;
    for (const auto& e : f.entities)
        found |= e.lineCount == 2 && e.parameters.size() == 6 && e.parameters[0] == -1.23457e10 &&
                 e.parameters[5] == -6.78912e14;
    EXPECT_TRUE(found);
    for (const std::string& line : linesFrom(text, "", text.size())) {
        if (line.size() != 80 || line[72] != 'P') continue;
        const std::size_t last = line.find_last_not_of(' ', 63);
        EXPECT_TRUE(line[last] == ',' || line[last] == ';') << line;
    }
}

} // namespace
