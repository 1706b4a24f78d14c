// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/file_utils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text_utils.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

TEST(FormatFileSize, UnitBoundaries) {
    EXPECT_EQ(FormatFileSize(0), "0B");
    EXPECT_EQ(FormatFileSize(1023), "1023B");
    EXPECT_EQ(FormatFileSize(-5), "-5B");
    EXPECT_EQ(FormatFileSize(1024), "1KB");
    EXPECT_EQ(FormatFileSize(1536), "1KB");
    EXPECT_EQ(FormatFileSize(1048575), "1023KB");
    EXPECT_EQ(FormatFileSize(1048576), "1.00M");
    EXPECT_EQ(FormatFileSize(5242880), "5.00M");
    // Single precision rounds 1073741823 up to 2^30: the text shows 1024.00M.
    EXPECT_EQ(FormatFileSize(1073741823), "1024.00M");
    EXPECT_EQ(FormatFileSize(1073741824), "1.00G");
    EXPECT_EQ(FormatFileSize(1610612736), "1.50G");
    EXPECT_EQ(FormatFileSize(5'000'000'000'000LL), "4656.61G");
}

TEST(FileExists, OnlyReadableRegularFiles) {
    TempDir dir;
    test::WriteFile(dir / "a.txt", "x");
    EXPECT_TRUE(FileExists(dir / "a.txt"));
    EXPECT_FALSE(FileExists(dir / "missing.txt"));
    EXPECT_FALSE(FileExists(dir.path()));  // a folder is not a file
    fs::create_directory(dir / "clip.mp4");
    EXPECT_FALSE(FileExists(dir / "clip.mp4"));
}

TEST(CreateDirectoryTree, CreatesEveryMissingLevelAndNeverThrows) {
    TempDir dir;
    const fs::path deep = dir / "a b" / "ü" / "-c";
    EXPECT_EQ(CreateDirectoryTree(deep), deep);
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_EQ(CreateDirectoryTree(deep), deep);  // all present: nothing to do

    // A file in the way: the path comes back, nothing is created, nothing throws.
    test::WriteFile(dir / "file", "x");
    EXPECT_EQ(CreateDirectoryTree(dir / "file" / "sub"), dir / "file" / "sub");
    EXPECT_FALSE(fs::exists(dir / "file" / "sub"));
}

TEST(AppDataPath, FollowsXdgDataHome) {
    TempDir dir;
    {
        ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
        const fs::path config = GetAppDataPath("Brisklo/Config");
        EXPECT_EQ(config, dir / "data" / "Brisklo" / "Config");
        EXPECT_TRUE(fs::is_directory(config));
    }
    {
        // A relative XDG_DATA_HOME is ignored, as the XDG rules say.
        ScopedEnv data("XDG_DATA_HOME", "relative/place");
        ScopedEnv home("HOME", dir.path().string());
        EXPECT_EQ(DataHome(), dir / ".local" / "share");
    }
}

TEST(SpecialFolder, ReadsUserDirsThenFallsBack) {
    TempDir dir;
    ScopedEnv home("HOME", dir.path().string());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").string());
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Documents), dir / "Documents");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Desktop), dir / "Desktop");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Home), dir.path());

    fs::create_directories(dir / "cfg");
    test::WriteFile(dir / "cfg" / "user-dirs.dirs",
                    "# written by xdg-user-dirs-update\n"
                    "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                    "XDG_DOCUMENTS_DIR=\"/srv/docs of mine\"\n"
                    "XDG_DOWNLOAD_DIR=\"$HOME/\"\n");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Desktop), dir / "桌面");
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Documents), fs::path("/srv/docs of mine"));
    // "$HOME/" alone switches the folder off: the usual name is used instead.
    EXPECT_EQ(GetSpecialFolder(SpecialFolder::Downloads), dir / "Downloads");
    EXPECT_FALSE(fs::exists(dir / "桌面"));  // never created
}

TEST(SplitText, StrtokRules) {
    EXPECT_EQ(SplitText("00:01:23.45", ":"), (std::vector<std::string>{"00", "01", "23.45"}));
    EXPECT_EQ(SplitText("a::b", ":"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitText("::a.b::", ":."), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitText("", ":").empty());
    EXPECT_TRUE(SplitText(":::", ":").empty());
}

TEST(TimestampQuery, IsMillisecondsWrappedTo32Bits) {
    const std::string query = MakeTimestampQuery();
    const auto stamp = test::TimestampAfter(query, "");
    ASSERT_TRUE(stamp) << query;
    const unsigned long long n = *stamp;
    EXPECT_LE(n, 0xFFFFFFFFull);
    // Two queries a moment apart differ by the time in between (modulo 2^32).
    usleep(20000);
    const unsigned long long later = std::stoull(MakeTimestampQuery().substr(11));
    const std::uint32_t delta = static_cast<std::uint32_t>(later - n);
    EXPECT_GE(delta, 15u);
    EXPECT_LT(delta, 5000u);
}

}  // namespace
}  // namespace brisklo
