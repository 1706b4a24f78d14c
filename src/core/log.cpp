// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace brisklo {
namespace {

std::atomic<LogTarget> g_target{LogTarget::StandardOutput};
std::mutex g_writeMutex;  // keeps lines from two threads whole

}  // namespace

void SetLogTarget(LogTarget target) { g_target.store(target); }

LogTarget GetLogTarget() { return g_target.load(); }

void LogLine(const char* format, ...) {
    const LogTarget target = g_target.load();
    if (target == LogTarget::Silent) return;
    FILE* stream = target == LogTarget::StandardError ? stderr : stdout;
    std::lock_guard lock(g_writeMutex);
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
    std::fflush(stream);
}

}  // namespace brisklo
