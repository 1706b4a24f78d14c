// SPDX-License-Identifier: GPL-3.0-or-later
// Which list a file goes to: by its content when it is named, by its extension in
// any letter case when a folder is listed, a picture always to the images.
#include "batch/media_detect.h"

#include <gtest/gtest.h>

#include "core/folder_listing.h"
#include "core/media_kinds.h"
#include "core/task_outcome.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;

TEST(MediaKinds, ExtensionsInAnyLetterCaseAndEveryJpegSpelling) {
    for (const char* name : {"a.jpg", "a.JPG", "a.Jpg", "a.jpeg", "a.JPEG", "a.jpe", "a.JPE",
                             "a.jfif", "a.png", "a.Gif", "a.bMp"}) {
        EXPECT_EQ(KindByExtension(name), MediaKind::Image) << name;
    }
    for (const char* name : {"a.mp4", "a.Mp4", "a.MKV", "a.WebM"}) {
        EXPECT_EQ(KindByExtension(name), MediaKind::Video) << name;
    }
    for (const char* name : {"a.txt", "jpg", "a.", "a.jpgx", "a.tif"}) {
        EXPECT_EQ(KindByExtension(name), MediaKind::Unknown) << name;
    }
}

class MediaDetectTest : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(MediaDetectTest, ContentDecidesWhateverTheName) {
    const fs::path jpeg = test::MakePicture(dir / "photo.jpg", "64x48");
    fs::copy_file(jpeg, dir / "a.jpeg");
    fs::copy_file(jpeg, dir / "b.JPE");
    fs::copy_file(jpeg, dir / "still.mp4");
    fs::copy_file(test::MakePicture(dir / "p.png", "64x48"), dir / "x.jpg");
    fs::copy_file(test::MakeClip(dir / "clip.mp4", 0.5), dir / "clip.jpg");
    for (const char* name : {"a.jpeg", "b.JPE", "still.mp4", "x.jpg"}) {
        const auto kind = DetectMediaKind(dir / name);
        ASSERT_TRUE(kind) << kind.error().message;
        EXPECT_EQ(kind.value(), MediaKind::Image) << name;
    }
    const auto clip = DetectMediaKind(dir / "clip.jpg");
    ASSERT_TRUE(clip) << clip.error().message;
    EXPECT_EQ(clip.value(), MediaKind::Video);
}

TEST_F(MediaDetectTest, NeitherPictureNorMediaIsRefusedNamingTheFile) {
    test::WriteFile(dir / "y.jpg", "a note\n");
    test::WriteFile(dir / "notes.txt", "a note the text reader would show as a picture\n");
    test::WriteFile(dir / "empty.png", "");
    // A picture in a format that is not compressed is not a video either.
    test::MakePicture(dir / "scan.tiff", "64x48");
    fs::copy_file(dir / "scan.tiff", dir / "scan.jpg");
    fs::create_directories(dir / "folder.mp4");
    for (const char* name :
         {"y.jpg", "notes.txt", "empty.png", "scan.tiff", "scan.jpg", "gone.mp4", "folder.mp4"}) {
        const auto kind = DetectMediaKind(dir / name);
        ASSERT_FALSE(kind) << name;
        EXPECT_NE(kind.error().message.find((dir / name).string()), std::string::npos)
            << kind.error().message;
    }
}

TEST_F(MediaDetectTest, AListedFileChangesListsOnlyForAPicture) {
    fs::copy_file(test::MakePicture(dir / "p.png", "32x24"), dir / "pic.MOV");
    test::WriteFile(dir / "text.mp4", "x");
    test::WriteFile(dir / "text.JPEG", "x");
    EXPECT_EQ(KindOfListedFile(dir / "pic.MOV", MediaKind::Video), MediaKind::Image);
    EXPECT_EQ(KindOfListedFile(dir / "text.mp4", MediaKind::Video), MediaKind::Video);
    EXPECT_EQ(KindOfListedFile(dir / "text.JPEG", MediaKind::Image), MediaKind::Image);
    std::error_code error;
    const auto images = ListMediaFiles(dir.path(), MediaKind::Image, error);
    ASSERT_FALSE(error);
    ASSERT_EQ(images.size(), 2u);  // p.png and text.JPEG
    EXPECT_EQ(images[1].filename(), "text.JPEG");
}

TEST(TaskOutcomeGrowth, OnlyALargerOutputGrew) {
    test::TempDir dir;
    test::WriteFile(dir / "out", std::string(120, 'x'));
    EXPECT_TRUE(MeasureOutcome(100, dir / "out").grew);
    EXPECT_FALSE(MeasureOutcome(120, dir / "out").grew);
    EXPECT_FALSE(MeasureOutcome(200, dir / "out").grew);
    EXPECT_FALSE(MeasureOutcome(0, dir / "out").grew);
}

}  // namespace
}  // namespace brisklo
