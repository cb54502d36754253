// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/system_selection.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "shell/projectos.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

using namespace kambrix;

namespace {

class SystemSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config_ = test::freshDatabases(root_);
        Projecto north = Projectos().newProject("North");
        north.q = 41.5;
        writeTo(config_.projectsConnectionString,
                [&](quarvex::Connection& con) { Projectos().saveProject(con, north); });
    }
    std::function<bool(const std::string&)> answer(bool yes) {
        return [this, yes](const std::string& q) {
            questions_.push_back(q);
            return yes;
        };
    }
    double storedDischarge(const std::string& name) {
        return readFrom(config_.projectsConnectionString, [&](quarvex::Connection& con) {
            Projectos store;
            const auto p = store.loadProject(con, store.nameCondition(name));
            return p ? p->q : -1.0;
        });
    }

    test::TempFolder root_{"system-selection"};
    AppConfig config_;
    SystemDocument document_;
    std::vector<std::string> questions_;
};

}  // namespace

TEST_F(SystemSelectionTest, OpensByNameAndRefusesWhatIsMissing) {
    SystemSelection selection(config_.projectsConnectionString);
    EXPECT_EQ(selection.names(), std::vector<std::string>{"North"});

    auto out = selection.accept(SelectionMode::Open, "  ", "", document_, answer(true));
    EXPECT_EQ(out.status, SelectionStatus::Refused);
    EXPECT_EQ(out.message, requirementMessage({"the name of the system to open"}));
    out = selection.accept(SelectionMode::Open, "South", "", document_, answer(true));
    EXPECT_EQ(out.status, SelectionStatus::Refused);
    EXPECT_EQ(out.message, "There is no system named 'South'");
    EXPECT_FALSE(document_.hasProject());

    out = selection.accept(SelectionMode::Open, " North ", "", document_, answer(true));
    EXPECT_EQ(out.status, SelectionStatus::Chosen);
    EXPECT_EQ(out.newProjectId, 0);
    EXPECT_EQ(document_.project().nome, "North");
    EXPECT_DOUBLE_EQ(document_.project().q, 41.5);
    EXPECT_TRUE(document_.projectStored());
    EXPECT_TRUE(questions_.empty());
}

TEST_F(SystemSelectionTest, ANewSystemReplacesOneOfItsNameOnlyWhenTheUserSaysSo) {
    SystemSelection selection(config_.projectsConnectionString);
    auto out = selection.accept(SelectionMode::New, "", "North", document_, answer(false));
    EXPECT_EQ(out.status, SelectionStatus::Declined);
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], SystemSelection::replaceQuestion("North"));
    EXPECT_DOUBLE_EQ(storedDischarge("North"), 41.5);  // kept
    EXPECT_FALSE(document_.hasProject());

    out = selection.accept(SelectionMode::New, "", "North", document_, answer(true));
    EXPECT_EQ(out.status, SelectionStatus::Chosen);
    EXPECT_GT(out.newProjectId, 0);
    EXPECT_EQ(document_.project().id, out.newProjectId);
    EXPECT_FALSE(document_.projectStored());        // empty until a screen saves it
    EXPECT_DOUBLE_EQ(storedDischarge("North"), 0);  // a new empty row in its place

    out = selection.accept(SelectionMode::New, "", "East", document_, answer(false));
    EXPECT_EQ(out.status, SelectionStatus::Chosen);
    EXPECT_EQ(selection.names(), (std::vector<std::string>{"East", "North"}));
}

TEST_F(SystemSelectionTest, CopiesUnderANewName) {
    SystemSelection selection(config_.projectsConnectionString);
    auto refused = [&](const std::string& base, const std::string& fresh) {
        const auto out =
            selection.accept(SelectionMode::Copy, base, fresh, document_, answer(true));
        EXPECT_EQ(out.status, SelectionStatus::Refused);
        return out.message;
    };
    EXPECT_EQ(refused("", ""),
              requirementMessage({"the name of the base system", "the name of the new system"}));
    EXPECT_EQ(refused("North", " "), requirementMessage({"the name of the new system"}));
    EXPECT_EQ(refused("", "Copy"), requirementMessage({"the name of the base system"}));
    EXPECT_EQ(refused("South", "Copy"), "There is no system named 'South'");
    EXPECT_EQ(refused("North", " North"),
              "The new system needs a name other than its base system's");
    EXPECT_FALSE(document_.hasProject());
    EXPECT_TRUE(questions_.empty());

    const auto out =
        selection.accept(SelectionMode::Copy, "North", "North 2", document_, answer(true));
    EXPECT_EQ(out.status, SelectionStatus::Chosen);
    EXPECT_EQ(out.newProjectId, 0);
    EXPECT_EQ(document_.project().nome, "North 2");
    EXPECT_TRUE(document_.projectStored());
    EXPECT_DOUBLE_EQ(storedDischarge("North 2"), 41.5);

    selection.remove("North");
    selection.remove("Nowhere");  // nothing to remove: nothing happens
    EXPECT_EQ(selection.names(), std::vector<std::string>{"North 2"});
}
