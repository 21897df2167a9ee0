#include <cmath>

#include "command/interpreter/aliases.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/quadrics.h"
#include "tests/engine/object_commands_fixture.h"

namespace {

class Modify : public ObjectCommandsTest {
  protected:
    // The z range of a sphere's concave cap over a box, by brute force.
    static void capRange(double cx, double cy, double cz, double r, const double* e, double& lo,
                         double& hi) {
        lo = 1e300;
        hi = -1e300;
        for (int i = 0; i <= 400; ++i) {
            for (int j = 0; j <= 400; ++j) {
                const double x = e[0] + (e[1] - e[0]) * i / 400 - cx;
                const double y = e[2] + (e[3] - e[2]) * j / 400 - cy;
                const double z = cz - std::sqrt(r * r - x * x - y * y);
                lo = std::min(lo, z);
                hi = std::max(hi, z);
            }
        }
    }
    // Every corner of the surface's extent box lies within the object's bounding sphere.
    static void expectSphereEnclosesBox(const ObjectRecord* o, const SurfaceRecord* s) {
        const double* e = s->extent;
        for (int c = 0; c < 8; ++c) {
            Vec3 p{e[c & 1 ? 1 : 0], e[c & 2 ? 3 : 2], e[c & 4 ? 5 : 4]};
            transformPoint(p, p, s->surfaceToObject);
            const Vec3 d = p - o->referencePoint;
            EXPECT_LE(std::sqrt(dot3(d, d)), o->boundingRadius + 1e-9) << "corner " << c;
        }
    }
};

std::string boundingLine(const ObjectRecord* o) {
    return formatText("Bounding sphere set %lg %lg %lg radius %lg\n", o->referencePoint.x,
                      o->referencePoint.y, o->referencePoint.z, o->boundingRadius);
}

} // namespace

TEST_F(Modify, ExtentChangesOnlyTheGivenLimitsAndMovesThePlacedSphere) {
    ObjectRecord* lens = define("define/lens");
    ASSERT_NE(lens, nullptr);
    run("place 1 100 0 0");
    SurfaceRecord* s2 = getSurface(0, 2);
    double before[6];
    std::copy(s2->extent, s2->extent + 6, before);
    const std::string out = run("modify/extent 1.2 x2=50");
    EXPECT_EQ(out, boundingLine(lens));
    EXPECT_EQ(s2->extent[1], 50);
    for (int k : {0, 2, 3, 4, 5})
        EXPECT_EQ(s2->extent[k], before[k]) << k;
    EXPECT_GT(lens->referencePoint.x, 0); // the box grew toward +x
    EXPECT_VEC_NEAR(lens->globalReferencePoint, lens->referencePoint.x + 100,
                    lens->referencePoint.y, lens->referencePoint.z, 1e-12);

    run("modify/extent object=1.3 x1=-1 y1=-2 z1=-3 x2=1 y2=2 z2=3");
    const double expected[6] = {-1, 1, -2, 2, -3, 3};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(getSurface(0, 3)->extent[k], expected[k]);
}

TEST_F(Modify, ExtentRefusals) {
    define("define/lens");
    const double x2 = getSurface(0, 1)->extent[1];
    EXPECT_EQ(run("modify/extent x2=5"), "ERROR:  Surface number not specified. Try again.\n");
    EXPECT_EQ(run("modify/extent 9.1 x2=5"),
              "ERROR: Object 9 is undefined.\nERROR: Surface 1 is undefined.\n");
    EXPECT_EQ(run("modify/extent 1.7 x2=5"), "ERROR: Surface 7 is undefined.\n");
    EXPECT_EQ(run("modify/extent -1e300 x2=5"),
              "ERROR: Object -1000000 is undefined.\nERROR: Surface 1 is undefined.\n");
    EXPECT_EQ(getSurface(0, 1)->extent[1], x2);
}

