#include <gtest/gtest.h>

#include "command/general/highlighting.h"
#include "tests/command/scratch_home_fixture.h"

namespace {

class HighlightTest : public testsupport::ScratchHomeTest {};

TEST_F(HighlightTest, RaySegmentOnAndOff) {
    EXPECT_EQ(rayHighlightColor(4, -1, 0), 4); // off matches nothing, not even parent -1
    EXPECT_EQ(setRayHighlight(2, 3, 14), 1);
    EXPECT_EQ(rayHighlightColor(4, 2, 3), 14);
    EXPECT_EQ(rayHighlightColor(4, 2, 4), 4);
    EXPECT_EQ(setRayHighlight(2, -1, 14), 0);
    EXPECT_EQ(highlightState().rayParent, -1);
    EXPECT_EQ(rayHighlightColor(4, 2, 3), 4);
}

TEST_F(HighlightTest, SurfaceOnAndOffAndTheReport) {
    printHighlighting(outputChannel);
    EXPECT_EQ(setSurfaceHighlight(5, 2, 13), 1);
    EXPECT_EQ(surfaceHighlightColor(11, 5, 2), 13);
    EXPECT_EQ(surfaceHighlightColor(11, 5, 1), 11);
    setRayHighlight(1, 2, 3);
    printHighlighting(outputChannel);
    EXPECT_EQ(setSurfaceHighlight(5, -2, 13), 0);
    EXPECT_EQ(surfaceHighlightColor(11, 5, 2), 11);
    const std::string text = testsupport::readFile(dir.file("screen.out"));
    for (const char* line :
         {"Ray highlighting is inactive.\nObject highlighting is inactive.\n",
          "Ray highlighting is active on ray parent 1 and decendant 2, color 3.\n"
          "Surface highlighting is active on object 5 surface/facet 2, color 13.\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

} // namespace
