// The define builders: defaults, the checks in their order with their messages, the surfaces
// and extents each kind makes, bounding spheres and the values kept as user parameters.
#include "engine/model/model_blocks.h"
#include "tests/engine/define_fixture.h"

namespace {

struct Refusal {
    const char* command;
    const char* output;
};

} // namespace

TEST_F(DefineTest, LensWithoutValuesUsesTheDefaultsAndReportsThreeSurfaces) {
    ObjectRecord* o = define("define/lens");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(out, "Complete.\nObject 1 consisting of 3 surfaces has been defined.\n");
    EXPECT_EQ(values(5), (std::vector<double>{100, -100, 20, 70, 1.33}));
    EXPECT_EQ(o->typeCode, kTypeLens);
    EXPECT_EQ(o->wireframeKind, kWireSingleLens);
    EXPECT_EQ(o->traceable, 1);
    EXPECT_EQ(o->defined, 1);
    EXPECT_EQ(o->activated, 0);
    EXPECT_EQ(lastDefinedObject, 1);
    ASSERT_EQ(o->surfaceCount, 3);
    const int shapes[] = {kShapeSphere, kShapeSphere, kShapeCylinder};
    int n = 0;
    for (SurfaceRecord* s = o->firstSurface; s; s = s->next, ++n) {
        EXPECT_EQ(s->number, n + 1);
        EXPECT_EQ(s->owner, o);
        EXPECT_EQ(s->shapeCode, shapes[n]);
        EXPECT_EQ(s->index, 1.33);
        EXPECT_EQ(s->intercept, &interceptQuadricSurface);
    }
    const UserParameterList& p = o->userParameters;
    ASSERT_EQ(p.count, 5);
    EXPECT_EQ(p.names, (std::vector<std::string>{"r1", "r2", "thickness", "diameter", "n"}));
    EXPECT_EQ(p.values, (std::vector<double>{100, -100, 20, 70, 1.33}));
    // Faces at -10 and +10, the edge between the rims.
    const double rim = sag(100, 35);
    EXPECT_DOUBLE_EQ(surface(o, 1)->extent[5], rim);
    EXPECT_DOUBLE_EQ(surface(o, 2)->extent[4], -35);
    EXPECT_DOUBLE_EQ(surface(o, 3)->extent[4], rim - 10);
    EXPECT_DOUBLE_EQ(surface(o, 3)->extent[5], 10 - rim);
    Vec3 vertex;
    transformPoint({0, 0, 0}, vertex, surface(o, 1)->surfaceToObject);
    EXPECT_DOUBLE_EQ(vertex.z, -10);
    expectSphereEncloses(o);
}

TEST_F(DefineTest, OneSurfaceObjectsAndTypedNames) {
    ASSERT_NE(define("define/detector"), nullptr);
    EXPECT_EQ(out, "Complete.\nObject 1 consisting of 1 surface has been defined.\n");
    ObjectRecord* axis = define("define/axis sight");
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(out, formatText("Added alias: %20s <== %20s\nObject sight consisting of 1 surface "
                              "has been defined.\n",
                              "sight", "2"));
    EXPECT_EQ(axis->traceable, 0);
    EXPECT_EQ(axis->firstSurface->axisLength, 5);
    EXPECT_EQ(axis->firstSurface->reflectance, 1.0);
    ObjectRecord* source = define("define/lightsource");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(out, "Object 3 consisting of 1 surface has been defined.\n");
    EXPECT_EQ(source->typeCode, kTypeLightSource);
    EXPECT_EQ(source->traceable, 0);
    EXPECT_EQ(source->userParameters.count, 0);
    ObjectRecord* film = define("define/film 7");
    ASSERT_NE(film, nullptr);
    EXPECT_EQ(film->typeCode, kTypeFilm);
    EXPECT_EQ(film->userParameters.values, (std::vector<double>{7, 20}));
    EXPECT_EQ(film->firstSurface->number, 1);
}

