// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "core/ini_text.h"
#include "core/option_tables.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

TEST(IniText, HandEditedFilesReadAsProfileFunctionsReadThem) {
    const std::string text =
        "\xEF\xBB\xBF; comment line\r\n"
        "junk without equals\r\n"
        "[ GLOBAL ]\r\n"
        "  Compress-Type =  abc \r\n"
        "video-type=3\r\n"
        "video-type=1\r\n"
        "output-dir = \"/home/x/My Videos\"\r\n"
        "=orphan\r\n"
        "[other]\r\n"
        "audio-channel=1\r\n";
    EXPECT_EQ(FindIniValue(text, "global", "compress-type"), "abc");
    EXPECT_EQ(FindIniValue(text, "global", "video-type"), "3");  // the first one wins
    EXPECT_EQ(FindIniValue(text, "global", "output-dir"), "/home/x/My Videos");
    EXPECT_EQ(FindIniValue(text, "global", "audio-channel"), std::nullopt);
    EXPECT_EQ(FindIniValue(text, "other", "audio-channel"), "1");
    EXPECT_EQ(FindIniValue(text, "missing", "video-type"), std::nullopt);
    EXPECT_EQ(FindIniValue("video-type=2\n", "global", "video-type"), std::nullopt);
}

TEST(IniText, WritesReplaceInPlaceAndKeepEverythingElse) {
    const std::string text = "; mine\n[global]\nvideo-type=3\n\n[other]\nx=1\n";
    EXPECT_EQ(SetIniValue(text, "global", "VIDEO-TYPE", "1"),
              "; mine\n[global]\nVIDEO-TYPE=1\n\n[other]\nx=1\n");
    EXPECT_EQ(SetIniValue(text, "global", "compress-type", "2"),
              "; mine\n[global]\nvideo-type=3\ncompress-type=2\n\n[other]\nx=1\n");
    EXPECT_EQ(SetIniValue("", "global", "window-close", "1"), "[global]\nwindow-close=1\n");
    EXPECT_EQ(SetIniValue("[other]\nx=1", "global", "k", "v"), "[other]\nx=1\n[global]\nk=v\n");
    // A mark at the start is kept; a second one makes its line no section header,
    // before and after the write.
    const std::string marked = "\xEF\xBB\xBF\xEF\xBB\xBF[g]\nx=1\n";
    const std::string written = SetIniValue(marked, "g", "k", "v");
    EXPECT_EQ(written, marked + "[g]\nk=v\n");
    EXPECT_EQ(FindIniValue(written, "g", "k"), "v");
}

class ConfigStoreTest : public ::testing::Test {
  protected:
    TempDir dir;
    ConfigStore store{dir / "Config" / "configure.ini"};
};

TEST_F(ConfigStoreTest, FreshProfileGivesTheDefaults) {
    EXPECT_EQ(store.Get(Setting::AudioChannel), 2);
    EXPECT_EQ(store.Get(Setting::AudioSampleRate), 44100);
    EXPECT_EQ(store.Get(Setting::AudioBitrate), 128000);
    EXPECT_EQ(store.Get(Setting::AudioChannelIndex), 0);
    EXPECT_EQ(store.Get(Setting::AudioSampleRateIndex), 4);
    EXPECT_EQ(store.Get(Setting::AudioBitrateIndex), 1);
    EXPECT_EQ(store.Get(Setting::WindowClose), 0);
    EXPECT_EQ(store.GetText(Setting::OutputDir), "");
    EXPECT_EQ(store.GetText(Setting::ServiceUrl), kDefaultServiceUrl);
    EXPECT_EQ(kSampleRates[kDefaultSampleRateIndex], 44100);
    EXPECT_EQ(kAudioBitrates[kDefaultAudioBitrateIndex], 128000);
    EXPECT_FALSE(fs::exists(store.path()));  // created by the first write only
}

