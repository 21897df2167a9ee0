// Saving models through meridyn-cli: a model saved in the compressed form (.opt), run in a fresh
// program and saved again gives the same bytes and the same listings; the complete form rebuilds
// the same model; SAVE's refusals; a failed save reports itself and leaves the old file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "tests/e2e/cli_runner.h"

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::runCli;

namespace {

void writeFile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// Every object kind, a net (first, so that the reload numbers objects alike), catalog glass,
// inside placements, turned placements, alternate surfaces of each kind, holes, object media
// and deactivated parts; coatings, a scatterer, a radiometer, bulk and gradient-index materials
// and a plug-in source (bundled plug-ins, found beside the program); a replicated part and a
// renamed one.
const char* const kModel = R"(set/matcatalog/name="crown.cat"
set/wavelength 0.5 0.6 0.7
set/weightwave 1 1 1
set/fresnel/on
set/workbox 1 2 3 40 50 60
polynet/start net1 index=1.6
polynet/polygon
polynet/chain
polynet/point 0 0 0
polynet/point 10 0 0
polynet/point 0 10 0
polynet/close
polynet/finish
define/lens/spherical/material=CROWN glassy 100 -100 10 50
define/lens/spherical mylens 100 -100 10 50 1.5
define/lens/cylindrical/x_powered cyl
define/lens/doublet dbl
define/rod myrod
define/axis
define/lightsource lamp
define/detector det 10 10
define/film/oval film1 5 5
define/aperture/oval/hrectangle ap 30 30 0 0 5 5
define/aperture/rectangle/hoval ap2
define/mirror/flat/oval/front flat1 20 20
define/mirror/parabolic/pledge/xhw/concave para
define/mirror/spherical/rectangle/concave sph 100 20 20
define/mirror/trough/concave tr
define/mirror/conic/round/concave con 0.01 -1 20
define/mirror/cpc/concave cpc1 20 60 5
define/quadric/ellipsoid/inside ell
define/quadric/cylinder/both_sides qcyl
define/cavity/cone/outside cav
place/object/global net1 1 2 3
place/object/global mylens 0 0 10
place/object/rotations flat1 5 6 7 30 40 50
place/object/inside myrod mylens 0 0 1
place/object/global glassy 0 0 -50
place/object/inside dbl glassy 0 0 0
modify/surface/attributes flat1.1 0.5 0.1 0 0
# a user comment
modify/altsurfaces/fresnel/x_cylindrical mylens.2 50 100
modify/altsurfaces/aspheric mylens.1 0.01 0 1e-6
modify/altsurfaces/toric sph.1 100 200
modify/altsurfaces/grating flat1.1 100 0 1
modify/surface/hole/oval flat1.1 0 0 2 3
modify/surface/hole/rectangular ap.1 1 1 2 2
modify/object/index myrod 1.7
modify/object/absorbtivity mylens 0.25
modify/object/luminence myrod 2
deactivate mylens
modify/surface/fresnel/on mylens.3
modify/surface/metal/on con.1 0.5 1 1 0 1.5 0
modify/scatterer/gaussian flat1.1 0.5 2
radiometer/attach det 8 4
material/attach myrod 0.1 0.2 0.8
material/grin/name="ixprof01.so" cyl 0.5 1 2 3
modify/source/name="raysrc1.so" lamp 1 2 3 4 5 6 7
replicate/newname=twin flat1
rename/newname=renamed para
)";

const char* const kListing = "display/surface all\ndisplay/altsurfaces all\ndisplay/object all\n"
                             "display/extents all\ndisplay/parameters all\n"
                             "material/textout myrod\nmaterial/textout cyl\n"
                             "radiometer/textout det\nmodify/scatterer/show flat1.1\n"
                             "modify/scatterer/show twin.1\n";

const char* const kCatalog = "NM CROWN 2 0 1.5168 64.17\n"
                             "CD 1.03961212 0.00600069867 0.231792344 0.0200179144 1.01046945 "
                             "103.560653\n"
                             "LD 0.31 2.5\n";

