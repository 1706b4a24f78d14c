// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's promises about its outputs: never larger than the source
// unless allowed, never visible before complete, never overwritten, dated like
// their sources. Real ffmpeg and real Magick++ throughout.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <thread>

#include "cli_process.h"
#include "core/pending_output.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ParseJson;
using test::RunCli;
using test::TempDir;

void Ffmpeg(std::vector<std::string> args) {
    args.insert(args.begin(), {"ffmpeg", "-v", "error", "-y"});
    std::string output;
    ASSERT_EQ(test::RunProgram(args, &output), 0) << output;
}

// A clip already smaller than any re-encode at the default audio rate can be.
fs::path MakeTinyClip(const fs::path& path) {
    Ffmpeg({"-f",   "lavfi",   "-i",        "testsrc=size=64x48:rate=5:duration=1",
            "-f",   "lavfi",   "-i",        "sine=sample_rate=8000:duration=1",
            "-c:v", "libx264", "-crf",      "45",
            "-c:a", "aac",     "-b:a",      "8k",
            "-ac",  "1",       "-shortest", path.string()});
    return path;
}

// A photo saved at the lowest JPEG quality: the general level (quality 80)
// can only make it larger.
fs::path MakeCoarseJpeg(const fs::path& path) {
    Ffmpeg(
        {"-f", "lavfi", "-i", "testsrc=s=320x240", "-frames:v", "1", "-q:v", "31", path.string()});
    return path;
}

void SetOldTime(const fs::path& path) {
    const timespec old{978'307'200, 0};  // 2001-01-01
    const timespec times[2] = {old, old};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::vector<std::string> VisibleNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with('.')) names.insert(name);
    }
    return {names.begin(), names.end()};
}

std::vector<fs::path> HiddenOutputs(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (IsPendingOutputName(it->path().filename().string())) found.push_back(it->path());
    }
    return found;
}

// Processes whose command line mentions text (an encoder left behind by a killed
// run goes on writing into its unlinked file); ended and waited for.
void KillProcessesMentioning(const std::string& text) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string cmdline;
        try {
            cmdline = test::ReadFile(entry.path() / "cmdline");
        } catch (...) {
            continue;
        }
        if (cmdline.find(text) == std::string::npos) continue;
        const pid_t pid = std::stoi(name);
        if (pid == ::getpid()) continue;
        ::kill(pid, SIGKILL);
        for (int i = 0; i < 500 && fs::exists(entry.path() / "cmdline"); ++i) {
            std::this_thread::sleep_for(10ms);
        }
    }
}

class CliOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "data");
        fs::create_directories(in);
        data = std::make_unique<test::ScopedEnv>("XDG_DATA_HOME", (dir / "data").string());
    }
    TempDir dir;
    fs::path in = dir / "in";
    fs::path out = dir / "out";
    std::unique_ptr<test::ScopedEnv> data;
};

