// The bundle tracer on models built through the command language: paths against Snell's law,
// the branch walk at the ghost limit, threshold, roulette and depth, detectors, the nearest-hit
// rules, start media, bulk scatter and gradient-index media, the chosen-ray and optical-path
// files, the ray-file modes, Escape and the view-ray shade.
#include <climits>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>


#include "engine/files/ray_files.h"
#include "engine/optics/optics.h"
#include "engine/optics/random_sampling.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_media.h"
#include "engine/trace/one_ray_trace.h"
#include "engine/trace/ray_tree.h"
#include "parts/materials/material.h"
#include "parts/output/ray_output_state.h"
#include "parts/part.h"
#include "parts/radiometers/radiometer.h"
#include "parts/raytrace_manager.h"
#include "parts/trace/trace_totals.h"
#include "tests/parts/part_fixture.h"
#include "tests/engine/files/no_room_for_files.h"

namespace {

struct Point {
    int flag;
    Vec3 p;
};

double len(const Vec3& v) {
    return std::sqrt(dot3(v, v));
}
Vec3 unitOf(Vec3 v) {
    normalize3(v);
    return v;
}
// Snell's law in vector form with a normal of any length facing either way.
Vec3 snell(Vec3 d, Vec3 n, double n1, double n2) {
    n = unitOf(n);
    if (dot3(n, d) > 0) n = -1.0 * n;
    const double ci = -dot3(n, d), eta = n1 / n2;
    return unitOf(eta * d + (eta * ci - std::sqrt(1 - eta * eta * (1 - ci * ci))) * n);
}
// The nearer (or farther) root of |p + t d - c| = r.
double sphereRoot(Vec3 p, Vec3 d, Vec3 c, double r, bool farther) {
    const Vec3 w = p - c;
    const double b = dot3(w, d), s = std::sqrt(b * b - (dot3(w, w) - r * r));
    return farther || -b - s <= 0 ? -b + s : -b - s;
}

class TracerTest : public parttest::PartModelTest {
  protected:
    void SetUp() override {
        PartModelTest::SetUp();
        resetTraceTotals();
        resetLastTraceStore();
        resetRayOutputState();
        resetRayTreeState();
        resetRandomState();
        manager = std::make_unique<CRaytraceManager>();
        addCommandHandler("raytrace", [this](CQelDoc&) { return manager->Raytrace(); });
    }
    void TearDown() override {
        manager.reset();
        resetRayOutputState();
        resetTraceTotals();
        resetLastTraceStore();
        resetRayTreeState();
        resetRandomState();
        PartModelTest::TearDown();
    }
    // The default singlet (faces of radius 100, 20 thick, index 1.33) at the origin, a light
    // source 50 before it and a detector `screenZ` after it.
    void singlet(double screenZ = 300) {
        run("define/lightsource lamp");
        run("define/lens singlet");
        run("define/detector screen");
        run("place/object lamp 0 0 -50");
        run("place/object singlet 0 0 0");
        run("place/object screen 0 0 " + std::to_string(screenZ));
    }
    std::vector<Point> rays() {
        std::ifstream in(dir.file("rays.dat"), std::ios::binary);
        std::vector<Point> out;
        unsigned char b[kRayRecordBytes];
        while (in.read(reinterpret_cast<char*>(b), kRayRecordBytes)) {
            const RayPointRecord r = decodeRayRecord(b);
            out.push_back({r.flag, r.point});
        }
        return out;
    }
    std::vector<SpotRecord> spots() {
        std::ifstream in(dir.file("spots.dat"), std::ios::binary);
        std::vector<SpotRecord> out;
        unsigned char b[kSpotRecordBytes];
        while (in.read(reinterpret_cast<char*>(b), kSpotRecordBytes))
            out.push_back(decodeSpotRecord(b, kSpotRecordBytes));
        return out;
    }
    // Traces one ray from a global point along +z (or `d`) with the files open.
    void traceOne(Vec3 p, Vec3 d = {0, 0, 1}, ObjectRecord* source = nullptr) {
        manager->OpenRayFiles(0);
        manager->tracer.maxDepth = maxRayDepth;
        manager->tracer.ghostLimit = maxGhosts;
        manager->tracer.threshold = minRayEnergy;
        result = manager->tracer.TraceSourceRay(p, d, source, 0);
        manager->CloseRayFiles();
    }
    SurfaceRecord* surfaceOf(const std::string& name, int n = 1) {
        return part(name).GetSurfaceHandle(n)->surface;
    }

