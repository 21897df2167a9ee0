// Each state a save must carry, and all of them in one model, saved in both forms: the file
// run in a fresh meridyn-cli lists and traces the same and, saved again, gives the same file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/cli_runner.h"

namespace fs = std::filesystem;
using clitest::readFile;
using clitest::runCli;

namespace {

struct Model {
    const char* what;
    const char* head;          // before the lamp and the detector (nets, a clear)
    const char* body;          // in the beam between them
    const char* listing = "";  // the attachments' own listings
    const char* notSaved = ""; // a line the saved model must not hold
};

const Model kModels[] = {
    {"numbers keep every bit", "set/wavelength 0.4861327\n",
     "define/lens/spherical l1 100 -100 10 30 1.5\nplace/object l1 0.1234567 0.5 -20\n"
     "rotate/object/local/y det -21.3\nset/raylimits mintrans=0.0123456789\n"},
    {"an unplaced part that is traced", "",
     "define/lens/spherical lone 200 -200 5 60 1.5\nactivate lone\n"},
    {"a net's changed glass and its luminance",
     "set/matcatalog/name=\"crown.cat\"\npolynet/start net1 index=1.6\n"
     "polynet/polygon\npolynet/chain\npolynet/point -30 -30 0\npolynet/point 30 -30 0\n"
     "polynet/point 0 30 0\npolynet/close\npolynet/finish\n",
     "place/object net1 0 0 10\nmaterial/glasschange/name=CROWN net1\n"
     "modify/object/luminence net1 2\n"},
    {"no alternate surface after an aspheric one", "",
     "define/lens/spherical l2 100 -100 10 30 1.5\nplace/object l2 0 0 -5\n"
     "modify/altsurfaces/aspheric l2.1 0.02 -1 1e-5\nmodify/altsurfaces/none l2.1\n"},
    {"a centre shift before a toric function", "",
     "define/mirror/spherical/rectangle/concave sph 100 20 20\nplace/object sph 0 0 30\n"
     "modify/center sph 1 2\nmodify/altsurfaces/toric sph.1 100 200\n"},
    {"units, grid and arrows of the settings", "",
     "set/units/mm\nset/grid 2.5\nset/fletch/on size=3\ndefine/rod r3\nplace/object r3 0 0 -30\n"
     "material/grin/name=\"ixprof01.so\" r3 0.5 1 2 3\nradiometer/attach det 4 4\n",
     "material/textout r3\nradiometer/textout det\n"},
    {"names that would not come back", "",
     "define/lens/spherical twin 100 -100 5 30 1.5\ndefine/mirror/flat/oval/front flat1 20 20\n"
     "place/object twin 0 0 -40\nplace/object/rotations flat1 0 0 45 0 30 0\n"
     "modify/scatterer/gaussian flat1.1 0.5 2\nreplicate/newname=twin flat1\n"
     "rename/newname=\"x y\" twin\nrename/newname=flat2 flat1\n"
     "replicate/newname=copy flat2 ncopies=2\n",
     "modify/scatterer/show flat2.1\nmodify/scatterer/show copy001.1\n",
     // The refused copy leaves the lens of that name as it was.
     "modify/scatterer/gaussian twin.1"},
    {"settings and catalogs from before the log began",
     "set/matcatalog/name=\"crown.cat\"\nset/wavelength 0.55 0.6\nset/weightwave 1 1\nclear\n",
     "define/lens/spherical/material=CROWN g5 100 -100 8 40\nplace/object g5 0 0 -10\n"},
    {"a part redefined in place", "",
     "define/rod gone\ndefine/lens/spherical rl 100 -80 12 50 1.5\nplace/object rl 0 0 20\n"
     "modify/surface/attributes rl.1 0.1 0.2\ndelete gone\nredefine rl\n"
     "define/lens/spherical 100 -80 15 50 1.5\n"},
    {"the log's own comments", "",
     "modify/surface/attributes det.1 0.6 0.5\n# a comment of mine\n"},
};

const char* const kLamp = "define/lightsource lamp\ndefine/detector det 40 40\n"
                          "place/object lamp 0 0 -60\nplace/object det 0 0 60\n";
const char* const kListing = "display\ndisplay/object/geometry all\ndisplay/surface all\n"
                             "display/extents all\ndisplay/altsurfaces all\nshow\n";
const char* const kTrace = "raytrace/collimated lamp nx=9 ny=9 hhwidth=8 vhwidth=8\n";

void writeFile(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// What a run printed from the listing on (the object table's heading), up to the trace.
std::string listingOf(const fs::path& home) {
    const std::string out = readFile(home / "stdout.txt");
    const std::size_t at = out.find("Object_#  Surfaces");
    const std::size_t end = out.find("Using Advanced RayTrace Engine.", at);
    if (at == std::string::npos) return std::string();
    // Without the macro lines: the complete form carries the listing's commands, not its macro.
    std::istringstream lines(out.substr(at, end - at));
    std::string listing;
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, 11, "macro/name=") != 0) listing += line + "\n";
    return listing;
}

