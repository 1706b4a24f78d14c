// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

namespace brisklo {

// The one source of task ids for both lists: starts at 0, grows by one per added
// file, never gives an id twice. The owner of both lists (main window or
// command line) keeps it; the video and image models hold a reference.
class TaskIdCounter {
  public:
    std::int32_t Next() { return m_next.fetch_add(1); }
    std::int32_t Peek() const { return m_next.load(); }

  private:
    std::atomic<std::int32_t> m_next{0};
};

}  // namespace brisklo
