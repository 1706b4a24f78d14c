// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_job.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <numeric>

#include "image/gif_frames.h"
#include "image/image_geometry.h"
#include "image/magick_runtime.h"
#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

class ImageJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(m_dir / "src");
        fs::create_directories(m_dir / "out");
        fs::create_directories(m_dir / "tmp");
        m_settings.outputDir = m_dir / "out";
        m_settings.tempDir = m_dir / "tmp";
        // These tests look at what the encoder made, even when it is larger than
        // its source; keeping the original instead is tested on its own.
        m_settings.keepOriginalIfLarger = false;
    }

    fs::path Source(const std::string& name) const { return m_dir / "src" / name; }
    fs::path Output(const std::string& name) const { return m_dir / "out" / name; }

    ImageResult Run(const fs::path& source) const {
        return CompressImage(ImageJob{7, source, m_settings});
    }

    // Runs the job and expects it to succeed, writing `name` in the output folder.
    fs::path RunOk(const fs::path& source, const std::string& name) const {
        const ImageResult result = Run(source);
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(result.taskId, 7);
        EXPECT_EQ(result.outputPath, Output(name));
        EXPECT_TRUE(result.reason.empty());
        return result.outputPath;
    }

    // Runs the job and expects it to fail naming the source, with nothing written.
    std::string RunFailing(const fs::path& source) const {
        const ImageResult result = Run(source);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.outputPath.empty());
        EXPECT_TRUE(result.reason.starts_with(source.string() + ": ")) << result.reason;
        EXPECT_TRUE(fs::is_empty(m_dir / "out")) << "a failed job left output behind";
        EXPECT_TRUE(fs::is_empty(m_dir / "tmp")) << "a failed job left a temporary file";
        return result.reason;
    }

    TempDir m_dir;
    ImageJobSettings m_settings;
};

Magick::Image ReadOne(const fs::path& path) {
    auto frames = test::ReadFrames(path);
    EXPECT_EQ(frames.size(), 1u);
    return frames.front();
}

TEST_F(ImageJobTest, RatioStepFitsTheBox) {
    const struct {
        std::size_t width, height;
        int ratio;
    } cases[] = {{1000, 750, 1}, {1000, 2000, 1}, {1000, 750, 5}, {1000, 2000, 5}};
    for (const auto& c : cases) {
        const fs::path source =
            test::MakeGradientImage(Source("photo.jpg"), c.width, c.height, "JPEG");
        m_settings.options.scaleStep = c.ratio;
        const fs::path output = RunOk(source, "photo.jpg");
        const Magick::Image image = ReadOne(output);
        const auto w = static_cast<std::int64_t>(c.width), h = static_cast<std::int64_t>(c.height);
        const PixelSize expected = FitInside(w, h, TargetBox(w, h, c.ratio, 0, 0, 0));
        EXPECT_EQ(static_cast<std::int64_t>(image.columns()), expected.width)
            << c.width << "x" << c.height;
        EXPECT_EQ(static_cast<std::int64_t>(image.rows()), expected.height)
            << c.width << "x" << c.height;
        fs::remove(output);
    }
    // The worked cases, stated outright.
    m_settings.options.scaleStep = 1;
    test::MakeGradientImage(Source("wide.jpg"), 1000, 750, "JPEG");
    const Magick::Image wide = ReadOne(RunOk(Source("wide.jpg"), "wide.jpg"));
    EXPECT_EQ(wide.columns(), 900u);
    EXPECT_EQ(wide.rows(), 675u);
    test::MakeGradientImage(Source("tall.jpg"), 1000, 2000, "JPEG");
    const Magick::Image tall = ReadOne(RunOk(Source("tall.jpg"), "tall.jpg"));
    EXPECT_EQ(tall.columns(), 800u);
    EXPECT_EQ(tall.rows(), 1600u);
}

TEST_F(ImageJobTest, OtherStepsKeepTheSizeButReencode) {
    const fs::path source = test::MakeGradientImage(Source("p.jpg"), 120, 90, "JPEG");
    for (int step : {0, 6}) {
        m_settings.options.scaleStep = step;
        const fs::path output = RunOk(source, "p.jpg");
        const Magick::Image image = ReadOne(output);
        EXPECT_EQ(image.columns(), 120u);
        EXPECT_EQ(image.rows(), 90u);
        EXPECT_EQ(image.quality(), 80u);  // the general preset, not the source's 95
        fs::remove(output);
    }
}

