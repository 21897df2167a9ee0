#include "engine/polynet/facet_hierarchy.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/model/model_blocks.h"
#include "engine/polynet/polynet_facets.h"

namespace {

// The margin every box is widened by along a ray: wider than the facet test's own tolerances
// (1e-9 along an edge) plus the rounding of a hit point, of the crossing distance and of the
// box distances, all of which grow with the coordinates' size.
constexpr double kMarginAbsolute = 1e-8;
constexpr double kMarginRelative = 1e-9;

constexpr int kBins = 16;
constexpr int kLeafSize = 2;       // at most this many facets: always a leaf
constexpr int kMaxLeafSize = 4;    // a leaf the split heuristic may keep
constexpr int kBalancedDepth = 40; // from here on, halves by count: the depth stays bounded
constexpr int kMaxDepth = 90;
// Depth first over four-way nodes: at most three children wait at each of the (at most
// kMaxDepth / 2 + 1) four-way levels, and one more.
constexpr int kStackSize = 2 * kMaxDepth + 8;

enum class BoxKind { Never, Bounded, Unbounded };

struct Box {
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL};
    double hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};

    void grow(const Box& b) {
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], b.lo[a]);
            hi[a] = std::max(hi[a], b.hi[a]);
        }
    }
    void grow(const double p[3]) {
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], p[a]);
            hi[a] = std::max(hi[a], p[a]);
        }
    }
    double area() const {
        double d[3];
        for (int a = 0; a < 3; ++a)
            d[a] = std::max(0.0, hi[a] - lo[a]);
        return d[0] * d[1] + d[1] * d[2] + d[2] * d[0];
    }
};

// The box of every point where `facetRayDistance` can accept the facet. Such a point lies within
// the limits on the two dominant axes and within the facet's outline there, widened by the edge
// tolerance; on the third axis it lies on the facet's plane, whose height over that outline is
// bounded by its heights over the vertices (even when the corners are not all on the plane).
BoxKind facetBox(const PolygonRecord* p, Box& box) {
    const Vec3& n = p->normal;
    if (!(dot3(n, n) > 0)) return BoxKind::Never; // no plane: the facet test refuses every ray
    const int a0 = p->dominantAxes[0], a1 = p->dominantAxes[1], k = 3 - a0 - a1;
    const double nu = axisValue(n, a0), nv = axisValue(n, a1), nk = axisValue(n, k);
    Box outline;
    bool any = false, finite = true;
    for (const ContourNode* c = p->firstContour; c; c = c->nextContour)
        for (const VertexNode* v = c->firstVertex; v; v = v->next) {
            const Vec3& q = *v->point;
            double u = axisValue(q, a0), w = axisValue(q, a1);
            double corner[3];
            corner[a0] = u;
            corner[a1] = w;
            corner[k] = (p->planeConstant - nu * u - nv * w) / nk;
            for (double c3 : corner)
                finite = finite && std::isfinite(c3);
            outline.grow(corner);
            any = true;
        }
    if (!any) return BoxKind::Never; // no contour: never inside
    for (double l : p->limits)
        finite = finite && std::isfinite(l);
    if (!finite) return BoxKind::Unbounded;
    box = outline;
    box.lo[a0] = std::max(box.lo[a0], p->limits[0]);
    box.lo[a1] = std::max(box.lo[a1], p->limits[1]);
    box.hi[a0] = std::min(box.hi[a0], p->limits[2]);
    box.hi[a1] = std::min(box.hi[a1], p->limits[3]);
    // Limits and outline may miss each other by no more than the margin without the facet
    // ceasing to be reachable: keep the box, at least as a slab of no width.
    for (int a : {a0, a1})
        if (box.lo[a] > box.hi[a]) box.lo[a] = box.hi[a] = 0.5 * (box.lo[a] + box.hi[a]);
    return BoxKind::Bounded;
}

// A node of the two-way tree the builder makes, before it is folded into four-way nodes.
struct BinaryNode {
    double box[2][2][3];
    std::int32_t index[2];
    std::int32_t count[2];
};

struct Item {
    Box box;
    double centre[3];
    const PolygonRecord* polygon;
    int position;
};

