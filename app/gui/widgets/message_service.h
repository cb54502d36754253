// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one way the windows talk to the user in a box: information messages (with the
// technical detail behind "Show details"), Yes/No and Yes/No/Cancel questions, a text
// prompt, the file dialogs, the print preview and a short confirmation in the window's
// status line. Every box is titled "Kambrix". Tests install the scripted service, which
// answers by itself.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class QPrinter;
class QWidget;

namespace kambrix {

struct ErrorReport;

class MessageService {
  public:
    enum class Answer { Yes, No, Cancel };
    // The button Enter presses. Questions whose Yes replaces, deletes or removes something,
    // or goes on despite a warning, keep the default No.
    enum class Default { Yes, No };

    virtual ~MessageService() = default;

    // Information box; a non-empty detail sits behind "Show details".
    virtual void showMessage(QWidget* parent, const QString& text,
                             const QString& detail = QString()) = 0;
    // Yes/No question; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text, Default byDefault = Default::No) = 0;
    // Yes/No/Cancel question (save before leaving?), Yes by default.
    virtual Answer askYesNoCancel(QWidget* parent, const QString& text) = 0;
    // A text prompt with an initial answer; none when cancelled or answered with blanks only.
    virtual std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                           const QString& initial = QString()) = 0;
    // A choice from a list, `current` offered first; the index chosen, none when cancelled.
    virtual std::optional<int> chooseItem(QWidget* parent, const QString& prompt,
                                          const QStringList& items, int current = 0) = 0;
    // A message with buttons for what to do next (`actions`, in order) and "Cancel"; the
    // index of the action chosen, none for Cancel.
    virtual std::optional<int> chooseAction(QWidget* parent, const QString& text,
                                            const QStringList& actions) = 0;
    // File dialogs; an empty text when cancelled. `filter` as "CSV files (*.csv)".
    virtual QString openFileName(QWidget* parent, const QString& caption,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& suggestedName, const QString& filter) = 0;
    // The print preview of a document, printed from there: `paint` draws the whole document
    // on the printer it is given (again whenever the preview's page settings change).
    // `documentName` names the print job.
    virtual void printPreview(QWidget* parent, const QString& documentName,
                              const std::function<void(QPrinter&)>& paint) = 0;
    // The box of an error no window expected (the top-level handler's); an information box.
    virtual void showUnexpectedError(QWidget* parent, const QString& text, const QString& detail) {
        showMessage(parent, text, detail);
    }
    // A short confirmation in the status line of the window (for instance after Save).
    virtual void showStatus(QWidget* window, const QString& text) = 0;

    // The box of a failure the window knows how to word: userMessage(report, action), with
    // the report's detail behind "Show details".
    void showError(QWidget* parent, const ErrorReport& report, const std::string& action);
};

// Whether a window may close or leave its data: without unsaved changes at once; otherwise
// after `question` (Yes/No/Cancel) is answered No, or Yes and `save` succeeded. Cancel, or a
// save that fails, keeps the window open with its changes.
bool mayLeave(MessageService& messages, QWidget* window, bool unsaved, const QString& question,
              const std::function<bool()>& save);

}  // namespace kambrix
