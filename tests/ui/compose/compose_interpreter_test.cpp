// The composed commands run through the real interpreter: the cube corner closes into seven
// facets that share their corners, STL files become nets with the expected finish reports, a
// refused start leaves the user's net alone, and the import marks the document modified.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "engine/polynet/polynet_records.h"
#include "platform/scripted_hooks.h"
#include "tests/command/test_support.h"
#include "tests/ui/compose/stl_files.h"
#include "ui/compose/cube_corner.h"
#include "ui/compose/stl_import.h"

namespace {

class ComposeInterpreterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetAllState();
        programHome = dir.path().string();
        registerCommandHandlers();
        write("startup.opt", "");
        doc = std::make_unique<CQelDoc>();
        doc->OnNewDocument();
    }
    void TearDown() override {
        doc.reset();
        resetAllState();
    }
    // Runs a line as the window's replayed lines run (ExecuteLine); true on an error.
    bool run(const std::string& line) {
        commandBuffer = line;
        doc->ExecuteLine();
        return errorOccurred != 0;
    }
    const PolynetRecord* netOf(const std::string& name) {
        const char* number = aliasLookup(name.c_str());
        if (!number) return nullptr;
        const ObjectRecord* o = getObject(std::atoi(number) - 1);
        if (!o || !o->firstSurface) return nullptr;
        return static_cast<const PolynetRecord*>(o->firstSurface->typeData);
    }
    std::string screen() { return testsupport::readFile(dir.file("screen.out")); }
    std::string log() { return testsupport::readFile(dir.file("meridyn.log")); }
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    StlImportResult import(const std::string& path, const std::string& name) {
        StlImportUi ui;
        ui.chooseFile = [path] { return std::optional<std::string>(path); };
        ui.askParameters = [name](const StlParameters&) {
            return std::optional<StlParameters>(StlParameters{name, 1.0, 0.0, 1.0});
        };
        ui.runCommand = [this](const std::string& c) { return run(c); };
        return importStl(ui, dir.file(kStlLogFileName));
    }

    testsupport::ScratchDir dir;
    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};
    std::unique_ptr<CQelDoc> doc;
};

TEST_F(ComposeInterpreterTest, CubeCornerClosesIntoSevenFacetsSharingCorners) {
    const auto lines = cubeCornerCommands("cc", 10, 1.5);
    EXPECT_EQ(issueCubeCorner(lines, [this](const std::string& c) { return run(c); }),
              static_cast<int>(lines.size()));
    const std::string out = screen();
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_EQ(out.find("Bad "), std::string::npos);
    EXPECT_NE(out.find("Polynet complete."), std::string::npos);
    const PolynetRecord* net = netOf("cc");
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->polygonCount, 7);
    // Ten corners: the hexagon, three rim points and the apex, each shared by its facets.
    std::set<const PolyPoint*> corners;
    int vertices = 0;
    double apex = 0;
    for (const PolygonRecord* p = net->firstPolygon; p; p = p->nextPolygon)
        for (const VertexNode* v = p->firstContour->firstVertex; v; v = v->next) {
            corners.insert(v->point);
            ++vertices;
            apex = std::max(apex, v->point->z);
        }
    EXPECT_EQ(corners.size(), 10u);
    EXPECT_EQ(vertices, 6 + 3 * 3 + 3 * 5);
    EXPECT_NEAR(apex, 10 * std::sqrt(2.0), 1e-4);
    // The base hexagon's circumradius.
    const VertexNode* first = net->firstPolygon->firstContour->firstVertex;
    EXPECT_NEAR(first->point->x, 10 / std::cos(M_PI / 6), 1e-4);
    EXPECT_NE(log().find("polynet/point 11.547 0 0.0"), std::string::npos);
}

TEST_F(ComposeInterpreterTest, CubeCornerStopsAtARefusedStart) {
    ASSERT_FALSE(run("polynet/start cc"));
    ASSERT_FALSE(run("polynet/poly"));
    const auto lines = cubeCornerCommands("cc", 10, 1.5);
    EXPECT_EQ(issueCubeCorner(lines, [this](const std::string& c) { return run(c); }), 1);
}

TEST_F(ComposeInterpreterTest, AsciiAndBinaryCubesGiveTheSameNet) {
    const auto cube = stltest::cubeTriangles();
    auto a = import(write("a.stl", stltest::asciiSolid(cube)), "asc");
    auto b = import(write("b.stl", stltest::binaryStl(cube)), "bin");
    EXPECT_EQ(a.end, StlImportEnd::Finished);
    EXPECT_EQ(b.end, StlImportEnd::Finished);
    EXPECT_EQ(a.facets, 12);
    EXPECT_EQ(b.facets, 12);
    const std::string out = screen();
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    // Both nets report their completion; the cube's centre is its middle.
    std::size_t at = 0;
    int reports = 0;
    while ((at = out.find("Polynet complete.", at)) != std::string::npos) {
        ++reports;
        const std::size_t eol = out.find('\n', at);
        EXPECT_NE(out.substr(at, eol - at).find("center = 0.500000 0.500000 0.500000"),
                  std::string::npos)
            << out.substr(at, eol - at);
        at = eol;
    }
    EXPECT_EQ(reports, 2);
    ASSERT_NE(netOf("asc"), nullptr);
    ASSERT_NE(netOf("bin"), nullptr);
    EXPECT_EQ(netOf("asc")->polygonCount, 12);
    EXPECT_EQ(netOf("bin")->polygonCount, 12);
    // The log replays the import.
    const std::string lg = log();
    EXPECT_NE(lg.find("polynet/start asc refl=1 abs=0 index=1\n"), std::string::npos);
    EXPECT_NE(lg.find("poly/poi 1 1 0\n"), std::string::npos);
    // The log of the last import, the binary one, made afresh.
    EXPECT_EQ(testsupport::readFile(dir.file(kStlLogFileName)),
              "Meshwick has commenced processing file.\n");
}

