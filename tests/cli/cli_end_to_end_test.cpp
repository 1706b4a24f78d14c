// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <json/json.h>
#include <signal.h>

#include <map>
#include <set>
#include <thread>

#include "cli_process.h"
#include "core/file_utils.h"
#include "core/pending_output.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ParseJson;
using test::RunCli;
using test::TempDir;

// Waits until the output folder holds a hidden output with data in it; its path,
// or empty on time-out.
fs::path WaitForHiddenOutput(const fs::path& folder) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (IsPendingOutputName(it->path().filename().string()) &&
                fs::file_size(it->path(), error) > 0) {
                return it->path();
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    return {};
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Runs never touch the user's real settings.
        fs::create_directories(dir / "data");
        data = std::make_unique<test::ScopedEnv>("XDG_DATA_HOME", (dir / "data").string());
    }
    TempDir dir;
    std::unique_ptr<test::ScopedEnv> data;
};

TEST_F(CliTest, MixedFolderJsonMatchesTheFilesAndFailuresDoNotStopTheRest) {
    const fs::path in = dir / "in";
    fs::create_directories(in / "sub");
    test::MakeClip(in / "b clip.mp4", 1.0);
    test::MakeClip(in / "A.MOV", 1.0, false);
    test::MakeClip(in / "sub" / "deep.mp4", 1.0);
    test::WriteFile(in / "readme.txt", "not media\n");
    test::WriteFile(in / "Mixed.Mp4", "mixed-case extensions are taken from folders too\n");
    test::WriteFile(in / "broken.mkv", "not a video\n");
    test::MakePicture(in / "photo 照片.png", "320x240");
    const std::string sourceBefore = test::ReadFile(in / "b clip.mp4");

    const auto result = RunCli({"--json", "-o", (dir / "out").string(), in.string()}, dir.path());
    EXPECT_EQ(result.status, 1) << result.err;
    const Json::Value root = ParseJson(result.out);
    ASSERT_EQ(root["results"].size(), 5u) << result.out;  // not recursive: sub/ stays out
    EXPECT_EQ(root["succeeded"].asInt(), 3);
    EXPECT_EQ(root["failed"].asInt(), 2);
    for (const Json::Value& item : root["results"]) {
        const bool image = item["source"].asString().ends_with(".png");
        EXPECT_EQ(item["kind"].asString(), image ? "image" : "video");
        const fs::path source = item["source"].asString();
        EXPECT_EQ(item["sourceSize"].asInt64(), static_cast<Json::Int64>(fs::file_size(source)));
        if (source.filename() == "broken.mkv" || source.filename() == "Mixed.Mp4") {
            EXPECT_FALSE(item["ok"].asBool());
            EXPECT_TRUE(item["output"].isNull());
            EXPECT_NE(item["error"].asString().find("Invalid data"), std::string::npos);
            continue;
        }
        ASSERT_TRUE(item["ok"].asBool()) << item["error"].asString();
        const fs::path output = item["output"].asString();
        ASSERT_TRUE(fs::exists(output));
        EXPECT_EQ(output.parent_path(), dir / "out");
        EXPECT_EQ(item["outputSize"].asInt64(), static_cast<Json::Int64>(fs::file_size(output)));
        EXPECT_TRUE(item["saving"].isNumeric());
    }
    EXPECT_TRUE(fs::exists(dir / "out" / "A.mp4"));
    EXPECT_FALSE(fs::exists(dir / "out" / "broken.mp4"));        // nothing half-written
    EXPECT_EQ(test::ReadFile(in / "b clip.mp4"), sourceBefore);  // sources never written
    EXPECT_TRUE(fs::exists(dir / "out" / "photo 照片.png"));
    EXPECT_NE(result.err.find("5 tasks: 3 succeeded, 2 failed"), std::string::npos) << result.err;

    // A second run numbers its outputs and leaves the first ones alone; -r descends,
    // and what it finds below keeps its sub-folder under the output folder.
    const auto firstSize = fs::file_size(dir / "out" / "A.mp4");
    const auto again =
        RunCli({"-r", "--json", "-o", (dir / "out").string(), in.string()}, dir.path());
    const Json::Value second = ParseJson(again.out);
    EXPECT_EQ(second["results"].size(), 6u);
    EXPECT_TRUE(fs::exists(dir / "out" / "photo 照片(2).png"));
    EXPECT_TRUE(fs::exists(dir / "out" / "A(2).mp4"));
    EXPECT_TRUE(fs::exists(dir / "out" / "b clip(2).mp4"));
    EXPECT_TRUE(fs::exists(dir / "out" / "sub" / "deep.mp4"));
    EXPECT_FALSE(fs::exists(dir / "out" / "deep.mp4"));
    EXPECT_EQ(fs::file_size(dir / "out" / "A.mp4"), firstSize);
}

