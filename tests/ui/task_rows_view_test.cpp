// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/task_rows_view.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "app/video_list_view.h"
#include "core/video_task.h"
#include "row_test_support.h"
#include "ui/controls.h"

namespace brisklo::app {
namespace {

using test::Sub;

// Five thousand rows in a list four hundred pixels high.
class TaskRowsViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        page.resize(900, 400);
        for (int i = 0; i < kRows; ++i) {
            const std::string name = "clip" + std::to_string(i) + ".mp4";
            list.AddRow(i, VideoTask{name, "", "/videos/" + name, 1000 + i, {}});
        }
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
    int BuiltRows() const {
        return static_cast<int>(
            page.findChildren<QWidget*>(QStringLiteral("videoRow")).size() +
            page.findChildren<QWidget*>(QRegularExpression(QStringLiteral("^item-"))).size());
    }

    static constexpr int kRows = 5000;
    QWidget page;
    VideoListView list{&page};  // fills the page
};

TEST_F(TaskRowsViewTest, BuildsRowsOnlyForTheViewAndRefillsThemAsItScrolls) {
    // A handful of widgets, whatever the number of tasks.
    EXPECT_LE(BuiltRows(), 12);
    EXPECT_EQ(Sub(list.Row(0), "fileNameLabel"), QStringLiteral("clip0.mp4"));

    // Scrolled to the far end, the reused widgets show the last tasks, each its own.
    const QWidget* last = list.Row(kRows - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Sub(list.Row(kRows - 1), "fileNameLabel"), QStringLiteral("clip4999.mp4"));
    EXPECT_EQ(ui::Tag(list.Row(kRows - 2)), kRows - 2);
    EXPECT_EQ(Sub(list.Row(kRows - 2), "fileNameLabel"), QStringLiteral("clip4998.mp4"));
    EXPECT_EQ(list.view().verticalScrollBar()->value(), list.view().verticalScrollBar()->maximum());
    EXPECT_LE(BuiltRows(), 12);

    // A change to a task in view shows at once; one out of view when it comes back.
    list.ShowState(kRows - 1, TaskState::Stopped);
    EXPECT_EQ(Sub(list.Row(kRows - 1), "stateLabel"), QStringLiteral("已停止"));
    list.SetDuration(3, 62);
    EXPECT_EQ(Sub(list.Row(3), "durationLabel"), QStringLiteral("00:01:02"));
    EXPECT_TRUE(Sub(list.Row(3), "stateLabel").isEmpty());  // not the stopped task's text

    // Removing tasks keeps the rest in order and the selection on what is left.
    list.view().SelectIds({2, 3, 4});
    const std::vector<std::int32_t> gone{0, 3};
    list.RemoveRows(gone);
    EXPECT_EQ(list.RowCount(), kRows - 2);
    EXPECT_EQ(list.IdAt(0), 1);
    EXPECT_EQ(list.SelectedIds(), (std::vector<std::int32_t>{2, 4}));
    QSignalSpy deletes(&list.view(), &TaskRowsView::deleteRequested);
    QTest::keyClick(&list.view(), Qt::Key_Delete);
    EXPECT_EQ(deletes.count(), 1);
}

}  // namespace
}  // namespace brisklo::app