TEST_F(ConfigStoreTest, WritesAreReadBackAndNonNumbersReadAsZero) {
    ASSERT_TRUE(store.Set(Setting::VideoRatioIndex, 3));
    ASSERT_TRUE(store.Set(Setting::VideoRatioWidth, kResolutions[3].width));
    ASSERT_TRUE(store.Set(Setting::VideoRatioHeight, kResolutions[3].height));
    EXPECT_EQ(store.Get(Setting::VideoRatioWidth), 1024);
    EXPECT_EQ(store.Get(Setting::VideoRatioHeight), 600);
    EXPECT_EQ(test::ReadFile(store.path()),
              "[global]\nvideo-ratio-index=3\nvideo-ratio-width=1024\nvideo-ratio-height=600\n");

    ASSERT_TRUE(store.WriteString("global", "compress-type", "abc"));
    EXPECT_EQ(store.Get(Setting::CompressType), 0);
    ASSERT_TRUE(store.Set(Setting::OutputDir, "/srv/out 视频"));
    EXPECT_EQ(store.GetText(Setting::OutputDir), "/srv/out 视频");
    // A line break would corrupt the file: refused, the old value stays.
    EXPECT_FALSE(store.Set(Setting::OutputDir, "/a\n[global]\nwindow-close=1"));
    EXPECT_EQ(store.GetText(Setting::OutputDir), "/srv/out 视频");
    EXPECT_EQ(store.Get(Setting::WindowClose), 0);
}

TEST_F(ConfigStoreTest, ReadsAreNeverCached) {
    ConfigStore other(store.path());
    ASSERT_TRUE(store.Set(Setting::VideoType, 2));
    EXPECT_EQ(other.Get(Setting::VideoType), 2);
    test::WriteFile(store.path(), "[Global]\r\nvideo-type = 3\r\n");
    EXPECT_EQ(store.Get(Setting::VideoType), 3);
}

TEST(ConfigStore, UnwritableFolderGivesDefaultsAndNoCrash) {
    TempDir dir;
    test::WriteFile(dir / "blocker", "a file where the folder should be");
    ConfigStore store(dir / "blocker" / "Config" / "configure.ini");
    EXPECT_FALSE(store.Set(Setting::CompressType, 2));
    EXPECT_EQ(store.Get(Setting::CompressType), 0);
    EXPECT_EQ(store.Get(Setting::AudioSampleRate), 44100);
}

TEST_F(ConfigStoreTest, ConcurrentWritersOfDifferentKeysLoseNothing) {
    constexpr int kWrites = 40;
    auto hammer = [&](const std::string& prefix) {
        ConfigStore mine(store.path());
        for (int i = 0; i < kWrites; ++i) {
            ASSERT_TRUE(mine.WriteString("global", prefix + std::to_string(i), std::to_string(i)));
        }
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ConfigStore mine(store.path());
        bool ok = true;
        for (int i = 0; i < kWrites; ++i) {
            ok =
                mine.WriteString("global", "process-" + std::to_string(i), std::to_string(i)) && ok;
        }
        ::_exit(ok ? 0 : 1);
    }
    std::thread a(hammer, "thread-a-");
    std::thread b(hammer, "thread-b-");
    a.join();
    b.join();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    for (const std::string prefix : {"thread-a-", "thread-b-", "process-"}) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_EQ(store.GetInt("global", prefix + std::to_string(i), -1), i) << prefix << i;
        }
    }
    // No temporary file is left beside the settings.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(store.path().parent_path())) {
        files += entry.path().filename() != "configure.ini.lock";
    }
    EXPECT_EQ(files, 1);
}

TEST_F(ConfigStoreTest, OutputFolderRules) {
    ScopedEnv home("HOME", dir.path().string());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "cfg").string());

    // No Documents folder: the Desktop, then the home folder.
    fs::create_directories(dir / "Desktop");
    EXPECT_EQ(store.GetOutputFolder(), dir / "Desktop" / "BRK视频压缩");
    fs::create_directories(dir / "Documents");
    const fs::path documents = store.GetOutputFolder();
    EXPECT_EQ(documents, dir / "Documents" / "BRK视频压缩");
    EXPECT_TRUE(fs::is_directory(documents));

    ASSERT_TRUE(store.Set(Setting::OutputDir, (dir / "chosen" / "deep").string()));
    EXPECT_EQ(store.GetOutputFolder(), dir / "chosen" / "deep");
    fs::remove_all(dir / "chosen");
    EXPECT_TRUE(fs::is_directory(store.GetOutputFolder()));  // made again
}

}  // namespace
}  // namespace brisklo
