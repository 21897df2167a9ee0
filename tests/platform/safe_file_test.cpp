// The target of a replacement, the regular-only opens and the locks, case by case.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/run_control.h"
#include "platform/safe_file.h"
#include "tests/platform/scratch_files.h"

namespace {

namespace fs = std::filesystem;

TEST(ReplacementTarget, RegularMissingAndLinkedFilesOnly) {
    testsupport::ScratchDir dir("meridyn-safe");
    const fs::path d = dir.path();
    std::ofstream(d / "file") << "x";
    EXPECT_EQ(platform::replacementTarget(d / "file"), d / "file");
    EXPECT_EQ(platform::replacementTarget(d / "missing"), d / "missing");
    // Links are followed to their end, relative ones from the link's folder; dangling ones name
    // the file to create.
    fs::create_directory(d / "sub");
    fs::create_symlink("../file", d / "sub" / "rel");
    fs::create_symlink(d / "sub" / "rel", d / "chain");
    EXPECT_EQ(platform::replacementTarget(d / "chain"), d / "sub" / ".." / "file");
    fs::create_symlink("nowhere", d / "dangling");
    EXPECT_EQ(platform::replacementTarget(d / "dangling"), d / "nowhere");
    std::string why;
    EXPECT_FALSE(platform::replacementTarget(d / "sub", &why));
    EXPECT_EQ(why, "not a regular file");
    EXPECT_FALSE(platform::replacementTarget("/dev/null"));
    fs::create_symlink("/dev/null", d / "to-null");
    EXPECT_FALSE(platform::replacementTarget(d / "to-null"));
    fs::create_symlink("loop2", d / "loop1");
    fs::create_symlink("loop1", d / "loop2");
    EXPECT_FALSE(platform::replacementTarget(d / "loop1", &why));
}

TEST(ReplaceWithTemp, KeepsThePermissionBitsOfTheReplacedFile) {
    testsupport::ScratchDir dir("meridyn-safe");
    const fs::path target = dir.path() / "f";
    std::ofstream(target) << "old";
    chmod(target.c_str(), 0604);
    platform::TempFile t = platform::makeTempBeside(target);
    ASSERT_GE(t.fd, 0);
    ASSERT_EQ(write(t.fd, "new", 3), 3);
    close(t.fd);
    EXPECT_EQ(t.path.parent_path(), dir.path());
    ASSERT_TRUE(platform::replaceWithTemp(t.path, target));
    EXPECT_EQ(testsupport::readFile(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0604));
    EXPECT_FALSE(fs::exists(t.path));
}

TEST(RegularOpens, RefuseLinksFifosAndDevices) {
    testsupport::ScratchDir dir("meridyn-safe");
    const fs::path d = dir.path();
    std::ofstream(d / "victim") << "keep";
    fs::create_symlink("victim", d / "link");
    ASSERT_EQ(mkfifo((d / "fifo").c_str(), 0600), 0);
    for (const fs::path& p : {d / "link", d / "fifo", fs::path("/dev/null")}) {
        errno = 0;
        EXPECT_EQ(platform::openRegularForAppend(p.string()), nullptr) << p;
        EXPECT_EQ(platform::openRegularForWrite(p.string()), nullptr) << p;
        EXPECT_TRUE(errno == ELOOP || errno == EINVAL || errno == ENXIO) << p << " " << errno;
    }
    EXPECT_EQ(testsupport::readFile(d / "victim"), "keep");
    std::FILE* f = platform::openRegularForAppend((d / "new").string());
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    // Only regular files and links are removed.
    EXPECT_FALSE(platform::removeRegularOrLink((d / "fifo").string()));
    EXPECT_TRUE(fs::exists(d / "fifo"));
    EXPECT_TRUE(platform::removeRegularOrLink((d / "link").string()));
    EXPECT_TRUE(fs::exists(d / "victim"));
}

TEST(FileLock, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    testsupport::ScratchDir dir("meridyn-safe");
    const std::string path = (dir.path() / "lock").string();
    platform::FileLock first, second;
    EXPECT_EQ(first.acquire(path, false), platform::FileLock::Result::Locked);
    EXPECT_EQ(second.acquire(path, false), platform::FileLock::Result::Busy);
    first.release();
    EXPECT_EQ(second.acquire(path, false), platform::FileLock::Result::Locked);
    EXPECT_EQ(first.acquireDirectory(dir.path().string()), platform::FileLock::Result::Locked);
    EXPECT_EQ(second.acquire((dir.path() / "no" / "lock").string(), false),
              platform::FileLock::Result::Failed);
}

} // namespace
