// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed chart as PDF, read back with pdftotext: the header, every nozzle, the table
// heading repeated on the next page, page numbers.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "design/chart_report.h"
#include "report/report_renderer.h"
#include "shell/unit_of_work.h"
#include "support/process_run.h"

namespace kambrix {
namespace {

class SilentPrompts : public WorkbenchPrompts {
  public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::vector<std::string> messages;
};

// The text of pages first..last of the PDF (all when 0).
std::string pdfText(const std::filesystem::path& pdf, int first = 0, int last = 0) {
    const auto r = kambrix::test::pdfText(pdf, first, last);
    EXPECT_EQ(r.status, 0) << "pdftotext (poppler-utils) failed: " << r.err;
    return r.out;
}
TEST(ReportRenderer, TheDemoChartAsPdf) {
    test::TempFolder root("report");
    const auto folder = root.path() / "demo";
    ASSERT_TRUE(makeDemoDatabaseFolder(test::templateFolder(), folder));
    AppConfig config;
    setDatabaseFolder(config, folder);
    const auto stored = readFrom(config.projectsConnectionString, [](quarvex::Connection& con) {
        return Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    });
    ASSERT_TRUE(stored);
    SilentPrompts prompts;
    ChartWorkbench w(*stored, WorkbenchDatabases::from(config), prompts);
    ASSERT_EQ(w.charts().size(), 1u);
    w.selectChart(w.charts()[0].id);
    ASSERT_TRUE(w.openChart());
    const report::Document doc = buildChartReport(w, "2024-05-17");

    const auto pdf = root.path() / "chart.pdf";
    report::writePdf(doc, QString::fromStdString(pdf.string()));
    const std::string all = pdfText(pdf);
    EXPECT_NE(all.find("Demo package"), std::string::npos);
    std::set<std::string> nozzles;
    for (const auto& ref : outletsInOrder(w.currentWrapper()->pivot())) {
        if (ref.outlet->obj_aspersor) {
            nozzles.insert(ref.outlet->obj_aspersor->nome());
        }
    }
    ASSERT_GT(nozzles.size(), 20u);
    for (const auto& n : nozzles) {
        EXPECT_NE(all.find(n), std::string::npos) << n;
    }

    // 198 outlets do not fit one page: page 2 carries the header and the table's heading.
    const std::string page2 = pdfText(pdf, 2, 2);
    EXPECT_NE(page2.find("Demo package"), std::string::npos);
    for (const char* heading : {"Nozzle", "Brand and", "Delivered", "Warning"}) {
        EXPECT_NE(page2.find(heading), std::string::npos) << heading;
    }
    const auto at = page2.find("Page 2 of ");
    ASSERT_NE(at, std::string::npos) << page2;
    const int pages = std::stoi(page2.substr(at + 10));
    EXPECT_GE(pages, 4);
    const std::string last = "Page " + std::to_string(pages) + " of " + std::to_string(pages);
    EXPECT_NE(all.find(last), std::string::npos);
    EXPECT_EQ(all.find("Page " + std::to_string(pages + 1) + " of"), std::string::npos);

    EXPECT_EQ(test::numberOf([&] { report::writePdf(doc, "/no/such/folder/x.pdf"); }),
              errc::FileNotWritable);
}

// Every caption of the printed chart reaches the PDF, the figures among them, and the
// workbench's document is the one the command line prints.
TEST(ReportRenderer, ThePrintedChartCarriesEveryCaption) {
    if (std::system("command -v pdftotext > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the PDF's text cannot be read";
    }
    test::TempFolder root("captions");
    const auto folder = root.path() / "demo";
    ASSERT_TRUE(makeDemoDatabaseFolder(test::templateFolder(), folder));
    AppConfig config;
    setDatabaseFolder(config, folder);
    const auto stored = readFrom(config.projectsConnectionString, [](quarvex::Connection& con) {
        return Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    });
    ASSERT_TRUE(stored);
    SilentPrompts prompts;
    ChartWorkbench w(*stored, WorkbenchDatabases::from(config), prompts);
    w.selectChart(w.charts().at(0).id);
    ASSERT_TRUE(w.openChart());
    w.setSurfaceStorage(1.0);
    w.setDefaultDesigner("Ana Designer");
    const auto pdf = root.path() / "chart.pdf";
    report::writePdf(buildChartReport(w, "2024-05-17"), QString::fromStdString(pdf.string()));
    std::string all = pdfText(pdf);
    // The type has no ligatures: "Runoff" and "Infiltration" are searched letter by letter.
    EXPECT_EQ(all.find("\xEF\xAC"), std::string::npos);
    // pdftotext ends a line where a cell or a key wraps; the captions are read on one line.
    for (char& c : all) {
        if (c == '\n') {
            c = ' ';
        }
    }
    for (const char* caption : {"Designed by",
                                "Ana Designer",
                                "Checked by",
                                "Approved by",
                                "Owner / location",
                                "Units",
                                "Machine",
                                "Inside diameter",
                                "Outside diameter",
                                "Hazen-Williams C",
                                "1 m of head counted as 10 kPa",
                                "Elevation",
                                "Total gain",
                                "Total drop",
                                "Capacity",
                                "Capacity without end gun",
                                "Discharge per irrigated area",
                                "Outlets",
                                "Pipe pressure",
                                "Sprinkler pressure",
                                "Regulators",
                                "Regulator model",
                                "Margin rule",
                                "Drop",
                                "Nozzle height above ground",
                                "Percent timer",
                                "Uniformity",
                                "Runoff",
                                "Wetted diameter",
                                "Figure 1: Pressure along the lateral",
                                "Figure 2: Depth applied along the lateral",
                                "Figure 3: ",
                                "Figure 4: ",
                                "Over hang",
                                "Page 1 of "}) {
        EXPECT_NE(all.find(caption), std::string::npos) << caption;
    }
    // The figures are drawn: their axis titles are text of the page, not pictures.
    EXPECT_NE(all.find("Distance (m)"), std::string::npos);
    EXPECT_NE(all.find("Time (h)"), std::string::npos);
    EXPECT_EQ(all.find("Tower 8"), std::string::npos);
}

}  // namespace
}  // namespace kambrix