TEST_F(DefineTest, RefusedDefinitionsReportTheirFirstFailedCheckAndLeaveNothing) {
    const Refusal cases[] = {
        {"define/lens diameter=0 n=0.5 thickness=0", "ERROR: Diameter must be positive.\n"},
        {"define/lens n=0.5 thickness=0", "ERROR: N must be greater than unity.\n"},
        {"define/lens thickness=0 r1=10", "ERROR: Thickness must be greater than zero.\n"},
        {"define/lens r2=-34.9", "ERROR: Surface radii must be greater than diameter / 2.0\n"},
        {"define/rod diameter=-1 n=0 length=0", "ERROR: Diameter must be positive.\n"},
        {"define/rod n=0.9 length=0", "ERROR: N must be greater than unity.\n"},
        {"define/rod length=0", "ERROR: Length must be greater than zero.\n"},
        {"define/detector 0 0", "ERROR:  X half width must be positive.\n"},
        {"define/detector 5 -1", "ERROR:  Y half width must be positive.\n"},
        {"define/aperture yhw=0 hxhw=-1", "ERROR:  Edge half widths must be greater than 0.\n"},
        {"define/aperture hyhw=-1", "ERROR:  Hole half widths must not be less than 0.\n"},
        {"define/aperture hxcen=11", "ERROR: Hole extends past edge of the aperture.\n"},
        {"define/aperture 20 5 hycen=-1 hyhw=4.5",
         "ERROR: Hole extends past edge of the aperture.\n"},
        {"define/lens/cylindrical r1=19",
         "ERROR: Radii of curvature must be larger than edge half width.\n"},
        {"define/lens/cylindrical/x_powered r1=39",
         "ERROR: Radii of curvature must be larger than edge half width.\n"},
        {"define/lens/cylindrical r1=25 r2=-25 thickness=1",
         "ERROR: Radii too small for this thickness\n"},
        {"define/lens/doublet diameter=0 t1=0 n1=0.5", "ERROR:  Lens diameter must be greater than "
                                                       "zero.\n"},
        {"define/lens/doublet t2=0 n1=0.5", "ERROR:  Lens thickness must be greater than zero.\n"},
        {"define/lens/doublet n2=0.5 r1=1",
         "ERROR:  Index of refraction must not be less than one.\n"},
        {"define/lens/doublet r3=24.9", "ERROR:  Surface radii must be greater than lens radius\n"},
        {"define/lens/doublet/mater1=bk7 n2=0.5", "ERROR: Material bk7 not found.\n"},
        {"define/lens/doublet/mater2=f2", "ERROR: Material f2 not found.\n"},
        {"define/mirror/flat yhw=-2", "ERROR:  Mirror half widths must be positive numbers."},
        {"define/mirror/spherical radius=0 fl=0",
         "ERROR:  Mirror radius must be greater than 0.\n"},
        {"define/mirror/spherical/oval xhw=-1",
         "ERROR:  Mirror half widths must be greater than 0.\n"},
        {"define/mirror/spherical fl=0", "ERROR:  Focal length must be non-zero.\n"},
        {"define/mirror/spherical/rectangle 10 15 15",
         "ERROR:  Mirror edge radius must be less than radius of defining sphere."},
        {"define/mirror/parabolic/pledge size=0 flx=0", "ERROR:  Mirror size must be greater than "
                                                        "0.\n"},
        {"define/mirror/parabolic/oval yhw=0", "ERROR:  Mirror size must be greater than 0.\n"},
        {"define/mirror yfl=0", "ERROR:  Focal lengths must be non zero.\n"},
        {"define/mirror flx=10 yfl=-10", "ERROR:  Focal lengths must have the same sign.\n"},
        {"define/mirror/trough length=0 width=0", "ERROR:  X half width must be greater than 0.\n"},
        {"define/mirror/trough width=0 fl=0", "ERROR:  Y half width must be greater than 0.\n"},
        {"define/mirror/trough fl=0", "ERROR:  Focal length must not be 0.\n"},
        {"define/mirror/conic/rectangle xsize=-1", "ERROR:  Sizes must be positive.\n"},
        {"define/mirror/conic/rectangle c=0.1 k=0",
         "ERROR:  Illegal combination of values for k, c, and sizes.\n"},
        {"define/mirror/conic radius=0 c=1 k=0", "ERROR:  Radius must be greater than 0.\n"},
        {"define/mirror/conic c=0.04 k=0 xoffset=10",
         "ERROR:  The combination of values for k, c, radius, offsets define a surface which is "
         "partly unreal.\n"},
        {"define/mirror/cpc input_angle=100",
         "ERROR: Input angle must be less than or equal to 90.\n"},
        {"define/quadric/cylinder xhw=0 zmax=-1", " Half widths must be greater than 0."},
        {"define/cavity/cylinder zmin=40", " Zmax must be greater than zmin."},
        {"define/quadric/cone c=0 zmin=5 zmax=1", " A, B, and C must be greater than 0."},
        {"define/quadric/cone zmin=10", " Zmin must be less than Zmax."},
        {"define/quadric zmin=25 zmax=30", " Zmin must be less than Zmax."},
        {"define/quadric/eltrough b=0 length=0", " A and B must be greater than 0."},
        {"define/quadric/eltrough length=0 width=0", " Length must be greater than 0."},
        {"define/cavity/eltrough width=0", " Width must be greater than 0."},
        {"define/quadric/eltrough width=40.1", " Width must not be greater than 2A."},
    };
    for (const Refusal& r : cases) {
        EXPECT_EQ(define(r.command), nullptr) << r.command;
        EXPECT_EQ(out, std::string(r.output) + "Try again.\n") << r.command;
        EXPECT_EQ(objectCount, 0) << r.command;
        EXPECT_EQ(surfaceCount, 0) << r.command;
        EXPECT_EQ(lastDefinedObject, 0) << r.command;
    }
    // A refused definition keeps the values it read and the defaults it filled in.
    define("define/rod length=0");
    EXPECT_EQ(values(3), (std::vector<double>{0, 40, 1.33}));
}

