// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Magick++.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stop_token>
#include <string>

namespace brisklo {

// Bounds the image library's work for one job on the current thread: a stop
// request or the end of the job's time makes every decoder and operation that
// reports progress give up at its next row, so a huge image stops within moments.
// While one is alive on a thread, DecodeImage attaches it to what it decodes, and
// everything made from those images inherits it.
class ImageWorkBound {
  public:
    ImageWorkBound(std::stop_token stop, std::chrono::seconds timeLimit);
    ~ImageWorkBound();
    ImageWorkBound(const ImageWorkBound&) = delete;
    ImageWorkBound& operator=(const ImageWorkBound&) = delete;

    // The bound of this thread's running job, if any.
    static ImageWorkBound* Current();
    void Attach(MagickCore::ImageInfo& info);
    // Why the work was cut short, once it was.
    std::optional<std::string> Reason() const;
    // Checks the bound now (also done by the library's progress reports).
    bool Exceeded();

  private:
    static MagickCore::MagickBooleanType Monitor(const char* tag, MagickCore::MagickOffsetType,
                                                 MagickCore::MagickSizeType, void* bound);

    enum class Cut { None, Stopped, TimedOut };
    std::stop_token m_stop;
    std::chrono::seconds m_timeLimit;
    std::chrono::steady_clock::time_point m_deadline;
    std::atomic<Cut> m_cut{Cut::None};
    ImageWorkBound* m_previous;
};

}  // namespace brisklo