TEST_F(Modify, CenterRefusals) {
    define("define/lens");
    define("define/mirror/flat");
    define("define/mirror/spherical");      // pledge edge
    define("define/mirror/spherical/oval"); // 4: R = 100, xhw = yhw = 20
    define("define/mirror/spherical/rectangle");
    const SurfaceRecord before = *getSurface(3, 1);
    const std::pair<const char*, const char*> refusals[] = {
        {"modify/center dx=5", "ERROR:  Object number not specified. Try again.\n"},
        {"modify/center 9", "ERROR: Object 9 never defined.\n"},
        {"modify/center 1", "WARNING:  MODIFY/CENTER only applicable to mirrors.\n"},
        {"modify/center 2",
         "WARNING:  MODIFY/CENTER only applicable to spherical or parabolic surfaces.\n"},
        {"modify/center 3", "WARNING:  Ilegal edge type for MODIFY/CENTER command.\n"},
        {"modify/center 4 81", "Displacement would move extents past the size of sphere. "
                               "Command ignored.\n"},
        {"modify/center 4 0 -81", "Displacement would move extents past the size of sphere. "
                                  "Command ignored.\n"},
        {"modify/center 5 80", "Displacement would move extents past the size of sphere.  "
                               "Command ignored.\n"},
    };
    for (const auto& [line, message] : refusals)
        EXPECT_EQ(run(line), message) << line;
    const SurfaceRecord* s = getSurface(3, 1);
    for (int k = 0; k < 13; ++k)
        EXPECT_EQ(s->quadric[k], before.quadric[k]);
    EXPECT_EQ(s->extent[5], before.extent[5]);
    // At the limit the outline just stays on the sphere.
    EXPECT_EQ(run("modify/center 4 80").rfind(" Surface z extents modified to ", 0), 0u);
    EXPECT_EQ(run("modify/center 5 -70").rfind(" Surface z extents modified to ", 0), 0u);
}

TEST_F(Modify, CenterOfASphericalMirrorResamplesTheCapAndCanBeRepeated) {
    ObjectRecord* m = define("define/mirror/spherical/oval fl=50");
    ASSERT_NE(m, nullptr);
    run("place 1 0 0 300");
    SurfaceRecord* s = m->firstSurface;
    for (int step = 1; step <= 2; ++step) {
        SCOPED_TRACE(step);
        const std::string out = run("modify/center 1 dx=10 dz=99");
        // The sphere moved sideways only.
        const Vec3 centre{-s->quadric[9] / 2, -s->quadric[10] / 2, -s->quadric[11] / 2};
        EXPECT_VEC_NEAR(centre, 10.0 * step, 0, 100, 1e-9);
        double lo, hi;
        capRange(10.0 * step, 0, 100, 100, s->extent, lo, hi);
        // The vertex lies inside the outline, so the cap starts at z = 0; the far side of the
        // sphere is no part of the mirror.
        EXPECT_NEAR(s->extent[4], 0, 1e-3);
        EXPECT_LE(s->extent[4], 0);
        EXPECT_NEAR(s->extent[5], hi, 1e-3);
        EXPECT_LT(s->extent[5], 20);
        const double middle = (s->extent[4] + s->extent[5]) / 2;
        EXPECT_EQ(out, formatText(" Surface z extents modified to %lg %lg centered at %lg\n",
                                  s->extent[4], s->extent[5], middle));
        EXPECT_EQ(m->referencePoint.z, middle);
        EXPECT_VEC_NEAR(m->globalReferencePoint, m->referencePoint.x, m->referencePoint.y,
                        middle + 300, 1e-12);
        expectSphereEnclosesBox(m, s);
    }
}

TEST_F(Modify, CenterOfAParabolicMirrorKeepsItsVertexInTheRange) {
    ObjectRecord* m = define("define/mirror/parabolic/rectangle flx=50");
    ASSERT_NE(m, nullptr);
    SurfaceRecord* s = m->firstSurface;
    // Off the sampling grid: the nearest node lies beside the vertex.
    ASSERT_EQ(run("modify/center 1 5.3 -2.1").rfind(" Surface z extents", 0), 0u);
    EXPECT_LE(s->extent[4], 0);
    EXPECT_GT(s->extent[4], -1e-2);
    // The deepest corner is the one farthest from the shifted axis.
    const double x = -20 - 5.3, y = 20 + 2.1;
    EXPECT_NEAR(s->extent[5], (x * x + y * y) / 200, 1e-2);
    expectSphereEnclosesBox(m, s);
}

