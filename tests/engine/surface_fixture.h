// Surfaces built by hand in the object table (the define commands come later): quadrics, extents,
// surface offsets, placed objects, and lenses and rods laid out as their builders lay them out.
#pragma once

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "command/interpreter/parsed_command.h"
#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/model/placement.h"
#include "engine/surfaces/surface_geometry.h"
#include "engine/surfaces/surface_hits.h"
#include "engine/surfaces/surface_media.h"
#include "tests/engine/engine_fixture.h"

class SurfaceTest : public EngineTest {
  protected:
    // The nearest hit over the model from one ray, with its bookkeeping.
    struct Hit {
        SurfaceRecord* surface = nullptr;
        Vec3 point;
        double distance = -7;
        int noHit = -7;
    };
    static Hit trace(Vec3 from, Vec3 direction) {
        Hit h;
        findNearestIntercept(from, direction, h.surface, h.point, h.distance, h.noHit);
        return h;
    }
    // F = diag . (x^2, y^2, z^2) + linear . p + constant.
    static void setQuadric(SurfaceRecord* s, Vec3 diag, Vec3 linear, double constant) {
        std::fill(std::begin(s->quadric), std::end(s->quadric), 0.0);
        s->quadric[0] = diag.x;
        s->quadric[4] = diag.y;
        s->quadric[8] = diag.z;
        s->quadric[9] = linear.x;
        s->quadric[10] = linear.y;
        s->quadric[11] = linear.z;
        s->quadric[12] = constant;
    }
    static void setPlane(SurfaceRecord* s) { // z = 0, gradient +z
        setQuadric(s, {0, 0, 0}, {0, 0, 1}, 0);
        s->shapeCode = kShapeFlat;
    }
    static void setSphere(SurfaceRecord* s, Vec3 centre, double r) {
        setQuadric(s, {1, 1, 1}, -2.0 * centre, dot3(centre, centre) - r * r);
        s->shapeCode = kShapeSphere;
    }
    static void setCylinderZ(SurfaceRecord* s, double r) {
        setQuadric(s, {1 / (r * r), 1 / (r * r), 0}, {}, -1);
        s->shapeCode = kShapeCylinder;
    }
    static void setExtent(SurfaceRecord* s, double x0, double x1, double y0, double y1, double z0,
                          double z1) {
        const double e[6] = {x0, x1, y0, y1, z0, z1};
        std::copy(e, e + 6, s->extent);
    }
    static void setWideExtent(SurfaceRecord* s) { setExtent(s, -1e6, 1e6, -1e6, 1e6, -1e6, 1e6); }
    // The surface's origin sits at `offset` in its object.
    static void offsetSurface(SurfaceRecord* s, Vec3 offset) {
        translationMatrix(offset, s->surfaceToObject);
        translationMatrix(-1.0 * offset, s->objectToSurface);
    }
    // Activates the object at a position, turned about y, and carries it to the surfaces.
    static void place(ObjectRecord* o, Vec3 at, double betaDegrees = 0) {
        identity4(o->globalToLocal);
        identity4(o->localToGlobal);
        translatePlacement(at.x, at.y, at.z, o->globalToLocal, o->localToGlobal);
        rotatePlacementY(betaDegrees, o->globalToLocal, o->localToGlobal);
        o->activated = o->placed = 1;
        o->traceable = 1;
        setobj(o);
    }
    SurfaceRecord* surface(ObjectRecord* o, int number) {
        return getSurface(o->number - 1, number);
    }

    // A plane object (one surface z = 0 in its frame) with a square outline of half width w.
    ObjectRecord* makePlaneObject(Vec3 at, double w = 50, int type = kTypeAperture) {
        ObjectRecord* o = makeObject(type);
        SurfaceRecord* s = o->firstSurface;
        setPlane(s);
        setExtent(s, -w, w, -w, w, -1, 1);
        place(o, at);
        return o;
    }

    static double sag(double r, double h) {
        if (r == 0) return 0;
        return r > 0 ? r - std::sqrt(r * r - h * h) : r + std::sqrt(r * r - h * h);
    }
    // A spherical lens (or, with both radii 0, a rod) centred on its object origin, as the lens
    // builder lays it out: faces at -t/2 and +t/2, edge cylinder, every surface of index n.
    ObjectRecord* makeLens(double r1, double r2, double thickness, double diameter, double n,
                           Vec3 at) {
        ObjectRecord* o = makeObject(r1 == 0 && r2 == 0 ? kTypeRod : kTypeLens, 3);
        const double h = thickness / 2, R = diameter / 2;
        SurfaceRecord* s1 = surface(o, 1);
        SurfaceRecord* s2 = surface(o, 2);
        SurfaceRecord* s3 = surface(o, 3);
        for (SurfaceRecord* s : {s1, s2, s3}) {
            s->index = n;
            setExtent(s, -R, R, -R, R, 0, 0);
        }
        s1->side = r1 > 0 ? -1 : 1;
        if (r1 != 0) {
            setSphere(s1, {0, 0, r1}, std::fabs(r1));
            s1->extent[4] = std::min(0.0, sag(r1, R));
            s1->extent[5] = std::max(0.0, sag(r1, R));
        } else {
            setPlane(s1);
            s1->extent[4] = -thickness;
            s1->extent[5] = thickness;
        }
        offsetSurface(s1, {0, 0, -h});
        s2->side = r2 > 0 ? 1 : -1;
        if (r2 != 0) {
            setSphere(s2, {0, 0, r2}, std::fabs(r2));
            s2->extent[4] = r2 > 0 ? 0 : -R;
            s2->extent[5] = r2 > 0 ? R : 0;
        } else {
            setPlane(s2);
            s2->extent[4] = -h;
            s2->extent[5] = h;
        }
        offsetSurface(s2, {0, 0, h});
        setCylinderZ(s3, R);
        s3->side = -1;
        s3->extent[4] = sag(r1, R) - h;
        s3->extent[5] = sag(r2, R) + h;
        place(o, at);
        return o;
    }

    // Fills the parsed command as the reader would for "modify<text>" with these positional
    // numbers.
    static void parseModify(const char* text, std::initializer_list<double> numbers) {
        clearParsedCommand();
        std::strcpy(commandWord, "modify");
        splitModifiersAndParameters(text);
        int i = 0;
        for (double v : numbers) {
            numericValues[i] = v;
            numericGiven[i] = 1;
            ++i;
        }
    }
};
