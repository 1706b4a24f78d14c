// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/result.h"
#include "image/rgba_picture.h"

namespace brisklo {

// Writes an animated GIF from whole frames, one at a time, with giflib, keeping
// only what a viewer needs to see:
// - each frame after the first stores only the rectangle that changed, and inside
//   it the pixels within `fuzz` of what is already shown (distance in 8-bit RGB)
//   are transparent, so they keep showing the earlier frame;
// - a frame whose colours are all in the shared palette (the source's colour
//   table when offered, else the first frame's) uses it; one with
//   at most 255 colours gets them exactly in its own palette; a frame with more is
//   reduced with dithering (libimagequant);
// - transparent pixels (alpha below 128) where something was shown clear the
//   screen after the frame before, as the format allows.
// Memory stays at a few screens whatever the number of frames.
class GifAnimationWriter {
  public:
    // loops: the NETSCAPE loop count to write (0 plays for ever), none for none.
    GifAnimationWriter(std::size_t width, std::size_t height, double fuzz,
                       std::optional<std::uint16_t> loops);
    ~GifAnimationWriter();
    GifAnimationWriter(const GifAnimationWriter&) = delete;
    GifAnimationWriter& operator=(const GifAnimationWriter&) = delete;

    // Offers the source's own colour table as the palette every frame shares (with
    // a transparent entry added), before the first frame is added. Frames whose
    // colours all come from it need no palette of their own, which for a long
    // recording is most of the file. Ignored when the table has 256 colours (no room
    // for the transparent entry every later frame needs).
    void SharePalette(const std::vector<PaletteColour>& colours);

    // Adds a frame of width x height shown for delay hundredths of a second.
    Result<bool> Add(const RgbaPicture& frame, std::size_t delay);
    // Adds time to the frame added last (to the first frame, when none is yet).
    void AddDelay(std::size_t delay);
    // Writes what is still pending and the trailer; the bytes of the file.
    Result<std::vector<std::uint8_t>> Finish();

    struct State;

  private:
    std::unique_ptr<State> m_state;
};

}  // namespace brisklo
