#include "engine/polynet_command.h"

#include <cmath>

#include "engine/current_objects.h"
#include "engine/model_blocks.h"
#include "engine/placement.h"
#include "tests/engine/polynet_support.h"

using PolynetCommandTest = PolynetTest;

namespace {
PolynetRecord* netOf(int number) {
    return objectPolynet(number);
}
} // namespace

TEST_F(PolynetCommandTest, StepByStepFacetWithEveryMessage) {
    ASSERT_EQ(run("polynet/start prism reflect=0.25 abs=0.5 lumina=2 diffuse=0.125 volumin=3 "
                  "volabsor=0.0625 index=1.5"),
              1);
    EXPECT_EQ(newScreen(), "Added alias:                prism <==                    1\n"
                           "Polynet started.\n");
    ObjectRecord* o = getObject(0);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->typeCode, kTypePolynet);
    EXPECT_EQ(o->wireframeKind, kWirePrism);
    EXPECT_EQ(o->traceable, 1);
    EXPECT_EQ(o->defined, 1);
    EXPECT_EQ(o->surfaceCount, 1);
    EXPECT_EQ(lastDefinedObject, 1);
    SurfaceRecord* s = o->firstSurface;
    EXPECT_EQ(s->shapeCode, kShapeLinearNormal);
    EXPECT_EQ(s->side, -1);
    EXPECT_EQ(s->intercept, polynetIntercept);
    EXPECT_DOUBLE_EQ(s->reflectance, 0.25);
    EXPECT_DOUBLE_EQ(s->absorbtion, 0.5);
    EXPECT_DOUBLE_EQ(s->luminance, 2);
    EXPECT_DOUBLE_EQ(s->diffuse, 0.125);
    EXPECT_DOUBLE_EQ(s->luminence, 3);
    EXPECT_DOUBLE_EQ(s->absorbtivity, 0.0625);
    EXPECT_DOUBLE_EQ(s->index, 1.5);
    EXPECT_EQ(polynetPartRequest().objectNumber, 1);
    EXPECT_EQ(polynetPartRequest().polarPlane, kPolarNone);

    EXPECT_EQ(run("polynet/polygon"), 1);
    EXPECT_EQ(run("polynet/chain"), 1);
    EXPECT_EQ(polynetPartRequest().objectNumber, 0); // only start and belt make a part
    EXPECT_EQ(run("polynet/point 0 0 1"), 1);
    EXPECT_EQ(run("polynet/point x=4 z=1"), 1);
    EXPECT_EQ(run("polynet/point 4 3 1"), 1);
    EXPECT_EQ(run("polynet/close"), 1);
    EXPECT_EQ(newScreen(), "Polygon facet commenced.\n"
                           "Polygonal facet chain commenced.\n"
                           "Polygonal facet closed.\n");
    PolynetRecord* net = netOf(1);
    PolygonRecord* p = net->firstPolygon;
    // New facets take the net's start values.
    EXPECT_DOUBLE_EQ(p->reflectance, 0.25);
    EXPECT_DOUBLE_EQ(p->absorbtion, 0.5);
    EXPECT_DOUBLE_EQ(p->normal.z, 1); // prepared by close
    EXPECT_DOUBLE_EQ(p->planeConstant, 1);
    EXPECT_DOUBLE_EQ(contourVertex(1, p->firstContour)->x, 4);

    EXPECT_EQ(run("polynet/finish"), 1);
    EXPECT_EQ(newScreen(), "Polynet complete. Radius 2.500000, center = 2.000000 1.500000 "
                           "1.000000\n");
    EXPECT_DOUBLE_EQ(o->boundingRadius, 2.5);
    EXPECT_DOUBLE_EQ(o->referencePoint.x, 2);
    EXPECT_EQ(polynetUnderConstruction(), nullptr);
    EXPECT_EQ(run("polynet/polygon"), 0);
    EXPECT_EQ(newScreen(), "ERROR: No polynet started. Command ignored.\n");
}

