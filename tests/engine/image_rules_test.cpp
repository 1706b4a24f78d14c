// SPDX-License-Identifier: GPL-3.0-or-later
// The pure rules of image compression: target boxes, frame dropping, names,
// presets, savings and the custom size check.
#include <gtest/gtest.h>

#include <numeric>

#include "core/saving.h"
#include "image/gif_frames.h"
#include "image/image_geometry.h"
#include "image/image_naming.h"
#include "image/image_presets.h"
#include "image/image_size_check.h"

namespace brisklo {
namespace {

TEST(TargetBox, RatioStepBoundsWidthAndSixteenNinthsHeight) {
    EXPECT_EQ(TargetBox(1000, 750, 1, 0, 0, 0), (PixelSize{900, 1600}));
    EXPECT_EQ(TargetBox(1000, 2000, 1, 0, 0, 0), (PixelSize{900, 1600}));
    EXPECT_EQ(TargetBox(1000, 750, 5, 0, 0, 0), (PixelSize{500, 888}));
    // trunc(3 * 333 / 10) = 99, so 333 - 99.
    EXPECT_EQ(TargetBox(333, 10, 3, 0, 0, 0).width, 234);
}

TEST(TargetBox, FitKeepsAspectAndTheHeightBoundGovernsTallImages) {
    EXPECT_EQ(FitInside(1000, 750, TargetBox(1000, 750, 1, 0, 0, 0)), (PixelSize{900, 675}));
    EXPECT_EQ(FitInside(1000, 2000, TargetBox(1000, 2000, 1, 0, 0, 0)), (PixelSize{800, 1600}));
    EXPECT_EQ(FitInside(1000, 750, TargetBox(1000, 750, 5, 0, 0, 0)), (PixelSize{500, 375}));
}

TEST(TargetBox, OtherStepsKeepTheSize) {
    for (int step : {0, 6, -1, 100}) {
        EXPECT_EQ(TargetBox(640, 480, step, 0, 0, 0), (PixelSize{640, 480})) << step;
    }
}

TEST(TargetBox, CustomSizeNeedsBothFieldsAndTheOption) {
    EXPECT_EQ(TargetBox(1000, 750, 1, 1, 300, 200), (PixelSize{300, 200}));
    // Width 0 (an empty or non-numeric field) falls back to the ratio rule.
    EXPECT_EQ(TargetBox(1000, 750, 1, 1, 0, 200), (PixelSize{900, 1600}));
    EXPECT_EQ(TargetBox(1000, 750, 0, 1, 300, 0), (PixelSize{1000, 750}));
    EXPECT_EQ(TargetBox(1000, 750, 0, 1, -5, 300), (PixelSize{1000, 750}));
    EXPECT_EQ(TargetBox(1000, 750, 0, 0, 300, 200), (PixelSize{1000, 750}));
}

TEST(GifFrames, DropIndexZeroDropsEverySixthFrame) {
    const auto kept = KeptFrames(10, 0);
    EXPECT_EQ(kept.size(), 8u);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), 0), 0);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), 6), 0);
}

TEST(GifFrames, DropIndexFourKeepsTheOddFrames) {
    EXPECT_EQ(KeptFrames(10, 4), (std::vector<std::size_t>{1, 3, 5, 7, 9}));
}

TEST(GifFrames, EveryIndexDropsItsMultiples) {
    for (int index = 0; index <= 4; ++index) {
        const std::size_t every = static_cast<std::size_t>(6 - index);
        const auto kept = KeptFrames(30, index);
        for (std::size_t frame = 0; frame < 30; ++frame) {
            const bool isKept = std::find(kept.begin(), kept.end(), frame) != kept.end();
            EXPECT_EQ(isKept, frame % every != 0) << "index " << index << " frame " << frame;
        }
    }
}

TEST(GifFrames, SingleFrameAndUnknownIndexKeepNothing) {
    EXPECT_TRUE(KeptFrames(1, 0).empty());
    EXPECT_TRUE(KeptFrames(10, 5).empty());
    EXPECT_TRUE(KeptFrames(10, -1).empty());
}

