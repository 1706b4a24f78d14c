// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/messages.h"
#include "core/output_finish.h"
#include "core/result.h"
#include "video/encode_records.h"
#include "video/encoder_process.h"
#include "video/encoder_progress_parser.h"

namespace brisklo {

// What a size check makes of a finished encode's output.
struct SizeVerdict {
    enum class Kind { Accept, Again, Fail };
    Kind kind = Kind::Accept;
    std::vector<std::string> argv;  // Again: the final pass once more, with these arguments
    std::string reason;             // Fail: why, without the file's name
};

struct EncodeRequest {
    std::int32_t taskId = 0;
    std::vector<std::string> argv;
    // Removed when the encode fails, so no half-written file stays behind.
    std::filesystem::path outputPath;
    // No progress and no output growth for this long ends the encode as failed;
    // zero waits for ever.
    std::chrono::seconds stallTimeout{120};
    // Run after a successful encode to move the output into its final name (or
    // keep the source instead); its error fails the task. Unset: the output stays.
    std::function<Result<FinishedOutput>()> finish = {};
    // The analysis pass of a two-pass encode, run before argv; empty for one pass.
    // Both passes (and a repeat of the last) are shown as one progress.
    std::vector<std::string> firstPass = {};
    // Judges the output of a successful final pass before finish runs, from its size:
    // accept it, run the final pass again with other arguments, or fail the encode
    // (FailureCode::TargetUnreachable). Unset: every output is accepted.
    std::function<SizeVerdict(std::uintmax_t outputSize)> checkSize = {};
};

// What a finished encode amounts to. Success needs a clean exit, the success
// marker, no write error and a non-empty output; anything else names a reason.
struct EncodeVerdict {
    bool ok = false;
    std::string reason;
};
EncodeVerdict JudgeEncode(const ProcessExit& exit, const EncoderProgressParser& parser,
                          std::optional<std::uintmax_t> outputSize, bool stopped);
// The same for an analysis pass, which writes no output.
EncodeVerdict JudgeAnalysisPass(const ProcessExit& exit, const EncoderProgressParser& parser,
                                bool stopped);

// One running encode: the encoder process and the reader thread that turns its
// output into messages. Progress (EncodeProgress, at most about once a second,
// never delaying the reading) is followed by exactly one EncodeSucceeded or
// EncodeFailed, posted after the encoder has exited. An encoder that stops
// responding for the request's stall time is stopped and the encode fails. The
// sink must outlive the run.
class EncodeRun {
  public:
    static Result<std::unique_ptr<EncodeRun>> Start(EncodeRequest request, MessageSink& sink);
    ~EncodeRun();  // stops a running encode and joins the reader
    EncodeRun(const EncodeRun&) = delete;
    EncodeRun& operator=(const EncodeRun&) = delete;

    // Stops the encoder; the run then ends as failed and its output is removed.
    void Stop();
    // True once the final message has been posted.
    bool finished() const { return m_finished.load(); }
    std::int32_t taskId() const { return m_request.taskId; }

  private:
    EncodeRun(EncodeRequest request, MessageSink& sink, std::unique_ptr<EncoderProcess> process);
    void Read();
    // Reads the running process's output to its end, as pass `pass` of `passes`.
    ProcessExit ReadPass(int pass, int passes);
    // Starts the next process of the encode; false (with the reason) when stopped
    // or when it cannot start.
    bool StartNext(const std::vector<std::string>& argv, std::string& reason, FailureCode& code);
    void Conclude(EncodeVerdict verdict, FailureCode code);
    FailureCode Code() const;  // the failure code a failed pass gets
    std::filesystem::path SizePath() const;

    EncodeRequest m_request;
    MessageSink& m_sink;
    std::mutex m_processMutex;  // guards m_process between the reader and Stop
    std::unique_ptr<EncoderProcess> m_process;
    EncoderProgressParser m_parser;
    std::shared_ptr<EncodeProgress> m_progress;
    std::atomic<bool> m_stopRequested{false};
    bool m_stalled = false;  // reader thread only
    std::atomic<bool> m_finished{false};
    std::thread m_reader;
};

}  // namespace brisklo
