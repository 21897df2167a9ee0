#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform_hooks.h"
#include "platform/rand15.h"
#include "platform/scripted_hooks.h"
#include "platform/temp_file.h"

TEST(Rand15, FollowsTheClassicSequence) {
    platform::Rand15 r; // state 1 until seeded
    EXPECT_EQ(r.next(), 16838);
    EXPECT_EQ(r.next(), 5758);
    EXPECT_EQ(r.next(), 10113);
    r.seed(1);
    EXPECT_EQ(r.next(), 16838);
}

TEST(Rand15, RangeAndRepeatability) {
    platform::Rand15 a(7), b(7);
    int lo = 40000, hi = -1;
    for (int i = 0; i < 100000; ++i) {
        int v = a.next();
        ASSERT_EQ(v, b.next());
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 32767);
    platform::Rand15 c(8);
    EXPECT_NE(platform::Rand15(7).next(), c.next());
}

TEST(WaitCursor, NestedPhasesShowOnce) {
    platform::ScriptedHooks h;
    platform::ScopedHooks guard(h);
    platform::resetWaitCursor();
    platform::beginWaitCursor();
    platform::beginWaitCursor();
    platform::endWaitCursor();
    platform::endWaitCursor();
    platform::endWaitCursor(); // unbalanced end is ignored
    EXPECT_EQ(h.cursorChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(platform::waitCursorDepth(), 0);
}

TEST(TempFile, MakesDistinctExistingFiles) {
    auto dir = std::filesystem::temp_directory_path();
    auto a = platform::makeTempFile("opXXXXXX", dir);
    auto b = platform::makeTempFile("opXXXXXX", dir);
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::filesystem::exists(a));
    EXPECT_EQ(a.filename().string().substr(0, 2), "op");
    std::filesystem::remove(a);
    std::filesystem::remove(b);
    EXPECT_TRUE(platform::makeTempFile("opXXXXXX", "/nonexistent-dir-xyz").empty());
}
