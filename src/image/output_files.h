#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "core/result.h"

namespace brisklo {

// Replaces the content of an existing file (one this program created) with bytes.
// Returns the number of bytes written; the error names the file.
Result<std::uint64_t> OverwriteFile(const std::filesystem::path& path,
                                    std::span<const std::uint8_t> bytes);

// A scratch file "image-tmp-NNNNNN.png" (a random six-digit number) created
// exclusively in the temporary folder, so two jobs never share one, and removed
// when the object goes, whatever happened in between.
class TempPngFile {
  public:
    static Result<TempPngFile> Create(const std::filesystem::path& folder);
    TempPngFile(TempPngFile&& other) noexcept;
    TempPngFile& operator=(TempPngFile&&) = delete;
    TempPngFile(const TempPngFile&) = delete;
    ~TempPngFile();

    const std::filesystem::path& path() const { return m_path; }

  private:
    explicit TempPngFile(std::filesystem::path path) : m_path(std::move(path)) {}
    std::filesystem::path m_path;
};

}  // namespace brisklo
