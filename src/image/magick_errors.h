// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Magick++.h>

#include <exception>
#include <string>
#include <string_view>

namespace brisklo {

// ImageMagick's message reduced to what a user can read: without the program name
// in front, the empty "`PNG:'" file tag and the " @ error/png.c/..." source location
// behind, e.g. "Premature end of JPEG file". Empty when nothing readable is left.
std::string CleanMagickMessage(std::string_view text);

// The reason an exception carries, cleaned as above (any std::exception).
std::string DescribeException(const std::exception& error);

// The reason of an ImageMagick exception record, cleaned.
std::string DescribeMagickException(const MagickCore::ExceptionInfo& exception);

}  // namespace brisklo
