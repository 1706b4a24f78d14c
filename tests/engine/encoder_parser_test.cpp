// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "video/encode_records.h"
#include "video/encoder_progress_parser.h"

namespace brisklo {
namespace {
using Kind = EncoderProgressParser::EventKind;

std::vector<Kind> Kinds(const std::vector<EncoderProgressParser::Event>& events) {
    std::vector<Kind> kinds;
    for (const auto& event : events) kinds.push_back(event.kind);
    return kinds;
}

TEST(ParseClock, Clocks) {
    EXPECT_EQ(ParseClock("00:01:23.45"), 83450);
    EXPECT_EQ(ParseClock("01:00:00.00"), 3600000);
    EXPECT_EQ(ParseClock("00:00:10.00"), 10000);
    EXPECT_EQ(ParseClock("N/A, start:"), 0);
    EXPECT_EQ(ParseClock("00:02"), 120000);  // missing parts add nothing
    EXPECT_EQ(ParseClock(""), 0);
}

TEST(ProgressPercent, TruncatesAndNeverDividesByZero) {
    EXPECT_EQ(ProgressPercent(10000, 5000), 50);
    EXPECT_EQ(ProgressPercent(10000, 10000), 100);
    EXPECT_EQ(ProgressPercent(120000, 30000), 25);
    EXPECT_EQ(ProgressPercent(3000, 1000), 33);
    EXPECT_EQ(ProgressPercent(10000, 12000), 100);  // the last frame may pass the duration
    EXPECT_EQ(ProgressPercent(10000, -40), 0);
    EXPECT_EQ(ProgressPercent(0, 5000), std::nullopt);
}

TEST(EncoderProgressParser, DurationThenProgressThenSuccess) {
    EncoderProgressParser parser;
    auto events = parser.Feed(
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'in.mp4':\n"
        "  Duration: 00:00:10.00, start: 0.000000, bitrate: 9 kb/s\n");
    ASSERT_EQ(Kinds(events), std::vector<Kind>{Kind::Duration});
    EXPECT_EQ(events[0].ms, 10000);

    events = parser.Feed(
        "frame=   50 fps=0.0 q=28.0 size=  1kB time=00:00:05.00 bitrate=1k speed=9.5x    \r");
    ASSERT_EQ(Kinds(events), std::vector<Kind>{Kind::Progress});
    EXPECT_EQ(events[0].ms, 5000);
    EXPECT_EQ(parser.speed(), "9.5x");

    // One read with both the last status and the summary: progress comes first.
    events = parser.Feed(
        "frame=  100 fps=0.0 q=-1.0 Lsize=  2kB time=00:00:10.00 bitrate=1k speed=10x    \n"
        "video:1kB audio:1kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: "
        "3.1%\n");
    EXPECT_EQ(Kinds(events), (std::vector<Kind>{Kind::Progress, Kind::SuccessMarker}));
    EXPECT_EQ(parser.timeMs(), 10000);
    EXPECT_TRUE(parser.successSeen());
    EXPECT_FALSE(parser.failureSeen());
    EXPECT_FALSE(parser.writeErrorSeen());
}

TEST(EncoderProgressParser, MarkersCutByReadBoundariesAreFound) {
    EncoderProgressParser parser;
    EXPECT_TRUE(parser.Feed("  Durat").empty());
    EXPECT_TRUE(parser.Feed("ion: 00:00:1").empty());  // fewer than 11 clock characters yet
    EXPECT_EQ(Kinds(parser.Feed("0.00, start: 0\n")), std::vector<Kind>{Kind::Duration});
    EXPECT_EQ(parser.durationMs(), 10000);

    EXPECT_TRUE(parser.Feed("frame=1 time=00:0").empty());
    auto events = parser.Feed("0:05.00 bitrate=1k\r");
    ASSERT_EQ(Kinds(events), std::vector<Kind>{Kind::Progress});
    EXPECT_EQ(events[0].ms, 5000);

    EXPECT_TRUE(parser.Feed("video:1kB muxing ove").empty());
    EXPECT_EQ(Kinds(parser.Feed("rhead: 1%\n")), std::vector<Kind>{Kind::SuccessMarker});

    EncoderProgressParser failing;
    EXPECT_TRUE(failing.Feed("Conversion fai").empty());
    // The encoder's last line may end without a line end.
    failing.Feed("led!");
    EXPECT_EQ(Kinds(failing.Finish()), std::vector<Kind>{Kind::FailureMarker});
}

TEST(EncoderProgressParser, ProgressOnlyAfterDuration) {
    EncoderProgressParser parser;
    EXPECT_TRUE(parser.Feed("frame=1 time=00:00:01.00 bitrate=1k\r").empty());
    EXPECT_FALSE(parser.durationFound());
    // An unknown duration parses to 0; the display then shows no percentage.
    EXPECT_EQ(Kinds(parser.Feed("  Duration: N/A, start: 0.0, bitrate: N/A\n")),
              std::vector<Kind>{Kind::Duration});
    EXPECT_EQ(parser.durationMs(), 0);
    // Only the first "Duration:" counts (output sections print their own).
    parser.Feed("  Duration: 00:05:00.00, start: 0\n");
    EXPECT_EQ(parser.durationMs(), 0);
}

TEST(EncoderProgressParser, FailureAndWriteErrorsAndTheirReason) {
    EncoderProgressParser failed;
    failed.Feed("  Duration: 00:00:02.00, start: 0\n");
    failed.Feed("[libx264 @ 0x55] width not divisible by 2 (97x64)\n");
    failed.Feed("Error initializing output stream 0:0 -- Error while opening encoder\n");
    failed.Feed("Conversion failed!\n");
    EXPECT_TRUE(failed.failureSeen());
    EXPECT_EQ(failed.lastMessage(),
              "Error initializing output stream 0:0 -- Error while opening encoder");

    EncoderProgressParser fullDisk;
    fullDisk.Feed("video:0kB audio:0kB muxing overhead: unknown\n");
    auto events =
        fullDisk.Feed("[mp4 @ 0x1] Error writing trailer of /x/out.mp4: No space left on device\n");
    EXPECT_EQ(Kinds(events), std::vector<Kind>{Kind::WriteError});
    EXPECT_TRUE(fullDisk.successSeen());
    EXPECT_TRUE(fullDisk.writeErrorSeen());

    EncoderProgressParser missing;
    missing.Feed("/tmp/none.mp4: No such file or directory\n");
    EXPECT_EQ(missing.lastMessage(), "/tmp/none.mp4: No such file or directory");
}

TEST(EncoderProgressParser, EndlessLineStaysBoundedAndStillFindsMarkers) {
    EncoderProgressParser parser;
    const std::string junk(200 * 1024, 'x');
    parser.Feed(junk);
    parser.Feed(junk);
    parser.Feed("muxing overhead: 1%");  // no line end at all
    EXPECT_FALSE(parser.successSeen());
    parser.Finish();
    EXPECT_TRUE(parser.successSeen());
}

}  // namespace
}  // namespace brisklo
