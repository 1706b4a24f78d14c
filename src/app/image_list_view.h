#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "image/image_row_view.h"
#include "ui/row_list.h"

namespace brisklo {

struct ImageTask;

namespace app {

// The image list of the main window. The dispatcher's calls from its own thread
// are handed to the UI thread without waiting for it.
class ImageListView : public ImageRowView {
  public:
    // window: the main window (its thread); list: "image-list".
    ImageListView(QWidget* window, QWidget* list);

    QWidget* AddRow(std::int32_t taskId, const ImageTask& task);
    QWidget* Row(std::int32_t taskId) const;
    int RowCount() const { return m_rows.count(); }
    QWidget* RowAt(int index) const { return m_rows.itemAt(index); }

    void ShowWaiting(std::int32_t taskId) override;
    void ShowRunning(std::int32_t taskId, const ImageRowRunning& row) override;
    void ShowFinished(std::int32_t taskId, const ImageRowFinished& row) override;
    void ShowFailed(std::int32_t taskId, const ImageRowFailed& row) override;

  private:
    QPointer<QWidget> m_window;
    ui::RowList m_rows;
};

}  // namespace app
}  // namespace brisklo
