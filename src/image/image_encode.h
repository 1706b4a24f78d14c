// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Magick++.h>

#include <stop_token>

#include "core/result.h"
#include "image/image_job_settings.h"
#include "image/image_naming.h"
#include "image/source_file.h"

namespace brisklo {

// Re-encodes a checked source the way its branch says and returns the bytes of the
// output file. The error says what went wrong, without the source's name.
//
// - Jpeg: first frame, turned upright, stripped, the preset's quality, resized;
//   transparency is laid on white (JPEG has none).
// - Png: turned upright, stripped, resized, reduced to the preset's colours with
//   dithering (libimagequant) and written as a palette PNG.
// - Bmp: turned upright, stripped and reduced to 256 colours, resized and reduced
//   to the preset's colours, all in memory; written as a palette BMP.
// - Gif: read, composed, kept or dropped (a dropped frame's delay goes to the kept
//   frame before it), resized and written one frame at a time; each frame stores
//   only what changed by more than the preset's fuzz.
Result<Magick::Blob> EncodeImage(ImageBranch branch, const SourceImage& source,
                                 const ImageJobSettings& settings, const std::stop_token& stop);

// True when the options give the picture another size than its own (judged from
// the size its header declares).
bool ChangesImageSize(const SourceImage& source, const ImageJobSettings& settings);

}  // namespace brisklo
