// The ray tree on hand-made steps, and single interactions on one plane.
#include <cmath>

#include "tests/engine/trace_fixture.h"

namespace {

class RayTreeTest : public TraceTest {
  protected:
    static void setBranch(RayBranch& b, int state, Vec3 origin, Vec3 direction, double factor,
                          double index) {
        b = RayBranch{};
        b.state = state;
        b.origin = origin;
        b.direction = direction;
        b.factor = factor;
        b.index = index;
    }
    // The interaction of traceOneRay's step c at the current depth.
    static void interact(SurfaceRecord* surface) {
        const int level = currentRay.depth;
        touchRayLevel(level);
        rayTreeLevels[level].fresh = 0;
        const bool split =
            reflectedBranch.state == kBranchStore || transmittedBranch.state == kBranchStore;
        if (split && currentRay.ghostCount < maxGhosts) {
            storeRayBranch(level, surface);
        } else {
            rayTreeLevels[level].surface = surface;
            rayTreeLevels[level].pending = 0;
        }
        takeRayBranch(surface, 0, 0);
        ++currentRay.depth;
    }
};

TEST_F(RayTreeTest, BranchesComeBackDeepestFirst) {
    SurfaceRecord* s1 = makePlaneObject({0, 0, 0})->firstSurface;
    SurfaceRecord* s2 = makePlaneObject({0, 0, 10})->firstSurface;
    SurfaceRecord* s3 = makePlaneObject({0, 0, 20})->firstSurface;
    resetRayTree(0, rayDepthLimit() - 1);
    startRayMedium(nullptr);
    currentRay.depth = 0;

    // Level 0: the reflection is stored, the transmission followed.
    setBranch(reflectedBranch, kBranchStore, {0, 0, 0}, {0, 0, -1}, 0.1, 1.0);
    setBranch(transmittedBranch, kBranchFollow, {0, 0, 0}, {0, 0, 1}, 0.9, 1.5);
    interact(s1);
    EXPECT_EQ(currentRay.energy, 0.9);
    EXPECT_EQ(currentRay.index, 1.5);
    EXPECT_EQ(currentRay.surface, s1);
    // Level 1: the transmission is stored, the reflection followed.
    setBranch(transmittedBranch, kBranchStore, {0, 0, 10}, {0, 0, 1}, 0.2, 1.0);
    setBranch(reflectedBranch, kBranchFollow, {0, 0, 10}, {0, 0, -1}, 0.8, 1.5);
    interact(s2);
    EXPECT_NEAR(currentRay.energy, 0.72, 1e-15);
    // Level 2: one branch only.
    reflectedBranch.state = kBranchNone;
    setBranch(transmittedBranch, kBranchFollow, {0, 0, 20}, {0, 0, 1}, 1.0, 1.0);
    interact(s3);
    EXPECT_EQ(currentRay.depth, 3);

    const RayTreeLevel& L1 = rayTreeLevels[1];
    EXPECT_NEAR(L1.weight, 0.18, 1e-15); // factor x the energy when it was stored
    EXPECT_EQ(L1.ghostCount, 1);
    EXPECT_EQ(L1.surface, s2);

    int done = 0;
    currentRay.accumulated = 5; // dropped by the restore
    popRayBranch(done);
    ASSERT_EQ(done, 0);
    EXPECT_EQ(currentRay.depth, 2);
    EXPECT_NEAR(currentRay.energy, 0.18, 1e-15);
    EXPECT_EQ(currentRay.ghostCount, 1);
    EXPECT_EQ(currentRay.surface, s2);
    EXPECT_EQ(currentRay.position.z, 10);
    EXPECT_EQ(currentRay.direction.z, 1);
    EXPECT_EQ(currentRay.index, 1.0);
    EXPECT_EQ(currentRay.accumulated, 0);
    EXPECT_EQ(rayTreeLevels[1].pending, 0);
    EXPECT_EQ(rayTreeLevels[2].fresh, 1); // the levels above were reset
    EXPECT_EQ(rayTreeLevels[2].surface, nullptr);

    popRayBranch(done); // the restored branch ends at once
    ASSERT_EQ(done, 0);
    EXPECT_EQ(currentRay.depth, 1);
    EXPECT_EQ(currentRay.energy, 0.1);
    EXPECT_EQ(currentRay.direction.z, -1);
    EXPECT_EQ(currentRay.surface, s1);

    popRayBranch(done);
    EXPECT_EQ(done, 1);
}

TEST_F(RayTreeTest, ImageModeSumsCollectedLightDownTheTree) {
    traceMode = kTraceModeImage;
    resetRayTree(0, rayDepthLimit() - 1);
    touchRayLevel(2);
    rayTreeLevels[2].pending = 0;
    rayTreeLevels[2].accumulated = 0.5;
    rayTreeLevels[1].pending = 1;
    rayTreeLevels[1].accumulated = 1.0;
    rayTreeLevels[1].weight = 0.25;
    currentRay.depth = 3;
    currentRay.accumulated = 2.0;
    int done = 0;
    popRayBranch(done);
    ASSERT_EQ(done, 0);
    EXPECT_EQ(rayTreeLevels[1].accumulated, 3.5); // 1.0 + (0.5 + 2.0)
    EXPECT_EQ(currentRay.depth, 2);
    EXPECT_EQ(currentRay.energy, 0.25);
    EXPECT_EQ(rayTreeLevels[2].accumulated, 0); // reset above the restored level

    // The restored branch collects 1.5 and ends; level 0 gets the whole sum of its subtree.
    currentRay.accumulated = 1.5;
    rayTreeLevels[0].pending = 0;
    popRayBranch(done);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(rayTreeLevels[1].accumulated, 5.0);
    EXPECT_EQ(rayTreeLevels[0].accumulated, 5.0);

    // At depth 0 the ray's own sum goes to level 0.
    resetRayTree(0, rayDepthLimit() - 1);
    currentRay.depth = 0;
    currentRay.accumulated = 0.7;
    popRayBranch(done);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(rayTreeLevels[0].accumulated, 0.7);
    EXPECT_EQ(currentRay.depth, -1);

    // A ray trace sums nothing.
    traceMode = kTraceModeRays;
    resetRayTree(0, rayDepthLimit() - 1);
    currentRay.depth = 0;
    popRayBranch(done);
    EXPECT_EQ(rayTreeLevels[0].accumulated, 0);
}

TEST_F(RayTreeTest, ResetOnlyTouchesLevelsInUseButRestoresThemAll) {
    resetRayTree(0, kRayTreeLevels - 1);
    touchRayLevel(7);
    rayTreeLevels[7].pending = 0;
    rayTreeLevels[3].weight = 0.5;
    resetRayTree(5, kRayTreeLevels - 1);
    EXPECT_EQ(rayTreeLevels[7].pending, 1);
    EXPECT_EQ(rayTreeLevels[3].weight, 0.5);
    resetRayTree(0, 2); // a partial reset below keeps level 3
    EXPECT_EQ(rayTreeLevels[3].weight, 0.5);
    resetRayTree(0, kRayTreeLevels - 1);
    EXPECT_EQ(rayTreeLevels[3].weight, 1.0);
}

// Single interactions: a ray from z = -100 along +z onto a plane at the origin.
class StepTest : public TraceTest {
  protected:
    void SetUp() override {
        TraceTest::SetUp();
        plane = makePlaneObject({0, 0, 0}, 1000)->firstSurface;
        resetRayTree(0, rayDepthLimit() - 1);
        startRayMedium(nullptr);
        currentRay.position = {0, 0, -100};
        currentRay.direction = {0, 0, 1};
    }
    TraceStepResult step() {
        TraceStepResult r;
        traceStep(r);
        return r;
    }
    SurfaceRecord* plane = nullptr;
};

TEST_F(StepTest, TheStrongerBranchIsFollowedAndATieFollowsTheReflection) {
    struct Case {
        double reflectance, absorption;
        int reflection, transmission;
        double reflected, transmitted;
    } cases[] = {
        {0.3, 0, kBranchStore, kBranchFollow, 0.3, 0.7},
        {0.5, 0, kBranchFollow, kBranchStore, 0.5, 0.5},
        {0.7, 0, kBranchFollow, kBranchStore, 0.7, 0.3},
        {1.0, 0, kBranchFollow, kBranchNone, 1.0, 0},
        {0.0, 0, kBranchNone, kBranchFollow, 0, 1.0},
        {0.3, 0.2, kBranchStore, kBranchFollow, 0.3, 0.5},
        {0.4, 0.6, kBranchFollow, kBranchNone, 0.4, 0},
    };
    for (const Case& c : cases) {
        plane->reflectance = c.reflectance;
        plane->absorbtion = c.absorption;
        TraceStepResult r = step();
        SCOPED_TRACE(c.reflectance);
        EXPECT_EQ(r.ended, 0);
        EXPECT_EQ(r.interceptProduced, 1);
        EXPECT_EQ(r.surface, plane);
        EXPECT_VEC_NEAR(r.point, (Vec3{0, 0, 0}), 1e-12);
        EXPECT_EQ(reflectedBranch.state, c.reflection);
        EXPECT_EQ(transmittedBranch.state, c.transmission);
        if (c.reflection) {
            EXPECT_NEAR(reflectedBranch.factor, c.reflected, 1e-15);
            EXPECT_VEC_NEAR(reflectedBranch.direction, (Vec3{0, 0, -1}), 1e-15);
        }
        if (c.transmission) {
            EXPECT_NEAR(transmittedBranch.factor, c.transmitted, 1e-15);
            EXPECT_VEC_NEAR(transmittedBranch.direction, (Vec3{0, 0, 1}), 1e-15);
        }
    }
}

TEST_F(StepTest, AbsorptionAndReflectanceAboveOneReflectWhatIsNotAbsorbed) {
    // absorption + R = 1.1: the surface takes 0.5, the reflection the other 0.5, nothing goes on.
    plane->reflectance = 0.6;
    plane->absorbtion = 0.5;
    currentRay.absorptivity = 0.01;
    step();
    const double a = std::exp(-1.0);
    EXPECT_EQ(reflectedBranch.state, kBranchFollow);
    EXPECT_EQ(transmittedBranch.state, kBranchNone);
    EXPECT_NEAR(reflectedBranch.factor, 0.5 * a, 1e-15);
}

TEST(BranchFactors, NeverMoreThanArrived) {
    for (int i = 0; i <= 100; ++i) {
        for (int j = 0; j < 100; ++j) {
            const double R = i / 100.0, absorption = j / 100.0;
            const BranchFactors f = branchFactors(absorption, R, 0);
            EXPECT_GE(f.reflected, 0);
            EXPECT_GE(f.transmitted, 0);
            EXPECT_LE(f.reflected + f.transmitted + absorption, 1 + 1e-12);
            if (absorption + R <= 1) { // below the limit nothing changes
                EXPECT_EQ(f.reflected, R);
                EXPECT_EQ(f.transmitted, 1 - (absorption + R));
            } else {
                EXPECT_NEAR(f.reflected + absorption, 1, 1e-15);
            }
        }
    }
    const BranchFactors tir = branchFactors(0.3, 0.2, 1);
    EXPECT_EQ(tir.reflected, 1.0);
    EXPECT_EQ(tir.transmitted, 0.0);
}

TEST_F(StepTest, FullAbsorptionEndsTheBranchWithItsPoint) {
    plane->reflectance = 0.5;
    plane->absorbtion = 1;
    TraceStepResult r = step();
    EXPECT_EQ(r.ended, 1);
    EXPECT_EQ(r.interceptProduced, 1);
    EXPECT_EQ(reflectedBranch.state, kBranchNone);
    EXPECT_EQ(transmittedBranch.state, kBranchNone);
}

TEST_F(StepTest, TotalInternalReflectionFollowsTheReflectionAlone) {
    const double a = 60 * kDegree;
    currentRay.position = {-100 * std::tan(a), 0, -100};
    currentRay.direction = {std::sin(a), 0, std::cos(a)};
    currentRay.index = 1.5; // sin 60 x 1.5 > 1
    currentRay.absorptivity = 0.001;
    plane->reflectance = 0.25;
    TraceStepResult r = step();
    EXPECT_EQ(reflectedBranch.state, kBranchFollow);
    EXPECT_EQ(transmittedBranch.state, kBranchNone);
    const double distance = 100 / std::cos(a);
    EXPECT_NEAR(reflectedBranch.factor, std::exp(-0.001 * distance), 1e-14); // not R x a
    EXPECT_VEC_NEAR(reflectedBranch.direction, (Vec3{std::sin(a), 0, -std::cos(a)}), 1e-14);
    EXPECT_EQ(reflectedBranch.index, 1.5);
    EXPECT_VEC_NEAR(r.point, (Vec3{0, 0, 0}), 1e-12);
}

TEST_F(StepTest, FactorsCarryTheAttenuationOfTheSegment) {
    plane->reflectance = 0.2;
    currentRay.absorptivity = 0.01;
    currentRay.index = 1.0;
    step();
    const double a = std::exp(-1.0);
    EXPECT_NEAR(reflectedBranch.factor, 0.2 * a, 1e-15);
    EXPECT_NEAR(transmittedBranch.factor, 0.8 * a, 1e-15);
}

TEST_F(StepTest, CollectedLuminanceOfSurfaceAndMedium) {
    plane->luminance = 2;
    currentRay.luminance = 3;
    currentRay.absorptivity = 0.01;
    TraceStepResult r = step();
    const double a = std::exp(-1.0);
    EXPECT_EQ(r.hasCollected, 1);
    EXPECT_NEAR(r.collected, 2 * a + 3 * (1 - a) / 0.01, 1e-12);

    currentRay.absorptivity = 0; // a clear medium glows along its whole length
    r = step();
    EXPECT_NEAR(r.collected, 2 + 3 * 100, 1e-12);

    plane->luminance = 0;
    currentRay.luminance = 0;
    r = step();
    EXPECT_EQ(r.hasCollected, 0);
    EXPECT_EQ(r.collected, 0);

    // What is collected goes into the ray's sum with its energy when a branch is taken.
    currentRay.energy = 0.5;
    takeRayBranch(plane, 1, 4.0);
    EXPECT_EQ(currentRay.accumulated, 2.0);
}

TEST_F(StepTest, ClosedMirrorsEndRaysFromTheirInside) {
    plane->owner->typeCode = kTypeMirror;
    plane->reflectance = 1;
    plane->side = 1; // the gradient +z points inside: the ray along +z comes from inside
    EXPECT_EQ(step().ended, 1);
    plane->side = -1;
    EXPECT_EQ(step().ended, 0);
    plane->owner->typeCode = kTypeAperture; // other kinds do not care
    plane->side = 1;
    EXPECT_EQ(step().ended, 0);
}

TEST_F(StepTest, MissesAndLimitsProduceNoPoint) {
    currentRay.direction = {0, 0, -1};
    TraceStepResult r = step();
    EXPECT_EQ(r.leftSystem, 1);
    EXPECT_EQ(r.ended, 1);
    EXPECT_EQ(r.interceptProduced, 0);

    currentRay.direction = {0, 0, 1};
    currentRay.energy = minRayEnergy; // not above the limit
    r = step();
    EXPECT_EQ(r.ended, 1);
    EXPECT_EQ(r.leftSystem, 0);
    EXPECT_EQ(r.interceptProduced, 0);
    EXPECT_EQ(screen(), ""); // silently

    currentRay.energy = 1;
    maxRayDepth = 4;
    currentRay.depth = 4;
    r = step();
    EXPECT_EQ(r.ended, 1);
    EXPECT_EQ(r.interceptProduced, 0);
    EXPECT_EQ(screen(), "Maximum ray depth (4) exceeded.  Trace terminated.\nSee SET command.\n");
    currentRay.depth = 3;
    EXPECT_EQ(step().ended, 0);
}

} // namespace
