// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed chart as data, on the demo chart: every section with the chart's values (the
// capacity without the gun, the elevation along the lateral, the wetted diameter the
// outermost sprinkler needs), the numbered figures, the stored names and regulator model
// travelling with the chart, and the pipe height with the system.
#include "design/chart_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

#include "demo_workbench_support.h"
#include "design/chart_print_store.h"
#include "design/print_tab_presenter.h"
#include "design/required_wetted_diameter.h"
#include "design/system_store.h"
#include "evaluation/runoff.h"
#include "shell/number_text.h"
#include "shell/report_title_block.h"
#include "shell/unit_captions.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

using quarvex::Connection;

// Answers every name asked for from its list.
class NamingPrompts : public test::SilentPrompts {
  public:
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        if (names.empty()) {
            return std::nullopt;
        }
        auto n = names.front();
        names.erase(names.begin());
        return n;
    }
    std::vector<std::string> names;
};

class DemoChart : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto folder = root.path() / "demo";
        ASSERT_TRUE(makeDemoDatabaseFolder(test::templateFolder(), folder));
        setDatabaseFolder(config, folder);
        open();
    }
    void open() {
        const auto stored = readFrom(config.projectsConnectionString, [](Connection& con) {
            return Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName),
                                           "tramos");
        });
        ASSERT_TRUE(stored);
        project = *stored;
        w = std::make_unique<ChartWorkbench>(project, WorkbenchDatabases::from(config), prompts);
        ASSERT_EQ(w->charts().size(), 1u);
        w->selectChart(w->charts()[0].id);
        ASSERT_TRUE(w->openChart());
    }
    const quarvex::pivot& pivot() const { return w->currentWrapper()->pivot(); }

    test::TempFolder root{"chart-report"};
    AppConfig config;
    Projecto project;
    NamingPrompts prompts;
    std::unique_ptr<ChartWorkbench> w;
};

std::string value(const report::Section& s, const std::string& key) {
    for (const auto& b : s.blocks) {
        if (const auto* kv = std::get_if<report::KeyValues>(&b)) {
            for (const auto& [k, v] : kv->pairs) {
                if (k == key) {
                    return v;
                }
            }
        }
    }
    ADD_FAILURE() << "no line \"" << key << "\" in the section " << s.title;
    return {};
}

const report::Table& firstTable(const report::Section& s) {
    for (const auto& b : s.blocks) {
        if (const auto* t = std::get_if<report::Table>(&b)) {
            return *t;
        }
    }
    throw std::runtime_error("no table in " + s.title);
}

std::vector<const report::Figure*> figures(const report::Document& doc) {
    std::vector<const report::Figure*> out;
    for (const auto& s : doc.sections) {
        for (const auto& b : s.blocks) {
            if (const auto* f = std::get_if<report::Figure>(&b)) {
                out.push_back(f);
            }
        }
    }
    return out;
}

std::string mm2(double v) {
    return formatDecimals(v, 2, '.') + " m";
}

