// SPDX-License-Identifier: GPL-3.0-or-later
//
// A text box whose text is checked by a given rule when the user leaves it (or presses
// Enter): a refused text brings back the last accepted one and the rule's message is shown.
// For boxes whose check lives in the application library as a text check ("the regulator
// pressure of Tower 2 (kPa)"), so the window and the library word it the same.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;

namespace kambrix {

class MessageService;

class CheckedBox : public QObject {
  public:
    // The rule gets the text and the user's decimal separator; none when acceptable.
    using Rule = std::function<std::optional<std::string>(const std::string& text, char sep)>;

    CheckedBox(QLineEdit* box, Rule rule, MessageService& messages);

    // Runs the check now; shows the message and returns false when the text is refused.
    bool commit();
    // Puts a text in the box as the accepted one.
    void setAccepted(const QString& text);
    QLineEdit* box() const { return box_; }
    // The accepted number, none when blank.
    std::optional<double> given() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* box_;
    Rule rule_;
    MessageService& messages_;
    QString lastAccepted_;
    bool checking_ = false;
};

}  // namespace kambrix