TEST_F(ComposeInterpreterTest, ARefusedStartLeavesTheUsersNetAlone) {
    ASSERT_FALSE(run("polynet/start mine"));
    ASSERT_FALSE(run("polynet/poly"));
    const int before = objectCount;
    auto r = import(write("a.stl", stltest::asciiSolid(stltest::cubeTriangles())), "mine");
    EXPECT_EQ(r.end, StlImportEnd::Refused);
    EXPECT_EQ(r.facets, 0);
    EXPECT_EQ(log().find("polynet/fin"), std::string::npos);
    EXPECT_EQ(objectCount, before);
}

// Files that give no net leave the object table as it was and say why in a box: an ASCII file
// with a blank second line (taken for binary, its header counting some 800 million triangles)
// before anything runs; a file of capitals and a bare binary header after a start, whose void
// net is deleted.
TEST_F(ComposeInterpreterTest, FilesThatGiveNoNetLeaveTheObjectTableAsItWas) {
    ASSERT_FALSE(run("define/lens/spherical keep"));
    const std::string cube = stltest::asciiSolid(stltest::cubeTriangles());
    std::string capitals = cube;
    for (char& c : capitals)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const struct {
        std::string file, content;
        StlImportEnd end;
        const char* box;
    } cases[] = {
        {"blank.stl", "solid x\n\n" + cube.substr(cube.find('\n') + 1), StlImportEnd::OpenFailed,
         " is not a binary STL file: its header counts "},
        {"caps.stl", capitals, StlImportEnd::Empty, " gave no facet; the empty net net was deleted."},
        {"bare.stl", stltest::binaryStl({}), StlImportEnd::Empty,
         " gave no facet; the empty net net was deleted."},
    };
    for (const auto& c : cases) {
        const std::string path = write(c.file, c.content);
        std::vector<std::string> boxes;
        StlImportUi ui;
        ui.chooseFile = [path] { return std::optional<std::string>(path); };
        ui.askParameters = [](const StlParameters&) {
            return std::optional<StlParameters>(StlParameters{"net", 1.0, 0.0, 1.0});
        };
        ui.runCommand = [this](const std::string& line) { return run(line); };
        ui.messageBox = [&boxes](const std::string& caption, const std::string& text) {
            boxes.push_back(caption + "|" + text);
        };
        EXPECT_EQ(importStl(ui, dir.file(kStlLogFileName)).end, c.end) << c.file;
        ASSERT_EQ(boxes.size(), 1u) << c.file;
        EXPECT_EQ(boxes[0].rfind(path + "|" + path + c.box, 0), 0u) << boxes[0];
        EXPECT_EQ(objectCount, 1) << c.file;
        EXPECT_EQ(aliasLookup("net"), nullptr) << c.file;
    }
    EXPECT_EQ(screen().find("ERROR"), std::string::npos) << screen();
    // The refused file never started a net; the others left their start and its deletion.
    const std::string l = log();
    EXPECT_NE(l.find("polynet/start net refl=1 abs=0 index=1\ndelete net\n"), std::string::npos);
    EXPECT_EQ(l.find("polynet/fin"), std::string::npos);
    // A new net of the same name is built as usual afterwards.
    EXPECT_EQ(import(write("cube.stl", cube), "net").end, StlImportEnd::Finished);
    ASSERT_NE(netOf("net"), nullptr);
    EXPECT_EQ(netOf("net")->polygonCount, 12);
}

} // namespace