TEST_F(DemoChart, TheReportHoldsEverySectionWithTheChartsValues) {
    constexpr double kStorage_mm = 1.0;
    w->setSurfaceStorage(kStorage_mm);
    w->setDefaultDesigner("Ana Designer");
    w->setChartSignoff({"", "Rui Checker", "", "PR-70 flow control", ""});
    const report::Document doc = buildChartReport(*w, "2026-12-09");

    const std::vector<std::string> titles = {
        chart_report::TitleBlock, chart_report::Machine, chart_report::Elevation,
        chart_report::Capacity,   chart_report::Outlets, chart_report::Figures,
        chart_report::Regulators, chart_report::Drop,    chart_report::PercentTimer,
        chart_report::Uniformity, chart_report::Runoff,  chart_report::Supply,
        chart_report::Computation};
    ASSERT_EQ(doc.sections.size(), titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(doc.sections[i].title, titles[i]);
    }

    // Title block: the default designer, the stored checker, a line to sign for the approver,
    // the time of the demo chart's save.
    const auto& title = *doc.find(chart_report::TitleBlock);
    EXPECT_EQ(value(title, "System"), kDemoProjectName);
    EXPECT_EQ(value(title, "Chart"), "Demo package");
    EXPECT_EQ(value(title, "Designed by"), "Ana Designer");
    EXPECT_EQ(value(title, "Checked by"), "Rui Checker");
    EXPECT_EQ(value(title, "Approved by"), report::kSignatureLine);
    EXPECT_TRUE(std::regex_match(value(title, "Last saved"),
                                 std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d UTC)")))
        << value(title, "Last saved");
    EXPECT_NE(value(title, "Units").find("kPa"), std::string::npos);

    // Machine: a row per span, the overhang named as such; no outside diameter is known.
    const auto& machine = *doc.find(chart_report::Machine);
    const auto& spans = firstTable(machine);
    ASSERT_EQ(spans.rows.size(), 8u);
    EXPECT_EQ(spans.rows.back()[0], "Over hang");
    EXPECT_EQ(spans.rows.back()[4], "");
    EXPECT_EQ(value(machine, "Hazen-Williams C (pipe)").substr(0, 3), "120");
    EXPECT_EQ(value(machine, "Hazen-Williams C (drop)"), "150");

    // Elevation: from the span ends of the pivot.
    auto& pivots = quarvex::statics().Pivots();
    const auto& p = pivot();
    double highest = p.cota, lowest = p.cota, gain = 0, drop = 0, previous = p.cota;
    double highestAt = 0, lowestAt = 0;
    for (int i = 1; i <= p.Tramos.Length() + 1; ++i) {
        const bool overhang = i > p.Tramos.Length();
        const double z = overhang ? p.tramoVOladizo.site.end_cota : p.Tramos(i).site.end_cota;
        const double x = overhang ? pivots.AllSpanLenght(p) : pivots.tramoAte(p, i);
        if (z > highest) {
            highest = z;
            highestAt = x;
        }
        if (z < lowest) {
            lowest = z;
            lowestAt = x;
        }
        (z > previous ? gain : drop) += std::abs(z - previous);
        previous = z;
    }
    const auto& elevation = *doc.find(chart_report::Elevation);
    EXPECT_EQ(value(elevation, "At the pivot point"), mm2(p.cota));
    EXPECT_EQ(value(elevation, "Highest along the lateral"),
              mm2(highest) + " at " + formatDecimals(highestAt, 1, '.') + " m");
    EXPECT_EQ(value(elevation, "Lowest along the lateral"),
              mm2(lowest) + " at " + formatDecimals(lowestAt, 1, '.') + " m");
    EXPECT_EQ(value(elevation, "Total gain"), mm2(gain));
    EXPECT_EQ(value(elevation, "Total drop"), mm2(drop));
    EXPECT_GT(gain, 0);
    EXPECT_GT(drop, 0);

    // Capacity: without the gun, the sum of the outlets' delivered discharges.
    double outlets = 0;
    double gun = 0;
    int noSprinkler = 0;
    for (const auto& ref : outletsInOrder(p)) {
        (ref.at.numeroTramo == -1 ? gun : outlets) += ref.outlet->caudal_do_aspersor;
        noSprinkler += ref.outlet->obj_aspersor ? 0 : 1;
    }
    ASSERT_GT(gun, 0);
    const auto& capacity = *doc.find(chart_report::Capacity);
    EXPECT_EQ(value(capacity, "Capacity without end gun"),
              formatDecimals(outlets, 3, '.') + " L/s");
    EXPECT_EQ(value(capacity, "Delivered discharge with the end gun"),
              formatDecimals(outlets + gun, 3, '.') + " L/s");

    // Outlets: one row per outlet and the gun; the pipe pressure is what the sprinkler gets
    // plus the drop's loss, so never below it where no regulator acts.
    const auto& table = firstTable(*doc.find(chart_report::Outlets));
    ASSERT_EQ(table.rows.size(), outletsInOrder(p).size());
    const auto column = [&](const std::string& heading) {
        const auto at = std::find(table.headings.begin(), table.headings.end(), heading);
        EXPECT_NE(at, table.headings.end()) << heading;
        return static_cast<std::size_t>(at - table.headings.begin());
    };
    const std::size_t pipeAt = column("Pipe pressure (kPa)");
    const std::size_t sprinklerAt = column("Sprinkler pressure (kPa)");
    const std::size_t regulatorAt = column("Regulator (kPa)");
    int regulated = 0;
    for (const auto& row : table.rows) {
        const double pipe = std::stod(row[pipeAt]);
        const double sprinkler = std::stod(row[sprinklerAt]);
        if (row[0] == "End Gun") {
            // The booster raises the gun's pressure above the pipe's (0.1 kPa: the texts).
            EXPECT_NEAR(sprinkler, pipe + w->endGunBoost(), 0.11);
        } else if (row[regulatorAt].empty()) {
            EXPECT_GE(pipe, sprinkler) << row[0] << " " << row[1];
        } else {
            ++regulated;
            EXPECT_EQ(row[sprinklerAt], row[regulatorAt]);
            EXPECT_GT(pipe, sprinkler);
        }
        EXPECT_EQ(row[0].rfind("Tower 8", 0), std::string::npos);
    }
    EXPECT_GT(regulated, 0);
    EXPECT_EQ(table.rows.back()[0], "End Gun");

    // Regulators: the model typed on the tab.
    const auto& regulators = *doc.find(chart_report::Regulators);
    EXPECT_EQ(value(regulators, "Regulator model"), "PR-70 flow control");
    EXPECT_FALSE(firstTable(regulators).rows.empty());

    // Percent timer: ten settings from the revolution time at 100 %.
    const auto& timer = firstTable(*doc.find(chart_report::PercentTimer));
    ASSERT_EQ(timer.rows.size(), 10u);
    const double hours = w->indicadores().horasRevolucao;
    EXPECT_EQ(timer.rows[0][1], formatDecimals(hours * 10, 2, '.'));
    EXPECT_EQ(timer.rows[9][1], formatDecimals(hours, 2, '.'));

    // Uniformity: the outlets without a sprinkler apply nothing and are far off the average.
    const std::string off =
        value(*doc.find(chart_report::Uniformity), "Outlets more than 20 % off the average");
    EXPECT_GE(std::stoi(off), noSprinkler) << off;

    // Runoff: the wetted diameter found gives an excess equal to the surface storage.
    const auto& check = w->pluviometryCheck();
    const double outer = outermostSprinklerDistance(p);
    const auto& lastOutlets = p.tramoVOladizo.Saidas;
    EXPECT_DOUBLE_EQ(outer, lastOutlets(lastOutlets.Length()).distanciaAoPivot);
    const auto needed =
        requiredWettedDiameter(*w->currentWrapper(), outer, check.kostiakov, hours, kStorage_mm);
    ASSERT_EQ(needed.kind, RequiredWettedDiameter::Kind::Found);
    const auto excess =
        pointExcess(*w->currentWrapper(), outer, needed.diameter, check.kostiakov, hours);
    ASSERT_TRUE(excess);
    EXPECT_NEAR(*excess, kStorage_mm, 1e-6);  // the bisection's own aim is 1e-9 mm
    // A smaller sprinkler would run off; the printout gives the diameter found.
    EXPECT_GT(
        *pointExcess(*w->currentWrapper(), outer, needed.diameter * 0.9, check.kostiakov, hours),
        kStorage_mm);
    const auto& runoff = *doc.find(chart_report::Runoff);
    EXPECT_EQ(value(runoff, "Wetted diameter the outermost sprinkler needs (" +
                                formatDecimals(outer, 1, '.') + " m)"),
              mm2(needed.diameter));
    EXPECT_EQ(firstTable(runoff).rows.size(), 2u);

    // Figures, numbered in reading order, each drawn from its own data.
    const auto all = figures(doc);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0]->caption, "Figure 1: Pressure along the lateral");
    EXPECT_EQ(all[1]->caption, "Figure 2: Depth applied along the lateral");
    EXPECT_EQ(all[2]->caption.rfind("Figure 3: ", 0), 0u);
    EXPECT_EQ(all[3]->caption.rfind("Figure 4: ", 0), 0u);
    for (const auto* f : all) {
        ASSERT_TRUE(f->plot) << f->key;
        ASSERT_FALSE(f->plot->lines.empty()) << f->key;
        EXPECT_FALSE(f->plot->lines[0].points.empty()) << f->key;
    }
    EXPECT_EQ(all[0]->plot->marks.size(), 8u);  // seven towers and the overhang's end
    EXPECT_EQ(all[1]->plot->bands.size(), 1u);  // the ±20 % band
    EXPECT_FALSE(all[2]->plot->bands.empty());  // the excess shaded
}

