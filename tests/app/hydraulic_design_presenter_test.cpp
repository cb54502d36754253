// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/hydraulic_design_presenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

using namespace kambrix;

namespace {

ReferenceTramo reference(int id, const std::string& name, double length) {
    ReferenceTramo t;
    t.id = id;
    t.denominacion = name;
    t.longitud = length;
    t.diametro = 150;
    t.separacion_saidas = 250;
    return t;
}

// A presenter over a new project, with steel pipe (C = 120) and two reference spans of 100 m
// ("S") and 20 m ("OH").
HydraulicDesignPresenter handPresenter(const Projecto& project = Projecto{}) {
    HydraulicDesignPresenter presenter(project, std::string(), ',');
    presenter.setMaterials({{1, "steel", 120}});
    presenter.setReferenceSpans({reference(1, "S", 100), reference(2, "OH", 20)});
    return presenter;
}

// One flat span of 100 m at 10 m, Q = 50 L/s, 300 kPa: R = 100 m.
PivotForm oneSpanForm() {
    PivotForm f;
    f.owner = "  North farm ";
    f.discharge = 50;
    f.pressure = 300;
    f.elevation = 10;
    f.material = 1;
    f.spanCount = 1;
    f.spans[0] = "S";
    f.endElevations[0] = 10;
    return f;
}

// Records the questions asked and answers each with `answer`.
struct Questions {
    bool answer = true;
    std::vector<std::string> asked;
    ConfirmQuestion confirm() {
        return [this](const std::string& q) {
            asked.push_back(q);
            return answer;
        };
    }
};

}  // namespace

TEST(HydraulicDesignPresenter, FormOfAProjectAndBack) {
    // A new project: every number box blank, no material, no spans.
    HydraulicDesignPresenter fresh = handPresenter();
    const PivotForm blank = fresh.form();
    EXPECT_FALSE(blank.discharge || blank.pressure || blank.elevation || blank.area ||
                 blank.hours || blank.gunRadius);
    EXPECT_EQ(blank.material, 0);
    EXPECT_EQ(blank.spanCount, 0);
    EXPECT_FALSE(fresh.inputs(blank).pipeMaterial);
    EXPECT_EQ(fresh.spanNames(), (std::vector<std::string>{"", "OH", "S"}));

    fresh.readIntoProject(oneSpanForm());
    const Projecto& p = fresh.project();
    EXPECT_EQ(p.propietario, "North farm");
    EXPECT_DOUBLE_EQ(p.q, 50);
    EXPECT_EQ(p.p_pipe_material_id, 1);
    ASSERT_EQ(p.Tramos.Length(), 1);
    EXPECT_EQ(p.Tramos(1).denominacion, "S");
    EXPECT_DOUBLE_EQ(p.Tramos(1).longitude, 100);
    EXPECT_FALSE(fresh.hasChanges());  // reading alone marks nothing

    // The project read back gives the same form; an elevation of 0 stays given once the
    // pivot has spans.
    PivotForm withOverhang = oneSpanForm();
    withOverhang.elevation = 0;
    withOverhang.overhang = true;
    withOverhang.overhangSpan = "OH";
    withOverhang.endGun = true;
    withOverhang.gunRadius = 18.5;
    fresh.readIntoProject(withOverhang);
    HydraulicDesignPresenter again = handPresenter(fresh.project());
    const PivotForm back = again.form();
    ASSERT_TRUE(back.elevation.has_value());
    EXPECT_DOUBLE_EQ(*back.elevation, 0);
    EXPECT_EQ(back.spanCount, 1);
    EXPECT_EQ(back.spans[0], "S");
    EXPECT_TRUE(back.overhang);
    EXPECT_EQ(back.overhangSpan, "OH");
    EXPECT_EQ(back.material, 1);
    ASSERT_TRUE(back.gunRadius.has_value());
    EXPECT_DOUBLE_EQ(*back.gunRadius, 18.5);

    // More spans typed than the pivot can have: only the first eleven are read.
    PivotForm many = oneSpanForm();
    many.spanCount = 40;
    fresh.readIntoProject(many);
    EXPECT_EQ(fresh.project().Tramos.Length(), kMaxSpans);
    EXPECT_EQ(fresh.inputs(many).spanCount, kMaxSpans);
}

TEST(HydraulicDesignPresenter, SpanGoneFromTheCatalogueStaysChoosable) {
    HydraulicDesignPresenter first = handPresenter();
    first.readIntoProject(oneSpanForm());
    Projecto stored = first.project();
    stored.Tramos(1).denominacion = "Old 98 m";
    stored.Tramos(1).longitude = 98;

    HydraulicDesignPresenter presenter = handPresenter(stored);
    const auto names = presenter.spanNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Old 98 m"), names.end());
    const PivotForm f = presenter.form();
    EXPECT_EQ(f.spans[0], "Old 98 m");
    const PivotInputs in = presenter.inputs(f);
    EXPECT_TRUE(in.spans[0].chosen);
    EXPECT_DOUBLE_EQ(in.spans[0].length, 98);
    // A name the lists do not hold is no choice.
    PivotForm unknown = f;
    unknown.spans[0] = "Nowhere";
    EXPECT_FALSE(presenter.inputs(unknown).spans[0].chosen);
}

