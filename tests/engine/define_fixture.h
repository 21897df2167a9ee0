// Objects made by the define builders from a command line, with the text they print, and the
// geometric checks the builder tests share.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "command/interpreter/reader.h"
#include "engine/build/object_definitions.h"
#include "engine/surfaces/quadrics.h"
#include "tests/engine/surface_fixture.h"

class DefineTest : public SurfaceTest {
  protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        messageState().screenMirror = [this](std::string_view text) { out.append(text); };
    }
    void TearDown() override {
        messageState().screenMirror = nullptr;
        SurfaceTest::TearDown();
    }

    // Reads `line` as the user interface's command and runs the define builder of its object
    // kind. Returns the new object (nullptr when refused); `out` holds what this define printed.
    ObjectRecord* define(const std::string& line) {
        out.clear();
        commandBuffer = line;
        commandPending = 1;
        int error = 0;
        readCommandLine(&error);
        out.clear(); // the echo of the command line
        int found = 0, several = 0, index = 0;
        getModifier(objectTypeWords, &found, &several, &index, " ");
        if (!found) return nullptr;
        const int number = defineObject(modifierWords[index]);
        return number > 0 ? getObject(number - 1) : nullptr;
    }

    // The values the last define used, as written back.
    static std::vector<double> values(int count) {
        return std::vector<double>(numericValues, numericValues + count);
    }

    // Points of the surface inside its extent box, in the object frame: the roots of lines along
    // each axis through a grid over the box's other two axes.
    static std::vector<Vec3> sampleSurface(const SurfaceRecord* s, int steps = 12) {
        std::vector<Vec3> points;
        const double* e = s->extent;
        const double tol = 1e-7;
        auto inBox = [&](const Vec3& p) {
            return p.x >= e[0] - tol && p.x <= e[1] + tol && p.y >= e[2] - tol &&
                   p.y <= e[3] + tol && p.z >= e[4] - tol && p.z <= e[5] + tol;
        };
        for (int axis = 0; axis < 3; ++axis) {
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            for (int i = 0; i <= steps; ++i) {
                for (int j = 0; j <= steps; ++j) {
                    double p[3] = {0, 0, 0}, d[3] = {0, 0, 0};
                    p[u] = e[2 * u] + (e[2 * u + 1] - e[2 * u]) * i / steps;
                    p[v] = e[2 * v] + (e[2 * v + 1] - e[2 * v]) * j / steps;
                    d[axis] = 1;
                    double t1, t2;
                    int none, single;
                    const Vec3 origin{p[0], p[1], p[2]}, dir{d[0], d[1], d[2]};
                    quadricIntercept(s->quadric, origin, dir, t1, t2, none, single);
                    if (none) continue;
                    for (double t : {t1, t2}) {
                        Vec3 local = origin + t * dir, global;
                        if (!std::isfinite(t) || !inBox(local)) continue;
                        transformPoint(local, global, s->surfaceToObject);
                        if (!hittable(s, local, global)) continue;
                        points.push_back(global);
                    }
                }
            }
        }
        return points;
    }

    // Whether the trace could hit the surface at this point inside its extent box: a single
    // surface's elliptic outline, and the edge cylinders of lenses and rods.
    static bool hittable(const SurfaceRecord* s, const Vec3& local, const Vec3& objectPoint) {
        const ObjectRecord* o = s->owner;
        const double* e = s->extent;
        if (o->surfaceCount == 1 && s->edgeType == 1) {
            const double ha = (e[1] - e[0]) / 2, hb = (e[3] - e[2]) / 2;
            const double dx = (local.x - (e[0] + e[1]) / 2) / ha;
            const double dy = (local.y - (e[2] + e[3]) / 2) / hb;
            return dx * dx + dy * dy <= 1 + 1e-9;
        }
        if (o->typeCode != kTypeLens && o->typeCode != kTypeRod) return true;
        for (const SurfaceRecord* edge = o->firstSurface; edge; edge = edge->next) {
            if (edge->shapeCode != kShapeCylinder || edge == s) continue;
            Vec3 p;
            transformPoint(objectPoint, p, edge->objectToSurface);
            if (quadricValue(edge, p) > 1e-9) return false;
        }
        return true;
    }

    // Every sampled point of every surface lies within the bounding sphere.
    static void expectSphereEncloses(const ObjectRecord* o) {
        ASSERT_GT(o->boundingRadius, 0);
        int sampled = 0;
        for (const SurfaceRecord* s = o->firstSurface; s; s = s->next) {
            for (const Vec3& p : sampleSurface(s)) {
                const Vec3 d = p - o->referencePoint;
                EXPECT_LE(std::sqrt(dot3(d, d)), o->boundingRadius * (1 + 1e-9))
                    << "surface " << s->number << " point " << p.x << " " << p.y << " " << p.z;
                ++sampled;
            }
        }
        EXPECT_GT(sampled, 0);
    }

    // Places the object at the origin and traces a ray along +z from far in front of it,
    // returning the index entered at each hit in order (at most `hits`).
    std::vector<double> indicesAlongZ(ObjectRecord* o, double x, double y, int hits = 4) {
        place(o, {0, 0, 0});
        std::vector<double> entered;
        Vec3 point{x, y, -1000}, dir{0, 0, 1};
        selfHitSurface = nullptr;
        for (int k = 0; k < hits; ++k) {
            SurfaceRecord* s = nullptr;
            Vec3 hit;
            double distance = 0;
            int noHit = 0;
            findNearestIntercept(point, dir, s, hit, distance, noHit);
            if (noHit) break;
            Vec3 lp, ld;
            toLocalPoint(hit, lp, s);
            toLocalDirection(dir, ld, s);
            double index = 0, absorptivity = 0, luminance = 0;
            surfaceMedia(s, lp, ld, index, absorptivity, luminance);
            entered.push_back(index);
            point = hit;
            selfHitSurface = s;
        }
        return entered;
    }

    std::string out;
};
