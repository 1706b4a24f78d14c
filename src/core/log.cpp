// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>

namespace brisklo {
namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kLogFileLimit = 1u << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::atomic<LogTarget> g_target{LogTarget::StandardOutput};
std::mutex g_writeMutex;  // keeps lines from two threads whole; guards g_file
std::unique_ptr<std::FILE, FileCloser> g_file;

}  // namespace

void SetLogTarget(LogTarget target) {
    if (target == LogTarget::File) return;  // only SetLogFile knows which file
    g_target.store(target);
}

LogTarget GetLogTarget() { return g_target.load(); }

bool SetLogFile(const fs::path& file) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (fs::file_size(file, error) > kLogFileLimit && !error) {
        fs::rename(file, fs::path(file) += ".old", error);
    }
    std::unique_ptr<std::FILE, FileCloser> opened(std::fopen(file.c_str(), "ae"));
    if (!opened) return false;
    std::lock_guard lock(g_writeMutex);
    g_file = std::move(opened);
    g_target.store(LogTarget::File);
    return true;
}

void LogLine(const char* format, ...) {
    const LogTarget target = g_target.load();
    if (target == LogTarget::Silent) return;
    std::lock_guard lock(g_writeMutex);
    FILE* stream = target == LogTarget::StandardOutput ? stdout
                   : target == LogTarget::File         ? g_file.get()
                                                       : stderr;
    if (stream == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
    std::fflush(stream);
}

}  // namespace brisklo
