// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed chart as PDF, read back with pdftotext: the header, every nozzle, the table
// heading repeated on the next page, page numbers.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
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

}  // namespace
}  // namespace kambrix
