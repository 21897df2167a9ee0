// Writes that fail part-way, as on a full disk: a file-size limit (SIGXFSZ ignored, so a write
// past it fails with EFBIG as a full disk fails with ENOSPC) that the log and the screen text
// stay below while the output under test grows past it. Every writer says so in one error line,
// the run ends with status 1, a file replaced whole keeps its old bytes and leaves no temporary,
// and a file that grows in place ends on a whole record. As root, the writers whose output is
// no bigger than the log also meet a small tmpfs that is full.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <sched.h>
#include <sys/mount.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

const char* const kModel = "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                           "define/lightsource\ndefine/detector\n"
                           "place 1 0 0 0\nplace 2 0 0 -50\nplace 3 0 0 100\n";
const std::string kBundle = "raytrace/collimated object=2 nx=40 ny=40 hhwidth=15 vhwidth=15\n";
// Few enough rays for rays.dat to stay below the limit of the pictures.
const std::string kFewRays = "raytrace/collimated object=2 nx=6 ny=6 hhwidth=15 vhwidth=15\n"
                             "view/rays\n";
const std::string kOld = "the old file, which must stay as it was\n";

// The bytes of a file as records of `size` bytes; false when they do not divide it.
bool wholeRecords(const fs::path& p, std::size_t size, std::size_t* count = nullptr) {
    const std::size_t n = readFile(p).size();
    if (count) *count = n / size;
    return n % size == 0;
}

// Every record of rays.dat has a flag the tracers write and finite coordinates.
bool raysDecode(const fs::path& p) {
    const std::string b = readFile(p);
    if (b.size() % 28 != 0) return false;
    for (std::size_t at = 0; at < b.size(); at += 28) {
        std::int32_t flag;
        double xyz[3];
        std::memcpy(&flag, b.data() + at, 4);
        std::memcpy(xyz, b.data() + at + 4, 24);
        if (flag < -1 || flag > 12) return false;
        for (double v : xyz)
            if (!std::isfinite(v)) return false;
    }
    return true;
}

struct WriteCase {
    const char* name;
    std::string macro;                // run as m.mac, after the options
    std::vector<std::string> options; // of meridyn-cli
    const char* target;               // the file whose write fails
    const char* message;              // said in screen.out or on standard error
    long limit;                       // bytes any file may grow to
    enum Kind { Replaced, New, Grows } kind;
    std::function<void(const fs::path& home)> check = {}; // what a growing file must be
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<WriteCase> cases() {
    const std::string model = kModel;
    return {
        {"save",
         model + "define/lens\ndefine/lens\nsave/name=m.opt/overwrite\n",
         {},
         "m.opt",
         "ERROR: Error opening save file.",
         1300,
         WriteCase::Replaced},
        {"--save",
         model + "define/lens\ndefine/lens\n",
         {"--save", "out.opt"},
         "out.opt",
         "Error opening save file.",
         1300,
         WriteCase::Replaced},
        {"radiometer/fileout",
         model + "radiometer/attach 3 100 100\nradiometer/fileout/name=r.txt 3\n",
         {},
         "r.txt",
         "ERROR: Unable to write r.txt",
         8000,
         WriteCase::Replaced},
        {"energy /filename=",
         model + kBundle + "energy/xlinear/filename=e.csv object=3 nbins=2000\n",
         {},
         "e.csv",
         "ERROR: Unable to write e.csv",
         8000,
         WriteCase::Replaced},
        {"iges/name=",
         model + kFewRays + "iges/rays/name=l.igs\n",
         {},
         "l.igs",
         "ERROR: Unable to write l.igs",
         5000,
         WriteCase::New},
        {"--iges",
         model + kFewRays,
         {"--iges", "out.igs"},
         "out.igs",
         "cannot write the IGES file out.igs",
         5000,
         WriteCase::Replaced},
        {"--hpgl",
         model + kFewRays,
         {"--hpgl", "out.hgl"},
         "out.hgl",
         "ERROR: Unable to write out.hgl",
         5000,
         WriteCase::Replaced},
        {"display file",
         model + "view/save\n",
         {},
         "plot0",
         "ERROR: Unable to write plot0",
         2000,
         WriteCase::New},
        {"TEMP.SOL",
         model + "view/image nx=200 ny=200\n",
         {},
         "TEMP.SOL",
         "ERROR: Unable to open TEMP.SOL for output during image write.",
         8000,
         WriteCase::Replaced},
        // A bundle that fills the disk, then one ray added to what is left of rays.dat.
        {"rays.dat and spots.dat",
         model + kBundle +
             "set/add_rays/on\n"
             "raytrace/collimated object=2 nx=1 ny=1\n",
         {},
         "rays.dat",
         "ERROR: Out of space for ray data.",
         100000,
         WriteCase::Grows,
         [](const fs::path& h) {
             std::size_t records = 0;
             EXPECT_TRUE(raysDecode(h / "rays.dat"));
             EXPECT_TRUE(wholeRecords(h / "rays.dat", 28, &records));
             EXPECT_GT(records, 0u); // the added ray
             EXPECT_TRUE(wholeRecords(h / "spots.dat", 68));
         }},
        {"chosen rays, text",
         model + "echo/chosen/name=c.csv\n" + kBundle,
         {},
         "c.csv",
         "ERROR: Unable to write c.csv",
         8000,
         WriteCase::Grows,
         [](const fs::path& h) {
             const std::string t = readFile(h / "c.csv");
             ASSERT_FALSE(t.empty());
             EXPECT_EQ(t.back(), '\n');
         }},
        {"chosen rays, binary",
         model + "echo/chosen/binary/short/name=c.bin\n" + kBundle,
         {},
         "c.bin",
         "ERROR: Unable to write c.bin",
         8000,
         WriteCase::Grows,
         [](const fs::path& h) {
             // The header, then one trailer for every offset of the index.
             const std::size_t data = readFile(h / "c.bin").size();
             std::size_t rays = 0;
             EXPECT_TRUE(wholeRecords(h / "c.ndx", 4, &rays));
             EXPECT_EQ(data, 8 + 112 * rays);
         }},
        {"optical paths",
         model + "echo/opl/name=p.txt\n" +
             "raytrace/collimated object=2 nx=10 ny=10 hhwidth=15 vhwidth=15\n",
         {},
         "p.txt",
         "ERROR: Unable to write p.txt",
         12000,
         WriteCase::Grows,
         [](const fs::path& h) {
             const std::string t = readFile(h / "p.txt");
             // The header line, then whole rays, each ending with its line of totals at the
             // wavelength.
             ASSERT_FALSE(t.empty());
             ASSERT_EQ(t.back(), '\n');
             const std::string last = t.substr(t.rfind('\n', t.size() - 2) + 1);
             EXPECT_TRUE(t.find('\n') == t.size() - 1 || last.rfind("          0.5", 0) == 0)
                 << last;
         }},
    };
}

class WriteFailures : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteFailures, AreSaidFailTheRunAndSpoilNothing) {
    const WriteCase& c = GetParam();
    std::vector<std::string> args{"--home", "."};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("m.mac");
    // Unlimited, the output grows past the limit while the log and the screen text stay below.
    ScratchHome room;
    write(room.path() / "m.mac", c.macro);
    ASSERT_EQ(run({room.path(), args}), 0) << readFile(room.path() / "screen.out");
    for (const char* own : {"meridyn.log", "screen.out"})
        ASSERT_LT(fs::file_size(room.path() / own), c.limit - 400) << own;
    ASSERT_GT(fs::file_size(room.path() / c.target), static_cast<std::uintmax_t>(c.limit));

