// The per-ray output files: the echo forms that open, close and configure the chosen-ray and
// optical-path files, their headers and index names, and the echo forms that leave them alone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

#include "command/general/general_commands.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "parts/output/ray_output_state.h"
#include "parts/parts_keywords.h"
#include "parts/ray_output_command.h"
#include "tests/command/interpreter_fixture.h"

namespace fs = std::filesystem;

namespace {

class RayOutputTest : public testsupport::InterpreterTest {
  protected:
    void SetUp() override {
        InterpreterTest::SetUp();
        resetRayOutputState();
        previous = fs::current_path();
        fs::current_path(dir.path());
        doc = std::make_unique<CQelDoc>();
        setCommandHandler("echo", [](CQelDoc&) { return echoCommand(); });
        addCommandHandler("echo", [](CQelDoc&) { return RayOutputCommand(); });
        messageState().screenMirror = [this](std::string_view text) { out.append(text); };
    }
    void TearDown() override {
        resetRayOutputState();
        doc.reset();
        messageState().screenMirror = nullptr;
        verboseOn = 0;
        echoOn = 0;
        fs::current_path(previous);
        InterpreterTest::TearDown();
    }
    // Runs one line; what it printed after its echo, less the closing prompt.
    std::string run(const std::string& line) {
        out.clear();
        commandBuffer = line;
        doc->ExecuteLine();
        std::string printed = testsupport::printedAfterEcho(out, line);
        // Lines echoed back under echo/on.
        const std::string expanded = " =>" + line + "\n";
        if (printed.rfind(expanded, 0) == 0) printed.erase(0, expanded.size());
        return printed;
    }
    static std::string bytes(const std::string& path) { return testsupport::readFile(path); }

    std::unique_ptr<CQelDoc> doc;
    std::string out;
    fs::path previous;
};

TEST(ChosenIndexName, IsMadeOnTheLastPathComponent) {
    EXPECT_EQ(chosenIndexFileName("run.dat"), "run.ndx");
    EXPECT_EQ(chosenIndexFileName("a.b.c"), "a.b.ndx");
    EXPECT_EQ(chosenIndexFileName("run"), ".ndx");
    EXPECT_EQ(chosenIndexFileName("out.d/run"), "out.d/.ndx");
    EXPECT_EQ(chosenIndexFileName("out.d/run.bin"), "out.d/run.ndx");
    EXPECT_EQ(chosenIndexFileName("x.ndx"), "x.ndx");
}

TEST(LittleEndianWriters, WriteTheBytesOfTheFormat) {
    std::string buffer;
    appendLittleEndianDouble(buffer, 1.1);
    appendLittleEndianInt32(buffer, 0x01020304);
    // 1.1 is 0x3FF199999999999A.
    const unsigned char expected[12] = {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99,
                                        0xF1, 0x3F, 0x04, 0x03, 0x02, 0x01};
    ASSERT_EQ(buffer.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(buffer.data(), expected, sizeof expected), 0);
}

TEST_F(RayOutputTest, TextChosenFileGetsItsHeaderAndClosesOnTheNextChosen) {
    EXPECT_EQ(run("echo/chosen/name=c.csv"), "ASCII text chosen mode selected.\n");
    EXPECT_TRUE(chosenRayFileOpen());
    EXPECT_EQ(rayOutputState().chosenMode, kChosenFull);
    EXPECT_EQ(rayOutputState().chosenBinary, 0);
    EXPECT_EQ(run("echo/chosen"), " No file name given, file closed.\n");
    EXPECT_FALSE(chosenRayFileOpen());
    EXPECT_EQ(bytes("c.csv"),
              "X,Y,Z,Trans.,Sequence,XMIN,YMIN,ZMIN,XMAX,YMAX,ZMAX,DETX,DETY,DETZ\n");

    EXPECT_EQ(run("echo/chosen/short/name=\"Short Name.csv\""),
              "ASCII text chosen mode selected.\nShort mode selected.\n");
    EXPECT_EQ(rayOutputState().chosenMode, kChosenShort);
    closeChosenRayFiles();
    EXPECT_TRUE(fs::exists("Short Name.csv"));
}

TEST_F(RayOutputTest, BinaryChosenFileWritesItsTagAndAnEmptyIndex) {
    fs::create_directory("out.d");
    EXPECT_EQ(run("echo/chosen/binary/short/name=\"out.d/run\""),
              "Binary chosen mode selected.\nShort mode selected.\n");
    EXPECT_EQ(rayOutputState().recordOffset, 8);
    closeChosenRayFiles();
    const std::string tag = bytes("out.d/run");
    ASSERT_EQ(tag.size(), 8u);
    double value = 0;
    std::memcpy(&value, tag.data(), 8); // the test host is little-endian
    EXPECT_EQ(value, 1.1);
    EXPECT_TRUE(fs::exists("out.d/.ndx"));
    EXPECT_EQ(fs::file_size("out.d/.ndx"), 0u);

    EXPECT_EQ(run("echo/chosen/binary/name=run.dat"), "Binary chosen mode selected.\n");
    closeChosenRayFiles();
    std::memcpy(&value, bytes("run.dat").data(), 8);
    EXPECT_EQ(value, 1.2);
    EXPECT_TRUE(fs::exists("run.ndx"));
}

TEST_F(RayOutputTest, ChosenFilesThatCannotBeOpenedOpenNothing) {
    // Its own index name: the two streams would write one file.
    EXPECT_EQ(run("echo/chosen/binary/name=x.ndx"),
              "Binary chosen mode selected.\nERROR: Unable to open x.ndx\n");
    EXPECT_FALSE(chosenRayFileOpen());
    EXPECT_FALSE(fs::exists("x.ndx"));
    // A folder that does not exist, and a directory in the file's place.
    EXPECT_EQ(run("echo/chosen/name=\"nowhere/c.csv\""),
              "ASCII text chosen mode selected.\nERROR: Unable to open nowhere/c.csv\n");
    fs::create_directory("taken");
    EXPECT_EQ(run("echo/chosen/name=taken"),
              "ASCII text chosen mode selected.\nERROR: Unable to open taken\n");
    EXPECT_FALSE(chosenRayFileOpen());
    // Two names are refused before anything is opened.
    EXPECT_EQ(run("echo/chosen/name=a.csv/name=b.csv").find("Unable"), std::string::npos);
    EXPECT_FALSE(fs::exists("a.csv"));
}

TEST_F(RayOutputTest, APlantedLinkIsReplacedNotFollowed) {
    std::ofstream("victim.txt") << "keep";
    fs::create_symlink("victim.txt", "c.csv");
    run("echo/chosen/name=c.csv");
    closeChosenRayFiles();
    EXPECT_EQ(bytes("victim.txt"), "keep");
    EXPECT_FALSE(fs::is_symlink("c.csv"));
    EXPECT_EQ(bytes("c.csv").substr(0, 6), "X,Y,Z,");
}

TEST_F(RayOutputTest, OpticalPathFileGetsTheHeaderOfItsMode) {
    EXPECT_EQ(run("echo/opl/name=full.txt"),
              "           Lambda,              OPL,              OPL(Air),          OPL(Media)\n");
    EXPECT_EQ(rayOutputState().oplMode, kOplFull);
    EXPECT_EQ(rayOutputState().oplFileName, "full.txt");
    EXPECT_EQ(bytes("full.txt"), "\tLambda,\t\t\tOPL,\t\tOPL(Air),\t\t\tOPL(Media)\n");

    EXPECT_EQ(run("echo/opl/short/name=short.txt"),
              "Short mode selected.\n"
              "           Lambda,              OPL,              OPL(Air),          OPL(Media)\n");
    EXPECT_EQ(rayOutputState().oplMode, kOplShort);

    const char* map = "\tLambda,\t\t\tOPL,\t\tX\t\tY\t\tZ\t\tdX\t\tdY\t\tdZ\n";
    EXPECT_EQ(run("echo/opl/prewfm/name=map.txt"),
              std::string("Pre-wavefront map mode selected.\n") + map);
    EXPECT_EQ(rayOutputState().oplMode, kOplPreWavefront);
    EXPECT_EQ(bytes("map.txt"), map);

    // The tracer appends one ray at a time.
    const int fd = openOplFileForAppend();
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "ray\n", 4), 4);
    close(fd);
    EXPECT_EQ(bytes("map.txt"), std::string(map) + "ray\n");
}

