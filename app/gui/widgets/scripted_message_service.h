// SPDX-License-Identifier: GPL-3.0-or-later
//
// The message service of the window tests: records every text it is given and answers from
// a script, so no box ever waits for a person. The boxes of errors no window expected are
// kept apart: a test that means to raise one says so with expectErrorBoxes(), and the window
// tests' fixture fails on any other (unexpectedErrorBoxes()).
#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "gui/widgets/message_service.h"

namespace kambrix {

class ScriptedMessageService : public MessageService {
  public:
    void showMessage(QWidget* parent, const QString& text, const QString& detail) override;
    // Pops the next scripted answer (Yes is true; No and Cancel false), else defaultAnswer.
    bool confirm(QWidget* parent, const QString& text, Default byDefault) override;
    // Pops the next scripted answer, else defaultChoice.
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    // Pops the next scripted text (none: cancelled; a blank text counts as cancelled),
    // else none.
    std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                   const QString& initial) override;
    // Pops the next scripted index (none: cancelled), else `current` (the offered choice).
    std::optional<int> chooseItem(QWidget* parent, const QString& prompt, const QStringList& items,
                                  int current) override;
    // Records the text and the actions; pops the next scripted index (answerItem), else
    // none (Cancel).
    std::optional<int> chooseAction(QWidget* parent, const QString& text,
                                    const QStringList& actions) override;
    // Pop the next scripted file name, else an empty text (cancelled).
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                         const QString& filter) override;
    // Records the document's name and draws it into a PDF file: previewFile when set, else
    // a temporary file. A failure while drawing is reported as the real preview reports it.
    void printPreview(QWidget* parent, const QString& documentName,
                      const std::function<void(QPrinter&)>& paint) override;
    // Recorded among the information boxes and among the error boxes.
    void showUnexpectedError(QWidget* parent, const QString& text, const QString& detail) override;
    void showStatus(QWidget* window, const QString& text) override;

    // The test means to raise `count` more boxes of unexpected errors.
    void expectErrorBoxes(int count = 1) { expectedErrorBoxes_ += count; }
    // The boxes of unexpected errors beyond those the test expected.
    QStringList unexpectedErrorBoxes() const { return errorBoxes.mid(expectedErrorBoxes_); }

    // The script, answered in order by both kinds of question.
    void answer(bool yes) { answers_.push_back(yes ? Answer::Yes : Answer::No); }
    void answer(Answer a) { answers_.push_back(a); }
    void answerText(std::optional<QString> text) { texts_.push_back(std::move(text)); }
    void answerFile(const QString& path) { files_.push_back(path); }
    void answerItem(std::optional<int> index) { items_.push_back(index); }

    bool defaultAnswer = false;
    Answer defaultChoice = Answer::No;

    QStringList messages;           // information boxes, in order
    QStringList details;            // their "Show details" texts (empty when none)
    QStringList questions;          // Yes/No and Yes/No/Cancel questions, in order
    std::vector<Default> defaults;  // the default button of each Yes/No question
    QStringList choices;            // the questions that offered Cancel as well
    QStringList prompts;            // text prompts
    QStringList initials;           // their initial answers
    QStringList actionTexts;        // messages offering actions, in order
    std::vector<QStringList> actionLists;
    QStringList itemPrompts;  // list choices, in order
    std::vector<QStringList> itemLists;
    QStringList fileCaptions;
    QStringList fileFilters;  // the filter of each file dialog
    QStringList statuses;     // status-line confirmations
    QStringList previews;     // the documents shown in a print preview
    QString previewFile;      // where a preview is drawn (empty: a temporary file)
    QStringList errorBoxes;   // the boxes of unexpected errors, in order

    // Forgets the texts and the script; the boxes of unexpected errors stay.
    void clear();

  private:
    std::deque<Answer> answers_;
    std::deque<std::optional<QString>> texts_;
    std::deque<QString> files_;
    std::deque<std::optional<int>> items_;
    int expectedErrorBoxes_ = 0;
};

}  // namespace kambrix