TEST(HydraulicDesignPresenter, ResultsFollowTheForm) {
    HydraulicDesignPresenter presenter = handPresenter();
    presenter.change(oneSpanForm());
    EXPECT_TRUE(presenter.hasChanges());
    ASSERT_TRUE(presenter.results().computed.has_value());
    const DesignView& view = presenter.view();
    EXPECT_DOUBLE_EQ(view.irrigatedRadius_m, 100);
    // π × 100² m² = 3,14 ha.
    EXPECT_NEAR(view.irrigatedArea_ha, 3.14159265, 1e-6);
    EXPECT_NE(view.dischargeBalance.find("50,000 L/s"), std::string::npos)
        << view.dischargeBalance;  // the design discharge with the screen's comma
    EXPECT_TRUE(view.warnings.empty());

    // A field smaller than the circle is warned of; the results stay computed.
    PivotForm small = oneSpanForm();
    small.area = 2;
    presenter.change(small);
    EXPECT_TRUE(presenter.fieldSmallerThanIrrigated());
    ASSERT_EQ(presenter.view().warnings.size(), 1u);
    EXPECT_EQ(presenter.view().warnings[0], kFieldSmallerWarning);
    EXPECT_TRUE(presenter.results().computed.has_value());

    // A missing input leaves nothing computed and no balance.
    PivotForm noDischarge = oneSpanForm();
    noDischarge.discharge.reset();
    presenter.change(noDischarge);
    EXPECT_FALSE(presenter.results().computed.has_value());
    EXPECT_TRUE(presenter.view().dischargeBalance.empty());
    EXPECT_DOUBLE_EQ(presenter.view().irrigatedRadius_m, 100);  // the spans are still there
}

TEST(HydraulicDesignPresenter, CalculateNamesWhatIsMissingOrNegative) {
    HydraulicDesignPresenter presenter = handPresenter();
    presenter.change(oneSpanForm());
    ASSERT_TRUE(presenter.results().computed.has_value());

    PivotForm missing = oneSpanForm();
    missing.discharge.reset();
    missing.spans[0].clear();
    const auto message = presenter.calculate(missing);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(*message, pivotInputsMessage(presenter.inputs(missing)));
    EXPECT_NE(message->find("the design discharge"), std::string::npos);
    EXPECT_NE(message->find("the reference span of span 1"), std::string::npos);
    // The refused command leaves the results shown as they were.
    EXPECT_TRUE(presenter.results().computed.has_value());

    EXPECT_FALSE(presenter.calculate(oneSpanForm()).has_value());

    // 1 kPa at the pivot cannot lift the water 30 m: the ideal pressure falls below 0.
    PivotForm uphill = oneSpanForm();
    uphill.pressure = 1;
    uphill.endElevations[0] = 40;
    presenter.change(uphill);
    const auto negative = presenter.calculate(uphill);
    ASSERT_TRUE(negative.has_value());
    EXPECT_NE(negative->find("below 0 kPa"), std::string::npos) << *negative;
    ASSERT_FALSE(presenter.view().warnings.empty());
    EXPECT_EQ(presenter.view().warnings.back(), *negative);
}

class HydraulicDesignStore : public ::testing::Test {
  protected:
    void SetUp() override {
        target_ = tmp_.path() / "demo-db";
        ASSERT_TRUE(makeDemoDatabaseFolder(test::templateFolder(), target_));
        setDatabaseFolder(config_, target_);
        readFrom(config_.projectsConnectionString, [&](quarvex::Connection& con) {
            Projectos store;
            demo_ = *store.loadProject(con, store.nameCondition(kDemoProjectName), "tramos");
        });
        document_.setProject(demo_, true);
    }

    HydraulicDesignPresenter open() {
        HydraulicDesignPresenter presenter(document_.project(), config_.projectsConnectionString);
        presenter.loadMaterials(config_.projectsConnectionString);
        presenter.loadReferenceSpans(config_.tramosConnectionString);
        return presenter;
    }

    Projecto stored() {
        return readFrom(config_.projectsConnectionString, [&](quarvex::Connection& con) {
            Projectos store;
            return *store.loadProject(con, store.nameCondition(kDemoProjectName), "tramos");
        });
    }

    test::TempFolder tmp_{"hydraulic-design"};
    std::filesystem::path target_;
    AppConfig config_;
    Projecto demo_;
    SystemDocument document_;
};