TEST_F(CliTest, NamedFilesAreTakenByTheirContent) {
    fs::rename(test::MakeClip(dir / "clip.mp4", 1.0), dir / "clip.bin");
    test::WriteFile(dir / "notes.xyz", "plain text\n");
    // --allow-larger: the point is the encode, even where it does not pay.
    const auto result = RunCli(
        {"--allow-larger", "--format", "mkv", "--size", "64x48", "-o", (dir / "out").string(),
         (dir / "clip.bin").string(), (dir / "notes.xyz").string(), (dir / "gone.mp4").string()},
        dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("notes.xyz: not a video or image"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("gone.mp4: no such file or folder"), std::string::npos);
    EXPECT_NE(result.out.find("3 tasks: 1 succeeded, 2 failed"), std::string::npos) << result.out;
    EXPECT_TRUE(fs::exists(dir / "out" / "clip.mkv")) << result.err;
}

TEST_F(CliTest, ImageOptionsConvertAndScale) {
    test::MakePicture(dir / "wide.bmp", "1000x500");
    test::MakePicture(dir / "anim.gif", "200x100");
    const auto result =
        RunCli({"--json", "--jpeg", "--scale", "5", "--image-level", "limit", "-o",
                (dir / "out").string(), (dir / "wide.bmp").string(), (dir / "anim.gif").string()},
               dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const Json::Value root = ParseJson(result.out);
    ASSERT_EQ(root["results"].size(), 2u);
    EXPECT_EQ(root["results"][0]["output"].asString(), (dir / "out" / "wide.jpg").string());
    EXPECT_EQ(root["results"][1]["output"].asString(), (dir / "out" / "anim.jpg").string());
    std::string probe;
    test::RunProgram({"ffprobe", "-v", "error", "-show_entries", "stream=width,height,codec_name",
                      "-of", "csv=p=0", (dir / "out" / "wide.jpg").string()},
                     &probe);
    EXPECT_EQ(probe, "mjpeg,500,250\n");  // half the width, aspect kept
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    auto result = RunCli({"--level", "max", "x.mp4"}, dir.path());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--level (allowed: general, deep, limit)"), std::string::npos);
    result = RunCli({}, dir.path());
    EXPECT_EQ(result.status, 2);
    result = RunCli({"--help"}, dir.path());
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("Usage: brisklo-cli"), std::string::npos);
}

// Ctrl-C stops the batch: the running encode is stopped and its unfinished output
// removed, the waiting video cancelled, and images that were done are reported done.
TEST_F(CliTest, InterruptStopsTheBatchAndReportsWhatEndedAsItEnded) {
    test::MakeClip(dir / "long.mp4", 1.0);
    fs::copy_file(dir / "long.mp4", dir / "next.mp4");
    for (const char* name : {"a.png", "b.jpg", "c.png"}) test::MakePicture(dir / name, "160x120");
    // An encoder that starts writing and then hangs, found on PATH.
    fs::create_directories(dir / "bin");
    test::WriteFile(dir / "bin" / "ffmpeg",
                    "#!/bin/bash\nout=\"${@: -1}\"\n"
                    "printf '  Duration: 00:01:00.00, start: 0\\n' >&2\n"
                    "printf 'partial' > \"$out\"\nexec sleep 60\n");
    fs::permissions(dir / "bin" / "ffmpeg", fs::perms::owner_all);
    test::ScopedEnv path("PATH", (dir / "bin").string() + ":" + std::getenv("PATH"));

    test::CliProcess cli({"--json", "-o", (dir / "out").string(), (dir / "long.mp4").string(),
                          (dir / "next.mp4").string(), (dir / "a.png").string(),
                          (dir / "b.jpg").string(), (dir / "c.png").string()},
                         dir.path());
    ASSERT_FALSE(WaitForHiddenOutput(dir / "out").empty()) << "the encoder never started";
    const auto imagesWritten = [&] {
        return fs::exists(dir / "out" / "a.png") && fs::exists(dir / "out" / "b.jpg") &&
               fs::exists(dir / "out" / "c.png");
    };
    for (auto end = std::chrono::steady_clock::now() + 60s;
         !imagesWritten() && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(imagesWritten());
    const auto sent = std::chrono::steady_clock::now();
    ::kill(cli.pid(), SIGINT);
    const auto result = cli.Wait();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 10s);
    EXPECT_EQ(result.status, 130) << result.err;
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir / "out")) {
        left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left, (std::set<std::string>{"a.png", "b.jpg", "c.png"}));

    const Json::Value root = ParseJson(result.out);
    std::map<std::string, std::string> states;
    for (const Json::Value& item : root["results"]) {
        states[fs::path(item["source"].asString()).filename().string()] = item["state"].asString();
    }
    EXPECT_EQ(states, (std::map<std::string, std::string>{{"long.mp4", "stopped"},
                                                          {"next.mp4", "cancelled"},
                                                          {"a.png", "done"},
                                                          {"b.jpg", "done"},
                                                          {"c.png", "done"}}));
    EXPECT_EQ(root["results"][0]["error"].asString(), "interrupted");
    EXPECT_EQ(root["succeeded"].asInt(), 3);
    EXPECT_EQ(root["failed"].asInt(), 0);
    EXPECT_EQ(root["stopped"].asInt(), 1);
    EXPECT_EQ(root["cancelled"].asInt(), 1);
    EXPECT_EQ(root["totals"]["tasks"].asInt(), 5);
    EXPECT_EQ(root["totals"]["finished"].asInt(), 5);
    EXPECT_GT(root["totals"]["bytesIn"].asInt64(), 0);
    EXPECT_NE(
        result.err.find("interrupted: 5 tasks: 3 succeeded, 0 failed, 1 stopped, 1 cancelled"),
        std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace brisklo
