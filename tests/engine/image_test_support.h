// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Magick++.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace brisklo::test {

// Sample images, made at test time with Magick++.

// A smooth gradient, different in every pixel (many colours, like a photo), written with
// the given coder ("JPEG", "PNG", "BMP", "GIF").
std::filesystem::path MakeGradientImage(const std::filesystem::path& path, std::size_t width,
                                        std::size_t height, const std::string& coder);

// A JPEG whose EXIF orientation says "rotate 90 degrees clockwise to view".
std::filesystem::path MakeRotatedJpeg(const std::filesystem::path& path, std::size_t width,
                                      std::size_t height);

// A JPEG of four coloured quadrants (red, green, blue, white from the top left, in
// reading order) whose EXIF orientation tag is `orientation` (1..8).
std::filesystem::path MakeOrientedJpeg(const std::filesystem::path& path, std::size_t width,
                                       std::size_t height, int orientation);

// A terminal-like screen recording written with giflib: a dark screen, then one
// 8x14 "character" more in every frame, typed left to right and line by line; each
// frame stores only the new character and lasts 4 hundredths of a second.
std::filesystem::path MakeScreenRecording(const std::filesystem::path& path, int width, int height,
                                          int frames);

// What giflib reads in a GIF without composing it.
struct GifSummary {
    std::size_t frames = 0;
    std::size_t totalDelay = 0;        // hundredths of a second
    std::size_t largestLaterArea = 0;  // pixels of the largest frame after the first
    std::size_t width = 0;
    std::size_t height = 0;
};
GifSummary SummariseGif(const std::filesystem::path& path);

// A PNG that is fully transparent but for a red square in the middle.
std::filesystem::path MakeTransparentPng(const std::filesystem::path& path, std::size_t width,
                                         std::size_t height);

// Frame i of an animation is filled with FrameColour(i).
std::string FrameColour(std::size_t index);

// An animated GIF of delays.size() frames of width x height; frame i shows
// FrameColour(i) and lasts delays[i] hundredths of a second.
std::filesystem::path MakeAnimation(const std::filesystem::path& path, std::size_t width,
                                    std::size_t height, const std::vector<std::size_t>& delays,
                                    std::size_t iterations = 0);

// Reads every frame of a file (ImageMagick guesses the format).
std::vector<Magick::Image> ReadFrames(const std::filesystem::path& path);

// The colour of a pixel as "#RRGGBB" (8 bits a channel).
std::string PixelColour(const Magick::Image& image, std::size_t x, std::size_t y);

// A PNG signature and IHDR chunk (with a correct CRC) declaring width x height
// RGB pixels, a small IDAT and IEND: the header of a decompression bomb.
std::string PngHeaderBytes(std::uint32_t width, std::uint32_t height);

// A GIF built block by block: a width x height logical screen and `frames` full
// frames whose image data is only a clear code and an end code, so the file stays
// tiny whatever it declares.
std::string TinyGifBytes(std::uint16_t width, std::uint16_t height, std::size_t frames);

// Files in folder whose names start with prefix.
std::vector<std::filesystem::path> FilesStartingWith(const std::filesystem::path& folder,
                                                     const std::string& prefix);

// Polls until predicate holds; false on time-out.
bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

}  // namespace brisklo::test
