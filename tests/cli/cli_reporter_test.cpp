// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "cli/reporter.h"

namespace brisklo::cli {
namespace {
using namespace std::chrono_literals;

// Terminal cells of a text whose wide characters are the CJK ones used below.
int Cells(const std::string& text) {
    int cells = 0;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const bool cjk = lead >= 0xE4 && lead <= 0xE9;
        at += lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        cells += cjk ? 2 : 1;
    }
    return cells;
}

TEST(ProgressLine, FitsTheTerminalWhateverTheNames) {
    const std::string shortLine = "[1/3] | video 42% a.mp4";
    EXPECT_EQ(FitToColumns(shortLine, 79), shortLine);
    const std::string longName = "[2/9] video " + std::string(200, 'x') + ".mp4 42% 3.1x";
    const std::string cut = FitToColumns(longName, 79);
    EXPECT_EQ(Cells(cut), 79);
    EXPECT_EQ(cut.substr(cut.size() - 3), "\u2026");
    // Wide characters take two cells and are never cut in half.
    const std::string wide = "[1/1] video 假期视频假期视频假期视频.mp4";
    const std::string wideCut = FitToColumns(wide, 20);
    EXPECT_LE(Cells(wideCut), 20);
    EXPECT_EQ(wideCut, "[1/1] video 假期视\u2026");
    EXPECT_EQ(FitToColumns(wide, 0), "");
}

TEST(ProgressLine, SaysWhereTheBatchIsWhatWasSavedAndTheTimeLeft) {
    BatchTotals totals;
    totals.total = 10;
    totals.finished = 3;
    EXPECT_EQ(ProgressLine(totals, "video 42% a.mp4"), "[3/10] | video 42% a.mp4");
    totals.bytesIn = 3 << 20;
    totals.bytesOut = 1 << 20;
    totals.timeLeft = 3725s;
    EXPECT_EQ(ProgressLine(totals, ""), "[3/10] saved 2.00M 1:02:05 left");
    totals.timeLeft = 65s;
    totals.bytesOut = 4 << 20;  // kept larger outputs: the batch grew
    EXPECT_EQ(ProgressLine(totals, "images b.png"), "[3/10] saved -1.00M 1:05 left | images b.png");
}

}  // namespace
}  // namespace brisklo::cli