TEST_F(PolynetCommandTest, StartDefaultsAndSilentEcho) {
    EXPECT_EQ(run("polynet/silent"), 1);
    EXPECT_EQ(newScreen(), "Polynet echo silent\n");
    ASSERT_EQ(run("polynet/start"), 1);
    EXPECT_DOUBLE_EQ(getObject(0)->firstSurface->index, 1.33);
    EXPECT_DOUBLE_EQ(getObject(0)->firstSurface->reflectance, 0);
    EXPECT_EQ(runAll({"polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close"}),
              0);
    EXPECT_EQ(newScreen(), "");
    EXPECT_EQ(run("polynet/silent"), 1);
    EXPECT_EQ(newScreen(), "Polynet echo \n");
}

TEST_F(PolynetCommandTest, OperationAndModifierErrors) {
    EXPECT_EQ(run("polynet"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Polynet operation not given. Command ignored.\n");
    EXPECT_EQ(run("polynet/noconfirm/po"), 0); // polygon or point: no operation
    EXPECT_EQ(newScreen(), "ERROR: Polynet operation not given. Command ignored.\n");
    EXPECT_EQ(run("polynet/belt/xypolar/yzpolar"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Multiple define modifiers not permitted.");
    EXPECT_EQ(objectCount, 0);
    for (const char* op : {"polygon", "chain", "point", "vertex", "close", "trim/begin", "thick",
                           "locus", "finish"}) {
        EXPECT_EQ(run(std::string("polynet/") + op), 0) << op;
        EXPECT_EQ(newScreen(), "ERROR: No polynet started. Command ignored.\n") << op;
    }
    // Two operations: the first counts, with a warning.
    EXPECT_EQ(run("polynet/silent/start"), 1);
    EXPECT_NE(newScreen().find("WARNING:  Multiple matches found for polygon modifier\n"),
              std::string::npos);
    EXPECT_EQ(objectCount, 0);
}

TEST_F(PolynetCommandTest, StepsWithoutAFacetOrChainChangeNothing) {
    ASSERT_EQ(run("polynet/start"), 1);
    newScreen();
    EXPECT_EQ(run("polynet/chain"), 0);
    EXPECT_EQ(newScreen(), "ERROR: No polygon started. Command ignored.\n");
    ASSERT_EQ(run("polynet/polygon"), 1);
    newScreen();
    EXPECT_EQ(run("polynet/point 1 2 3"), 0);
    EXPECT_EQ(run("polynet/vertex 1"), 0);
    EXPECT_EQ(newScreen(), "ERROR: No polygon chain started. Command ignored.\n"
                           "ERROR: No polygon chain started. Command ignored.\n");
    EXPECT_EQ(netOf(1)->firstPolygon->firstContour, nullptr);
    // Close without a chain does nothing at all.
    EXPECT_EQ(run("polynet/close"), 1);
    EXPECT_EQ(newScreen(), "");
}

TEST_F(PolynetCommandTest, VertexSharesAnExistingCornerAndChecksItsAddress) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close",
                      "polynet/polygon", "polynet/chain"}),
              0);
    newScreen();
    EXPECT_EQ(run("polynet/vertex"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Need a point number.\n");
    EXPECT_EQ(run("polynet/vertex 1 1 2"), 0); // facet 2 exists but has no vertex yet
    EXPECT_EQ(newScreen(), "ERROR: Bad vertex #.\n");
    EXPECT_EQ(run("polynet/vertex 1 1 3"), 0);
    EXPECT_EQ(run("polynet/vertex 1 1 0"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Bad polygon #.\nERROR: Bad polygon #.\n");
    EXPECT_EQ(run("polynet/vertex 1 2"), 0);
    EXPECT_EQ(run("polynet/vertex 1 -1"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Bad chain #.\nERROR: Bad chain #.\n");
    EXPECT_EQ(run("polynet/vertex 4"), 0);
    EXPECT_EQ(run("polynet/vertex 0.5"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Bad vertex #.\nERROR: Bad vertex #.\n");
    PolygonRecord* second = polygonAt(netOf(1), 2);
    EXPECT_EQ(second->firstContour->vertexCount, 0);

    EXPECT_EQ(run("polynet/vertex 3 1 1"), 1);
    EXPECT_EQ(run("polynet/vertex point=2 polygon=1"), 1);
    EXPECT_EQ(second->firstContour->vertexCount, 2);
    const PolygonRecord* first = polygonAt(netOf(1), 1);
    EXPECT_EQ(contourVertex(0, second->firstContour), contourVertex(2, first->firstContour));
    EXPECT_EQ(contourVertex(1, second->firstContour), contourVertex(1, first->firstContour));
}

TEST_F(PolynetCommandTest, FacetValuesAndUnrealisticOnes) {
    ASSERT_EQ(run("polynet/start reflect=0.5"), 1);
    newScreen();
    EXPECT_EQ(run("polynet/polygon reflect=0.75 abs=0.5"), 1);
    EXPECT_EQ(newScreen(), "ERROR: Unrealistic values of reflect and absorption.\n"
                           "Polygon facet commenced.\n");
    EXPECT_DOUBLE_EQ(netOf(1)->firstPolygon->reflectance, 0.75);
    EXPECT_EQ(run("polynet/polygon abs=0.25"), 1);
    EXPECT_DOUBLE_EQ(netOf(1)->lastPolygon->reflectance, 0.5);
    EXPECT_DOUBLE_EQ(netOf(1)->lastPolygon->absorbtion, 0.25);
}

TEST_F(PolynetCommandTest, AliasInUseAndVoidNet) {
    ASSERT_EQ(run("polynet/start first"), 1);
    newScreen();
    EXPECT_EQ(run("polynet/start first"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Object name alias is already in use.  Use a different name.\n");
    EXPECT_EQ(objectCount, 1);
    EXPECT_EQ(polynetPartRequest().objectNumber, 0);
    // The rejected start left the first net under construction; it has no facet yet.
    EXPECT_EQ(run("polynet/finish"), 0);
    EXPECT_EQ(newScreen(),
              "ERROR: This polynet contains no polygons, is void, and should be deleted.\n"
              "The probable cause is importing an IGES file with no surface entities.\n");
    EXPECT_NE(polynetUnderConstruction(), nullptr);
}

TEST_F(PolynetCommandTest, OutputModifyAndNormalizeOfExistingNets) {
    ObjectRecord* lens = makeObject(kTypeLens);
    EXPECT_EQ(run("polynet/output 2"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Object not found.\n");
    EXPECT_EQ(run("polynet/output 1"), 0);
    EXPECT_EQ(run("polynet/modify 1 1 0.5"), 0);
    EXPECT_EQ(newScreen(), "ERROR: This object is not a polygonal object.\n"
                           "ERROR: This object is not a polygonal object.\n");
    EXPECT_EQ(lens->firstSurface->typeData, nullptr);

    ASSERT_EQ(
        runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close", "polynet/finish"}),
        0);
    newScreen();
    EXPECT_EQ(run("polynet/modify 2 1 0.5"), 1);
    EXPECT_DOUBLE_EQ(netOf(2)->firstPolygon->reflectance, 0.5);
    EXPECT_DOUBLE_EQ(netOf(2)->firstPolygon->absorbtion, 0);
    EXPECT_EQ(run("polynet/modify object=2 absorbtion=0.25"), 1);
    EXPECT_DOUBLE_EQ(netOf(2)->firstPolygon->reflectance, 0.5);
    EXPECT_DOUBLE_EQ(netOf(2)->firstPolygon->absorbtion, 0.25);
    EXPECT_EQ(run("polynet/modify 2 2 0.5"), 0);
    EXPECT_EQ(newScreen(), "WARNING: No such polygon 2 found.\n");
    EXPECT_EQ(run("polynet/modify 9"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Object not found.\n");

    EXPECT_EQ(run("polynet/output 2"), 1);
    EXPECT_NE(newScreen().find(" Polygon 1  centroid = 0.500000 0.500000 0.000000\n"),
              std::string::npos);
    EXPECT_EQ(run("polynet/normalize 2"), 1);
    EXPECT_EQ(newScreen(), "All facet normals face outward, as expected.\n");
    EXPECT_EQ(run("polynet/normalize"), 0); // object 1 is the lens
    EXPECT_EQ(newScreen(), "ERROR: This object is not a polygonal object.\n");
}

TEST_F(PolynetCommandTest, OutputPrintsTheNetUnderConstruction) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close"}),
              0);
    newScreen();
    EXPECT_EQ(run("polynet/output"), 1);
    EXPECT_NE(newScreen().find("\nPolynet 1 rad = 0.000000"), std::string::npos);
}

TEST_F(PolynetCommandTest, ConfirmPrintsTheFinishedNet) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 2 0 0", "polynet/point 0 2 0", "polynet/close"}),
              0);
    newScreen();
    EXPECT_EQ(run("polynet/confirm/finish"), 1);
    std::string out = newScreen();
    EXPECT_EQ(out.find("Polynet complete. Radius 1.414214, center = 1.000000 1.000000 0.000000\n"),
              0u);
    EXPECT_NE(out.find("\nPolynet 1 rad = 1.414214 centroid = 1.000000 1.000000 0.000000\n"),
              std::string::npos);
}

TEST_F(PolynetCommandTest, ThickCloseExtrudesIntoAClosedSolid) {
    ASSERT_EQ(run("polynet/start slab"), 1);
    newScreen();
    EXPECT_EQ(run("polynet/thick -3"), 1);
    EXPECT_EQ(newScreen(), "Polygonal thickness: 0.000000.\n");
    EXPECT_EQ(run("polynet/thick 2"), 1);
    EXPECT_EQ(newScreen(), "Polygonal thickness: 2.000000.\n");
    ASSERT_EQ(runAll({"polynet/polygon reflect=0.5", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 4 0 0", "polynet/point 4 4 0", "polynet/point 0 4 0",
                      "polynet/close", "polynet/finish"}),
              0);
    PolynetRecord* net = netOf(1);
    EXPECT_EQ(net->polygonCount, 6);
    // Every facet is prepared: the slab is closed, and normalize turns it outward.
    newScreen();
    EXPECT_EQ(run("polynet/normalize slab"), 1);
    EXPECT_EQ(newScreen(), "6 facet normals corrected.\n");
    EXPECT_DOUBLE_EQ(net->firstPolygon->normal.z, 1);
    EXPECT_DOUBLE_EQ(net->firstPolygon->planeConstant, 1);
    EXPECT_DOUBLE_EQ(net->lastPolygon->reflectance, 0.5);
    EXPECT_DOUBLE_EQ(net->radius, std::sqrt(2 * 2 + 2 * 2 + 1));
}

TEST_F(PolynetCommandTest, LocusMakesAFreeCurrentVertex) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain"}), 0);
    newScreen();
    EXPECT_EQ(run("polynet/locus 1 2 3"), 1);
    EXPECT_EQ(newScreen(), "");
    const VertexNode* v = polynetCommandState().building.vertex;
    ASSERT_NE(v, nullptr);
    EXPECT_DOUBLE_EQ(v->point->z, 3);
    EXPECT_EQ(netOf(1)->firstPolygon->firstContour->vertexCount, 0);
}

TEST_F(PolynetCommandTest, TrimRouting) {
    ASSERT_EQ(
        runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                "polynet/point 1 0 0", "polynet/point 1 1 0", "polynet/point 0 1 0",
                "polynet/close", "polynet/polygon", "polynet/chain", "polynet/vertex 2",
                "polynet/point 2 0 0", "polynet/point 2 1 0", "polynet/vertex 3", "polynet/close"}),
        0);
    newScreen();
    EXPECT_EQ(run("polynet/trim/inside"), 1);
    EXPECT_EQ(newScreen(), "Error trim/begin not found.Polygon inside.\n");
    EXPECT_EQ(run("polynet/trim"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Polynet operation not given. Command ignored.\n");
    ASSERT_EQ(runAll({"polynet/trim/begin", "polynet/trim/outside", "polynet/chain",
                      "polynet/point 0.5 0.5 0", "polynet/point 1.5 0.25 0", "polynet/close"}),
              0);
    EXPECT_EQ(newScreen(), "Polynet trim commenced.\n"
                           "Polygon begin.\n"
                           "Polynet trim chain will trim outside.\n"
                           "Polygon outside.\n"
                           "Polygonal facet chain commenced.\n"
                           "Trim chain closed\n");
    // The trim chain's points did not go into a facet.
    EXPECT_EQ(netOf(1)->polygonCount, 2);
    EXPECT_EQ(polygonAt(netOf(1), 2)->firstContour->vertexCount, 4);
    EXPECT_EQ(run("polynet/trim/end"), 1);
    EXPECT_EQ(newScreen(), "Trim chain 1 has 2 points.\n"
                           "1 points added to the trim chain.\n"
                           "Polynet trim ended with 1 chains, 0 polygonless points.\n"
                           "Polygon end.\n");
    // After the trim, a chain is a facet chain again.
    EXPECT_EQ(run("polynet/chain"), 0);
    EXPECT_EQ(newScreen(), "ERROR: No polygon started. Command ignored.\n");
}

TEST_F(PolynetCommandTest, DeletingTheObjectEndsTheConstruction) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain"}), 0);
    ObjectRecord* o = getObject(0);
    deleteObjectNow(o);
    newScreen();
    EXPECT_EQ(run("polynet/point 1 2 3"), 0);
    EXPECT_EQ(newScreen(), "ERROR: No polynet started. Command ignored.\n");
    // A new object in the same slot is not the net's.
    makeObject(kTypePolynet);
    EXPECT_EQ(run("polynet/finish"), 0);
    EXPECT_EQ(newScreen(), "ERROR: No polynet started. Command ignored.\n");

    // Clearing the model (every object deleted) ends it too.
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon"}), 0);
    for (int i = 0; i <= highestObjectIndex; ++i)
        if (ObjectRecord* each = getObject(i)) deleteObjectNow(each);
    ASSERT_EQ(allocObjectSlot()->number, 1);
    EXPECT_EQ(polynetUnderConstruction(), nullptr);
}

TEST_F(PolynetCommandTest, MemoryFailuresChangeNothing) {
    failNextModelBlocks(1);
    EXPECT_EQ(run("polynet/start"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Not enough memory for polynet.\n");
    for (int i = 0; i < kMaxObjects; ++i)
        makeObject(kTypeAxis, 0);
    int surfaces = surfaceCount;
    EXPECT_EQ(run("polynet/start"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Out of memory for polygon.\n");
    EXPECT_EQ(surfaceCount, surfaces);
    EXPECT_EQ(polynetUnderConstruction(), nullptr);

    resetNets();
    resetObjectTable();
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain"}), 0);
    newScreen();
    failNextModelBlocks(1);
    EXPECT_EQ(run("polynet/point 1 2 3"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Not enough memory for polygon.\n");
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].text, "ERROR out of memory for polygon.\n");
    EXPECT_EQ(netOf(1)->firstPolygon->firstContour->vertexCount, 0);
    EXPECT_EQ(run("polynet/point 1 2 3"), 1);
}

// The command stream of a triangle-mesh import: facets of three new points each.
TEST_F(PolynetCommandTest, TriangleMeshImportStream) {
    const Vec3 corners[4] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}};
    // The first and the last triangle face inward.
    const int triangles[4][3] = {{0, 1, 2}, {0, 1, 3}, {1, 2, 3}, {0, 2, 3}};
    ASSERT_EQ(run("polynet/start tetra refl=1 abs=0 index=1.5"), 1);
    for (const auto& t : triangles) {
        ASSERT_EQ(run("polynet/polygon"), 1);
        ASSERT_EQ(run("poly/chain"), 1);
        for (int k : t)
            ASSERT_EQ(
                run(formatText("poly/poi %lg %lg %lg", corners[k].x, corners[k].y, corners[k].z)),
                1);
        ASSERT_EQ(run("polynet/close"), 1);
    }
    newScreen();
    ASSERT_EQ(run("polynet/fin"), 1);
    EXPECT_EQ(newScreen(), "Polynet complete. Radius 8.660254, center = 5.000000 5.000000 "
                           "5.000000\n");
    EXPECT_EQ(run("polynet/normal tetra"), 1);
    EXPECT_EQ(newScreen(), "2 facet normals corrected.\n");
    EXPECT_DOUBLE_EQ(netOf(1)->firstPolygon->normal.z, -1);
    EXPECT_EQ(run("polynet/normal tetra"), 1);
    EXPECT_EQ(newScreen(), "All facet normals face outward, as expected.\n");
    // Reversing one facet's points in place is found and mended.
    PolygonRecord* third = polygonAt(netOf(1), 3);
    third->normal = -1.0 * third->normal;
    third->planeConstant = -third->planeConstant;
    EXPECT_EQ(run("polynet/normal tetra"), 1);
    EXPECT_EQ(newScreen(), "1 facet normals corrected.\n");
    EXPECT_GT(third->normal.x, 0);
}

// The command stream of the cube-corner builder, shared corners addressed by vertex.
TEST_F(PolynetCommandTest, CubeCornerStreamClosesIntoASolid) {
    const double a = 10, n = 1.5;
    const double c30 = std::cos(0.5235987756666667), s30 = std::sin(0.5235987756666667);
    const double r = a / c30, h = a * std::sqrt(2.0) * 0.5, c = a * c30, s = a * s30;
    std::vector<std::string> lines = {formatText("polynet/start %s index=%lg refl=0.0", "retro", n),
                                      "polynet/poly", "polynet/chain"};
    for (int i = 0; i < 6; ++i) {
        double t = -i * 1.0471975513333334;
        lines.push_back(formatText("polynet/point %lg %lg 0.0", r * std::cos(t), r * std::sin(t)));
    }
    for (const char* l :
         {"polynet/close", "polynet/poly", "polynet/chain", "pol/ver 6 1 1", "pol/ver 5 1 1"})
        lines.push_back(l);
    lines.push_back(formatText("pol/point 0.0 %lg %lg ", a, h));
    for (const char* l :
         {"polynet/close", "polynet/poly", "polynet/chain", "pol/ver 2 1 1", "pol/ver 1 1 1"})
        lines.push_back(l);
    lines.push_back(formatText("pol/point %lg %lg %lg ", c, -s, h));
    for (const char* l :
         {"polynet/close", "polynet/poly", "polynet/chain", "pol/ver 4 1 1", "pol/ver 3 1 1"})
        lines.push_back(l);
    lines.push_back(formatText("pol/point %lg %lg %lg ", -c, -s, h));
    for (const char* l : {"polynet/close", "polynet/poly", "polynet/chain"})
        lines.push_back(l);
    lines.push_back(formatText("poly/point 0.0 0.0 %lg", a * std::sqrt(2.0)));
    for (const char* l :
         {"pol/ver 3 1 2", "pol/ver 5 1 1", "pol/ver 4 1 1", "pol/ver 3 1 4", "polynet/close",
          "polynet/poly",  "polynet/chain", "pol/ver 1 1 5", "pol/ver 3 1 2", "pol/ver 6 1 1",
          "pol/ver 1 1 1", "pol/ver 3 1 3", "polynet/close", "polynet/poly",  "polynet/chain",
          "pol/ver 1 1 5", "pol/ver 3 1 3", "pol/ver 2 1 1", "pol/ver 3 1 1", "pol/ver 3 1 4",
          "polynet/close"})
        lines.push_back(l);
    for (const auto& l : lines)
        ASSERT_EQ(run(l), 1) << l;
    newScreen();
    ASSERT_EQ(run("polynet/fin"), 1);
    EXPECT_NE(newScreen().find("Polynet complete. Radius "), std::string::npos);
    ASSERT_EQ(run("polynet/normal retro"), 1);
    std::string report = newScreen();
    EXPECT_EQ(report.find("gaps"), std::string::npos) << report;

    PolynetRecord* net = netOf(1);
    ASSERT_EQ(net->polygonCount, 7);
    EXPECT_NEAR(net->firstPolygon->firstContour->firstVertex->point->x, 11.547, 5e-4);
    // Outward now: the base faces down and every facet faces away from an inner point.
    EXPECT_NEAR(net->firstPolygon->normal.z, -1, 1e-12);
    const Vec3 inner{0, 0, 3};
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
        EXPECT_LT(dot3(p->normal, inner), p->planeConstant);
    // A ray from inside leaves through exactly one facet.
    Vec3 up{0.1, 0.2, 1};
    double nearest = -1;
    EXPECT_EQ(polynetIntercept(getObject(0)->firstSurface, inner, up, nearest), 1);
}

TEST_F(PolynetCommandTest, BeltsInEachPlane) {
    struct Plane {
        const char* word;
        int value;
        int first, second, axis; // axes the angle runs from and to, and the band's axis
        void (*turn)(double, PlacementMatrix&, PlacementMatrix&);
    } planes[] = {
        {"xypolar", kPolarXY, 0, 1, 2, rotatePlacementZ},
        {"xzpolar", kPolarXZ, 2, 0, 1, rotatePlacementY},
        {"yzpolar", kPolarYZ, 1, 2, 0, rotatePlacementX},
    };
    for (const auto& pl : planes) {
        SCOPED_TRACE(pl.word);
        resetNets();
        resetAliasState();
        resetObjectTable();
        resetCurrentObjects();
        newScreen();
        ASSERT_EQ(run(formatText("polynet/belt/%s PolarRad 100 0.25 36", pl.word)), 1);
        EXPECT_EQ(newScreen().rfind("Added alias:", 0), 0u);
        EXPECT_EQ(polynetPartRequest().objectNumber, 1);
        EXPECT_EQ(polynetPartRequest().polarPlane, pl.value);
        EXPECT_EQ(lastDefinedObject, 1);
        EXPECT_EQ(polynetUnderConstruction(), nullptr);
        PolynetRecord* net = netOf(1);
        ASSERT_EQ(net->polygonCount, 36);
        EXPECT_NEAR(net->radius, std::sqrt(100.0 * 100 + 12.5 * 12.5), 1e-9);
        ObjectRecord* o = getObject(0);
        EXPECT_DOUBLE_EQ(o->boundingRadius, net->radius);
        // Facet i is centred on angle i x 10 degrees and faces away from the axis;
        // neighbours share corners.
        int i = 0;
        for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon, ++i) {
            double angle = i * 10 * kDegree;
            EXPECT_NEAR(axisValue(p->normal, pl.first), std::cos(angle), 1e-12);
            EXPECT_NEAR(axisValue(p->normal, pl.second), std::sin(angle), 1e-12);
            EXPECT_NEAR(axisValue(p->centroid, pl.axis), 0, 1e-12);
            const PolygonRecord* next = p->nextPolygon ? p->nextPolygon : net->firstPolygon;
            EXPECT_EQ(contourVertex(1, p->firstContour), contourVertex(0, next->firstContour));
            EXPECT_EQ(contourVertex(2, p->firstContour), contourVertex(3, next->firstContour));
        }
        // Turned by -180/n as the radiometer flow does, facet k covers [k-1, k] x 10 degrees.
        pl.turn(-5, o->globalToLocal, o->localToGlobal);
        o->placed = 1;
        setobj(o);
        for (int k = 1; k <= 36; k += 7) {
            double angle = (k - 0.5) * 10 * kDegree;
            Vec3 d;
            axisRef(d, pl.first) = std::cos(angle);
            axisRef(d, pl.second) = std::sin(angle);
            double nearest = -1;
            ASSERT_EQ(polynetIntercept(o->firstSurface, {0, 0, 0}, d, nearest), 1);
            EXPECT_EQ(polynetLastHitFacet, k);
        }
    }
}

TEST_F(PolynetCommandTest, BeltDefaultsAndBadFacetCounts) {
    ASSERT_EQ(run("polynet/belt"), 1);
    PolynetRecord* net = netOf(1);
    EXPECT_EQ(net->polygonCount, 36);
    EXPECT_EQ(polynetPartRequest().polarPlane, kPolarNone);
    EXPECT_NEAR(net->firstPolygon->normal.x, 1, 1e-12); // about z
    newScreen();
    EXPECT_EQ(run("polynet/belt 10 0.1 0"), 0);
    EXPECT_EQ(newScreen(), "ERROR: Belt needs 1 to 100000 facets. Command ignored.\n");
    EXPECT_EQ(objectCount, 1);
    // A height that is not above 0 gives flat facets without a plane.
    ASSERT_EQ(run("polynet/belt 10 -1 4"), 1);
    EXPECT_EQ(netOf(2)->polygonCount, 4);
    EXPECT_DOUBLE_EQ(dot3(netOf(2)->firstPolygon->normal, netOf(2)->firstPolygon->normal), 0);
}
