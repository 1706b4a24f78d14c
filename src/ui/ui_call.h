// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>

namespace brisklo::ui {

// Runs a change on context's thread (the UI thread) and returns at once.
inline void RunOnUiThread(QObject* context, std::function<void()> change) {
    if (QThread::currentThread() == context->thread()) {
        change();
        return;
    }
    QMetaObject::invokeMethod(context, std::move(change), Qt::QueuedConnection);
}

// Answers a read on context's thread and returns the value to the calling
// thread. Gives up (none) when cancel becomes true first, so a worker asked to
// stop never waits on a UI thread that is waiting for the worker.
template <class T>
std::optional<T> CallOnUiThread(QObject* context, std::function<T()> read,
                                const std::atomic<bool>* cancel = nullptr) {
    if (QThread::currentThread() == context->thread()) return read();
    auto task = std::make_shared<std::packaged_task<T()>>(std::move(read));
    std::future<T> answer = task->get_future();
    QMetaObject::invokeMethod(
        context, [task] { (*task)(); }, Qt::QueuedConnection);
    using namespace std::chrono_literals;
    while (answer.wait_for(50ms) != std::future_status::ready) {
        if (cancel && cancel->load()) return std::nullopt;
    }
    return answer.get();
}

}  // namespace brisklo::ui
