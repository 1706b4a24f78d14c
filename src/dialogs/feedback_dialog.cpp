// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/feedback_dialog.h"

#include <exception>
#include <system_error>

#include "core/log.h"
#include "dialogs/dialog_texts.h"
#include "net/service_address.h"
#include "ui/controls.h"

namespace brisklo::dialogs {
namespace {

constexpr int kReplyMessage = 1;  // payload: FeedbackOutcome
// The message field takes the focus once the window has settled on screen.
constexpr int kFocusDelayMs = 100;

}  // namespace

FeedbackDialog::FeedbackDialog(QWidget* owner, std::string serviceUrl,
                               DialogEnvironment environment)
    : ui::WindowBase(owner),
      m_serviceUrl(std::move(serviceUrl)),
      m_environment(std::move(environment)) {}

FeedbackDialog::~FeedbackDialog() {
    if (m_request.joinable()) m_request.join();
}

void FeedbackDialog::initWindow() {
    m_content = control(QStringLiteral("feedbackContent"));
    m_contact = control(QStringLiteral("feedbackContact"));
    m_errorTips = control(QStringLiteral("feedbackErrorTips"));
    control(QStringLiteral("feedbackBtn"));
    control(QStringLiteral("contact-us"));

    m_focusTimer.setSingleShot(true);
    m_focusTimer.setInterval(kFocusDelayMs);
    connect(&m_focusTimer, &QTimer::timeout, this, [this] { m_content->setFocus(); });
}

void FeedbackDialog::showEvent(QShowEvent* event) {
    ui::WindowBase::showEvent(event);
    // Counted from the first showing, not from building the layout, however long
    // the caller takes in between.
    if (!m_shown) {
        m_shown = true;
        m_focusTimer.start();
    }
}

void FeedbackDialog::notify(const ui::Notification& n) {
    if (n.type == ui::kClick) {
        if (n.senderName == QStringLiteral("feedbackBtn")) {
            Send();
        } else if (n.senderName == QStringLiteral("contact-us")) {
            OpenHelpPage();
        }
    }
    ui::WindowBase::notify(n);
}

int FeedbackDialog::handleCustomMessage(int number, const std::any& payload, bool& handled) {
    if (number != kReplyMessage)
        return ui::WindowBase::handleCustomMessage(number, payload, handled);
    // A payload of another type is dropped, never cast.
    if (const auto* outcome = std::any_cast<FeedbackOutcome>(&payload)) m_outcome = *outcome;
    if (m_replyWait) m_replyWait->quit();
    return 0;
}

void FeedbackDialog::Send() {
    if (m_sending) return;  // one request per dialog
    const FeedbackMessage message{ui::Text(m_content).toStdString(),
                                  ui::Text(m_contact).toStdString()};
    if (const std::optional<FeedbackProblem> problem = ValidateFeedback(message)) {
        ui::SetText(m_errorTips, FeedbackProblemText(*problem));
        return;
    }
    m_sending = true;
    // The texts stay in view but cannot be changed or sent twice meanwhile.
    setEnabled(false);
    ui::SetText(m_errorTips, QString());
    const std::optional<FeedbackOutcome> outcome = AwaitReply(message);
    setEnabled(true);
    m_sending = false;
    m_outcome.reset();
    if (!outcome) {
        // The application is leaving: no notice any more.
        closeWith(0);
        return;
    }
    if (m_environment.boxes.tell) m_environment.boxes.tell(this, FeedbackNotice(*outcome));
    if (*outcome == FeedbackOutcome::NetworkError) {
        // Nothing arrived: the dialog stays open with what was typed, to try again.
        ui::SetText(m_errorTips, FeedbackNotice(*outcome));
        return;
    }
    closeWith(1);
}

std::optional<FeedbackOutcome> FeedbackDialog::AwaitReply(const FeedbackMessage& message) {
    FeedbackParams params;
    params.serviceUrl = m_serviceUrl;
    params.http = m_environment.http;
    try {
        m_request = std::thread([box = postBox(), message, params = std::move(params)] {
            FeedbackOutcome outcome = FeedbackOutcome::NetworkError;
            try {
                outcome = SendFeedback(message, params);
            } catch (const std::exception& error) {
                LogLine("feedback: %s\n", error.what());
            }
            box->Post(kReplyMessage, outcome);
        });
    } catch (const std::system_error& error) {
        LogLine("cannot send the feedback: %s\n", error.what());
        return FeedbackOutcome::NetworkError;
    }
    // A dead network may take the request's whole time-out. Meanwhile the UI
    // thread goes on with timers, painting and the workers' messages; only the
    // user's input waits, as it would behind a modal dialog.
    if (!m_outcome) {
        QEventLoop wait;
        m_replyWait = &wait;
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!m_outcome) return std::nullopt;
    m_request.join();  // it has posted its last word
    return m_outcome;
}

void FeedbackDialog::OpenHelpPage() {
    if (!m_environment.openUrl) return;
    const std::string address = ServiceUrl(m_serviceUrl, kHelpPagePath);
    m_environment.openUrl(QUrl(QString::fromStdString(address)));
}

}  // namespace brisklo::dialogs
