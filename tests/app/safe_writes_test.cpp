// No write through a device or a planted link: the picture and the settings file replace only
// regular files (through a link, the file it names, with its permission bits), the data and log
// files open only regular files and never follow a link. Device nodes are made with mknod, so
// those tests run only as root.
#include <gtest/gtest.h>

#include <sys/sysmacros.h>

#include "tests/app/batch_cli.h"

namespace {

using namespace batchtest;

const char* const kTrace = "define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\n"
                           "define/lightsource\nplace 1 0 0 0\nplace 2 0 0 -50\n"
                           "raytrace/single object=2\n";

class SafeWrites : public ::testing::Test {
  protected:
    ScratchHome home;
    fs::path at(const std::string& name) const { return home.path() / name; }
    // A character device like /dev/null, made here.
    bool makeDevice(const std::string& name) {
        if (geteuid() != 0) return false;
        return mknod(at(name).c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    }
    static bool isDevice(const fs::path& p) {
        struct stat st {};
        return lstat(p.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
    }
};

TEST_F(SafeWrites, DevicesAreNeverWrittenOrRemoved) {
    if (geteuid() != 0) GTEST_SKIP() << "mknod needs root";
    for (const char* name : {"pic.png", "settings.ini", "rays.dat", "meridyn.log"})
        ASSERT_TRUE(makeDevice(name)) << name;
    write(at("trace.mac"), std::string(kTrace) + "set/autoretrace/off\n");
    const int status =
        run({home.path(), {"--home", ".", "--picture", "pic.png", "trace.mac"}, {}, at("settings.ini")});
    EXPECT_EQ(status, 1);
    for (const char* name : {"pic.png", "settings.ini", "rays.dat", "meridyn.log"})
        EXPECT_TRUE(isDevice(at(name))) << name;
    const std::string err = readFile(at("stderr.txt"));
    EXPECT_TRUE(contains(err, "cannot write the picture")) << err;
    EXPECT_TRUE(contains(err, "cannot write " + fs::canonical(home.path()).string() +
                                  "/meridyn.log"))
        << err;
    EXPECT_TRUE(contains(err, "settings.ini not read: not a regular file")) << err;
    EXPECT_TRUE(contains(err, "Unable to write settings file")) << err;
    // The trace said that its ray data went nowhere.
    EXPECT_TRUE(contains(readFile(at("screen.out")), "ERROR")) << readFile(at("screen.out"));
}

TEST_F(SafeWrites, TheSystemsOwnNullDeviceStaysADevice) {
    if (geteuid() != 0) GTEST_SKIP() << "only root could replace /dev/null";
    write(at("m.mac"), "set/autoretrace/off\n");
    run({home.path(), {"--home", ".", "--picture", "/dev/null", "m.mac"}, {}, "/dev/null"});
    EXPECT_TRUE(isDevice("/dev/null"));
}

TEST_F(SafeWrites, LinkedPictureAndSettingsReplaceTheFileTheyName) {
    fs::create_directory(at("real"));
    write(at("real/pic.png"), "old picture");
    write(at("real/settings.ini"), "[flags]\nrays=0\n");
    fs::permissions(at("real/pic.png"), fs::perms(0640));
    fs::create_symlink("real/pic.png", at("pic.png"));
    fs::create_symlink(at("real/settings.ini"), at("settings.ini"));
    write(at("m.mac"), "set/autoretrace/off\n");
    ASSERT_EQ(run({home.path(), {"--home", ".", "--picture", "pic.png", "m.mac"}, {},
                   at("settings.ini")}),
              0)
        << readFile(at("stderr.txt"));
    EXPECT_TRUE(fs::is_symlink(at("pic.png")));
    EXPECT_TRUE(fs::is_symlink(at("settings.ini")));
    EXPECT_EQ(readFile(at("real/pic.png")).substr(1, 3), "PNG");
    EXPECT_EQ(fs::status(at("real/pic.png")).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_TRUE(contains(readFile(at("real/settings.ini")), "retrace=0"));
    // Nothing was left beside them.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(at("real"))) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST_F(SafeWrites, PlantedLinksAtDataAndLogFilesAreNotFollowed) {
    write(at("victim"), "precious");
    // Links there at start are removed with the old files (the links, not what they name).
    fs::create_symlink("victim", at("meridyn.log"));
    fs::create_symlink("victim", at("screen.out"));
    FeedPipe feed(at("feed"));
    pid_t pid = start({home.path(), {"--home", "."}, feed.path()});
    ASSERT_TRUE(feed.open());
    feed.send("define/lens r1=50 r2=-50 thickness=10 diameter=40 n=1.5\ndefine/lightsource\n"
              "place 1 0 0 0\nplace 2 0 0 -50\n");
    ASSERT_TRUE(waitFor(at("meridyn.log"), "place 2 0 0 -50"));
    // Links planted while the program runs are refused when the trace opens its files.
    fs::remove(at("rays.dat"));
    fs::remove(at("spots.dat"));
    fs::create_symlink("victim", at("rays.dat"));
    fs::create_symlink("victim", at("spots.dat"));
    feed.send("raytrace/single object=2\n");
    feed.close();
    EXPECT_EQ(finish(pid), 1);
    EXPECT_EQ(readFile(at("victim")), "precious");
    EXPECT_TRUE(fs::is_symlink(at("rays.dat")));
    EXPECT_TRUE(fs::is_symlink(at("spots.dat")));
    EXPECT_TRUE(contains(readFile(at("screen.out")), "ERROR: Error writing ray data"))
        << readFile(at("screen.out"));
    EXPECT_FALSE(fs::is_symlink(at("meridyn.log")));
    EXPECT_TRUE(contains(readFile(at("meridyn.log")), "raytrace/single"));
    EXPECT_FALSE(fs::is_symlink(at("screen.out")));
}

TEST_F(SafeWrites, PlotsAndExportsNeverWriteThroughALink) {
    write(at("victim"), "precious");
    fs::create_symlink("victim", at("out.hgl"));
    fs::create_symlink("victim", at("sysview.igs"));
    fs::create_symlink("victim", at("colors.opt"));
    // Dangling links where the display file and a named export would go.
    fs::create_symlink("nowhere", at("plot0"));
    fs::create_symlink("nowhere2", at("mine.igs"));
    write(at("m.mac"), "view/system/save\nview/system/iges\niges/name=\"mine.igs\"\n"
                       "set/color/save\n");
    EXPECT_EQ(run({home.path(), {"--home", ".", "--hpgl", "out.hgl", "m.mac"}}), 1);
    EXPECT_EQ(readFile(at("victim")), "precious");
    EXPECT_FALSE(fs::exists(at("nowhere")));
    EXPECT_FALSE(fs::exists(at("nowhere2")));
    // The display file took the next free name.
    EXPECT_TRUE(fs::is_regular_file(at("plot1")));
    const std::string screen = readFile(at("screen.out"));
    EXPECT_TRUE(contains(screen, "Unable to open iges output file.")) << screen;
    EXPECT_TRUE(contains(screen, "File mine.igs already exists")) << screen;
    EXPECT_TRUE(contains(screen, "Unable to write colors.opt.")) << screen;
    EXPECT_TRUE(contains(readFile(at("stderr.txt")), "Unable to open hpgl file out.hgl"))
        << readFile(at("stderr.txt"));
}

TEST_F(SafeWrites, OnlyARegularSettingsFileOfAtMostOneMegabyteIsRead) {
    // A FIFO where the colour table is loaded from is refused, not waited on.
    ASSERT_EQ(mkfifo(at("colors.opt").c_str(), 0600), 0);
    write(at("colors.mac"), "set/color/load\n");
    EXPECT_EQ(run({home.path(), {"--home", ".", "colors.mac"}}), 1);
    EXPECT_TRUE(contains(readFile(at("screen.out")), "Unable to read colors.opt."));

    write(at("m.mac"), "noop\n");
    // A FIFO nobody writes to would hang the read.
    ASSERT_EQ(mkfifo(at("fifo.ini").c_str(), 0600), 0);
    EXPECT_EQ(run({home.path(), {"--home", ".", "m.mac"}, {}, at("fifo.ini")}), 0);
    EXPECT_TRUE(contains(readFile(at("stderr.txt")), "fifo.ini not read: not a regular file"));
    // A device that never ends.
    EXPECT_EQ(run({home.path(), {"--home", ".", "m.mac"}, {}, "/dev/zero"}), 0);
    EXPECT_TRUE(contains(readFile(at("stderr.txt")), "not read: not a regular file"));
    // A huge file: its settings are not taken, and it is not rewritten.
    std::string big = "[flags]\nrays=1\n" + std::string(1100000, ';') + "\n";
    write(at("big.ini"), big);
    write(at("show.mac"), "set/autoretrace/off\n");
    EXPECT_EQ(run({home.path(), {"--home", ".", "show.mac"}, {}, at("big.ini")}), 0);
    EXPECT_TRUE(contains(readFile(at("stderr.txt")), "big.ini not read: larger than 1 MB"));
    EXPECT_EQ(readFile(at("big.ini")), big);
}

} // namespace
