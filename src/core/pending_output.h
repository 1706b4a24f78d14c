// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"

namespace brisklo {

// An output being written: a hidden file ".brisklo-<16 hex digits>.part" created
// exclusively in the output folder and held under an exclusive flock() for as
// long as this object lives. Nothing appears under a final name until Commit,
// which links the complete file there without ever replacing anything; until
// then a crash leaves only the hidden file, which RemoveLeftoverOutputs clears.
// Dropped without Commit, the hidden file is removed.
class PendingOutput {
  public:
    static Result<PendingOutput> Create(const std::filesystem::path& folder);
    PendingOutput(PendingOutput&& other) noexcept;
    PendingOutput& operator=(PendingOutput&&) = delete;
    PendingOutput(const PendingOutput&) = delete;
    ~PendingOutput();

    // The hidden file: what the encoder writes into.
    const std::filesystem::path& path() const { return m_path; }
    const std::filesystem::path& folder() const { return m_folder; }

    // Replaces the content with bytes; the error names the file.
    Result<std::uint64_t> Write(std::span<const std::uint8_t> bytes);
    // Replaces the content with a copy of source.
    Result<std::uint64_t> CopyFrom(const std::filesystem::path& source);
    // The current size, or an error when it cannot be read.
    Result<std::uint64_t> Size() const;
    // Gives the file the modification time of source (best effort).
    void TakeModificationTime(const std::filesystem::path& source);

    // Flushes the file to disk and gives the held file (never whatever the hidden
    // name stands for by then) the first free name of
    // folder/base.ext, base(2).ext, base(3).ext, ... Anything already there under a
    // name (file, folder, link) makes the name taken; nothing is ever replaced.
    // An empty extension gives names without a dot. Afterwards the object is spent.
    Result<std::filesystem::path> Commit(std::string_view base, std::string_view extension);

    // The held file as the encoder is told it: "/dev/fd/N", N being the descriptor
    // this object holds, which the encoder's process inherits. Opening it reaches
    // this very file even if the hidden name is swapped for something else.
    std::string DescriptorPath() const { return "/dev/fd/" + std::to_string(m_fd); }

  private:
    PendingOutput(std::filesystem::path folder, std::filesystem::path path, int fd)
        : m_folder(std::move(folder)), m_path(std::move(path)), m_fd(fd) {}
    void Release();
    bool NameHoldsOurFile() const;
    void RemoveOwnName();
    int PlaceAt(const std::filesystem::path& to);
    int PlaceOverPlaceholder(const std::filesystem::path& to);

    std::filesystem::path m_folder;
    std::filesystem::path m_path;
    int m_fd = -1;  // holds the lock; -1 once spent
};

// Test hooks: Commit behaves as on a file system without hard links or no-replace
// renames, and, with stopAfterPlaceholder, stops as a killed run would right after
// it made the empty placeholder (lock released, files left as they are).
struct CommitFaults {
    bool noHardLinks = false;
    bool stopAfterPlaceholder = false;
};
void SetCommitFaultsForTesting(CommitFaults faults);

// True for a name of the form PendingOutput gives its hidden files.
bool IsPendingOutputName(std::string_view fileName);

// Removes the hidden files that a run which ended abruptly (crash, kill, power
// cut) left in folder: only names of PendingOutput's form, only regular files,
// only when no live process holds their lock, and an empty one only once it is
// a few seconds old (it may have been created an instant ago and not yet
// locked). A hidden file whose side record (".brisklo-<hex>.name", written on file
// systems without hard links) names an empty placeholder is renamed over it
// instead: that run was stopped between placeholder and rename, and its data is
// complete. Nothing else is ever touched; a missing folder is not created.
// Returns how many were removed.
int RemoveLeftoverOutputs(const std::filesystem::path& folder);

}  // namespace brisklo
