#pragma once

#include <filesystem>
#include <string_view>

#include "core/result.h"

namespace brisklo {

// Reserves the first free name of folder/base.ext, folder/base(2).ext,
// folder/base(3).ext, ... by creating it as an empty file exclusively, so that no
// other job or program can take the same name in between. Anything already
// there under a name (file, folder, unreadable entry) makes the name taken.
// The caller writes the reserved file and removes it if the job fails.
Result<std::filesystem::path> MakeUniqueOutputPath(const std::filesystem::path& folder,
                                                   std::string_view base,
                                                   std::string_view extension);

}  // namespace brisklo