class Builder {
  public:
    // The leaves' facets go to `order`, leaf after leaf.
    Builder(std::vector<Item>& items, std::vector<BinaryNode>& nodes,
            std::vector<const Item*>& order)
        : items_(items), nodes_(nodes), order_(order) {}

    // Builds [begin, end) below a node whose box is `bounds`: a leaf's facets, or an inner node.
    // Returns where it is: {first facet, count} or {node, 0}.
    std::pair<std::int32_t, std::int32_t> build(std::size_t begin, std::size_t end,
                                                const Box& bounds, int level) {
        Box centres;
        for (std::size_t i = begin; i < end; ++i)
            centres.grow(items_[i].centre);
        const std::size_t count = end - begin;
        std::size_t middle = count <= kLeafSize || level >= kMaxDepth
                                 ? begin
                                 : split(begin, end, bounds, centres, level);
        if (middle == begin) {
            const auto first = static_cast<std::int32_t>(order_.size());
            for (std::size_t i = begin; i < end; ++i)
                order_.push_back(&items_[i]);
            return {first, static_cast<std::int32_t>(count)};
        }
        const std::size_t self = nodes_.size();
        nodes_.push_back({});
        Box halves[2];
        for (std::size_t i = begin; i < middle; ++i)
            halves[0].grow(items_[i].box);
        for (std::size_t i = middle; i < end; ++i)
            halves[1].grow(items_[i].box);
        auto first = build(begin, middle, halves[0], level + 1);
        auto second = build(middle, end, halves[1], level + 1);
        BinaryNode& node = nodes_[self];
        for (int c = 0; c < 2; ++c)
            for (int a = 0; a < 3; ++a) {
                node.box[c][0][a] = halves[c].lo[a];
                node.box[c][1][a] = halves[c].hi[a];
            }
        node.index[0] = first.first;
        node.count[0] = first.second;
        node.index[1] = second.first;
        node.count[1] = second.second;
        return {static_cast<std::int32_t>(self), 0};
    }

  private:
    // Where [begin, end) is cut in two; `begin` for a leaf.
    std::size_t split(std::size_t begin, std::size_t end, const Box& bounds, const Box& centres,
                      int level) {
        const std::size_t count = end - begin;
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (centres.hi[a] - centres.lo[a] > centres.hi[axis] - centres.lo[axis]) axis = a;
        const double extent = centres.hi[axis] - centres.lo[axis];
        if (!(extent > 0)) return count <= kMaxLeafSize ? begin : halves(begin, end, axis);
        if (level >= kBalancedDepth || !(bounds.area() > 0)) return halves(begin, end, axis);

        // Binned surface-area heuristic on each axis the centres spread along.
        double bestCost = HUGE_VAL;
        int bestAxis = -1, bestBin = 0;
        for (int a = 0; a < 3; ++a) {
            const double lo = centres.lo[a], span = centres.hi[a] - lo;
            if (!(span > 0)) continue;
            Box binBox[kBins];
            std::size_t binCount[kBins] = {};
            for (std::size_t i = begin; i < end; ++i) {
                int b = binOf(items_[i].centre[a], lo, span);
                binBox[b].grow(items_[i].box);
                ++binCount[b];
            }
            double rightArea[kBins];
            std::size_t rightCount[kBins];
            Box right;
            std::size_t n = 0;
            for (int b = kBins - 1; b > 0; --b) {
                right.grow(binBox[b]);
                n += binCount[b];
                rightArea[b] = right.area();
                rightCount[b] = n;
            }
            Box left;
            n = 0;
            for (int b = 0; b < kBins - 1; ++b) {
                left.grow(binBox[b]);
                n += binCount[b];
                if (n == 0 || rightCount[b + 1] == 0) continue;
                double cost = static_cast<double>(n) * left.area() +
                              static_cast<double>(rightCount[b + 1]) * rightArea[b + 1];
                if (cost < bestCost) {
                    bestCost = cost;
                    bestAxis = a;
                    bestBin = b;
                }
            }
        }
        if (bestAxis < 0) return halves(begin, end, axis);
        const double splitCost = 1 + bestCost / bounds.area();
        if (splitCost >= static_cast<double>(count) && count <= kMaxLeafSize) return begin;
        const double lo = centres.lo[bestAxis], span = centres.hi[bestAxis] - lo;
        auto cut =
            std::partition(items_.begin() + begin, items_.begin() + end, [&](const Item& it) {
                return binOf(it.centre[bestAxis], lo, span) <= bestBin;
            });
        std::size_t middle = static_cast<std::size_t>(cut - items_.begin());
        if (middle == begin || middle == end) return halves(begin, end, axis);
        return middle;
    }

