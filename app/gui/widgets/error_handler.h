// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one path of an error a window did not expect: describeError's message and number in a
// box, the technical detail behind "Show details". Windows catch only the numbers they know
// how to word (isException, handleDatabaseError) and let everything else travel up here.
//
// Events reach the top through KambrixApplication::notify; slots are connected through
// guarded(), so an exception never unwinds through Qt's signal machinery.
#pragma once

#include <QApplication>
#include <QString>
#include <concepts>
#include <functional>
#include <string>
#include <utility>

class QCloseEvent;

namespace kambrix {

class MessageService;
struct ErrorReport;

// The text the top-level handler shows: the message, then "Error number 0x80040BB9" for
// numbered errors.
QString unexpectedErrorText(const ErrorReport& report);

// Inside a catch block: shows the exception being handled as the top-level handler does.
void reportUnexpectedError(MessageService& messages, QWidget* parent);

// Inside a catch block: a failure of the database is shown as `action` and its reason in the
// user's terms ("The system could not be saved: the database folder is read-only"), with
// the database's own words behind "Show details"; a save refused because another user saved
// the record since it was opened is told with who and when; any other exception is thrown
// again.
void handleDatabaseError(MessageService& messages, QWidget* parent, const std::string& action);

// A slot that runs `f` and sends anything it throws to reportUnexpectedError. It takes the
// signal's arguments `f` takes (Qt drops the rest).
template <class F>
auto guarded(MessageService& messages, QWidget* parent, F f) {
    return [&messages, parent, f = std::move(f) ]<class... A>(
        A && ... args) requires std::invocable<const F&, A&&...> {
        try {
            f(std::forward<A>(args)...);
        } catch (...) {
            reportUnexpectedError(messages, parent);
        }
    };
}

// Accepts the close event when `mayClose` answers true, else keeps the window open; an error
// while asking is reported through the top-level handler's box and keeps it open too.
void closeIfAllowed(QCloseEvent* event, MessageService& messages, QWidget* window,
                    const std::function<bool()>& mayClose);

// The close of a window that may hold unsaved changes: without changes it closes at once;
// otherwise `question` is asked (Yes/No/Cancel). Yes saves and closes only when `save`
// succeeded; No closes without saving, after `declined` when given; Cancel keeps the window
// open. An error while saving is reported through the top-level handler's box and keeps the
// window, and its changes, open.
void closeAskingToSave(QCloseEvent* event, MessageService& messages, QWidget* window, bool unsaved,
                       const QString& question, const std::function<bool()>& save,
                       const std::function<void()>& declined = {});

// The program's application object: an exception out of an event handler ends in the
// top-level handler instead of ending the program.
class KambrixApplication : public QApplication {
  public:
    KambrixApplication(int& argc, char** argv);
    // The service the handler shows its box with; none: the error is written to stderr.
    void setMessageService(MessageService* messages) { messages_ = messages; }
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    MessageService* messages_ = nullptr;
};

}  // namespace kambrix
