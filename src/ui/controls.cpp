// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>

namespace brisklo::ui {
namespace {
constexpr const char* kTagProperty = "tag";
constexpr const char* kTextColorProperty = "textColor";
}  // namespace

void SetText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        rich->setPlainText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentText(text);
    } else if (control) {
        control->setWindowTitle(text);
    }
}

QString Text(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* line = qobject_cast<const QLineEdit*>(control)) return line->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(control)) return plain->toPlainText();
    if (auto* rich = qobject_cast<const QTextEdit*>(control)) return rich->toPlainText();
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    return control ? control->windowTitle() : QString();
}

void SetTag(QWidget* control, int tag) { control->setProperty(kTagProperty, tag); }

int Tag(const QWidget* control) { return control->property(kTagProperty).toInt(); }

void SetMouseEnabled(QWidget* control, bool enabled) {
    control->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    for (QWidget* child : control->findChildren<QWidget*>()) {
        child->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    }
    // Keyboard activation would get round the mouse switch.
    control->setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
}

bool IsMouseEnabled(const QWidget* control) {
    return !control->testAttribute(Qt::WA_TransparentForMouseEvents);
}

void SetTextColor(QWidget* control, std::uint32_t argb) {
    const QColor color = QColor::fromRgba(argb);
    control->setProperty(kTextColorProperty, static_cast<uint>(argb));
    // A per-control style sheet wins over the application's sheet.
    control->setStyleSheet(QStringLiteral("color: rgba(%1, %2, %3, %4);")
                               .arg(color.red())
                               .arg(color.green())
                               .arg(color.blue())
                               .arg(color.alpha()));
}

std::uint32_t TextColor(const QWidget* control) {
    const QVariant stored = control->property(kTextColorProperty);
    if (stored.isValid()) return stored.toUInt();
    return control->palette().color(QPalette::WindowText).rgba();
}

void SetChecked(QWidget* control, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setChecked(checked);
}

bool IsChecked(const QWidget* control) {
    auto* button = qobject_cast<const QAbstractButton*>(control);
    return button && button->isChecked();
}

void SetCurrentIndex(QWidget* control, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentIndex(index);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
        tabs->setCurrentIndex(index);
    } else if (auto* stack = qobject_cast<QStackedWidget*>(control)) {
        stack->setCurrentIndex(index);
    }
}

int CurrentIndex(const QWidget* control) {
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentIndex();
    if (auto* tabs = qobject_cast<const QTabWidget*>(control)) return tabs->currentIndex();
    if (auto* stack = qobject_cast<const QStackedWidget*>(control)) return stack->currentIndex();
    return -1;
}

void SetValue(QWidget* control, int value) {
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        slider->setValue(value);
    } else if (auto* bar = qobject_cast<QProgressBar*>(control)) {
        bar->setValue(value);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
        spin->setValue(value);
    }
}

int Value(const QWidget* control) {
    if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return slider->value();
    if (auto* bar = qobject_cast<const QProgressBar*>(control)) return bar->value();
    if (auto* spin = qobject_cast<const QSpinBox*>(control)) return spin->value();
    return 0;
}

int MinValue(const QWidget* control) {
    if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return slider->minimum();
    if (auto* bar = qobject_cast<const QProgressBar*>(control)) return bar->minimum();
    return 0;
}

int MaxValue(const QWidget* control) {
    if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return slider->maximum();
    if (auto* bar = qobject_cast<const QProgressBar*>(control)) return bar->maximum();
    return 0;
}

QWidget* FindSubControl(const QWidget* parent, const QString& name) {
    return parent ? parent->findChild<QWidget*>(name) : nullptr;
}

}  // namespace brisklo::ui