TEST_F(RayOutputTest, OpticalPathRefusalsChangeNothingOrLeaveTheModeOff) {
    run("echo/opl/name=a.txt");
    EXPECT_EQ(run("echo/opl"), " No file name given.\n");
    EXPECT_EQ(rayOutputState().oplMode, kOplFull);
    EXPECT_EQ(rayOutputState().oplFileName, "a.txt");
    EXPECT_EQ(run("echo/opl/name=\"nowhere/b.txt\""), "ERROR: Unable to open nowhere/b.txt\n");
    EXPECT_EQ(rayOutputState().oplMode, kOplOff);
}

TEST_F(RayOutputTest, OnlyOplAndChosenTouchTheOpticalPathMode) {
    run("echo/opl/name=a.txt");
    for (const char* line : {"echo/on", "echo/off", "echo/alias", "echo/on/expanded",
                             "echo/off/expanded", "echo/rayhilite", "echo/surfacehilite"}) {
        run(line);
        EXPECT_EQ(rayOutputState().oplMode, kOplFull) << line;
    }
    // echo/opl is not the line echo: it leaves verboseOn as it was.
    verboseOn = 0;
    run("echo/opl/name=b.txt");
    EXPECT_EQ(verboseOn, 0);
    run("echo/chosen");
    EXPECT_EQ(rayOutputState().oplMode, kOplOff);

    // The settings reset switches it off too, through the hook the part model installs.
    run("echo/opl/name=a.txt");
    registerPartsKeywords();
    ASSERT_TRUE(settingsHooks().resetOpticalPathMode);
    settingsHooks().resetOpticalPathMode();
    settingsHooks().resetOpticalPathMode = nullptr;
    EXPECT_EQ(rayOutputState().oplMode, kOplOff);
}

} // namespace
