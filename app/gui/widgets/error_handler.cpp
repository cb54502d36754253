// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/error_handler.h"

#include "gui/widgets/wheel_guard.h"

#include <QCloseEvent>
#include <QWidget>
#include <cstdio>
#include <exception>

#include "gui/widgets/message_service.h"
#include "shell/errors.h"

namespace kambrix {

namespace {

QString hexNumber(std::int32_t n) {
    return QStringLiteral("0x%1")
        .arg(static_cast<quint32>(n), 8, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

}  // namespace

QString unexpectedErrorText(const ErrorReport& report) {
    QString text = QString::fromStdString(report.message);
    if (report.number != 0) {
        text += QStringLiteral("\n\nError number %1").arg(hexNumber(report.number));
    }
    return text;
}

void reportUnexpectedError(MessageService& messages, QWidget* parent) {
    const ErrorReport r = describeCurrentError();
    messages.showUnexpectedError(parent, unexpectedErrorText(r), QString::fromStdString(r.detail));
}

void handleDatabaseError(MessageService& messages, QWidget* parent, const std::string& action) {
    const ErrorReport r = describeCurrentError();
    if (r.source == ErrorSource::Program && r.number == errc::RecordChangedSinceOpened) {
        // Another user saved or deleted the record: their work stays, and this window keeps
        // its own on screen.
        messages.showMessage(parent, QString::fromStdString(
                                         r.message + " Your changes were not saved; they stay on "
                                                     "the screen. Open the record again to see the "
                                                     "other save."));
        return;
    }
    if (!r.database) {
        throw;
    }
    messages.showError(parent, r, action);
}

void closeIfAllowed(QCloseEvent* event, MessageService& messages, QWidget* window,
                    const std::function<bool()>& mayClose) {
    bool leave = true;
    try {
        leave = mayClose();
    } catch (...) {
        leave = false;
        reportUnexpectedError(messages, window);
    }
    if (leave) {
        event->accept();
    } else {
        event->ignore();
    }
}

void closeAskingToSave(QCloseEvent* event, MessageService& messages, QWidget* window, bool unsaved,
                       const QString& question, const std::function<bool()>& save,
                       const std::function<void()>& declined) {
    closeIfAllowed(event, messages, window, [&] {
        if (!unsaved) {
            return true;
        }
        switch (messages.askYesNoCancel(window, question)) {
            case MessageService::Answer::Yes:
                return save();
            case MessageService::Answer::No:
                if (declined) {
                    declined();
                }
                return true;
            case MessageService::Answer::Cancel:
                break;
        }
        return false;
    });
}

KambrixApplication::KambrixApplication(int& argc, char** argv) : QApplication(argc, argv) {
    guardWheelOnUnfocusedChoices(*this);
}

bool KambrixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (messages_ != nullptr) {
            reportUnexpectedError(*messages_, activeWindow());
        } else {
            const ErrorReport r = describeCurrentError();
            std::fprintf(stderr, "%s\n", unexpectedErrorText(r).toLocal8Bit().constData());
        }
        return false;
    }
}

}  // namespace kambrix
