// The raytrace command through the document: the single ray, and every refusal, which leaves
// the earlier rays.dat as it was.
#include <fstream>

#include "command/settings/settings.h"
#include "engine/trace/one_ray_trace.h"
#include "engine/model/placement.h"
#include "engine/files/ray_files.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"
#include "parts/parts_keywords.h"
#include "parts/parts_state.h"
#include "parts/raytrace_manager.h"
#include "tests/command/interpreter_fixture.h"

namespace {

class RaytraceCommand : public testsupport::InterpreterTest {
  protected:
    void resetState() override { resetPartsState(); }
    void SetUp() override {
        InterpreterTest::SetUp();
        registerPartsKeywords();
        doc = std::make_unique<CQelDoc>();
    }
    void TearDown() override {
        doc.reset();
        InterpreterTest::TearDown();
    }
    std::string run(const std::string& text) {
        const std::size_t before = screen().size();
        commandBuffer = text;
        doc->ExecuteLine();
        // What the command printed, without its echo and the prompt after it.
        std::string out = screen().substr(before);
        out.erase(0, out.find('\n') + 1);
        if (out.size() >= 5 && out.compare(out.size() - 5, 5, " MD: ") == 0)
            out.resize(out.size() - 5);
        return out;
    }
    // An object with one flat surface z = 0 at z.
    ObjectRecord* makeObject(int type, double z, bool placed = true, bool active = true) {
        ObjectRecord* o = allocObjectSlot();
        initObjectRecord(o);
        o->typeCode = type;
        SurfaceRecord* s = allocSurface();
        initSurfaceRecord(s);
        s->number = 1;
        s->owner = o;
        s->quadric[11] = 1;
        const double e[6] = {-50, 50, -50, 50, -1, 1};
        std::copy(e, e + 6, s->extent);
        o->firstSurface = s;
        o->surfaceCount = 1;
        translatePlacement(0, 0, z, o->globalToLocal, o->localToGlobal);
        o->placed = placed;
        o->activated = active;
        o->traceable = 1;
        setobj(o);
        return o;
    }
    std::string rays() { return testsupport::readFile(dir.file("rays.dat")); }

    std::unique_ptr<CQelDoc> doc;
};

TEST_F(RaytraceCommand, TheDocumentOwnsTheManager) {
    ASSERT_NE(theRaytraceManager, nullptr);
    doc.reset();
    EXPECT_EQ(theRaytraceManager, nullptr);
}

TEST_F(RaytraceCommand, SingleRayFromAnObject) {
    makeObject(kTypeLightSource, 0)->firstSurface->quadric[11] = 0; // never hit
    makeObject(kTypeRaytraceDetector, 30);
    EXPECT_EQ(run("raytrace/single object=1 u=0 v=0 w=2 x=5 y=5 z=5"),
              "Using Advanced RayTrace Engine.\nDirection vector: 0.000000 0.000000 1.000000\n");
    EXPECT_EQ(rays().size(), 2u * kRayRecordBytes); // from the origin, not from x, y, z
    EXPECT_EQ(testsupport::readFile(dir.file("spots.dat")).size(), std::size_t(kSpotRecordBytes));
    EXPECT_EQ(traceMode, kTraceModeRays);
    EXPECT_EQ(hooks.boxes.size(), 2u);
    // The direction defaults to +z; positional values work as well.
    EXPECT_EQ(run("ray/sing 1"),
              "Using Advanced RayTrace Engine.\nDirection vector: 0.000000 0.000000 1.000000\n");
    // Components far beyond the square root of the largest double still give a direction.
    EXPECT_NE(run("raytrace/single 1 -1e300 0 1e300").find("-0.707107 0.000000 0.707107"),
              std::string::npos);
    EXPECT_EQ(run("raytrace/single 1 3 0 4").find("Direction vector: 0.600000 0.000000 0.800000"),
              32u);
}

TEST_F(RaytraceCommand, NosaveStillStartsANewRayFile) {
    makeObject(kTypeLightSource, 0)->firstSurface->quadric[11] = 0;
    std::ofstream(dir.file("rays.dat")) << "earlier rays";
    run("raytrace/single/nosave 1");
    EXPECT_EQ(rays(), "");
    EXPECT_EQ(rayOutputOn, 0);
    run("raytrace/single 1");
    EXPECT_EQ(rayOutputOn, 1);
    saveRays = 0;
    run("raytrace/single 1");
    EXPECT_EQ(rayOutputOn, 0);
}

TEST_F(RaytraceCommand, RefusalsLeaveTheRayFileAlone) {
    makeObject(kTypeLightSource, 0);
    makeObject(kTypeLens, 10, false);
    makeObject(kTypeLens, 20, true, false);
    ObjectRecord* undefined = makeObject(kTypeLens, 30);
    undefined->defined = 0;
    std::ofstream(dir.file("rays.dat")) << "earlier rays";
    const std::string banner = "Using Advanced RayTrace Engine.\n";
    struct Case {
        const char* command;
        const char* says;
    } cases[] = {
        {"raytrace/single u=1", " No object specified.\n"},
        {"raytrace/single object=9", "ERROR: Object 9 never defined.\n"},
        {"raytrace/single object=-3", "ERROR: Object -3 never defined.\n"},
        {"raytrace/single object=1e300", "ERROR: Object 2147483647 never defined.\n"},
        {"raytrace/single object=2", "ERROR: Object 2 not placed in the workbox.\n"},
        {"raytrace/single object=3", "ERROR: Object 3 is not activated.\n"},
        {"raytrace/single object=4", "ERROR: Object 4 not defined.\n"},
        {"raytrace/single 1 0 0 0", "ERROR: Zero direction vector.  Command ignored.\n"},
        {"raytrace/single/cone 1",
         "WARNING:  Multiple matches found for ray trace type modifier\n"},
        {"raytrace/last", ""}, // nothing stored yet
        {"raytrace", "Full angle ray spacing.\n No object specified.\n"},
        {"raytrace/cone 1 nx=3 hfov=0",
         "Full angle ray spacing.\nERROR: Horizontal field of view must be between 0 and 360.\n"},
        {"raytrace/eqang 1 ny=2 vfov=181",
         "Equal angle ray spacing.\nERROR: Vertical field of view must be between 0 and 180.\n"},
        {"raytrace/collimated 1 3 3 -1",
         "ERROR: Horizontal field half width must be greater than 0.\n"},
        {"raytrace/collimated 1 1 3 -1 0",
         "ERROR: Vertical field half width must be greater than 0.\n"},
        {"raytrace/coslamp 2", "ERROR: Object 2 not placed in the workbox.\n"},
        {"raytrace/custom 1", ""}, // no part: refused before the files open
        {"raytrace/last", ""},     // the refusals stored nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(run(c.command), banner + c.says);
        EXPECT_EQ(rays(), "earlier rays");
    }
    EXPECT_TRUE(hooks.boxes.empty());
}

} // namespace