TEST_F(ImageJobTest, CustomSizeAndItsFallback) {
    const fs::path source = test::MakeGradientImage(Source("c.png"), 200, 100, "PNG");
    m_settings.options.customSize = PixelSize{50, 50};
    Magick::Image image = ReadOne(RunOk(source, "c.png"));
    EXPECT_EQ(image.columns(), 50u);
    EXPECT_EQ(image.rows(), 25u);

    m_settings.options.customSize->width = 0;  // empty field: the ratio step applies
    m_settings.options.scaleStep = 5;
    image = ReadOne(RunOk(source, "c(2).png"));
    EXPECT_EQ(image.columns(), 100u);
    EXPECT_EQ(image.rows(), 50u);
}

TEST_F(ImageJobTest, JpegQualityFollowsThePreset) {
    const fs::path source = test::MakeGradientImage(Source("q.jpg"), 64, 48, "JPEG");
    const std::size_t expected[] = {80, 65, 55};
    for (int preset = 0; preset < 3; ++preset) {
        m_settings.options.level = static_cast<CompressionLevel>(preset);
        const fs::path output = RunOk(source, "q.jpg");
        EXPECT_EQ(ReadOne(output).quality(), expected[preset]) << preset;
        fs::remove(output);
    }
}

TEST_F(ImageJobTest, PngAndBmpAreReducedToThePresetColours) {
    const fs::path png = test::MakeGradientImage(Source("g.png"), 300, 200, "PNG");
    const fs::path bmp = test::MakeGradientImage(Source("g.bmp"), 300, 200, "BMP");
    ASSERT_GT(ReadOne(png).totalColors(), 256u);
    const std::size_t colours[] = {256, 220, 200};
    for (int preset = 0; preset < 3; ++preset) {
        m_settings.options.level = static_cast<CompressionLevel>(preset);
        const fs::path pngOut = RunOk(png, "g.png");
        const Magick::Image pngImage = ReadOne(pngOut);
        EXPECT_EQ(pngImage.magick(), "PNG");
        EXPECT_LE(pngImage.totalColors(), colours[preset]) << preset;
        const fs::path bmpOut = RunOk(bmp, "g.bmp");
        const Magick::Image bmpImage = ReadOne(bmpOut);
        EXPECT_TRUE(bmpImage.magick().starts_with("BMP")) << bmpImage.magick();
        EXPECT_LE(bmpImage.totalColors(), colours[preset]) << preset;
        fs::remove(pngOut);
        fs::remove(bmpOut);
    }
}

TEST_F(ImageJobTest, BmpLeavesNoTemporaryFile) {
    const fs::path source = test::MakeGradientImage(Source("b.bmp"), 80, 60, "BMP");
    m_settings.options.scaleStep = 2;
    const Magick::Image image = ReadOne(RunOk(source, "b.bmp"));
    EXPECT_EQ(image.columns(), 64u);
    EXPECT_TRUE(test::FilesStartingWith(m_dir / "tmp", "image-tmp-").empty());
}

TEST_F(ImageJobTest, BmpFailingAfterItsTemporaryFileRemovesIt) {
    const fs::path source = test::MakeGradientImage(Source("b.bmp"), 80, 60, "BMP");
    // A custom size enlarging the image past the pixel limits fails in the second
    // pass, after the temporary PNG was written.
    m_settings.options.customSize = PixelSize{60000, 60000};
    const std::string reason = RunFailing(source);
    EXPECT_NE(reason.find("more than can be processed"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, NeverOverwritesAndNumbersTheName) {
    const fs::path source = test::MakeGradientImage(Source("a.png"), 30, 20, "PNG");
    test::WriteFile(Output("a.png"), "taken");
    RunOk(source, "a(2).png");
    RunOk(source, "a(3).png");
    EXPECT_EQ(test::ReadFile(Output("a.png")), "taken");

    const fs::path numbered = test::MakeGradientImage(Source("photo(5).png"), 30, 20, "PNG");
    test::WriteFile(Output("photo(5).png"), "taken");
    RunOk(numbered, "photo(5)(2).png");
    RunOk(numbered, "photo(5)(3).png");
}

TEST_F(ImageJobTest, NameTakenUpToTen) {
    const fs::path source = test::MakeGradientImage(Source("t.gif"), 30, 20, "GIF");
    test::WriteFile(Output("t.gif"), "taken");
    for (int n = 2; n <= 10; ++n) test::WriteFile(Output("t(" + std::to_string(n) + ").gif"), "x");
    RunOk(source, "t(11).gif");
}

TEST_F(ImageJobTest, UpperCaseExtensionIsKeptOrConverted) {
    const fs::path source = test::MakeGradientImage(Source("x.PNG"), 30, 20, "PNG");
    EXPECT_EQ(ReadOne(RunOk(source, "x.PNG")).magick(), "PNG");
    m_settings.options.output = ImageOutput::Jpeg;
    EXPECT_EQ(ReadOne(RunOk(source, "x.jpg")).magick(), "JPEG");
}

TEST_F(ImageJobTest, GifConvertedToJpegIsItsFirstFrame) {
    const fs::path source = test::MakeAnimation(Source("anim.gif"), 40, 30, {10, 10, 10, 10});
    m_settings.options.output = ImageOutput::Jpeg;
    const fs::path output = RunOk(source, "anim.jpg");
    const auto frames = test::ReadFrames(output);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].magick(), "JPEG");
    EXPECT_EQ(frames[0].columns(), 40u);
    const Magick::ColorRGB colour = frames[0].pixelColor(20, 15);
    EXPECT_GT(colour.red(), 0.9);  // frame 0 is red
    EXPECT_LT(colour.green(), 0.1);
}

