// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/gif_animation_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <new>
#include <string>
#include <unordered_map>

#include "image/palette_quantize.h"

namespace brisklo {
namespace {

constexpr std::uint8_t kOpaque = 128;  // alpha from which a pixel counts as shown

std::uint32_t Key(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
}

// One frame waiting for the next, which decides how it is disposed of.
struct Frame {
    std::size_t left = 0;
    std::size_t top = 0;
    PalettePicture picture;
    int transparent = 0;
    bool usesGlobal = false;
    std::size_t delay = 0;
    bool clearAfter = false;
};

struct Output {
    std::vector<std::uint8_t> bytes;
    bool failed = false;
};

int WriteOutput(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Output*>(gif->UserData);
    try {
        out->bytes.insert(out->bytes.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        out->failed = true;
        return 0;
    }
    return length;
}

// A giflib colour table of the palette, padded to a power of two (at least 2).
struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
std::unique_ptr<ColorMapObject, MapDeleter> MakeMap(const std::vector<PaletteColour>& palette) {
    int size = 2;
    while (size < static_cast<int>(palette.size())) size *= 2;
    std::vector<GifColorType> colours(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colours[i] = {palette[i][0], palette[i][1], palette[i][2]};
    }
    return std::unique_ptr<ColorMapObject, MapDeleter>(GifMakeMapObject(size, colours.data()));
}

}  // namespace

struct GifAnimationWriter::State {
    std::size_t width = 0;
    std::size_t height = 0;
    int fuzzSquared = 0;
    std::optional<std::uint16_t> loops;
    Output output;
    GifFileType* gif = nullptr;
    bool started = false;
    RgbaPicture shown;  // the screen after the last frame written or pending
    std::optional<Frame> pending;
    std::size_t leadingDelay = 0;
    std::vector<PaletteColour> globalPalette;
    std::unordered_map<std::uint32_t, std::uint8_t> globalIndex;
    int globalTransparent = -1;
    bool globalKnown = false;

    ~State() {
        if (gif) EGifCloseFile(gif, nullptr);
    }

    Error WriteError() const {
        if (output.failed) return Error{"not enough memory to write the GIF"};
        return Error{std::string("the GIF writer failed: ") +
                     (GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "unknown error")};
    }

    void UseAsGlobal(const std::vector<PaletteColour>& palette, int transparent) {
        globalPalette = palette;
        globalTransparent = transparent;
        globalIndex.clear();
        for (std::size_t i = 0; i < globalPalette.size(); ++i) {
            if (static_cast<int>(i) != globalTransparent) {
                globalIndex.emplace(Key(globalPalette[i].data()), static_cast<std::uint8_t>(i));
            }
        }
        globalKnown = true;
    }

    Result<bool> Start(const Frame& first) {
        int error = 0;
        gif = EGifOpen(&output, WriteOutput, &error);
        if (!gif) return Error{"cannot start the GIF writer"};
        EGifSetGifVersion(gif, true);
        if (!globalKnown) UseAsGlobal(first.picture.palette, first.transparent);
        const auto map = MakeMap(globalPalette);
        if (!map) return Error{"not enough memory to write the GIF"};
        // The background is the transparent entry, so viewers that fill the screen
        // or a disposed frame with the background colour show nothing there.
        if (EGifPutScreenDesc(gif, static_cast<int>(width), static_cast<int>(height), 8,
                              std::max(globalTransparent, 0), map.get()) == GIF_ERROR) {
            return WriteError();
        }
        if (loops) {
            const GifByteType loop[] = {1, static_cast<GifByteType>(*loops & 0xFF),
                                        static_cast<GifByteType>(*loops >> 8)};
            if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
                EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_ERROR ||
                EGifPutExtensionBlock(gif, 3, loop) == GIF_ERROR ||
                EGifPutExtensionTrailer(gif) == GIF_ERROR) {
                return WriteError();
            }
        }
        started = true;
        return true;
    }

    Result<bool> Write(const Frame& frame) {
        if (!started) {
            if (auto begun = Start(frame); !begun) return begun;
        }
        GraphicsControlBlock control{};
        control.DisposalMode = frame.clearAfter ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = static_cast<int>(std::min<std::size_t>(frame.delay, 65535));
        control.TransparentColor = frame.transparent;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
            GIF_ERROR) {
            return WriteError();
        }
        std::unique_ptr<ColorMapObject, MapDeleter> map;
        if (!frame.usesGlobal) {
            map = MakeMap(frame.picture.palette);
            if (!map) return Error{"not enough memory to write the GIF"};
        }
        const PalettePicture& picture = frame.picture;
        if (EGifPutImageDesc(gif, static_cast<int>(frame.left), static_cast<int>(frame.top),
                             static_cast<int>(picture.width), static_cast<int>(picture.height),
                             false, map.get()) == GIF_ERROR) {
            return WriteError();
        }
        std::vector<GifPixelType> row(picture.width);
        for (std::size_t y = 0; y < picture.height; ++y) {
            std::copy_n(picture.indices.begin() + static_cast<std::ptrdiff_t>(y * picture.width),
                        picture.width, row.begin());
            if (EGifPutLine(gif, row.data(), static_cast<int>(picture.width)) == GIF_ERROR) {
                return WriteError();
            }
        }
        return true;
    }

