// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_work_bound.h"

namespace brisklo {
namespace {
thread_local ImageWorkBound* t_current = nullptr;
}

ImageWorkBound::ImageWorkBound(std::stop_token stop, std::chrono::seconds timeLimit)
    : m_stop(std::move(stop)),
      m_timeLimit(timeLimit),
      m_deadline(std::chrono::steady_clock::now() + timeLimit),
      m_previous(t_current) {
    t_current = this;
}

ImageWorkBound::~ImageWorkBound() { t_current = m_previous; }

ImageWorkBound* ImageWorkBound::Current() { return t_current; }

void ImageWorkBound::Attach(MagickCore::ImageInfo& info) {
    MagickCore::SetImageInfoProgressMonitor(&info, &ImageWorkBound::Monitor, this);
}

bool ImageWorkBound::Exceeded() {
    if (m_cut.load() != Cut::None) return true;
    if (m_stop.stop_requested()) {
        m_cut = Cut::Stopped;
    } else if (m_timeLimit.count() > 0 && std::chrono::steady_clock::now() >= m_deadline) {
        m_cut = Cut::TimedOut;
    }
    return m_cut.load() != Cut::None;
}

std::optional<std::string> ImageWorkBound::Reason() const {
    switch (m_cut.load()) {
        case Cut::Stopped:
            return "stopped before it finished";
        case Cut::TimedOut:
            return "it took longer than the time limit of " + std::to_string(m_timeLimit.count()) +
                   " s for one image";
        case Cut::None:
            break;
    }
    return std::nullopt;
}

MagickCore::MagickBooleanType ImageWorkBound::Monitor(const char*, MagickCore::MagickOffsetType,
                                                      MagickCore::MagickSizeType, void* bound) {
    return static_cast<ImageWorkBound*>(bound)->Exceeded() ? MagickCore::MagickFalse
                                                           : MagickCore::MagickTrue;
}

}  // namespace brisklo
