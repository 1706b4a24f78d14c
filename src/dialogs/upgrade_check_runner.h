// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <thread>

#include "dialogs/dialog_environment.h"
#include "net/upgrade_check.h"
#include "ui/post_box.h"

namespace brisklo::dialogs {

// Runs the upgrade check for a window: the request on a thread of its own, so
// the UI thread never waits for the service, and what it found on the UI thread:
// the offer and download of a newer version, or, unless the check is quiet,
// "没有发现新版本!". A failed check is logged, and told unless the check is quiet.
class UpgradeCheckRunner : public QObject {
    Q_OBJECT
  public:
    explicit UpgradeCheckRunner(QWidget* owner);
    // Waits for a request still on its way (at most its time-outs).
    ~UpgradeCheckRunner() override;

    // Starts a check against serviceUrl. While one is running (or its offer is
    // shown) no second one starts; a check that is not quiet then makes the
    // running one report "nothing newer" as well.
    void Start(std::string serviceUrl, bool quiet, DialogEnvironment environment);
    // From Start until the outcome has been shown.
    bool busy() const { return m_busy; }

  protected:
    bool event(QEvent* event) override;

  private:
    void Report(const UpgradeCheckResult& result);
    void Join();

    QPointer<QWidget> m_owner;
    std::shared_ptr<ui::PostBox> m_box;
    DialogEnvironment m_environment;
    bool m_busy = false;
    bool m_quiet = true;
    std::thread m_thread;
};

}  // namespace brisklo::dialogs
