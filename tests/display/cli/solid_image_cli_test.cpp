// view/image through meridyn-cli: TEMP.SOL byte by byte against the pixels computed here from
// the workbox fit, and the picture showing the rendered image.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "tests/display/png_decoder.h"
#include "tests/e2e/cli_runner.h"

namespace {

using namespace clitest;

// Runs a macro in a scratch home with the picture on; the home stays for the checks.
struct ImageRun {
    ScratchHome home;
    // The exit status: 0, or 1 when a command reported an error.
    int go(const std::string& macro) {
        std::ofstream(home.path() / "main.mac") << macro;
        return runCli(home.path(), {"--home", ".", "--picture", "pic.png", "main.mac"});
    }
    std::string file(const std::string& name) const { return readFile(home.path() / name); }
};

TEST(SolidImageCli, EmptyModelIsWhite) {
    ImageRun run;
    ASSERT_EQ(run.go("view/image nx=8 ny=6\n"), 0);
    EXPECT_EQ(run.file("TEMP.SOL"), "1 8 6 255.000000\n" + std::string(48, '\xFF'));
}

TEST(SolidImageCli, DetectorFacingTheSun) {
    ImageRun run;
    ASSERT_EQ(run.go("set/workbox xcenter=0 ycenter=0 zcenter=0 xsize=20 ysize=20 zsize=20\n"
                       "define/detector xsize=10 ysize=10\n"
                       "place 1 0 0 0\n"
                       "set/sun azimuth=0 elevation=0 intensity=200\n"
                       "view/image nx=40 ny=30 azimuth=0 elevation=0\n"),
              0);
    const std::string sol = run.file("TEMP.SOL");
    const std::string header = "1 40 30 200.000000\n";
    ASSERT_EQ(sol.size(), header.size() + 1200);
    EXPECT_EQ(sol.substr(0, header.size()), header);
    // The image plane: the workbox seen from 1e6 along +z (its near corners 1 + 2e-5 larger),
    // widened to the 800 x 600 view's aspect with a 4 % margin; the film is the plane z = 0.
    const double aspect = 800.0 / 600.0;
    const double half = 20.0 / (1.0 - 20.0 / 1e6);
    const double size = 2 * half * aspect * 1.04;
    const double x0 = -size / 2, y1 = size / aspect / 2, step = size / 40;
    int lit = 0;
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 40; ++j) {
            const double x = x0 + (j + 0.5) * step, y = y1 - (i + 0.5) * step;
            const bool onFilm = std::fabs(x) < 10 && std::fabs(y) < 10;
            const unsigned char byte = static_cast<unsigned char>(sol[header.size() + i * 40 + j]);
            EXPECT_EQ(byte, onFilm ? 254 : 255) << i << " " << j;
            lit += onFilm;
        }
    EXPECT_EQ(lit, 14 * 14);
    // The picture shows the image, stretched over the view.
    DecodedPng png = decodePngFile((run.home.path() / "pic.png").string());
    ASSERT_EQ(png.error, "");
    auto at = [&](int x, int y) { return png.rgb[(static_cast<std::size_t>(y) * 800 + x) * 3]; };
    EXPECT_EQ(at(400, 300), 254);
    EXPECT_EQ(at(0, 0), 255);
    EXPECT_EQ(at(799, 599), 255);
}

TEST(SolidImageCli, NullNameKeepsTheOldFileAndNoShowKeepsTheWireframe) {
    ImageRun run;
    std::ofstream(run.home.path() / "TEMP.SOL") << "old";
    ASSERT_EQ(run.go("define/detector xsize=10 ysize=10\nplace 1 0 0 0\n"
                       "view/image/name=null/noshow nx=4 ny=4 azimuth=0 elevation=0\n"),
              0);
    EXPECT_EQ(run.file("TEMP.SOL"), "old");
    DecodedPng png = decodePngFile((run.home.path() / "pic.png").string());
    ASSERT_EQ(png.error, "");
    long grey = 0;
    for (std::size_t i = 0; i < png.rgb.size(); i += 3)
        grey += png.rgb[i] == 254;
    EXPECT_EQ(grey, 0);
}

TEST(SolidImageCli, RefusedSizesRenderNothing) {
    ImageRun run;
    EXPECT_EQ(run.go("view/image nx=641 ny=10\nview/image nx=-3\n"), 1);
    EXPECT_FALSE(std::filesystem::exists(run.home.path() / "TEMP.SOL"));
    EXPECT_NE(run.file("stdout.txt").find("Nx and ny must be greater than 0, less than 641."),
              std::string::npos);
}

} // namespace