    // Gives a frame a transparent entry (its pixels keep their colours).
    static Result<bool> MakeClearable(Frame& frame) {
        if (frame.transparent >= 0) return true;
        auto& palette = frame.picture.palette;
        if (palette.size() >= 256) {
            auto reduced = ReduceColours(ExpandPalette(frame.picture), 255, QuantiseEffort::Quick);
            if (!reduced) return reduced.error();
            frame.picture = std::move(reduced).value();
        }
        palette.push_back({0, 0, 0, 0});
        frame.transparent = static_cast<int>(palette.size() - 1);
        frame.usesGlobal = false;
        return true;
    }

    // The pending frame grown to the whole screen, so that clearing its area after
    // it clears everything shown.
    void GrowToScreen(Frame& frame) const {
        PalettePicture whole;
        whole.width = width;
        whole.height = height;
        whole.palette = frame.picture.palette;
        whole.indices.assign(width * height, static_cast<std::uint8_t>(frame.transparent));
        for (std::size_t y = 0; y < frame.picture.height; ++y) {
            std::copy_n(frame.picture.indices.begin() +
                            static_cast<std::ptrdiff_t>(y * frame.picture.width),
                        frame.picture.width,
                        whole.indices.begin() +
                            static_cast<std::ptrdiff_t>((frame.top + y) * width + frame.left));
        }
        frame.picture = std::move(whole);
        frame.left = 0;
        frame.top = 0;
    }

    bool Changed(const std::uint8_t* f, const std::uint8_t* s) const {
        if (f[3] < kOpaque) return false;
        if (s[3] < kOpaque) return true;
        const int dr = f[0] - s[0], dg = f[1] - s[1], db = f[2] - s[2];
        return dr * dr + dg * dg + db * db > fuzzSquared;
    }

    // The colours of the changed pixels as palette indices.
    Result<Frame> MakeFrame(const RgbaPicture& delta, std::size_t left, std::size_t top) {
        Frame frame;
        frame.left = left;
        frame.top = top;
        const std::size_t count = delta.width * delta.height;
        frame.picture.width = delta.width;
        frame.picture.height = delta.height;
        frame.picture.indices.resize(count);

        if (globalKnown) {  // all in the shared palette?
            bool all = true;
            for (std::size_t i = 0; i < count && all; ++i) {
                const std::uint8_t* p = delta.pixels.data() + i * 4;
                if (p[3] < kOpaque) {
                    if (globalTransparent >= 0) {
                        frame.picture.indices[i] = static_cast<std::uint8_t>(globalTransparent);
                        continue;
                    }
                    // No transparent entry: an unchanged pixel repeats what is shown.
                    const std::size_t x = left + i % delta.width;
                    const std::size_t y = top + i / delta.width;
                    p = shown.pixels.data() + (y * width + x) * 4;
                    if (p[3] < kOpaque) {
                        all = false;
                        continue;
                    }
                }
                if (const auto it = globalIndex.find(Key(p)); it != globalIndex.end()) {
                    frame.picture.indices[i] = it->second;
                } else {
                    all = false;
                }
            }
            if (all) {
                frame.picture.palette = globalPalette;
                frame.transparent = globalTransparent;
                frame.usesGlobal = true;
                return frame;
            }
        }

        // Few enough colours to keep them exactly; the last entry is transparent.
        std::unordered_map<std::uint32_t, std::uint8_t> exact;
        exact.reserve(512);
        bool fits = true;
        for (std::size_t i = 0; i < count && fits; ++i) {
            const std::uint8_t* p = delta.pixels.data() + i * 4;
            if (p[3] < kOpaque) continue;
            const auto [it, added] =
                exact.try_emplace(Key(p), static_cast<std::uint8_t>(exact.size()));
            if (added && exact.size() > 255) fits = false;
            frame.picture.indices[i] = it->second;
        }
        if (fits) {
            frame.picture.palette.resize(exact.size() + 1, PaletteColour{0, 0, 0, 0});
            for (const auto& [key, index] : exact) {
                frame.picture.palette[index] = {static_cast<std::uint8_t>(key >> 16),
                                                static_cast<std::uint8_t>(key >> 8),
                                                static_cast<std::uint8_t>(key), 255};
            }
            frame.transparent = static_cast<int>(exact.size());
            for (std::size_t i = 0; i < count; ++i) {
                if (delta.pixels[i * 4 + 3] < kOpaque) {
                    frame.picture.indices[i] = static_cast<std::uint8_t>(frame.transparent);
                }
            }
            return frame;
        }

        auto reduced = ReduceColours(delta, 255, QuantiseEffort::Quick);
        if (!reduced) return reduced.error();
        frame.picture = std::move(reduced).value();
        auto& palette = frame.picture.palette;
        const auto clear = std::find_if(palette.begin(), palette.end(),
                                        [](const PaletteColour& c) { return c[3] < kOpaque; });
        frame.transparent = static_cast<int>(clear - palette.begin());
        if (clear == palette.end()) palette.push_back({0, 0, 0, 0});
        for (std::uint8_t& index : frame.picture.indices) {
            if (palette[index][3] < kOpaque) index = static_cast<std::uint8_t>(frame.transparent);
        }
        return frame;
    }
};

