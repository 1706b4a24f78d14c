// SPDX-License-Identifier: GPL-3.0-or-later
// The web service's replies to the upgrade check and to feedback: any bytes are
// read without a crash, a hang or an exception.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/log.h"
#include "net/feedback.h"
#include "net/json_reply.h"
#include "net/upgrade_check.h"
#include "net/version_number.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    brisklo::SetLogTarget(brisklo::LogTarget::Silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    (void)brisklo::InterpretUpgradeReply(reply, "1.2.0");
    (void)brisklo::InterpretFeedbackReply(reply);
    if (const auto parsed = brisklo::ParseJsonReply(reply)) (void)brisklo::ReadRet(*parsed);
    (void)brisklo::ParseVersion(reply);
    return 0;
}
