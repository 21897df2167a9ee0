// The template table and the parameter set it is split into.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "parts/templates/define_params.h"

namespace {

class DefineParamsTest : public ::testing::Test {
  protected:
    void SetUp() override { resetDefineParamsState(); }
    void TearDown() override { resetDefineParamsState(); }
    CDefineParams& p = defineParams;
};

} // namespace

TEST_F(DefineParamsTest, TableHoldsEveryTemplateInOrder) {
    // Spot checks by number, counted by hand from the table's groups.
    EXPECT_STREQ(kDefineTemplates[0], "activate/object object");
    EXPECT_STREQ(kDefineTemplates[3], "bye");
    EXPECT_STREQ(kDefineTemplates[8], "define/axis size=1");
    EXPECT_STREQ(kDefineTemplates[15], "define/mirror/parabolic/pledge/zdepth/concave flx=100 yfl=100 size=50");
    EXPECT_STREQ(kDefineTemplates[47], "define/mirror/conic/rectangle/both_sides c=0 k=0 xsize=25 "
                                       "ysize=25 xoffset=0 yoffset=0");
    EXPECT_STREQ(kDefineTemplates[101], "echo/on/rayhilite parent=0 decendant=0 color=15");
    EXPECT_STREQ(kDefineTemplates[130], "modify/surface/lwirmetal/on surfce cons1=0.5 cons2=1.0 "
                                        "cons3=8.854E-12 cons4=1.78E+14 cons5=5.0E+5 cons6=0.0");
    EXPECT_STREQ(kDefineTemplates[134], "modify/object/absorbtivity object alpha=0");
    EXPECT_STREQ(kDefineTemplates[156], "modify/surface/lwirmetal/on cons1=0.5 cons2=1.0 "
                                        "cons3=8.854E-12 cons4=1.78E+14 cons5=5.0E+5 "
                                        "cons6=0.0noop");
    EXPECT_STREQ(kDefineTemplates[281], "set/size=45");
    EXPECT_STREQ(kDefineTemplates[303], "set/matcatalog/name");
    EXPECT_STREQ(kDefineTemplates[320], "show/size=45");
    EXPECT_STREQ(kDefineTemplates[328], "show/autoretrace");
    EXPECT_STREQ(kDefineTemplates[331], "user1");
    EXPECT_STREQ(kDefineTemplates[336],
                 "view/image nx=128 ny=80 azimuth=45 elevation=20 distance=1000000");
    for (int k = 0; k < kDefineTemplateCount; ++k) ASSERT_NE(kDefineTemplates[k], nullptr) << k;
}

TEST_F(DefineParamsTest, ShortTextFindsTheFirstTemplate) {
    EXPECT_EQ(p.LoadTemplate("def"), 1);
    EXPECT_STREQ(p.keyword, "define");
    ASSERT_EQ(p.modifierCount, 1);
    EXPECT_STREQ(p.modifiers[0], "axis");
    ASSERT_EQ(p.paramCount, 1);
    EXPECT_STREQ(p.paramNames[0], "size");
    EXPECT_STREQ(p.paramValues[0], "1");
}

TEST_F(DefineParamsTest, NoMatchEmptiesTheParametersAndCounts) {
    ASSERT_EQ(p.LoadTemplate("define/rod"), 1);
    EXPECT_EQ(p.paramCount, 3);
    for (const char* text : {"de", "", "zzz", "define/rod/x"}) {
        ASSERT_EQ(p.LoadTemplate("define/rod"), 1);
        EXPECT_EQ(p.LoadTemplate(text), 0) << text;
        EXPECT_EQ(p.paramCount, 0);
        EXPECT_EQ(p.modifierCount, 0);
        EXPECT_STREQ(p.paramNames[0], "");
        EXPECT_STREQ(p.paramValues[2], "");
    }
    EXPECT_EQ(p.LoadTemplate(std::string(255, 'd').c_str()), 0);
    EXPECT_EQ(p.LoadTemplate(nullptr), 0);
    // user1 (331) and later are not searched, though 331 loads by number.
    EXPECT_EQ(p.LoadTemplate("user1"), 0);
    EXPECT_EQ(p.FillFromTemplate(331), 1);
    EXPECT_STREQ(p.keyword, "user1");
    EXPECT_EQ(p.paramCount, 0);
}