    std::unique_ptr<CRaytraceManager> manager;
    int result = 0;
};

TEST_F(TracerTest, ASingletRayFollowsSnellsLawToTheDetector) {
    singlet();
    traceOne({0, 10, -50});
    EXPECT_EQ(result, 1);
    const Vec3 d0{0, 0, 1}, c1{0, 0, 90}, c2{0, 0, -90};
    const Vec3 entry = Vec3{0, 10, -50} + sphereRoot({0, 10, -50}, d0, c1, 100, false) * d0;
    const Vec3 d1 = snell(d0, entry - c1, 1.0, 1.33);
    const Vec3 exit = entry + sphereRoot(entry, d1, c2, 100, true) * d1;
    const Vec3 d2 = snell(d1, exit - c2, 1.33, 1.0);
    const Vec3 screen = exit + ((300 - exit.z) / d2.z) * d2;
    const auto r = rays();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].flag, 1); // wavelength index 0 + 1
    EXPECT_EQ(r[1].flag, 0);
    EXPECT_LT(len(r[1].p - entry), 1e-9);
    EXPECT_LT(len(r[2].p - exit), 1e-9);
    EXPECT_LT(len(r[3].p - screen), 1e-9);
    const auto s = spots();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_NEAR(s[0].point.y, screen.y, 1e-9);
    EXPECT_DOUBLE_EQ(s[0].energy, 1.0);
    EXPECT_EQ(s[0].objectNumber, 3);
    EXPECT_EQ(traceTotals().raysTraced, 1);
    EXPECT_EQ(traceTotals().noHitCount, 0);
}

TEST_F(TracerTest, AMissWritesItsStartAndAFarPointAtEnergyTimesAMillion) {
    singlet();
    weightTable[0] = 0.5;
    wavelengthIndex = 0;
    traceOne({200, 0, -50}, {0, 3, 4});
    const auto r = rays();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].flag, 1);
    EXPECT_EQ(r[1].flag, kRayFlagFarPoint);
    EXPECT_LT(len(r[1].p - Vec3{200, 0.6 * 500000, -50 + 0.8 * 500000}), 1e-6);
    EXPECT_EQ(traceTotals().noHitCount, 1);
    EXPECT_DOUBLE_EQ(traceTotals().noHitEnergy, 0.5);
    EXPECT_DOUBLE_EQ(traceTotals().totalSourceEnergy, 0.5);
}

TEST_F(TracerTest, EveryWeightedWavelengthTracesAndAllZeroTracesNothing) {
    singlet();
    weightTable[0] = 0;
    weightTable[3] = 0.25;
    weightTable[7] = 0.75;
    manager->OpenRayFiles(0);
    manager->tracer.TraceAllWavelengths({0, 0, -50}, {0, 0, 1}, nullptr, 0);
    manager->CloseRayFiles();
    const auto s = spots();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].wavelengthIndex, 3);
    EXPECT_DOUBLE_EQ(s[0].energy, 0.25);
    EXPECT_EQ(s[1].wavelengthIndex, 7);
    EXPECT_EQ(rays()[0].flag, 4);
    for (double& w : weightTable)
        w = 0;
    manager->OpenRayFiles(0);
    manager->tracer.TraceAllWavelengths({0, 0, -50}, {0, 0, 1}, nullptr, 0);
    manager->CloseRayFiles();
    EXPECT_TRUE(rays().empty());
    EXPECT_EQ(traceTotals().raysTraced, 0);
}

