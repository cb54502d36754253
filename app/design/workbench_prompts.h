// SPDX-License-Identifier: GPL-3.0-or-later
//
// How the workbench talks to the user: messages, Yes/No questions and a text prompt. The
// window answers them with its message boxes (titled "Kambrix"); tests answer them from a
// script.
#pragma once

#include <optional>
#include <string>

#include "shell/errors.h"

namespace kambrix {

inline constexpr const char* kAppTitle = "Kambrix";

class WorkbenchPrompts {
  public:
    virtual ~WorkbenchPrompts() = default;
    // An information message.
    virtual void message(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool confirm(const std::string& question) = 0;
    // An input box with the prompt and title; none (or an empty text) when the user cancels.
    virtual std::optional<std::string> askText(const std::string& prompt,
                                               const std::string& title) = 0;
    // A failed action: by default the message in the user's terms ("<action>: <reason>").
    // A window may override it to offer the report's detail behind "Show details".
    virtual void failure(const std::string& action, const ErrorReport& report) {
        message(userMessage(report, action));
    }
    // What to do with a save refused because someone else saved (or deleted) the record since
    // it was opened.
    enum class ConflictChoice { SaveAs, Reload, Cancel };
    // The refusal's message (it names who and when) and the choice: save the work under
    // another name (offered when `canSaveAs`), read the stored record again (the work on
    // screen is dropped), or neither. By default the message alone, and neither.
    virtual ConflictChoice conflict(const std::string& text, bool canSaveAs) {
        (void)canSaveAs;
        message(text);
        return ConflictChoice::Cancel;
    }
};

}  // namespace kambrix
