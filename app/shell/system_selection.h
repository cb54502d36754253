// SPDX-License-Identifier: GPL-3.0-or-later
//
// The choice of the system to work on, without its window: open a stored system, create a
// new empty one, or copy a stored one under a new name; remove a stored system. The window
// reads its option buttons and name boxes, hands them over, and shows what comes back.
//
//     SystemSelection selection(config.projectsConnectionString);
//     const auto outcome = selection.accept(SelectionMode::Copy, "North", "North 2", document,
//                                           askTheUser);
//     // outcome.status == SelectionStatus::Chosen: the document holds the stored copy
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/projectos.h"
#include "shell/system_document.h"

namespace kambrix {

enum class SelectionMode {
    Open,  // a stored system, by name
    New,   // a new empty system under a new name
    Copy,  // a copy of a stored system under a new name
};

enum class SelectionStatus {
    Refused,   // a name is missing or wrong: the message says which
    Declined,  // the user did not want to replace a system of the new name
    Chosen,    // the document holds the system chosen (opened, created or copied)
};

struct SelectionOutcome {
    SelectionStatus status = SelectionStatus::Refused;
    std::string message;
    // The id of a new empty system (it is removed again if the user leaves it unsaved);
    // 0 for an opened or copied one.
    int newProjectId = 0;
};

class SystemSelection {
  public:
    // `store` copies and deletes a system with the rows other stores keep for it.
    explicit SystemSelection(std::string projectsConnection, Projectos store = Projectos());

    // The stored systems' names, alphabetically. Raises when the store cannot be read.
    std::vector<std::string> names() const;
    // "Saved by NAME on TIME" of each stored system, by name (none where nobody is known).
    std::map<std::string, std::string> savedBy() const;

    // Carries out the choice with the names as typed (trimmed here). A stored system of the
    // new name is replaced only when `confirmReplace` (asked with replaceQuestion) says yes.
    // A failure of the store raises; the document then holds what it held.
    SelectionOutcome accept(SelectionMode mode, const std::string& existing,
                            const std::string& fresh, SystemDocument& document,
                            const std::function<bool(const std::string&)>& confirmReplace) const;

    // Removes the stored system of that name with all it holds; nothing when there is none.
    void remove(const std::string& name) const;

    static std::string replaceQuestion(const std::string& name);

  private:
    std::string cs_;
    Projectos store_;
};

}  // namespace kambrix
