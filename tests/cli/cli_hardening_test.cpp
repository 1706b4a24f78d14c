// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "cli_process.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ParseJson;
using test::RunCli;
using test::TempDir;

bool ProcessGone(pid_t pid) {
    if (::kill(pid, 0) != 0) return true;
    // A zombie waiting for its reaper has ended too.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    stat >> pidText >> name >> state;
    return state == "Z" || state == "X";
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class CliHardeningTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "data");
        data = std::make_unique<test::ScopedEnv>("XDG_DATA_HOME", (dir / "data").string());
    }
    // An ffmpeg on PATH that writes its pid, starts the output and then hangs.
    std::unique_ptr<test::ScopedEnv> HangingEncoder() {
        fs::create_directories(dir / "bin");
        test::WriteFile(dir / "bin" / "ffmpeg",
                        "#!/bin/bash\nout=\"${@: -1}\"\necho $$ > \"" +
                            (dir / "encoder.pid").string() +
                            "\"\nprintf '  Duration: 00:01:00.00, start: 0\\n' >&2\n"
                            "printf 'partial' > \"$out\"\nexec sleep 60\n");
        fs::permissions(dir / "bin" / "ffmpeg", fs::perms::owner_all);
        return std::make_unique<test::ScopedEnv>(
            "PATH", (dir / "bin").string() + ":" + std::getenv("PATH"));
    }
    TempDir dir;
    std::unique_ptr<test::ScopedEnv> data;
};

TEST_F(CliHardeningTest, HungEncoderEndsAfterTheStallTimeAndTheQueueGoesOn) {
    test::MakeClip(dir / "a.mp4", 1.0);
    test::MakeClip(dir / "b.mp4", 1.0);
    const auto path = HangingEncoder();
    const auto start = std::chrono::steady_clock::now();
    const auto result = RunCli({"--json", "--stall-timeout", "1", "-o", (dir / "out").string(),
                                (dir / "a.mp4").string(), (dir / "b.mp4").string()},
                               dir.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_EQ(result.status, 1) << result.err;
    const Json::Value root = ParseJson(result.out);
    ASSERT_EQ(root["results"].size(), 2u);
    for (const Json::Value& item : root["results"]) {
        EXPECT_EQ(item["error"].asString(), "the encoder stopped responding for 1 s");
        EXPECT_TRUE(item["warning"].isNull());
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));
    EXPECT_EQ(RunCli({"--stall-timeout", "-1", "x"}, dir.path()).status, 2);
}

TEST_F(CliHardeningTest, KilledOutrightTheEncoderDiesAndTheNextStartClearsTheLeftovers) {
    test::MakeClip(dir / "a.mp4", 1.0);
    ASSERT_EQ(
        test::RunProgram({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "color=c=red:s=8000x6000",
                          "-frames:v", "1", (dir / "huge.png").string()}),
        0);
    const auto path = HangingEncoder();
    test::CliProcess cli(
        {"-o", (dir / "out").string(), (dir / "a.mp4").string(), (dir / "huge.png").string()},
        dir.path());
    const fs::path runFolder =
        dir / "data" / "Brisklo" / "Temp" / ("cli-" + std::to_string(cli.pid()) + "-0");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(dir / "encoder.pid"); }, 20s));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(runFolder); }, 20s));
    pid_t encoder = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            encoder = std::atoi(test::ReadFile(dir / "encoder.pid").c_str());
            return encoder > 0;
        },
        5s));
    const fs::path stale = dir / "data" / "Brisklo" / "Config" / "configure.ini.Xy12Ab";
    fs::create_directories(stale.parent_path());
    test::WriteFile(stale, "[global]\n");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - 2h);

    ::kill(cli.pid(), SIGKILL);
    EXPECT_EQ(cli.Wait().status, 128 + SIGKILL);
    EXPECT_TRUE(WaitUntil([&] { return ProcessGone(encoder); }, 5s)) << "encoder left running";
    EXPECT_TRUE(fs::exists(runFolder));

    RunCli({(dir / "nothing-here.mp4").string()}, dir.path());
    EXPECT_FALSE(fs::exists(runFolder));
    EXPECT_FALSE(fs::exists(stale));
}

TEST_F(CliHardeningTest, FileSizeLimitFailsTheTaskAndTheRunStillReports) {
    test::MakePicture(dir / "big.png", "1200x900");
    test::MakePicture(dir / "small.png", "16x16");
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit limited = before;
    limited.rlim_cur = 8 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    test::CliProcess cli({"--json", "--image-level", "general", "-o", (dir / "out").string(),
                          (dir / "big.png").string(), (dir / "small.png").string()},
                         dir.path());
    ::setrlimit(RLIMIT_FSIZE, &before);
    const auto result = cli.Wait();
    EXPECT_EQ(result.status, 1) << result.err;
    const Json::Value root = ParseJson(result.out);
    ASSERT_EQ(root["results"].size(), 2u) << result.out;
    EXPECT_EQ(root["failed"].asInt(), 1);
    for (const Json::Value& item : root["results"]) {
        if (item["source"].asString().ends_with("big.png")) {
            EXPECT_NE(item["error"].asString().find("File too large"), std::string::npos)
                << item["error"].asString();
        } else {
            EXPECT_TRUE(item["ok"].asBool()) << item["error"].asString();
        }
    }
    EXPECT_FALSE(fs::exists(dir / "out" / "big.png"));
    EXPECT_NE(result.err.find("2 tasks: 1 succeeded, 1 failed"), std::string::npos) << result.err;
}

TEST_F(CliHardeningTest, SettingsFileThatIsAFifoGivesDefaultsAtOnce) {
    const fs::path config = dir / "data" / "Brisklo" / "Config";
    fs::create_directories(config);
    ASSERT_EQ(::mkfifo((config / "configure.ini").c_str(), 0600), 0);
    test::MakePicture(dir / "p.png", "64x48");
    const auto start = std::chrono::steady_clock::now();
    const auto result =
        RunCli({"--json", "-o", (dir / "out").string(), (dir / "p.png").string()}, dir.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("is not a regular file; using the default settings"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(fs::is_fifo(config / "configure.ini"));
}

}  // namespace
}  // namespace brisklo
