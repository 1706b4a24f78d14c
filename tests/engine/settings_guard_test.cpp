// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <future>

#include "core/config_store.h"
#include "core/ini_text.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

// Reads a value on another thread, so that a hang fails the test instead of holding it.
std::optional<std::int32_t> ReadWithin(const ConfigStore& store, std::chrono::seconds limit) {
    auto value = std::async(std::launch::async, [&] { return store.Get(Setting::AudioChannel); });
    if (value.wait_for(limit) != std::future_status::ready) {
        std::abort();  // a blocked read cannot be cancelled; end the run loudly
    }
    return value.get();
}

TEST(SettingsFileGuard, SpecialOrHugeFilesGiveDefaultsAndAreNeverReplaced) {
    TempDir dir;
    const fs::path fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path toZero = dir / "zero.ini";
    fs::create_symlink("/dev/zero", toZero);
    const fs::path huge = dir / "huge.ini";
    test::WriteFile(huge, "[global]\naudio-channel=1\n" + std::string(2 << 20, '#'));

    const std::int32_t fallback = Describe(Setting::AudioChannel).defaultInt;
    for (const fs::path& file : {fifo, toZero, huge}) {
        SCOPED_TRACE(file.filename().string());
        ConfigStore store(file);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ReadWithin(store, 5s), fallback);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_EQ(store.Snapshot()->Get(Setting::AudioChannel), fallback);
        EXPECT_FALSE(store.Set(Setting::AudioChannel, 1));
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(toZero));
    EXPECT_EQ(fs::file_size(huge), 2u * (1 << 20) + 25);
}

TEST(SettingsFileGuard, SnapshotReadsLikeSingleReadsAndKeepsItsMoment) {
    TempDir dir;
    // A link to a regular file is fine.
    test::WriteFile(dir / "real.ini",
                    "\xEF\xBB\xBF[Other]\naudio-channel=7\n[GLOBAL]\r\n Audio-Channel = 1 \r\n"
                    "audio-channel=2\nvideo-type=3x\noutput-dir=\"/tmp/out\"\n");
    fs::create_symlink(dir / "real.ini", dir / "link.ini");
    ConfigStore store(dir / "link.ini");
    const auto snapshot = store.Snapshot();
    for (Setting setting : {Setting::AudioChannel, Setting::VideoType, Setting::CompressType,
                            Setting::EncoderStallSeconds}) {
        EXPECT_EQ(snapshot->Get(setting), store.Get(setting));
    }
    EXPECT_EQ(snapshot->Get(Setting::AudioChannel), 1);
    EXPECT_EQ(snapshot->Get(Setting::VideoType), 3);
    EXPECT_EQ(snapshot->Get(Setting::EncoderStallSeconds), 120);
    EXPECT_EQ(snapshot->GetText(Setting::OutputDir), store.GetText(Setting::OutputDir));
    EXPECT_EQ(snapshot->GetText(Setting::OutputDir), "/tmp/out");

    ASSERT_TRUE(store.Set(Setting::AudioChannel, 2));
    EXPECT_EQ(store.Get(Setting::AudioChannel), 2);
    EXPECT_EQ(snapshot->Get(Setting::AudioChannel), 1);  // taken before the write

    SettingsOverlay overlay(store);
    overlay.Override(Setting::VideoType, 1);
    const auto frozen = overlay.Snapshot();
    ASSERT_TRUE(store.Set(Setting::AudioChannel, 1));
    EXPECT_EQ(frozen->Get(Setting::VideoType), 1);
    EXPECT_EQ(frozen->Get(Setting::AudioChannel), 2);
}

}  // namespace
}  // namespace brisklo
