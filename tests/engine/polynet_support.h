// Shared pieces of the polygon-net tests: a clean model with the net modules reset, nets built
// straight from points, and polynet command lines run the way the reader hands them over.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "command/aliases.h"
#include "command/parsed_command.h"
#include "command/reader.h"
#include "engine/polynet_command.h"
#include "engine/polynet_facets.h"
#include "engine/polynet_intercept.h"
#include "engine/polynet_trim.h"
#include "tests/engine/engine_fixture.h"

class PolynetTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        resetNets();
    }
    void TearDown() override {
        resetNets();
        EngineTest::TearDown();
    }
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

    // Runs one polynet command line: numbers and aliases as the reader takes them, then the
    // split into modifiers and parameter words, then the handler.
    static int run(const std::string& line) {
        clearParsedCommand();
        clearPendingAlias();
        readerState().aliasExpanded = 0;
        std::size_t blank = line.find(' ');
        std::string path = line.substr(0, blank);
        std::string rest;
        int numbers = 0;
        std::size_t pos = blank;
        while (pos != std::string::npos && pos < line.size()) {
            std::size_t b = line.find_first_not_of(' ', pos);
            if (b == std::string::npos) break;
            std::size_t e = line.find(' ', b);
            std::string word = line.substr(b, e == std::string::npos ? e : e - b);
            pos = e;
            bool expanded = aliasExpand(word);
            if (expanded) readerState().aliasExpanded = 1;
            double v = 0;
            if (parseNumber(word.c_str(), &v)) {
                if (numbers < kMaxNumerics) {
                    numericValues[numbers] = v;
                    numericGiven[numbers] = 1;
                }
                ++numbers;
                continue;
            }
            rest += " " + word;
            if (word.find('=') == std::string::npos &&
                std::isalpha(static_cast<unsigned char>(word[0]))) {
                std::string name = word;
                for (char& ch : name)
                    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                aliasState().pendingAliasName = name;
            }
        }
        std::size_t slash = path.find('/');
        std::string keyword = path.substr(0, slash);
        std::snprintf(commandWord, sizeof commandWord, "%s", keyword.c_str());
        splitModifiersAndParameters((slash == std::string::npos ? "" : path.substr(slash)) + rest);
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
