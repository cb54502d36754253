// SPDX-License-Identifier: GPL-3.0-or-later
//
// The message service of the running program: Qt's message boxes, input dialog, file
// dialogs, the print preview and the window's status bar.
#pragma once

#include "gui/widgets/message_service.h"

namespace kambrix {

class QtMessageService : public MessageService {
  public:
    void showMessage(QWidget* parent, const QString& text, const QString& detail) override;
    bool confirm(QWidget* parent, const QString& text, Default byDefault) override;
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                   const QString& initial) override;
    std::optional<int> chooseItem(QWidget* parent, const QString& prompt, const QStringList& items,
                                  int current) override;
    std::optional<int> chooseAction(QWidget* parent, const QString& text,
                                    const QStringList& actions) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                         const QString& filter) override;
    // Qt's print preview on A4, fitted to the screen.
    void printPreview(QWidget* parent, const QString& documentName,
                      const std::function<void(QPrinter&)>& paint) override;
    // Shown for a few seconds in the window's QStatusBar (none: nothing is shown).
    void showStatus(QWidget* window, const QString& text) override;

    // How long a status-line confirmation stays, ms.
    static constexpr int kStatusTimeout = 6000;
};

}  // namespace kambrix
