// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program's state shared by the windows: the start-up configuration, the message
// service, the current project, and the form services every window uses (translation from
// the language file, number display in the user's locale, numeric input boxes, handing over
// to the next window).
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "gui/message_service.h"
#include "shell/language_file.h"
#include "shell/pivot_design.h"
#include "shell/projectos.h"
#include "shell/startup.h"

namespace kambrix {

struct AppContext {
    AppConfig config;
    std::shared_ptr<MessageService> messages = std::make_shared<QtMessageService>();
    Projecto currentProject;
    // 1 after opening an existing system or a copy, 0 after creating a new empty one.
    int currentProjectStored = 0;
};

// The process-wide state.
AppContext& app();

// Convenience fronts of the message service.
void showMessage(QWidget* parent, const QString& text);
bool confirm(QWidget* parent, const QString& text);
// The message of an error the window does not expect, before it is passed on.
void showUnexpectedError(QWidget* parent, const std::exception& e);

// The locale's decimal separator: the second character of the locale's text of 1.5.
char decimalSeparator();
// A number as the user's locale shows it with n decimals ("N/A" for NaN).
QString displayNumber(double value, int decimals);
// The number in a box: `fallback` when blank, else parseNumber of the text.
double controlNumber(const QLineEdit* box, double fallback);

// Applies entries of a language-file section to a window: "Caption" of the window is its
// title; of a button, check box, option button or label its text; of a frame (group box)
// its title; of a tab page the tab's text; "Text" of a text box its text; "ToolTipText" the
// tooltip; any other name sets a property the control already has (the windows declare
// "ColumnCaptions" of their grids and "SeriesCaptions" of their charts that way). Unknown
// targets and properties are skipped.
void applyTranslations(QWidget* window, const std::vector<TranslationEntry>& entries);
// Reads the window's section (headed by its object name) from the language file and applies
// it. A file that cannot be read leaves the Spanish captions.
void translateForm(QWidget* window, const std::filesystem::path& languageFile);

// The ";"-separated texts of a declared caption property (grid columns, series names). A
// window declares such a property with its Spanish texts; the language file may replace it.
QStringList captionList(const QObject* target, const char* property);

// Hands over from `from` to `next`: `next` is deleted when closed, `from` hides now and shows
// itself again when `next` is gone.
void openNext(QWidget* from, QWidget* next);

// A numeric input box checked when the user leaves it: text that is not a number or lies out
// of its range is refused with a message and the last accepted text comes back. `accepted`
// runs after a text has been accepted.
class NumberBox : public QObject {
  public:
    NumberBox(QLineEdit* box, NumberRange range, QString what, bool allowBlank,
              std::function<void()> accepted);
    // Runs the check now (as leaving the box does); returns whether the text was accepted.
    bool commit();
    // Puts a value in the box as the accepted text (an empty text for `blank`).
    void setValue(double value, int decimals, bool blank = false);
    QLineEdit* box() const { return box_; }
    double value(double fallback = 0) const { return controlNumber(box_, fallback); }
    // The check of the current text, without a message: none when acceptable.
    std::optional<std::string> problem() const;
    // A further check of an in-range number (its message, or none).
    std::function<std::optional<std::string>(double)> extraCheck;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* box_;
    NumberRange range_;
    QString what_;
    bool allowBlank_;
    std::function<void()> accepted_;
    QString lastAccepted_;
    bool checking_ = false;
};

}  // namespace kambrix