TEST_F(DefineTest, BoundaryValuesThatPass) {
    // A radius of exactly half the diameter, and the default doublet (r2 = -100).
    EXPECT_NE(define("define/lens r1=35 r2=-35"), nullptr);
    EXPECT_NE(define("define/lens/doublet"), nullptr);
    EXPECT_NE(define("define/lens/doublet r1=25 r2=-25 r3=0"), nullptr);
    EXPECT_NE(define("define/lens/cylindrical r1=20 r2=-20 thickness=40"), nullptr);
    EXPECT_NE(define("define/aperture 20 5 hycen=-1 hyhw=4"), nullptr);
    EXPECT_NE(define("define/aperture hxhw=0"), nullptr);
    EXPECT_NE(define("define/mirror/spherical fl=10 radius=20"), nullptr);
    EXPECT_NE(define("define/quadric/eltrough width=40"), nullptr);
    // u = c^2 (1 + k) rho^2 a little above 1 counts as 1.
    ObjectRecord* o = define("define/mirror/conic c=0.05 k=0 radius=20.0000009");
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(std::isfinite(o->firstSurface->extent[5]));
    EXPECT_NEAR(o->firstSurface->extent[5], 20, 1e-3);
    EXPECT_EQ(define("define/mirror/conic c=0.05 k=0 radius=20.00001"), nullptr);
}

TEST_F(DefineTest, RevivedSlotTakesTheLowestNumberWithFreshParameters) {
    ObjectRecord* a = define("define/rod 50");
    ASSERT_NE(define("define/detector"), nullptr);
    deleteObjectNow(a);
    ObjectRecord* b = define("define/axis 3");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->number, 1);
    EXPECT_EQ(b->userParameters.names, (std::vector<std::string>{"size"}));
    EXPECT_EQ(b->boundingRadius, 0);
}

TEST_F(DefineTest, SurfaceAndObjectSpaceRunningOut) {
    // 16 lenses use 48 records of the first surface block; the next lens gets two more and then
    // finds no memory: both go back, and nothing of the object stays.
    for (int i = 0; i < 16; ++i)
        ASSERT_NE(define("define/lens"), nullptr);
    failNextModelBlocks(1);
    EXPECT_EQ(define("define/lens"), nullptr);
    EXPECT_EQ(out, "ERROR: Out of memory space for surfaces.\nTry again.\n");
    EXPECT_EQ(surfaceCount, 48);
    EXPECT_EQ(objectCount, 16);
    SurfaceRecord* first = allocSurface();
    SurfaceRecord* second = allocSurface();
    EXPECT_NE(first, second);
    freeSurface(second);
    freeSurface(first);
    // The one-surface kinds and the other builders word it their own way.
    failNextModelBlocks(1);
    define("define/lens/doublet");
    EXPECT_EQ(out, "ERROR: Out of memory space for surfaces.\nTry again.\n");
    failNextModelBlocks(1);
    define("define/lens/cylindrical");
    EXPECT_EQ(out, "ERROR: No more room for surfaces.\nTry again.\n");
    for (int i = 0; i < 2; ++i)
        ASSERT_NE(define("define/detector"), nullptr); // the block's last two records
    failNextModelBlocks(1);
    EXPECT_EQ(define("define/detector"), nullptr);
    EXPECT_EQ(out, "ERROR: No more space left for surfaces.\n");
    EXPECT_EQ(objectCount, 18);
}

