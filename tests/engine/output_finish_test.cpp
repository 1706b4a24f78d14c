// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output_finish.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "core/pending_output.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

std::vector<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return {names.begin(), names.end()};
}

void SetOldTime(const fs::path& path) {
    const timespec old{978'307'200, 123'000'000};  // 2001-01-01
    const timespec times[2] = {old, old};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(PendingOutput, CommitTakesTheFirstFreeNameAndNeverReplacesAnything) {
    TempDir dir;
    test::WriteFile(dir / "clip.mp4", "earlier");
    fs::create_directory(dir / "clip(2).mp4");
    fs::create_symlink(dir / "nowhere", dir / "clip(3).mp4");  // a dangling link is taken too
    test::WriteFile(dir / "photo(5).png", "x");

    PendingOutput first = test::PendingWith(dir.path(), "new clip");
    const fs::path hidden = first.path();
    EXPECT_EQ(hidden.parent_path(), dir.path());
    EXPECT_TRUE(IsPendingOutputName(hidden.filename().string()));
    auto committed = first.Commit("clip", "mp4");
    ASSERT_TRUE(committed.ok()) << committed.error().message;
    EXPECT_EQ(committed.value(), dir / "clip(4).mp4");
    EXPECT_EQ(test::ReadFile(dir / "clip(4).mp4"), "new clip");
    EXPECT_EQ(test::ReadFile(dir / "clip.mp4"), "earlier");
    EXPECT_FALSE(fs::exists(hidden));
    EXPECT_FALSE(first.Commit("clip", "mp4").ok());  // spent

    EXPECT_EQ(test::PendingWith(dir.path(), "p").Commit("photo(5)", "png").value(),
              dir / "photo(5)(2).png");
    EXPECT_EQ(test::PendingWith(dir.path(), "n").Commit("notes", "").value(), dir / "notes");
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{"clip(2).mp4", "clip(3).mp4", "clip(4).mp4", "clip.mp4",
                                        "notes", "photo(5)(2).png", "photo(5).png"}));

    // Dropped without a commit, the hidden file goes.
    { PendingOutput dropped = test::PendingWith(dir.path(), "half"); }
    EXPECT_EQ(Names(dir.path()).size(), 7u);
}

TEST(PendingOutput, ParallelCommitsNeverShareAName) {
    TempDir dir;
    std::vector<fs::path> names(48);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 12; ++i) {
                names[t * 12 + i] = test::PendingWith(dir.path(), std::to_string(t * 12 + i))
                                        .Commit("x", "gif")
                                        .value();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(std::set<fs::path>(names.begin(), names.end()).size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(test::ReadFile(names[i]), std::to_string(i));
    }
    EXPECT_EQ(Names(dir.path()).size(), names.size());  // nothing hidden left
}

TEST(PendingOutput, UnwritableFolderIsAnErrorNamingIt) {
    TempDir dir;
    auto result = PendingOutput::Create(dir / "missing");
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().message.find((dir / "missing").string()), std::string::npos);
}

class FinishOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(out);
        test::WriteFile(source, std::string(100, 's'));
        SetOldTime(source);
    }
    fs::file_time_type SourceTime() const { return fs::last_write_time(source); }

    TempDir dir;
    fs::path out = dir / "out";
    fs::path source = dir / "photo.PNG";
};

TEST_F(FinishOutputTest, AnOutputThatDoesNotPayIsReplacedByACopyOfTheSource) {
    test::WriteFile(out / "photo.PNG", "an earlier result");
    for (const std::size_t size : {100u, 150u}) {  // the same size does not pay either
        PendingOutput output = test::PendingWith(out, std::string(size, 'o'));
        const fs::path hidden = output.path();
        auto finished = FinishOutput(output, {source, "photo", "jpg", true});
        ASSERT_TRUE(finished.ok()) << finished.error().message;
        EXPECT_TRUE(finished.value().keptOriginal);
        EXPECT_EQ(finished.value().size, 100u);
        // The source's own name and extension, numbered like any output.
        EXPECT_EQ(finished.value().path.filename(), size == 100 ? "photo(2).PNG" : "photo(3).PNG");
        EXPECT_EQ(test::ReadFile(finished.value().path), std::string(100, 's'));
        EXPECT_EQ(fs::last_write_time(finished.value().path), SourceTime());
        EXPECT_FALSE(fs::exists(hidden));
    }
    EXPECT_EQ(test::ReadFile(out / "photo.PNG"), "an earlier result");
    EXPECT_EQ(Names(out), (std::vector<std::string>{"photo(2).PNG", "photo(3).PNG", "photo.PNG"}));
}

