// SPDX-License-Identifier: GPL-3.0-or-later
//
// The list of stored catch-can evaluations: create, open and delete by name, with the
// questions the evaluation-list window asks. The window implements EvaluationQuestions
// with its input and message boxes; the tests answer from a script.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

namespace kambrix {

// The questions a window puts to the user for the evaluation logic.
class EvaluationQuestions {
  public:
    virtual ~EvaluationQuestions() = default;
    // An input box with the prompt, filled with `suggested`; none when the user cancels.
    virtual std::optional<std::string> askName(const std::string& prompt,
                                               const std::string& suggested) = 0;
    // A Yes/No question; true for Yes.
    virtual bool confirm(const std::string& question) = 0;
    // An information box.
    virtual void inform(const std::string& message) = 0;
};

// The prompts of the list's input boxes.
inline constexpr const char* kNewEvaluationPrompt = "the Name for the new Evaluation to create";
inline constexpr const char* kOpenEvaluationPrompt = "the Name of the Evaluation to open";
inline constexpr const char* kDeleteEvaluationPrompt = "the name of the Evaluation to delete";

// "There is already an Evaluation named " + name + " do you want to replace it with a new one"
std::string replaceEvaluationQuestion(const std::string& name);
// "Please confirm that Evaluation " + name + " should be deleted"
std::string deleteEvaluationQuestion(const std::string& name);
// "There is no Evaluation named " + name
std::string noEvaluationMessage(const std::string& name);

// Each operation opens the projects database for its own unit of work and closes it again.
// Database faults (quarvex::Error) pass on to the window's error path. Names are trimmed.
class EvaluationList {
  public:
    EvaluationList(std::string projectsConnectionString, EvaluationQuestions& questions);

    // The stored names in alphabetical order.
    std::vector<std::string> names() const;
    // The names in the same order, each with the name of the system its test is linked to
    // ("" when none).
    std::vector<std::pair<std::string, std::string>> namesAndSystems() const;

    // Asks for the name (kNewEvaluationPrompt), then createNamed. None when cancelled.
    std::optional<quarvex::PivotEvaluation> create(const std::string& suggested = {});
    // Stores a new empty evaluation under the name and returns it. A blank or unusable name
    // is told and gives none; a name already stored asks replaceEvaluationQuestion: No gives
    // none and changes nothing, Yes deletes the old one and stores the new one in one
    // transaction.
    std::optional<quarvex::PivotEvaluation> createNamed(const std::string& name);

    // Asks for the name (kOpenEvaluationPrompt, filled with the list's selection), then
    // openNamed. None when cancelled.
    std::optional<quarvex::PivotEvaluation> open(const std::string& selected = {});
    // The stored evaluation (chosen in the list); a name not stored is told and gives none.
    std::optional<quarvex::PivotEvaluation> openNamed(const std::string& name);

    // Asks for the name (kDeleteEvaluationPrompt, filled with the selection); a name not
    // stored is told; otherwise deleteEvaluationQuestion, and Yes deletes it. True when an
    // evaluation was deleted.
    bool remove(const std::string& selected = {});

  private:
    // The trimmed answer, or none when cancelled or told to be unusable (`newName`: the
    // name must also be fit to be stored).
    std::optional<std::string> askUsableName(const char* prompt, const std::string& suggested,
                                             bool newName);
    std::optional<std::string> usableName(const std::string& name, const char* prompt,
                                          bool newName);
    std::string connectionString_;
    EvaluationQuestions& questions_;
};

// A new evaluation is stored empty when it is created; left without ever being saved, that
// empty row goes again. Removes the stored evaluation of that id and name only while it holds
// no readings; true when it was removed. No question is asked; database faults pass on.
bool discardEmptyEvaluation(const std::string& projectsConnectionString, int id,
                            const std::string& name);

}  // namespace kambrix
