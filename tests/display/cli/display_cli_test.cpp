// The display through meridyn-cli: view commands in a macro and typed on standard input write
// display files, the HPGL plot and the picture. Display and HPGL files are compared with the
// expected files of a case as numbers, since coordinates are "%g" and "%f" text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/display/png_decoder.h"
#include "tests/e2e/cli_runner.h"

namespace fs = std::filesystem;
using namespace clitest;

namespace {

// Words of a record; ";" stands alone so that HPGL numbers are words of their own.
std::vector<std::string> words(std::string line) {
    std::string spaced;
    for (char c : line)
        spaced += c == ';' ? std::string(" ; ") : std::string(1, c);
    std::istringstream in(spaced);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool sameNumber(const std::string& a, const std::string& b) {
    char* endA = nullptr;
    char* endB = nullptr;
    const double x = std::strtod(a.c_str(), &endA), y = std::strtod(b.c_str(), &endB);
    if (*endA || *endB || endA == a.c_str() || endB == b.c_str()) return false;
    return std::fabs(x - y) <= 1e-9 + 1e-5 * std::max(std::fabs(x), std::fabs(y));
}

// Compares two plot files record by record, numbers within rounding.
void expectSamePlot(const fs::path& actual, const fs::path& expected) {
    std::istringstream a(readFile(actual)), e(readFile(expected));
    std::string la, le;
    int line = 0;
    while (true) {
        const bool moreA = static_cast<bool>(std::getline(a, la));
        const bool moreE = static_cast<bool>(std::getline(e, le));
        ++line;
        ASSERT_EQ(moreA, moreE) << actual.filename() << " differs in length at line " << line;
        if (!moreA) break;
        auto wa = words(la), we = words(le);
        bool same = wa.size() == we.size();
        for (std::size_t i = 0; same && i < wa.size(); ++i)
            same = wa[i] == we[i] || sameNumber(wa[i], we[i]);
        ASSERT_TRUE(same) << actual.filename() << " line " << line << ": \"" << la
                          << "\", expected \"" << le << "\"";
    }
}

const fs::path kCases = MERIDYN_DISPLAY_CLI_CASES;

TEST(DisplayCli, MacroViewsWriteDisplayFilesPlotAndPicture) {
    ScratchHome home;
    fs::copy(kCases / "views" / "main.mac", home.path() / "main.mac");
    ASSERT_EQ(runCli(home.path(), {"--home", ".", "--size", "320x240", "--picture", "pic.png",
                                   "--hpgl", "out.hgl", "main.mac"}),
              0)
        << readFile(home.path() / "stderr.txt");
    for (const char* f : {"plot0", "plot1", "plot2", "out.hgl"})
        expectSamePlot(home.path() / f, kCases / "views" / (std::string("expected.") + f));
    const std::string screen = readFile(home.path() / "screen.out");
    for (const char* f : {"plot0", "plot1", "plot2"})
        EXPECT_NE(screen.find(std::string("Plot file created: ") + f), std::string::npos);

    // The picture: a PNG of the given size, 8-bit RGB, not blank.
    const std::string png = readFile(home.path() / "pic.png");
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) |
               (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) |
               static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 320u);
    EXPECT_EQ(be32(20), 240u);
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 2); // RGB
    DecodedPng picture = decodePngFile((home.path() / "pic.png").string());
    ASSERT_EQ(picture.error, "");
    long dark = 0;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3)
        dark += picture.rgb[i] == 0 && picture.rgb[i + 1] == 0 && picture.rgb[i + 2] == 0;
    EXPECT_GT(dark, 320 + 240); // at least the pane frames
}

TEST(DisplayCli, TypedLinesRepaintAsTheyArrive) {
    ScratchHome home;
    std::ofstream(home.path() / "input.txt")
        << "view/save/z\nset/autoredraw/off\nview/system/save\n";
    ASSERT_EQ(
        runCli(home.path(), {"--home", ".", "--picture", "pic.png"}, home.path() / "input.txt"), 0);
    const std::string plot0 = readFile(home.path() / "plot0");
    const std::string plot1 = readFile(home.path() / "plot1");
    EXPECT_EQ(plot0.rfind("s 0 799 0 599\nw 0 1200 0 800\nv 0 799 0 599\np\n", 0), 0u);
    EXPECT_EQ(plot1.rfind("s 0 799 0 599\n", 0), 0u);
    EXPECT_EQ(plot0.substr(plot0.size() - 4), "a\nd\n");
    DecodedPng picture = decodePngFile((home.path() / "pic.png").string());
    ASSERT_EQ(picture.error, "");
    EXPECT_EQ(picture.width, 800);
    EXPECT_EQ(picture.height, 600);
}

