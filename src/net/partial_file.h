// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

#include "core/result.h"

namespace brisklo {

// A download in progress: written to a fresh hidden file beside its final name
// (created exclusively, so nothing already there is followed or truncated) and
// renamed to that name only by Commit. Until then the final name is untouched;
// a partial file that is not committed is removed.
class PartialFile {
  public:
    static Result<PartialFile> Create(const std::filesystem::path& folder,
                                      std::string_view finalName);
    PartialFile(PartialFile&& other) noexcept;
    PartialFile& operator=(PartialFile&&) = delete;
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    ~PartialFile();

    // Appends data; false when the file could not take it (the disk is full...).
    [[nodiscard]] bool Write(std::string_view data);
    // Closes the file and gives it its final name, replacing an older file of
    // that name. Returns the final path.
    Result<std::filesystem::path> Commit();

    const std::filesystem::path& partialPath() const { return m_partialPath; }
    const std::filesystem::path& finalPath() const { return m_finalPath; }

  private:
    PartialFile(int fd, std::filesystem::path partialPath, std::filesystem::path finalPath);
    void Discard();

    int m_fd = -1;
    bool m_committed = false;
    std::filesystem::path m_partialPath;
    std::filesystem::path m_finalPath;
};

}  // namespace brisklo
