// SPDX-License-Identifier: GPL-3.0-or-later
// What the command line makes of real files: pictures by their content whatever
// their names, a clean JSON stream, result lines apart from diagnostics, and a
// manual page that lists what --help lists. Real ffmpeg and Magick++ throughout.
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/stat.h>

#include <fstream>
#include <set>
#include <sstream>

#include "cli_process.h"
#include "test_support.h"

namespace brisklo {
namespace {
namespace fs = std::filesystem;
using test::ParseJson;
using test::RunCli;
using test::TempDir;

class CliRealFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir / "data");
        data = std::make_unique<test::ScopedEnv>("XDG_DATA_HOME", (dir / "data").string());
        // One JPEG under three names, a PNG and a text file that say they are JPEGs.
        fs::create_directories(in);
        const fs::path jpeg = test::MakePicture(dir / "photo.jpg", "320x240");
        for (const char* name : {"a.jpeg", "b.JPE", "c.Jpg"}) fs::copy_file(jpeg, in / name);
        fs::copy_file(test::MakePicture(dir / "picture.png", "160x120"), in / "x.jpg");
        test::WriteFile(in / "y.jpg", "a note, not a picture\n");
    }

    // Outputs the encoder made: there must be none for pictures.
    std::vector<fs::path> VideoOutputs() const {
        std::vector<fs::path> found;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(out, error)) {
            if (entry.path().extension() == ".mp4") found.push_back(entry.path());
        }
        return found;
    }

    TempDir dir;
    fs::path in = dir / "in";
    fs::path out = dir / "out";
    std::unique_ptr<test::ScopedEnv> data;
};

TEST_F(CliRealFilesTest, NamedFilesGoToTheSideTheirContentSaysOrAreRefused) {
    std::vector<std::string> args = {"--json", "--allow-larger", "-o", out.string()};
    for (const char* name : {"a.jpeg", "b.JPE", "c.Jpg", "x.jpg", "y.jpg"}) {
        args.push_back((in / name).string());
    }
    const auto result = RunCli(args, dir.path());
    EXPECT_EQ(result.status, 1) << result.err;
    const Json::Value root = ParseJson(result.out);
    ASSERT_EQ(root["results"].size(), 5u) << result.out;
    std::map<std::string, Json::Value> bySource;
    for (const Json::Value& item : root["results"]) {
        bySource[fs::path(item["source"].asString()).filename().string()] = item;
    }
    for (const char* name : {"a.jpeg", "b.JPE", "c.Jpg", "x.jpg"}) {
        const Json::Value& item = bySource[name];
        EXPECT_EQ(item["kind"].asString(), "image") << name;
        EXPECT_TRUE(item["ok"].asBool()) << name << ": " << item["error"].asString();
    }
    // The JPEGs keep their own extensions; the PNG comes out as what it is.
    EXPECT_EQ(bySource["a.jpeg"]["output"].asString(), (out / "a.jpeg").string());
    EXPECT_EQ(bySource["b.JPE"]["output"].asString(), (out / "b.JPE").string());
    EXPECT_EQ(bySource["x.jpg"]["output"].asString(), (out / "x.png").string());
    const Json::Value& text = bySource["y.jpg"];
    EXPECT_FALSE(text["ok"].asBool());
    EXPECT_EQ(text["state"].asString(), "failed");
    EXPECT_TRUE(text["kind"].isNull());
    EXPECT_NE(text["error"].asString().find("y.jpg: not a video or image"), std::string::npos)
        << text["error"].asString();
    EXPECT_EQ(root["succeeded"].asInt(), 4);
    EXPECT_EQ(root["failed"].asInt(), 1);
    EXPECT_TRUE(VideoOutputs().empty());
}

TEST_F(CliRealFilesTest, AFolderTakesEveryJpegSpellingAndSendsNoPictureToTheEncoder) {
    // A picture with a video's name is still a picture.
    fs::copy_file(in / "a.jpeg", in / "still.MP4");
    const auto result =
        RunCli({"--json", "--allow-larger", "-o", out.string(), in.string()}, dir.path());
    EXPECT_EQ(result.status, 1) << result.err;
    const Json::Value root = ParseJson(result.out);
    ASSERT_EQ(root["results"].size(), 6u) << result.out;
    for (const Json::Value& item : root["results"]) {
        const std::string name = fs::path(item["source"].asString()).filename().string();
        EXPECT_EQ(item["kind"].asString(), "image") << name;
        // The text file is refused by the image side, naming it.
        EXPECT_EQ(item["ok"].asBool(), name != "y.jpg") << name << ": " << item["error"];
        if (name == "y.jpg") {
            EXPECT_NE(item["error"].asString().find("y.jpg"), std::string::npos);
        }
    }
    EXPECT_TRUE(fs::exists(out / "still.jpg"));
    EXPECT_TRUE(VideoOutputs().empty());
}

