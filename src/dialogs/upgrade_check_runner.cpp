// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/upgrade_check_runner.h"

#include <exception>
#include <system_error>

#include "core/log.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/upgrade_offer.h"
#include "ui/posted_message.h"

namespace brisklo::dialogs {
namespace {
constexpr int kCheckFinished = 1;  // payload: UpgradeCheckResult
}

UpgradeCheckRunner::UpgradeCheckRunner(QWidget* owner)
    : m_owner(owner), m_box(std::make_shared<ui::PostBox>(this)) {}

UpgradeCheckRunner::~UpgradeCheckRunner() {
    // A late result is dropped; its events die with this object.
    m_box->Detach();
    Join();
}

void UpgradeCheckRunner::Start(std::string serviceUrl, bool quiet, DialogEnvironment environment) {
    if (m_busy) {
        if (!quiet) m_quiet = false;
        return;
    }
    Join();
    m_busy = true;
    m_quiet = quiet;
    m_environment = std::move(environment);
    UpgradeCheckParams params;
    params.serviceUrl = std::move(serviceUrl);
    params.http = m_environment.http;
    try {
        m_thread = std::thread([box = m_box, params = std::move(params)] {
            UpgradeCheckResult result = Error{"the upgrade check failed"};
            try {
                result = CheckForUpgrade(params);
            } catch (const std::exception& error) {
                result = Error{std::string("the upgrade check failed: ") + error.what()};
            }
            box->Post(kCheckFinished, std::move(result));
        });
    } catch (const std::system_error& error) {
        m_busy = false;
        LogLine("cannot start the upgrade check: %s\n", error.what());
    }
}

bool UpgradeCheckRunner::event(QEvent* event) {
    if (event->type() != ui::PostedMessage::EventType()) return QObject::event(event);
    const auto* message = static_cast<ui::PostedMessage*>(event);
    if (message->number() == kCheckFinished) {
        // The thread's last act was to post this.
        Join();
        if (const auto* result = std::any_cast<UpgradeCheckResult>(&message->payload())) {
            try {
                Report(*result);
            } catch (const std::exception& error) {
                // Nothing may leave an event handler.
                LogLine("upgrade check: %s\n", error.what());
            }
        }
        m_busy = false;
    }
    return true;
}

void UpgradeCheckRunner::Report(const UpgradeCheckResult& result) {
    if (!result) {
        LogLine("upgrade check: %s\n", result.error().message.c_str());
        // Asked for by the user, a failure is worth a word; at start-up it is not.
        if (!m_quiet && m_environment.boxes.tell) {
            m_environment.boxes.tell(
                m_owner, UpgradeCheckFailedNotice(QString::fromStdString(result.error().message)));
        }
        return;
    }
    const std::optional<UpgradeOffer>& offer = result.value();
    if (!offer) {
        if (!m_quiet && m_environment.boxes.tell) {
            m_environment.boxes.tell(m_owner, NoNewVersionNotice());
        }
        return;
    }
    ShowUpgradeOffer(m_owner, *offer, m_environment);
}

void UpgradeCheckRunner::Join() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace brisklo::dialogs