TEST_F(DemoChart, TheWettedDiameterIsNotNeededOrNotReachedAtTheEnds) {
    const auto& check = w->pluviometryCheck();
    const double hours = w->indicadores().horasRevolucao;
    const double outer = outermostSprinklerDistance(pivot());
    // A storage that holds any excess: no diameter is needed.
    EXPECT_EQ(requiredWettedDiameter(*w->currentWrapper(), outer, check.kostiakov, hours, 1e6).kind,
              RequiredWettedDiameter::Kind::NotNeeded);
    // No infiltration curve: nothing to compute against.
    const auto none = requiredWettedDiameter(*w->currentWrapper(), outer, {0, 0}, hours, 1.0);
    EXPECT_EQ(none.kind, RequiredWettedDiameter::Kind::NotComputed);
    EXPECT_FALSE(none.why.empty());
    // Without a surface storage the printout says what it lacks.
    const auto doc = buildChartReport(*w, "2026-12-09");
    EXPECT_EQ(value(*doc.find(chart_report::Runoff), "Surface storage"), "not given");
}

// A chart without a revolution time prints what needs none and says what the rest lacks;
// the figures keep their numbers in order.
TEST_F(DemoChart, WithoutARevolutionTime) {
    w->setIndicadores(quarvex::statics().newIndicadores(0, 0));
    const auto doc = buildChartReport(*w, "2026-12-09");
    const auto all = figures(doc);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->caption, "Figure 1: Pressure along the lateral");
    const auto paragraph = [&](const char* section) {
        std::string text;
        for (const auto& b : doc.find(section)->blocks) {
            if (const auto* p = std::get_if<report::Paragraph>(&b)) {
                text += p->text + "\n";
            }
        }
        return text;
    };
    EXPECT_NE(paragraph(chart_report::PercentTimer).find("no revolution time"), std::string::npos);
    EXPECT_NE(paragraph(chart_report::Uniformity).find("no revolution time"), std::string::npos);
    EXPECT_NE(paragraph(chart_report::Figures).find("revolution time"), std::string::npos);
    EXPECT_NE(paragraph(chart_report::Runoff).find(kNoRevolutionMessage), std::string::npos);
    // The outlets' depth at 100 % is left blank rather than printed as 0.
    const auto& table = firstTable(*doc.find(chart_report::Outlets));
    EXPECT_EQ(table.rows[20][11], "");
}

