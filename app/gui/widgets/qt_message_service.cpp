// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/qt_message_service.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <vector>

#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"

namespace kambrix {

namespace {

const QString kTitle = QStringLiteral("Kambrix");

// The window a box belongs to: the parent's window once it is on screen, else the active
// window (a window that reports while it is being built is not shown yet, and a box centred
// on it would open anywhere).
QWidget* owner(QWidget* parent) {
    QWidget* w = parent != nullptr ? parent->window() : nullptr;
    if (w != nullptr && w->isVisible()) {
        return w;
    }
    return QApplication::activeWindow();
}

}  // namespace

void QtMessageService::showMessage(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, owner(parent));
    box.setObjectName("msgKambrix");
    if (!detail.isEmpty()) {
        box.setDetailedText(detail);
    }
    box.exec();
}

bool QtMessageService::confirm(QWidget* parent, const QString& text, Default byDefault) {
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                    owner(parent));
    box.setObjectName("msgKambrix");
    box.setDefaultButton(byDefault == Default::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

MessageService::Answer QtMessageService::askYesNoCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kTitle, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner(parent));
    box.setObjectName("msgKambrix");
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::optional<int> QtMessageService::chooseAction(QWidget* parent, const QString& text,
                                                  const QStringList& actions) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::NoButton, owner(parent));
    box.setObjectName("msgKambrix");
    std::vector<QAbstractButton*> buttons;
    for (const QString& action : actions) {
        buttons.push_back(box.addButton(action, QMessageBox::AcceptRole));
    }
    QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setEscapeButton(cancel);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<QString> QtMessageService::askText(QWidget* parent, const QString& prompt,
                                                 const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner(parent), kTitle, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok || text.trimmed().isEmpty()) {
        return std::nullopt;
    }
    return text.trimmed();
}

std::optional<int> QtMessageService::chooseItem(QWidget* parent, const QString& prompt,
                                                const QStringList& items, int current) {
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(owner(parent), kTitle, prompt, items, current, false, &ok);
    const int index = items.indexOf(chosen);
    if (!ok || index < 0) {
        return std::nullopt;
    }
    return index;
}

QString QtMessageService::openFileName(QWidget* parent, const QString& caption,
                                       const QString& filter) {
    return QFileDialog::getOpenFileName(owner(parent), caption, QString(), filter);
}

QString QtMessageService::saveFileName(QWidget* parent, const QString& caption,
                                       const QString& suggestedName, const QString& filter) {
    return QFileDialog::getSaveFileName(owner(parent), caption, suggestedName, filter);
}

void QtMessageService::printPreview(QWidget* parent, const QString& documentName,
                                    const std::function<void(QPrinter&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(documentName);
    QPrintPreviewDialog preview(&printer, owner(parent));
    preview.setObjectName(QStringLiteral("dlgVistaPrevia"));
    preview.setWindowTitle(kTitle);
    // A failure while drawing ends in the error box, not in the preview's event loop.
    onSignal(&preview, &QPrintPreviewDialog::paintRequested, &preview, *this,
             [&paint](QPrinter* p) { paint(*p); });
    fitToScreen(&preview, QSize(1000, 720));
    preview.exec();
}

void QtMessageService::showStatus(QWidget* window, const QString& text) {
    if (window == nullptr) {
        return;
    }
    if (auto* status = window->window()->findChild<QStatusBar*>()) {
        status->showMessage(text, kStatusTimeout);
    }
}

}  // namespace kambrix
