// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstdint>

// The control operations windows and rows use, by control, whatever its Qt class.
namespace brisklo::ui {

// Text of a label, button, line or text edit, or a combo's current text.
void SetText(QWidget* control, const QString& text);
QString Text(const QWidget* control);

// Task ids live in a control's "tag".
void SetTag(QWidget* control, int tag);
int Tag(const QWidget* control);

// Off: the control and its children ignore the mouse but keep their look.
void SetMouseEnabled(QWidget* control, bool enabled);
bool IsMouseEnabled(const QWidget* control);

// Text colour given as 0xAARRGGBB.
void SetTextColor(QWidget* control, std::uint32_t argb);
std::uint32_t TextColor(const QWidget* control);

// Check boxes and option (radio) buttons.
void SetChecked(QWidget* control, bool checked);
bool IsChecked(const QWidget* control);

// Combo boxes and tab widgets.
void SetCurrentIndex(QWidget* control, int index);
int CurrentIndex(const QWidget* control);

// Sliders and progress bars.
void SetValue(QWidget* control, int value);
int Value(const QWidget* control);
int MinValue(const QWidget* control);
int MaxValue(const QWidget* control);

// The descendant of parent named name, or null.
QWidget* FindSubControl(const QWidget* parent, const QString& name);

}  // namespace brisklo::ui
