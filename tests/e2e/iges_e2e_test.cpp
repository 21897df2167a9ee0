// meridyn-cli --iges: the view's IGES export read back with the independent reader of the
// 80-column layout, for a model in each unit and for rays with far exit points.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "tests/e2e/analysis_run.h"
#include "tests/e2e/iges_reader.h"

namespace {

using namespace analysistest;
using igestest::IgesFile;
using igestest::readIges;

// Global parameters by position.
enum { kFileName = 3, kNativeId = 4, kUnitFlag = 13, kUnitName = 14, kMaxCoordinate = 19,
       kAuthor = 20, kOrganisation = 21, kVersion = 22 };

std::vector<std::string> leftovers(const std::filesystem::path& home) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(home)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("iges", 0) == 0 || name.rfind(".out.igs", 0) == 0) out.push_back(name);
    }
    return out;
}

TEST(IgesExport, AModelInEachUnit) {
    const struct {
        const char* unit;
        const char* flag;
        const char* name;
    } units[] = {{"cm", "10", "CM"}, {"mm", "2", "MM"}, {"inches", "1", "INCH"},
                 {"meters", "6", "M"}};
    for (const auto& u : units) {
        SCOPED_TRACE(u.unit);
        PipedRun run;
        ASSERT_TRUE(run.go(std::string("set/units/") + u.unit +
                               "\ndefine/detector xsize=10 ysize=10\nplace 1 0 0 100\n",
                           {"--iges", "out.igs"}));
        const IgesFile f = readIges(run.file("out.igs"));
        ASSERT_EQ(f.error, "");
        ASSERT_GE(f.global.size(), 24u);
        EXPECT_EQ(f.global[kFileName], "out.igs");
        EXPECT_EQ(f.global[kNativeId], "MERIDYN");
        EXPECT_EQ(f.global[kUnitFlag], u.flag);
        EXPECT_EQ(f.global[kUnitName], u.name);
        EXPECT_EQ(f.global[kAuthor], "Prof. X Y Zed");
        EXPECT_EQ(f.global[kOrganisation], "Harbor Inst. of Kite Design");
        EXPECT_EQ(f.global[kVersion], "4");
        EXPECT_EQ(f.counts[0], 1);
        EXPECT_EQ(f.counts[1], 10);
        ASSERT_FALSE(f.entities.empty());
        EXPECT_EQ(f.counts[2], 2 * static_cast<int>(f.entities.size()));
        // The film's outline lies in z = 100 within its half widths.
        int outline = 0;
        for (const auto& e : f.entities) {
            EXPECT_EQ(e.type, 110);
            ASSERT_EQ(e.parameters.size(), 6u);
            const auto& p = e.parameters;
            if (p[2] == 100 && p[5] == 100 && std::fabs(p[0]) <= 10 && std::fabs(p[1]) <= 10 &&
                std::fabs(p[3]) <= 10 && std::fabs(p[4]) <= 10)
                ++outline;
        }
        EXPECT_GE(outline, 4);
        // The line records went to a temporary file, and it is gone.
        EXPECT_EQ(leftovers(run.home()), std::vector<std::string>{});
        EXPECT_NE(run.file("meridyn.log").find("iges/name=iges"), std::string::npos);
    }
}

TEST(IgesExport, RaysWithFarExitPoints) {
    PipedRun run;
    run.fixture("rays.dat", raysFile({{1, 0, 0, 0}, {0, 0, 0, 10}, {-1, 0, 0, 2.5e6},
                                      {1, 1, 2, 3}, {-1, 1e10, 2, 3}}));
    ASSERT_TRUE(run.go("view/system/rays\n", {"--iges", "far.igs"}));
    const std::string text = run.file("far.igs");
    const IgesFile f = readIges(text);
    ASSERT_EQ(f.error, "");
    EXPECT_NE(run.file("meridyn.log").find("iges/rays/name=iges"), std::string::npos);
    bool far = false, tenth = false;
    for (const auto& e : f.entities) {
        far = far || (e.parameters[0] == 0 && e.parameters[5] == 2.5e6);
        tenth = tenth || e.parameters[3] == 1e10;
    }
    EXPECT_TRUE(far);
    EXPECT_TRUE(tenth);
    EXPECT_NE(text.find(",1.00000E+10,"), std::string::npos);
    // The header's largest coordinate bounds them.
    EXPECT_GE(std::stod(f.global[kMaxCoordinate]), 1e10);
}

TEST(IgesExport, AnUnwritableFileIsSaid) {
    PipedRun run;
    ASSERT_TRUE(run.go("define/detector\nplace 1 0 0 0\n", {"--iges", "no/such/dir/x.igs"}));
    EXPECT_EQ(run.exitStatus(), 1);
    EXPECT_NE(run.file("stderr.txt").find("cannot write the IGES file no/such/dir/x.igs"),
              std::string::npos);
    EXPECT_NE(run.file("stdout.txt").find("Error opening iges output file."), std::string::npos);
    EXPECT_EQ(leftovers(run.home()), std::vector<std::string>{});
}

} // namespace
