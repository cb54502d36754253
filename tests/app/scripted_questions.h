// SPDX-License-Identifier: GPL-3.0-or-later
//
// Answers the evaluation logic's questions from a script and records what was asked.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/evaluation_list.h"

namespace kambrix::test {

class ScriptedQuestions : public EvaluationQuestions {
  public:
    std::optional<std::string> askName(const std::string& prompt,
                                       const std::string& suggested) override {
        prompts.push_back(prompt);
        suggestions.push_back(suggested);
        if (names.empty()) {
            ADD_FAILURE() << "unexpected input box: " << prompt;
            return std::nullopt;
        }
        auto answer = names.front();
        names.pop_front();
        return answer;
    }
    bool confirm(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << question;
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void inform(const std::string& message) override { messages.push_back(message); }

    // The script: the names typed (none for Cancel) and the Yes/No answers, in order.
    std::deque<std::optional<std::string>> names;
    std::deque<bool> answers;
    // What the logic asked and told.
    std::vector<std::string> prompts, suggestions, questions, messages;
};

}  // namespace kambrix::test
