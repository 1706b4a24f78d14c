// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brisklo {

// Limits under which every image is decoded and processed. ImageMagick keeps them
// process-wide, so the memory, map and disk budgets are shared by all running image
// jobs; the pixel limits apply to each image. A system policy file
// (/etc/ImageMagick-6/policy.xml) may lower any of them further: ImageMagick takes
// the smaller of the two, so the effective values can be below these.
struct ImageLibraryLimits {
    // Widest and tallest image accepted: 16K pixels either way covers every camera
    // and screenshot a desktop user meets.
    std::uint64_t width = 16384;
    std::uint64_t height = 16384;
    // Pixels in one image: 128 million, about 1 GiB of pixel cache at 8 bytes a pixel.
    // The frames of one animation, composed, must fit in the same budget together
    // (checked from the file's structure before decoding).
    std::uint64_t area = 128'000'000;
    // Frames of one animation.
    std::uint64_t listLength = 1000;
    // Heap for pixel caches, then memory-mapped files, then disk files (in
    // ImageMagick's temporary folder, MAGICK_TEMPORARY_PATH or /tmp); beyond the
    // three, a job fails ("cache resources exhausted", "memory allocation failed")
    // instead of filling the machine.
    std::uint64_t memory = 512ull << 20;
    std::uint64_t map = 1ull << 30;
    std::uint64_t disk = 2ull << 30;
    // ImageMagick's own OpenMP threads per operation. Up to three image jobs run at
    // once, each on its own thread, so one thread each keeps the jobs from
    // oversubscribing the processor (bench/image_bench.cpp measures it).
    std::uint64_t threads = 1;
};

inline constexpr ImageLibraryLimits kImageLibraryLimits{};

// What a fatal error of the image library (memory exhausted inside it, say) becomes:
// thrown from the library's fatal-error handler on the thread that hit it, instead
// of the library ending the process. The job that runs there fails.
class ImageLibraryFatalError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Starts ImageMagick once per process, applies kImageLibraryLimits, sends its
// temporary files to RunTemporaryFolder(), installs handlers that turn its fatal
// errors into ImageLibraryFatalError and log its other complaints instead of
// printing them, and loads the coders we use. Safe to
// call from any thread, any number of times; the front ends call it at start,
// and every image job calls it first.
void InitializeImageLibrary();

// The limits ImageMagick actually enforces after InitializeImageLibrary().
ImageLibraryLimits EffectiveImageLibraryLimits();

// The reason for a job the library stopped at one of its resource limits: the
// effective limits, then the library's own words (`detail`), which name the one hit.
std::string ResourceLimitReason(std::string_view detail);

}  // namespace brisklo
