#include "engine/commands/polynet_command.h"

#include <cmath>

#include "engine/model/current_objects.h"
#include "engine/model/model_blocks.h"
#include "engine/model/placement.h"
#include "tests/engine/polynet_support.h"

using PolynetCommandTest = PolynetTest;

TEST_F(PolynetCommandTest, StartMakesTheCarryingObjectAndCloseAndFinishPrepareTheNet) {
    ASSERT_EQ(run("polynet/start prism reflect=0.25 abs=0.5 lumina=2 diffuse=0.125 volumin=3 "
                  "volabsor=0.0625"),
              1);
    ObjectRecord* o = getObject(0);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->typeCode, kTypePolynet);
    EXPECT_EQ(o->wireframeKind, kWirePrism);
    EXPECT_EQ(o->traceable, 1);
    EXPECT_EQ(o->surfaceCount, 1);
    EXPECT_EQ(lastDefinedObject, 1);
    EXPECT_STREQ(aliasLookup("prism"), "1");
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
    EXPECT_DOUBLE_EQ(s->index, 1.33);
    const PolynetPartRequest request = takePolynetPartRequest();
    EXPECT_EQ(request.objectNumber, 1);
    EXPECT_EQ(request.polarPlane, kPolarNone);
    EXPECT_EQ(takePolynetPartRequest().objectNumber, 0); // taken once

    EXPECT_EQ(runAll({"polynet/polygon", "polynet/chain", "polynet/point 0 0 1",
                      "polynet/point x=4 z=1", "polynet/point 4 3 1", "polynet/close"}),
              0);
    EXPECT_EQ(takePolynetPartRequest().objectNumber, 0); // only start and belt make a part
    PolygonRecord* p = objectPolynet(1)->firstPolygon;
    EXPECT_DOUBLE_EQ(p->reflectance, 0.25); // new facets take the start values
    EXPECT_DOUBLE_EQ(p->absorbtion, 0.5);
    EXPECT_DOUBLE_EQ(p->normal.z, 1);
    EXPECT_DOUBLE_EQ(p->planeConstant, 1);
    EXPECT_DOUBLE_EQ(contourVertex(1, p->firstContour)->x, 4);

    EXPECT_EQ(run("polynet/finish"), 1);
    EXPECT_DOUBLE_EQ(o->boundingRadius, 2.5);
    EXPECT_DOUBLE_EQ(o->referencePoint.x, 2);
    EXPECT_DOUBLE_EQ(o->referencePoint.y, 1.5);
    EXPECT_EQ(polynetUnderConstruction(), nullptr);
}

TEST_F(PolynetCommandTest, RejectedStepsChangeNothing) {
    ASSERT_EQ(run("polynet/start first"), 1);
    EXPECT_EQ(run("polynet/start first"), 0); // the name is an alias in use
    EXPECT_EQ(objectCount, 1);
    EXPECT_EQ(takePolynetPartRequest().objectNumber, 0);
    EXPECT_EQ(run("polynet/chain"), 0); // no facet
    ASSERT_EQ(run("polynet/polygon"), 1);
    EXPECT_EQ(run("polynet/point 1 2 3"), 0); // no chain
    EXPECT_EQ(run("polynet/vertex 1"), 0);
    EXPECT_EQ(objectPolynet(1)->firstPolygon->firstContour, nullptr);
    EXPECT_EQ(run("polynet/finish"), 0); // void: still under construction
    EXPECT_NE(polynetUnderConstruction(), nullptr);
    newScreen();
    EXPECT_EQ(run("polynet/close"), 1); // without a chain: nothing at all
    EXPECT_EQ(newScreen(), "");
}