// --json: standard output is the JSON document alone, whatever is said before
// (a settings file that is a FIFO) or during the run (-v), and every path named
// is in it, a missing one too.
TEST_F(CliRealFilesTest, JsonOutputIsOnlyTheDocumentAndNamesEveryPath) {
    const fs::path config = dir / "data" / "Brisklo" / "Config";
    fs::create_directories(config);
    ASSERT_EQ(::mkfifo((config / "configure.ini").c_str(), 0600), 0);
    const std::vector<std::string> named = {(in / "a.jpeg").string(), (dir / "gone.mp4").string(),
                                            (in / "y.jpg").string()};
    for (const bool verbose : {false, true}) {
        std::vector<std::string> args = {"--json", "-o", out.string()};
        if (verbose) args.push_back("-v");
        args.insert(args.end(), named.begin(), named.end());
        const auto result = RunCli(args, dir.path());
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_NE(result.err.find("is not a regular file"), std::string::npos) << result.err;
        // Python's parser is strict about anything around the document.
        test::WriteFile(dir / "out.json", result.out);
        std::string parsed;
        ASSERT_EQ(test::RunProgram({"python3", "-c",
                                    "import json,sys\n"
                                    "d = json.loads(open(sys.argv[1]).read())\n"
                                    "print(d['failed'])\n"
                                    "for r in d['results']: print(r['source'], r['ok'])\n",
                                    (dir / "out.json").string()},
                                   &parsed),
                  0)
            << parsed << "\n---\n"
            << result.out;
        // The refused paths first, in the order named, then the tasks.
        EXPECT_EQ(parsed,
                  "2\n" + named[1] + " False\n" + named[2] + " False\n" + named[0] + " True\n");
    }
}

TEST_F(CliRealFilesTest, ResultsGoToStandardOutputAndDiagnosticsToStandardError) {
    const auto one = RunCli({"-o", out.string(), (in / "c.Jpg").string()}, dir.path());
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.out.find("c.Jpg -> " + out.string()), std::string::npos) << one.out;
    EXPECT_NE(one.out.find("1 task: 1 succeeded, 0 failed"), std::string::npos) << one.out;
    EXPECT_EQ(one.err, "");

    // -q leaves out the progress only: failures and the summary stay.
    const auto quiet = RunCli(
        {"-q", "-o", out.string(), (in / "c.Jpg").string(), (in / "y.jpg").string()}, dir.path());
    EXPECT_EQ(quiet.status, 1);
    EXPECT_NE(quiet.out.find("failed  -"), std::string::npos) << quiet.out;
    EXPECT_NE(quiet.out.find("y.jpg: not a video or image"), std::string::npos) << quiet.out;
    EXPECT_NE(quiet.out.find("2 tasks: 1 succeeded, 1 failed"), std::string::npos) << quiet.out;

    // Diagnostics (-v) never mix with the results.
    const auto verbose = RunCli({"-v", "-o", out.string(), (in / "b.JPE").string()}, dir.path());
    ASSERT_EQ(verbose.status, 0) << verbose.err;
    EXPECT_FALSE(verbose.err.empty());
    std::istringstream lines(verbose.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(line.starts_with("done ") || line.starts_with("kept ") ||
                    line.starts_with("1 task:"))
            << line;
    }
}

TEST(CliManual, ListsEveryOptionOfTheHelpEveryResultWordAndEveryJsonField) {
    TempDir dir;
    const auto help = RunCli({"--help"}, dir.path());
    ASSERT_EQ(help.status, 0);
    std::ifstream file(std::string(BRISKLO_MAN_DIR) + "/brisklo-cli.1");
    const std::string man((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(man.empty());
    // Every "-x" or "--name" that starts a line or follows a space or a comma.
    std::set<std::string> options;
    const std::string& text = help.out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool starts =
            at == 0 || text[at - 1] == ' ' || text[at - 1] == ',' || text[at - 1] == '\n';
        if (!starts || text[at] != '-') continue;
        std::size_t end = at + (text.compare(at, 2, "--") == 0 ? 2 : 1);
        if (end >= text.size() || text[end] < 'a' || text[end] > 'z') continue;
        while (end < text.size() && ((text[end] >= 'a' && text[end] <= 'z') || text[end] == '-')) {
            ++end;
        }
        options.insert(text.substr(at, end - at));
    }
    ASSERT_GE(options.size(), 20u);
    for (const std::string& name : options) {
        // roff writes the leading dashes as "\-".
        const std::size_t dashes = name.starts_with("--") ? 2 : 1;
        std::string escaped;
        for (std::size_t i = 0; i < dashes; ++i) escaped += "\\-";
        escaped += name.substr(dashes);
        EXPECT_NE(man.find("\\fB" + escaped + "\\fR"), std::string::npos) << name;
    }
    for (const char* word : {"done", "kept", "grew", "failed", "stopped"}) {
        EXPECT_NE(man.find(".B " + std::string(word) + "\n"), std::string::npos) << word;
    }
    const auto json = man.find(".SH JSON");
    ASSERT_NE(json, std::string::npos);
    const std::string section = man.substr(json, man.find(".SH", json + 1) - json);
    for (const char* field :
         {"results",    "source",     "kind",    "state",    "ok",        "output",
          "sourceSize", "outputSize", "saving",  "error",    "warning",   "keptOriginal",
          "grew",       "succeeded",  "failed",  "stopped",  "cancelled", "totals",
          "tasks",      "finished",   "bytesIn", "bytesOut", "saved",     "savedPercent"}) {
        const std::string name = field;
        EXPECT_TRUE(section.find("\\fB" + name + "\\fR") != std::string::npos ||
                    section.find(".B " + name + "\n") != std::string::npos ||
                    section.find(".BR " + name + " ") != std::string::npos ||
                    section.find(" " + name + " ") != std::string::npos)
            << field;
    }
}

}  // namespace
}  // namespace brisklo