    static int binOf(double c, double lo, double span) {
        int b = static_cast<int>(kBins * ((c - lo) / span));
        return std::clamp(b, 0, kBins - 1);
    }

    std::size_t halves(std::size_t begin, std::size_t end, int axis) {
        std::size_t middle = begin + (end - begin) / 2;
        std::nth_element(
            items_.begin() + begin, items_.begin() + middle, items_.begin() + end,
            [axis](const Item& x, const Item& y) { return x.centre[axis] < y.centre[axis]; });
        return middle;
    }

    std::vector<Item>& items_;
    std::vector<BinaryNode>& nodes_;
    std::vector<const Item*>& order_;
};

} // namespace

// The working space of a build, kept for the next one.
struct FacetHierarchyScratch {
    std::vector<Item> items, unbounded;
    std::vector<const Item*> order;
    std::vector<BinaryNode> binary;
};

namespace {

// The four-way node standing for two-way node `at`: its children, with an inner child's own two
// children in its place; appended to `out`, its inner children after it.
std::int32_t foldNode(const std::vector<BinaryNode>& binary, std::int32_t at,
                      std::vector<FacetHierarchy::Node>& out) {
    const auto self = static_cast<std::int32_t>(out.size());
    out.push_back({});
    FacetHierarchy::Node node{};
    int slots = 0;
    auto put = [&](const double (&box)[2][3], std::int32_t index, std::int32_t count) {
        for (int c = 0; c < 2; ++c)
            for (int a = 0; a < 3; ++a)
                node.box[slots][c][a] = box[c][a];
        node.index[slots] = index;
        node.count[slots] = count;
        ++slots;
    };
    const BinaryNode& b = binary[static_cast<std::size_t>(at)];
    for (int c = 0; c < 2; ++c) {
        if (b.count[c] > 0) {
            put(b.box[c], b.index[c], b.count[c]);
            continue;
        }
        const BinaryNode& g = binary[static_cast<std::size_t>(b.index[c])];
        for (int k = 0; k < 2; ++k)
            put(g.box[k], g.index[k], g.count[k]);
    }
    for (int s = slots; s < FacetHierarchy::kWidth; ++s)
        node.count[s] = -1;
    for (int s = 0; s < slots; ++s)
        if (node.count[s] == 0) node.index[s] = foldNode(binary, node.index[s], out);
    out[static_cast<std::size_t>(self)] = node;
    return self;
}

} // namespace

void FacetHierarchy::build(const PolynetRecord* net, FacetHierarchyScratch& work) {
    net_ = net;
    first_ = net->firstPolygon;
    last_ = net->lastPolygon;
    facetCount_ = net->polygonCount;
    generation_ = modelBlockGeneration();
    nodes_.clear();
    planes_.clear();
    refs_.clear();
    outline_.clear();
    contourLengths_.clear();
    rootCount_ = 0;
    scale_ = 0;
    std::size_t facets = 0;
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
        ++facets;
    indexOfPosition_.assign(facets, -1);

    auto& items = work.items;
    auto& order = work.order;
    items.clear();
    work.unbounded.clear();
    order.clear();
    int position = 0;
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon) {
        ++position;
        Item it;
        it.polygon = p;
        it.position = position;
        switch (facetBox(p, it.box)) {
        case BoxKind::Never:
            continue;
        case BoxKind::Unbounded:
            work.unbounded.push_back(it);
            continue;
        case BoxKind::Bounded:
            break;
        }
        for (int a = 0; a < 3; ++a) {
            it.centre[a] = 0.5 * (it.box.lo[a] + it.box.hi[a]);
            scale_ = std::max({scale_, std::fabs(it.box.lo[a]), std::fabs(it.box.hi[a])});
        }
        items.push_back(it);
    }
    if (!items.empty()) {
        Box bounds;
        for (const Item& it : items)
            bounds.grow(it.box);
        for (int a = 0; a < 3; ++a) {
            rootBox_[0][a] = bounds.lo[a];
            rootBox_[1][a] = bounds.hi[a];
        }
        work.binary.clear();
        Builder builder(items, work.binary, order);
        rootCount_ = builder.build(0, items.size(), bounds, 0).second;
        if (rootCount_ == 0) foldNode(work.binary, 0, nodes_);
    }
    bounded_ = order.size();
    for (const Item& it : work.unbounded)
        order.push_back(&it);
    for (const Item* it : order)
        copyFacet(it->polygon, it->position);
}

