// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include <poll.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <span>
#include <sstream>
#include <stdexcept>

#include "video/encoder_process.h"

namespace brisklo::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "brisklo-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    // Make read-only folders left by a test removable again.
    for (auto it = fs::recursive_directory_iterator(m_path, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error)) fs::permissions(it->path(), fs::perms::owner_all, error);
    }
    fs::permissions(m_path, fs::perms::owner_all, error);
    fs::remove_all(m_path, error);
}

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) {
        m_had = true;
        m_old = old;
    }
    ::setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_had) {
        ::setenv(m_name.c_str(), m_old.c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

void RecordingSink::Post(MessageId id, std::any payload) {
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({id, std::move(payload), std::chrono::steady_clock::now()});
    }
    m_arrived.notify_all();
}

bool RecordingSink::WaitFor(MessageId id, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] {
        for (const auto& message : m_messages) {
            if (message.id == id) return true;
        }
        return false;
    });
}

std::vector<RecordingSink::Message> RecordingSink::messages() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::size_t RecordingSink::Count(MessageId id) const {
    std::lock_guard lock(m_mutex);
    std::size_t n = 0;
    for (const auto& message : m_messages) n += message.id == id;
    return n;
}

int RunProgram(const std::vector<std::string>& argv, std::string* output) {
    auto process = EncoderProcess::Start(argv);
    if (!process) throw std::runtime_error(process.error().message);
    EncoderProcess& child = *process.value();
    char buffer[4096];
    for (;;) {
        pollfd entry{child.outputFd(), POLLIN, 0};
        if (::poll(&entry, 1, -1) < 0) continue;
        const ssize_t n = ::read(child.outputFd(), buffer, sizeof buffer);
        if (n > 0 && output) output->append(buffer, static_cast<std::size_t>(n));
        if (n == 0) break;
    }
    const ProcessExit exit = child.Wait();
    return exit.signalled ? 128 + exit.code : exit.code;
}

fs::path MakeClip(const fs::path& path, double seconds, bool withAudio) {
    std::vector<std::string> argv = {
        "ffmpeg", "-v",
        "error",  "-y",
        "-f",     "lavfi",
        "-i",     "testsrc=size=96x64:rate=10:duration=" + std::to_string(seconds)};
    if (withAudio) {
        argv.insert(argv.end(),
                    {"-f", "lavfi", "-i",
                     "sine=frequency=440:sample_rate=22050:duration=" + std::to_string(seconds)});
    }
    argv.insert(argv.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
    if (withAudio) argv.insert(argv.end(), {"-c:a", "aac", "-shortest"});
    argv.push_back(path.string());
    std::string output;
    if (RunProgram(argv, &output) != 0) throw std::runtime_error("ffmpeg failed: " + output);
    return path;
}

fs::path MakePicture(const fs::path& path, const std::string& size) {
    std::string output;
    if (RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=" + size,
                    "-frames:v", "1", path.string()},
                   &output) != 0) {
        throw std::runtime_error("ffmpeg failed: " + output);
    }
    return path;
}

void AddPngTextBomb(const fs::path& path, std::uint64_t inflated) {
    std::string png = ReadFile(path);
    std::string data("Comment\0\0", 9);  // keyword, NUL, deflate method
    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) throw std::runtime_error("zlib");
    const std::string zeros(1 << 20, '\0');
    std::string out(1 << 16, '\0');
    for (std::uint64_t left = inflated;;) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
        left -= piece;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        stream.avail_in = static_cast<uInt>(piece);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        int status = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = static_cast<uInt>(out.size());
            status = deflate(&stream, flush);
            data.append(out.data(), out.size() - stream.avail_out);
        } while (stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        if (left == 0) break;
    }
    deflateEnd(&stream);
    std::string chunk;
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk += static_cast<char>((data.size() >> shift) & 0xFF);
    }
    chunk += "zTXt" + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data() + 4),
                            static_cast<uInt>(chunk.size() - 4));
    for (int shift = 24; shift >= 0; shift -= 8) chunk += static_cast<char>((crc >> shift) & 0xFF);
    // Signature (8) and the IHDR chunk (25) come first.
    png.insert(33, chunk);
    WriteFile(path, png);
}

PendingOutput PendingWith(const fs::path& folder, const std::string& content) {
    auto pending = PendingOutput::Create(folder);
    if (!pending) throw std::runtime_error(pending.error().message);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    if (auto written = pending.value().Write(bytes); !written) {
        throw std::runtime_error(written.error().message);
    }
    return std::move(pending).value();
}

fs::path FixturePath(const std::string& name) { return fs::path(BRISKLO_FIXTURES) / name; }

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<unsigned long long> TimestampAfter(std::string_view text, std::string_view prefix) {
    constexpr std::string_view kQuery = "?timestamp=";
    if (!text.starts_with(prefix)) return std::nullopt;
    text.remove_prefix(prefix.size());
    if (!text.starts_with(kQuery)) return std::nullopt;
    text.remove_prefix(kQuery.size());
    if (text.empty() || text.size() > 20) return std::nullopt;
    unsigned long long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return n;
}

}  // namespace brisklo::test