TEST_F(DemoChart, NamesAndRegulatorModelTravelWithTheChart) {
    w->setChartSignoff({"Ana", "Rui O'Neill", "Eva", "PR-70", "ignored"});
    EXPECT_NE(w->chartSignoff().savedAt, "ignored");  // only a save sets the time
    ASSERT_TRUE(w->saveChart());
    const int first = w->currentChart()->id();
    const ChartSignoff stored = readFrom(config.projectsConnectionString, [&](Connection& con) {
        return loadChartSignoff(con, first);
    });
    EXPECT_EQ(stored.designedBy, "Ana");
    EXPECT_EQ(stored.approvedBy, "Eva");
    EXPECT_EQ(stored.regulatorModel, "PR-70");
    EXPECT_FALSE(stored.savedAt.empty());

    // Save as: the copy keeps them; removing a chart removes its row only.
    prompts.names = {"Copy of the demo"};
    ASSERT_TRUE(w->saveChartAs());
    const int copy = w->currentChart()->id();
    ASSERT_NE(copy, first);
    EXPECT_EQ(readFrom(config.projectsConnectionString,
                       [&](Connection& con) { return loadChartSignoff(con, copy); })
                  .checkedBy,
              "Rui O'Neill");
    prompts.names.clear();
    w->selectChart(first);
    ASSERT_TRUE(w->openChart());
    EXPECT_EQ(w->chartSignoff().designedBy, "Ana");
    EXPECT_TRUE(w->newChart());
    EXPECT_EQ(w->chartSignoff(), ChartSignoff{});

    // Deleting the system takes the rows of its charts and its pipe height with it.
    writeTo(config.projectsConnectionString, [&](Connection& con) {
        saveSystemPrintFields(con, project.id, {2.5});
        const Projecto other = systemStore().copyProject(
            con, Projectos().nameCondition(kDemoProjectName), "Copy of the demo system");
        EXPECT_EQ(loadSystemPrintFields(con, other.id).pipeHeight, 2.5);
        systemStore().deleteProject(con, project);
        EXPECT_EQ(loadChartSignoff(con, first), ChartSignoff{});
        EXPECT_EQ(loadChartSignoff(con, copy), ChartSignoff{});
        EXPECT_FALSE(loadSystemPrintFields(con, project.id).pipeHeight);
        EXPECT_EQ(loadSystemPrintFields(con, other.id).pipeHeight, 2.5);
    });
}

