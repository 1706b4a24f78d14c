// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/result.h"
#include "image/rgba_picture.h"

namespace brisklo {

// One frame of an animation as a viewer shows it: the whole logical screen, with
// every earlier frame's disposal applied and this frame drawn on top.
struct ComposedFrame {
    const RgbaPicture* picture = nullptr;  // valid until the next call to Next()
    std::size_t delay = 0;                 // hundredths of a second
};

// Reads a GIF frame by frame with giflib, composing each frame onto the logical
// screen as it goes, so an animation of any length needs only a few screens of
// memory. Pixels outside every frame, and those a disposal clears, are fully
// transparent. Parts of a frame outside the logical screen are cut off.
class GifFrameReader {
  public:
    // Reads the header. bytes must outlive the reader.
    static Result<std::unique_ptr<GifFrameReader>> Open(std::span<const std::uint8_t> bytes);
    ~GifFrameReader();
    GifFrameReader(const GifFrameReader&) = delete;
    GifFrameReader& operator=(const GifFrameReader&) = delete;

    std::size_t width() const;
    std::size_t height() const;
    // The loop count of the NETSCAPE extension (0 plays for ever), once the first
    // frame has been read; none when the file has no such extension.
    std::optional<std::uint16_t> loopCount() const;
    // The file's global colour table (empty when it has none).
    std::vector<PaletteColour> globalColours() const;

    // The next frame, none after the last. A file that ends without its trailer
    // after a whole frame ends there; one cut inside a frame is damaged.
    Result<std::optional<ComposedFrame>> Next();

    struct State;  // giflib's handle and the screen being composed
    explicit GifFrameReader(std::unique_ptr<State> state);

  private:
    std::unique_ptr<State> m_state;
};

}  // namespace brisklo