// What the run printed from the listing macro on.
std::string listing(const fs::path& home) {
    const std::string out = readFile(home / "stdout.txt");
    const std::size_t at = out.find("macro/name=\"list.mac\"");
    if (at == std::string::npos) return std::string();
    const std::size_t end = out.find("Saving ", at);
    return out.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

class SaveModelE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(first.path().empty());
        ASSERT_FALSE(second.path().empty());
        writeFile(first.path() / "crown.cat", kCatalog);
        writeFile(first.path() / "model.mac", kModel);
        writeFile(first.path() / "list.mac", kListing);
        writeFile(second.path() / "list.mac", kListing);
    }
    clitest::ScratchHome first, second;
};

TEST_F(SaveModelE2E, CompressedFormReloadsToTheSameModelAndSavesTheSameBytes) {
    ASSERT_EQ(runCli(first.path(), {"--save", "a.opt", "model.mac", "list.mac"}), 0);
    const std::string saved = readFile(first.path() / "a.opt");
    const std::string before = listing(first.path());
    ASSERT_FALSE(before.empty());

    const fs::path a = first.path() / "a.opt";
    ASSERT_EQ(runCli(second.path(), {"--save", "b.opt", a.string(), "list.mac"}), 0);
    EXPECT_EQ(readFile(second.path() / "b.opt"), saved);
    EXPECT_EQ(listing(second.path()), before);
    EXPECT_EQ(readFile(second.path() / "stderr.txt"), readFile(first.path() / "stderr.txt"));

    // The parts of the file as the model holds them.
    EXPECT_NE(saved.find("set/matcatalog/name=\"" + (first.path() / "crown.cat").string() +
                         "\"\npolynet/start net1 index=1.6\n"),
              std::string::npos);
    EXPECT_NE(saved.find("define/lens/spherical/material=\"CROWN\" glassy 100 -100 10 50 "),
              std::string::npos);
    EXPECT_NE(saved.find("place/rotations myrod 0 0 11 0 0 0 mylens\n"), std::string::npos);
    EXPECT_NE(saved.find("modify/object/luminence myrod 2\n"), std::string::npos);
    EXPECT_NE(saved.find("place/rotations mylens 0 0 10 0 0 0 \ndeactivate mylens\n"),
              std::string::npos);
    // The doublet's cemented face is no container: only the glass it was put in is.
    EXPECT_NE(saved.find("place/rotations dbl 0 0 -50 0 0 0 glassy\n"), std::string::npos);
    EXPECT_EQ(saved.substr(saved.size() - 17), "# a user comment\n");
    for (const char* line :
         {"modify/surface/fresnel/on mylens.3\n", "modify/surface/metal/on con.1 0.5 1 1 0 1.5 0\n",
          "modify/scatterer/gaussian flat1.1 0.5 2\n", "radiometer/attach det 8 4\n",
          "material/attach myrod 0.1 0.2 0.8\n",
          "material/grin/name=\"ixprof01.so\" cyl 0.5 1 2 3 0 0 0 0 0 0 0 0 0 0 0 0 0\n",
          "modify/source/name=\"raysrc1.so\" lamp 1 2 3 4 5 6 7\n",
          "modify/scatterer/gaussian twin.1 0.5 2\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
}

TEST_F(SaveModelE2E, CompleteFormRebuildsTheSameModel) {
    ASSERT_EQ(runCli(first.path(), {"--save", "a.mac", "model.mac", "list.mac"}), 0);
    const std::string before = listing(first.path());
    const std::string complete = readFile(first.path() / "a.mac");
    EXPECT_EQ(complete.find("macro/"), std::string::npos);
    fs::copy_file(first.path() / "crown.cat", second.path() / "crown.cat");
    const fs::path a = first.path() / "a.mac";
    ASSERT_EQ(runCli(second.path(), {a.string(), "list.mac"}), 0);
    EXPECT_EQ(listing(second.path()), before);
}

TEST_F(SaveModelE2E, SaveCommandRefusesAndOverwrites) {
    writeFile(first.path() / "x.opt", "old\n");
    const std::string longName(45, 'n');
    writeFile(first.path() / longName, "old\n");
    writeFile(first.path() / "cmds.mac", "define/rod r1\nsave\nsave/name=x.opt\nsave/name=" +
                                             longName + "\nsave/name=y.opt\n");
    // The refusals are errors of the run.
    ASSERT_EQ(runCli(first.path(), {"cmds.mac"}), 1);
    const std::string log = readFile(first.path() / "meridyn.log");
    EXPECT_NE(log.find("# > ERROR:  No file name given, command ignored.\n"), std::string::npos);
    EXPECT_NE(log.find("# > ERROR:  File x.opt already exists.  Command Ignored.\n"),
              std::string::npos);
    EXPECT_NE(log.find("# > ERROR:  File " + longName + " already exists, command ignored\n"),
              std::string::npos);
    EXPECT_EQ(readFile(first.path() / "x.opt"), "old\n");
    const std::string y = readFile(first.path() / "y.opt");
    EXPECT_NE(y.find("define/rod r1 "), std::string::npos);

    writeFile(first.path() / "cmds.mac", "define/rod r2\nsave/name=x.opt/overwrite\n");
    ASSERT_EQ(runCli(first.path(), {"cmds.mac"}), 0);
    const std::string x = readFile(first.path() / "x.opt");
    EXPECT_NE(x.find("define/rod r2 "), std::string::npos);
    EXPECT_EQ(x.find("define/rod r1"), std::string::npos);
}

TEST_F(SaveModelE2E, AFailedSaveReportsItselfAndKeepsWhatStoodThere) {
    writeFile(first.path() / "m.mac", "define/rod r1\n");
    // Into a folder that does not exist.
    EXPECT_EQ(runCli(first.path(), {"--save", "nowhere/a.opt", "m.mac"}), 1);
    EXPECT_NE(readFile(first.path() / "stderr.txt")
                  .find("Error opening save file.  Exit and recover via MERIDYN.LOG"),
              std::string::npos);
    // Over something that is not a plain file: nothing is written through it.
    ASSERT_EQ(mkfifo((first.path() / "pipe.opt").c_str(), 0644), 0);
    writeFile(first.path() / "cmds.mac", "define/rod r1\nsave/name=pipe.opt/overwrite\n");
    EXPECT_EQ(runCli(first.path(), {"cmds.mac"}), 1);
    EXPECT_TRUE(fs::is_fifo(first.path() / "pipe.opt"));
    EXPECT_NE(readFile(first.path() / "meridyn.log")
                  .find("# > ERROR: Error opening save file.  Exit and recover via MERIDYN.LOG"),
              std::string::npos);
    // Over a folder.
    fs::create_directory(first.path() / "dir.opt");
    EXPECT_EQ(runCli(first.path(), {"--save", "dir.opt", "m.mac"}), 1);
    EXPECT_TRUE(fs::is_directory(first.path() / "dir.opt"));
    // No temporary file is left behind.
    for (const auto& e : fs::directory_iterator(first.path()))
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
}

} // namespace

namespace {

TEST(SaveModelPathsE2E, SavePathIsTakenFromTheStartingDirectory) {
    clitest::ScratchHome start, home;
    ASSERT_FALSE(start.path().empty());
    ASSERT_FALSE(home.path().empty());
    std::ofstream(start.path() / "m.mac") << "define/rod r1\n";
    ASSERT_EQ(runCli(start.path(), {"--home", home.path().string(), "--save", "out.opt", "m.mac"}),
              0);
    EXPECT_NE(readFile(start.path() / "out.opt").find("define/rod r1 "), std::string::npos);
    EXPECT_FALSE(fs::exists(home.path() / "out.opt"));
}

} // namespace