struct Built {
    std::string model, listing;
};

// The table's model, or (nullptr) the one that holds them all.
Built build(const Model* only) {
    std::string heads, bodies, listings = kListing;
    for (const Model& m : kModels) {
        if (only && &m != only) continue;
        // A clear empties the model before it: the model that holds it comes first.
        heads = std::string(m.head).find("clear") != std::string::npos ? m.head + heads
                                                                       : heads + m.head;
        bodies += m.body;
        listings += m.listing;
    }
    return {heads + kLamp + bodies, listings};
}

void roundTrip(const Built& b, const std::string& form, const char* notSaved) {
    SCOPED_TRACE(form);
    clitest::ScratchHome first, second;
    ASSERT_FALSE(first.path().empty() || second.path().empty());
    writeFile(first.path() / "model.mac", b.model);
    // The complete form names the catalog as the model did: in the run's home.
    for (const auto& home : {first.path(), second.path()}) {
        writeFile(home / "crown.cat", "NM CROWN 2 0 1.5168 64.17\nCD 1.03961212 0.00600069867 "
                                      "0.231792344 0.0200179144 1.01046945 103.560653\n"
                                      "LD 0.31 2.5\n");
        writeFile(home / "list.mac", b.listing);
        writeFile(home / "trace.mac", kTrace);
    }
    const std::string name = "saved." + form;
    runCli(first.path(), {"--save", name, "model.mac", "list.mac", "trace.mac"});
    const std::string saved = readFile(first.path() / name);
    ASSERT_FALSE(saved.empty());
    EXPECT_TRUE(!*notSaved || saved.find(notSaved) == std::string::npos) << notSaved;
    const std::string rays = readFile(first.path() / "rays.dat");
    ASSERT_FALSE(rays.empty());

    // The compressed form holds no command but the model's; the complete form lists and traces
    // again by itself.
    std::vector<std::string> args = {"--save", name, (first.path() / name).string()};
    if (form == "opt") args.insert(args.end(), {"list.mac", "trace.mac"});
    runCli(second.path(), args);
    EXPECT_EQ(readFile(second.path() / name), saved);
    const std::string listing = listingOf(first.path());
    ASSERT_NE(listing.find(" Units are "), std::string::npos) << listing;
    EXPECT_EQ(listingOf(second.path()), listing);
    EXPECT_TRUE(readFile(second.path() / "rays.dat") == rays) << "rays.dat differs";
    EXPECT_TRUE(readFile(second.path() / "spots.dat") == readFile(first.path() / "spots.dat"))
        << "spots.dat differs";
}

} // namespace

TEST(SaveRoundTrip, EveryStateComesBackInBothForms) {
    for (const Model& m : kModels) {
        SCOPED_TRACE(m.what);
        const Built b = build(&m);
        for (const char* form : {"opt", "mac"})
            roundTrip(b, form, m.notSaved);
    }
    SCOPED_TRACE("all of them in one model");
    for (const char* form : {"opt", "mac"})
        roundTrip(build(nullptr), form, "");
}
