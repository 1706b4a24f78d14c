// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <optional>
#include <string>
#include <thread>

#include "dialogs/dialog_environment.h"
#include "net/feedback.h"
#include "ui/window_base.h"

namespace brisklo::dialogs {

// Lets the user send a message with a contact detail to the vendor's web service
// and opens the help page. Empty fields are named in "feedbackErrorTips" and
// nothing is sent. While the request runs (on a thread of its own) the dialog
// stays in view but takes no input; the notice of its outcome follows, then the
// dialog closes with 1, except after a network error: then it stays open with
// the texts typed, to send again.
class FeedbackDialog : public ui::WindowBase {
    Q_OBJECT
  public:
    FeedbackDialog(QWidget* owner, std::string serviceUrl, DialogEnvironment environment);
    // Waits for a request still on its way (at most its time-outs).
    ~FeedbackDialog() override;

  protected:
    QString skinFile() const override { return QStringLiteral("Feedback.xml"); }
    void initWindow() override;
    void notify(const ui::Notification& notification) override;
    int handleCustomMessage(int number, const std::any& payload, bool& handled) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Send();
    // Sends on a thread of its own and waits for the outcome; nothing when the
    // application left its event loops first.
    std::optional<FeedbackOutcome> AwaitReply(const FeedbackMessage& message);
    void OpenHelpPage();

    const std::string m_serviceUrl;
    const DialogEnvironment m_environment;
    QWidget* m_content = nullptr;
    QWidget* m_contact = nullptr;
    QWidget* m_errorTips = nullptr;
    QTimer m_focusTimer;
    bool m_shown = false;
    bool m_sending = false;
    std::optional<FeedbackOutcome> m_outcome;
    QPointer<QEventLoop> m_replyWait;
    std::thread m_request;
};

}  // namespace brisklo::dialogs