TEST(GifFrames, DroppedDelaysGoToTheKeptFrameBefore) {
    const std::vector<std::size_t> delays = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    const auto kept = KeptFrames(delays.size(), 4);
    const auto merged = MergedDelays(delays, kept);
    ASSERT_EQ(merged.size(), kept.size());
    // Frame 1 also gets frame 0 (nothing is kept before it) and frame 2.
    EXPECT_EQ(merged[0], delays[0] + delays[1] + delays[2]);
    EXPECT_EQ(merged[1], delays[3] + delays[4]);
    EXPECT_EQ(merged.back(), delays[9]);
    EXPECT_EQ(std::accumulate(merged.begin(), merged.end(), std::size_t{0}),
              std::accumulate(delays.begin(), delays.end(), std::size_t{0}));
}

TEST(GifFrames, MergedDelaysKeepTheLengthForEveryIndex) {
    std::vector<std::size_t> delays;
    for (std::size_t i = 0; i < 23; ++i) delays.push_back(3 + i * 7 % 11);
    const std::size_t total = std::accumulate(delays.begin(), delays.end(), std::size_t{0});
    for (int index = 0; index <= 4; ++index) {
        const auto merged = MergedDelays(delays, KeptFrames(delays.size(), index));
        EXPECT_EQ(std::accumulate(merged.begin(), merged.end(), std::size_t{0}), total) << index;
    }
}

TEST(ImageNaming, SplitsAtTheLastDotOfTheFileName) {
    const SourceName name = SplitSourceName("/some.folder/photo(5).tar.PNG");
    EXPECT_EQ(name.fileName, "photo(5).tar.PNG");
    EXPECT_EQ(name.baseName, "photo(5).tar");
    EXPECT_EQ(name.extension, "PNG");
    const SourceName bare = SplitSourceName("/some.folder/README");
    EXPECT_EQ(bare.baseName, "README");
    EXPECT_EQ(bare.extension, "");
}

TEST(ImageNaming, BranchByContentUnlessConverting) {
    EXPECT_EQ(ChooseImageBranch(ImageFormat::Jpeg, ImageOutput::KeepFormat), ImageBranch::Jpeg);
    EXPECT_EQ(ChooseImageBranch(ImageFormat::Png, ImageOutput::KeepFormat), ImageBranch::Png);
    EXPECT_EQ(ChooseImageBranch(ImageFormat::Bmp, ImageOutput::KeepFormat), ImageBranch::Bmp);
    EXPECT_EQ(ChooseImageBranch(ImageFormat::Gif, ImageOutput::KeepFormat), ImageBranch::Gif);
    EXPECT_EQ(ChooseImageBranch(ImageFormat::Gif, ImageOutput::Jpeg), ImageBranch::Jpeg);
    EXPECT_EQ(OutputFormat(ImageFormat::Png, ImageOutput::Jpeg), ImageFormat::Jpeg);
    EXPECT_EQ(OutputFormat(ImageFormat::Png, ImageOutput::KeepFormat), ImageFormat::Png);
}

TEST(ImageNaming, OutputExtensionKeepsTheSpellingThatNamesTheFormat) {
    using enum ImageFormat;
    EXPECT_EQ(OutputExtension("PNG", Png, ImageOutput::KeepFormat), "PNG");
    EXPECT_EQ(OutputExtension("PNG", Png, ImageOutput::Jpeg), "jpg");
    EXPECT_EQ(OutputExtension("jpg", Jpeg, ImageOutput::KeepFormat), "jpg");
    EXPECT_EQ(OutputExtension("JPG", Jpeg, ImageOutput::KeepFormat), "JPG");
    EXPECT_EQ(OutputExtension("jpeg", Jpeg, ImageOutput::Jpeg), "jpeg");
    EXPECT_EQ(OutputExtension("JPE", Jpeg, ImageOutput::KeepFormat), "JPE");
    EXPECT_EQ(OutputExtension("Jfif", Jpeg, ImageOutput::KeepFormat), "Jfif");
    // A name that says another format than the content: the content's own.
    EXPECT_EQ(OutputExtension("jpg", Png, ImageOutput::KeepFormat), "png");
    EXPECT_EQ(OutputExtension("mp4", Gif, ImageOutput::KeepFormat), "gif");
    EXPECT_EQ(OutputExtension("", Bmp, ImageOutput::KeepFormat), "bmp");
    EXPECT_TRUE(ExtensionNames("JpEg", Jpeg));
    EXPECT_FALSE(ExtensionNames("jpg", Png));
}