TEST_F(TracerTest, GhostsSplitUpToTheGhostLimitAndEnergyIsKept) {
    singlet();
    fresnelOn = 1;
    minRayEnergy = 1e-12;
    maxRayDepth = 50;
    // Without ghosts the ray takes the stronger branch at every surface: one polyline.
    maxGhosts = 0;
    traceOne({0, 10, -50});
    int starts = 0;
    for (const Point& p : rays())
        starts += p.flag > 0;
    EXPECT_EQ(starts, 1);
    ASSERT_EQ(spots().size(), 1u);
    // Two faces of index 1.33 near normal incidence: (1 - 0.33^2 / 2.33^2)^2 passes.
    const double direct = spots()[0].energy;
    EXPECT_NEAR(direct, std::pow(1 - 0.33 * 0.33 / (2.33 * 2.33), 2), 2e-4);

    // With room for every ghost: detected + escaped + cut off = emitted (the singlet absorbs
    // nothing and the detector absorbs all that reaches it).
    maxGhosts = 20;
    traceOne({0, 10, -50});
    starts = 0;
    for (const Point& p : rays())
        starts += p.flag > 0;
    EXPECT_GT(starts, 3);
    double detected = 0;
    for (const SpotRecord& s : spots())
        detected += s.energy;
    const TraceTotals& t = traceTotals();
    EXPECT_NEAR(detected + t.noHitEnergy + t.thresholdEnergy + t.depthLimitEnergy, 1.0, 1e-12);
    EXPECT_NEAR(spots()[0].energy, direct, 1e-15);
}

TEST_F(TracerTest, ThresholdEndsABranchUnlessTheRouletteSavesIt) {
    singlet();
    minRayEnergy = 2.0; // above every ray's energy
    rayRoulette = 0;
    traceOne({0, 10, -50});
    EXPECT_EQ(rays().size(), 1u); // the start, and nothing for the cut branch
    EXPECT_EQ(traceTotals().thresholdCount, 1);
    EXPECT_DOUBLE_EQ(traceTotals().thresholdEnergy, 1.0);

    // With the roulette about one branch in ten survives with ten times its energy.
    rayRoulette = 1;
    seedRandom(7);
    minRayEnergy = 0.5;
    weightTable[0] = 0.1;
    manager->OpenRayFiles(0);
    manager->tracer.threshold = minRayEnergy;
    int survived = 0;
    for (int i = 0; i < 2000; ++i)
        manager->tracer.TraceSourceRay({0, 10, -50}, {0, 0, 1}, nullptr, 0);
    manager->CloseRayFiles();
    for (const SpotRecord& s : spots()) {
        EXPECT_DOUBLE_EQ(s.energy, 1.0);
        ++survived;
    }
    EXPECT_NEAR(survived / 2000.0, 3278.0 / 32768.0, 0.025);
    EXPECT_EQ(traceTotals().thresholdCount, 2000 - survived);
}

TEST_F(TracerTest, TheDepthLimitEndsTheBranchWithItsMessage) {
    singlet();
    maxRayDepth = 1;
    traceOne({0, 10, -50});
    EXPECT_NE(out.find("Maximum ray depth (1) exceeded.  Trace terminated.\nSee SET command.\n"),
              std::string::npos);
    EXPECT_EQ(rays().size(), 2u); // the start and the first hit
    EXPECT_EQ(traceTotals().depthLimitCount, 1);
    EXPECT_TRUE(spots().empty());
}

TEST_F(TracerTest, TotalInternalReflectionFollowsOnlyTheReflection) {
    // A ray inside the glass meets the flat back of a plano lens beyond the critical angle.
    run("define/lightsource lamp");
    run("define/lens/plano block r1=0 r2=0 thickness=20 diameter=200 index=1.5");
    run("place/object lamp 0 0 -80");
    run("place/object block 0 0 0");
    const SurfaceRecord* back = surfaceOf("block", 2);
    ASSERT_NE(back, nullptr);
    // From inside the glass (medium 1.5) at 60 degrees to the axis: sin 60 x 1.5 > 1.
    manager->OpenRayFiles(0);
    CRayTracer& t = manager->tracer;
    t.StartTrace(nullptr);
    t.mediumIndex = 1.5;
    t.mediumPart = &part("block");
    t.point = {0, 0, 0};
    t.direction = unitOf({0, std::sin(M_PI / 3), std::cos(M_PI / 3)});
    SegmentResult r;
    t.Trace(r);
    manager->CloseRayFiles();
    EXPECT_EQ(r.branchDone, 0);
    EXPECT_EQ(t.reflected.flag, 1);
    EXPECT_EQ(t.transmitted.flag, 0);
    EXPECT_DOUBLE_EQ(t.reflected.factor, 1.0);
    EXPECT_NEAR(t.reflected.direction.z, -std::cos(M_PI / 3), 1e-12);
    EXPECT_DOUBLE_EQ(t.reflected.index, 1.5);
}