GifAnimationWriter::GifAnimationWriter(std::size_t width, std::size_t height, double fuzz,
                                       std::optional<std::uint16_t> loops)
    : m_state(std::make_unique<State>()) {
    m_state->width = width;
    m_state->height = height;
    const double limit = std::clamp(fuzz, 0.0, 442.0);
    m_state->fuzzSquared = static_cast<int>(limit * limit);
    m_state->loops = loops;
    m_state->shown.width = width;
    m_state->shown.height = height;
    m_state->shown.pixels.assign(width * height * 4, 0);
}

GifAnimationWriter::~GifAnimationWriter() = default;

void GifAnimationWriter::SharePalette(const std::vector<PaletteColour>& colours) {
    State& s = *m_state;
    if (s.pending || s.started || colours.empty() || colours.size() > 255) return;
    std::vector<PaletteColour> palette = colours;
    for (PaletteColour& colour : palette) colour[3] = 255;
    palette.push_back({0, 0, 0, 0});
    s.UseAsGlobal(palette, static_cast<int>(palette.size() - 1));
}

void GifAnimationWriter::AddDelay(std::size_t delay) {
    if (m_state->pending) {
        m_state->pending->delay += delay;
    } else {
        m_state->leadingDelay += delay;
    }
}

Result<bool> GifAnimationWriter::Add(const RgbaPicture& frame, std::size_t delay) {
    State& s = *m_state;
    if (frame.width != s.width || frame.height != s.height) {
        return Error{"the GIF writer got a frame of the wrong size"};
    }
    const std::size_t pixels = s.width * s.height;
    if (s.pending) {
        bool clears = false;
        for (std::size_t i = 0; i < pixels && !clears; ++i) {
            clears = frame.pixels[i * 4 + 3] < kOpaque && s.shown.pixels[i * 4 + 3] >= kOpaque;
        }
        if (clears) {
            if (auto clearable = State::MakeClearable(*s.pending); !clearable) return clearable;
            s.pending->clearAfter = true;
            s.GrowToScreen(*s.pending);
            std::fill(s.shown.pixels.begin(), s.shown.pixels.end(), std::uint8_t{0});
        }
        if (auto written = s.Write(*s.pending); !written) return written;
        s.pending.reset();
    }

    // The rectangle that holds every changed pixel.
    std::size_t left = s.width, top = s.height, right = 0, bottom = 0;
    for (std::size_t y = 0; y < s.height; ++y) {
        const std::uint8_t* f = frame.pixels.data() + y * s.width * 4;
        const std::uint8_t* shown = s.shown.pixels.data() + y * s.width * 4;
        for (std::size_t x = 0; x < s.width; ++x) {
            if (!s.Changed(f + x * 4, shown + x * 4)) continue;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    if (right == 0) {  // nothing changed: one transparent pixel keeps the frame's time
        left = top = 0;
        right = bottom = 1;
    }
    RgbaPicture delta;
    delta.width = right - left;
    delta.height = bottom - top;
    delta.pixels.assign(delta.width * delta.height * 4, 0);
    for (std::size_t y = top; y < bottom; ++y) {
        for (std::size_t x = left; x < right; ++x) {
            const std::uint8_t* f = frame.pixels.data() + (y * s.width + x) * 4;
            if (!s.Changed(f, s.shown.pixels.data() + (y * s.width + x) * 4)) continue;
            std::uint8_t* d = delta.pixels.data() + ((y - top) * delta.width + (x - left)) * 4;
            std::copy_n(f, 3, d);
            d[3] = 255;
        }
    }

    auto made = s.MakeFrame(delta, left, top);
    if (!made) return made.error();
    Frame& next = made.value();
    // What a viewer shows now: the frame's colours where it is not transparent.
    for (std::size_t y = 0; y < delta.height; ++y) {
        for (std::size_t x = 0; x < delta.width; ++x) {
            const std::uint8_t index = next.picture.indices[y * delta.width + x];
            if (index == next.transparent) continue;
            std::uint8_t* p = s.shown.pixels.data() + ((top + y) * s.width + left + x) * 4;
            std::copy_n(next.picture.palette[index].begin(), 3, p);
            p[3] = 255;
        }
    }
    next.delay = delay + s.leadingDelay;
    s.leadingDelay = 0;
    s.pending = std::move(next);
    return true;
}

Result<std::vector<std::uint8_t>> GifAnimationWriter::Finish() {
    State& s = *m_state;
    if (!s.pending) return Error{"the animation has no frame to write"};
    if (auto written = s.Write(*s.pending); !written) return written.error();
    s.pending.reset();
    int error = 0;
    const int closed = EGifCloseFile(s.gif, &error);
    s.gif = nullptr;
    if (closed == GIF_ERROR || s.output.failed) return Error{"the GIF writer failed to finish"};
    return std::move(s.output.bytes);
}

}  // namespace brisklo