TEST_F(HydraulicDesignStore, SaveRefusesIncompleteSpansAndAsksWhenChartsMayBreak) {
    HydraulicDesignPresenter presenter = open();
    PivotForm f = presenter.form();
    ASSERT_EQ(f.spanCount, 7);
    ASSERT_TRUE(f.overhang);
    Questions questions;

    // An end gun without its radius: nothing asked, nothing stored.
    PivotForm noRadius = f;
    noRadius.gunRadius.reset();
    DesignStep step = presenter.save(noRadius, document_, questions.confirm());
    EXPECT_FALSE(step.done);
    EXPECT_TRUE(step.gunRadiusMissing);
    EXPECT_EQ(step.message, requirementMessage({"the wetted radius of the end gun"}));

    PivotForm noSpan = f;
    noSpan.spans[2].clear();
    noSpan.endElevations[4].reset();
    step = presenter.save(noSpan, document_, questions.confirm());
    EXPECT_FALSE(step.done);
    EXPECT_FALSE(step.gunRadiusMissing);
    EXPECT_EQ(step.message,
              undefinedSpansMessage({"span 3 (no reference span)", "span 5 (no end elevation)"}));
    EXPECT_TRUE(questions.asked.empty());
    EXPECT_DOUBLE_EQ(stored().Tramos(5).cota, demo_.Tramos(5).cota);

    // The demo system has a chart: another reference span is saved only with the user's
    // consent.
    const auto names = presenter.spanNames();
    ASSERT_GE(names.size(), 3u);
    PivotForm other = f;
    other.spans[4] = names[1] == f.spans[4] ? names[2] : names[1];
    presenter.change(other);
    questions.answer = false;
    step = presenter.save(other, document_, questions.confirm());
    EXPECT_FALSE(step.done);
    EXPECT_TRUE(step.message.empty());  // the user said no: nothing more to tell
    ASSERT_EQ(questions.asked, std::vector<std::string>{kSavingDiffersQuestion});
    EXPECT_TRUE(presenter.hasChanges());
    EXPECT_EQ(stored().Tramos(5).denominacion, demo_.Tramos(5).denominacion);
    EXPECT_EQ(document_.project().Tramos(5).denominacion, demo_.Tramos(5).denominacion);

    questions.answer = true;
    step = presenter.save(other, document_, questions.confirm());
    EXPECT_TRUE(step.done);
    EXPECT_FALSE(presenter.hasChanges());
    EXPECT_EQ(stored().Tramos(5).denominacion, other.spans[4]);
    EXPECT_EQ(document_.project().Tramos(5).denominacion, other.spans[4]);
    EXPECT_EQ(document_.project().id, demo_.id);

    // Saving again the spans just saved asks nothing.
    questions.asked.clear();
    EXPECT_TRUE(presenter.save(other, document_, questions.confirm()).done);
    EXPECT_TRUE(questions.asked.empty());
}

TEST_F(HydraulicDesignStore, ThePipeHeightIsSavedWithTheSystem) {
    HydraulicDesignPresenter presenter = open();
    PivotForm f = presenter.form();
    EXPECT_FALSE(f.pipeHeight.has_value());  // the demo gives none
    f.pipeHeight = 3.75;
    presenter.change(f);
    Questions questions;
    ASSERT_TRUE(presenter.save(f, document_, questions.confirm()).done);
    // A presenter opened anew reads it back; a blank box removes it.
    HydraulicDesignPresenter again = open();
    EXPECT_EQ(again.form().pipeHeight, 3.75);
    PivotForm blank = again.form();
    blank.pipeHeight.reset();
    again.change(blank);
    ASSERT_TRUE(again.save(blank, document_, questions.confirm()).done);
    EXPECT_FALSE(open().form().pipeHeight.has_value());
}

TEST_F(HydraulicDesignStore, WorkbenchChecks) {
    HydraulicDesignPresenter presenter = open();
    Questions questions;
    // The stored demo pivot, untouched: the workbench opens without a question.
    DesignStep step = presenter.checkBeforeWorkbench(questions.confirm());
    EXPECT_TRUE(step.done);
    EXPECT_TRUE(questions.asked.empty());

    // Changed and not saved: the user is asked, and the answer decides.
    PivotForm f = presenter.form();
    f.owner = "Someone else";
    presenter.change(f);
    questions.answer = false;
    step = presenter.checkBeforeWorkbench(questions.confirm());
    EXPECT_FALSE(step.done);
    EXPECT_TRUE(step.message.empty());
    EXPECT_EQ(questions.asked, std::vector<std::string>{kSpansNotSavedQuestion});
    questions.answer = true;
    EXPECT_TRUE(presenter.checkBeforeWorkbench(questions.confirm()).done);

    // An incomplete pivot is refused whatever the user would answer.
    PivotForm incomplete = f;
    incomplete.pressure.reset();
    presenter.change(incomplete);
    questions.asked.clear();
    step = presenter.checkBeforeWorkbench(questions.confirm());
    EXPECT_FALSE(step.done);
    EXPECT_EQ(step.message, incompletePivotMessage());
    EXPECT_TRUE(questions.asked.empty());
}

TEST_F(HydraulicDesignStore, StoreThatCannotBeReadKeepsTheProjectsSpans) {
    HydraulicDesignPresenter presenter(document_.project(), config_.projectsConnectionString);
    EXPECT_ANY_THROW(presenter.loadReferenceSpans(
        quarvex::makeConnectionString((target_ / "missing" / "tramos.mdb").string())));
    // The project's own spans are still offered, so its form is whole.
    const PivotForm f = presenter.form();
    EXPECT_EQ(f.spans[0], demo_.Tramos(1).denominacion);
    EXPECT_TRUE(presenter.inputs(f).spans[0].chosen);
}
