// resetAllState: after a run that touches every module, a reset program is a freshly started one.
// The same probe run is made at the start of the test process (CTest runs each test in its own
// process, so nothing has run before it) and again after a busy run and the reset; its screen
// text, log, rays.dat and picture must be the same, byte for byte, once the run's own home
// directory is written as one placeholder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/views/console_view.h"
#include "engine/commands/polynet_command.h"
#include "engine/model/object_table.h"
#include "engine/polynet/facet_hierarchy.h"
#include "engine/surfaces/toric_surfaces.h"
#include "parts/part_list.h"
#include "platform/scripted_hooks.h"
#include "tests/command/test_support.h"

namespace {

namespace fs = std::filesystem;

class ViewHooks : public DocumentHooks {
  public:
    explicit ViewHooks(ConsoleView& view) : view_(view) {}
    void updateAllViews() override { view_.updateAllViews(); }

  private:
    ConsoleView& view_;
};

struct RunOutput {
    std::string screen, log, rays, picture;
};

std::string withoutHome(std::string text, const std::string& home) {
    for (std::size_t at = text.find(home); at != std::string::npos; at = text.find(home, at))
        text.replace(at, home.size(), "@HOME@");
    return text;
}

// Runs the lines as the console driver does (handlers registered, a new document, a small
// picture kept in the home directory after every command). The document and the view end with
// the run; the program's state stays as the run left it.
void runLines(const std::string& home, const std::vector<std::string>& lines) {
    programHome = home;
    registerCommandHandlers();
    ConsoleView view(160, 120, fs::path(home) / "view.png");
    ViewHooks hooks(view);
    CQelDoc doc(&hooks);
    doc.OnNewDocument();
    view.afterCommand();
    for (const std::string& line : lines) {
        commandBuffer = line;
        doc.ExecuteCommand();
        view.afterCommand();
    }
}

// How often "ERROR" occurs in a screen text.
std::size_t errorCount(const std::string& screen) {
    std::size_t n = 0;
    for (std::size_t at = screen.find("ERROR"); at != std::string::npos;
         at = screen.find("ERROR", at + 1))
        ++n;
    return n;
}

// The files of a finished run (read after the reset that closed them).
RunOutput outputOf(const std::string& home) {
    auto read = [&](const char* name) {
        return withoutHome(testsupport::readFile(fs::path(home) / name), home);
    };
    return {read("screen.out"), read("meridyn.log"), read("rays.dat"), read("view.png")};
}

// Every listing the program has over a small model of its own, one traced ray and a view.
const std::vector<std::string> kProbe = {
    "show",
    "echo/alias",
    "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5",
    "define/lightsource",
    "define/mirror/spherical",
    "define/mirror/cpc input_angle=25 output_angle=70 radius_exit=4",
    "modify/altsurfaces/aspheric 1.2 -0.02 -0.5 3e-7",
    "modify/altsurfaces/toric 3.1 50 80",
    "place 1 0 0 0",
    "place 2 0 0 -50",
    "place 3 0 0 60",
    "place 4 30 0 0",
    "polynet/start",
    "polynet/polygon",
    "polynet/chain",
    "polynet/point 0 0 0",
    "polynet/point 1 0 0",
    "polynet/point 0 1 0",
    "polynet/close",
    "polynet/finish",
    "display",
    "display/surface 1",
    "display/surface 3",
    "display/extents",
    "echo/alias",
    "echo/rayhilite",
    "echo/surfacehilite",
    "raytrace/single object=2",
    "view",
    "show",
};

// A run that leaves something behind in every module: settings, colours, sun and highlights
// changed; aliases; objects of several kinds with aspheric, toric and CPC surfaces; a finished
// net and one left under construction with a trim begun; rays traced; an other view; a macro
// run.
const std::vector<std::string> kBusyRun = {
    "set/units/mm",
    "set/fresnel/on",
    "set/add_rays/on",
    "set/grid increment=3",
    "set/raylimits maxdepth=7 mintrans=0.2 maxghost=5",
    "set/workbox xsize=40 ysize=30 zsize=60",
    "set/color/monochrome",
    "set/sun/absolute azimuth=135 elevation=60",
    "set/iteration maxcount=3 tolerance=0.001",
    "set/wavelength w5=0.6",
    "set/shuffle seed=77",
    "set/autoredraw/on",
    "set/energy/density/on",
    "echo/rayhilite parent=2 decendant=3 color=14",
    "echo/surfacehilite object=1 surface=1 color=9",
    "echo/on/expanded",
    "define/lens/doublet front",
    "define/mirror/cpc input_angle=25 output_angle=70 radius_exit=4",
    "define/lens r1=100 r2=-100 thickness=20 diameter=70 asph",
    "define/mirror/spherical tor",
    "define/lightsource lamp",
    "define/film screen",
    "modify/altsurfaces/aspheric 3.1 0.012 -0.5 3e-7",
    "modify/altsurfaces/toric 4.1 50 80",
    "place front 0 0 -30",
    "place 2 0 0 20",
    "place asph 0 0 0",
    "place tor 0 0 40",
    "place lamp 0 0 -60",
    "place screen 0 0 30",
    "rotate/local/x 4 10",
    "raytrace/single object=5",
    "raytrace/single object=5 u=0.1 v=0 w=1",
    "polynet/start solid",
    "polynet/polygon",
    "polynet/chain",
    "polynet/point -1 -1 0",
    "polynet/point 1 -1 0",
    "polynet/point 1 1 0",
    "polynet/close",
    "polynet/finish",
    "polynet/start open",
    "polynet/polygon",
    "polynet/chain",
    "polynet/point 0 0 5",
    "polynet/trim/begin",
    "view/x azimuth=30 elevation=10",
    "display",
};

TEST(AllState, AResetProgramRunsAsAFreshOne) {
    testsupport::ScratchDir dir;
    platform::ScriptedHooks boxes;
    platform::ScopedHooks guard{boxes};
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    // No settings file of the user's: the ini path names a file that is never written.
    setenv("MERIDYN_INI", dir.file("none/meridyn.ini").c_str(), 1);
    const std::string fresh = dir.file("fresh"), busy = dir.file("busy"),
                      again = dir.file("again");
    for (const auto& d : {fresh, busy, again})
        fs::create_directory(d);

    runLines(fresh, kProbe);
    resetAllState();
    const RunOutput first = outputOf(fresh);
    // The probe does what it is there for: listings, a ray and a picture, with no error but the
    // missing startup macro.
    EXPECT_EQ(errorCount(first.screen), 1u) << first.screen;
    EXPECT_NE(first.screen.find("lens1"), std::string::npos);
    EXPECT_NE(first.screen.find("f0 = "), std::string::npos); // the toric set-up's first report
    EXPECT_FALSE(first.rays.empty());
    EXPECT_FALSE(first.picture.empty());

    // The busy run, a macro among its commands.
    std::string macro = busy + "/open.mac";
    std::FILE* f = std::fopen(macro.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("define/rod length=10 diameter=5 n=1.4 rodname\n", f);
    std::fclose(f);
    std::vector<std::string> lines = kBusyRun;
    lines.push_back("macro/name=\"" + macro + "\"");
    runLines(busy, lines);
    // The run did leave state behind.
    EXPECT_GE(objectCount, 7);
    EXPECT_FALSE(aliasState().aliases.empty());
    EXPECT_NE(polynetUnderConstruction(), nullptr);
    EXPECT_NE(settingsState().unitIndex, 0);
    ASSERT_NE(thePartList, nullptr);
    EXPECT_GT(thePartList->partCount(), 0);
    const std::string busyScreen = testsupport::readFile(fs::path(busy) / "screen.out");
    for (const char* done : {"Polynet trim commenced.", "Parameters: rx = 50  ry = 80",
                             "Parameters: cv = 0.012", "Random number table seeded 77.",
                             "Object rodname consisting of", "Object 2 consisting of 2 surfaces"})
        EXPECT_NE(busyScreen.find(done), std::string::npos) << done;
    // Only the missing startup macro is an error: every other command did its work.
    EXPECT_EQ(errorCount(busyScreen), 1u) << busyScreen;
    EXPECT_FALSE(testsupport::readFile(fs::path(busy) / "rays.dat").empty());

    EXPECT_FALSE(facetHierarchyState().slots.empty());
    resetAllState();
    EXPECT_EQ(objectCount, 0);
    EXPECT_EQ(thePartList, nullptr);
    EXPECT_TRUE(facetHierarchyState().slots.empty());
    runLines(again, kProbe);
    resetAllState();
    const RunOutput second = outputOf(again);

    EXPECT_EQ(second.screen, first.screen);
    EXPECT_EQ(second.log, first.log);
    EXPECT_EQ(second.rays, first.rays);
    EXPECT_EQ(second.picture, first.picture);

    unsetenv("MERIDYN_INI");
    fs::current_path(previous);
}

} // namespace