TEST_F(FinishOutputTest, ASmallerOutputOrAnAllowedLargerOneIsKeptWithTheSourcesDate) {
    PendingOutput smaller = test::PendingWith(out, std::string(99, 'o'));
    auto finished = FinishOutput(smaller, {source, "photo", "jpg", true});
    ASSERT_TRUE(finished.ok()) << finished.error().message;
    EXPECT_FALSE(finished.value().keptOriginal);
    EXPECT_EQ(finished.value().path, out / "photo.jpg");
    EXPECT_EQ(finished.value().size, 99u);
    EXPECT_EQ(fs::last_write_time(out / "photo.jpg"), SourceTime());

    PendingOutput larger = test::PendingWith(out, std::string(300, 'o'));
    finished = FinishOutput(larger, {source, "photo", "jpg", false});
    ASSERT_TRUE(finished.ok());
    EXPECT_FALSE(finished.value().keptOriginal);
    EXPECT_EQ(finished.value().path, out / "photo(2).jpg");
    EXPECT_EQ(fs::file_size(out / "photo(2).jpg"), 300u);
    EXPECT_EQ(fs::last_write_time(out / "photo(2).jpg"), SourceTime());

    // A source without an extension is kept under its bare name.
    const fs::path bare = dir / "clip";
    test::WriteFile(bare, "tiny");
    PendingOutput grown = test::PendingWith(out, "much larger than tiny");
    finished = FinishOutput(grown, {bare, "clip", "mp4", true});
    ASSERT_TRUE(finished.ok());
    EXPECT_EQ(finished.value().path, out / "clip");
    EXPECT_EQ(Names(out), (std::vector<std::string>{"clip", "photo(2).jpg", "photo.jpg"}));
}

TEST_F(FinishOutputTest, AMissingSourceFailsAndLeavesNothing) {
    PendingOutput output = test::PendingWith(out, "o");
    auto finished = FinishOutput(output, {dir / "gone.png", "gone", "png", true});
    ASSERT_FALSE(finished.ok());
    EXPECT_NE(finished.error().message.find("gone.png"), std::string::npos);
    { PendingOutput spent = std::move(output); }
    EXPECT_TRUE(fs::is_empty(out));
}

TEST(LeftoverOutputs, OnlyOurUnlockedHiddenFilesAreRemoved) {
    TempDir dir;
    // What a crashed run leaves: a hidden file with data, no longer locked.
    const std::string leftover = ".brisklo-0123456789abcdef.part";
    test::WriteFile(dir / leftover, "half an encode");
    // An empty one is removed only once it is old enough not to be a new one.
    const std::string oldEmpty = ".brisklo-00000000000000aa.part";
    const std::string newEmpty = ".brisklo-00000000000000bb.part";
    test::WriteFile(dir / oldEmpty, "");
    SetOldTime(dir / oldEmpty);
    test::WriteFile(dir / newEmpty, "");
    // Anything else stays, whatever it looks like.
    const std::vector<std::string> others = {".brisklo-0123456789ABCDEF.part",
                                             ".brisklo-0123456789abcdef.tmp",
                                             ".brisklo-0123456789abcde.part",
                                             "brisklo-0123456789abcdef.part",
                                             ".hidden",
                                             "clip.mp4"};
    for (const auto& name : others) test::WriteFile(dir / name, "keep");
    fs::create_directory(dir / ".brisklo-1111111111111111.part");
    test::WriteFile(dir / "target", "keep");
    fs::create_symlink(dir / "target", dir / ".brisklo-2222222222222222.part");
    // A run still writing holds its lock.
    PendingOutput live = test::PendingWith(dir.path(), "being written");

    EXPECT_EQ(RemoveLeftoverOutputs(dir.path()), 2);
    EXPECT_FALSE(fs::exists(dir / leftover));
    EXPECT_FALSE(fs::exists(dir / oldEmpty));
    EXPECT_TRUE(fs::exists(dir / newEmpty));
    EXPECT_TRUE(fs::exists(live.path()));
    for (const auto& name : others) EXPECT_EQ(test::ReadFile(dir / name), "keep") << name;
    EXPECT_TRUE(fs::is_directory(dir / ".brisklo-1111111111111111.part"));
    EXPECT_TRUE(fs::is_symlink(dir / ".brisklo-2222222222222222.part"));
    EXPECT_EQ(test::ReadFile(dir / "target"), "keep");

    EXPECT_EQ(RemoveLeftoverOutputs(dir / "missing"), 0);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

}  // namespace
}  // namespace brisklo
