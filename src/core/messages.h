#pragma once

#include <any>

namespace brisklo {

// Numbers of the messages that workers, menus and dialogs post to the main
// window. They are the contract between senders and the receiver; each is
// defined here once.
enum class MessageId : int {
    ImageDone = 1126,
    TaskParameters = 1224,
    OpenVideoFolder = 1225,
    CompressAgain = 1226,
    DeleteVideo = 1227,
    OpenImageFolder = 1228,
    CompressImageAgain = 1229,
    DeleteImage = 1230,
    // Stops the running encode of a video row (its row menu).
    StopVideo = 1231,
    // Stops the running job of an image row (its row menu).
    StopImage = 1232,
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

// Where engine threads report to. Implementations must be thread-safe and
// deliver messages in the order they were posted; the payload's type is fixed by
// the message (see the records beside each sender). Ownership travels with the
// payload, so nothing has to be freed by hand.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void Post(MessageId id, std::any payload) = 0;
};

}  // namespace brisklo