TEST_F(CliOutputTest, OutputsThatDoNotPayKeepTheOriginalUnlessLargerIsAllowed) {
    MakeTinyClip(in / "tiny.mp4");
    MakeCoarseJpeg(in / "coarse.jpg");
    MakeCoarseJpeg(in / ".hidden.jpg");  // hidden names in a folder are not taken
    SetOldTime(in / "tiny.mp4");
    SetOldTime(in / "coarse.jpg");
    const auto sourceTime = fs::last_write_time(in / "tiny.mp4");

    const auto kept = RunCli({"--json", "-o", out.string(), in.string()}, dir.path());
    ASSERT_EQ(kept.status, 0) << kept.err;
    Json::Value root = ParseJson(kept.out);
    ASSERT_EQ(root["results"].size(), 2u) << kept.out;
    for (const Json::Value& item : root["results"]) {
        const fs::path source = item["source"].asString();
        EXPECT_TRUE(item["ok"].asBool()) << item["error"];
        EXPECT_TRUE(item["keptOriginal"].asBool()) << source;
        EXPECT_FALSE(item["grew"].asBool()) << source;
        // The copy, under the source's own name and extension, with its date.
        EXPECT_EQ(item["output"].asString(), (out / source.filename()).string());
        EXPECT_EQ(test::ReadFile(item["output"].asString()), test::ReadFile(source));
        EXPECT_EQ(item["outputSize"].asInt64(), item["sourceSize"].asInt64());
        EXPECT_EQ(item["saving"].asDouble(), 0.0);
        EXPECT_EQ(fs::last_write_time(item["output"].asString()), sourceTime);
    }
    EXPECT_NE(kept.err.find("kept    video"), std::string::npos) << kept.err;
    EXPECT_NE(kept.err.find("original kept"), std::string::npos);
    EXPECT_NE(kept.err.find("(saved 0.00%)"), std::string::npos) << kept.err;

    // Allowed to grow: the compressed outputs, larger, next to the copies.
    const auto grown =
        RunCli({"--json", "--allow-larger", "-o", out.string(), in.string()}, dir.path());
    ASSERT_EQ(grown.status, 0) << grown.err;
    root = ParseJson(grown.out);
    ASSERT_EQ(root["results"].size(), 2u);
    for (const Json::Value& item : root["results"]) {
        EXPECT_FALSE(item["keptOriginal"].asBool());
        EXPECT_TRUE(item["grew"].asBool());
        EXPECT_EQ(item["state"].asString(), "done");
        EXPECT_GT(item["outputSize"].asInt64(), item["sourceSize"].asInt64());
        EXPECT_LT(item["saving"].asDouble(), 0.0);
        EXPECT_EQ(fs::last_write_time(item["output"].asString()), sourceTime);
    }
    EXPECT_NE(grown.err.find("(saved -"), std::string::npos) << grown.err;
    EXPECT_EQ(VisibleNames(out),
              (std::vector<std::string>{"coarse(2).jpg", "coarse.jpg", "tiny(2).mp4", "tiny.mp4"}));
    EXPECT_TRUE(HiddenOutputs(out).empty());
}

// Another container, image format or size is what the user asked for: delivered
// even when larger, and marked; a recompression at the source's own size (asked
// for by number) still keeps the original.
TEST_F(CliOutputTest, ConversionsThatGrowAreDeliveredAndMarked) {
    MakeTinyClip(in / "tiny.mkv");
    Ffmpeg(
        {"-f", "lavfi", "-i", "color=c=red:s=16x16", "-frames:v", "1", (in / "dot.png").string()});

    const auto converted = RunCli({"--json", "--format", "flv", "--jpeg", "-o", out.string(),
                                   (in / "tiny.mkv").string(), (in / "dot.png").string()},
                                  dir.path());
    ASSERT_EQ(converted.status, 0) << converted.err;
    const Json::Value root = ParseJson(converted.out);
    ASSERT_EQ(root["results"].size(), 2u) << converted.out;
    for (const Json::Value& item : root["results"]) {
        EXPECT_TRUE(item["ok"].asBool()) << item["error"];
        EXPECT_EQ(item["state"].asString(), "done");
        EXPECT_FALSE(item["keptOriginal"].asBool());
        EXPECT_TRUE(item["grew"].asBool()) << item["source"];
        EXPECT_GT(item["outputSize"].asInt64(), item["sourceSize"].asInt64());
        EXPECT_LT(item["saving"].asDouble(), 0.0);
    }
    EXPECT_TRUE(fs::exists(out / "tiny.flv"));
    EXPECT_TRUE(fs::exists(out / "dot.jpg"));
    EXPECT_NE(converted.err.find("grew    video"), std::string::npos) << converted.err;
    EXPECT_NE(converted.err.find("grew    image"), std::string::npos) << converted.err;

    // The line starts with the word, on standard output without --json.
    const auto line = RunCli({"--jpeg", "-o", out.string(), (in / "dot.png").string()}, dir.path());
    ASSERT_EQ(line.status, 0) << line.err;
    EXPECT_TRUE(line.out.starts_with("grew    image")) << line.out;

    // The source's own container and size, named by number: a recompression.
    const auto same = RunCli({"--json", "--format", "mkv", "--size", "64x48", "-o", out.string(),
                              (in / "tiny.mkv").string()},
                             dir.path());
    ASSERT_EQ(same.status, 0) << same.err;
    const Json::Value kept = ParseJson(same.out)["results"][0];
    EXPECT_TRUE(kept["keptOriginal"].asBool()) << same.out;
    EXPECT_FALSE(kept["grew"].asBool());
    EXPECT_EQ(kept["output"].asString(), (out / "tiny.mkv").string());
}

