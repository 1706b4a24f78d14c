// SPDX-License-Identifier: GPL-3.0-or-later
// The codec steps behind the image job, checked against what ImageMagick itself
// makes of the same pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "image/exif_orientation.h"
#include "image/image_job.h"
#include "image/magick_runtime.h"
#include "image/source_file.h"
#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;

class ImageCodecTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(m_dir / "src");
        fs::create_directories(m_dir / "out");
        m_settings.outputDir = m_dir / "out";
        m_settings.tempDir = m_dir / "tmp";
        // These tests look at what the codecs made, even when it is not smaller.
        m_settings.keepOriginalIfLarger = false;
    }
    fs::path Source(const std::string& name) const { return m_dir / "src" / name; }

    ImageResult Run(const fs::path& source) const {
        return CompressImage(ImageJob{1, source, m_settings});
    }
    fs::path RunOk(const fs::path& source) const {
        const ImageResult result = Run(source);
        EXPECT_TRUE(result.ok) << result.reason;
        return result.outputPath;
    }

    test::TempDir m_dir;
    ImageJobSettings m_settings;
};

Magick::Image ReadOne(const fs::path& path) {
    InitializeImageLibrary();
    Magick::Image image;
    image.read(path.string());
    return image;
}

// Colour distance in 8-bit units between two pixels of two images.
double Distance(Magick::Image& a, Magick::Image& b, std::size_t x, std::size_t y) {
    const Magick::ColorRGB p = a.pixelColor(x, y);
    const Magick::ColorRGB q = b.pixelColor(x, y);
    return 255.0 * std::sqrt(std::pow(p.red() - q.red(), 2) + std::pow(p.green() - q.green(), 2) +
                             std::pow(p.blue() - q.blue(), 2));
}

TEST(ExifOrientation, TurnsPixelsAsTheImageLibraryDoes) {
    InitializeImageLibrary();
    const std::uint32_t w = 3, h = 2;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        Magick::Image source(Magick::Geometry(w, h), Magick::Color("black"));
        for (std::uint32_t y = 0; y < h; ++y) {
            for (std::uint32_t x = 0; x < w; ++x) {
                source.pixelColor(x, y, Magick::ColorRGB(x / 2.0, y, 0.5));
            }
        }
        Magick::Image turned = source;
        turned.orientation(static_cast<Magick::OrientationType>(orientation));
        turned.autoOrient();
        for (std::uint32_t y = 0; y < h; ++y) {
            for (std::uint32_t x = 0; x < w; ++x) {
                const PixelSpot spot = UprightSpot(orientation, x, y, w, h);
                EXPECT_EQ(test::PixelColour(turned, spot.x, spot.y),
                          test::PixelColour(source, x, y))
                    << "orientation " << orientation << " pixel " << x << "," << y;
            }
        }
    }
    // Both byte orders; anything else counts as upright.
    const std::uint8_t motorola[] = {'E', 'x', 'i',  'f',  0, 0, 'M', 'M', 0, 0x2A, 0, 0, 0, 8,
                                     0,   1,   0x01, 0x12, 0, 3, 0,   0,   0, 1,    0, 8, 0, 0};
    EXPECT_EQ(ExifOrientation(motorola), 8);
    const std::uint8_t cut[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0, 8, 0, 0, 0, 9, 0};
    EXPECT_EQ(ExifOrientation(cut), 1);
    EXPECT_EQ(ExifOrientation({}), 1);
}

TEST_F(ImageCodecTest, EveryOrientedJpegComesOutAsTheLibraryTurnsIt) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const fs::path source = test::MakeOrientedJpeg(
            Source("o" + std::to_string(orientation) + ".jpg"), 48, 32, orientation);
        for (const std::int32_t ratio : {0, 5}) {  // rows streamed, and decoded whole
            m_settings.options.scaleStep = ratio;
            const fs::path output = RunOk(source);
            Magick::Image ours = ReadOne(output);
            Magick::Image expected = ReadOne(source);
            expected.autoOrient();
            if (ratio != 0)
                expected.resize(Magick::Geometry(expected.columns() / 2, expected.rows() / 2));
            ASSERT_EQ(ours.columns(), expected.columns()) << orientation;
            ASSERT_EQ(ours.rows(), expected.rows()) << orientation;
            EXPECT_TRUE(ours.attribute("exif:Orientation").empty());
            // The middle of every quadrant.
            for (const double fx : {0.25, 0.75}) {
                for (const double fy : {0.25, 0.75}) {
                    const auto x =
                        static_cast<std::size_t>(fx * static_cast<double>(ours.columns()));
                    const auto y = static_cast<std::size_t>(fy * static_cast<double>(ours.rows()));
                    EXPECT_LT(Distance(ours, expected, x, y), 24.0)
                        << "orientation " << orientation << " ratio " << ratio;
                }
            }
            fs::remove(output);
        }
    }
}

// At the same colour count the palette picked here must not give a larger file or
// a picture further from the source than the library's own dithered reduction.
TEST_F(ImageCodecTest, PaletteIsNoWorseThanTheLibrarysReduction) {
    const fs::path source = test::MakeGradientImage(Source("g.png"), 320, 240, "PNG");
    const fs::path ours = RunOk(source);

    Magick::Image theirs = ReadOne(source);
    theirs.strip();
    theirs.quantizeDither(true);
    theirs.quantizeColors(256);
    theirs.quantize(false);
    theirs.magick("PNG");
    Magick::Blob theirBytes;
    theirs.write(&theirBytes);

    Magick::Image original = ReadOne(source);
    Magick::Image mine = ReadOne(ours);
    EXPECT_LE(fs::file_size(ours), theirBytes.length());
    mine.compare(original);
    theirs.compare(original);
    EXPECT_LE(mine.meanErrorPerPixel(), theirs.meanErrorPerPixel());
}

