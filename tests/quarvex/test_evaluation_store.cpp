// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "evaluation_db_fixture.h"

using namespace quarvex;

namespace {

class EvaluationStore : public TemplateDbTest {
  protected:
    void SetUp() override {
        TemplateDbTest::SetUp();
        con_.Open(projectsCs());
    }
    Connection con_;
    PivotEvaluations store_;
    FieldSamples fs_;
};

}  // namespace

TEST_F(EvaluationStore, WithoutSamplesStoresNullsAndReadsEmptyLists) {
    EXPECT_TRUE(store_.Enumerate(con_).IsEmpty());
    auto e = store_.newEvaluation("Empty");
    store_.save(con_, e);
    EXPECT_GT(e.id, 0);
    auto raw = con_.Execute("SELECT * FROM pivot_evaluations;");
    EXPECT_TRUE(raw.Field("first_samples").IsNull());
    EXPECT_TRUE(raw.Field("second_samples").IsNull());
    EXPECT_TRUE(raw.Field("pluviometer_diameter").IsNull());

    EXPECT_TRUE(store_.exists(con_, "name = 'Empty'"));
    EXPECT_FALSE(store_.exists(con_, "name = 'Other'"));
    const auto back = store_.find(con_, "name = 'Empty'");
    EXPECT_EQ(back.id, e.id);
    EXPECT_EQ(back.name, "Empty");
    EXPECT_EQ(back.pluviometer.diameter, 0);
    EXPECT_TRUE(back.firstSample.IsEmpty());
    EXPECT_TRUE(back.secondSample.IsEmpty());
}

TEST_F(EvaluationStore, SamplesKeepOrderAndExactValuesAndUpdateInPlace) {
    auto e = store_.newEvaluation("O'Brien's field");
    e.pluviometer = Pluviometros().newPluviometro(0.1);
    e.firstSample.Push(fs_.newFieldSample(120, 5));
    e.firstSample.Push(fs_.newFieldSample(95.5, 10));
    e.firstSample.Push(fs_.newFieldSample(1.0 / 3.0, 2.0 / 3.0));
    e.secondSample.Push(fs_.newFieldSample(0, 7.25));
    store_.save(con_, e);
    const int id = e.id;

    auto raw = con_.Execute(
        "SELECT first_samples FROM pivot_evaluations WHERE id = " + std::to_string(id) + ";");
    EXPECT_EQ(raw.Field("first_samples").AsString(),
              "120 5\r\n95.5 10\r\n0.3333333333333333 0.6666666666666666");

    auto back = store_.find(con_, "id = " + std::to_string(id));
    EXPECT_EQ(back.name, "O'Brien's field");  // quotes stored exactly
    EXPECT_EQ(back.pluviometer.diameter, 0.1);
    ASSERT_EQ(back.firstSample.Length(), 3);
    EXPECT_EQ(back.firstSample(1).collectedAmount, 120);
    EXPECT_EQ(back.firstSample(2).collectedAmount, 95.5);
    EXPECT_EQ(back.firstSample(2).distanceFromCenter, 10);
    // The shortest text that reads back as the same double: exactly the value stored.
    EXPECT_EQ(back.firstSample(3).collectedAmount, 1.0 / 3.0);
    EXPECT_EQ(back.firstSample(3).distanceFromCenter, 2.0 / 3.0);
    ASSERT_EQ(back.secondSample.Length(), 1);
    EXPECT_EQ(back.secondSample(1).distanceFromCenter, 7.25);
    EXPECT_NEAR(Pluviometros().Area(back.pluviometer), 0.0078539816, 1e-10);

    back.name = "Renamed";
    back.secondSample.Clear();
    store_.save(con_, back);  // same id: an update, not a second row
    EXPECT_EQ(back.id, id);
    EXPECT_EQ(count("pivot_evaluations"), 1);
    const auto again = store_.find(con_, "id = " + std::to_string(id));
    EXPECT_EQ(again.name, "Renamed");
    EXPECT_TRUE(again.secondSample.IsEmpty());
    EXPECT_EQ(again.firstSample.Length(), 3);

    auto other = store_.newEvaluation("Second");
    store_.save(con_, other);
    EXPECT_NE(other.id, id);
    const auto names = store_.Enumerate(con_);
    ASSERT_EQ(names.Length(), 2);
    EXPECT_EQ(names(1), "Renamed");
    EXPECT_EQ(names(2), "Second");

    store_.destroy(con_, again);
    EXPECT_EQ(count("pivot_evaluations"), 1);
    EXPECT_FALSE(store_.exists(con_, "id = " + std::to_string(id)));
}

TEST_F(EvaluationStore, FindWithoutMatchRaisesNumberedError) {
    auto e = store_.newEvaluation("Only");
    store_.save(con_, e);
    try {
        store_.find(con_, "name = 'Missing'");
        FAIL() << "find returned a record for a condition no row meets";
    } catch (const Error& err) {
        EXPECT_EQ(err.number(), errc::EvaluationNotFound);
    }
}

TEST_F(EvaluationStore, UnreadableAndBlankStoredTextReadsBack) {
    con_.Execute(
        "INSERT INTO pivot_evaluations (name, pluviometer_diameter, first_samples, "
        "second_samples) VALUES ('Hand', 0.2, '10 2\r\nbad\r\n5 x', '   ');");
    const auto e = store_.find(con_, "name = 'Hand'");
    ASSERT_EQ(e.firstSample.Length(), 3);
    EXPECT_EQ(e.firstSample(1).distanceFromCenter, 2);
    EXPECT_EQ(e.firstSample(2).collectedAmount, 0);  // unreadable line: {0, 0}
    EXPECT_FALSE(FieldSamples().Valid(e.firstSample(3)));
    EXPECT_TRUE(e.secondSample.IsEmpty());
}
