// SPDX-License-Identifier: GPL-3.0-or-later
// What a photo keeps and how an image is made to fit under a size: a Display P3
// JPEG keeps its colours once its profile is gone, EXIF stays or goes as the
// settings say (read back with exiftool), and a size limit is met or the job fails
// saying why. Real libjpeg-turbo, lcms2 and libimagequant throughout.
#include <Magick++.h>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <lcms2.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "core/output_finish.h"
#include "image/image_job.h"
#include "image/magick_runtime.h"
#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::TempDir;

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

// Display P3: the DCI-P3 primaries, D65 white and the sRGB tone curve.
std::vector<std::uint8_t> DisplayP3Profile() {
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
    const double srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", "Display P3");
    cmsWriteTag(profile.get(), cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile.get(), nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    cmsSaveProfileToMem(profile.get(), bytes.data(), &size);
    return bytes;
}

// Saturated bands of colour that sRGB and Display P3 render differently.
std::vector<std::uint8_t> ColourBands(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
            p[0] = static_cast<std::uint8_t>(255 * x / width);
            p[1] = static_cast<std::uint8_t>(255 * y / height);
            p[2] = static_cast<std::uint8_t>((x / 40) % 2 ? 230 : 30);
        }
    }
    return rgb;
}

// Writes RGB pixels as a JPEG at quality 95 with an ICC profile and an APP1 block.
void WriteJpeg(const fs::path& path, const std::vector<std::uint8_t>& rgb, int width, int height,
               const std::vector<std::uint8_t>& icc) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (!icc.empty()) {
        jpeg_write_icc_profile(&info, icc.data(), static_cast<unsigned>(icc.size()));
    }
    for (int y = 0; y < height; ++y) {
        auto* row = const_cast<JSAMPLE*>(&rgb[static_cast<std::size_t>(y * width * 3)]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    test::WriteFile(path, std::string(reinterpret_cast<const char*>(buffer), size));
    std::free(buffer);
}

// The source's pixels as sRGB shows them: converted from Display P3.
std::vector<std::uint8_t> ToSrgb(const std::vector<std::uint8_t>& rgb,
                                 const std::vector<std::uint8_t>& icc) {
    Profile source(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
    Profile srgb(cmsCreate_sRGBProfile());
    cmsHTRANSFORM transform =
        cmsCreateTransform(source.get(), TYPE_RGB_8, srgb.get(), TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    std::vector<std::uint8_t> out(rgb.size());
    cmsDoTransform(transform, rgb.data(), out.data(), static_cast<cmsUInt32Number>(rgb.size() / 3));
    cmsDeleteTransform(transform);
    return out;
}

// SSIM of two same-sized RGB pictures, over 8x8 windows of the luma.
double Ssim(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int width,
            int height) {
    auto luma = [](const std::vector<std::uint8_t>& rgb, int i) {
        return 0.299 * rgb[i * 3] + 0.587 * rgb[i * 3 + 1] + 0.114 * rgb[i * 3 + 2];
    };
    const double c1 = 6.5025;
    const double c2 = 58.5225;
    double total = 0;
    int windows = 0;
    for (int wy = 0; wy + 8 <= height; wy += 8) {
        for (int wx = 0; wx + 8 <= width; wx += 8) {
            double ma = 0, mb = 0, va = 0, vb = 0, cov = 0;
            for (int y = wy; y < wy + 8; ++y) {
                for (int x = wx; x < wx + 8; ++x) {
                    ma += luma(a, y * width + x);
                    mb += luma(b, y * width + x);
                }
            }
            ma /= 64;
            mb /= 64;
            for (int y = wy; y < wy + 8; ++y) {
                for (int x = wx; x < wx + 8; ++x) {
                    const double da = luma(a, y * width + x) - ma;
                    const double db = luma(b, y * width + x) - mb;
                    va += da * da;
                    vb += db * db;
                    cov += da * db;
                }
            }
            va /= 63;
            vb /= 63;
            cov /= 63;
            total +=
                ((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2));
            ++windows;
        }
    }
    return total / windows;
}

// Mean absolute difference per channel value.
double MeanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / static_cast<double>(a.size());
}

std::vector<std::uint8_t> ReadRgb(const fs::path& path) {
    Magick::Image image;
    image.read(path.string());
    std::vector<std::uint8_t> rgb(image.columns() * image.rows() * 3);
    image.write(0, 0, image.columns(), image.rows(), "RGB", Magick::CharPixel, rgb.data());
    return rgb;
}

// One tag exiftool reads from a file, empty when it has none.
std::string ExifTag(const fs::path& path, const std::string& tag) {
    std::string output;
    test::RunProgram({"exiftool", "-s3", "-n", "-" + tag, path.string()}, &output);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

// A detailed picture (testsrc2 under grain) that no preset squeezes small.
fs::path MakeGrainyPicture(const fs::path& path, const std::string& size) {
    const int status = test::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc2=size=" + size + ",noise=alls=30:allf=t",
                                         "-frames:v", "1", "-q:v", "2", path.string()});
    EXPECT_EQ(status, 0);
    return path;
}

class PhotoFitTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InitializeImageLibrary(); }
    void SetUp() override {
        fs::create_directories(m_dir / "out");
        m_settings.outputDir = m_dir / "out";
        m_settings.tempDir = m_dir.path();
        m_settings.keepOriginalIfLarger = false;
    }
    ImageResult Run(const fs::path& source) const {
        return CompressImage(ImageJob{3, source, m_settings});
    }
    // A phone photo: rotated by its EXIF (orientation 6), with camera, date and GPS.
    fs::path PhonePhoto() const {
        const fs::path photo = test::MakeOrientedJpeg(m_dir / "phone.jpg", 320, 240, 6);
        const int status = test::RunProgram(
            {"exiftool", "-q", "-overwrite_original", "-Make=Brisklo Phone", "-Model=BP-1",
             "-DateTimeOriginal=2024:05:06 07:08:09", "-GPSLatitude=48.8583", "-GPSLatitudeRef=N",
             "-GPSLongitude=2.2944", "-GPSLongitudeRef=E", photo.string()});
        EXPECT_EQ(status, 0);
        EXPECT_EQ(ExifTag(photo, "Orientation"), "6");
        return photo;
    }

    TempDir m_dir;
    ImageJobSettings m_settings;
};

