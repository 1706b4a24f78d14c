// SPDX-License-Identifier: GPL-3.0-or-later
// Videos fitted under a size by the command line, with real ffmpeg: two passes at a
// planned rate land under the target and close to it, a target too small for a clip
// fails naming the smallest size that works, and a share of the source lands just
// under that share. The clips are made once for the suite.
#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>

#include "cli_process.h"
#include "core/media_options.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::ParseJson;
using test::RunCli;
using test::TempDir;

class CliTargetSizeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<TempDir>();
        // A 60 s 720p screen-like clip without sound, and a 20 s clip with sound.
        s_long = s_dir->path() / "long.mp4";
        s_short = s_dir->path() / "short.mp4";
        ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                    "testsrc2=size=1280x720:rate=25:duration=60", "-c:v", "libx264",
                                    "-preset", "ultrafast", "-crf", "30", s_long.string()}),
                  0);
        ASSERT_EQ(
            test::RunProgram(
                {"ffmpeg", "-v",      "error",     "-y",
                 "-f",     "lavfi",   "-i",        "testsrc2=size=640x360:rate=25:duration=20",
                 "-f",     "lavfi",   "-i",        "anoisesrc=duration=20:amplitude=0.2",
                 "-c:v",   "libx264", "-preset",   "ultrafast",
                 "-crf",   "26",      "-c:a",      "aac",
                 "-b:a",   "128k",    "-shortest", s_short.string()}),
            0);
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override {
        fs::create_directories(m_dir / "data");
        m_data = std::make_unique<test::ScopedEnv>("XDG_DATA_HOME", (m_dir / "data").string());
    }

    Json::Value Run(std::vector<std::string> args, int expectedStatus) {
        std::vector<std::string> all = {"--json", "-q", "-o", (m_dir / "out").string()};
        all.insert(all.end(), args.begin(), args.end());
        const auto result = RunCli(all, m_dir.path());
        EXPECT_EQ(result.status, expectedStatus) << result.err;
        const Json::Value root = ParseJson(result.out);
        EXPECT_EQ(root["results"].size(), 1u) << result.out;
        return root["results"][0];
    }

    static std::unique_ptr<TempDir> s_dir;
    static fs::path s_long;
    static fs::path s_short;
    TempDir m_dir;
    std::unique_ptr<test::ScopedEnv> m_data;
};

std::unique_ptr<TempDir> CliTargetSizeTest::s_dir;
fs::path CliTargetSizeTest::s_long;
fs::path CliTargetSizeTest::s_short;

TEST_F(CliTargetSizeTest, SixtySecondsOf720pFitIntoTwoMegabytes) {
    const Json::Value result = Run({"--target-size", "2M", s_long.string()}, 0);
    EXPECT_EQ(result["state"].asString(), "done") << result;
    const auto size = fs::file_size(result["output"].asString());
    EXPECT_LE(size, static_cast<std::uintmax_t>(2 * kMegabyte));
    EXPECT_GE(size, static_cast<std::uintmax_t>(1.8 * kMegabyte));
    // The pass log went with the encode.
    std::vector<fs::path> left;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir / "data")) {
        if (entry.path().filename().string().starts_with("pass-")) left.push_back(entry.path());
    }
    EXPECT_TRUE(left.empty());
}

TEST_F(CliTargetSizeTest, TargetTooSmallFailsNamingTheSmallestSizeThatWorks) {
    const Json::Value result = Run({"--target-size", "500K", s_long.string()}, 1);
    EXPECT_EQ(result["state"].asString(), "failed");
    const std::string error = result["error"].asString();
    EXPECT_NE(error.find("long.mp4 cannot be fitted into 500KB"), std::string::npos) << error;
    // 100 kbit/s at 480p is 225 kbit/s at 720p: 60 s need about 1.7 MB.
    EXPECT_NE(error.find("the smallest size that keeps the picture watchable is 1.8M"),
              std::string::npos)
        << error;
    EXPECT_FALSE(fs::exists(m_dir / "out") && !fs::is_empty(m_dir / "out"));
}

TEST_F(CliTargetSizeTest, HalfOfTheSourceLandsJustUnderHalf) {
    const Json::Value result = Run({"--target-percent", "50", s_short.string()}, 0);
    EXPECT_EQ(result["state"].asString(), "done") << result;
    const double share = static_cast<double>(fs::file_size(result["output"].asString())) /
                         static_cast<double>(fs::file_size(s_short));
    EXPECT_LE(share, 0.50);
    EXPECT_GE(share, 0.45);
}

// A phone clip: its creation time stays (ffmpeg alone would drop it; the command
// maps the metadata) and its rotation is applied to the pixels, so it plays upright
// everywhere.
TEST_F(CliTargetSizeTest, PhoneClipKeepsItsDateAndComesOutUpright) {
    const fs::path plain = m_dir / "plain.mp4";
    const fs::path phone = m_dir / "phone.mp4";
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                "testsrc2=size=320x180:rate=25:duration=1", "-c:v", "libx264",
                                "-preset", "ultrafast", "-metadata",
                                "creation_time=2024-05-06T07:08:09.000000Z", plain.string()}),
              0);
    // The display matrix a phone writes, set on a copy of the stream (ffmpeg keeps the
    // date only when told to map the metadata).
    ASSERT_EQ(
        test::RunProgram({"ffmpeg", "-v", "error", "-y", "-i", plain.string(), "-c", "copy",
                          "-map_metadata", "0", "-metadata:s:v:0", "rotate=90", phone.string()}),
        0);
    const Json::Value result = Run({"--allow-larger", phone.string()}, 0);
    ASSERT_EQ(result["state"].asString(), "done") << result;
    std::string probe;
    ASSERT_EQ(test::RunProgram({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                "format_tags=creation_time:stream=width,height:stream_side_data="
                                "rotation",
                                "-of", "default=noprint_wrappers=1", result["output"].asString()},
                               &probe),
              0);
    EXPECT_NE(probe.find("creation_time=2024-05-06T07:08:09"), std::string::npos) << probe;
    EXPECT_NE(probe.find("width=180"), std::string::npos) << probe;
    EXPECT_NE(probe.find("height=320"), std::string::npos) << probe;
    EXPECT_EQ(probe.find("rotation="), std::string::npos) << probe;
}

}  // namespace
}  // namespace brisklo
