// The one nearest-hit search of every trace: the one-ray trace, the bundle tracer and the shaded
// and solid images. It runs over a list of parts (an object with its surfaces, in the order whose
// first part wins a tie) that each trace builds by its own rule: the one-ray trace and the images
// take the object table's slots and the surfaces' own intercept hooks, the bundle tracer the part
// list's parts and their surface handles' routines.
//
// Every surface keeps its exact test. Above a measured number of parts a bounding hierarchy over
// the parts chooses which of them are tested: a part is skipped only when the ray cannot reach
// its bounds before the nearest hit so far, and a part earlier in the list than the nearest one
// so far still wins a hit at exactly the same distance. Nothing is allocated per search.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/model/object_table.h"

// One part's tests, as the plain loop runs them: the part's own pre-tests (activated, traceable,
// the bounding sphere; with `skipUnnumbered` also a deleted object's number), then every surface
// in order with the running nearest distance. Returns the index of the last surface that
// improved it, or -1.
struct SearchSurface {
    SurfaceRecord* surface = nullptr;
    // Null: the surface's own intercept hook (the default quadric one solved inline); else the
    // routine that stands for it (a handle's own).
    InterceptHook routine = nullptr;
    void* tag = nullptr; // the caller's (the bundle tracer's handle)
};

struct SearchHit {
    int part = -1;    // index in the search's list
    int surface = -1; // index of the surface within its part
    SurfaceRecord* record = nullptr;
    void* tag = nullptr;
    double distance = -1;
};

class PartSearch {
  public:
    // Empties the list; the search is then stale until finish.
    void clear();
    // A new part at the end of the list; its surfaces follow with addSurface.
    void addPart(ObjectRecord* object, void* owner);
    void addSurface(SurfaceRecord* surface, InterceptHook routine, void* tag);
    // Bounds and hierarchy of the parts added, worked out at model version `version`.
    // skipUnnumbered: a part whose object's number is not above 0 is never tested.
    void finish(std::uint64_t version, bool skipUnnumbered);
    bool builtAt(std::uint64_t version) const { return finished_ && version_ == version; }

    int partCount() const { return static_cast<int>(parts_.size()); }
    void* owner(int part) const { return parts_[static_cast<std::size_t>(part)].owner; }
    const SearchSurface& surface(int part, int index) const {
        return surfaces_[static_cast<std::size_t>(
            parts_[static_cast<std::size_t>(part)].first + index)];
    }
    bool hasHierarchy() const { return hierarchy_; }

    // The nearest hit from `start` along `direction` (unit, as the caller made it; the intercept
    // routines that make it unit again leave it as the plain loop would). False when nothing is
    // hit. The hierarchy serves unless the plain loop is in force, the list is short, or the
    // proximity glue needs the second-nearest hit of every part.
    bool find(const Vec3& start, Vec3& direction, SearchHit& hit);

  private:
    enum class Kind : unsigned char { Bounded, Always, Drifting };
    struct Part {
        ObjectRecord* object;
        void* owner;
        int first;
        int count;
        Kind kind;
        bool sharedTurn; // every surface a default quadric, their frames' rotations the same
        int driftBefore; // drifting parts before this one in the list
        double lo[3], hi[3];
    };
    struct Node {
        double lo[3], hi[3];
        int first; // leaf: first index into leafParts_; inner: the right child
        int count; // leaf: number of parts; inner: 0 (the left child follows)
    };

    bool fillHit(int part, int index, double distance, SearchHit& hit) const;
    bool plainFind(const Vec3& start, Vec3& direction, SearchHit& hit, bool glue);
    bool hierarchyFind(const Vec3& start, Vec3& direction, SearchHit& hit);
    void boundPart(Part& part);
    bool turnShared(const Part& part) const;
    int testSurfaces(const Part& part, const Vec3& start, Vec3& direction, double& nearest,
                     bool glue);
    int buildNode(int first, int count, int depth);

    std::vector<Part> parts_;
    std::vector<SearchSurface> surfaces_;
    std::vector<int> leafParts_;   // bounded parts in hierarchy order
    std::vector<Node> nodes_;      // the hierarchy over the bounded parts
    std::vector<int> always_;      // parts tested on every search (no bounds known)
    std::vector<int> drifting_;    // parts whose routines make the direction unit again
    std::vector<Vec3> directions_; // the direction before each drifting part, and after the last
    std::vector<double> splitCosts_; // working space of the build
    std::uint64_t version_ = 0;
    bool finished_ = false;
    bool skipUnnumbered_ = false;
    bool hierarchy_ = false; // the hierarchy may serve (worked out by finish)
};

// Below this many parts the plain loop is faster than the hierarchy (measured on the bundle
// tracer through a singlet with lenses beside it: the two break even near 30 parts).
inline constexpr int kHierarchyMinParts = 32;

// The search over the object table's slots that the one-ray trace and the shaded image use when
// the model is large; rebuilt on first use after the model version changed.
PartSearch& modelSearch();
void resetModelSearch();