TEST_F(ImageJobTest, TransparencyBecomesWhiteInJpeg) {
    const fs::path source = test::MakeTransparentPng(Source("logo.png"), 80, 80);
    m_settings.options.output = ImageOutput::Jpeg;
    const Magick::Image image = ReadOne(RunOk(source, "logo.jpg"));
    const Magick::ColorRGB corner = image.pixelColor(1, 1);
    EXPECT_GT(corner.red(), 0.95);
    EXPECT_GT(corner.green(), 0.95);
    EXPECT_GT(corner.blue(), 0.95);
}

// A print-ready CMYK JPEG goes through the general path; its pixels must be turned
// to RGB first, or the ink values come out as if they were light.
TEST_F(ImageJobTest, CmykPhotoKeepsItsColours) {
    Magick::Image cmyk(Magick::Geometry(64, 48), Magick::ColorRGB(0.8, 0.2, 0.1));
    cmyk.colorSpace(Magick::CMYKColorspace);
    cmyk.quality(95);
    cmyk.write(Source("print.jpg").string());
    m_settings.options.scaleStep = 1;
    const Magick::Image image = ReadOne(RunOk(Source("print.jpg"), "print.jpg"));
    EXPECT_EQ(image.columns(), 58u);
    const Magick::ColorRGB centre = image.pixelColor(29, 21);
    EXPECT_NEAR(centre.red(), 0.8, 0.06);
    EXPECT_NEAR(centre.green(), 0.2, 0.06);
    EXPECT_NEAR(centre.blue(), 0.1, 0.06);
}

TEST_F(ImageJobTest, RotatedPhotoComesOutUpright) {
    const fs::path source = test::MakeRotatedJpeg(Source("rot.jpg"), 80, 40);
    const Magick::Image image = ReadOne(RunOk(source, "rot.jpg"));
    EXPECT_EQ(image.columns(), 40u);
    EXPECT_EQ(image.rows(), 80u);
    // Stripped, and nothing left that would turn it again.
    EXPECT_TRUE(image.attribute("exif:Orientation").empty());
}

TEST_F(ImageJobTest, DroppingFramesByIndex) {
    const std::vector<std::size_t> delays = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    const fs::path source = test::MakeAnimation(Source("ten.gif"), 24, 16, delays, 3);

    m_settings.options.gifDropIndex = 0;
    fs::path output = RunOk(source, "ten.gif");
    EXPECT_EQ(test::ReadFrames(output).size(), 8u);

    m_settings.options.gifDropIndex = 4;
    output = RunOk(source, "ten(2).gif");
    auto frames = test::ReadFrames(output);
    ASSERT_EQ(frames.size(), 5u);
    std::vector<Magick::Image> whole;
    Magick::coalesceImages(&whole, frames.begin(), frames.end());
    const std::vector<std::size_t> kept = KeptFrames(delays.size(), 4);
    const std::vector<std::size_t> merged = MergedDelays(delays, kept);
    std::size_t total = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(test::PixelColour(whole[i], 12, 8), test::FrameColour(kept[i])) << i;
        EXPECT_EQ(frames[i].animationDelay(), merged[i]) << i;
        total += frames[i].animationDelay();
    }
    // The dropped frames' time stayed with the animation.
    EXPECT_EQ(total, std::accumulate(delays.begin(), delays.end(), std::size_t{0}));
    // The loop count survives losing the first frame.
    EXPECT_EQ(frames[0].animationIterations(), 3u);
}

