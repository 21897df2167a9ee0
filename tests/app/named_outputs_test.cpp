// Files named by commands: an output never lands on one of the program's own files, a name the
// reader cut is never used, a saved model never holds a line the reader would cut, a file that
// cannot be opened fails the run, and a glass without a usable index is refused.
#include <gtest/gtest.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

const char* const kModel = "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                           "define/lightsource\ndefine/detector\n"
                           "place 1 0 0 0\nplace 2 0 0 -50\nplace 3 0 0 100\n"
                           "raytrace/collimated object=2 nx=5 ny=5 hhwidth=15 vhwidth=15\n"
                           "radiometer/attach 3\n";

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class NamedOutputs : public ::testing::Test {
  protected:
    ScratchHome home;
    fs::path at(const std::string& name) const { return home.path() / name; }
    int runMacro(const std::string& macro) {
        write(at("m.mac"), macro);
        return run({home.path(), {"--home", ".", "m.mac"}});
    }
};

TEST_F(NamedOutputs, NeverReplaceTheProgramsOwnFiles) {
    // Each named output aimed at one of the files the program keeps (the settings file is
    // meridyn.ini in the home here; c.ndx is the index of the open chosen-ray pair).
    std::vector<std::string> refused = {
        "echo/chosen/name=meridyn.log",
        "echo/chosen/binary/name=screen.out",
        "echo/opl/name=rays.dat",
        "radiometer/fileout 3 /name=spots.dat",
        "energy/xlinear object=3 /filename=meridyn.ini",
        "iges/name=reemit.dat",
        "save/name=screen.out/overwrite",
    };
    // The open pair first: every chosen-ray command closes it.
    std::string macro = std::string(kModel) + "echo/chosen/binary/name=c.bin\n" +
                        "echo/opl/name=c.ndx\nradiometer/fileout 3 /name=c.bin\n";
    refused.insert(refused.begin(), {"echo/opl/name=c.ndx", "radiometer/fileout 3 /name=c.bin"});
    for (std::size_t i = 2; i < refused.size(); ++i)
        macro += refused[i] + "\n";
    write(at("meridyn.ini"), "[flags]\n");
    EXPECT_EQ(runMacro(macro), 1);
    const std::string screen = readFile(at("screen.out"));
    EXPECT_EQ(count(screen, "is one of MERIDYN's own files, command ignored."), refused.size())
        << screen;
    // Every one of them is as the program keeps it.
    const std::string log = readFile(at("meridyn.log"));
    EXPECT_EQ(log.rfind("clear\n", 0), 0u) << log;
    for (const std::string& line : refused)
        EXPECT_TRUE(contains(log, line)) << line;
    EXPECT_TRUE(contains(screen, "MERIDYN Home Directory"));
    EXPECT_EQ(readFile(at("rays.dat")).size() % 28, 0u);
    EXPECT_EQ(readFile(at("spots.dat")).size(), 25u * 68);
    EXPECT_FALSE(fs::exists(at("reemit.dat")));
    EXPECT_FALSE(contains(readFile(at("meridyn.ini")), "Film Plane"));
    EXPECT_EQ(fs::file_size(at("c.ndx")), 0u);
    EXPECT_EQ(fs::file_size(at("c.bin")), 8u);
}

TEST_F(NamedOutputs, ACutNameIsNeverUsed) {
    // Names that run past what the reader keeps of a line: the command would see only the first
    // part of them.
    const std::string name = std::string(240, 'n');
    const std::vector<std::string> commands = {
        "save/name=",
        "echo/chosen/name=",
        "echo/chosen/binary/name=",
        "echo/opl/name=",
        "radiometer/fileout 3 /name=",
        "energy/xlinear object=3 /filename=",
        "material/grin 1 /name=",
        "set/matcatalog/name=",
        "macro/name=",
        "iges/name=",
    };
    std::string macro = kModel;
    for (const std::string& c : commands)
        macro += c + "\"" + name + "\"\n";
    // A macro of the cut name is there to be run by mistake.
    const std::string cut = std::string("macro/name=\"" + name).substr(12, 250 - 12);
    write(at(cut), "noop the cut macro ran\n");
    EXPECT_EQ(runMacro(macro), 1);
    const std::string screen = readFile(at("screen.out"));
    EXPECT_EQ(count(screen, "File name too long, command ignored."), commands.size()) << screen;
    EXPECT_FALSE(contains(readFile(at("meridyn.log")), "the cut macro ran"));
    // Nothing was written under a cut name.
    for (const auto& e : fs::directory_iterator(home.path()))
        EXPECT_TRUE(e.path().filename().string()[0] != 'n' || e.path().filename() == cut)
            << e.path();
}