// The picture a typed session leaves behind, decoded.
DecodedPng pictureAfter(const std::string& lines) {
    ScratchHome home;
    std::ofstream(home.path() / "input.txt") << lines;
    EXPECT_EQ(runCli(home.path(), {"--home", ".", "--picture", "pic.png"}, home.path() / "input.txt"),
              0);
    return decodePngFile((home.path() / "pic.png").string());
}

TEST(DisplayCli, TheAxisViewsEachDrawTheirOwnPicture) {
    const std::string model = "define/lens\nset/workbox/snug\n";
    DecodedPng system = pictureAfter(model + "view/system\n");
    DecodedPng x = pictureAfter(model + "view/x\n");
    DecodedPng y = pictureAfter(model + "view/y\n");
    DecodedPng z = pictureAfter(model + "view/z\n");
    DecodedPng savedZ = pictureAfter(model + "view/save/z\n");
    for (const DecodedPng* p : {&system, &x, &y, &z, &savedZ})
        ASSERT_EQ(p->error, "");
    EXPECT_TRUE(z.rgb != system.rgb);
    EXPECT_TRUE(z.rgb != x.rgb);
    EXPECT_TRUE(z.rgb != y.rgb);
    EXPECT_TRUE(x.rgb != y.rgb);
    EXPECT_TRUE(savedZ.rgb == z.rgb);
}

// The bundled example as run-example.sh runs it: an 800x600 line drawing is deflated to a
// small file.
TEST(DisplayCli, TheExamplePictureIsCompressed) {
    ScratchHome home;
    fs::copy(MERIDYN_EXAMPLES, home.path() / "examples",
             fs::copy_options::recursive);
    fs::create_directory(home.path() / "out");
    ASSERT_EQ(runCli(home.path() / "out",
                     {"--home", ".", "--picture", "demo.png", "../examples/demo.mac"}),
              0);
    const fs::path png = home.path() / "out" / "demo.png";
    EXPECT_LT(fs::file_size(png), 100u * 1000u); // raw, it is 1.44 MB
    DecodedPng picture = decodePngFile(png.string());
    ASSERT_EQ(picture.error, "");
    EXPECT_EQ(picture.width, 800);
    EXPECT_EQ(picture.height, 600);
    const std::size_t white =
        std::count(picture.rgb.begin(), picture.rgb.end(), std::uint8_t{0xFF});
    EXPECT_LT(white, picture.rgb.size()); // something is drawn
}

TEST(DisplayCli, BadFlagsEndTheRun) {
    ScratchHome home;
    EXPECT_EQ(runCli(home.path(), {"--size", "0x600"}), 2);
    EXPECT_NE(readFile(home.path() / "stderr.txt").find("--size takes WxH"), std::string::npos);
    EXPECT_EQ(runCli(home.path(), {"--size", "800"}), 2);
    EXPECT_EQ(runCli(home.path(), {"--picture"}), 2);
    EXPECT_EQ(runCli(home.path(), {"--home", ".", "--hpgl"}), 2);
}

TEST(DisplayCli, UnwritablePlotIsReportedAndTheRunGoesOn) {
    ScratchHome home;
    // The run goes on to its end, which then says that an output was lost.
    EXPECT_EQ(runCli(home.path(), {"--home", ".", "--hpgl", "no/such/dir/out.hgl", "--picture",
                                   "no/such/dir/pic.png"}),
              1);
    const std::string err = readFile(home.path() / "stderr.txt");
    EXPECT_NE(err.find("cannot write the picture no/such/dir/pic.png"), std::string::npos);
    EXPECT_NE(err.find("Unable to open hpgl file no/such/dir/out.hgl for output."),
              std::string::npos);
}

} // namespace
