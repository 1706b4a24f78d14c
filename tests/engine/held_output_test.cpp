// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "core/output_finish.h"
#include "core/pending_output.h"
#include "test_support.h"
#include "video/encode_run.h"
#include "video/encoder_command.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::RecordingSink;
using test::TempDir;

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Another user of a shared, world-writable folder puts a link to `target` where
// the hidden file was, the way an attacker would: made aside, renamed over it.
void SwapForLink(const fs::path& hidden, const fs::path& target) {
    const fs::path aside = hidden.parent_path() / "aside";
    fs::create_symlink(target, aside);
    fs::rename(aside, hidden);
}

class HeldOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(shared);
        test::WriteFile(victim, "the user's own notes\n");
    }
    void TearDown() override { SetCommitFaultsForTesting({}); }

    TempDir dir;
    fs::path shared = dir / "shared";
    fs::path victim = dir / "notes.txt";
};

// The encoder is slow to open its output; meanwhile the hidden name becomes a link
// to a file of the user. The encoder writes into the file we hold, so the link's
// target is untouched, and the task does not end with the link as its output.
TEST_F(HeldOutputTest, AnEncoderNeverWritesThroughALinkSwappedInForTheHiddenFile) {
    const fs::path encoder = dir / "encoder.sh";
    fs::copy_file(test::FixturePath("slow-start-encoder.sh"), encoder);
    fs::permissions(encoder, fs::perms::owner_all);
    test::WriteFile(dir / "in.mp4", "x");
    const VideoTask task{"in.mp4", "", (dir / "in.mp4").string(), 1, {}};
    auto command = BuildEncoderCommand(task, VideoOptions{}, shared, encoder);
    ASSERT_TRUE(command.ok()) << command.error().message;
    EncoderCommand& built = command.value();
    const fs::path hidden = built.output->path();

    RecordingSink sink;
    const OutputPlan plan{dir / "in.mp4", built.baseName, built.extension, false};
    EncodeRequest request{1, built.argv, hidden, 120s,
                          [pending = built.output, plan] { return FinishOutput(*pending, plan); }};
    auto run = EncodeRun::Start(std::move(request), sink);
    ASSERT_TRUE(run.ok()) << run.error().message;
    SwapForLink(hidden, victim);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (sink.Count(MessageId::EncodeSucceeded) + sink.Count(MessageId::EncodeFailed) == 0) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the encode never ended";
        std::this_thread::sleep_for(20ms);
    }

    EXPECT_EQ(test::ReadFile(victim), "the user's own notes\n");
    const fs::path final = shared / ("in." + built.extension);
    if (sink.Count(MessageId::EncodeSucceeded) > 0) {
        EXPECT_FALSE(fs::is_symlink(final));
        EXPECT_EQ(test::ReadFile(final), "payload");
    } else {
        EXPECT_FALSE(fs::exists(fs::symlink_status(final)));
    }
}

// At the commit the hidden name is a link: the held file, not the link, would get
// the final name; as the held file lost its name, the commit fails and says so.
TEST_F(HeldOutputTest, TheCommitNeverGivesTheFinalNameToALink) {
    PendingOutput output = test::PendingWith(shared, "video data");
    SwapForLink(output.path(), victim);
    const auto committed = output.Commit("clip", "mp4");
    ASSERT_FALSE(committed.ok());
    EXPECT_NE(committed.error().message.find("was removed or replaced"), std::string::npos)
        << committed.error().message;
    EXPECT_FALSE(fs::exists(fs::symlink_status(shared / "clip.mp4")));
    EXPECT_EQ(test::ReadFile(victim), "the user's own notes\n");
}

// The keep-the-original check measures the file we hold, not what the hidden name
// points at: a large file linked in must not make a small output look large.
TEST_F(HeldOutputTest, TheSizeComparedWithTheSourceIsTheHeldFiles) {
    test::WriteFile(dir / "source.mp4", std::string(100, 's'));
    test::WriteFile(dir / "large", std::string(1000, 'l'));
    PendingOutput output = test::PendingWith(shared, "small");
    SwapForLink(output.path(), dir / "large");
    const auto size = output.Size();
    ASSERT_TRUE(size.ok());
    EXPECT_EQ(size.value(), 5u);
}

TEST_F(HeldOutputTest, WithoutHardLinksTheOutputStillGetsItsName) {
    SetCommitFaultsForTesting({.noHardLinks = true});
    PendingOutput output = test::PendingWith(shared, "video data");
    const auto committed = output.Commit("clip", "mp4");
    ASSERT_TRUE(committed.ok()) << committed.error().message;
    EXPECT_EQ(test::ReadFile(shared / "clip.mp4"), "video data");
    EXPECT_EQ(Names(shared), std::set<std::string>{"clip.mp4"});
}

// A run killed between making the empty placeholder and renaming its data over it
// once left a 0-byte file under the final name, and the next start deleted the data.
TEST_F(HeldOutputTest, AStopBetweenPlaceholderAndRenameIsCompletedByTheNextStart) {
    SetCommitFaultsForTesting({.noHardLinks = true, .stopAfterPlaceholder = true});
    {
        PendingOutput output = test::PendingWith(shared, "video data");
        ASSERT_FALSE(output.Commit("clip", "mp4").ok());
    }
    SetCommitFaultsForTesting({});
    ASSERT_TRUE(fs::exists(shared / "clip.mp4"));
    EXPECT_EQ(fs::file_size(shared / "clip.mp4"), 0u);

    RemoveLeftoverOutputs(shared);
    EXPECT_EQ(test::ReadFile(shared / "clip.mp4"), "video data");
    EXPECT_EQ(Names(shared), std::set<std::string>{"clip.mp4"});
}

// A record only ever names a plain file of the folder; one naming anything else
// (another folder, a non-empty file) completes nothing and the leftover goes.
TEST_F(HeldOutputTest, ARecordNeverMovesDataOntoAFileThatHoldsSomething) {
    SetCommitFaultsForTesting({.noHardLinks = true, .stopAfterPlaceholder = true});
    {
        PendingOutput output = test::PendingWith(shared, "video data");
        ASSERT_FALSE(output.Commit("clip", "mp4").ok());
    }
    SetCommitFaultsForTesting({});
    test::WriteFile(shared / "clip.mp4", "written since");
    RemoveLeftoverOutputs(shared);
    EXPECT_EQ(test::ReadFile(shared / "clip.mp4"), "written since");
    EXPECT_EQ(Names(shared), std::set<std::string>{"clip.mp4"});
}

}  // namespace
}  // namespace brisklo
