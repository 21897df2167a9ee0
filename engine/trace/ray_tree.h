// The ray tree of the one-ray trace: the ray being followed, the two branches one interaction
// splits it into, and the levels of the depth-first walk, each of which may hold one stored
// branch to be traced once the followed one has ended.
#pragma once

#include "command/settings/settings.h"
#include "engine/model/object_table.h"

inline constexpr int kRayTreeLevels = kMaxTraceDepth; // 150

// The ray being followed (global frame).
struct CurrentRay {
    Vec3 position;
    Vec3 direction;         // unit
    double energy = 1.0;    // 1.0 at the source
    double accumulated = 0; // collected luminance
    double index = 1.0;     // the medium the ray is in
    double absorptivity = 0;
    double luminance = 0;
    int depth = 0;
    int ghostCount = 0;               // stored branches on the ray's path
    SurfaceRecord* surface = nullptr; // the surface the ray last left
};

// One level of the tree. The defaults are the reset values.
struct RayTreeLevel {
    int fresh = 1;   // no interaction recorded here yet
    int pending = 1; // a stored branch waits here
    Vec3 point;
    Vec3 direction;
    double weight = 1.0; // the stored branch's energy
    double accumulated = 0;
    SurfaceRecord* surface = nullptr; // the surface hit at this level
    int ghostCount = 0;
    double index = 1.0;
    double absorptivity = 0;
    double luminance = 0;
};

// What happens to a branch of an interaction.
enum BranchState : int { kBranchNone = 0, kBranchFollow = 1, kBranchStore = 2 };

struct RayBranch {
    int state = kBranchNone;
    Vec3 origin;       // the intercept point
    Vec3 direction;    // unit
    double factor = 0; // the fraction of the energy it takes
    double index = 1.0;
    double absorptivity = 0;
    double luminance = 0;
};

// Trace modes: 2 a ray trace (detectors end their branch and take a spot), 1 image rendering
// (collected luminance is summed per level).
inline constexpr int kTraceModeImage = 1;
inline constexpr int kTraceModeRays = 2;

struct RayTreeState {
    CurrentRay ray;
    RayTreeLevel levels[kRayTreeLevels];
    // Levels at and above this one hold their reset values, so a reset never has to touch them:
    // a ray usually uses a handful of the 150 levels.
    int levelsInUse = 0;
    RayBranch reflection;
    RayBranch transmission;
    int traceMode = kTraceModeRays;
    int rayOutputOn = 1; // rays.dat is written
};

RayTreeState& rayTreeState();
void resetRayTreeState();

inline CurrentRay& currentRay = rayTreeState().ray;
inline auto& rayTreeLevels = rayTreeState().levels;
inline RayBranch& reflectedBranch = rayTreeState().reflection;
inline RayBranch& transmittedBranch = rayTreeState().transmission;
inline int& traceMode = rayTreeState().traceMode;
inline int& rayOutputOn = rayTreeState().rayOutputOn;

// maxRayDepth within the tree's size.
int rayDepthLimit();

// Marks a level as holding values other than its reset values.
inline void touchRayLevel(int level) {
    RayTreeState& s = rayTreeState();
    if (level >= s.levelsInUse) s.levelsInUse = level + 1;
}

// Resets levels first..last (clipped to the tree).
void resetRayTree(int first, int last);
// The start state of a ray: at rest, energy 1, in the medium on the inside of the source's
// first surface (air without a source).
void startRayMedium(const ObjectRecord* sourceObject);

// Stores the branch to be traced later (state 2, reflection first) at the level.
void storeRayBranch(int level, SurfaceRecord* surface);
// The branch to follow now (state 1, reflection first) becomes the current ray; collected
// luminance is added first.
void takeRayBranch(SurfaceRecord* surface, int hasCollected, double collected);
// Steps down to the nearest level with a stored branch and makes it the current ray; done = 1
// when there is none left. In image mode the collected luminance is summed on the way down.
void popRayBranch(int& done);
// The branch stored at the level becomes the current ray.
void restoreRayBranch(int level);
// True when the step ended the branch, or a ray trace reached a detector.
bool rayBranchEnds(int ended, int onDetector);