TEST_F(Modify, CenterMovesTheAsphericCentreWithTheSurface) {
    ObjectRecord* m = define("define/mirror/spherical/oval fl=50");
    AltSurfaceRecord* aspheric = newAltSurfaceRecord();
    aspheric->kind = kInterceptRefinement;
    aspheric->routineName = "aspheric";
    aspheric->values[6] = 1;
    aspheric->values[7] = 2;
    appendAltSurface(m->firstSurface, aspheric);
    EXPECT_NE(run("modify/center 1 3 4").find("Moved altsurface to 4 6.\n"), std::string::npos);
    EXPECT_EQ(aspheric->values[6], 4);
    EXPECT_EQ(aspheric->values[7], 6);
    run("modify/center 1 3 4"); // a second move works like the first
    EXPECT_EQ(aspheric->values[6], 7);
    EXPECT_EQ(aspheric->values[7], 10);
}

TEST_F(Modify, ObjectMedia) {
    ObjectRecord* lens = define("define/lens");
    define("define/mirror/flat");
    ObjectRecord* net = makeObject(kTypePolynet, 2);
    ObjectRecord* glow = makeObject(kTypeLuminousBody);
    glow->firstSurface->shapeCode = kShapeEllipsoid;
    makeObject(kTypeLuminousBody); // not a luminous volume: first surface not an ellipsoid

    EXPECT_EQ(run("modify/object/index 1 1.7"), "");
    for (SurfaceRecord* s = lens->firstSurface; s; s = s->next)
        EXPECT_EQ(s->index, 1.7);
    EXPECT_EQ(run("modify/object/absorbtivity 1 alpha=0.2"), "");
    EXPECT_EQ(run("modify/object 1"), ""); // absorbtivity, default 0
    EXPECT_EQ(lens->firstSurface->absorbtivity, 0);
    EXPECT_EQ(run("modify/object/luminence 3 luminence=4"), "");
    for (SurfaceRecord* s = net->firstSurface; s; s = s->next)
        EXPECT_EQ(s->luminence, 4);
    EXPECT_EQ(run("modify/object/luminence 4 2"), "");
    EXPECT_EQ(glow->firstSurface->luminence, 2);

    const std::pair<const char*, const char*> refusals[] = {
        {"modify/object/index 1 0.9", " Index of refraction must not be less than unity.\n"},
        {"modify/object/index/material=bk7 1", "ERROR: Material bk7 not found.\n"},
        {"modify/object/index 2 1.5",
         " Index of refraction modifiable for lenses,prisms and rods only.\n"},
        {"modify/object/luminence 1 -1", " Luminence must be not be less than 0.\n"},
        {"modify/object/index n=1.2", " Object not specified. Command ignored.\n"},
        {"modify/object/absorbtivity 2 0.1",
         " Volume absorbtivity and luminence may only be changed on lenses,\n"
         " rods, prisms, and luminous volumes.\n"},
        {"modify/object/luminence 5 1",
         " Volume absorbtivity and luminence may only be changed on lenses,\n"
         " rods, prisms, and luminous volumes.\n"},
        {"modify/object/absorbtivity 3 0.1",
         "ERROR: Object absor. modification not permitted on this object type with this "
         "command.\n"},
        {"modify/object/absorbtivity 4 0.1",
         "ERROR: Object absor. modification not permitted on this object type with this "
         "command.\n"},
        {"modify/object/index 77 1.5", "ERROR: Object 77 never defined.\n"},
    };
    for (const auto& [line, message] : refusals)
        EXPECT_EQ(run(line), message) << line;
    EXPECT_EQ(lens->firstSurface->index, 1.7);
    EXPECT_EQ(lens->firstSurface->luminence, 0);
    EXPECT_EQ(net->firstSurface->absorbtivity, 0);
}

