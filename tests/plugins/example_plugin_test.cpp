// The example user plug-in in C (examples/plugins), built as its README says and bound through
// the binder like any other.
#include <gtest/gtest.h>

#include "plugin_test_support.h"

using namespace plugintest;

TEST(ExamplePlugin, BindsAndAnswersTheInterface) {
    Bound b = bindPlugin(MERIDYN_EXAMPLE_PLUGIN, "UserGrinDefinition");
    ASSERT_EQ(b.status, kPluginBound);
    ASSERT_NE(b.names, nullptr);
    EXPECT_EQ(pluginParamName(b.names, 0), "maxdist");
    EXPECT_EQ(pluginParamName(b.names, 2), "gy");
    EXPECT_EQ(pluginParamName(b.names, 9), "");

    // n = 1.5 + 0.002 * Y with Y = 10 * 0.3 mm.
    GrinCallRecord r = grinRecord({1.5, 0.002}, 1.0, 0.3, 2.0, 0.55, 10.0);
    ASSERT_EQ(CallPluginEntry(b.entry, &r), 0);
    EXPECT_DOUBLE_EQ(r.v[GRIN_INDEX], 1.506);
    EXPECT_DOUBLE_EQ(r.v[GRIN_GRAD_Y], 1.506 * 0.002 * 10.0);
    EXPECT_EQ(r.v[GRIN_GRAD_X], 0.0);

    GrinCallRecord outside = grinRecord({1.5, 0.002}, 1.0, 0.3, 2.0, 1.0, 10.0);
    EXPECT_EQ(CallPluginEntry(b.entry, &outside), -1);
    EXPECT_EQ(outside.v[GRIN_INDEX], 1.0);

    // It is a gradient-index plug-in: asked for a source entry it binds with status 1.
    Bound wrong = bindPlugin(MERIDYN_EXAMPLE_PLUGIN, "UserSourceRay");
    EXPECT_EQ(wrong.status, kPluginEntryMissing);
    EXPECT_EQ(wrong.entry, nullptr);
}
