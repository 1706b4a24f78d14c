// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace brisklo::app {

// Finds the durations of added videos on a thread of its own, so adding a
// thousand files never stalls the window; each answer is handed to the UI
// thread in the order the files were asked for.
class DurationProbe {
  public:
    using Answer = std::function<void(std::int32_t taskId, double seconds)>;
    // context: the UI object answers are delivered through (dropped once it is gone).
    DurationProbe(QObject* context, Answer answer);
    ~DurationProbe();
    DurationProbe(const DurationProbe&) = delete;
    DurationProbe& operator=(const DurationProbe&) = delete;

    void Ask(std::int32_t taskId, std::filesystem::path file);
    // Drops what is still asked and joins the thread.
    void Stop();

  private:
    void Run();

    QObject* const m_context;  // outlives the thread: its owner stops it first
    Answer m_answer;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<std::int32_t, std::filesystem::path>> m_asked;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace brisklo::app