TEST_F(TracerTest, DetectorsAbsorbOrPassAndRecordEitherWay) {
    run("define/lightsource lamp");
    run("define/detector first");
    run("define/detector second");
    run("place/object lamp 0 0 -50");
    run("place/object first 0 0 10");
    run("place/object second 0 0 20");
    part("second").radiometer = RadiometerPtr(new CRadiometer(2, 2));
    traceOne({0, 0, -50});
    ASSERT_EQ(spots().size(), 1u);
    EXPECT_EQ(spots()[0].objectNumber, 2);
    // A detector that absorbs nothing records the hit and lets the ray on.
    surfaceOf("first")->absorbtion = 0;
    traceOne({1, 1, -50});
    const auto s = spots();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].objectNumber, 2);
    EXPECT_EQ(s[1].objectNumber, 3);
    EXPECT_DOUBLE_EQ(part("second").radiometer->Value(1, 1), 1.0);
    EXPECT_EQ(rays().size(), 3u);
}

TEST_F(TracerTest, NearestHitSkipsHiddenPartsAndTiesGoToTheFirstPart) {
    run("define/lightsource lamp");
    run("define/detector a");
    run("define/detector b");
    run("place/object lamp 0 0 -50");
    run("place/object a 0 0 10");
    run("place/object b 0 0 10");
    CRayTracer& t = manager->tracer;
    t.BuildSearchList(list.get());
    SurfaceRecord* hit = nullptr;
    Vec3 p, d{0, 0, 2};
    double distance = 0;
    int miss = 0;
    EXPECT_EQ(t.FindNearestHit({0, 0, 0}, d, hit, p, distance, miss), 0);
    EXPECT_EQ(hit, surfaceOf("a"));
    EXPECT_DOUBLE_EQ(distance, 10);
    EXPECT_EQ(t.lastPart, &part("a"));
    EXPECT_DOUBLE_EQ(d.z, 1.0); // the direction comes back unit
    run("deactivate a");
    t.FindNearestHit({0, 0, 0}, d, hit, p, distance, miss);
    EXPECT_EQ(hit, surfaceOf("b"));
    part("b").geometry->traceable = 0;
    EXPECT_EQ(t.FindNearestHit({0, 0, 0}, d, hit, p, distance, miss), -1);
    EXPECT_EQ(miss, 1);
    EXPECT_EQ(hit, nullptr);
}

TEST_F(TracerTest, ARayStartsInTheMediumOfItsSourcesContainer) {
    run("define/cavity/ellipsoid tank a=200 b=200 c=200");
    run("define/lightsource lamp");
    run("place/object tank 0 0 0");
    run("place/inside lamp tank 0 0 0");
    const double tankIndex = resolveIndex(surfaceOf("tank")->index);
    CRayTracer& t = manager->tracer;
    t.StartTrace(part("lamp").geometry);
    EXPECT_EQ(t.mediumPart, &part("tank"));
    EXPECT_DOUBLE_EQ(t.mediumIndex, tankIndex);
    // A source outside everything starts in air.
    t.StartTrace(nullptr);
    EXPECT_EQ(t.mediumPart, nullptr);
    EXPECT_DOUBLE_EQ(t.mediumIndex, 1.0);
}

