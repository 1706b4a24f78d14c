// SPDX-License-Identifier: GPL-3.0-or-later
#include "video/encode_run.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>

#include "video/encode_records.h"
#include "video/stall_watch.h"

namespace brisklo {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr auto kProgressInterval = 1000ms;
constexpr int kPollMs = 200;
// After the encoder has exited, something it started may still hold the pipe.
constexpr auto kDrainAfterExit = 1000ms;
// After the pipe has ended, an encoder that does not exit is stopped.
constexpr auto kExitAfterEof = 5000ms;

std::string WithDetail(std::string text, const EncoderProgressParser& parser) {
    if (const std::string detail = parser.lastMessage(); !detail.empty()) {
        text += ": " + detail;
    }
    return text;
}

std::int32_t Low32(std::int64_t value) { return static_cast<std::int32_t>(value); }

}  // namespace

EncodeVerdict JudgeEncode(const ProcessExit& exit, const EncoderProgressParser& parser,
                          std::optional<std::uintmax_t> outputSize, bool stopped) {
    if (stopped) return {false, "the encode was stopped"};
    if (exit.signalled) return {false, WithDetail("the encoder " + exit.Describe(), parser)};
    if (parser.failureSeen()) return {false, WithDetail("the conversion failed", parser)};
    if (exit.code != 0) return {false, WithDetail("the encoder " + exit.Describe(), parser)};
    if (parser.writeErrorSeen()) {
        return {false, WithDetail("the encoder could not write the output", parser)};
    }
    if (!parser.successSeen()) {
        return {false, WithDetail("the encoder ended without finishing the output", parser)};
    }
    if (!outputSize) return {false, "the output file is missing"};
    if (*outputSize == 0) return {false, "the output file is empty"};
    return {true, {}};
}

EncodeVerdict JudgeAnalysisPass(const ProcessExit& exit, const EncoderProgressParser& parser,
                                bool stopped) {
    if (stopped) return {false, "the encode was stopped"};
    if (exit.signalled || exit.code != 0) {
        return {false, WithDetail("the encoder's first pass " + exit.Describe(), parser)};
    }
    if (parser.failureSeen() || !parser.successSeen()) {
        return {false, WithDetail("the encoder's first pass failed", parser)};
    }
    return {true, {}};
}

Result<std::unique_ptr<EncodeRun>> EncodeRun::Start(EncodeRequest request, MessageSink& sink) {
    auto process =
        EncoderProcess::Start(request.firstPass.empty() ? request.argv : request.firstPass);
    if (!process) return process.error();
    return std::unique_ptr<EncodeRun>(
        new EncodeRun(std::move(request), sink, std::move(process).value()));
}

EncodeRun::EncodeRun(EncodeRequest request, MessageSink& sink,
                     std::unique_ptr<EncoderProcess> process)
    : m_request(std::move(request)),
      m_sink(sink),
      m_process(std::move(process)),
      m_progress(std::make_shared<EncodeProgress>()) {
    m_progress->taskId = m_request.taskId;
    m_reader = std::thread([this] { Read(); });
}

EncodeRun::~EncodeRun() {
    if (!m_finished) Stop();
    if (m_reader.joinable()) m_reader.join();
}

fs::path EncodeRun::SizePath() const {
    // The file handed over as "/dev/fd/N" is the one that counts, read through our
    // own descriptor, whatever its hidden name has become.
    if (const auto held = HandedOverDescriptors(m_request.argv); !held.empty()) {
        return "/dev/fd/" + std::to_string(held.back());
    }
    return m_request.outputPath;
}

void EncodeRun::Stop() {
    std::lock_guard lock(m_processMutex);
    m_stopRequested = true;
    m_process->Stop();
}

void EncodeRun::Read() {
    int passes = m_request.firstPass.empty() ? 1 : 2;
    for (int pass = 0;; ++pass) {
        const ProcessExit exit = ReadPass(pass, passes);
        std::string reason;
        FailureCode code = FailureCode::EncoderFailed;
        if (pass + 1 < passes) {
            // The analysis pass: on to the final one.
            const EncodeVerdict verdict = JudgeAnalysisPass(exit, m_parser, m_stopRequested);
            if (!verdict.ok) return Conclude(verdict, Code());
            if (!StartNext(m_request.argv, reason, code)) return Conclude({false, reason}, code);
            continue;
        }
        std::optional<std::uintmax_t> outputSize;
        std::error_code error;
        if (!m_request.outputPath.empty()) {
            const auto size = fs::file_size(SizePath(), error);
            if (!error) outputSize = size;
        }
        EncodeVerdict verdict = JudgeEncode(exit, m_parser, outputSize, m_stopRequested.load());
        if (!verdict.ok || !m_request.checkSize || !outputSize) return Conclude(verdict, Code());
        SizeVerdict size = m_request.checkSize(*outputSize);
        if (size.kind == SizeVerdict::Kind::Accept) return Conclude(verdict, Code());
        if (size.kind == SizeVerdict::Kind::Fail) {
            return Conclude({false, size.reason}, FailureCode::TargetUnreachable);
        }
        if (!StartNext(size.argv, reason, code)) return Conclude({false, reason}, code);
        ++passes;  // the final pass once more, shown after the others
    }
}