TEST_F(PolynetCommandTest, VertexSharesAnExistingCorner) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close",
                      "polynet/polygon", "polynet/chain"}),
              0);
    for (const char* bad : {"polynet/vertex", "polynet/vertex 1 1 2", "polynet/vertex 1 1 3",
                            "polynet/vertex 1 1 0", "polynet/vertex 1 2", "polynet/vertex 1 -1",
                            "polynet/vertex 4", "polynet/vertex 0.5", "polynet/vertex 1e300"})
        EXPECT_EQ(run(bad), 0) << bad;
    PolygonRecord* second = polygonAt(objectPolynet(1), 2);
    EXPECT_EQ(second->firstContour->vertexCount, 0);

    EXPECT_EQ(run("polynet/vertex 3 1 1"), 1);
    EXPECT_EQ(run("polynet/vertex point=2 polygon=1"), 1);
    EXPECT_EQ(second->firstContour->vertexCount, 2);
    const PolygonRecord* first = polygonAt(objectPolynet(1), 1);
    EXPECT_EQ(contourVertex(0, second->firstContour), contourVertex(2, first->firstContour));
    EXPECT_EQ(contourVertex(1, second->firstContour), contourVertex(1, first->firstContour));
}

TEST_F(PolynetCommandTest, OutputAndModifyNeedANetObject) {
    ObjectRecord* lens = makeObject(kTypeLens);
    newScreen();
    EXPECT_EQ(run("polynet/output 1"), 0);
    EXPECT_EQ(run("polynet/modify 1 1 0.5"), 0);
    EXPECT_EQ(newScreen(), "ERROR: This object is not a polygonal object.\n"
                           "ERROR: This object is not a polygonal object.\n");
    EXPECT_EQ(lens->firstSurface->typeData, nullptr);

    ASSERT_EQ(
        runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close", "polynet/finish"}),
        0);
    PolygonRecord* p = objectPolynet(2)->firstPolygon;
    EXPECT_EQ(run("polynet/modify 2 1 0.5"), 1);
    EXPECT_DOUBLE_EQ(p->reflectance, 0.5);
    EXPECT_DOUBLE_EQ(p->absorbtion, 0);
    EXPECT_EQ(run("polynet/modify object=2 absorbtion=0.25"), 1); // reflect stays
    EXPECT_DOUBLE_EQ(p->reflectance, 0.5);
    EXPECT_DOUBLE_EQ(p->absorbtion, 0.25);
}

TEST_F(PolynetCommandTest, LocusMakesAFreeCurrentVertex) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain"}), 0);
    newScreen();
    EXPECT_EQ(run("polynet/locus 1 2 3"), 1);
    EXPECT_EQ(newScreen(), "");
    const VertexNode* v = polynetCommandState().building.vertex;
    ASSERT_NE(v, nullptr);
    EXPECT_DOUBLE_EQ(v->point->z, 3);
    EXPECT_EQ(objectPolynet(1)->firstPolygon->firstContour->vertexCount, 0);
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
    EXPECT_EQ(objectPolynet(1)->polygonCount, 2);
    EXPECT_EQ(polygonAt(objectPolynet(1), 2)->firstContour->vertexCount, 4);
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

TEST_F(PolynetCommandTest, ATrimOfADeletedNetGoesWithIt) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close",
                      "polynet/trim/begin", "polynet/trim/inside", "polynet/chain",
                      "polynet/point 0.1 0.1 0", "polynet/point 0.2 0.1 0"}),
              0);
    deleteObjectNow(getObject(0));
    // The next net starts with no trim: its trim/end finds none, its trim/begin is no error,
    // and its points go into its own facets.
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain"}), 0);
    newScreen();
    EXPECT_EQ(run("polynet/point 5 5 5"), 1);
    EXPECT_EQ(objectPolynet(1)->firstPolygon->firstContour->vertexCount, 1);
    EXPECT_EQ(run("polynet/trim/end"), 1);
    EXPECT_EQ(run("polynet/trim/begin"), 1);
    EXPECT_EQ(newScreen(), "Error trim/begin not found.Polygon end.\n"
                           "Polynet trim commenced.\nPolygon begin.\n");
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
    EXPECT_EQ(objectPolynet(1)->firstPolygon->firstContour->vertexCount, 0);
    EXPECT_EQ(run("polynet/point 1 2 3"), 1);
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
        const PolynetPartRequest request = takePolynetPartRequest();
        EXPECT_EQ(request.objectNumber, 1);
        EXPECT_EQ(request.polarPlane, pl.value);
        EXPECT_EQ(lastDefinedObject, 1);
        EXPECT_EQ(polynetUnderConstruction(), nullptr);
        PolynetRecord* net = objectPolynet(1);
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