TEST_F(TracerTest, BulkScatterHappensAtTheSeededFreePath) {
    run("define/lightsource lamp");
    run("define/cavity/ellipsoid tank a=1000 b=1000 c=1000");
    run("place/object tank 0 0 0");
    run("place/inside lamp tank 0 0 0");
    part("tank").material = MaterialPtr(new CMaterial(0.01, 0, 0.0));
    // Mean free path 100 in a tank of radius 1000: the first segment ends on a scatter.
    seedRandom(11);
    double sum = 0;
    const int n = 400;
    manager->OpenRayFiles(0);
    manager->tracer.maxDepth = 2;
    manager->tracer.threshold = 0;
    for (int i = 0; i < n; ++i) {
        manager->tracer.TraceSourceRay({0, 0, 0}, {0, 0, 1}, part("lamp").geometry, 0);
        sum += manager->tracer.records[0].segmentLength;
    }
    manager->CloseRayFiles();
    EXPECT_NEAR(sum / n, 100.0, 12.0);
    EXPECT_EQ(traceTotals().depthLimitCount, n);
}

// A gradient-index part with the test plug-in: constant index, or n = n0 sqrt(1 - g^2 r^2).
class GrinTracerTest : public TracerTest {
  protected:
    CMaterial* grin(double profile, double n0, double g, double step) {
        auto* m =
            new CMaterial(std::string(MERIDYN_TEST_MODULE_DIR) + "/grin_fixture_plugin.so", step);
        m->record.v[GRIN_PARAM1 + 0] = profile;
        m->record.v[GRIN_PARAM1 + 1] = n0;
        m->record.v[GRIN_PARAM1 + 2] = g;
        part("rod").material = MaterialPtr(m);
        return m;
    }
    void rod() {
        run("define/lightsource lamp");
        run("define/lens/plano rod r1=0 r2=0 thickness=40 diameter=100 index=1.5");
        run("place/object lamp 0 0 -50");
        run("place/object rod 0 0 0");
    }
};

TEST_F(GrinTracerTest, AConstantIndexMediumIsStraight) {
    rod();
    grin(0, 1.5, 0, 5);
    traceOne({0, 10, -50});
    const auto r = rays();
    ASSERT_GE(r.size(), 3u);
    for (const Point& p : r)
        EXPECT_TRUE(p.flag == kRayFlagFarPoint || std::fabs(p.p.y - 10) < 1e-9) << p.p.y;
    // 40 through the glass in steps of 5: one entry, seven full steps, the exit, the far point.
    EXPECT_NEAR(r[r.size() - 2].p.z, 20, 1e-6);
}

TEST_F(GrinTracerTest, ALinearProfileBendsTowardHigherIndex) {
    rod();
    grin(1, 1.5, 0.01, 5);
    traceOne({0, 10, -50});
    const auto r = rays();
    ASSERT_GE(r.size(), 3u);
    // The index falls off the axis, so the ray bends toward it.
    EXPECT_LT(r[r.size() - 2].p.y, 10 - 1e-3);
}

TEST_F(GrinTracerTest, ErrorsEndTheBranch) {
    rod();
    grin(2, 1.5, 0, 5); // a negative index at every point
    traceOne({0, 10, -50});
    EXPECT_NE(out.find("Ray point outside valid GRIN material range"), std::string::npos);
    EXPECT_EQ(rays().size(), 2u);
}

