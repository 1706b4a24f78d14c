// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "core/log.h"
#include "core/unique_fd.h"
#include "image/magick_runtime.h"
#include "image/png_text_guard.h"

namespace brisklo {
namespace {

std::string SizeText(const PixelSize& size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string Millions(std::uint64_t pixels) {
    return std::to_string(pixels / 1'000'000) + " million";
}

Result<SourceImage> CheckDeclaredSize(SourceImage source) {
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    const PixelSize most{static_cast<std::int64_t>(limits.width),
                         static_cast<std::int64_t>(limits.height)};
    if (const auto size = DeclaredImageSize(source.bytes, source.format)) {
        if (size->KeepsSource()) {
            return Error{"the image declares no pixels (" + SizeText(*size) + ")"};
        }
        // The area is only reached once both sides are within their limits.
        if (size->width > most.width || size->height > most.height ||
            static_cast<std::uint64_t>(size->Area()) > limits.area) {
            return Error{"the image declares " + SizeText(*size) +
                         " pixels, more than can be processed (at most " + SizeText(most) +
                         " and " + Millions(limits.area) + " pixels)"};
        }
    }
    if (source.format == ImageFormat::Gif) {
        if (const auto census = CountGifFrames(source.bytes)) {
            if (census->frames > limits.listLength) {
                return Error{"the animation has " + std::to_string(census->frames) +
                             " frames, more than can be processed (at most " +
                             std::to_string(limits.listLength) + ")"};
            }
            if (census->canvasPixels > kMaxAnimationPixels) {
                return Error{"the animation's " + std::to_string(census->frames) + " frames need " +
                             Millions(census->canvasPixels) +
                             " pixels, more than can be processed (at most " +
                             Millions(kMaxAnimationPixels) + ")"};
            }
        }
    }
    return source;
}

}  // namespace

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) return Error{std::string("cannot open it: ") + std::strerror(errno)};
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return Error{std::string("cannot read it: ") + std::strerror(errno)};
    }
    if (!S_ISREG(info.st_mode)) return Error{"it is not a regular file"};
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxSourceBytes) {
        return Error{"the file is larger than " + std::to_string(kMaxSourceBytes >> 20) + " MiB"};
    }
    std::vector<std::uint8_t> bytes(size);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Error{std::string("cannot read it: ") + std::strerror(errno)};
        if (n == 0) break;  // shrank while being read
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

Result<std::optional<ImageFormat>> SniffImageFile(const std::filesystem::path& path) {
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) return Error{std::string("cannot open it: ") + std::strerror(errno)};
    // Enough for every signature, the bitmap's info-header size included.
    std::array<std::uint8_t, 32> head{};
    std::size_t done = 0;
    while (done < head.size()) {
        const ssize_t n = ::read(file.get(), head.data() + done, head.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Error{std::string("cannot read it: ") + std::strerror(errno)};
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return SniffImageFormat(std::span<const std::uint8_t>(head.data(), done));
}

Result<SourceImage> LoadSourceImage(const std::filesystem::path& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return bytes.error();
    if (bytes.value().empty()) return Error{"the file is empty"};
    const auto format = SniffImageFormat(bytes.value());
    if (!format) return Error{"its content is not a JPEG, PNG, BMP or GIF image"};
    if (*format == ImageFormat::Png) {
        // The decoder would hold every text chunk whole, however far it inflates.
        if (const PngTextTrim trim = TrimPngAncillaryChunks(bytes.value()); trim.dropped > 0) {
            LogLine("%s: %d text or profile chunk(s) (first %s) beyond %llu MiB left unread\n",
                    path.c_str(), trim.dropped, trim.firstName.c_str(),
                    static_cast<unsigned long long>(kMaxPngAncillaryBytes >> 20));
        }
    }
    return CheckDeclaredSize(SourceImage{std::move(bytes).value(), *format});
}

}  // namespace brisklo
