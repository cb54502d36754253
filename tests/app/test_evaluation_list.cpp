// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/evaluation_list.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "evaluation/evaluation_store.h"
#include "scripted_questions.h"
#include "shell/unit_of_work.h"

using namespace kambrix;
using quarvex::statics;

namespace {

class EvaluationListTest : public ::testing::Test {
  protected:
    EvaluationListTest() : root_("evaluation-list"), config_(test::freshDatabases(root_)) {}

    const std::string& cs() const { return config_.projectsConnectionString; }

    // Stores an evaluation with one reading of `volume` ml.
    void store(const std::string& name, double volume) {
        auto e = statics().PivotEvaluations().newEvaluation(name);
        e.pluviometer = statics().Pluviometros().newPluviometro(0.1);
        e.firstSample.Push(statics().FieldSamples().newFieldSample(volume, 10));
        writeTo(cs(), [&](quarvex::Connection& con) { storeEvaluation(con, e, false); });
    }
    std::optional<quarvex::PivotEvaluation> find(const std::string& name) {
        return readFrom(cs(), [&](quarvex::Connection& con) { return findEvaluation(con, name); });
    }
    int rows() {
        return readFrom(cs(), [](quarvex::Connection& con) {
            return test::count(con, "SELECT count(*) AS n FROM pivot_evaluations");
        });
    }

    test::TempFolder root_;
    AppConfig config_;
    test::ScriptedQuestions q_;
};

}  // namespace

TEST_F(EvaluationListTest, CreateAsksTheNameAndReplacesOnlyWhenAnsweredYes) {
    EvaluationList list(cs(), q_);
    EXPECT_TRUE(list.names().empty());
    q_.names = {std::string("  Field 3 ")};
    const auto created = list.create("suggested");
    ASSERT_TRUE(created);
    EXPECT_EQ(q_.prompts, std::vector<std::string>{"the Name for the new Evaluation to create"});
    EXPECT_EQ(q_.suggestions, std::vector<std::string>{"suggested"});
    EXPECT_EQ(created->name, "Field 3");  // trimmed
    EXPECT_GT(created->id, 0);
    EXPECT_TRUE(q_.questions.empty());
    EXPECT_EQ(list.names(), std::vector<std::string>{"Field 3"});

    store("Old", 42);
    // No: nothing changes.
    q_.answers = {false};
    EXPECT_FALSE(list.createNamed("Old"));
    EXPECT_EQ(q_.questions.back(),
              "There is already an Evaluation named Old do you want to replace it with a new one");
    EXPECT_EQ(find("Old")->firstSample.Length(), 1);
    // Yes: a new empty evaluation takes the name.
    q_.answers = {true};
    const auto replaced = list.createNamed("Old");
    ASSERT_TRUE(replaced);
    const auto now = find("Old");
    EXPECT_EQ(now->id, replaced->id);
    EXPECT_TRUE(now->firstSample.IsEmpty());
    EXPECT_EQ(rows(), 2);

    // Cancel, a blank name and a name with a line break create nothing.
    q_.names = {std::nullopt, std::string("   "), std::string("two\nlines")};
    EXPECT_FALSE(list.create());
    EXPECT_FALSE(list.create());
    EXPECT_FALSE(list.create());
    ASSERT_EQ(q_.messages.size(), 2u);
    EXPECT_EQ(q_.messages[0], "It must be given the Name for the new Evaluation to create");
    EXPECT_EQ(q_.messages[1],
              "The name of an evaluation cannot hold control characters (\\x0a at character 4)");
    EXPECT_EQ(rows(), 2);
}

// The replace deletes and inserts in the caller's transaction: a failure after it keeps the
// old evaluation whole.
TEST_F(EvaluationListTest, AReplaceIsOneTransaction) {
    store("Kept", 42);
    auto fresh = statics().PivotEvaluations().newEvaluation("Kept");
    EXPECT_THROW(writeTo(cs(),
                         [&](quarvex::Connection& con) {
                             storeEvaluation(con, fresh, /*replace=*/true);
                             EXPECT_TRUE(findEvaluation(con, "Kept")->firstSample.IsEmpty());
                             throw std::runtime_error("a later step failed");
                         }),
                 std::runtime_error);
    EXPECT_EQ(find("Kept")->firstSample(1).collectedAmount, 42);
    EXPECT_EQ(rows(), 1);
    // Without replace a taken name is refused.
    auto other = statics().PivotEvaluations().newEvaluation("Kept");
    EXPECT_EQ(test::numberOf([&] {
                  writeTo(cs(),
                          [&](quarvex::Connection& con) { storeEvaluation(con, other, false); });
              }),
              errc::EvaluationExists);
    // A stored record whose row has gone is stored again rather than lost.
    auto kept = *find("Kept");
    writeTo(cs(), [&](quarvex::Connection& con) { deleteEvaluation(con, "Kept"); });
    writeTo(cs(), [&](quarvex::Connection& con) { storeEvaluation(con, kept, false); });
    EXPECT_EQ(find("Kept")->firstSample.Length(), 1);
}

TEST_F(EvaluationListTest, OpenAndDeleteByName) {
    store("West", 10);
    store("east", 20);
    store("Centre", 30);
    EvaluationList list(cs(), q_);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Centre", "east", "West"}));

    q_.names = {std::string("West")};
    const auto opened = list.open("Centre");
    ASSERT_TRUE(opened);
    EXPECT_EQ(q_.prompts.back(), "the Name of the Evaluation to open");
    EXPECT_EQ(q_.suggestions.back(), "Centre");
    EXPECT_EQ(opened->firstSample(1).collectedAmount, 10);
    EXPECT_EQ(list.openNamed("east")->firstSample(1).collectedAmount, 20);  // chosen in the list
    EXPECT_FALSE(list.openNamed("North"));
    EXPECT_EQ(q_.messages.back(), "There is no Evaluation named North");

    // No keeps it, Yes deletes it.
    q_.names = {std::string("West"), std::string("West")};
    q_.answers = {false, true};
    EXPECT_FALSE(list.remove());
    EXPECT_EQ(q_.prompts.back(), "the name of the Evaluation to delete");
    EXPECT_EQ(q_.questions.back(), "Please confirm that Evaluation West should be deleted");
    EXPECT_TRUE(find("West"));
    EXPECT_TRUE(list.remove());
    EXPECT_FALSE(find("West"));
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Centre", "east"}));
    // A name not stored is told, not asked about.
    const auto asked = q_.questions.size();
    q_.names = {std::string("West")};
    EXPECT_FALSE(list.remove());
    EXPECT_EQ(q_.questions.size(), asked);
    EXPECT_EQ(q_.messages.back(), "There is no Evaluation named West");
}

// Names go into the SQL conditions quoted: a quote or SQL words are only ever text.
TEST_F(EvaluationListTest, NamesAreQuotedSafely) {
    const std::string tricky = "O'Brien's pivot' OR '1'='1";
    store("Other", 5);
    EvaluationList list(cs(), q_);
    const auto created = list.createNamed(tricky);
    ASSERT_TRUE(created);
    EXPECT_TRUE(q_.questions.empty());  // "Other" did not match the condition
    EXPECT_EQ(list.openNamed(tricky)->name, tricky);
    EXPECT_EQ(list.openNamed(tricky)->id, created->id);
    EXPECT_FALSE(list.openNamed("x' OR '1'='1"));
    q_.names = {tricky};
    q_.answers = {true};
    EXPECT_TRUE(list.remove());
    EXPECT_EQ(list.names(), std::vector<std::string>{"Other"});
    EXPECT_EQ(evaluationNameCondition("a'b"), "name='a''b'");
}
