#pragma once

#include <Magick++.h>

#include <stop_token>

#include "core/result.h"
#include "image/image_job.h"
#include "image/image_naming.h"
#include "image/source_file.h"

namespace brisklo {

// Re-encodes a checked source the way its branch says and returns the bytes of the
// output file. The error says what went wrong, without the source's name.
//
// - Jpeg: first frame, turned upright, stripped, the preset's quality, resized;
//   transparency is laid on white (JPEG has none).
// - Png: turned upright, stripped, resized, dithered down to the preset's colours.
// - Bmp: turned upright, stripped and dithered to 256 colours, passed through a
//   temporary PNG in the temporary folder, resized and dithered to the preset's
//   colours. The temporary file is removed in every case.
// - Gif: every frame stripped, given the preset's fuzz and resized; frames dropped
//   on request (their delays kept); unchanged pixels made transparent.
//   When frames are resized or dropped they are first composed into whole pictures
//   (an optimised GIF stores only what changes), and the layers optimised again
//   afterwards.
Result<Magick::Blob> EncodeImage(ImageBranch branch, const SourceImage& source,
                                 const ImageJobSettings& settings, const std::stop_token& stop);

}  // namespace brisklo