TEST_F(NamedOutputs, ASaveWithALineTheReaderWouldCutFailsAndKeepsTheOldFile) {
    // A plug-in under a deep folder: its command fits a line, but not with the seven values the
    // part writer adds to it.
    fs::path deep = home.path();
    while ((deep / "f" / "raysrc1.so").string().size() < 222)
        deep /= "f";
    fs::create_directories(deep);
    const fs::path plugin = deep / "raysrc1.so";
    fs::create_symlink(fs::path(MERIDYN_PLUGIN_DIR) / "raysrc1.so", plugin);
    write(at("m.opt"), "old model\n");
    const std::string source = "modify/source/name=\"" + plugin.string() + "\" 2\n";
    ASSERT_LE(source.size(), 251u);
    EXPECT_EQ(runMacro(std::string(kModel) + source + "save/name=m.opt/overwrite\n"), 1);
    EXPECT_TRUE(contains(readFile(at("screen.out")),
                         "Part ligh2 cannot be saved: a line of it would be longer than a "
                         "command line."))
        << readFile(at("screen.out"));
    EXPECT_EQ(readFile(at("m.opt")), "old model\n");

    // A catalog under a deep home: its saved line holds the whole path.
    ScratchHome other;
    fs::path deepHome = other.path();
    while (deepHome.string().size() < 240)
        deepHome /= "home";
    fs::create_directories(deepHome);
    write(deepHome / "g.cat", "NM CROWN 2 0 1.5168 64.17\nCD 1 0 0 0 0 0\nLD 0.3 2.5\n");
    write(deepHome / "m.mac", "set/matcatalog/name=\"g.cat\"\nsave/name=m.opt\n");
    EXPECT_EQ(run({deepHome, {"--home", ".", "m.mac"}}), 1);
    EXPECT_TRUE(contains(readFile(deepHome / "screen.out"), "cannot be saved"));
    EXPECT_FALSE(fs::exists(deepHome / "m.opt"));
}

TEST_F(NamedOutputs, FilesThatCannotBeOpenedFailTheRunAndBadGlassIsRefused) {
    write(at("g.cat"), "NM CROWN 2 0 1.5168 64.17\nCD 1 0 0 0 0 0\nLD 0.3 2.5\n"
                       "NM ODD 9 0 1.5 60\nCD 1 0 0 0 0 0\n");
    for (const std::string line :
         {"echo/opl/name=\"no/such/p.txt\"", "echo/chosen/name=\"no/such/c.csv\"",
          "radiometer/fileout 3 /name=\"no/such/r.txt\""}) {
        EXPECT_EQ(runMacro(std::string(kModel) + line + "\n"), 1) << line;
        EXPECT_TRUE(contains(readFile(at("screen.out")), "ERROR: Unable to open no/such/"));
    }
    // A glass whose formula gives no index is refused where it would be used.
    EXPECT_EQ(runMacro("set/matcatalog/name=\"g.cat\"\ndefine/lens/material=ODD\n"
                       "define/lens/material=CROWN\nmaterial/glasschange/name=ODD 1\n"),
              1);
    const std::string screen = readFile(at("screen.out"));
    EXPECT_EQ(count(screen, "ERROR: Error calculating glass refractive index"), 2u) << screen;
    EXPECT_EQ(count(screen, "has been defined"), 1u) << screen;
}

} // namespace
