// What the attach and echo commands leave on disk through meridyn-cli: the chosen-ray and
// optical-path files as the program leaves them at its end, and a model whose attachments are
// saved, reloaded and saved again unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/cli_runner.h"

namespace fs = std::filesystem;
using namespace clitest;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The lines of a saved model that rebuild it (comments and blank lines left out).
std::string modelLines(const std::string& text) {
    std::string kept;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (!line.empty() && line[0] != '#') kept += line + "\n";
        start = end + 1;
    }
    return kept;
}

TEST(AttachFiles, ChosenRayAndOpticalPathFilesAtTheProgramsEnd) {
    ScratchHome home;
    ASSERT_FALSE(home.path().empty());
    fs::create_directory(home.path() / "opl dir");
    writeText(home.path() / "main.mac", "echo/chosen/binary/name=run.dat\n"
                                        "echo/opl/prewfm/name=\"opl dir/map.txt\"\n"
                                        "echo/on\n");
    ASSERT_EQ(runCli(home.path(), {"--home", ".", "main.mac"}), 0);
    // The tag 1.2 (full mode) as little-endian bytes, and an index with no ray yet.
    const std::string tag = readFile(home.path() / "run.dat");
    const unsigned char expected[8] = {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0xF3, 0x3F};
    ASSERT_EQ(tag.size(), 8u);
    EXPECT_EQ(std::memcmp(tag.data(), expected, 8), 0);
    ASSERT_TRUE(fs::exists(home.path() / "run.ndx"));
    EXPECT_EQ(fs::file_size(home.path() / "run.ndx"), 0u);
    EXPECT_EQ(readFile(home.path() / "opl dir" / "map.txt"),
              "\tLambda,\t\t\tOPL,\t\tX\t\tY\t\tZ\t\tdX\t\tdY\t\tdZ\n");

    // A text file left open at the end is flushed and closed with the program.
    writeText(home.path() / "text.mac", "echo/chosen/short/name=chosen.csv\n");
    ASSERT_EQ(runCli(home.path(), {"--home", ".", "text.mac"}), 0);
    EXPECT_EQ(readFile(home.path() / "chosen.csv"),
              "X,Y,Z,Trans.,Sequence,XMIN,YMIN,ZMIN,XMAX,YMAX,ZMAX,DETX,DETY,DETZ\n");
}

TEST(AttachFiles, AttachmentsSurviveASaveAndReload) {
    ScratchHome home;
    ASSERT_FALSE(home.path().empty());
    writeText(home.path() / "first.mac",
              "define/mirror/spherical/rectangle fl=50 xhw=10 yhw=10 mir\n"
              "define/lens/spherical len 10 20 5 1.5\n"
              "define/lightsource lamp\n"
              "modify/source/name=raysrc1.dll lamp 2 3 1 1 0 0 0.5\n"
              "modify/surface/metal/on mir.1 0.5 2 1 0 1.5 3\n"
              "modify/surface/lwirmetal/on len.2 0.5 0 1 2 0 0\n"
              "modify/surface/fresnel/on len.3\n"
              "modify/scatterer/xy_exponential len.1 0.5 1 4\n"
              "modify/center mir 1 2\n"
              "modify/center mir 300 0\n"
              "modify/center mir 0.5 0\n"
              "modify/extent len.1 x2=4\n"
              "radiometer/attach mir 6 2\n"
              "material/grin/name=ixprof01.dll len 0.5 1.6 0.1\n"
              "material/attach lamp 0.3 0.1 0.5\n"
              "save/name=first.opt\n");
    ASSERT_EQ(runCli(home.path(), {"--home", ".", "first.mac"}), 0);
    const std::string first = readFile(home.path() / "first.opt");
    // What each command attached, as the writer saves it; the refused centre shift is not in
    // the sum.
    for (const char* line :
         {"modify/source/name=\"raysrc1.dll\" lamp 2 3 1 1 0 0 0.5\n",
          "modify/surface/metal/on mir.1 0.5 1 1 0 1.5 3\n",
          "modify/surface/lwir/on len.2 0.5 0 1 2 0 0\n", "modify/surface/fresnel/on len.3\n",
          "modify/scatterer/xy_exponential len.1 0.5 1 4\n", "modify/center mir.1 1.5 2\n",
          "radiometer/attach mir 8 2\n", "material/attach lamp 0.3 0.1 0.5\n"})
        EXPECT_NE(first.find(line), std::string::npos) << line << first;
    EXPECT_NE(first.find("material/grin/name=\"ixprof01.dll\" len 0.5 1.6 0.1 0"),
              std::string::npos)
        << first;

    ScratchHome again;
    ASSERT_FALSE(again.path().empty());
    fs::copy_file(home.path() / "first.opt", again.path() / "first.opt");
    writeText(again.path() / "second.mac", "save/name=second.opt\n");
    ASSERT_EQ(runCli(again.path(), {"--home", ".", "first.opt", "second.mac"}), 0);
    EXPECT_EQ(readFile(again.path() / "screen.out").find("ERROR: Could"), std::string::npos);
    EXPECT_EQ(modelLines(readFile(again.path() / "second.opt")), modelLines(first));
}

} // namespace
