// The design tools' presets, checks and command texts.
#include <gtest/gtest.h>

#include "ui/compose/tool_commands.h"

TEST(ToolCommands, RotateSendsTheReferenceOnlyWhenRelative) {
    RotationRequest r;
    r.object = "lens";
    r.reference = "base";
    r.angle = 12.5;
    EXPECT_EQ(rotationCommand(r), "rotate/local/x lens 12.5");
    r.frame = 0;
    r.axis = 2;
    EXPECT_EQ(rotationCommand(r), "rotate/global/z lens 12.5");
    r.frame = 2;
    r.axis = 1;
    EXPECT_EQ(rotationCommand(r), "rotate/relative/y lens base 12.5");
    EXPECT_FALSE(rotationRefusal(r));
    r.reference = "x;clear";
    EXPECT_TRUE(rotationRefusal(r));
    r.frame = 1; // the reference is not used then
    EXPECT_FALSE(rotationRefusal(r));
    r.object = "";
    EXPECT_TRUE(rotationRefusal(r));
}

TEST(ToolCommands, PlaceByTypeWithTheReferenceLastForRotations) {
    PlacementRequest p;
    p.object = "m1";
    p.reference = "m2";
    p.x = 1, p.y = 2, p.z = 3.25, p.a = 10, p.b = 20, p.g = 30;
    EXPECT_EQ(placementCommand(p), "place/object/global m1 1 2 3.25");
    p.type = 1;
    EXPECT_EQ(placementCommand(p), "place/object/relative m1 m2 1 2 3.25");
    p.type = 2;
    EXPECT_EQ(placementCommand(p), "place/object/inside m1 m2 1 2 3.25");
    p.type = 3;
    EXPECT_EQ(placementCommand(p), "place/rotations m1 1 2 3.25 10 20 30 m2");
    p.reference.clear();
    EXPECT_FALSE(placementRefusal(p)); // rotations without a reference
    p.type = 1;
    EXPECT_TRUE(placementRefusal(p));
}

TEST(ToolCommands, TranslateGlobalAndLocal) {
    TranslationRequest t{0, 1.5, -2, 0, "7"};
    EXPECT_EQ(translationCommand(t), "translate/global 7 1.5 -2 0");
    t.type = 1;
    EXPECT_EQ(translationCommand(t), "translate/local 7 1.5 -2 0");
    t.object = "a b";
    EXPECT_TRUE(translationRefusal(t));
}

TEST(ToolCommands, WorkboxSizesMustBeAboveZero) {
    EXPECT_FALSE(workboxRefusal({75, 50, 100}));
    EXPECT_TRUE(workboxRefusal({75, 50, 0}));
    EXPECT_TRUE(workboxRefusal({-1, 50, 1}));
    EXPECT_TRUE(workboxRefusal({1, 1, 1e301}));
    EXPECT_DOUBLE_EQ(gridExtentOf({75, 50, 100}), 0.333 * 225);
}

TEST(ToolCommands, WavelengthCommandsKeepTheirBlanksAndDigits) {
    std::array<double, 12> weights{1, 0.5, 0, 0, 0, 0, 0.25, 0, 0, 0, 0, 0};
    std::array<double, 12> waves{0.4861327, 0.5875618, 0.6562725, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    auto c = wavelengthCommands(weights, waves);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], "set/weightwave 1 0.5 0 0 0 0   0.25 0 0 0 0 0");
    EXPECT_EQ(c[1], "set/wavelength 0.4861327 0.5875618 0.6562725 1 1 1  1 1 1 1 1 1");
    EXPECT_FALSE(wavelengthRefusal(waves));
    waves[3] = -0.5;
    EXPECT_TRUE(wavelengthRefusal(waves));
}

TEST(ToolCommands, PerspectiveMinimumIsAThirdOfTheHalfSizes) {
    EXPECT_DOUBLE_EQ(perspectiveMinimum({75, 50, 100}), 74.25);
    EXPECT_FALSE(perspectiveAccepted(74, {75, 50, 100}));
    EXPECT_TRUE(perspectiveAccepted(75, {75, 50, 100}));
}