bool FacetHierarchy::builtFor(const PolynetRecord* net) const {
    return net == net_ && generation_ == modelBlockGeneration();
}

bool FacetHierarchy::describes(const PolynetRecord* net) const {
    return builtFor(net) && net->firstPolygon == first_ && net->lastPolygon == last_ &&
           net->polygonCount == facetCount_;
}

template <class Visit>
void FacetHierarchy::traverse(const Vec3& origin, const Vec3& direction, const double& farthest,
                              Visit&& visit) const {
    for (std::size_t i = bounded_; i < planes_.size(); ++i)
        visit(i);
    if (bounded_ == 0) return;
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {direction.x, direction.y, direction.z};
    const double margin =
        kMarginAbsolute +
        kMarginRelative * (scale_ + std::max({std::fabs(o[0]), std::fabs(o[1]), std::fabs(o[2])}));
    // The entry and exit planes of every box on each axis, moved out by the margin: the origin
    // moved the other way. A direction component of 0 gives infinite inverses; an origin on a
    // moved plane then gives NaN distances, which the comparisons below pass over (no bound
    // on that axis).
    double inv[3], fromNear[3], fromFar[3];
    int nearSide[3];
    for (int a = 0; a < 3; ++a) {
        inv[a] = 1.0 / d[a];
        nearSide[a] = std::signbit(d[a]) ? 1 : 0;
        fromNear[a] = nearSide[a] ? o[a] - margin : o[a] + margin;
        fromFar[a] = nearSide[a] ? o[a] + margin : o[a] - margin;
    }
    auto enters = [&](const double(&box)[2][3], double& entry) {
        double t0 = 0, t1 = farthest;
        for (int a = 0; a < 3; ++a) {
            double tn = (box[nearSide[a]][a] - fromNear[a]) * inv[a];
            double tf = (box[1 - nearSide[a]][a] - fromFar[a]) * inv[a];
            t0 = tn > t0 ? tn : t0;
            t1 = tf < t1 ? tf : t1;
        }
        entry = t0;
        return t0 <= t1;
    };

    // A node (count 0) or a leaf's facets, and where the ray enters its box.
    struct Pending {
        std::int32_t index, count;
        double entry;
    };
    Pending stack[kStackSize];
    int top = 0;
    auto push = [&](std::int32_t index, std::int32_t count, double at) {
        if (count == 0) {
            const char* line =
                reinterpret_cast<const char*>(&nodes_[static_cast<std::size_t>(index)]);
            for (std::size_t at = 0; at < sizeof(Node); at += 64)
                __builtin_prefetch(line + at);
        } else {
            // A leaf's planes (a facet's may straddle two lines) and its first facet's record.
            const FacetPlane* plane = &planes_[static_cast<std::size_t>(index)];
            const char* end = reinterpret_cast<const char*>(plane + count);
            for (const char* at = reinterpret_cast<const char*>(plane); at < end; at += 64)
                __builtin_prefetch(at);
            __builtin_prefetch(&refs_[static_cast<std::size_t>(index)]);
        }
        stack[top++] = {index, count, at};
    };
    double entry = 0;
    if (!enters(rootBox_, entry)) return;
    stack[top++] = {0, rootCount_, entry};
    while (top > 0) {
        const Pending p = stack[--top];
        if (p.entry > farthest) continue;
        if (p.count > 0) {
            for (std::int32_t i = p.index; i < p.index + p.count; ++i)
                visit(static_cast<std::size_t>(i));
            continue;
        }
        const Node& node = nodes_[static_cast<std::size_t>(p.index)];
        // The children the ray enters, taken nearest first (pushed last); at equal entries the
        // earlier child first.
        struct Entered {
            double entry;
            int slot;
        } hits[kWidth];
        int n = 0;
        for (int s = 0; s < kWidth && node.count[s] >= 0; ++s) {
            double e = 0;
            if (!enters(node.box[s], e)) continue;
            int k = n++;
            while (k > 0 && hits[k - 1].entry <= e) {
                hits[k] = hits[k - 1];
                --k;
            }
            hits[k] = {e, s};
        }
        for (int k = 0; k < n; ++k)
            push(node.index[hits[k].slot], node.count[hits[k].slot], hits[k].entry);
    }
}

