// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QIcon>

#include "test_support.h"
#include "ui/app_identity.h"
#include "ui/skin.h"

namespace brisklo::ui {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

void MakeSkin(const fs::path& folder) {
    fs::create_directories(folder);
    test::WriteFile(folder / "res.xml", "<res/>");
}

// A prefix laid out like an installed tree: <prefix>/bin and <prefix>/share.
class SkinLookupTest : public ::testing::Test {
  protected:
    SkinLookupTest() { fs::create_directories(bin); }
    test::TempDir tree;
    fs::path bin = tree / "opt/brisklo/bin";
    fs::path beside = bin / "skin";
    fs::path installed = tree / "opt/brisklo/share/brisklo/skin";
};

TEST_F(SkinLookupTest, InstalledShareFolderIsFoundFromTheProgramsOwnFolder) {
    MakeSkin(installed);
    // A "skin" folder without the index beside the program is not a skin.
    fs::create_directories(beside);
    const auto found = FindSkinFolder(Q(bin));
    ASSERT_TRUE(found.ok()) << found.error().message;
    EXPECT_EQ(found.value(), Q(installed));
}

TEST_F(SkinLookupTest, SkinBesideTheProgramComesFirst) {
    MakeSkin(installed);
    MakeSkin(beside);
    const auto found = FindSkinFolder(Q(bin));
    ASSERT_TRUE(found.ok()) << found.error().message;
    EXPECT_EQ(found.value(), Q(beside));
}

TEST_F(SkinLookupTest, NoSkinIsAnErrorNamingEveryFolderTried) {
    const auto found = FindSkinFolder(Q(bin));
    ASSERT_FALSE(found.ok());
    const std::string& message = found.error().message;
    EXPECT_NE(message.find(beside.string()), std::string::npos) << message;
    EXPECT_NE(message.find(installed.string()), std::string::npos) << message;
    EXPECT_NE(message.find("res.xml"), std::string::npos) << message;
}

TEST(AppIdentityTest, IconIsBuiltInFromSmallToLarge) {
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16))) << sizes.size();
    EXPECT_TRUE(sizes.contains(QSize(256, 256))) << sizes.size();
    // Drawn, not blank: the middle of the tile is the accent blue, its corner clear.
    const QImage image = icon.pixmap(QSize(64, 64)).toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    const QRgb inside = image.pixel(7, 32);
    EXPECT_GT(qBlue(inside), 150);
    EXPECT_LT(qRed(inside), 120);
}

}  // namespace
}  // namespace brisklo::ui