FailureCode EncodeRun::Code() const {
    if (m_stopRequested) return FailureCode::Stopped;
    return m_stalled ? FailureCode::EncoderStalled : FailureCode::EncoderFailed;
}

bool EncodeRun::StartNext(const std::vector<std::string>& argv, std::string& reason,
                          FailureCode& code) {
    std::lock_guard lock(m_processMutex);
    if (m_stopRequested) {
        reason = "the encode was stopped";
        code = FailureCode::Stopped;
        return false;
    }
    auto process = EncoderProcess::Start(argv);
    if (!process) {
        reason = process.error().message;
        code = FailureCode::EncoderMissing;
        return false;
    }
    m_process = std::move(process).value();
    m_parser = EncoderProgressParser();
    return true;
}

ProcessExit EncodeRun::ReadPass(int pass, int passes) {
    const int fd = m_process->outputFd();
    bool pending = false;
    Clock::time_point lastPost{};
    std::optional<ProcessExit> exit;
    Clock::time_point exitSeen{};
    std::array<char, 4096> buffer;
    StallWatch watch(m_request.stallTimeout, Clock::now());
    Clock::time_point lastSizeCheck = Clock::now();

    auto handle = [&](const std::vector<EncoderProgressParser::Event>& events) {
        for (const auto& event : events) {
            using Kind = EncoderProgressParser::EventKind;
            // Each pass reads the whole source: pass k of n covers the k-th n-th.
            if (event.kind == Kind::Duration) m_progress->durationMs = Low32(event.ms * passes);
            if (event.kind == Kind::Progress) {
                m_progress->timeMs = Low32(m_parser.durationMs() * pass + event.ms);
                watch.NotePosition(event.ms, Clock::now());
                m_progress->speed = std::strtof(m_parser.speed().c_str(), nullptr);
                pending = true;
            }
        }
    };
    auto postProgress = [&](bool force) {
        if (!pending) return;
        const auto now = Clock::now();
        if (!force && now - lastPost < kProgressInterval) return;
        PostMessage<MessageId::EncodeProgress>(m_sink, EncodeProgressPtr(m_progress));
        lastPost = now;
        pending = false;
    };

    for (bool open = true; open;) {
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, kPollMs);
        if (ready > 0) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n > 0) {
                handle(m_parser.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(n))));
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                open = false;  // end of output, or a read error treated as such
            }
        } else if (ready < 0 && errno != EINTR) {
            open = false;
        }
        postProgress(false);
        if (const auto now = Clock::now(); !exit && !m_stalled && now - lastSizeCheck >= 1s) {
            lastSizeCheck = now;
            std::error_code error;
            const auto size = fs::file_size(SizePath(), error);
            if (!error) watch.NoteOutputSize(size, now);
            if (watch.Stalled(now)) {
                // Stopping closes the pipe, so the loop ends through the usual path.
                m_stalled = true;
                m_process->Stop();
            }
        }
        if (!exit) {
            exit = m_process->TryReap();
            if (exit) exitSeen = Clock::now();
        } else if (Clock::now() - exitSeen > kDrainAfterExit) {
            break;
        }
    }
    handle(m_parser.Finish());
    m_process->CloseOutput();

    const auto eofAt = Clock::now();
    // The encoder closes its output a moment before it exits; look again soon so
    // that the next task is not kept waiting.
    for (auto pause = 100us; !exit && Clock::now() - eofAt < kExitAfterEof;
         pause = std::min<std::chrono::microseconds>(pause * 2, 20ms)) {
        exit = m_process->TryReap();
        if (!exit) std::this_thread::sleep_for(pause);
    }
    if (!exit) exit = m_process->Stop();

    postProgress(true);
    return *exit;
}

void EncodeRun::Conclude(EncodeVerdict verdict, FailureCode code) {
    // The size check holds what the passes shared (their log); it is done with.
    m_request.checkSize = {};
    std::error_code error;
    if (m_stalled && !m_stopRequested) {
        verdict = {false, "the encoder stopped responding for " +
                              std::to_string(m_request.stallTimeout.count()) + " s"};
        code = FailureCode::EncoderStalled;
    }
    if (verdict.ok) {
        EncodeDone done{m_request.taskId, m_progress, m_request.outputPath.string(),
                        ShortReadWarning(m_parser.durationMs(), m_parser.timeMs())};
        if (m_request.finish) {
            if (auto finished = m_request.finish()) {
                done.outputPath = finished.value().path.string();
                done.keptOriginal = finished.value().keptOriginal;
            } else {
                verdict = {false, finished.error().message};
                code = FailureCode::OutputFailed;
            }
        }
        if (verdict.ok) {
            PostMessage<MessageId::EncodeSucceeded>(m_sink, std::move(done));
            m_finished = true;
            return;
        }
    }
    if (!m_request.outputPath.empty() && fs::is_regular_file(m_request.outputPath, error)) {
        fs::remove(m_request.outputPath, error);
    }
    PostMessage<MessageId::EncodeFailed>(m_sink,
                                         EncodeFailure{m_request.taskId, verdict.reason, code});
    m_finished = true;
}

}  // namespace brisklo
