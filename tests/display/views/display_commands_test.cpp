#include <filesystem>
#include <fstream>

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

} // namespace
