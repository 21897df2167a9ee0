// The model's nearest-hit search with enough objects for its hierarchy: a hit at one distance
// goes to the earlier object whichever box the hierarchy meets first, and an object moved,
// added or deleted after a search is found where it now is. Each case gives the same answer with
// the plain loop.
#include <gtest/gtest.h>

#include "engine/surfaces/surface_hits.h"
#include "engine/trace/part_search.h"
#include "engine/trace/search_mode.h"
#include "tests/engine/surface_fixture.h"

namespace {

class PartSearchTest : public SurfaceTest {
  protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        // Planes off to the side, enough for the hierarchy to serve.
        for (int i = 0; i < kHierarchyMinParts; ++i)
            makePlaneObject({300.0 + 20 * i, 0, 50.0 * (i % 4)}, 5);
    }
    void TearDown() override {
        setNearestHitSearch(NearestHitSearch::Hierarchy);
        SurfaceTest::TearDown();
    }
    // The surface the ray from the origin along +z meets first, in both searches alike.
    SurfaceRecord* firstHit() {
        SurfaceRecord* found[2] = {};
        for (NearestHitSearch mode : {NearestHitSearch::PlainLoop, NearestHitSearch::Hierarchy}) {
            setNearestHitSearch(mode);
            SurfaceRecord*& s = found[mode == NearestHitSearch::Hierarchy];
            Vec3 hit;
            double distance = 0;
            int noHit = 0;
            selfHitSurface = nullptr;
            findNearestIntercept({0, 0, 0}, {0, 0, 1}, s, hit, distance, noHit);
        }
        EXPECT_EQ(found[0], found[1]);
        return found[1];
    }
};

TEST_F(PartSearchTest, TiesGoToTheEarlierObject) {
    // The later plane's outline reaches far towards the ray's start, so the hierarchy tests it
    // first; the earlier one still wins the hit at the same distance. Then the other way round.
    for (bool laterReaches : {true, false}) {
        SCOPED_TRACE(laterReaches);
        ObjectRecord* earlier = makePlaneObject({0, 0, 100});
        ObjectRecord* later = makePlaneObject({0, 0, 100});
        setExtent((laterReaches ? later : earlier)->firstSurface, -50, 50, -50, 50, -90, 1);
        setobj(laterReaches ? later : earlier);
        EXPECT_EQ(firstHit(), earlier->firstSurface);
        deleteObjectNow(later);
        deleteObjectNow(earlier);
    }
}

TEST_F(PartSearchTest, ObjectsChangedAfterASearchAreFoundWhereTheyAre) {
    ObjectRecord* far = makePlaneObject({0, 0, 200});
    ObjectRecord* near = makePlaneObject({0, 0, 100});
    EXPECT_EQ(firstHit(), near->firstSurface);
    place(near, {0, 0, 300}); // moved behind the far one
    EXPECT_EQ(firstHit(), far->firstSurface);
    ObjectRecord* added = makePlaneObject({0, 0, 50});
    EXPECT_EQ(firstHit(), added->firstSurface);
    deleteObjectNow(added);
    EXPECT_EQ(firstHit(), far->firstSurface);
    place(far, {0, 500, 200}); // moved out of the ray's way
    EXPECT_EQ(firstHit(), near->firstSurface);
}

} // namespace