TEST_F(PhotoFitTest, DisplayP3PhotoKeepsItsColoursAfterItsProfileIsDropped) {
    const int width = 320;
    const int height = 240;
    const auto icc = DisplayP3Profile();
    const auto pixels = ColourBands(width, height);
    const fs::path source = m_dir / "p3.jpg";
    WriteJpeg(source, pixels, width, height, icc);

    const ImageResult result = Run(source);
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(ExifTag(result.outputPath, "ICC_Profile:ProfileDescription"), "");
    const auto expected = ToSrgb(pixels, icc);
    const auto output = ReadRgb(result.outputPath);
    ASSERT_EQ(output.size(), expected.size());
    EXPECT_GE(Ssim(expected, output, width, height), 0.95);
    // Read as sRGB without converting, the saturated bands would be visibly off.
    EXPECT_LT(MeanDifference(expected, output), 4.0);
    EXPECT_GT(MeanDifference(expected, pixels), 2 * MeanDifference(expected, output));
}

TEST_F(PhotoFitTest, PhotoInformationGoesByDefault) {
    const ImageResult result = Run(PhonePhoto());
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(ExifTag(result.outputPath, "Make"), "");
    EXPECT_EQ(ExifTag(result.outputPath, "GPSLatitude"), "");
    EXPECT_EQ(ExifTag(result.outputPath, "Orientation"), "");
}

