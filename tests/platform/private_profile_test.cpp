#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/platform/scratch_files.h"

namespace {

using platform::ProfileFile;

TEST(ProfileInt, LeadingDigitsWithSign) {
    EXPECT_EQ(platform::profileInt("42"), 42);
    EXPECT_EQ(platform::profileInt("  -17xyz"), -17);
    EXPECT_EQ(platform::profileInt("+8"), 8);
    EXPECT_EQ(platform::profileInt("abc"), 0);
    EXPECT_EQ(platform::profileInt(""), 0);
    EXPECT_EQ(platform::profileInt("-"), 0);
    EXPECT_EQ(platform::profileInt("1.9"), 1);
    // Never leaves the int range, however many digits.
    EXPECT_EQ(platform::profileInt("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(platform::profileInt("-99999999999999999999999"), INT_MIN);
}

TEST(ProfileFile, ReadsKeysOfTheRightSectionInAnyCase) {
    ProfileFile f;
    f.parse("; comment\n"
            "[other]\nredraw=7\n"
            "[FLAGS]\n  ReDraw = 0 \nplotmax=12.5\nredraw=1\n"
            "[flags]\nbox=1\n");
    EXPECT_EQ(f.get("flags", "redraw"), "0"); // the first of duplicates wins
    EXPECT_EQ(f.get("Flags", "PLOTMAX"), "12.5");
    EXPECT_EQ(f.get("flags", "box"), "1"); // a repeated section is searched too
    EXPECT_EQ(f.get("other", "redraw"), "7");
    EXPECT_FALSE(f.get("flags", "rays").has_value());
    EXPECT_FALSE(f.get("nosuch", "redraw").has_value());
}

TEST(ProfileFile, KeysBeforeAnySectionAndOddLinesAreNotKeys) {
    ProfileFile f;
    f.parse("loose=1\n[flags]\n=5\nnoequals\n# box=1\n; grid=1\n[broken\ngrid=3\n");
    EXPECT_FALSE(f.get("flags", "loose").has_value());
    EXPECT_FALSE(f.get("flags", "box").has_value());
    // "[broken" is no header, so grid still belongs to flags.
    EXPECT_EQ(f.get("flags", "grid"), "3");
}

TEST(ProfileFile, SetUpdatesInPlaceAndKeepsEverythingElse) {
    ProfileFile f;
    f.parse("; my settings\n[view]\nzoom=3\n\n[Flags]\nRedraw=1  \n# keep me\nbox=0\n\n"
            "[tail]\nx=1\n");
    f.set("flags", "redraw", "0");
    f.set("flags", "rays", "1");
    f.set("flags", "mono", "0");
    EXPECT_EQ(f.text(), "; my settings\n[view]\nzoom=3\n\n[Flags]\nRedraw=0\n# keep me\nbox=0\n"
                        "rays=1\nmono=0\n\n[tail]\nx=1\n");
}

TEST(ProfileFile, MissingSectionIsAppendedAndCrLfKept) {
    ProfileFile f;
    f.parse("[view]\r\nzoom=3\r\n");
    f.set("flags", "redraw", "1");
    f.set("view", "zoom", "4");
    EXPECT_EQ(f.text(), "[view]\r\nzoom=4\r\n[flags]\r\nredraw=1\r\n");
    ProfileFile empty;
    empty.parse("");
    empty.set("flags", "a", "x\ny");
    EXPECT_EQ(empty.text(), "[flags]\na=x y\n");
}

TEST(ProfileFile, SaveCreatesDirectoryAndReplacesFile) {
    testsupport::ScratchDir t("meridyn-profile");
    auto path = t.path() / "deep" / "er" / "meridyn.ini";
    ASSERT_TRUE(platform::writePrivateProfileString("flags", "redraw", "1", path));
    ASSERT_TRUE(platform::writePrivateProfileString("flags", "box", "0", path));
    ASSERT_TRUE(platform::writePrivateProfileString("FLAGS", "REDRAW", "0", path));
    EXPECT_EQ(testsupport::readFile(path), "[flags]\nredraw=0\nbox=0\n");
    EXPECT_EQ(platform::getPrivateProfileInt("flags", "box", 9, path), 0);
    EXPECT_EQ(platform::getPrivateProfileInt("flags", "rays", 9, path), 9);
    EXPECT_EQ(platform::getPrivateProfileString("flags", "redraw", "d", path), "0");
    // No temporary file is left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(path.parent_path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(ProfileFile, MissingFileGivesDefaultsAndFailedSaveSaysWhy) {
    testsupport::ScratchDir t("meridyn-profile");
    EXPECT_EQ(platform::getPrivateProfileInt("flags", "x", 5, t.path() / "none.ini"), 5);
    ProfileFile f;
    EXPECT_FALSE(f.load(t.path() / "none.ini"));
    // A directory cannot be made below a plain file.
    std::ofstream(t.path() / "plain") << "x";
    std::string why;
    f.set("flags", "a", "1");
    EXPECT_FALSE(f.save(t.path() / "plain" / "meridyn.ini", &why));
    EXPECT_FALSE(why.empty());
    // A read-only directory refuses the temporary file; the old file stays as it was.
    if (geteuid() != 0) {
        auto ro = t.path() / "ro";
        std::filesystem::create_directory(ro);
        std::ofstream(ro / "meridyn.ini") << "[flags]\nkeep=1\n";
        chmod(ro.c_str(), 0555);
        EXPECT_FALSE(f.save(ro / "meridyn.ini", &why));
        chmod(ro.c_str(), 0755);
        EXPECT_EQ(testsupport::readFile(ro / "meridyn.ini"), "[flags]\nkeep=1\n");
    }
}

TEST(ProfileFileLimits, OnlyRegularFilesOfAtMostOneMegabyteAreRead) {
    namespace fs = std::filesystem;
    testsupport::ScratchDir dir("meridyn-profile");
    platform::ProfileFile file;
    std::string why;
    EXPECT_FALSE(file.load("/dev/zero", &why));
    EXPECT_EQ(why, "not a regular file");
    const fs::path big = dir.path() / "big.ini";
    std::ofstream(big) << "[flags]\nrays=1\n" << std::string(platform::ProfileFile::kMaxFileBytes, ';');
    why.clear();
    EXPECT_FALSE(file.load(big, &why));
    EXPECT_EQ(why, "larger than 1 MB");
    EXPECT_FALSE(file.get("flags", "rays"));
    // Missing is no refusal.
    why.clear();
    EXPECT_FALSE(file.load(dir.path() / "missing.ini", &why));
    EXPECT_EQ(why, "");
}

} // namespace
