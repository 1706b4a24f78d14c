// SPDX-License-Identifier: GPL-3.0-or-later
#include <Magick++.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <stop_token>

#include "core/temp_area.h"
#include "image/image_job.h"
#include "image/magick_runtime.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

// A one-colour 8000x6000 PNG: a few kilobytes on disk, 48 million pixels to work on,
// within every pixel limit.
class HugeImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "out");
        ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i",
                                    "color=c=0x336699:s=8000x6000", "-frames:v", "1",
                                    (dir / "huge.png").string()}),
                  0);
        job.taskId = 4;
        job.sourcePath = dir / "huge.png";
        job.settings.outputDir = dir / "out";
        job.settings.tempDir = dir.path();
        job.settings.options.scaleStep = 1;
    }
    bool OutputFolderEmpty() const { return fs::is_empty(dir / "out"); }

    TempDir dir;
    ImageJob job;
};

TEST_F(HugeImageTest, StopEndsTheWorkWithinMoments) {
    std::stop_source stop;
    auto result =
        std::async(std::launch::async, [&] { return CompressImage(job, stop.get_token()); });
    // Let it get deep into the decoding first.
    ASSERT_EQ(result.wait_for(700ms), std::future_status::timeout) << "finished too soon to test";
    const auto asked = std::chrono::steady_clock::now();
    stop.request_stop();
    ASSERT_EQ(result.wait_for(30s), std::future_status::ready);
    // Stopped, it ends at the next row. The margin is for a loaded machine (an idle
    // one takes well under a second).
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
    const ImageResult outcome = result.get();
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("stopped before it finished"), std::string::npos)
        << outcome.reason;
    EXPECT_TRUE(OutputFolderEmpty());
}

TEST_F(HugeImageTest, TimeLimitEndsTheJobAndSaysSo) {
    job.settings.timeLimit = 1s;
    const auto start = std::chrono::steady_clock::now();
    const ImageResult outcome = CompressImage(job);
    // The margin over the 1 s limit is for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("time limit of 1 s"), std::string::npos) << outcome.reason;
    EXPECT_TRUE(OutputFolderEmpty());
}

// Past the image library's memory budget its pixels spill to disk, where resizing
// them took minutes; the picture is resized outside the library instead.
TEST_F(HugeImageTest, WithinEveryLimitItIsResized) {
    job.settings.keepOriginalIfLarger = false;  // the one-colour source is tiny already
    const ImageResult outcome = CompressImage(job);
    ASSERT_TRUE(outcome.ok) << outcome.reason;
    Magick::Image output;
    output.ping(outcome.outputPath.string());
    EXPECT_EQ(output.columns(), 7200u);
    EXPECT_EQ(output.rows(), 5400u);
}

TEST(ImageLibrary, ItsTemporaryFilesGoToOurRunFolder) {
    InitializeImageLibrary();
    const fs::path folder = RunTemporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::string path(MagickPathExtent, '\0');
    const int fd = MagickCore::AcquireUniqueFileResource(path.data());
    ASSERT_GE(fd, 0);
    path.resize(std::strlen(path.c_str()));
    EXPECT_EQ(fs::path(path).parent_path(), folder);
    MagickCore::RelinquishUniqueFileResource(path.c_str());
}

}  // namespace
}  // namespace brisklo