TEST_F(TracerTest, ChosenRaysAndOpticalPathsHaveTheirFormats) {
    singlet();
    RayOutputState& s = rayOutputState();
    s.chosenFile = std::fopen(dir.file("chosen.txt").c_str(), "w");
    s.chosenMode = kChosenFull;
    s.oplFileName = dir.file("opl.txt");
    std::ofstream(s.oplFileName).close();
    s.oplMode = kOplFull;
    traceOne({0, 10, -50});
    closeChosenRayFiles();
    // The path from the geometry: entry and exit on the two spheres, Snell's law between.
    const Vec3 p0{0, 10, -50}, d0{0, 0, 1}, c1{0, 0, 90}, c2{0, 0, -90};
    const Vec3 entry = p0 + sphereRoot(p0, d0, c1, 100, false) * d0;
    const Vec3 d1 = snell(d0, entry - c1, 1.0, 1.33);
    const Vec3 exit = entry + sphereRoot(entry, d1, c2, 100, true) * d1;
    const Vec3 d2 = snell(d1, exit - c2, 1.33, 1.0);
    const Vec3 screen = exit + ((300 - exit.z) / d2.z) * d2;
    const double a = len(entry - p0), g = len(exit - entry), b = len(screen - exit);
    char want[512];
    std::snprintf(want, sizeof want,
                  "%g,%g,%g,1,0,%g\n%g,%g,%g,1,1,%g\n%g,%g,%g,1,2,%g,%g,%g, "
                  "%g,%g,%g,       %g,%g,%g\n",
                  entry.x, entry.y, entry.z, a, exit.x, exit.y, exit.z, a + 1.33 * g, screen.x,
                  screen.y, screen.z, 0.0, screen.y, entry.z, 0.0, 10.0, 300.0, 0.0, screen.y, 0.0);
    EXPECT_EQ(testsupport::readFile(dir.file("chosen.txt")), want);
    const std::string opl = testsupport::readFile(dir.file("opl.txt"));
    std::string lines = "Cumulative OPL,                     OPL,       physical distance\n";
    const double seg[3][2] = {{a, a}, {1.33 * g, g}, {b, b}};
    double total = 0;
    char line[128];
    for (const auto& sg : seg) {
        total += sg[0];
        std::snprintf(line, sizeof line, "> %20.8lf %20.8lf %20.8lf\n", total, sg[0], sg[1]);
        lines += line;
    }
    std::snprintf(line, sizeof line, "> %20.8lf %20.8lf %20.8lf\n\n", total, b, b);
    lines += line;
    std::snprintf(line, sizeof line, "%20.8lf %20.8lf %20.8lf %20.8lf\n", 0.5, total, a + b,
                  1.33 * g);
    lines += line;
    EXPECT_EQ(opl, lines);
    EXPECT_NE(out.find(line), std::string::npos);
}

TEST_F(TracerTest, ChosenRaysStopWhereTheirIndexCouldAddressNoMore) {
    singlet();
    RayOutputState& s = rayOutputState();
    s.chosenFile = std::fopen(dir.file("c.bin").c_str(), "wb");
    s.chosenIndexFile = std::fopen(dir.file("c.ndx").c_str(), "wb");
    s.chosenName = "c.bin";
    s.chosenBinary = 1;
    s.chosenMode = kChosenShort;
    // One ray more would put its trailer past what a 4-byte offset holds.
    s.recordOffset = INT32_MAX - 100;
    traceOne({0, 10, -50});
    EXPECT_NE(out.find("index cannot address more than 2 GB"), std::string::npos) << out;
    EXPECT_FALSE(chosenRayFileOpen());
    EXPECT_EQ(result, 0); // the trace ends
    EXPECT_EQ(testsupport::readFile(dir.file("c.bin")), "");
    EXPECT_EQ(testsupport::readFile(dir.file("c.ndx")), "");
}

TEST_F(TracerTest, OpenRayFilesAppendsOrStartsAfresh) {
    singlet();
    traceOne({0, 10, -50});
    EXPECT_EQ(rays().size(), 4u);
    addRays = 1;
    traceOne({0, 5, -50});
    EXPECT_EQ(rays().size(), 8u);
    EXPECT_EQ(spots().size(), 2u);
    EXPECT_EQ(traceTotals().raysTraced, 2);
    addRays = 0;
    part("screen").radiometer = RadiometerPtr(new CRadiometer(1, 1));
    part("screen").radiometer->AddToBin(0, 0, 5);
    manager->OpenRayFiles(0);
    manager->CloseRayFiles();
    EXPECT_TRUE(rays().empty());
    EXPECT_TRUE(spots().empty());
    EXPECT_EQ(traceTotals().raysTraced, 0);
    EXPECT_DOUBLE_EQ(part("screen").radiometer->Value(0, 0), 0.0);
}