TEST_F(Modify, SurfaceAttributes) {
    ObjectRecord* lens = define("define/lens");
    makeObject(kTypePolynet);
    aliasAdd("lens1", "1");
    SurfaceRecord* s = getSurface(0, 2);
    EXPECT_EQ(run("modify/surface 1.2 refl=0.25 absor=0.25"),
              "Object lens1 surface 2: modified.\n");
    EXPECT_EQ(s->reflectance, 0.25);
    EXPECT_EQ(s->absorbtion, 0.25);
    EXPECT_EQ(run("modify 1.2 lumin=3 diffuse=0.5"), "Object lens1 surface 2: modified.\n");
    EXPECT_EQ(s->reflectance, 0.25); // kept
    EXPECT_EQ(s->luminance, 3);
    EXPECT_EQ(s->diffuse, 0.5);

    const std::pair<const char*, const char*> refusals[] = {
        {"modify/surface refl=0.5", "ERROR:  No surface specified, command ignored.\n "},
        {"modify/surface 1.2 refl=1.5", "ERROR:  Illegal value for reflectance.\n"},
        {"modify/surface 1.2 absor=-0.1", "ERROR:  Illegal value for absorbtion.\n"},
        {"modify/surface 1.2 lumin=-1", "ERROR:  Illegal value for luminance.\n"},
        {"modify/surface 1.2 refl=0.6 absor=0.5",
         "ERROR:  Reflectance (0.6) + absorbtion (0.5) must <= 1.0"},
        {"modify/surface 2.1 refl=0.5",
         "ERROR: Surface attribute modification not permitted on this object type with this "
         "command.\n"},
        {"modify/surface 1.4", "ERROR: Surface 4 is undefined.\n"},
    };
    for (const auto& [line, message] : refusals)
        EXPECT_EQ(run(line), message) << line;
    EXPECT_EQ(s->reflectance, 0.25);
    EXPECT_EQ(s->absorbtion, 0.25);
    EXPECT_EQ(s->luminance, 3);
    EXPECT_EQ(lens->firstSurface->reflectance, 0);
}

TEST_F(Modify, CoatingFormsAreLeftToThePartList) {
    define("define/lens");
    EXPECT_EQ(run("modify/surface/metal 1.1 cons1=2 cons2=3"), "");
    EXPECT_EQ(run("modify/surface/fresnel"), "ERROR:  No surface specified, command ignored.\n ");
    EXPECT_EQ(run("modify/scatterer 1.1"), "");
    EXPECT_EQ(run("modify/source 1"), "");
}

TEST_F(Modify, Holes) {
    define("define/mirror/flat/rectangle xhw=20 yhw=10");
    define("define/aperture");
    define("define/lens");
    aliasAdd("m", "1");
    SurfaceRecord* s = getSurface(0, 1);
    EXPECT_EQ(run("modify/surface/hole 1.1 0 0 5 5"), " Hole will be added to surface m.1.\n");
    EXPECT_EQ(s->hasHole, 1);
    EXPECT_EQ(s->holeShape, 2);
    // Exactly as large as the surface is accepted, one unit more is not.
    EXPECT_EQ(run("modify/surface/hole/oval 1.1 xcenter=0 ycenter=0 xhw=20 yhw=10"),
              " Hole in surface m.1 has been modified.\n");
    EXPECT_EQ(s->holeShape, 1);
    const double limits[4] = {-20, 20, -10, 10};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(s->holeLimits[k], limits[k]);
    EXPECT_EQ(run("modify/surface/hole 1.1 0 0 21 10"),
              "ERROR:  Hole size too large for surface. Command ignored.\n");
    EXPECT_EQ(run("modify/surface/hole 1.1 1 0 20 10"),
              "ERROR:  Hole size too large for surface. Command ignored.\n");
    EXPECT_EQ(s->holeLimits[1], 20);
    EXPECT_EQ(s->holeShape, 1);

    EXPECT_EQ(run("modify/surface/hole/delete 1.1"), " The hole has been deleted.\n");
    EXPECT_EQ(s->hasHole, 0);
    EXPECT_EQ(run("modify/surface/hole/delete 1.1"), " The hole has been deleted.\n");
    EXPECT_EQ(run("modify/surface/hole 1.1 0 0 0 4"), " The hole has been deleted.\n");
    // Apertures (stops) take holes too; lenses do not.
    EXPECT_EQ(run("modify/surface/hole 2.1 1 1 2 2"), " Hole in surface 2.1 has been modified.\n");
    EXPECT_EQ(run("modify/surface/hole 3.1 0 0 1 1"),
              "ERROR: Hole modification apply only to film, stops and mirrors.  Command "
              "ingnored.\n");
}

TEST_F(Modify, AlternateSurfacesGoThroughModify) {
    define("define/mirror/flat");
    const std::string out = run("modify/altsurfaces/grating 1.1");
    EXPECT_NE(out.find("Adding new alternate surface function: grating.\n"), std::string::npos);
    EXPECT_EQ(altSurfaceCount(getSurface(0, 1)), 1);
}