TEST_F(PhotoFitTest, KeptPhotoInformationIsUprightAndHasNoPosition) {
    m_settings.options.photo.keepExif = true;
    const ImageResult result = Run(PhonePhoto());
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(ExifTag(result.outputPath, "Make"), "Brisklo Phone");
    EXPECT_EQ(ExifTag(result.outputPath, "DateTimeOriginal"), "2024:05:06 07:08:09");
    EXPECT_EQ(ExifTag(result.outputPath, "Orientation"), "1");
    EXPECT_EQ(ExifTag(result.outputPath, "GPSLatitude"), "");
    EXPECT_EQ(ExifTag(result.outputPath, "GPSLongitude"), "");
    // The pixels were turned: a 320x240 picture lying on its side is 240 wide.
    EXPECT_EQ(ExifTag(result.outputPath, "ImageWidth"), "240");
    // Not even the numbers stay in the file.
    const std::string bytes = test::ReadFile(result.outputPath);
    EXPECT_EQ(bytes.find("GPS"), std::string::npos);
}

TEST_F(PhotoFitTest, TheSecondSettingKeepsThePosition) {
    m_settings.options.photo = {true, true};
    const ImageResult result = Run(PhonePhoto());
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_NEAR(std::stod(ExifTag(result.outputPath, "GPSLatitude")), 48.8583, 1e-3);
    EXPECT_EQ(ExifTag(result.outputPath, "Orientation"), "1");
}

TEST_F(PhotoFitTest, JpegComesUnderTheLimitByALowerQuality) {
    const fs::path source = MakeGrainyPicture(m_dir / "big.jpg", "1600x1200");
    m_settings.options.targetBytes = 200 * 1024;
    const auto before = fs::file_size(source);
    const ImageResult result = Run(source);
    ASSERT_TRUE(result.ok) << result.reason;
    const auto size = fs::file_size(result.outputPath);
    EXPECT_LE(size, 200u * 1024) << "source " << before;
    // The highest quality that fits, not the lowest: well above a fifth of the limit.
    EXPECT_GT(size, 40u * 1024);
}

TEST_F(PhotoFitTest, ImageThatCannotFitFailsSayingWhy) {
    const fs::path source = MakeGrainyPicture(m_dir / "noise.png", "800x600");
    m_settings.options.targetBytes = 1024;
    const ImageResult result = Run(source);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find(source.string()), std::string::npos) << result.reason;
    EXPECT_NE(result.reason.find("cannot be made to fit into 1KB"), std::string::npos)
        << result.reason;
    EXPECT_NE(result.reason.find("lowest number of colours"), std::string::npos) << result.reason;
    EXPECT_TRUE(fs::is_empty(m_dir / "out"));
}

TEST(MinSavingTest, SourceIsWorthMoreThanAnOutputThatSavesTooLittle) {
    EXPECT_TRUE(SavesTooLittle(1000, 1000, 0));
    EXPECT_FALSE(SavesTooLittle(1000, 999, 0));
    EXPECT_TRUE(SavesTooLittle(1000, 951, 5));
    EXPECT_FALSE(SavesTooLittle(1000, 950, 5));
    EXPECT_FALSE(SavesTooLittle(0, 10, 5));
}

TEST(MinSavingTest, OutputSavingTooLittleLeavesACopyOfTheSource) {
    TempDir dir;
    const fs::path source = dir / "a.bin";
    test::WriteFile(source, std::string(1000, 's'));
    PendingOutput output = test::PendingWith(dir.path(), std::string(960, 'o'));
    auto kept = FinishOutput(output, {source, "a", "bin", true, 5});
    ASSERT_TRUE(kept) << kept.error().message;
    EXPECT_TRUE(kept.value().keptOriginal);
    EXPECT_EQ(test::ReadFile(kept.value().path), std::string(1000, 's'));

    PendingOutput enough = test::PendingWith(dir.path(), std::string(940, 'o'));
    auto placed = FinishOutput(enough, {source, "b", "bin", true, 5});
    ASSERT_TRUE(placed) << placed.error().message;
    EXPECT_FALSE(placed.value().keptOriginal);
}

}  // namespace
}  // namespace brisklo
