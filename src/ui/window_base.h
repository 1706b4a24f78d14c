// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <any>
#include <memory>
#include <optional>

#include "ui/notification.h"
#include "ui/post_box.h"
#include "ui/skin.h"

namespace brisklo::ui {

// Base of every Brisklo window. A window names its layout (skinFile), is set up
// once after the layout is built (initWindow), hears its named controls through
// notify, receives posted messages through handleCustomMessage, may refuse a
// close (onClose), and can run modally, returning the value given to closeWith.
class WindowBase : public QDialog {
    Q_OBJECT
  public:
    explicit WindowBase(QWidget* owner = nullptr);
    ~WindowBase() override;

    // Loads the layout, wires the notifications of every named control and calls
    // initWindow. Throws SkinError when the layout or a control is missing.
    void create();
    // Shows the window modally, centred on its owner; returns closeWith's value.
    int runModal();
    // create, then runModal; none (and a log line naming the layout) when the
    // layout cannot be built.
    std::optional<int> createAndRunModal();
    void closeWith(int result);

    // Thread-safe: delivers (number, payload) to handleCustomMessage on the
    // window's thread, in order. The box outlives the window and drops late posts.
    void post(int number, std::any payload = {});
    std::shared_ptr<PostBox> postBox() const { return m_postBox; }

    // The control named name; throws SkinError naming the layout when it is missing.
    template <class T = QWidget>
    T* control(const QString& name) const {
        T* found = findChild<T*>(name);
        if (!found) ThrowMissing(name);
        return found;
    }

  protected:
    virtual QString skinFile() const = 0;
    virtual void initWindow() {}
    virtual void notify(const Notification& notification);
    // Sets handled to false for messages the window does not know.
    virtual int handleCustomMessage(int number, const std::any& payload, bool& handled);
    // Return false to keep the window open.
    virtual bool onClose() { return true; }
    // Dialogs close on Esc; a main window does not.
    virtual bool closesOnEscape() const { return true; }
    virtual void onFinalMessage() {}

    // Makes the controls of a widget added later (a list row) notify this window.
    void wireNotifications(QWidget* root);
    QWidget* layoutRoot() const { return m_root; }

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    [[noreturn]] void ThrowMissing(const QString& name) const;
    void emitNotification(const QString& type, QWidget* sender, int value);

    std::shared_ptr<PostBox> m_postBox;
    QWidget* m_root = nullptr;
    bool m_closingWithResult = false;
};

}  // namespace brisklo::ui