TEST_F(ImageJobTest, ResizedAnimationStaysWhole) {
    const fs::path source = test::MakeAnimation(Source("r.gif"), 60, 40, {5, 5, 5, 5, 5, 5});
    m_settings.options.scaleStep = 5;
    auto frames = test::ReadFrames(RunOk(source, "r.gif"));
    ASSERT_EQ(frames.size(), 6u);
    std::vector<Magick::Image> whole;
    Magick::coalesceImages(&whole, frames.begin(), frames.end());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(whole[i].columns(), 30u);
        EXPECT_EQ(whole[i].rows(), 20u);
        EXPECT_EQ(test::PixelColour(whole[i], 15, 10), test::FrameColour(i)) << i;
    }
}

TEST_F(ImageJobTest, SingleFrameGifWithDroppingFails) {
    const fs::path source = test::MakeAnimation(Source("one.gif"), 20, 20, {10});
    m_settings.options.gifDropIndex = 0;
    const std::string reason = RunFailing(source);
    EXPECT_NE(reason.find("dropping frames would leave none"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, TruncatedJpegFails) {
    const fs::path whole = test::MakeGradientImage(Source("whole.jpg"), 200, 150, "JPEG");
    const std::string bytes = test::ReadFile(whole);
    test::WriteFile(Source("cut.jpg"), bytes.substr(0, bytes.size() * 2 / 3));
    const std::string reason = RunFailing(Source("cut.jpg"));
    EXPECT_NE(reason.find("damaged"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, DecompressionBombIsRefusedBeforeDecoding) {
    test::WriteFile(Source("bomb.png"), test::PngHeaderBytes(100000, 100000));
    InitializeImageLibrary();  // the one-time set-up is not what is measured
    const auto started = std::chrono::steady_clock::now();
    const std::string reason = RunFailing(Source("bomb.png"));
    // Decoding either would take minutes; the refusal comes from the header.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_NE(reason.find("declares 100000x100000 pixels"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, HugeAnimationIsRefusedBeforeDecoding) {
    test::WriteFile(Source("movie.gif"), test::TinyGifBytes(1920, 1080, 1500));
    InitializeImageLibrary();  // the one-time set-up is not what is measured
    const auto started = std::chrono::steady_clock::now();
    const std::string reason = RunFailing(Source("movie.gif"));
    // Decoding either would take minutes; the refusal comes from the header.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_NE(reason.find("1500 frames"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, OtherContentUnderAnImageNameIsRefused) {
    test::WriteFile(Source("x.png"),
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">"
                    "<image href=\"/etc/passwd\"/></svg>");
    std::string reason = RunFailing(Source("x.png"));
    EXPECT_NE(reason.find("not a JPEG, PNG, BMP or GIF"), std::string::npos) << reason;

    test::WriteFile(Source("notes.png"), "just some text\n");
    RunFailing(Source("notes.png"));
    test::WriteFile(Source("draw.jpg"), "push graphic-context\nviewbox 0 0 10 10\n");
    RunFailing(Source("draw.jpg"));
    test::WriteFile(Source("script.gif"),
                    "<?xml version=\"1.0\"?><image><read filename=\"x\"/></image>");
    RunFailing(Source("script.gif"));
    test::WriteFile(Source("empty.bmp"), "");
    reason = RunFailing(Source("empty.bmp"));
    EXPECT_NE(reason.find("empty"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, OtherFormatsAreRefusedWhateverTheirName) {
    const fs::path source = test::MakeGradientImage(Source("x.tif"), 20, 20, "TIFF");
    const std::string reason = RunFailing(source);
    EXPECT_NE(reason.find("not a JPEG, PNG, BMP or GIF"), std::string::npos) << reason;
    fs::copy_file(source, Source("y.jpg"));
    EXPECT_NE(RunFailing(Source("y.jpg")).find("not a JPEG, PNG, BMP or GIF"), std::string::npos);
}

TEST_F(ImageJobTest, MissingSourceNamesTheProblem) {
    const std::string reason = RunFailing(Source("gone.png"));
    EXPECT_NE(reason.find("No such file"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, AwkwardNames) {
    for (const std::string name : {"with space.png", "quote's \"double\".png", "Ünïcødé 图片.png",
                                   "-leading dash.png", "percent%d[0].png", "@list.png"}) {
        const fs::path source = test::MakeGradientImage(Source("plain.png"), 20, 10, "PNG");
        fs::rename(source, Source(name));
        const fs::path output = RunOk(Source(name), name);
        EXPECT_EQ(ReadOne(output).columns(), 20u) << name;
    }
}

TEST_F(ImageJobTest, MissingOrBlockedOutputFolder) {
    const fs::path source = test::MakeGradientImage(Source("a.png"), 20, 10, "PNG");
    m_settings.outputDir = m_dir / "nowhere";
    std::string reason = RunFailing(source);
    EXPECT_NE(reason.find("output folder " + (m_dir / "nowhere").string() + " does not exist"),
              std::string::npos)
        << reason;

    // A folder below a regular file can never be written, not even by root.
    test::WriteFile(m_dir / "plainfile", "x");
    m_settings.outputDir = m_dir / "plainfile" / "sub";
    reason = RunFailing(source);
    EXPECT_NE(reason.find("does not exist"), std::string::npos) << reason;

    m_settings.outputDir = m_dir / "plainfile";
    reason = RunFailing(source);
    EXPECT_NE(reason.find("is not a folder"), std::string::npos) << reason;
}

TEST_F(ImageJobTest, StopRequestLeavesNothing) {
    const fs::path source = test::MakeGradientImage(Source("s.png"), 20, 10, "PNG");
    std::stop_source stop;
    stop.request_stop();
    const ImageResult result = CompressImage(ImageJob{3, source, m_settings}, stop.get_token());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("stopped"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(m_dir / "out"));
}

TEST(ImageLibrary, LimitsAreInForce) {
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    EXPECT_LE(limits.width, kImageLibraryLimits.width);
    EXPECT_LE(limits.height, kImageLibraryLimits.height);
    EXPECT_LE(limits.area, kImageLibraryLimits.area);
    EXPECT_LE(limits.listLength, kImageLibraryLimits.listLength);
    EXPECT_LE(limits.memory, kImageLibraryLimits.memory);
    EXPECT_LE(limits.disk, kImageLibraryLimits.disk);
    EXPECT_EQ(limits.threads, 1u);
    EXPECT_GT(limits.width, 0u);
}

// A failed job says why in a code the window turns into its own words.
TEST_F(ImageJobTest, FailuresCarryTheCodeOfTheirCause) {
    EXPECT_EQ(Run(Source("never-there.png")).failure, FailureCode::SourceMissing);
    test::WriteFile(Source("notes.png"), "just some text\n");
    EXPECT_EQ(Run(Source("notes.png")).failure, FailureCode::Unsupported);
    const fs::path whole = test::MakeGradientImage(Source("whole.jpg"), 200, 150, "JPEG");
    const std::string bytes = test::ReadFile(whole);
    test::WriteFile(Source("cut.jpg"), bytes.substr(0, bytes.size() * 2 / 3));
    EXPECT_EQ(Run(Source("cut.jpg")).failure, FailureCode::Damaged);
    test::WriteFile(Source("bomb.png"), test::PngHeaderBytes(100000, 100000));
    EXPECT_EQ(Run(Source("bomb.png")).failure, FailureCode::TooLarge);
    // An output folder that cannot be written: a permission, when not root.
    if (geteuid() != 0) {
        fs::permissions(m_dir / "out", fs::perms::owner_read | fs::perms::owner_exec);
        const ImageResult result = Run(whole);
        fs::permissions(m_dir / "out", fs::perms::owner_all);
        EXPECT_EQ(result.failure, FailureCode::NoPermission) << result.reason;
    }
}

TEST(FailureCode, TheReasonTextAndTheFileSystemRefineTheStepsCode) {
    TempDir dir;
    const fs::path source = dir / "corrupt-copy.mp4";
    test::WriteFile(source, "x");
    const auto classify = [&](FailureCode code, const std::string& reason) {
        return ClassifyFailure(code, source, source.string() + ": " + reason);
    };
    EXPECT_EQ(
        classify(FailureCode::EncoderFailed, "Error writing trailer: No space left on device"),
        FailureCode::NoSpace);
    EXPECT_EQ(classify(FailureCode::OutputFailed, "cannot open it: Permission denied"),
              FailureCode::NoPermission);
    EXPECT_EQ(classify(FailureCode::EncoderFailed,
                       "the conversion failed: Invalid data found when processing input"),
              FailureCode::Damaged);
    // The file's own name ("corrupt") says nothing about why it failed.
    EXPECT_EQ(classify(FailureCode::EncoderFailed, "the encoder exited with status 1"),
              FailureCode::EncoderFailed);
    // A stop stays a stop, and a size that cannot be reached stays that.
    EXPECT_EQ(classify(FailureCode::Stopped, "No space left on device"), FailureCode::Stopped);
    EXPECT_EQ(classify(FailureCode::TargetUnreachable, "even at the lowest quality"),
              FailureCode::TargetUnreachable);
    // A source gone since it was added, whatever the encoder said.
    fs::remove(source);
    EXPECT_EQ(classify(FailureCode::EncoderFailed, "No such file or directory"),
              FailureCode::SourceMissing);
}

}  // namespace
}  // namespace brisklo