TEST_F(DefineTest, TheFiveHundredAndFirstObjectIsRefused) {
    for (int i = 0; i < kMaxObjects; ++i)
        ASSERT_NE(define("define/lightsource"), nullptr);
    EXPECT_EQ(define("define/lightsource"), nullptr);
    EXPECT_EQ(out, "ERROR: No more space left for objects.\n");
    EXPECT_EQ(objectCount, kMaxObjects);
}

TEST_F(DefineTest, DetectorAndApertureOutlines) {
    ObjectRecord* d = define("define/detector/oval 4 6");
    ASSERT_NE(d, nullptr);
    SurfaceRecord* s = d->firstSurface;
    EXPECT_EQ(d->typeCode, kTypeRaytraceDetector);
    EXPECT_EQ(s->edgeType, 1);
    EXPECT_EQ(s->absorbtion, 1.0);
    EXPECT_EQ(s->quadric[11], 1);
    EXPECT_EQ((std::vector<double>(s->extent, s->extent + 6)),
              (std::vector<double>{-4, 4, -6, 6, -1, 1}));

    ObjectRecord* a = define("define/aperture/oval/hoval 20 hxcen=5 hxhw=3");
    ASSERT_NE(a, nullptr);
    s = a->firstSurface;
    EXPECT_EQ(values(6), (std::vector<double>{20, 20, 5, 0, 3, 3}));
    EXPECT_EQ(s->edgeType, 1);
    EXPECT_EQ(s->hasHole, 1);
    EXPECT_EQ(s->holeShape, 1);
    EXPECT_EQ((std::vector<double>(s->holeLimits, s->holeLimits + 4)),
              (std::vector<double>{2, 8, -3, 3}));
    EXPECT_EQ(a->typeCode, kTypeAperture);
    ObjectRecord* open = define("define/aperture hyhw=0");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->firstSurface->hasHole, 0);
    EXPECT_EQ(open->firstSurface->edgeType, 2);
}

TEST_F(DefineTest, SphericalLensAtItsFirstVertex) {
    sphLensVertex = 1;
    ObjectRecord* o = define("define/lens r1=0 thickness=30");
    ASSERT_NE(o, nullptr);
    Vec3 p;
    transformPoint({0, 0, 0}, p, surface(o, 1)->surfaceToObject);
    EXPECT_DOUBLE_EQ(p.z, 0);
    transformPoint({0, 0, 0}, p, surface(o, 2)->surfaceToObject);
    EXPECT_DOUBLE_EQ(p.z, 30);
    EXPECT_DOUBLE_EQ(o->referencePoint.z, 15);
    EXPECT_EQ(surface(o, 1)->shapeCode, kShapeFlat);
    expectSphereEncloses(o);
    // Rods keep their centre at the origin.
    ObjectRecord* rod = define("define/rod");
    ASSERT_NE(rod, nullptr);
    EXPECT_EQ(rod->referencePoint.z, 0);
}

TEST_F(DefineTest, BoundingSpheresEncloseEverySurface) {
    const char* commands[] = {
        "define/lens",
        "define/lens r1=-40 r2=-60 thickness=5",
        "define/lens r1=36 r2=36 thickness=2",
        "define/lens r1=0 r2=-35 thickness=1",
        "define/rod",
        "define/lens/cylindrical",
        "define/lens/cylindrical/x_powered r1=-50 r2=0 thickness=30",
        "define/lens/cylindrical r1=0 r2=25 thickness=4",
        "define/mirror/flat/oval 3 4",
        "define/mirror/spherical",
        "define/mirror/spherical fl=-20 radius=39",
        "define/mirror/spherical/oval fl=12 xhw=20 yhw=24",
        "define/mirror/spherical/rectangle fl=-30 10 20",
        "define/mirror/parabolic",
        "define/mirror/parabolic/pledge/yhw flx=-20 yfl=-40 size=15",
        "define/mirror/parabolic/pledge/zdepth flx=20 yfl=60 size=3",
        "define/mirror/parabolic/oval flx=20 yfl=30 xhw=10 yhw=25",
        "define/mirror/parabolic/rectangle flx=-10",
        "define/mirror/trough",
        "define/mirror/trough fl=-3 length=10 width=30",
        "define/mirror/conic",
        "define/mirror/conic c=-0.02 k=2 radius=10 xoffset=5 yoffset=-8",
        "define/mirror/conic/rectangle c=0.03 k=-3 xsize=10 ysize=4 xoffset=12",
        "define/quadric",
        "define/quadric/ellipsoid a=10 b=30 c=20 zmin=5",
        "define/cavity/cone zmin=-30 zmax=10",
        "define/cavity/cylinder 5 8 -10 30",
        "define/quadric/eltrough",
    };
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        ObjectRecord* o = define(command);
        ASSERT_NE(o, nullptr);
        expectSphereEncloses(o);
    }
}

