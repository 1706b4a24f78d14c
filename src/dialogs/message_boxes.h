// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

// The program's own question and notice boxes, as the rest of the program
// calls them. UI thread only.
namespace brisklo::dialogs {

// Asks a yes/no question in a two-button box centred on owner (or the screen)
// and waits for the answer: 1 for confirm, 0 for cancel or when the box is
// closed another way. Treat any non-zero result as confirmation. Throws
// ui::SkinError when the skin lacks the box's layout or one of its controls.
int ShowMessageBox(QWidget* owner, const QString& text);

// Shows a notice in a one-button box centred on owner and waits until it is
// closed. Throws ui::SkinError like ShowMessageBox.
void ShowPromptBox(QWidget* owner, const QString& text);

// Closes the box that is open at the moment (the modal one) with result, as if
// a button gave it. False when no box is open.
bool AnswerOpenBox(int result);

// While one lives, boxes do not open: each records its text and takes the
// next scripted answer (a notice takes one too), then fallback once they run
// out. For tests and unattended runs. Instances nest; the newest answers.
class ScriptedBoxAnswers {
  public:
    explicit ScriptedBoxAnswers(std::deque<int> answers = {}, int fallback = 1);
    ~ScriptedBoxAnswers();
    ScriptedBoxAnswers(const ScriptedBoxAnswers&) = delete;
    ScriptedBoxAnswers& operator=(const ScriptedBoxAnswers&) = delete;

    // The texts of the boxes answered so far, in order.
    const QStringList& texts() const { return m_texts; }

    // Answers a box with text; used by the box functions.
    int Answer(const QString& text);
    // The innermost live instance, or null.
    static ScriptedBoxAnswers* Current();

  private:
    std::deque<int> m_answers;
    const int m_fallback;
    QStringList m_texts;
    ScriptedBoxAnswers* const m_previous;
};

}  // namespace brisklo::dialogs
