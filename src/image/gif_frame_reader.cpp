// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/gif_frame_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace brisklo {
namespace {

struct Input {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

int ReadInput(GifFileType* gif, GifByteType* buffer, int length) {
    auto* input = static_cast<Input*>(gif->UserData);
    const std::size_t left = input->bytes.size() - input->at;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(length, 0)));
    std::memcpy(buffer, input->bytes.data() + input->at, n);
    input->at += n;
    return static_cast<int>(n);
}

Error Damaged(int code) {
    return Error{std::string("the image is damaged: ") +
                 (GifErrorString(code) ? GifErrorString(code) : "unknown GIF error")};
}

// Rows of an interlaced frame come in four passes.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    }
    return rows;
}

}  // namespace

struct GifFrameReader::State {
    Input input;
    GifFileType* gif = nullptr;
    RgbaPicture canvas;
    RgbaPicture saved;  // the canvas before a frame that restores it afterwards
    // What the previous frame asks to be done with its area before the next one.
    int disposal = DISPOSAL_UNSPECIFIED;
    int left = 0, top = 0, right = 0, bottom = 0;
    std::size_t frames = 0;
    std::optional<std::uint16_t> loops;
    std::vector<GifPixelType> line;

    ~State() {
        if (gif) DGifCloseFile(gif, nullptr);
    }

    void ApplyDisposal() {
        if (disposal == DISPOSE_BACKGROUND) {
            for (int y = top; y < bottom; ++y) {
                auto* row = canvas.pixels.data() + (static_cast<std::size_t>(y) * canvas.width) * 4;
                std::fill(row + left * 4, row + right * 4, std::uint8_t{0});
            }
        } else if (disposal == DISPOSE_PREVIOUS && !saved.pixels.empty()) {
            canvas.pixels = saved.pixels;
        }
    }

    // Reads the sub-blocks of an extension; takes the frame timing and loop count.
    Result<bool> ReadExtension(GraphicsControlBlock& control, bool& haveControl) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return Damaged(gif->Error);
        bool netscape = false;
        bool first = true;
        while (block) {
            if (code == GRAPHICS_EXT_FUNC_CODE && first && block[0] >= 4) {
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) haveControl = true;
            } else if (code == APPLICATION_EXT_FUNC_CODE && first) {
                netscape = block[0] >= 11 && (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                                              std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
            } else if (netscape && block[0] >= 3 && block[1] == 1) {
                loops = static_cast<std::uint16_t>(block[2] | (block[3] << 8));
            }
            first = false;
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return Damaged(gif->Error);
        }
        return true;
    }

    Result<bool> DrawFrame(const GraphicsControlBlock& control) {
        if (DGifGetImageDesc(gif) == GIF_ERROR) return Damaged(gif->Error);
        const GifImageDesc& desc = gif->Image;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map || map->ColorCount <= 0)
            return Error{"the image is damaged: a frame has no colour table"};
        if (desc.Width <= 0 || desc.Height <= 0)
            return Error{"the image is damaged: a frame has no pixels"};

        ApplyDisposal();
        disposal = control.DisposalMode;
        if (disposal == DISPOSE_PREVIOUS) saved.pixels = canvas.pixels;
        const int screenWidth = static_cast<int>(canvas.width);
        const int screenHeight = static_cast<int>(canvas.height);
        left = std::clamp(desc.Left, 0, screenWidth);
        top = std::clamp(desc.Top, 0, screenHeight);
        right = std::clamp(desc.Left + desc.Width, left, screenWidth);
        bottom = std::clamp(desc.Top + desc.Height, top, screenHeight);

        line.resize(static_cast<std::size_t>(desc.Width));
        const int transparent = control.TransparentColor;
        for (const int y : RowOrder(desc.Height, desc.Interlace)) {
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) return Damaged(gif->Error);
            const int row = desc.Top + y;
            if (row < top || row >= bottom) continue;
            std::uint8_t* out =
                canvas.pixels.data() + static_cast<std::size_t>(row) * canvas.width * 4;
            for (int x = left; x < right; ++x) {
                const int index = line[static_cast<std::size_t>(x - desc.Left)];
                if (index == transparent) continue;
                const GifColorType& c = map->Colors[index < map->ColorCount ? index : 0];
                std::uint8_t* p = out + static_cast<std::size_t>(x) * 4;
                p[0] = c.Red;
                p[1] = c.Green;
                p[2] = c.Blue;
                p[3] = 255;
            }
        }
        return true;
    }
};

GifFrameReader::GifFrameReader(std::unique_ptr<State> state) : m_state(std::move(state)) {}
GifFrameReader::~GifFrameReader() = default;

Result<std::unique_ptr<GifFrameReader>> GifFrameReader::Open(std::span<const std::uint8_t> bytes) {
    auto state = std::make_unique<State>();
    state->input.bytes = bytes;
    int error = 0;
    state->gif = DGifOpen(&state->input, ReadInput, &error);
    if (!state->gif) return Damaged(error);
    const GifFileType& gif = *state->gif;
    if (gif.SWidth <= 0 || gif.SHeight <= 0) {
        return Error{"cannot decode the image: it has no pixels"};
    }
    state->canvas.width = static_cast<std::size_t>(gif.SWidth);
    state->canvas.height = static_cast<std::size_t>(gif.SHeight);
    state->canvas.pixels.assign(state->canvas.width * state->canvas.height * 4, 0);
    return std::make_unique<GifFrameReader>(std::move(state));
}

std::size_t GifFrameReader::width() const { return m_state->canvas.width; }
std::size_t GifFrameReader::height() const { return m_state->canvas.height; }
std::optional<std::uint16_t> GifFrameReader::loopCount() const { return m_state->loops; }

std::vector<PaletteColour> GifFrameReader::globalColours() const {
    std::vector<PaletteColour> colours;
    const ColorMapObject* map = m_state->gif->SColorMap;
    if (!map) return colours;
    for (int i = 0; i < map->ColorCount; ++i) {
        colours.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 255});
    }
    return colours;
}

Result<std::optional<ComposedFrame>> GifFrameReader::Next() {
    State& s = *m_state;
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    bool haveControl = false;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(s.gif, &type) == GIF_ERROR) {
            // Many files end right after their last frame, without a trailer.
            if (s.frames > 0 && s.input.at >= s.input.bytes.size())
                return std::optional<ComposedFrame>{};
            return Damaged(s.gif->Error);
        }
        if (type == TERMINATE_RECORD_TYPE) {
            if (s.frames == 0) return Error{"cannot decode the image: it has no frames"};
            return std::optional<ComposedFrame>{};
        }
        if (type == EXTENSION_RECORD_TYPE) {
            if (auto read = s.ReadExtension(control, haveControl); !read) return read.error();
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return Damaged(D_GIF_ERR_WRONG_RECORD);
        if (auto drawn = s.DrawFrame(control); !drawn) return drawn.error();
        ++s.frames;
        return std::optional<ComposedFrame>{ComposedFrame{
            &s.canvas, haveControl ? static_cast<std::size_t>(control.DelayTime) : 0}};
    }
}

}  // namespace brisklo
