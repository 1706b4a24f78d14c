// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/temp_area.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

void Age(const fs::path& path) { fs::last_write_time(path, fs::file_time_type::clock::now() - 2h); }

TEST(Leftovers, OnlyDeadRunsAndOldCopiesOfOursAreRemoved) {
    TempDir dir;
    const fs::path temp = dir / "Temp";
    const fs::path config = dir / "Config";
    fs::create_directories(temp / "cli-4242-0");
    test::WriteFile(temp / "cli-4242-0" / ".lock", "");
    test::WriteFile(temp / "cli-4242-0" / "magick-4242abcdef", "pixels");
    // A run that is still going holds its lock.
    fs::create_directories(temp / "desktop-77-0");
    test::WriteFile(temp / "desktop-77-0" / "image-tmp-123456.png", "png");
    const int held = ::open((temp / "desktop-77-0" / ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    test::WriteFile(temp / "image-tmp-654321.png", "old");
    Age(temp / "image-tmp-654321.png");
    test::WriteFile(temp / "magick-1fresh", "a live run of an older version may still use it");
    test::WriteFile(temp / "notes.txt", "not ours");
    Age(temp / "notes.txt");
    fs::create_directories(temp / "photos");  // a folder that is not a run's
    fs::create_directories(dir / "elsewhere" / "x-1-0");
    fs::create_directory_symlink(dir / "elsewhere" / "x-1-0", temp / "link-1-0");

    fs::create_directories(config);
    test::WriteFile(config / "configure.ini", "[global]\n");
    test::WriteFile(config / "configure.ini.lock", "");
    Age(config / "configure.ini.lock");
    test::WriteFile(config / "configure.ini.Ab3xYz", "stale copy");
    Age(config / "configure.ini.Ab3xYz");
    test::WriteFile(config / "configure.ini.Qw9rTy", "a writer at work");

    const LeftoverCount count = CleanLeftovers(temp, config / "configure.ini");
    EXPECT_EQ(count.folders, 1);
    EXPECT_EQ(count.files, 2);
    EXPECT_FALSE(fs::exists(temp / "cli-4242-0"));
    EXPECT_FALSE(fs::exists(temp / "image-tmp-654321.png"));
    EXPECT_FALSE(fs::exists(config / "configure.ini.Ab3xYz"));
    for (const fs::path& kept : {temp / "desktop-77-0" / "image-tmp-123456.png",
                                 temp / "magick-1fresh", temp / "notes.txt", temp / "photos",
                                 dir / "elsewhere" / "x-1-0", config / "configure.ini",
                                 config / "configure.ini.lock", config / "configure.ini.Qw9rTy"}) {
        EXPECT_TRUE(fs::exists(kept)) << kept;
    }
    ::close(held);
    // Its lock given back, the other run's folder goes too.
    EXPECT_EQ(CleanLeftovers(temp, config / "configure.ini").folders, 1);
    EXPECT_FALSE(fs::exists(temp / "desktop-77-0"));
}

}  // namespace
}  // namespace brisklo
