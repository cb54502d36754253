// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one way the windows talk to the user in a box: information messages and Yes/No
// questions, titled "Kambrix". Tests install a scripted service that answers by itself.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

namespace kambrix {

class MessageService {
  public:
    virtual ~MessageService() = default;
    // Information box.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
};

// Real message boxes.
class QtMessageService : public MessageService {
  public:
    void showMessage(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
};

// Records every text and answers the questions from a script (then `defaultAnswer`).
class ScriptedMessageService : public MessageService {
  public:
    void showMessage(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;

    void answer(bool yes) { answers_.push_back(yes); }
    bool defaultAnswer = false;
    QStringList messages;   // shown with showMessage
    QStringList questions;  // asked with confirm
    void clear() {
        messages.clear();
        questions.clear();
        answers_.clear();
    }

  private:
    std::deque<bool> answers_;
};

}  // namespace kambrix
