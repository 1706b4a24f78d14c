// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisklo {

class ImageDispatcher;
class ImageTaskList;
class TaskView;
struct ImageResult;

// Ends image tasks on their jobs' results, on the thread that receives them:
// releases the job, measures the output and shows it (or the failure), then frees
// the task's slot so the dispatcher starts the next.
class ImageCompletion {
  public:
    ImageCompletion(ImageTaskList& tasks, ImageDispatcher& dispatcher, TaskView& view)
        : m_tasks(tasks), m_dispatcher(dispatcher), m_view(view) {}

    // MessageId::ImageDone (message 1126). A result for a task without a running
    // job is dropped.
    void OnImageDone(const ImageResult& result);

  private:
    ImageTaskList& m_tasks;
    ImageDispatcher& m_dispatcher;
    TaskView& m_view;
};

}  // namespace brisklo