    ScratchHome full;
    write(full.path() / "m.mac", c.macro);
    if (c.kind == WriteCase::Replaced) write(full.path() / c.target, kOld);
    Launch l{full.path(), args};
    l.fileSizeLimit = c.limit;
    EXPECT_EQ(run(l), 1);
    const std::string said =
        readFile(full.path() / "screen.out") + readFile(full.path() / "stderr.txt");
    EXPECT_TRUE(contains(said, c.message)) << said;
    if (c.kind == WriteCase::Replaced) {
        EXPECT_EQ(readFile(full.path() / c.target), kOld);
    } else if (c.kind == WriteCase::New) {
        EXPECT_FALSE(fs::exists(full.path() / c.target));
    }
    if (c.check) c.check(full.path());
    // No temporary file is left beside the target.
    for (const auto& e : fs::directory_iterator(full.path()))
        EXPECT_NE(e.path().filename().string().rfind("." + std::string(c.target) + ".", 0), 0u)
            << e.path();
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, WriteFailures, ::testing::ValuesIn(cases()),
                         [](const auto& info) {
                             std::string n;
                             for (char ch : std::string(info.param.name))
                                 n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return n;
                         });

// As root: a small tmpfs, full, for the outputs no bigger than the log (the complete form of a
// saved model, the settings file). It lives in a mount namespace of this test process alone.
class FullTmpfs : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            GTEST_SKIP() << "no mount namespace here";
        fs::create_directory(dir());
        ASSERT_EQ(mount("tmpfs", dir().c_str(), "tmpfs", 0, "size=64k"), 0) << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) umount2(dir().c_str(), MNT_DETACH);
    }
    fs::path dir() const { return home.path() / "full"; }
    // Fills what is left of the tmpfs.
    void fill() {
        std::ofstream f(dir() / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && f; ++i)
            f << block << std::flush;
    }
    ScratchHome home;
    bool mounted_ = false;
};

TEST_F(FullTmpfs, CompleteFormAndSettingsKeepTheirOldFiles) {
    write(dir() / "out.mac", kOld);
    write(dir() / "meridyn.ini", "[flags]\nretrace=1\n");
    fill();
    write(home.path() / "m.mac", std::string(kModel) + "set/autoretrace/off\n");
    EXPECT_EQ(run({home.path(),
                   {"--home", ".", "--save", "full/out.mac", "m.mac"},
                   {},
                   dir() / "meridyn.ini"}),
              1);
    const std::string err = readFile(home.path() / "stderr.txt");
    EXPECT_TRUE(contains(err, "Error opening save file.")) << err;
    EXPECT_TRUE(contains(err, "Unable to write settings file")) << err;
    EXPECT_EQ(readFile(dir() / "out.mac"), kOld);
    EXPECT_EQ(readFile(dir() / "meridyn.ini"), "[flags]\nretrace=1\n");
}

} // namespace