TEST_F(DemoChart, TheNozzleHeightIsThePipeHeightLessTheDrop) {
    const auto dropSection = [&] {
        return *buildChartReport(*w, "2026-12-09").find(chart_report::Drop);
    };
    EXPECT_EQ(value(dropSection(), "Pipe height above ground"), "not given");
    EXPECT_EQ(value(dropSection(), "Nozzle height above ground"), "");
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { saveSystemPrintFields(con, project.id, {3.5}); });
    open();
    ASSERT_EQ(w->pipeHeight(), 3.5);
    EXPECT_EQ(value(dropSection(), "Pipe height above ground"), "3.50 m");
    // The demo's drop is 1.8 m long.
    EXPECT_EQ(value(dropSection(), "Nozzle height above ground"), "1.70 m");
    // A height that is not a length is refused and nothing changes.
    EXPECT_THROW(writeTo(config.projectsConnectionString,
                         [&](Connection& con) { saveSystemPrintFields(con, project.id, {-1.0}); }),
                 AppError);
    EXPECT_EQ(readFrom(config.projectsConnectionString,
                       [&](Connection& con) { return loadSystemPrintFields(con, project.id); })
                  .pipeHeight,
              3.5);
}

TEST_F(DemoChart, ThePrintBoxesWriteIntoTheChart) {
    w->setDefaultDesigner("Ana Designer");
    PrintTabPresenter print(*w);
    EXPECT_EQ(print.names(), (SignoffNames{"Ana Designer", "", ""}));
    EXPECT_FALSE(w->chartChanged());
    // The default name taken as it stands is no change; a name typed is.
    EXPECT_FALSE(print.setNames({"", "", ""}));
    EXPECT_TRUE(print.setNames({" Rui ", "Eva", ""}));
    EXPECT_TRUE(w->chartChanged());
    EXPECT_EQ(w->chartSignoff().designedBy, "Rui");
    EXPECT_EQ(print.names(), (SignoffNames{"Rui", "Eva", ""}));
    EXPECT_FALSE(print.setNames({"Rui", "Eva", ""}));
    EXPECT_TRUE(print.setRegulatorModel("  PR-70 "));
    EXPECT_EQ(print.regulatorModel(), "PR-70");
    EXPECT_FALSE(print.setRegulatorModel("PR-70"));
    // Saved with the chart and printed.
    ASSERT_TRUE(w->saveChart());
    EXPECT_FALSE(w->chartChanged());
    open();
    const auto doc = buildChartReport(*w, "2026-12-09");
    EXPECT_EQ(value(*doc.find(chart_report::TitleBlock), "Designed by"), "Rui");
    EXPECT_EQ(value(*doc.find(chart_report::Regulators), "Regulator model"), "PR-70");
}

TEST(ReportTitleBlock, BlankNamesLeaveALineToSign) {
    report::TitleBlockTexts t;
    t.system = "North pivot";
    t.document = "Package A";
    t.designedBy = "  Ana  ";
    t.checkedBy = " ";
    const report::Section s = report::titleBlock(t);
    EXPECT_EQ(s.title, "Title block");
    EXPECT_EQ(value(s, "Designed by"), "Ana");
    EXPECT_EQ(value(s, "Checked by"), report::kSignatureLine);
    EXPECT_EQ(value(s, "Approved by"), report::kSignatureLine);
    EXPECT_EQ(value(s, "Last saved"), "not saved");
    EXPECT_EQ(value(s, "Owner / location"), "-");
}