TEST_F(TracerTest, EscapeStopsTheBundleAndKeepsWhatWasTraced) {
    singlet();
    hooks.escapeOnPoll = hooks.polls + 2; // the second progress call sees Escape
    manager->TraceCollimated(1, 5, 3, 10, 10, 0);
    EXPECT_EQ(spots().size(), 6u); // two rows of three
    EXPECT_EQ(abortRequest, 1);
    abortRequest = 0;
    EXPECT_EQ(hooks.lastDone, -1);
}

TEST_F(TracerTest, ShadeOfAViewRay) {
    run("define/detector screen");
    run("place/object screen 0 0 10");
    double shade = -1;
    EXPECT_DOUBLE_EQ(manager->ShadePixel({100, 0, 0}, {0, 0, 5}, {0, 0, 1}, &shade), 0.0);
    EXPECT_DOUBLE_EQ(shade, 0.0);
    // Facing the light squarely: 221 + 33; facing away: 33.
    EXPECT_DOUBLE_EQ(manager->ShadePixel({0, 0, 0}, {0, 0, 5}, {0, 0, -1}, &shade), 254.0);
    EXPECT_DOUBLE_EQ(manager->ShadeRay({0, 0, 0}, {0, 0, 1}, {0, 0, 1}, &shade), 33.0);
}

} // namespace

namespace {

int polylines(const std::vector<Point>& rays) {
    int n = 0;
    for (const Point& p : rays)
        n += p.flag > 0;
    return n;
}

// A Fresnel coating on the singlet's first face splits the ray in both tracers alike.
TEST_F(TracerTest, BothTracersTakeTheirCoatingsFromTheHandles) {
    singlet();
    surfaceCoatingHook = coatingOfSurface;
    maxGhosts = 5;
    fresnelOn = 0;
    traceOne({0, 10, -50});
    EXPECT_EQ(polylines(rays()), 1);
    part("singlet").GetSurfaceHandle(1)->coatingMode = kCoatingFresnel;
    traceOne({0, 10, -50});
    const auto bundle = rays();
    EXPECT_EQ(polylines(bundle), 2);
    const double bundleSpot = spots().at(0).energy;
    EXPECT_LT(bundleSpot, 0.99);

    int error = 0;
    openRayOutput(0);
    openSpotOutput(0);
    traceOneRay({0, 10, -50}, {0, 0, 1}, nullptr, error);
    closeSpotFile();
    closeRayFile();
    EXPECT_EQ(polylines(rays()), 2);
    EXPECT_DOUBLE_EQ(spots().at(0).energy, bundleSpot);
    surfaceCoatingHook = nullptr;
}

int tiltNormal(SurfaceRecord*, const Vec3&, Vec3& normal, const double*) {
    normal = unitOf({normal.x + 0.2, normal.y, normal.z});
    return 1;
}

TEST_F(TracerTest, NormalRefinementsLeftLoadedDoNotBendPlainSurfaces) {
    singlet();
    traceOne({0, 10, -50});
    const auto plain = rays();
    // What a surface with alternate functions, hit by an earlier trace, left in the slots.
    AltSurfaceSlot& slot = altSurfaceSlots[kNormalRefinement];
    slot.present = kNormalRefinement;
    slot.routine.normalRefinement = tiltNormal;
    traceOne({0, 10, -50});
    const auto again = rays();
    clearAltSurfaces();
    ASSERT_EQ(again.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(again[i].flag, plain[i].flag);
        EXPECT_DOUBLE_EQ(again[i].p.x, plain[i].p.x) << i;
    }
}

} // namespace

namespace {

using testsupport::NoRoomForFiles;

TEST_F(TracerTest, AFullDiskEndsTheWholeTraceWithOneMessage) {
    singlet();
    {
        NoRoomForFiles full;
        manager->TraceCollimated(1, 40, 40, 20, 20, 0);
    }
    const std::string message = "Out of space for ray data.\n";
    const std::size_t first = out.find(message);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(out.find(message, first + 1), std::string::npos);
    // The buffer holds 2340 records, four a ray: the trace ended long before its 1600 rays.
    EXPECT_LT(traceTotals().raysTraced, 1600);
    EXPECT_GT(traceTotals().raysTraced, 500);
}

} // namespace
