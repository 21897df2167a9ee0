// The tracer at the edges of its numbers, through meridyn-cli.
#include <cmath>
#include <string>

#include "tests/e2e/trace_run.h"

namespace {

using namespace tracetest;

bool finite(V v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

const std::string kScene = "define/lightsource lamp\ndefine/detector screen xsize=100 ysize=100\n"
                           "place/object lamp 0 0 -50\nplace/object screen 0 0 20\n";
const std::string kSetUp = kScene + "radiometer/attach screen nx=4 ny=4\n"
                                    "raytrace/collimated lamp nx=3 ny=3 hhwidth=5 vhwidth=5\n"
                                    "radiometer/fileout/name=before.enr screen\n";

TEST(TraceLimits, RefusedValuesLeaveFilesRadiometersAndTheStoreAlone) {
    const struct {
        const char* command;
        const char* message;
    } refusals[] = {
        {"raytrace lamp nx=1e300", "Nx must be between 1 and 2147483647.\n"},
        {"raytrace/coslamp lamp nx=3e9", "Nx must be between 1 and 2147483647.\n"},
        {"raytrace/collimated lamp nx=3 ny=1e12", "Ny must be between 1 and 2147483647.\n"},
        {"raytrace/cone lamp nx=-3", "Nx must be between 1 and 2147483647.\n"},
        {"raytrace/cone lamp ny=0.5", "Ny must be between 1 and 2147483647.\n"},
        {"raytrace/reemit lamp nx=0", "Nx must be between 1 and 2147483647.\n"},
        {"raytrace/collimated lamp nx=3 ny=1 hhwidth=1e308",
         "Horizontal field half width is too large.\n"},
        {"raytrace/collimated lamp nx=1 ny=3 vhwidth=1e308",
         "Vertical field half width is too large.\n"},
        {"raytrace/cone lamp hfov=1e999", "Horizontal field of view must be between 0 and 360.\n"},
        {"raytrace/cone lamp vfov=-1e999", "Vertical field of view must be between 0 and 180.\n"},
    };
    std::string macro = kSetUp;
    for (const auto& r : refusals)
        macro += std::string(r.command) + "\n";
    CliRun run(macro + "radiometer/fileout/name=after.enr screen\nraytrace/last\n");
    ASSERT_TRUE(run.go(1));
    CliRun once(kSetUp);
    ASSERT_TRUE(once.go());
    // Each refusal is the error line next after its command in the log.
    const std::string log = run.file("meridyn.log");
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.command);
        const std::size_t at = log.find(std::string(r.command) + "\n");
        ASSERT_NE(at, std::string::npos);
        const std::size_t error = log.find("# > ERROR: ", at);
        ASSERT_NE(error, std::string::npos);
        EXPECT_EQ(log.substr(error, log.find('\n', error) + 1 - error),
                  std::string("# > ERROR: ") + r.message);
    }
    // "last" repeated the stored trace into files the refusals had left as they were.
    EXPECT_EQ(run.file("rays.dat"), once.file("rays.dat"));
    EXPECT_EQ(run.file("spots.dat"), once.file("spots.dat"));
    EXPECT_EQ(run.file("after.enr"), run.file("before.enr"));

    // Values at the far end of what a trace can use give finite files.
    CliRun far("define/lightsource lamp\nplace/object lamp 0 0 -50\n"
               "set/weightwave 1e303\n"
               "raytrace/collimated lamp nx=2 ny=2 hhwidth=1e200 vhwidth=1\n");
    ASSERT_TRUE(far.go());
    ASSERT_EQ(far.rays().size(), 8u);
    for (const RayPoint& r : far.rays())
        EXPECT_TRUE(finite(r.p)) << r.p.x << " " << r.p.y << " " << r.p.z;
    for (const Spot& s : far.spots())
        EXPECT_TRUE(finite(s.p) && std::isfinite(s.energy));
}

TEST(TraceLimits, LastForgetsASourceWhoseSlotAnotherObjectTook) {
    CliRun run("define/lightsource lamp\n"
               "place/object lamp 0 0 -50\nraytrace/coslamp lamp nx=3\ndelete lamp\n"
               "define/lens other\nplace/object other 0 0 0\nraytrace/last\n"
               "define/lightsource lamp2\nplace/object lamp2 0 0 -50\nraytrace/last\n");
    ASSERT_TRUE(run.go());
    const auto rays = run.rays();
    ASSERT_EQ(rays.size(), 6u); // the first trace's three rays, never traced again
    for (std::size_t i = 0; i < rays.size(); i += 2)
        expectNear(rays[i].p, {0, 0, -50});
}

TEST(TraceLimits, ADetectorInAnAbsorbingRodRecordsWhatReachesIt) {
    const std::string rod = "define/rod rod length=200 diameter=40 n=1.5\n"
                            "modify/object/absorbtivity rod alpha=0.01\ndefine/lightsource lamp\n"
                            "define/detector screen xsize=10 ysize=10\nplace/object rod 0 0 0\n"
                            "place/inside lamp rod 0 0 10\nplace/inside screen rod 0 0 80\n"
                            "radiometer/attach screen nx=4 ny=4\n";
    for (bool bundle : {true, false}) {
        SCOPED_TRACE(bundle);
        CliRun run(rod +
                   (bundle ? "raytrace/collimated lamp nx=1 ny=1\n" : "raytrace/single lamp\n") +
                   "radiometer/fileout/name=r.enr screen\n");
        ASSERT_TRUE(run.go());
        ASSERT_EQ(run.spots().size(), 1u);
        EXPECT_NEAR(run.spots()[0].energy, std::exp(-0.7), 1e-12);
        EXPECT_TRUE(!bundle ||
                    run.file("r.enr").find("1,1,0.496585,0,0.496585\n") != std::string::npos);
    }
}

TEST(TraceLimits, ReemitRecordsWithoutTheirOwnWavelengthAreSkipped) {
    CliRun run(kScene + "set/wavelength 0.5 0.6\nset/weightwave 1 0.5\nraytrace/reemit lamp\n");
    run.put("reemit.dat", reemitRecord({1, 2, 0}, {0, 0, 1}, 1) +
                              reemitRecord({1, 2, 0}, {0, 0, 1}, 12) +
                              reemitRecord({1, 2, 0}, {0, 0, 1}, -1));
    ASSERT_TRUE(run.go(1));
    ASSERT_EQ(run.spots().size(), 1u);
    EXPECT_EQ(run.spots()[0].wavelength, 1);
    EXPECT_NE(run.file("screen.out")
                  .find("ERROR: 2 re-emission records with a wavelength index out of range were "
                        "skipped.\n"),
              std::string::npos);
}

} // namespace
