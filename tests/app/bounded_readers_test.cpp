// Readers that cannot be held up or flooded: a glass catalog beyond any sane size, one whose read
// fails part-way and a FIFO in place of a catalog or a macro are refused with their messages and
// the run goes on; the chosen rays of a trace are in their files, with their index, as soon as
// the trace ends.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

class BoundedReaders : public ::testing::Test {
  protected:
    ScratchHome home;
    fs::path at(const std::string& name) const { return home.path() / name; }
};

TEST_F(BoundedReaders, OversizedFailingAndWaitingInputsAreRefused) {
    {
        std::ofstream huge(at("huge.cat"), std::ios::binary);
        huge << "NM CROWN 2 0 1.5168 64.17\n";
    }
    fs::resize_file(at("huge.cat"), (64u << 20) + 1); // sparse: no disk is spent
    mkfifo(at("pipe.cat").c_str(), 0600);
    mkfifo(at("pipe.mac").c_str(), 0600);
    write(at("m.mac"), "set/matcatalog/name=\"huge.cat\"\nset/matcatalog/name=\"/proc/self/mem\"\n"
                       "set/matcatalog/name=\"pipe.cat\"\nmacro/name=\"pipe.mac\"\n"
                       "noop still running\n");
    EXPECT_EQ(run({home.path(), {"--home", ".", "m.mac"}}), 1); // at once: nothing waits
    const std::string screen = readFile(at("screen.out"));
    EXPECT_TRUE(contains(screen, "ERROR: Catalog file " + fs::canonical(home.path()).string() +
                                     "/huge.cat is larger than 64 MB, not loaded."))
        << screen;
    EXPECT_TRUE(contains(screen, "ERROR: Unable to read catalog file:/proc/self/mem")) << screen;
    EXPECT_TRUE(contains(screen, "pipe.cat")) << screen;
    EXPECT_FALSE(contains(screen, "Loaded catalog file")) << screen;
    EXPECT_TRUE(contains(screen, "Macro file pipe.mac not found")) << screen;
    EXPECT_TRUE(contains(readFile(at("meridyn.log")), "noop still running"));
}

TEST_F(BoundedReaders, ChosenRaysAreInTheirFilesWhenTheTraceEnds) {
    FeedPipe feed(at("feed"));
    const pid_t pid = start({home.path(), {"--home", "."}, feed.path()});
    ASSERT_TRUE(feed.open());
    feed.send("define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\ndefine/lightsource\n"
              "define/detector\nplace 1 0 0 0\nplace 2 0 0 -50\nplace 3 0 0 100\n"
              "echo/chosen/binary/name=c.bin\n"
              "raytrace/collimated object=2 nx=3 ny=3 hhwidth=10 vhwidth=10\nnoop traced\n");
    ASSERT_TRUE(waitFor(at("meridyn.log"), "noop traced"));
    // The program still runs, with the pair open: both files hold the nine rays.
    EXPECT_EQ(fs::file_size(at("c.ndx")), 9u * 4);
    const std::string data = readFile(at("c.bin")), index = readFile(at("c.ndx"));
    ASSERT_GT(data.size(), 8u + 9 * 112);
    EXPECT_EQ((data.size() - 8 - 9 * 112) % 40, 0u); // whole segments
    std::int32_t last = 0;
    std::memcpy(&last, index.data() + index.size() - 4, 4); // the host is little-endian
    EXPECT_EQ(static_cast<std::size_t>(last), data.size() - 112);
    feed.close();
    EXPECT_EQ(finish(pid), 0);
}

} // namespace
