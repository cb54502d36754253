// SPDX-License-Identifier: GPL-3.0-or-later
//
// A numeric input box checked when the user leaves it (or presses Enter): a text that is not
// a number in the user's notation, is not finite or lies out of the box's range is refused
// with a message, and the last accepted text comes back. A blank box is "not given".
// Under a decimal comma a point is read as the decimal mark too; nothing of that passes
// unnoticed: an accepted text with a point is shown back in the locale's form ("1.500"
// becomes "1,5"), and a text that looks like digits grouped with points gets a note beside
// the box saying how it was read.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "shell/number_input.h"
#include "shell/unit_system.h"

class QLabel;
class QLineEdit;

namespace kambrix {

class MessageService;

class NumberBox : public QObject {
    Q_OBJECT

  public:
    // `what` names the box in messages ("the design discharge"); `accepted` runs after a
    // changed text has been accepted.
    NumberBox(QLineEdit* box, NumberRange range, QString what, bool allowBlank,
              MessageService& messages, std::function<void()> accepted = {});

    // The quantity the box holds: it then shows and takes its number in the shown units
    // (shownUnits()), while value(), given(), setValue() and the range stay in stored
    // units. A number shown in other units reads back as the stored value it came from
    // until the user edits it, so switching units never changes what is saved.
    void setQuantity(Quantity quantity);
    std::optional<Quantity> quantity() const { return quantity_; }
    // A number whose shown value follows a rule of the window's rather than the unit of a
    // quantity (a nozzle's coefficient a, whose units depend on the exponent b beside it).
    // In the stored system the number is shown as stored.
    struct Conversion {
        std::function<double(UnitSystem, double)> toShown;   // stored value -> shown value
        std::function<double(UnitSystem, double)> toStored;  // shown value -> stored value
        std::string unit;                                    // stated in range messages
        int significantDigits = 6;                           // of a value shown converted
    };
    void setConversion(Conversion conversion);
    // The rule converts otherwise now (the exponent changed): a value the program put there
    // is shown again from its stored value, which stays exact; a value the user typed stays
    // as typed and is read by the new rule.
    void conversionChanged();
    // Shows the number again in the shown units (after they changed).
    void redrawInUnits();
    // The text as the stored unit's number (all its digits, the user's separator), for
    // presenters that read texts; the text itself when it is blank or not a number.
    std::string storedText() const;

    // Runs the check now (as leaving the box does); shows the message and returns false when
    // the text is refused.
    bool commit();
    // Puts a value in the box as the accepted text (an empty text for `blank`).
    void setValue(double value, int decimals, bool blank = false);
    void setBlank() { setValue(0, 0, true); }
    // Puts the value so that it reads back exactly, for stored data that a save must not
    // round: with all its digits; a box holding a quantity shows it in the shown units, in
    // the stored ones with twelve significant digits, or with `everyDigit` all of them (a
    // file's 0.6944444444444444).
    void setExactValue(double value, bool everyDigit = false);
    QLineEdit* box() const { return box_; }
    // The note beside the box on how a text with points was read; null until one was
    // needed. Named "lblNota_" + the box's name.
    QLabel* note() const { return note_; }
    const QString& what() const { return what_; }
    // The accepted number in stored units, `fallback` when blank.
    double value(double fallback = 0) const;
    // The accepted number, none when blank.
    std::optional<double> given() const;
    bool isBlank() const { return !given(); }
    // The check of the current text, without a message: none when acceptable.
    std::optional<std::string> problem() const;
    // A check of a finite number that runs before the range check (its message, or none);
    // it lets a box keep its own message for a known limit ("The pivot is limited to 11
    // spans") while the range message states the whole range.
    std::function<std::optional<std::string>(double)> extraCheck;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Shows the note (an empty text hides it).
    void showNote(const QString& text);
    // Makes the note beside the box; false when the box is not in a box or grid layout.
    bool placeNote();

    QLineEdit* box_;
    QLabel* note_ = nullptr;
    NumberRange range_;
    QString what_;
    bool allowBlank_;
    MessageService& messages_;
    std::function<void()> accepted_;
    // The text as a number of the units it is shown in, stored; none when blank.
    std::optional<double> storedOf(const QString& text) const;
    // Shows a stored value in the shown units and remembers it as the value of that text.
    void showStored(double stored, std::optional<int> decimals);
    // The box converts its number (a quantity or a conversion), and how, in `system`.
    bool converts() const { return quantity_ || conversion_; }
    bool isStoredIn(UnitSystem system) const;
    double shownOf(double stored) const;
    double storedOfShown(double shown) const;
    // Shows the stored value again in the shown units, keeping an accepted text accepted.
    void reshow(double stored);

    QString lastAccepted_;
    bool checking_ = false;
    std::optional<Quantity> quantity_;
    std::optional<Conversion> conversion_;
    UnitSystem shownIn_ = UnitSystem::SI;
    // The stored value a text was shown for, while the box shows that text.
    std::optional<double> exactStored_;
    QString exactText_;
};

// Commits every box in turn; at the first refusal the focus goes to that box and false is
// returned.
bool commitAll(std::initializer_list<NumberBox*> boxes);

}  // namespace kambrix
