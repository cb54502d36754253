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

#include "shell/unit_system.h"

class QLineEdit;

namespace kambrix {

class MessageService;

class CheckedBox : public QObject {
    Q_OBJECT

  public:
    // The rule gets the text, the user's decimal separator and the units the text is in (the
    // shown ones for a box holding a quantity, else the stored ones); none when acceptable.
    // Its message states the range in those units.
    using Rule = std::function<std::optional<std::string>(const std::string& text, char sep,
                                                          UnitSystem units)>;

    CheckedBox(QLineEdit* box, Rule rule, MessageService& messages);

    // Runs the check now; shows the message and returns false when the text is refused.
    bool commit();
    // Puts a text in the box as the accepted one.
    void setAccepted(const QString& text);
    // Puts a stored value in the box (blank for none), shown with `decimals` in the stored
    // units or in the shown units when the box holds a quantity.
    void setAcceptedValue(std::optional<double> stored, int decimals);
    QLineEdit* box() const { return box_; }
    // The accepted number in stored units, none when blank.
    std::optional<double> given() const;

    // The quantity the box holds: it then shows and takes its number in the shown units,
    // while given() stays in stored units; a value the program put there reads back exactly
    // until the user edits it.
    void setQuantity(Quantity quantity);
    // Shows the number again in the shown units (after they changed).
    void redrawInUnits();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* box_;
    Rule rule_;
    MessageService& messages_;
    void showStored(double stored, int decimals);

    QString lastAccepted_;
    bool checking_ = false;
    std::optional<Quantity> quantity_;
    UnitSystem shownIn_ = UnitSystem::SI;
    std::optional<double> exactStored_;
    QString exactText_;
};

}  // namespace kambrix