TEST_F(DefineParamsTest, PresetValuesSurviveALoadOnce) {
    p.Clear();
    EXPECT_EQ(p.SetParam(0, 20), 1);
    EXPECT_EQ(p.filled, 1);
    ASSERT_EQ(p.LoadTemplate("define/rod"), 1);
    EXPECT_STREQ(p.paramNames[0], "length");
    EXPECT_STREQ(p.paramValues[0], "20");
    EXPECT_STREQ(p.paramValues[1], "10");
    EXPECT_STREQ(p.paramValues[2], "1.5");
    EXPECT_EQ(p.filled, 0);
    // The next load takes the defaults again.
    ASSERT_EQ(p.LoadTemplate("define/rod"), 1);
    EXPECT_STREQ(p.paramValues[0], "50");
    // A load without a match clears the flag too.
    p.SetParam(1, 0.25);
    EXPECT_EQ(p.LoadTemplate("xx"), 0);
    EXPECT_EQ(p.filled, 0);
    // A bare word keeps a preset value; without a preset it is empty.
    p.Clear();
    p.SetParam(0, 7);
    ASSERT_EQ(p.LoadTemplate("material/bulk"), 1);
    EXPECT_STREQ(p.paramNames[0], "object");
    EXPECT_STREQ(p.paramValues[0], "7");
    EXPECT_STREQ(p.paramValues[1], "0.1");
    ASSERT_EQ(p.LoadTemplate("material/bulk"), 1);
    EXPECT_STREQ(p.paramValues[0], "");
}

TEST_F(DefineParamsTest, AtMostTenWordsAndTwentyCharacters) {
    ASSERT_EQ(p.LoadTemplate("material/grin"), 1);
    EXPECT_EQ(p.paramCount, 10);
    EXPECT_STREQ(p.paramNames[9], "p8");
    ASSERT_EQ(p.LoadTemplate("set/wavelength"), 1);
    EXPECT_EQ(p.paramCount, 10);
    EXPECT_STREQ(p.paramNames[9], "w10");
    EXPECT_STREQ(p.paramValues[0], "0.5");
    ASSERT_EQ(p.LoadTemplate("define/mirror/parabolic/pledge/zdepth/b"), 1);
    EXPECT_EQ(p.modifierCount, 5);
    EXPECT_STREQ(p.modifiers[4], "both");
    // Template 130 spells its first word "surfce"; without it the search finds template 156.
    ASSERT_EQ(p.LoadTemplate("modify/surface/lwirmetal/on cons1"), 1);
    EXPECT_STREQ(p.paramNames[0], "cons1");
    EXPECT_STREQ(p.paramValues[5], "0.0noop");
    ASSERT_EQ(p.LoadTemplate("modify/surface/lwirmetal/on surfce"), 1);
    EXPECT_STREQ(p.paramNames[0], "surfce");
    EXPECT_STREQ(p.paramValues[3], "8.854E-12");

    char slot[CDefineParams::kTextSlot];
    CDefineParams::CopyRange(slot, "abcdefghijklmnopqrstuvwxyz", 2, 25);
    EXPECT_STREQ(slot, "cdefghijklmnopqrstuv");
    CDefineParams::CopyRange(slot, "abc", 1, 40);
    EXPECT_STREQ(slot, "bc");
    CDefineParams::CopyRange(slot, "abc", 2, 1);
    EXPECT_STREQ(slot, "");
    EXPECT_EQ(p.SetParam(10, 1), 0);
    EXPECT_EQ(p.SetParam(-1, 1), 0);
    EXPECT_EQ(p.SetParam(9, -1.234567890123e-300), 1);
    EXPECT_STREQ(p.paramValues[9], "-1.23457e-300");
}

TEST_F(DefineParamsTest, LoadsByNumberAndRefusals) {
    EXPECT_EQ(p.FillFromTemplate(332), 0);
    EXPECT_EQ(p.FillFromTemplate(-1), 0);
    ASSERT_EQ(p.FillFromTemplate(142), 1);
    EXPECT_STREQ(p.keyword, "modify");
    EXPECT_EQ(p.modifierCount, 3);
    EXPECT_STREQ(p.modifiers[2], "radial");
    EXPECT_EQ(p.paramCount, 4);
    EXPECT_STREQ(p.paramNames[3], "order");
    EXPECT_STREQ(p.paramValues[3], "");
    // No count is left from an earlier template.
    ASSERT_EQ(p.FillFromTemplate(3), 1);
    EXPECT_STREQ(p.keyword, "bye");
    EXPECT_EQ(p.modifierCount, 0);
    EXPECT_EQ(p.paramCount, 0);
    p.Clear();
    EXPECT_STREQ(p.keyword, "bye");
}