void FacetHierarchy::copyFacet(const PolygonRecord* p, int position) {
    FacetPlane plane;
    plane.normal = p->normal;
    plane.planeConstant = p->planeConstant;
    for (int i = 0; i < 4; ++i)
        plane.limits[i] = p->limits[i];
    plane.dominantAxes[0] = static_cast<unsigned char>(p->dominantAxes[0]);
    plane.dominantAxes[1] = static_cast<unsigned char>(p->dominantAxes[1]);
    planes_.push_back(plane);
    FacetRef ref{p,
                 position,
                 static_cast<int>(outline_.size()),
                 static_cast<int>(contourLengths_.size()),
                 p->reflectance,
                 p->absorbtion};
    indexOfPosition_[static_cast<std::size_t>(position - 1)] = static_cast<int>(refs_.size());
    refs_.push_back(ref);
    contourLengths_.push_back(0);
    for (const ContourNode* c = p->firstContour; c; c = c->nextContour) {
        ++contourLengths_[static_cast<std::size_t>(ref.contours)];
        int corners = 0;
        for (const VertexNode* v = c->firstVertex; v; v = v->next, ++corners)
            outline_.push_back({axisValue(*v->point, p->dominantAxes[0]),
                                axisValue(*v->point, p->dominantAxes[1])});
        contourLengths_.push_back(corners);
    }
}

int FacetHierarchy::pointInOutline(const FacetRef& f, double u, double v) const {
    const int* lengths = &contourLengths_[static_cast<std::size_t>(f.contours)];
    const Corner* corner = outline_.data() + f.outline;
    int crossings = 0;
    for (int c = 1; c <= lengths[0]; ++c) {
        const int n = lengths[c];
        for (int i = 0; i < n; ++i) {
            const Corner& a = corner[i];
            const Corner& b = corner[i + 1 < n ? i + 1 : 0];
            if (evenOddEdge(u, v, a.u, a.v, b.u, b.v, crossings)) return 1;
        }
        corner += n;
    }
    return crossings;
}

inline double FacetHierarchy::crossing(std::size_t i, const Vec3& origin, const Vec3& direction,
                                       double farthest) const {
    double u, v;
    double t = facetPlaneCrossing(planes_[i], origin, direction, farthest, u, v);
    if (t == 0) return 0;
    return pointInOutline(refs_[i], u, v) ? t : 0;
}

void FacetHierarchy::attributesChanged(int position) {
    if (position < 1 || static_cast<std::size_t>(position) > indexOfPosition_.size()) return;
    int i = indexOfPosition_[static_cast<std::size_t>(position - 1)];
    if (i < 0) return;
    FacetRef& ref = refs_[static_cast<std::size_t>(i)];
    ref.reflectance = ref.polygon->reflectance;
    ref.absorbtion = ref.polygon->absorbtion;
}

FacetHit FacetHierarchy::nearest(const Vec3& origin, const Vec3& direction) const {
    FacetHit hit;
    std::size_t hitIndex = 0;
    double farthest = HUGE_VAL;
    traverse(origin, direction, farthest, [&](std::size_t i) {
        double t = crossing(i, origin, direction, farthest);
        if (t <= 0) return;
        const FacetRef& f = refs_[i];
        if (!hit.polygon || t < hit.distance) {
            hit.polygon = f.polygon;
            hit.distance = t;
            hit.position = f.position;
            hit.ties = 0;
            hitIndex = i;
            farthest = t;
        } else { // at exactly the nearest distance: the earlier facet keeps it
            ++hit.ties;
            if (f.position < hit.position) {
                hit.polygon = f.polygon;
                hit.position = f.position;
                hitIndex = i;
            }
        }
    });
    if (hit.polygon) {
        hit.normal = planes_[hitIndex].normal;
        hit.reflectance = refs_[hitIndex].reflectance;
        hit.absorbtion = refs_[hitIndex].absorbtion;
    }
    return hit;
}

