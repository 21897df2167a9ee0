// Drawing tests over a model: a fresh model, settings, view and display state (the display
// fixture's reset) in a scratch directory, records built directly in the object table, and the 3-D segments of a drawing
// captured through the line export.
#pragma once

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "command/settings/color_tables.h"
#include "command/general/highlighting.h"
#include "command/interpreter/parsed_command.h"
#include "command/settings/settings.h"
#include "display/views/annotations.h"
#include "display/raster/recording_surface.h"
#include "display/views/segment_3d.h"
#include "display/views/view_host.h"
#include "display/views/view_modes.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "engine/model/placement.h"
#include "engine/polynet/polynet_records.h"
#include "engine/files/ray_files.h"
#include "engine/model/view_transform.h"
#include "tests/display/display_test_support.h"
#include "tests/engine/test_object_builder.h"

namespace displaytest {

struct Segment {
    int colour = 0;
    std::string label;
    Vec3 p, q;
};

inline double length(const Segment& s) {
    Vec3 d = s.q - s.p;
    return std::sqrt(dot3(d, d));
}

class ViewTest : public PlotTest {
  protected:
    // A defined, placed and activated object at `at` with `surfaces` surfaces numbered 1, 2, ...
    ObjectRecord* makeObject(int wireframeKind, int surfaces = 1, Vec3 at = {}) {
        ObjectRecord* o = testsupport::buildObjectWithSurfaces(surfaces);
        o->wireframeKind = wireframeKind;
        translatePlacement(at.x, at.y, at.z, o->globalToLocal, o->localToGlobal);
        setobj(o);
        o->activated = o->placed = 1;
        return o;
    }
    static void setExtent(SurfaceRecord* s, double x1, double x2, double y1, double y2, double z1,
                          double z2) {
        const double e[6] = {x1, x2, y1, y2, z1, z2};
        std::copy(e, e + 6, s->extent);
    }
    // (x - c)^2 + ... = r^2
    static void setSphere(SurfaceRecord* s, Vec3 c, double r) {
        std::fill(s->quadric, s->quadric + 13, 0.0);
        s->quadric[0] = s->quadric[4] = s->quadric[8] = 1.0;
        s->quadric[9] = -2 * c.x;
        s->quadric[10] = -2 * c.y;
        s->quadric[11] = -2 * c.z;
        s->quadric[12] = dot3(c, c) - r * r;
    }
    // Diagonal quadric: qx x^2 + qy y^2 + qz z^2 + l . p + k = 0.
    static void setQuadric(SurfaceRecord* s, double qx, double qy, double qz, Vec3 l, double k) {
        std::fill(s->quadric, s->quadric + 13, 0.0);
        s->quadric[0] = qx;
        s->quadric[4] = qy;
        s->quadric[8] = qz;
        s->quadric[9] = l.x;
        s->quadric[10] = l.y;
        s->quadric[11] = l.z;
        s->quadric[12] = k;
    }

    // Every 3-D segment that `draw` sends down the segment road, in order.
    std::vector<Segment> capture(const std::function<void()>& draw) {
        const std::string path = dir.file("segments.txt");
        EXPECT_TRUE(beginLineExport(path));
        draw();
        endLineExport();
        std::vector<Segment> out;
        std::istringstream in(testsupport::readFile(path));
        Segment s;
        int type = 0;
        while (in >> s.colour >> s.label >> type >> s.p.x >> s.p.y >> s.p.z >> s.q.x >> s.q.y >>
               s.q.z)
            out.push_back(s);
        return out;
    }

    // Sets the parsed command: modifiers (after the command word) and name=value words.
    static void parse(const std::vector<std::string>& modifiers,
                      const std::vector<std::string>& words = {}) {
        clearParsedCommand();
        std::string rest;
        for (const auto& m : modifiers)
            rest += "/" + m;
        for (const auto& w : words)
            rest += " " + w;
        splitModifiersAndParameters(rest);
    }

    RecordingSurface surface{800, 600};
};

// Captured points come back as "%g" text: six significant digits.
inline bool near(const Vec3& a, const Vec3& b, double tolerance = 1e-4) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
           std::fabs(a.z - b.z) <= tolerance;
}

} // namespace displaytest
