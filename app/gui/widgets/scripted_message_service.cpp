// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/scripted_message_service.h"

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>

#include "gui/widgets/error_handler.h"

namespace kambrix {

void ScriptedMessageService::showMessage(QWidget*, const QString& text, const QString& detail) {
    messages << text;
    details << detail;
}

bool ScriptedMessageService::confirm(QWidget*, const QString& text, Default byDefault) {
    questions << text;
    defaults.push_back(byDefault);
    if (answers_.empty()) {
        return defaultAnswer;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a == Answer::Yes;
}

MessageService::Answer ScriptedMessageService::askYesNoCancel(QWidget*, const QString& text) {
    questions << text;
    choices << text;
    if (answers_.empty()) {
        return defaultChoice;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

std::optional<QString> ScriptedMessageService::askText(QWidget*, const QString& prompt,
                                                       const QString& initial) {
    prompts << prompt;
    initials << initial;
    if (texts_.empty()) {
        return std::nullopt;
    }
    auto text = texts_.front();
    texts_.pop_front();
    if (text && text->trimmed().isEmpty()) {
        return std::nullopt;
    }
    return text ? std::optional<QString>(text->trimmed()) : std::nullopt;
}

std::optional<int> ScriptedMessageService::chooseItem(QWidget*, const QString& prompt,
                                                      const QStringList& items, int current) {
    itemPrompts << prompt;
    itemLists.push_back(items);
    if (items_.empty()) {
        return current;
    }
    const auto index = items_.front();
    items_.pop_front();
    return index;
}

std::optional<int> ScriptedMessageService::chooseAction(QWidget*, const QString& text,
                                                        const QStringList& actions) {
    actionTexts << text;
    actionLists.push_back(actions);
    if (items_.empty()) {
        return std::nullopt;
    }
    const auto index = items_.front();
    items_.pop_front();
    return index;
}

QString ScriptedMessageService::openFileName(QWidget*, const QString& caption,
                                             const QString& filter) {
    fileCaptions << caption;
    fileFilters << filter;
    if (files_.empty()) {
        return {};
    }
    const QString path = files_.front();
    files_.pop_front();
    return path;
}

QString ScriptedMessageService::saveFileName(QWidget* parent, const QString& caption,
                                             const QString&, const QString& filter) {
    return openFileName(parent, caption, filter);
}

void ScriptedMessageService::printPreview(QWidget* parent, const QString& documentName,
                                          const std::function<void(QPrinter&)>& paint) {
    previews << documentName;
    QTemporaryDir scratch;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setDocName(documentName);
    printer.setOutputFileName(previewFile.isEmpty() ? QDir(scratch.path()).filePath("preview.pdf")
                                                    : previewFile);
    try {
        paint(printer);
    } catch (...) {
        reportUnexpectedError(*this, parent);
    }
}

void ScriptedMessageService::showUnexpectedError(QWidget* parent, const QString& text,
                                                 const QString& detail) {
    showMessage(parent, text, detail);
    errorBoxes << text;
}

void ScriptedMessageService::showStatus(QWidget*, const QString& text) {
    statuses << text;
}

void ScriptedMessageService::clear() {
    messages.clear();
    details.clear();
    questions.clear();
    defaults.clear();
    choices.clear();
    prompts.clear();
    initials.clear();
    fileCaptions.clear();
    fileFilters.clear();
    statuses.clear();
    previews.clear();
    answers_.clear();
    texts_.clear();
    files_.clear();
    actionTexts.clear();
    actionLists.clear();
    itemPrompts.clear();
    itemLists.clear();
    items_.clear();
}

}  // namespace kambrix
