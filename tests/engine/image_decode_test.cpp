// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_decode.h"

#include <gtest/gtest.h>

#include "image_test_support.h"
#include "test_support.h"

namespace brisklo {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(ImageDecode, LibraryLimitsHoldEvenWithoutTheHeaderCheck) {
    // 12000 x 12000 passes the width and height limits but not the area limit.
    const auto frames = DecodeImage(Bytes(test::PngHeaderBytes(12000, 12000)), ImageFormat::Png,
                                    FrameSelection::All);
    ASSERT_FALSE(frames.ok());
    EXPECT_NE(frames.error().message.find("cannot decode"), std::string::npos)
        << frames.error().message;
}

TEST(ImageDecode, OnlyTheNamedDecoderReadsTheBytes) {
    test::TempDir dir;
    const auto png = Bytes(test::ReadFile(test::MakeGradientImage(dir / "a.png", 8, 8, "PNG")));
    ASSERT_TRUE(DecodeImage(png, ImageFormat::Png, FrameSelection::All).ok());
    // ImageMagick would recognise the PNG by itself; the JPEG decoder must refuse it.
    const auto asJpeg = DecodeImage(png, ImageFormat::Jpeg, FrameSelection::All);
    ASSERT_FALSE(asJpeg.ok());
    EXPECT_NE(asJpeg.error().message.find("Not a JPEG file"), std::string::npos)
        << asJpeg.error().message;
}

TEST(ImageDecode, FirstFrameOnly) {
    test::TempDir dir;
    const auto gif = Bytes(test::ReadFile(test::MakeAnimation(dir / "a.gif", 8, 8, {1, 1, 1, 1})));
    const auto first = DecodeImage(gif, ImageFormat::Gif, FrameSelection::First);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.value().size(), 1u);
    const auto all = DecodeImage(gif, ImageFormat::Gif, FrameSelection::All);
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all.value().size(), 4u);
}

}  // namespace
}  // namespace brisklo
