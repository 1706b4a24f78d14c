// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/colour_profile.h"

#include <lcms2.h>

#include <string>
#include <utility>

namespace brisklo {
namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

// The profile's description, as the profile's maker wrote it.
std::string Description(cmsHPROFILE profile) {
    const cmsUInt32Number length =
        cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", nullptr, 0);
    if (length == 0) return {};
    std::string text(length, '\0');
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text.data(), length);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return text;
}

}  // namespace

Result<std::optional<SrgbConversion>> SrgbConversion::For(std::span<const std::uint8_t> icc,
                                                          int channels) {
    if (icc.empty()) return std::optional<SrgbConversion>{};
    Profile source(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
    if (!source) return Error{"its colour profile cannot be read"};
    if (cmsGetColorSpace(source.get()) != cmsSigRgbData) return std::optional<SrgbConversion>{};
    // Cameras and editors name their sRGB profiles so ("sRGB IEC61966-2.1", "sRGB
    // built-in"); those pixels are sRGB already.
    if (Description(source.get()).find("sRGB") != std::string::npos) {
        return std::optional<SrgbConversion>{};
    }
    Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb) return Error{"cannot make the sRGB colour profile"};
    const cmsUInt32Number format = channels == 4 ? TYPE_RGBA_8 : TYPE_RGB_8;
    cmsHTRANSFORM transform =
        cmsCreateTransform(source.get(), format, srgb.get(), format, INTENT_PERCEPTUAL,
                           channels == 4 ? cmsFLAGS_COPY_ALPHA : 0);
    if (!transform) return Error{"its colour profile cannot be converted to sRGB"};
    return std::optional<SrgbConversion>(SrgbConversion(transform));
}

SrgbConversion::~SrgbConversion() {
    if (m_transform) cmsDeleteTransform(m_transform);
}

SrgbConversion::SrgbConversion(SrgbConversion&& other) noexcept
    : m_transform(std::exchange(other.m_transform, nullptr)) {}

SrgbConversion& SrgbConversion::operator=(SrgbConversion&& other) noexcept {
    if (this != &other) {
        if (m_transform) cmsDeleteTransform(m_transform);
        m_transform = std::exchange(other.m_transform, nullptr);
    }
    return *this;
}

void SrgbConversion::Row(std::uint8_t* pixels, std::size_t width) const {
    cmsDoTransform(m_transform, pixels, pixels, static_cast<cmsUInt32Number>(width));
}

}  // namespace brisklo
