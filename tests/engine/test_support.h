// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/pending_output.h"

namespace brisklo::test {

// A fresh folder under the system temp folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::string& value);
    ~ScopedEnv();

  private:
    std::string m_name;
    bool m_had = false;
    std::string m_old;
};

// Keeps every posted message, in order, and lets a test wait for one.
class RecordingSink : public MessageSink {
  public:
    struct Message {
        MessageId id;
        std::any payload;
        std::chrono::steady_clock::time_point at;
    };

    void Post(MessageId id, std::any payload) override;
    // Waits until a message with this id has arrived; false on time-out.
    bool WaitFor(MessageId id, std::chrono::milliseconds timeout);
    std::vector<Message> messages() const;
    std::size_t Count(MessageId id) const;

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Message> m_messages;
};

// Runs a program to its end (no shell) and returns its exit status; its output
// goes into *output when given.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

// A small test clip made by ffmpeg from its built-in sources.
std::filesystem::path MakeClip(const std::filesystem::path& path, double seconds,
                               bool withAudio = true);

// A still picture made by ffmpeg (testsrc2 at size "WxH"); the extension picks
// the format (png, jpg, bmp, gif).
std::filesystem::path MakePicture(const std::filesystem::path& path, const std::string& size);

// Puts a zTXt chunk into the PNG at path, right after its header, whose text
// inflates to `inflated` zero bytes (a text-chunk bomb: 1 GiB takes about 1 MB).
void AddPngTextBomb(const std::filesystem::path& path, std::uint64_t inflated);

std::filesystem::path FixturePath(const std::string& name);

// A hidden output in folder already holding content; throws when it cannot be made.
PendingOutput PendingWith(const std::filesystem::path& folder, const std::string& content);

void WriteFile(const std::filesystem::path& path, const std::string& content);
std::string ReadFile(const std::filesystem::path& path);

// The number N when `text` is exactly `prefix` + "?timestamp=N" (digits only).
std::optional<unsigned long long> TimestampAfter(std::string_view text, std::string_view prefix);

}  // namespace brisklo::test
