// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/add_notice.h"

#include <QAbstractButton>
#include <utility>

#include "app/file_adding.h"
#include "core/config_store.h"
#include "core/log.h"
#include "ui/controls.h"
#include "ui/window_base.h"

namespace brisklo::app {
namespace {

constexpr int kShownMilliseconds = 8000;

}  // namespace

AddNotice::AddNotice(ui::WindowBase& window, ConfigStore& config, FileAdding& adding)
    : QObject(&window), m_window(window), m_config(config), m_adding(adding) {
    m_hide.setSingleShot(true);
    m_hide.setInterval(kShownMilliseconds);
    QWidget* strip = m_window.control(QStringLiteral("add-notice"));
    connect(&m_hide, &QTimer::timeout, strip, &QWidget::hide);
    auto* close = m_window.control<QAbstractButton>(QStringLiteral("add-notice-close"));
    connect(close, &QAbstractButton::clicked, strip, &QWidget::hide);
    auto* subfolders = m_window.control<QAbstractButton>(QStringLiteral("add-notice-subfolders"));
    connect(subfolders, &QAbstractButton::clicked, this, &AddNotice::IncludeSubfolders);
}

void AddNotice::Show(const AddReport& report) {
    ui::SetText(m_window.control(QStringLiteral("add-notice-text")), AddReportText(report));
    m_skipped = report.skippedFolders;
    QWidget* subfolders = m_window.control(QStringLiteral("add-notice-subfolders"));
    ui::SetChecked(subfolders, false);
    subfolders->setVisible(!m_skipped.empty());
    m_window.control(QStringLiteral("add-notice"))->show();
    // A choice on offer stays until it is made or the strip is closed.
    if (m_skipped.empty()) {
        m_hide.start();
    } else {
        m_hide.stop();
    }
}

void AddNotice::IncludeSubfolders(bool include) {
    if (!m_config.Set(Setting::IncludeSubfolders, include ? 1 : 0)) {
        // Not kept for later adds; this one still gets what was asked for.
        LogLine("cannot save the include-subfolders setting\n");
    }
    if (!include) return;
    m_window.control(QStringLiteral("add-notice-subfolders"))->hide();
    m_adding.AddSkippedFolders(std::exchange(m_skipped, {}));
}

}  // namespace brisklo::app
