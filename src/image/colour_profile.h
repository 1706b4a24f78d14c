// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "core/result.h"

namespace brisklo {

// Turns 8-bit RGB pixels described by an embedded colour profile (Display P3, Adobe
// RGB, ...) into sRGB, so that dropping the profile afterwards keeps their colours.
class SrgbConversion {
  public:
    // None when the profile needs no conversion: it is sRGB already, or it is not
    // an RGB profile. An unreadable profile is an error. channels: 3 (RGB) or 4
    // (RGBA, alpha kept as it is).
    static Result<std::optional<SrgbConversion>> For(std::span<const std::uint8_t> icc,
                                                     int channels);
    ~SrgbConversion();
    SrgbConversion(SrgbConversion&& other) noexcept;
    SrgbConversion& operator=(SrgbConversion&& other) noexcept;
    SrgbConversion(const SrgbConversion&) = delete;
    SrgbConversion& operator=(const SrgbConversion&) = delete;

    // Converts `width` pixels in place.
    void Row(std::uint8_t* pixels, std::size_t width) const;

  private:
    explicit SrgbConversion(void* transform) : m_transform(transform) {}
    void* m_transform = nullptr;  // lcms2's cmsHTRANSFORM
};

}  // namespace brisklo