TEST_F(DemoChart, CaptionsComeFromTheLanguageFile) {
    const ChartCaptions captions({{"Machine", "Caption", "Machine (translated)"},
                                  {"Pipe pressure", "Caption", "Pressure in the pipe"},
                                  {"Figure", "Tooltip", "ignored: not a caption"}});
    const auto doc = buildChartReport(*w, "2026-12-09", captions);
    EXPECT_NE(doc.find("Machine (translated)"), nullptr);
    EXPECT_EQ(doc.find("Machine"), nullptr);
    const auto& t = firstTable(*doc.find(chart_report::Outlets));
    EXPECT_NE(std::find(t.headings.begin(), t.headings.end(), "Pressure in the pipe (kPa)"),
              t.headings.end());
    EXPECT_EQ(figures(doc)[0]->caption.rfind("Figure 1: ", 0), 0u);
    // The program's language file holds an entry for every caption it prints.
    const auto file = std::filesystem::path(KAMBRIX_SOURCE_DIR) / "resources/m17n/EN_en.txt";
    const auto entries = readLanguageSection(file, kChartReportSection);
    EXPECT_GE(entries.size(), 60u);
    for (const char* caption :
         {"Designed by", "Checked by", "Approved by", "Capacity without end gun", "Pipe pressure",
          "Sprinkler pressure", "Regulator model", "Nozzle height above ground", "Wetted diameter",
          "Inside diameter", "Outside diameter", "Hazen-Williams C", "Percent timer"}) {
        EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const TranslationEntry& e) {
            return e.target == caption;
        })) << caption;
    }
}

TEST_F(DemoChart, InUsUnitsTheWholePrintoutReadsInThem) {
    w->setSurfaceStorage(1.0);
    const report::Document si = buildChartReport(*w, "2026-12-10");
    const report::Document us = reportInUnits(si, UnitSystem::US, si.decimalSeparator);
    const std::string text = us.plainText();
    // No stored unit is left anywhere: every heading, value and sentence names US units.
    const std::regex storedUnit(R"((\d |\()(kPa|L/s|L s-1|mm/h|mm|cm|ha|m)(?![\w/\u00b3]))");
    std::smatch found;
    EXPECT_FALSE(std::regex_search(text, found, storedUnit))
        << "\"" << found.str() << "\" at " << found.position() << " in:\n"
        << text;
    EXPECT_NE(text.find("US customary: ft, in, gpm, psi"), std::string::npos);
    const report::Section* machine = us.find(chart_report::Machine);
    ASSERT_NE(machine, nullptr);
    // The design discharge of the demo pivot, 50 L/s, in gpm.
    const std::string q = value(*machine, "Design discharge at the pivot");
    EXPECT_EQ(q, shownWithUnit(Quantity::Discharge, UnitSystem::US, pivot().caudal, '.')) << q;
    // The outlet table: the distance column in feet, each row the stored distance converted.
    const report::Table& siOutlets = firstTable(*si.find(chart_report::Outlets));
    const report::Table& usOutlets = firstTable(*us.find(chart_report::Outlets));
    ASSERT_EQ(siOutlets.rows.size(), usOutlets.rows.size());
    int distance = -1;
    for (std::size_t c = 0; c < usOutlets.headings.size(); ++c) {
        if (usOutlets.headings[c].find("(ft)") != std::string::npos && distance < 0) {
            distance = static_cast<int>(c);
        }
    }
    ASSERT_GE(distance, 0);
    for (std::size_t r = 0; r < siOutlets.rows.size(); r += 37) {
        const double metres = std::stod(siOutlets.rows[r][static_cast<std::size_t>(distance)]);
        const double feet = std::stod(usOutlets.rows[r][static_cast<std::size_t>(distance)]);
        EXPECT_NEAR(feet, metres / 0.3048, 0.051) << "row " << r;
    }
}

}  // namespace
}  // namespace kambrix
