#include <filesystem>
#include <fstream>
#include <memory>

#include "command/document/document.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/reader.h"
#include "display/views/console_view.h"
#include "display/views/display_commands.h"
#include "tests/display/view_fixture.h"

namespace {

namespace fs = std::filesystem;

class DisplayCommands : public displaytest::ViewTest {
  protected:
    // Runs a command of the form word/modifiers words through its keyword entry.
    int run(const std::string& word, const std::vector<std::string>& modifiers,
            const std::vector<std::string>& words = {}) {
        parse(modifiers, words);
        errorOccurred = 0;
        if (word == "view") return viewCommandOptions();
        if (word == "iges") return igesCommand();
        return energyCommand();
    }
    // The line records of an exported file.
    std::vector<displaytest::Segment> records(const std::string& name) {
        std::vector<displaytest::Segment> out;
        std::istringstream in(testsupport::readFile(dir.file(name)));
        displaytest::Segment s;
        int type = 0;
        while (in >> s.colour >> s.label >> type >> s.p.x >> s.p.y >> s.p.z >> s.q.x >> s.q.y >>
               s.q.z)
            out.push_back(s);
        return out;
    }
};

TEST_F(DisplayCommands, ViewChoosesTheModeAndThePalette) {
    EXPECT_EQ(run("view", {"orthogonal", "gray"}), 1);
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_EQ(greyPalette, 1);
    EXPECT_EQ(run("view", {"x"}), 1);
    EXPECT_EQ(viewType, kViewAxisX);
    EXPECT_EQ(greyPalette, 1); // no palette word leaves the palette
    EXPECT_EQ(run("view", {"spectrum"}), 1);
    EXPECT_EQ(greyPalette, 0);
    EXPECT_EQ(viewType, kViewAxisX); // without a view-type word the mode stays
    EXPECT_EQ(run("view", {}, {"azimuth=30", "elevation=10"}), 1);
    EXPECT_EQ(viewAzimuth, 30.0);
    EXPECT_EQ(viewElevation, 10.0);
}

TEST_F(DisplayCommands, TwoViewTypesAreRefusedAndChangeNothing) {
    run("view", {"orthogonal"});
    EXPECT_EQ(run("view", {"x", "y", "gray", "iges"}), 0);
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_EQ(greyPalette, 0);
    EXPECT_FALSE(fs::exists(dir.file("sysview.igs")));
    EXPECT_NE(screen().find("ERROR: Multiple view modifiers not permitted."), std::string::npos);
}

TEST_F(DisplayCommands, ViewIgesExportsOneRepaintAndOverwrites) {
    std::ofstream(dir.file("sysview.igs")) << "old contents\n";
    ConsoleView view(160, 120);
    makeObject(kWireAxes)->firstSurface->axisLength = 30;
    EXPECT_EQ(run("view", {"iges"}), 1);
    EXPECT_EQ(lineExportOn, 0);
    EXPECT_EQ(lineExportFile, nullptr);
    auto lines = records("sysview.igs");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(testsupport::readFile(dir.file("sysview.igs")).find("old"), std::string::npos);
    // a later repaint exports nothing more
    const auto size = fs::file_size(dir.file("sysview.igs"));
    run("view", {});
    EXPECT_EQ(fs::file_size(dir.file("sysview.igs")), size);
}

TEST_F(DisplayCommands, ViewIgesThatCannotOpenItsFileEndsTheCommand) {
    fs::create_directory(dir.file("sysview.igs"));
    run("view", {"orthogonal"});
    EXPECT_EQ(run("view", {"iges", "x"}), 0);
    EXPECT_EQ(orthogonalMode, 1);
    EXPECT_NE(screen().find("ERROR: Unable to open iges output file.\n"), std::string::npos);
}

TEST_F(DisplayCommands, IgesWritesTheSystemViewIntoANewFile) {
    ConsoleView view(160, 120);
    makeObject(kWireAxes)->firstSurface->axisLength = 30;
    EXPECT_EQ(run("iges", {"name=model.igs"}), 1);
    EXPECT_FALSE(records("model.igs").empty());
    EXPECT_EQ(lineExportFile, nullptr);
    EXPECT_EQ(systemMode, 1);
}

TEST_F(DisplayCommands, IgesRefusesNamesItCannotUse) {
    EXPECT_EQ(run("iges", {"name=no/such/dir/a.igs"}), 0);
    EXPECT_NE(screen().find("ERROR: Error opening file: no/such/dir/a.igs\n"), std::string::npos);
    EXPECT_EQ(run("iges", {"name=" + std::string(300, 'a')}), 0);
    EXPECT_NE(screen().find("ERROR:  File name too long, command ignored."), std::string::npos);
    EXPECT_EQ(lineExportOn, 0);
    EXPECT_EQ(lineExportFile, nullptr);
}

// The view command as typed: the reader, the dispatcher and the handler.
class ViewCommandLine : public DisplayCommands {
  protected:
    void SetUp() override {
        DisplayCommands::SetUp();
        resetReaderState();
        resetCommandHandlers();
        registerDisplayCommands();
        doc = std::make_unique<CQelDoc>();
    }
    void TearDown() override {
        doc.reset();
        resetCommandHandlers();
        resetDocumentState();
        resetReaderState();
        DisplayCommands::TearDown();
    }
    void line(const std::string& text) {
        commandBuffer = text;
        doc->ExecuteLine();
    }
    // The view in force: the mode flags and the view type.
    static std::string mode() {
        std::string m;
        if (systemMode) m += "system ";
        if (orthogonalMode) m += "orthogonal ";
        if (filmMode) m += "film ";
        if (energyMode) m += "energy ";
        return m + std::to_string(viewType);
    }
    std::unique_ptr<CQelDoc> doc;
};

TEST_F(ViewCommandLine, EveryViewWordSelectsItsView) {
    makeObject(kWireAxes);
    const struct {
        const char* text;
        const char* mode;
    } cases[] = {
        {"view/orthogonal", "orthogonal 0"},
        {"view/z", "6"}, // not taken for the energy scaling word zero_based
        {"view/system", "system 0"},
        {"view/x", "4"},
        {"view/y", "5"},
        {"view/save/z", "6"},
        {"view/z/rays", "6"},
        {"view/film", "film 0"},
        {"view/energy", "energy 0"},
        {"view/energy/min_based", "energy 0"},
        {"view/energy/absolute", "energy 0"},
        {"view/maxwellian", "energy 0"},  // no view of its own: the view stays
        {"view/from_object", "energy 0"}, // likewise
        {"view/image nx=4 ny=4", "system 0"},
        {"view/polar object=1", "12"},
        {"view/intensity object=1", "7"},
        {"view/polar object=2", "system 0"}, // no such object: back to the system view
        {"view/orth", "orthogonal 0"},       // unique prefixes
        {"view/z/gray", "6"},
        {"view/sys", "system 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        currentDetector = 1; // the film and energy views need a detector
        line(c.text);
        EXPECT_EQ(mode(), c.mode);
    }
    EXPECT_EQ(viewRays, 0); // view/sys without rays
    EXPECT_EQ(greyPalette, 1);
    EXPECT_EQ(screen().find("ERROR"), std::string::npos) << screen();

    // Two view words are still refused, and a scaling word means nothing outside the energy view.
    line("view/x/z");
    EXPECT_EQ(mode(), "system 0");
    EXPECT_NE(screen().find("ERROR: Multiple view modifiers not permitted."), std::string::npos);
    line("view/z/min_based");
    EXPECT_EQ(mode(), "6");
}

} // namespace
