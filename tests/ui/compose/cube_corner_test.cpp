// The cube corner's command lines.
#include <gtest/gtest.h>

#include "ui/compose/cube_corner.h"

TEST(CubeCorner, LinesOfAHalfWidthOfTen) {
    const auto c = cubeCornerCommands("cc", 10, 1.5);
    // The start, the hexagon, three facets of three corners, three of five, finish, normals.
    ASSERT_EQ(c.size(), 1u + 9 + 3 * 6 + 3 * 8 + 2);
    EXPECT_EQ(c[0], "polynet/start cc index=1.5 refl=0.0");
    EXPECT_EQ(c[1], "polynet/poly");
    EXPECT_EQ(c[2], "polynet/chain");
    EXPECT_EQ(c[3], "polynet/point 11.547 0 0.0");
    EXPECT_EQ(c[4], "polynet/point 5.7735 -10 0.0");
    // The decimals taken for 60 degrees leave the far corner 4.7e-9 off the axis.
    EXPECT_EQ(c[6], "polynet/point -11.547 4.73666e-09 0.0");
    EXPECT_EQ(c[9], "polynet/close");
    EXPECT_EQ(c[12], "pol/ver 6 1 1");
    EXPECT_EQ(c[14], "pol/point 0.0 10 7.07107 ");
    EXPECT_EQ(c[20], "pol/point 8.66025 -5 7.07107 ");
    EXPECT_EQ(c[26], "pol/point -8.66025 -5 7.07107 ");
    EXPECT_EQ(c[30], "poly/point 0.0 0.0 14.1421");
    EXPECT_EQ(c[c.size() - 2], "polynet/fin");
    EXPECT_EQ(c.back(), "polynet/normal cc");
}

TEST(CubeCorner, IssuingStopsAtTheFirstError) {
    const auto c = cubeCornerCommands("cc", 10, 1.5);
    std::vector<std::string> sent;
    EXPECT_EQ(issueCubeCorner(c, [&sent](const std::string& line) {
                  sent.push_back(line);
                  return sent.size() == 3;
              }),
              3);
    EXPECT_EQ(sent.size(), 3u);
}
