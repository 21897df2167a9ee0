// Shared pieces of the polygon-net tests: a clean model with the net modules reset, nets built
// straight from points, and polynet command lines run the way the reader hands them over.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "command/interpreter/aliases.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "engine/commands/polynet_command.h"
#include "engine/polynet/polynet_facets.h"
#include "engine/polynet/polynet_intercept.h"
#include "engine/polynet/polynet_trim.h"
#include "tests/engine/engine_fixture.h"

class PolynetTest : public EngineTest {
  protected:
    // Forgets every net mid-test, the message state and the home kept (the fixture's own reset is
    // the engine's).
    static void resetNets() {
        resetPolynets();
        resetParsedCommand();
        resetReaderState();
    }

    // A facet on new points, appended to the net and prepared.
    static PolygonRecord* addFacet(PolynetRecord* net, std::initializer_list<Vec3> corners) {
        std::vector<PolyPoint*> points;
        for (const Vec3& c : corners) {
            PolyPoint* q = allocPolyPoint();
            *q = c;
            points.push_back(q);
        }
        return addFacetOn(net, points);
    }
    // A facet over existing points (shared corners).
    static PolygonRecord* addFacetOn(PolynetRecord* net, const std::vector<PolyPoint*>& points) {
        PolygonRecord* p = allocPolygon();
        ContourNode* c = allocContour();
        appendContour(p, c);
        for (PolyPoint* q : points) {
            VertexNode* v = allocVertexNode();
            v->point = q;
            appendVertex(c, v);
        }
        appendPolygon(net, p);
        polynetPreparePolygon(p);
        return p;
    }
    // Adds a further contour (a hole) to a facet and prepares it again.
    static void addContour(PolygonRecord* p, std::initializer_list<Vec3> corners) {
        ContourNode* c = allocContour();
        appendContour(p, c);
        for (const Vec3& corner : corners) {
            PolyPoint* q = allocPolyPoint();
            *q = corner;
            VertexNode* v = allocVertexNode();
            v->point = q;
            appendVertex(c, v);
        }
        polynetPreparePolygon(p);
    }

    // The cube [-h, h]^3 with shared corners and outward normals; `turned` (1-based) is a
    // facet listed the other way round.
    static PolynetRecord* cube(double h, int turned = 0) {
        PolynetRecord* net = allocPolynet();
        PolyPoint* c[8];
        for (int i = 0; i < 8; ++i) {
            c[i] = allocPolyPoint();
            *c[i] = {i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h};
        }
        const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                 {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
        for (int f = 0; f < 6; ++f) {
            std::vector<PolyPoint*> pts;
            for (int k = 0; k < 4; ++k)
                pts.push_back(c[faces[f][f + 1 == turned ? 3 - k : k]]);
            addFacetOn(net, pts);
        }
        return net;
    }

    // An object carrying `net`, as start makes it.
    static ObjectRecord* netObject(PolynetRecord* net) {
        const double values[7] = {0, 0, 0, 0, 0, 0, 1.5};
        return createPolynetObject(net, values);
    }

    // Runs one polynet command line as the reader hands it over.
    static int run(const std::string& line) {
        std::string command = line;
        normalizeLine(command);
        setParsedCommandText(command);
        return polynetCommand();
    }

    // Runs lines in order; the number that were rejected.
    static int runAll(std::initializer_list<std::string> lines) {
        int rejected = 0;
        for (const auto& l : lines)
            rejected += run(l) ? 0 : 1;
        return rejected;
    }

    // The screen text written since the last call.
    std::string newScreen() {
        std::string all = screen();
        std::string fresh = all.substr(std::min(seen, all.size()));
        seen = all.size();
        return fresh;
    }
    std::size_t seen = 0;

    static Vec3 unit(Vec3 v) {
        normalize3(v);
        return v;
    }
};
