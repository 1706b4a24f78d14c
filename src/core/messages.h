// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <any>
#include <cstdint>
#include <memory>
#include <utility>

namespace brisklo {

// Numbers of the messages that workers, menus and dialogs post to the main
// window. They are the contract between senders and the receiver; each is
// defined here once, and its payload type in the table below.
enum class MessageId : int {
    ImageDone = 1126,
    TaskParameters = 1224,
    OpenVideoFolder = 1225,
    CompressAgain = 1226,
    DeleteVideo = 1227,
    OpenImageFolder = 1228,
    CompressImageAgain = 1229,
    DeleteImage = 1230,
    // Stops the running encode of a video row, or takes it off the waiting list.
    StopVideo = 1231,
    // Stops the running job of an image row, or takes it off the waiting list.
    StopImage = 1232,
    // Shows the output of a finished video or image row in the file manager.
    ShowOutputFile = 1233,
    MenuQuit = 1234,
    MenuHome = 1235,
    MenuHelp = 1236,
    MenuSettings = 1237,
    MenuFeedback = 1238,
    MenuUpgrade = 1239,
    TrayIcon = 1254,
    ParametersSaved = 1264,
    ParametersRemoved = 1265,
    EncodeProgress = 1284,
    EncodeSucceeded = 1285,
    EncodeFailed = 1286,
};

// The payload of a message that carries nothing.
struct NoPayload {};

// The records posted with the workers' messages, defined beside their senders.
struct EncodeDone;
struct EncodeFailure;
struct EncodeProgress;
struct ImageResult;
struct TaskParam;

// The payload type of each message. A message without an entry cannot be posted
// or handled through PostMessage and MessageTable.
template <MessageId Id>
struct MessagePayload;

template <MessageId Id>
using PayloadOf = typename MessagePayload<Id>::type;

#define BRISKLO_MESSAGE_PAYLOAD(id, payload) \
    template <>                              \
    struct MessagePayload<MessageId::id> {   \
        using type = payload;                \
    }

BRISKLO_MESSAGE_PAYLOAD(ImageDone, ImageResult);
BRISKLO_MESSAGE_PAYLOAD(TaskParameters, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(OpenVideoFolder, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(CompressAgain, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(DeleteVideo, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(OpenImageFolder, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(CompressImageAgain, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(DeleteImage, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(StopVideo, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(StopImage, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(ShowOutputFile, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(MenuQuit, NoPayload);
BRISKLO_MESSAGE_PAYLOAD(MenuHome, NoPayload);
BRISKLO_MESSAGE_PAYLOAD(MenuHelp, NoPayload);
BRISKLO_MESSAGE_PAYLOAD(MenuSettings, NoPayload);
BRISKLO_MESSAGE_PAYLOAD(MenuFeedback, NoPayload);
BRISKLO_MESSAGE_PAYLOAD(MenuUpgrade, NoPayload);
BRISKLO_MESSAGE_PAYLOAD(ParametersSaved, TaskParam);
BRISKLO_MESSAGE_PAYLOAD(ParametersRemoved, std::int32_t);
BRISKLO_MESSAGE_PAYLOAD(EncodeProgress, std::shared_ptr<const EncodeProgress>);
BRISKLO_MESSAGE_PAYLOAD(EncodeSucceeded, EncodeDone);
BRISKLO_MESSAGE_PAYLOAD(EncodeFailed, EncodeFailure);

#undef BRISKLO_MESSAGE_PAYLOAD

// Where engine threads report to. Implementations must be thread-safe and
// deliver messages in the order they were posted. Ownership travels with the
// payload, so nothing has to be freed by hand. Senders post through Post below,
// which takes only the payload type the table gives.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Post(MessageId id, std::any payload) = 0;
};

template <MessageId Id>
void PostMessage(MessageSink& sink, PayloadOf<Id> payload) {
    sink.Post(Id, std::any(std::move(payload)));
}

}  // namespace brisklo
