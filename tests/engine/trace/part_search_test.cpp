// The model's nearest-hit search with enough objects for its hierarchy, against the plain loop.
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
    // The surface the ray from the origin along +z meets first, the same in both searches.
    SurfaceRecord* firstHit() {
        SurfaceRecord* found[2] = {};
        for (NearestHitSearch mode : {NearestHitSearch::PlainLoop, NearestHitSearch::Hierarchy}) {
            setNearestHitSearch(mode);
            Vec3 hit;
            double distance = 0;
            int noHit = 0;
            selfHitSurface = nullptr;
            findNearestIntercept({0, 0, 0}, {0, 0, 1}, found[mode == NearestHitSearch::Hierarchy],
                                 hit, distance, noHit);
        }
        EXPECT_EQ(found[0], found[1]);
        return found[1];
    }
};

TEST_F(PartSearchTest, TiesGoToTheEarlierObject) {
    // Whichever plane's outline reaches towards the ray's start, and so is tested first.
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

// Lenses whose surfaces share a rotation, and one whose back face is tilted on its own.
TEST_F(PartSearchTest, LensesGiveWhatEverySurfacesOwnHookGives) {
    ObjectRecord* plain = makeLens(40, -40, 8, 30, 1.5, {0, 0, 60});
    ObjectRecord* turned = makeLens(40, -40, 8, 30, 1.5, {0, 0, 120});
    place(turned, {0, 0, 120}, 17);
    ObjectRecord* tilted = makeLens(-60, 0, 8, 30, 1.5, {0, 0, 180});
    SurfaceRecord* back = surface(tilted, 2);
    PlacementMatrix r, rBack;
    rotationMatrixY(0.2, r);
    rotationMatrixY(-0.2, rBack);
    multiply4(back->objectToSurface, r, back->objectToSurface);
    multiply4(rBack, back->surfaceToObject, back->surfaceToObject);
    setobj(tilted);
    auto byHooks = [](Vec3 from, Vec3 d, double& nearest) {
        normalize3(d); // as the search makes it unit
        SurfaceRecord* found = nullptr;
        nearest = -1;
        resetHitBookkeeping();
        for (int i = 0; i <= highestObjectIndex; ++i)
            if (ObjectRecord* o = getObject(i))
                for (SurfaceRecord* s = o->firstSurface; s; s = s->next)
                    if (s->intercept(s, from, d, nearest)) found = s;
        return found;
    };
    const Vec3 starts[] = {{0, 0, 0},   {3, -2, 60}, {-4, 1, 62},
                           {2, 2, 120}, {0, 0, 179}, {1, -1, 250}};
    for (NearestHitSearch mode : {NearestHitSearch::PlainLoop, NearestHitSearch::Hierarchy}) {
        setNearestHitSearch(mode);
        for (const Vec3& from : starts)
            for (Vec3 d : {Vec3{0, 0, 1}, Vec3{0.05, -0.02, 1}, Vec3{-0.1, 0.03, -1}}) {
                normalize3(d);
                selfHitSurface = nullptr;
                double want = 0;
                SurfaceRecord* expected = byHooks(from, d, want);
                const Hit got = trace(from, d);
                EXPECT_EQ(got.surface, expected);
                if (expected) {
                    EXPECT_EQ(got.distance, want);
                }
            }
    }
    double front = 0;
    EXPECT_EQ(byHooks({0, 0, 0}, {0, 0, 1}, front), surface(plain, 1)); // the rays meet the lenses
}

} // namespace