namespace {

class RecordingDocHooks : public DocumentHooks {
  public:
    std::vector<std::string> events;
    void redrawIfAutoRedraw() override { events.push_back("redraw"); }
    void refreshObjectTree() override { events.push_back("tree"); }
    void reloadHistory() override { events.push_back("history"); }
};

TEST_F(ComposeInterpreterTest, TheImportMarksTheDocumentModifiedAndRefreshesOnce) {
    std::vector<std::string> statusLines;
    setStatusLineHook([&statusLines](const std::string& text) { statusLines.push_back(text); });
    RecordingDocHooks recording;
    doc->setHooks(&recording);
    doc->SetModifiedFlag(false);
    StlImportUi ui;
    const std::string path = write("b.stl", stltest::binaryStl(stltest::cubeTriangles()));
    ui.chooseFile = [path] { return std::optional<std::string>(path); };
    ui.askParameters = [](const StlParameters&) {
        return std::optional<StlParameters>(StlParameters{"cube", 1, 0, 1});
    };
    auto r = OnFileImportStl(*doc, ui, dir.file(kStlLogFileName));
    EXPECT_EQ(r.end, StlImportEnd::Finished);
    EXPECT_TRUE(doc->IsModified());
    // The history and the tree once, at the end, not per command.
    EXPECT_EQ(recording.events, (std::vector<std::string>{"history", "tree", "redraw"}));
    EXPECT_EQ(&doc->hooks(), static_cast<DocumentHooks*>(&recording));
    // The status line shows the last command's text once, at the end.
    EXPECT_EQ(statusLines.size(), 1u);
    EXPECT_EQ(statusLines.back(), "Object 1 selected.");
    setStatusLineHook({});
    // A cancelled import changes nothing.
    doc->SetModifiedFlag(false);
    recording.events.clear();
    ui.askParameters = [](const StlParameters&) { return std::optional<StlParameters>(); };
    EXPECT_EQ(OnFileImportStl(*doc, ui, dir.file(kStlLogFileName)).end, StlImportEnd::Cancelled);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(recording.events.empty());
    doc->setHooks(nullptr);
}

} // namespace

namespace {

TEST_F(ComposeInterpreterTest, EscapeBelongsToTheImportNotToItsCommands) {
    // Escape waits from the start: the import's first poll (pass 20) takes it, no command does.
    const long before = hooks.polls;
    hooks.escapeOnPoll = before + 1;
    StlImportUi ui;
    const std::string path = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    ui.chooseFile = [path] { return std::optional<std::string>(path); };
    ui.askParameters = [](const StlParameters&) {
        return std::optional<StlParameters>(StlParameters{"esc", 1, 0, 1});
    };
    auto r = OnFileImportStl(*doc, ui, dir.file(kStlLogFileName));
    EXPECT_EQ(r.end, StlImportEnd::Escaped);
    EXPECT_EQ(r.facets, 2); // 20 lines: the solid line and two facets
    EXPECT_EQ(hooks.polls, before + 1);
    const std::string out = screen();
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_NE(out.find("Polynet complete."), std::string::npos);
    EXPECT_EQ(&platform::hooks(), static_cast<platform::PlatformHooks*>(&hooks));
    ASSERT_NE(netOf("esc"), nullptr);
    EXPECT_EQ(netOf("esc")->polygonCount, 2);
    // What the import wrote is in the files when it ends by Escape.
    EXPECT_EQ(messageState().flushHolds, 0);
    const std::string written = log();
    EXPECT_EQ(written.substr(written.size() - 12), "polynet/fin\n") << written;
}

// The log and screen.out of an import are the bytes its commands write when each runs on its
// own, and each refresh, where the window reads the history back, finds them written so far.
class ReadingDocHooks : public DocumentHooks {
  public:
    std::function<void()> onReload;
    void reloadHistory() override {
        if (onReload) onReload();
    }
};

TEST_F(ComposeInterpreterTest, TheImportWritesWhatItsCommandsWriteRunOneByOne) {
    const std::string path = write("a.stl", stltest::asciiSolid(stltest::cubeTriangles()));
    auto count = [](const std::string& text, const std::string& what) {
        long n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    const std::string screenBefore = screen(), logBefore = log();
    ReadingDocHooks reading;
    long closesRun = 0, checks = 0;
    reading.onReload = [&] {
        EXPECT_EQ(count(log(), "polynet/close"), closesRun);
        EXPECT_EQ(count(screen(), "polynet/close"), closesRun);
        ++checks;
    };
    doc->setHooks(&reading);
    StlImportUi ui;
    ui.chooseFile = [path] { return std::optional<std::string>(path); };
    ui.askParameters = [](const StlParameters&) {
        return std::optional<StlParameters>(StlParameters{"net", 1, 0, 1});
    };
    // Each command through ExecuteLine, as the window's import runs it.
    ui.runCommand = [&](const std::string& line) {
        if (line == "polynet/close") ++closesRun;
        return run(line);
    };
    ASSERT_EQ(OnFileImportStl(*doc, ui, dir.file(kStlLogFileName)).end, StlImportEnd::Finished);
    doc->setHooks(nullptr);
    EXPECT_GE(checks, 5); // a refresh every 20 lines, and the end
    const std::string importScreen = screen().substr(screenBefore.size());
    const std::string importLog = log().substr(logBefore.size());
    // The same file read again, each command through ExecuteLine with nothing held.
    ASSERT_FALSE(run("clear"));
    const std::string screenCleared = screen(), logCleared = log();
    ASSERT_EQ(import(path, "net").end, StlImportEnd::Finished);
    EXPECT_EQ(screen().substr(screenCleared.size()), importScreen);
    EXPECT_EQ(log().substr(logCleared.size()), importLog);
    EXPECT_EQ(count(importLog, "polynet/close"), 12);
}

} // namespace