TEST_F(DefineTest, CylindricalLensFacesAndWalls) {
    ObjectRecord* o = define("define/lens/cylindrical r1=50 r2=0 thickness=10");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(out, "Complete.\nObject 1 consisting of 6 surfaces has been defined.\n");
    EXPECT_EQ(o->typeCode, kTypeCylindricLens);
    EXPECT_EQ(o->wireframeKind, kWireCylindricLens);
    EXPECT_EQ(o->traceable, 1);
    const double s1 = sag(50, 20); // y powered: the half width is yhw = 20
    // Sides: front, back, y = +yhw, y = -yhw, x = -xhw, x = +xhw.
    const int sides[] = {-1, -1, -1, 1, 1, -1};
    const Vec3 origins[] = {{0, 0, 0},   {0, 0, 10},  {0, 20, 0},
                            {0, -20, 0}, {-40, 0, 0}, {40, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        SurfaceRecord* s = surface(o, i + 1);
        EXPECT_EQ(s->side, sides[i]) << i + 1;
        Vec3 p;
        transformPoint({0, 0, 0}, p, s->surfaceToObject);
        if (i > 0) {
            EXPECT_EQ(dot3(p - origins[i], p - origins[i]), 0) << i + 1;
        }
        if (i >= 2) {
            EXPECT_EQ(s->absorbtion, 1.0);
            EXPECT_DOUBLE_EQ(s->extent[4], 0);
            EXPECT_DOUBLE_EQ(s->extent[5], 10);
        }
    }
    // The curved front bends in y for a y-powered lens: its vertex at 0, its rim at the sag.
    SurfaceRecord* front = surface(o, 1);
    EXPECT_NEAR(quadricValue(front, {7, 0, 0}), 0, 1e-12);
    EXPECT_NEAR(quadricValue(front, {-30, 20, s1}), 0, 1e-12);
    EXPECT_DOUBLE_EQ(front->extent[5], s1);
    EXPECT_DOUBLE_EQ(o->referencePoint.z, 5);
    EXPECT_DOUBLE_EQ(o->boundingRadius, std::sqrt(25.0 + 400 + 1600));
    EXPECT_EQ(o->userParameters.values, (std::vector<double>{50, 0, 40, 20, 10, 1.33}));

    ObjectRecord* x = define("define/lens/cylindrical/x_powered r1=-60");
    ASSERT_NE(x, nullptr);
    SurfaceRecord* xf = surface(x, 1);
    EXPECT_EQ(xf->side, 1);
    EXPECT_NEAR(quadricValue(xf, {40, 5, sag(-60, 40)}), 0, 1e-12);
    EXPECT_DOUBLE_EQ(surface(x, 3)->extent[4], sag(-60, 40)); // walls span the whole lens
}

TEST_F(DefineTest, DoubletChainMediaAndCementedLink) {
    ObjectRecord* o = define("define/lens/doublet n1=1.6");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(out, "Complete.\nObject 1 consisting of 5 surfaces has been defined.\n");
    EXPECT_EQ(values(8), (std::vector<double>{100, -100, 100, 10, 10, 50, 1.6, 1.4}));
    SurfaceRecord* s[5];
    for (int i = 0; i < 5; ++i)
        s[i] = surface(o, i + 1);
    EXPECT_EQ(s[1]->inside, s[3]);
    EXPECT_EQ(s[0]->inside, nullptr);
    const double index[] = {1.6, 1.6, 1.6, 1.4, 1.4};
    const int shape[] = {kShapeSphere, kShapeSphere, kShapeCylinder, kShapeSphere, kShapeCylinder};
    const int side[] = {-1, -1, -1, 1, -1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s[i]->index, index[i]) << i + 1;
        EXPECT_EQ(s[i]->shapeCode, shape[i]) << i + 1;
        EXPECT_EQ(s[i]->side, side[i]) << i + 1;
    }
    EXPECT_EQ(s[2]->absorbtion, 1.0);
    // Vertices at 0, t1 and t1 + t2; the edges run between the rims.
    EXPECT_NEAR(quadricValue(s[0], {0, 0, 0}), 0, 1e-12);
    EXPECT_NEAR(quadricValue(s[1], {0, 0, 10}), 0, 1e-12);
    EXPECT_NEAR(quadricValue(s[3], {0, 0, 20}), 0, 1e-12);
    EXPECT_DOUBLE_EQ(s[2]->extent[4], sag(100, 25));
    EXPECT_DOUBLE_EQ(s[2]->extent[5], 10 + sag(-100, 25));
    EXPECT_DOUBLE_EQ(s[4]->extent[5], 20 + sag(100, 25));
    // With a material given, the value list has no n1.
    define("define/lens/doublet/mater1=bk7 1 2 3 4 5 6 7");
    EXPECT_EQ(values(7), (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(DefineTest, QuadricObjectsTypeCodesAndSphereBeforeComplete) {
    ObjectRecord* cone = define("define/quadric/cone");
    ASSERT_NE(cone, nullptr);
    EXPECT_EQ(cone->typeCode, kTypeCone);
    EXPECT_EQ(
        out,
        "Bounding sphere set 0 0 5 radius 30 from surface 1\nComplete.\nObject 1 consisting of 1 "
        "surface has been defined.\n");
    ObjectRecord* ellipsoidObject = define("define/cavity/ellipsoid/outside");
    ASSERT_NE(ellipsoidObject, nullptr);
    EXPECT_EQ(ellipsoidObject->typeCode, kTypeBarrel);
    EXPECT_EQ(ellipsoidObject->firstSurface->side, 1);
    ObjectRecord* cylinder = define("define/quadric/cylinder/both_sides");
    ASSERT_NE(cylinder, nullptr);
    EXPECT_EQ(cylinder->typeCode, kTypeCylinder);
    EXPECT_EQ(cylinder->firstSurface->side, 0);
    EXPECT_EQ(cylinder->wireframeKind, kWireEllipsoid);
    ObjectRecord* trough = define("define/quadric/eltrough");
    ASSERT_NE(trough, nullptr);
    EXPECT_EQ(trough->typeCode, kTypeCylinder);
    EXPECT_EQ(trough->wireframeKind, kWireXlong);
    EXPECT_EQ(trough->firstSurface->side, -1);
    EXPECT_EQ(trough->firstSurface->reflectance, 1.0);
}

TEST_F(DefineTest, EllipsoidRangeDefaultsToTheWholeBodyAndIsClipped) {
    ObjectRecord* o = define("define/quadric c=30");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(values(5), (std::vector<double>{20, 20, 30, -30, 30}));
    EXPECT_EQ(o->firstSurface->extent[4], -30);
    EXPECT_EQ(o->firstSurface->extent[1], 20);
    o = define("define/quadric zmin=-50 zmax=10");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->userParameters.values, (std::vector<double>{20, 20, 20, -20, 10}));
    // A range on one side of the centre narrows the outline to the body at its nearer end.
    o = define("define/quadric a=10 b=5 c=20 zmin=12");
    ASSERT_NE(o, nullptr);
    const double w = std::sqrt(1 - 144.0 / 400);
    EXPECT_DOUBLE_EQ(o->firstSurface->extent[1], 10 * w);
    EXPECT_DOUBLE_EQ(o->firstSurface->extent[3], 5 * w);
}

TEST_F(DefineTest, EltroughTakesTheComputedDepthAndNoZRange) {
    ObjectRecord* o = define("define/quadric/eltrough width=30");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->userParameters.names, (std::vector<std::string>{"a", "b", "width", "length"}));
    EXPECT_EQ(values(4), (std::vector<double>{20, 20, 30, 40}));
    const double* e = o->firstSurface->extent;
    EXPECT_EQ(e[1], 20);
    EXPECT_EQ(e[3], 15);
    EXPECT_EQ(e[4], 0);
    EXPECT_DOUBLE_EQ(e[5], (1 - std::sqrt(1 - 900.0 / 1600)) * 20);
    EXPECT_NEAR(quadricValue(o->firstSurface, {3, 15, e[5]}), 0, 1e-12);
}

TEST_F(DefineTest, MirrorShapesExtentsAndValues) {
    ObjectRecord* flat = define("define/mirror/flat/oval/back 10");
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->typeCode, kTypeMirror);
    EXPECT_EQ(flat->firstSurface->side, -1);
    EXPECT_EQ(flat->firstSurface->edgeType, 1);
    EXPECT_EQ(flat->firstSurface->reflectance, 1.0);
    EXPECT_DOUBLE_EQ(flat->boundingRadius, std::sqrt(200.0));

    ObjectRecord* sph = define("define/mirror/spherical fl=-30");
    ASSERT_NE(sph, nullptr);
    EXPECT_EQ(sph->userParameters.names, (std::vector<std::string>{"fl", "radius"}));
    EXPECT_EQ(values(2), (std::vector<double>{-30, 20}));
    const double* e = sph->firstSurface->extent;
    EXPECT_DOUBLE_EQ(e[4], -(60 - std::sqrt(3600.0 - 400)));
    EXPECT_EQ(e[5], 0);
    EXPECT_EQ(e[1], 20);
    EXPECT_EQ(sph->firstSurface->side, -1);
    EXPECT_EQ(sph->firstSurface->edgeType, 0);
    ObjectRecord* rect = define("define/mirror/spherical/rectangle/convex 20 15");
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(values(3), (std::vector<double>{20, 15, 15}));
    EXPECT_EQ(rect->firstSurface->extent[5], 40);
    EXPECT_EQ(rect->firstSurface->extent[3], 15);
    EXPECT_EQ(rect->firstSurface->side, 1);

    ObjectRecord* par = define("define/mirror/parabolic/pledge/yhw flx=10 yfl=40 size=8");
    ASSERT_NE(par, nullptr);
    e = par->firstSurface->extent;
    EXPECT_DOUBLE_EQ(e[3], 8);
    EXPECT_DOUBLE_EQ(e[1], 4);
    EXPECT_DOUBLE_EQ(e[5], 64.0 / 160);
    EXPECT_EQ(par->firstSurface->shapeCode, kShapeParaboloid);
    EXPECT_EQ(par->firstSurface->side, 1);
    EXPECT_NEAR(quadricValue(par->firstSurface, {4, 0, e[5]}), 0, 1e-12);
    // Oval and rectangle edges take the sampled z range of the surface over the outline.
    ObjectRecord* ov = define("define/mirror/parabolic/rectangle flx=-10 xhw=4 yhw=2");
    ASSERT_NE(ov, nullptr);
    e = ov->firstSurface->extent;
    EXPECT_NEAR(e[4], -0.5, 1e-4);
    EXPECT_NEAR(e[5], 0, 1e-4);
    EXPECT_EQ(ov->firstSurface->side, -1);

    ObjectRecord* trough = define("define/mirror/trough/concave fl=2 length=6 width=8");
    ASSERT_NE(trough, nullptr);
    e = trough->firstSurface->extent;
    EXPECT_EQ(trough->wireframeKind, kWireXlong);
    EXPECT_EQ(trough->firstSurface->side, -1);
    EXPECT_NEAR(e[5], 2, 1e-4);
    EXPECT_NEAR(e[4], 0, 1e-4);

    ObjectRecord* conic = define("define/mirror/conic/rectangle c=0.02 k=0 xsize=5 ysize=5 "
                                 "xoffset=10");
    ASSERT_NE(conic, nullptr);
    e = conic->firstSurface->extent;
    EXPECT_EQ(conic->firstSurface->shapeCode, kShapeSphere);
    EXPECT_EQ(conic->firstSurface->side, 0);
    EXPECT_EQ(conic->firstSurface->edgeType, 2);
    EXPECT_DOUBLE_EQ(e[0], 5);
    // Lowest at (5, 0), highest at the corner (15, 5).
    const double c = 0.02;
    auto z = [&](double r) { return c * r * r / (1 + std::sqrt(1 - c * c * r * r)); };
    EXPECT_DOUBLE_EQ(e[4], z(5) - 0.0001);
    EXPECT_DOUBLE_EQ(e[5], z(std::hypot(15, 5)) + 0.0001);
    const int shapes[][2] = {{-2, kShapeHyperboloid}, {-1, kShapeParaboloid}, {1, kShapeEllipsoid}};
    for (const auto& [k, shape] : shapes) {
        ObjectRecord* o = define(formatText("define/mirror/conic k=%d", k));
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->firstSurface->shapeCode, shape);
    }
}
