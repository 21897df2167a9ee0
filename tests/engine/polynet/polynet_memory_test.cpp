// The memory of polygon nets comes back with clear and delete: a model of a large belt cleared
// and built again 40 times runs in the memory of one, and reused records start out clean.
#include <fstream>
#include <string>

#include "engine/commands/placement_commands.h"
#include "engine/model/clear_model.h"
#include "tests/engine/polynet_support.h"

namespace {

// Resident memory of the process in kB, from /proc/self/status (0 when unknown).
long residentKb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

class PolynetMemoryTest : public PolynetTest {};

TEST_F(PolynetMemoryTest, BeltAndClearCyclesRunInTheMemoryOfOne) {
    if (kSanitized) GTEST_SKIP() << "the sanitizer's quarantine holds freed memory back";
    const long before = residentKb();
    ASSERT_GT(before, 0);
    long afterFirst = 0;
    for (int cycle = 1; cycle <= 40; ++cycle) {
        ASSERT_TRUE(run("polynet/belt/xypolar nfacets=100000")) << "cycle " << cycle;
        ASSERT_NE(objectPolynet(1), nullptr);
        ASSERT_EQ(objectPolynet(1)->polygonCount, 100000);
        clearAllObjects();
        if (cycle == 1) afterFirst = residentKb();
    }
    const long oneCycle = afterFirst - before;
    ASSERT_GT(oneCycle, 5000) << "a belt of 100000 facets takes some megabytes";
    // Without reuse the 39 further cycles would take 39 times as much again.
    EXPECT_LT(residentKb() - afterFirst, oneCycle / 2);
}

TEST_F(PolynetMemoryTest, ReusedRecordsOfADeletedNetStartClean) {
    ASSERT_TRUE(run("polynet/belt/xypolar nfacets=12"));
    const PolynetRecord* first = objectPolynet(1);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(deleteObject("object", 1));
    // A net started by hand takes the returned records: nothing of the belt shows through.
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0",
                      "polynet/point 1 0 0", "polynet/point 0 1 0", "polynet/close"}),
              0);
    PolynetRecord* net = polynetUnderConstruction();
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->polygonCount, 1);
    EXPECT_EQ(net->nextPart, nullptr);
    ASSERT_NE(net->firstPolygon, nullptr);
    EXPECT_EQ(net->firstPolygon->nextPolygon, nullptr);
    ASSERT_NE(net->firstPolygon->firstContour, nullptr);
    EXPECT_EQ(net->firstPolygon->firstContour->vertexCount, 3);
    EXPECT_EQ(net->firstPolygon->firstContour->nextContour, nullptr);
    EXPECT_EQ(net->firstPolygon->firstContour->lastVertex->next, nullptr);
}

TEST_F(PolynetMemoryTest, DeletingTheNetUnderConstructionEndsTheConstruction) {
    ASSERT_EQ(runAll({"polynet/start", "polynet/polygon", "polynet/chain", "polynet/point 0 0 0"}),
              0);
    ASSERT_NE(polynetUnderConstruction(), nullptr);
    ASSERT_TRUE(deleteObject("object", 1));
    EXPECT_EQ(polynetCommandState().building.net, nullptr);
    EXPECT_EQ(polynetUnderConstruction(), nullptr);
    // The belt that takes the records is whole.
    ASSERT_TRUE(run("polynet/belt/xypolar nfacets=8"));
    EXPECT_EQ(objectPolynet(1)->polygonCount, 8);
}

} // namespace