TEST(ImagePresets, TableValues) {
    using enum CompressionLevel;
    EXPECT_EQ(JpegQuality(General), 80u);
    EXPECT_EQ(JpegQuality(Deep), 65u);
    EXPECT_EQ(JpegQuality(Limit), 55u);
    EXPECT_EQ(PaletteColours(General), 256u);
    EXPECT_EQ(PaletteColours(Deep), 220u);
    EXPECT_EQ(PaletteColours(Limit), 200u);
    // Single precision, widened: the exact float values.
    EXPECT_EQ(GifColourFuzz(General), 2621.39990234375);
    EXPECT_EQ(GifColourFuzz(Deep), 5242.7998046875);
    EXPECT_EQ(GifColourFuzz(Limit), 7864.2001953125);
}

TEST(ImageSaving, PercentText) {
    const auto grown = ComputeSaving(100 * 1024, 120 * 1024);
    ASSERT_TRUE(grown.has_value());
    EXPECT_EQ(SavingText(*grown), "-20.00%");
    const auto shrunk = ComputeSaving(100 * 1024, 25 * 1024);
    EXPECT_EQ(SavingText(*shrunk), "75.00%");
    EXPECT_EQ(SavingText(*ComputeSaving(1000, 1123)), "-12.30%");
}

TEST(ImageSaving, UsesWholeSixtyFourBitSizes) {
    // 5 GB and 4 GB differ in their low 32 bits in a way that would give nonsense.
    const auto percent = ComputeSaving(5'000'000'000LL, 4'000'000'000LL);
    ASSERT_TRUE(percent.has_value());
    EXPECT_EQ(SavingText(*percent), "20.00%");
}

TEST(ImageSaving, NoFigureForAnEmptySource) {
    EXPECT_FALSE(ComputeSaving(0, 500).has_value());
    EXPECT_FALSE(ComputeSaving(-3, 500).has_value());
}

TEST(CustomSizeCheck, ProblemsInOrder) {
    EXPECT_EQ(CheckCustomSize({true, "", "10"}), SizeFieldProblem::EmptyWidth);
    EXPECT_EQ(CheckCustomSize({true, "12a", "10"}), SizeFieldProblem::WidthNotNumber);
    EXPECT_EQ(CheckCustomSize({true, "12", ""}), SizeFieldProblem::EmptyHeight);
    EXPECT_EQ(CheckCustomSize({true, "12", "1.5"}), SizeFieldProblem::HeightNotNumber);
    // Full-width digits are not ASCII digits.
    EXPECT_EQ(CheckCustomSize({true, "\xef\xbc\x91\xef\xbc\x92", "10"}),
              SizeFieldProblem::WidthNotNumber);
    EXPECT_EQ(CheckCustomSize({true, "-5", "10"}), SizeFieldProblem::WidthNotNumber);
    EXPECT_EQ(CheckCustomSize({true, "   ", "10"}), SizeFieldProblem::EmptyWidth);
    EXPECT_FALSE(CheckCustomSize({true, " 640 ", "480"}).has_value());
    EXPECT_FALSE(CheckCustomSize({false, "12a", ""}).has_value());
}

TEST(CustomSizeCheck, FieldValueAtDispatch) {
    EXPECT_EQ(SizeFieldValue("640"), 640);
    EXPECT_EQ(SizeFieldValue("12a"), 12);
    EXPECT_EQ(SizeFieldValue("abc"), 0);
    EXPECT_EQ(SizeFieldValue(""), 0);
    EXPECT_EQ(SizeFieldValue("-20"), 0);
    EXPECT_EQ(SizeFieldValue("99999999999"), 0);
}

}  // namespace
}  // namespace brisklo