TEST(ToolCommands, SolidSizes) {
    auto s = solidSizesForStep(803, 500, 4);
    EXPECT_EQ(s.nx, 200);
    EXPECT_EQ(s.ny, 125);
    EXPECT_EQ(s.maxNx, 803);
    EXPECT_EQ(solidRoundNx(201), 204);
    EXPECT_EQ(solidRoundNx(200), 200);
    EXPECT_EQ(solidRoundNx(4096), 4096);
    auto p = solidPresets(800, 400);
    EXPECT_EQ(p.nx, 128);
    EXPECT_EQ(p.ny, 64);
    EXPECT_EQ(solidPresets(0, 400).ny, 128); // no width: r = 1
    EXPECT_EQ(solidSizesForStep(803, 500, 0).nx, 800);
    EXPECT_FALSE(solidRefusal(4, 4096));
    EXPECT_TRUE(solidRefusal(3, 100));
    EXPECT_TRUE(solidRefusal(100, 4097));
    EXPECT_DOUBLE_EQ(solidEyeDistance(1e12, {1, 2, 3}), 600000);
    EXPECT_DOUBLE_EQ(solidEyeDistance(500, {1, 2, 3}), 500);
    EXPECT_EQ(solidLimitText(803, 500), "Maximum size Nx = 803 and Ny = 500.");
}

TEST(ToolCommands, ReplicateCopiesAndBaseName) {
    EXPECT_FALSE(replicateRefusal(499, "lens_"));
    EXPECT_TRUE(replicateRefusal(500, "lens_"));
    EXPECT_TRUE(replicateRefusal(0, "lens_"));
    EXPECT_FALSE(replicateRefusal(1, std::string(16, 'b')));
    EXPECT_TRUE(replicateRefusal(1, std::string(17, 'b')));
    EXPECT_TRUE(replicateRefusal(1, "b;clear"));
    EXPECT_EQ(replicateCommand("lens_", "lens", 3), "replicate/newname=lens_ lens 3");
}

TEST(ToolCommands, FresnelPathsAndIges) {
    EXPECT_EQ(fresnelAltSurfacePath(0), "modify/altsurfaces/fresnel/radial");
    EXPECT_EQ(fresnelAltSurfacePath(1), "modify/altsurfaces/fresnel/x_cylindrical");
    EXPECT_EQ(fresnelAltSurfacePath(2), "modify/altsurfaces/fresnel/y_cylindrical");
    EXPECT_EQ(igesCommand(true, "igesA1b2C3d"), "iges/rays/name=igesA1b2C3d");
    EXPECT_EQ(igesCommand(false, "igesA1b2C3d"), "iges/name=igesA1b2C3d");
}

TEST(ToolCommands, StlParameters) {
    StlParameters p;
    EXPECT_EQ(stlParametersRefusal(p), std::string("Enter an object name"));
    p.name = "part";
    EXPECT_FALSE(stlParametersRefusal(p));
    EXPECT_EQ(stlStartCommand(p), "polynet/start part refl=1 abs=0 index=1");
    p.reflectance = 0.7;
    p.absorption = 0.3;
    EXPECT_FALSE(stlParametersRefusal(p));
    p.absorption = 0.31; // every facet would be refused
    EXPECT_TRUE(stlParametersRefusal(p));
    p.absorption = 0.2;
    p.index = 1.4585;
    EXPECT_EQ(stlStartCommand(p), "polynet/start part refl=0.7 abs=0.2 index=1.4585");
    p.reflectance = 1.01;
    EXPECT_TRUE(stlParametersRefusal(p));
    p.reflectance = 0.5;
    p.name = "x;clear";
    EXPECT_TRUE(stlParametersRefusal(p));
}

TEST(ToolCommands, CubeCornerChecks) {
    CubeCornerRequest r{"cc", 10, 1.5};
    EXPECT_FALSE(cubeCornerRefusal(r));
    r.name = std::string(18, 'c');
    EXPECT_TRUE(cubeCornerRefusal(r));
    r.name = std::string(17, 'c');
    EXPECT_FALSE(cubeCornerRefusal(r));
    r.halfWidth = 0;
    EXPECT_TRUE(cubeCornerRefusal(r));
    r.halfWidth = 1e37;
    EXPECT_FALSE(cubeCornerRefusal(r));
    r.index = 1000.5;
    EXPECT_TRUE(cubeCornerRefusal(r));
}
