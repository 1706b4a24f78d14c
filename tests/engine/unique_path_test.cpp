#include "core/unique_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

TEST(UniqueOutputPath, NumbersClashesAndReservesTheName) {
    TempDir dir;
    auto first = MakeUniqueOutputPath(dir.path(), "clip", "mp4");
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.value(), dir / "clip.mp4");
    EXPECT_TRUE(fs::exists(dir / "clip.mp4"));  // reserved at once
    EXPECT_EQ(MakeUniqueOutputPath(dir.path(), "clip", "mp4").value(), dir / "clip(2).mp4");
    EXPECT_EQ(MakeUniqueOutputPath(dir.path(), "clip", "mp4").value(), dir / "clip(3).mp4");

    // A name that already carries a number gets one of its own after it.
    test::WriteFile(dir / "photo(5).png", "x");
    EXPECT_EQ(MakeUniqueOutputPath(dir.path(), "photo(5)", "png").value(), dir / "photo(5)(2).png");

    // A folder or an unreadable file under the name also makes it taken.
    fs::create_directory(dir / "movie.mkv");
    EXPECT_EQ(MakeUniqueOutputPath(dir.path(), "movie", "mkv").value(), dir / "movie(2).mkv");
}

TEST(UniqueOutputPath, ClashesPastTenAndOddNames) {
    TempDir dir;
    for (int i = 1; i <= 11; ++i)
        ASSERT_TRUE(MakeUniqueOutputPath(dir.path(), "-a 'b' \"ç\"", "mov").ok());
    EXPECT_TRUE(fs::exists(dir / "-a 'b' \"ç\"(10).mov"));
    EXPECT_TRUE(fs::exists(dir / "-a 'b' \"ç\"(11).mov"));
}

TEST(UniqueOutputPath, ParallelCallersNeverShareAName) {
    TempDir dir;
    std::vector<fs::path> names(64);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 16; ++i)
                names[t * 16 + i] = MakeUniqueOutputPath(dir.path(), "x", "gif").value();
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(std::set<fs::path>(names.begin(), names.end()).size(), names.size());
}

TEST(UniqueOutputPath, UnwritableFolderIsAnError) {
    if (::geteuid() == 0) {
        // root writes anywhere; a missing folder gives the same error path.
        TempDir dir;
        auto result = MakeUniqueOutputPath(dir / "missing", "clip", "mp4");
        ASSERT_FALSE(result.ok());
        EXPECT_NE(result.error().message.find("missing/clip.mp4"), std::string::npos);
        return;
    }
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    auto result = MakeUniqueOutputPath(dir.path(), "clip", "mp4");
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().message.find("Permission denied"), std::string::npos);
}

}  // namespace
}  // namespace brisklo