TEST_F(ImageCodecTest, LongScreenRecordingIsCompressedFrameByFrame) {
    const fs::path source = test::MakeScreenRecording(Source("rec.gif"), 600, 450, 800);
    const fs::path output = RunOk(source);
    const test::GifSummary summary = test::SummariseGif(output);
    EXPECT_EQ(summary.frames, 800u);
    EXPECT_EQ(summary.totalDelay, 800u * 4);
    EXPECT_EQ(summary.width, 600u);
    EXPECT_EQ(summary.height, 450u);
    // Only the typed character changes from one frame to the next.
    EXPECT_LE(summary.largestLaterArea, 8u * 14);
    // The source stores exactly that too, in a table with no room for transparency:
    // the extra entry may cost a little, never a table per frame (about a third more).
    EXPECT_LE(fs::file_size(output), fs::file_size(source) * 105 / 100);
}

TEST_F(ImageCodecTest, AnimationBudgetTakesLongRecordingsAndRefusesFilms) {
    test::WriteFile(Source("long.gif"), test::TinyGifBytes(800, 600, 1000));
    EXPECT_TRUE(LoadSourceImage(Source("long.gif")).ok());
    test::WriteFile(Source("film.gif"), test::TinyGifBytes(1920, 1080, 400));
    const auto film = LoadSourceImage(Source("film.gif"));
    ASSERT_FALSE(film.ok());
    EXPECT_NE(film.error().message.find("million pixels, more than can be processed"),
              std::string::npos)
        << film.error().message;
}

// Frames with transparency and every disposal: the output, composed, shows what
// the source shows, colour for colour and transparent where it is transparent.
TEST_F(ImageCodecTest, ComposedFramesMatchTheSource) {
    InitializeImageLibrary();
    const MagickCore::DisposeType disposals[] = {
        MagickCore::BackgroundDispose, MagickCore::NoneDispose, MagickCore::PreviousDispose,
        MagickCore::NoneDispose};
    const char* colours[] = {"red", "blue", "lime", "yellow"};
    std::vector<Magick::Image> frames;
    for (std::size_t i = 0; i < 4; ++i) {
        Magick::Image frame(Magick::Geometry(40, 30), Magick::Color("transparent"));
        frame.fillColor(colours[i]);
        const double x = 4.0 + 8.0 * static_cast<double>(i);
        frame.draw(Magick::DrawableRectangle(x, 4, x + 12, 20));
        frame.gifDisposeMethod(disposals[i]);
        frame.animationDelay(7);
        frames.push_back(frame);
    }
    const fs::path source = Source("t.gif");
    Magick::writeImages(frames.begin(), frames.end(), "GIF:" + source.string());

    for (const std::int32_t drop : {0, 1}) {
        // Index 4 keeps frames 1 and 3.
        m_settings.options.gifDropIndex = drop != 0 ? std::optional<std::int32_t>(4) : std::nullopt;
        const fs::path output = RunOk(source);
        std::vector<Magick::Image> in, out, whole, wholeOut;
        Magick::readImages(&in, source.string());
        Magick::readImages(&out, output.string());
        Magick::coalesceImages(&whole, in.begin(), in.end());
        Magick::coalesceImages(&wholeOut, out.begin(), out.end());
        const std::vector<std::size_t> kept =
            drop ? std::vector<std::size_t>{1, 3} : std::vector<std::size_t>{0, 1, 2, 3};
        ASSERT_EQ(wholeOut.size(), kept.size());
        for (std::size_t k = 0; k < kept.size(); ++k) {
            Magick::Image& a = whole[kept[k]];
            Magick::Image& b = wholeOut[k];
            for (std::size_t y = 0; y < 30; y += 3) {
                for (std::size_t x = 0; x < 40; x += 3) {
                    // Magick++ 6 gives the opacity here: 0 is opaque.
                    const bool shownA = a.pixelColor(x, y).alpha() < 0.5;
                    const bool shownB = b.pixelColor(x, y).alpha() < 0.5;
                    ASSERT_EQ(shownA, shownB) << "frame " << kept[k] << " at " << x << "," << y;
                    if (shownA) {
                        EXPECT_LT(Distance(a, b, x, y), 11.0) << "frame " << kept[k];
                    }
                }
            }
        }
        fs::remove(output);
    }
}

TEST_F(ImageCodecTest, CutGifIsDamagedAndOneWithoutTrailerIsFine) {
    const fs::path whole = test::MakeAnimation(Source("w.gif"), 64, 48, {5, 5, 5, 5});
    const std::string bytes = test::ReadFile(whole);
    test::WriteFile(Source("notrailer.gif"), bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(test::SummariseGif(RunOk(Source("notrailer.gif"))).frames, 4u);

    test::WriteFile(Source("cut.gif"), bytes.substr(0, bytes.size() * 2 / 3));
    const ImageResult cut = Run(Source("cut.gif"));
    EXPECT_FALSE(cut.ok);
    EXPECT_NE(cut.reason.find("damaged"), std::string::npos) << cut.reason;
}

}  // namespace
}  // namespace brisklo
