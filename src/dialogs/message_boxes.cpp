// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/message_boxes.h"

#include <QApplication>

#include "dialogs/message_box_dialog.h"
#include "dialogs/prompt_box_dialog.h"

namespace brisklo::dialogs {

namespace {
ScriptedBoxAnswers* g_scripted = nullptr;
}  // namespace

int ShowMessageBox(QWidget* owner, const QString& text) {
    if (ScriptedBoxAnswers* scripted = ScriptedBoxAnswers::Current()) return scripted->Answer(text);
    MessageBoxDialog box(owner, text);
    box.create();
    return box.runModal();
}

void ShowPromptBox(QWidget* owner, const QString& text) {
    if (ScriptedBoxAnswers* scripted = ScriptedBoxAnswers::Current()) {
        scripted->Answer(text);
        return;
    }
    PromptBoxDialog box(owner, text);
    box.create();
    box.runModal();
}

bool AnswerOpenBox(int result) {
    auto* box = qobject_cast<BoxDialog*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return false;
    box->closeWith(result);
    return true;
}

ScriptedBoxAnswers::ScriptedBoxAnswers(std::deque<int> answers, int fallback)
    : m_answers(std::move(answers)), m_fallback(fallback), m_previous(g_scripted) {
    g_scripted = this;
}

ScriptedBoxAnswers::~ScriptedBoxAnswers() { g_scripted = m_previous; }

int ScriptedBoxAnswers::Answer(const QString& text) {
    m_texts.push_back(text);
    if (m_answers.empty()) return m_fallback;
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

ScriptedBoxAnswers* ScriptedBoxAnswers::Current() { return g_scripted; }

}  // namespace brisklo::dialogs
