#include "image/magick_runtime.h"

#include <Magick++.h>

#include <mutex>

namespace brisklo {

void InitializeImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        const ImageLibraryLimits& limits = kImageLibraryLimits;
        Magick::ResourceLimits::width(limits.width);
        Magick::ResourceLimits::height(limits.height);
        Magick::ResourceLimits::area(limits.area);
        Magick::ResourceLimits::listLength(limits.listLength);
        Magick::ResourceLimits::memory(limits.memory);
        Magick::ResourceLimits::map(limits.map);
        Magick::ResourceLimits::disk(limits.disk);
        Magick::ResourceLimits::thread(limits.threads);
    });
}

ImageLibraryLimits EffectiveImageLibraryLimits() {
    InitializeImageLibrary();
    ImageLibraryLimits limits;
    limits.width = Magick::ResourceLimits::width();
    limits.height = Magick::ResourceLimits::height();
    limits.area = Magick::ResourceLimits::area();
    limits.listLength = Magick::ResourceLimits::listLength();
    limits.memory = Magick::ResourceLimits::memory();
    limits.map = Magick::ResourceLimits::map();
    limits.disk = Magick::ResourceLimits::disk();
    limits.threads = Magick::ResourceLimits::thread();
    return limits;
}

}  // namespace brisklo