TEST_F(CliOutputTest, KillNineLeavesNoVisibleFileAndTheNextRunCleansUp) {
    // Minutes of 720p that take no time to make: one picture repeated, copied.
    Ffmpeg({"-f", "lavfi", "-i", "color=c=navy:s=1280x720", "-frames:v", "1",
            (dir / "frame.png").string()});
    Ffmpeg({"-loop", "1", "-framerate", "25", "-t", "120", "-i", (dir / "frame.png").string(),
            "-c:v", "copy", (in / "long.mkv").string()});

    test::CliProcess cli({"-o", out.string(), (in / "long.mkv").string()}, dir.path());
    fs::path hidden;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (hidden.empty() && std::chrono::steady_clock::now() < deadline) {
        for (const fs::path& path : HiddenOutputs(out)) {
            std::error_code error;
            if (fs::file_size(path, error) > 0) hidden = path;
        }
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_FALSE(hidden.empty()) << "the encoder never started writing";
    ::kill(cli.pid(), SIGKILL);
    EXPECT_EQ(cli.Wait().status, 128 + SIGKILL);
    KillProcessesMentioning(hidden.string());

    // Only the hidden, unfinished file: nothing that looks like a result.
    EXPECT_TRUE(VisibleNames(out).empty());
    EXPECT_TRUE(fs::exists(hidden));

    // The next run removes it and takes the name the killed run never got.
    fs::create_directories(dir / "next");
    MakeTinyClip(dir / "next" / "long.mkv");
    const auto next =
        RunCli({"--allow-larger", "-o", out.string(), (dir / "next").string()}, dir.path());
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_FALSE(fs::exists(hidden));
    EXPECT_EQ(VisibleNames(out), (std::vector<std::string>{"long.mp4"}));
    EXPECT_TRUE(HiddenOutputs(out).empty());
}

TEST_F(CliOutputTest, TwoRunsIntoOneFolderAtOnceNeverOverwriteEachOther) {
    for (const char* name : {"a.png", "b.jpg", "c.bmp", "d.gif"}) {
        test::MakePicture(in / name, "320x240");
    }
    test::MakeClip(in / "clip.mp4", 2.0);
    fs::create_directories(dir / "run1");
    fs::create_directories(dir / "run2");
    test::CliProcess first({"--json", "-o", out.string(), in.string()}, dir / "run1");
    test::CliProcess second({"--json", "-o", out.string(), in.string()}, dir / "run2");
    const auto one = first.Wait();
    const auto two = second.Wait();
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(two.status, 0) << two.err;

    std::set<std::string> outputs;
    for (const auto* run : {&one, &two}) {
        const Json::Value root = ParseJson(run->out);
        ASSERT_EQ(root["results"].size(), 5u);
        for (const Json::Value& item : root["results"]) {
            const std::string output = item["output"].asString();
            EXPECT_TRUE(outputs.insert(output).second) << output << " written twice";
            EXPECT_EQ(static_cast<Json::Int64>(fs::file_size(output)), item["outputSize"].asInt64())
                << output;
        }
    }
    EXPECT_EQ(VisibleNames(out).size(), 10u);
    EXPECT_TRUE(HiddenOutputs(out).empty());
}

}  // namespace
}  // namespace brisklo
