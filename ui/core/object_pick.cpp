#include "ui/core/object_pick.h"

#include <cmath>

#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"

int PickNearestObject(double x, double y, double z, const Vec3& h) {
    const double fallback = 0.05 * (h.x + h.y + h.z) / 3.0;
    int best = 0;
    bool bestInside = false;
    double bestDistance = 1e300;
    for (int i = 0; i < kMaxObjects; ++i) {
        const ObjectRecord* o = objectTable[static_cast<std::size_t>(i)];
        if (!o || o->number <= 0 || !o->placed) continue;
        Vec3 g;
        transformPoint(o->referencePoint, g, o->localToGlobal);
        const double d = std::sqrt((g.x - x) * (g.x - x) + (g.y - y) * (g.y - y) +
                                   (g.z - z) * (g.z - z));
        const double r = o->boundingRadius > 0 ? o->boundingRadius : fallback;
        const bool inside = d < r;
        if (best == 0 || (inside && !bestInside) || (inside == bestInside && d < bestDistance)) {
            best = o->number;
            bestInside = inside;
            bestDistance = d;
        }
    }
    if (best) viewObject = best;
    return -1;
}

int VectorToCurrentObject(double x, double y, double z, Vec3& out) {
    const ObjectRecord* o = getObject(viewObject - 1);
    if (!o) return 0;
    Vec3 origin;
    transformPoint(Vec3{}, origin, o->localToGlobal);
    out = Vec3{x - origin.x, y - origin.y, z - origin.z};
    return 1;
}