void FacetHierarchy::crossings(const Vec3& origin, const Vec3& direction,
                               std::vector<FacetCrossing>& out) const {
    out.clear();
    const double farthest = HUGE_VAL;
    traverse(origin, direction, farthest, [&](std::size_t i) {
        double t = crossing(i, origin, direction, HUGE_VAL);
        if (t > 0) out.push_back({refs_[i].position, t, refs_[i].polygon});
    });
    std::sort(out.begin(), out.end(), [](const FacetCrossing& a, const FacetCrossing& b) {
        return a.position < b.position;
    });
}

FacetHierarchyState& facetHierarchyState() {
    static FacetHierarchyState s;
    return s;
}

void resetFacetHierarchies() {
    facetHierarchyState() = FacetHierarchyState{};
}

namespace {
// The slot of `net`'s hierarchy, or nullptr when the net names none that is its own.
std::unique_ptr<FacetHierarchy>* ownSlot(const PolynetRecord* net) {
    auto& slots = facetHierarchyState().slots;
    if (!net || net->hierarchySlot < 1 ||
        static_cast<std::size_t>(net->hierarchySlot) > slots.size())
        return nullptr;
    return &slots[static_cast<std::size_t>(net->hierarchySlot - 1)];
}

// Dropped hierarchies keep their memory for the next nets built, up to this many.
constexpr std::size_t kSpareHierarchies = 2;

void keepSpare(std::unique_ptr<FacetHierarchy> hierarchy) {
    auto& spares = facetHierarchyState().spares;
    if (hierarchy && spares.size() < kSpareHierarchies) spares.push_back(std::move(hierarchy));
}
} // namespace

void polynetFacetsChanged(PolynetRecord* net) {
    if (!net) return;
    auto& st = facetHierarchyState();
    std::unique_ptr<FacetHierarchy> hierarchy;
    if (!st.spares.empty()) {
        hierarchy = std::move(st.spares.back());
        st.spares.pop_back();
    } else {
        hierarchy = std::make_unique<FacetHierarchy>();
    }
    if (!st.scratch) st.scratch = std::make_shared<FacetHierarchyScratch>();
    hierarchy->build(net, *st.scratch);

    std::unique_ptr<FacetHierarchy>* slot = ownSlot(net);
    // A slot the net names but another net's hierarchy holds (the net's record was handed out
    // again) is not the net's to overwrite.
    if (slot && *slot && !(*slot)->builtFor(net)) slot = nullptr;
    if (!slot) {
        auto free = std::find(st.slots.begin(), st.slots.end(), nullptr);
        if (free == st.slots.end()) free = st.slots.insert(st.slots.end(), nullptr);
        slot = &*free;
        net->hierarchySlot = static_cast<int>(free - st.slots.begin()) + 1;
    }
    keepSpare(std::move(*slot));
    *slot = std::move(hierarchy);
}

void polynetFacetAttributesChanged(PolynetRecord* net, int position) {
    std::unique_ptr<FacetHierarchy>* slot = ownSlot(net);
    if (slot && *slot && (*slot)->describes(net)) (*slot)->attributesChanged(position);
}

void dropFacetHierarchy(PolynetRecord* net) {
    if (std::unique_ptr<FacetHierarchy>* slot = ownSlot(net))
        if (*slot && (*slot)->builtFor(net)) keepSpare(std::move(*slot));
    if (net) net->hierarchySlot = 0;
}

const FacetHierarchy* facetHierarchyOf(const PolynetRecord* net) {
    std::unique_ptr<FacetHierarchy>* slot = ownSlot(net);
    if (!slot || !*slot || !(*slot)->describes(net)) return nullptr;
    return slot->get();
}
