// SPDX-License-Identifier: GPL-3.0-or-later
#include <Magick++.h>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "image/image_job.h"
#include "image/magick_runtime.h"
#include "image/png_text_guard.h"
#include "image/source_file.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

std::vector<std::uint8_t> Bytes(const fs::path& path) {
    const std::string text = test::ReadFile(path);
    return {text.begin(), text.end()};
}

class PngTextBombTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "out");
        test::MakePicture(dir / "plain.png", "64x48");
        fs::copy_file(dir / "plain.png", dir / "bomb.png");
        job.taskId = 9;
        job.sourcePath = dir / "bomb.png";
        job.settings.outputDir = dir / "out";
        job.settings.tempDir = dir.path();
    }

    TempDir dir;
    ImageJob job;
};

TEST_F(PngTextBombTest, AChunkBeyondTheBudgetIsLeftOutAndTheRestKept) {
    test::AddPngTextBomb(job.sourcePath, 64ull << 20);
    std::vector<std::uint8_t> bytes = Bytes(job.sourcePath);
    const std::vector<std::uint8_t> plain = Bytes(dir / "plain.png");
    ASSERT_GT(bytes.size(), plain.size());
    const PngTextTrim trim = TrimPngAncillaryChunks(bytes);
    EXPECT_EQ(trim.dropped, 1);
    EXPECT_EQ(trim.firstName, "zTXt");
    // Exactly the chunk goes: what is left is the picture as it was.
    EXPECT_EQ(bytes, plain);
}

TEST_F(PngTextBombTest, TextWithinTheBudgetIsKept) {
    test::AddPngTextBomb(job.sourcePath, 64ull << 10);
    std::vector<std::uint8_t> bytes = Bytes(job.sourcePath);
    const std::size_t before = bytes.size();
    EXPECT_EQ(TrimPngAncillaryChunks(bytes).dropped, 0);
    EXPECT_EQ(bytes.size(), before);
    // A smaller budget counts the text as it inflates, not as it is stored.
    EXPECT_EQ(TrimPngAncillaryChunks(bytes, 32ull << 10).dropped, 1);
}

// A 1 MB file whose text inflates to 1 GiB: the decoder once held it all (68 s and
// over 3 GB); the chunk is now left out before decoding and the picture compressed.
TEST_F(PngTextBombTest, AGibibyteOfTextIsNeitherInflatedNorWaitedFor) {
    test::AddPngTextBomb(job.sourcePath, 1ull << 30);
    ASSERT_LT(fs::file_size(job.sourcePath), 2u << 20);
    const auto start = std::chrono::steady_clock::now();
    const ImageResult outcome = CompressImage(job);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    ASSERT_TRUE(outcome.ok) << outcome.reason;
    EXPECT_TRUE(fs::exists(outcome.outputPath));
}

// The library's fatal errors (an allocation inside it failing) used to end the
// process from its default handler; now the thread that hit one gets an exception,
// and the library goes on serving other jobs.
TEST(ImageLibraryFatalErrorTest, AFatalErrorThrowsInsteadOfEndingTheProcess) {
    InitializeImageLibrary();
    EXPECT_THROW(MagickCore::MagickFatalError(MagickCore::ResourceLimitFatalError,
                                              "UnableToAcquireString", "test"),
                 ImageLibraryFatalError);

    TempDir dir;
    fs::create_directories(dir / "out");
    ImageJob job;
    job.taskId = 1;
    job.sourcePath = test::MakePicture(dir / "after.png", "64x48");
    job.settings.outputDir = dir / "out";
    job.settings.tempDir = dir.path();
    const ImageResult outcome = CompressImage(job);
    EXPECT_TRUE(outcome.ok) << outcome.reason;
}

}  // namespace
}  // namespace brisklo
