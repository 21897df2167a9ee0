// A bounding-volume hierarchy over the facets of a polygon net's first part, in the net's own
// frame and in double precision. It only chooses which facets get the exact facet test
// (`facetRayDistance`): each facet's box holds, with a margin wider than the test's tolerances
// and rounding, every point at which that test can accept the facet, so a facet it passes over
// is one the test would refuse, or one beyond a hit already found. Results therefore match the
// facet loop's to the last bit.
//
// It keeps copies of every facet's plane, outline and attributes, side by side in leaf order,
// so it is built when a net is finished and again when its normals are turned
// (`polynetFacetsChanged`), and told of changed attributes (`polynetFacetAttributesChanged`).
// It belongs to the module state below; a net is searched through it only while it still has
// the facets it was built over (a net still under construction is searched facet by facet).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/polynet/polynet_records.h"

// The nearest facet a ray meets, as the facet loop finds it, with what the surface takes from
// it.
struct FacetHit {
    const PolygonRecord* polygon = nullptr; // nullptr: none
    double distance = 0;
    int position = 0; // 1-based place in the facet list
    long ties = 0;    // further facets at exactly `distance`
    Vec3 normal;
    double reflectance = 0, absorbtion = 0;
};

// A facet a ray crosses, with its place in the list.
struct FacetCrossing {
    int position = 0;
    double distance = 0;
    const PolygonRecord* polygon = nullptr;
};

struct FacetHierarchyScratch;

class FacetHierarchy {
  public:
    // Over every facet of the first part of `net`, in place of what it held (whose memory it
    // reuses), with `work` as its working space.
    void build(const PolynetRecord* net, FacetHierarchyScratch& work);

    // Whether it was built over `net` (the record, in the model's current blocks) and still
    // describes it: the same facets, in the same list.
    bool builtFor(const PolynetRecord* net) const;
    bool describes(const PolynetRecord* net) const;

    // The nearest facet that `facetRayDistance` accepts along the ray (unit direction, net
    // frame); ties at one distance go to the earlier facet in the list.
    FacetHit nearest(const Vec3& origin, const Vec3& direction) const;

    // Every facet that `facetRayDistance` accepts along the ray, in list order (`out` is
    // cleared first).
    void crossings(const Vec3& origin, const Vec3& direction,
                   std::vector<FacetCrossing>& out) const;

    // An inner node: the boxes of up to four children and where they are. Four children a node
    // halve the chain of nodes a ray waits for, one after the other, on its way down.
    static constexpr int kWidth = 4;
    struct alignas(64) Node {
        double box[kWidth][2][3];   // child, low or high corner, axis
        std::int32_t index[kWidth]; // an inner child's node, a leaf child's first facet
        std::int32_t count[kWidth]; // a leaf child's facets; 0 for an inner child, -1 for none
    };
    // A facet's plane, limits and axes as its record holds them: what the plane test reads,
    // kept together in leaf order.
    struct FacetPlane {
        Vec3 normal;
        double planeConstant;
        double limits[4];
        unsigned char dominantAxes[2];
    };
    // The rest of a facet, read only for a crossing within its limits: its record, its place in
    // the list, where its outline is copied, and its attributes.
    struct FacetRef {
        const PolygonRecord* polygon;
        int position;
        int outline;  // first corner in `outline_`
        int contours; // in `contourLengths_`: the number of contours, then each one's corners
        double reflectance, absorbtion;
    };
    // A corner on the facet's two dominant axes.
    struct Corner {
        double u, v;
    };

    // Takes the reflectance and absorbtion of the facet at `position` (1-based) again.
    void attributesChanged(int position);

  private:
    void copyFacet(const PolygonRecord* polygon, int position);
    // `polynetPointInPolygon` of a facet, over the copy of its outline.
    int pointInOutline(const FacetRef& facet, double u, double v) const;
    // `facetRayDistance` of facet i, from the copies.
    double crossing(std::size_t i, const Vec3& origin, const Vec3& direction,
                    double farthest) const;
    template <class Visit>
    void traverse(const Vec3& origin, const Vec3& direction, const double& farthest,
                  Visit&& visit) const;

    std::vector<Node> nodes_;          // the root's children first, unless the root is a leaf
    std::vector<FacetPlane> planes_;   // the leaves' facets in leaf order, then those without a
    std::vector<FacetRef> refs_;       // finite box, which are tested on every ray
    std::size_t bounded_ = 0;          // facets in leaves
    std::vector<int> indexOfPosition_; // by position - 1: the facet's index, -1 for none
    std::vector<Corner> outline_;
    std::vector<int> contourLengths_;
    double rootBox_[2][3] = {};
    std::int32_t rootCount_ = 0; // facets of a root that is a leaf, else 0
    double scale_ = 0;           // largest coordinate magnitude of any box
    const PolynetRecord* net_ = nullptr;
    const PolygonRecord* first_ = nullptr;
    const PolygonRecord* last_ = nullptr;
    int facetCount_ = 0;
    int generation_ = 0;
};

// Builds the hierarchy of `net` anew, after its facets were made or changed (a turned normal
// too: the hierarchy keeps copies of the planes).
void polynetFacetsChanged(PolynetRecord* net);
// After the reflectance or absorbtion of the facet at `position` (1-based) changed.
void polynetFacetAttributesChanged(PolynetRecord* net, int position);
// Drops the hierarchy of a net whose records are about to be handed back.
void dropFacetHierarchy(PolynetRecord* net);
// The hierarchy that describes `net`, or nullptr.
const FacetHierarchy* facetHierarchyOf(const PolynetRecord* net);

// Every hierarchy, at the slot its net names (`PolynetRecord::hierarchySlot`, 1-based); a
// dropped one leaves its slot empty for the next and its memory to `spares`, so that a model
// cleared and built again reuses it instead of growing.
struct FacetHierarchyState {
    std::vector<std::unique_ptr<FacetHierarchy>> slots;
    std::vector<std::unique_ptr<FacetHierarchy>> spares;
    std::shared_ptr<FacetHierarchyScratch> scratch; // the working space of the builds
};
FacetHierarchyState& facetHierarchyState();
void resetFacetHierarchies();
