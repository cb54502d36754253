// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <cstddef>
#include <memory>
#include <vector>

#include "gui/widgets/app_services.h"
#include "gui/widgets/tab_page.h"
#include "shell/language_file.h"

class QChart;
class QChartView;
class QLabel;
class QLineEdit;

namespace quarvex {
class PivotWrapper;
}

namespace kambrix {

class ChartWorkbench;
class GridView;
class NumberBox;
struct IndicatorTabView;

// The most departing outlets one marks series holds. Qt Charts spends on a scatter series
// time that grows with the square of its points (each new mark touches the marks already
// there), so a long lateral's marks are drawn as several series of this size, of one name,
// colour and size, only the first in the legend: the chart opens in time linear in outlets.
inline constexpr std::size_t kMarksPerSeries = 256;

// The depth profiles of the tab: the ideal and the actual depth and the departing outlets,
// with the captions of the chart's "SeriesCaptions" (ideal, actual, x axis, y axis, marks,
// empty chart); a chart with only its title when the view has no profile. The caller takes
// the chart.
QChart* depthProfileChart(const IndicatorTabView& view, const QStringList& captions);

// The performance indicators of the chart under work: from the hours of one revolution and
// the plugged outlets, UD, CU (with its band), the expected and the average depth, both depth
// profiles along the radius and the discharge consumed by every span. The two inputs are
// the workbench's (stored with the chart); they come back in the boxes after a chart opens.
class TabIndicadores : public TabPage {
    Q_OBJECT

  public:
    TabIndicadores(const AppServices& services, ChartWorkbench& workbench,
                   QWidget* parent = nullptr);
    ~TabIndicadores() override;

    // Attaches to the workbench's current pivot when it changed, fills the inputs from the
    // workbench's values and recomputes (reasons shown in the tab, no box).
    void updateData() override;
    void clear() override;

  private:
    void attach(const std::shared_ptr<quarvex::PivotWrapper>& wrapper);
    bool validate(bool showMessages);
    void inputsChanged();
    void refresh(bool showMessages);
    void fillInputs();
    void showBareOutlets();
    void drawSpanTable();
    void show(const IndicatorTabView& view);
    void showProblems(const QStringList& problems);

    const AppServices& services_;
    ChartWorkbench& workbench_;
    std::shared_ptr<quarvex::PivotWrapper> wrapper_;
    bool attached_ = false;
    std::vector<TranslationEntry> captions_;  // the language file's texts of the two labels
    int collector_ = 0;

    QLabel* lblHorasRevolucion_;
    QLabel* lblObturadas_;
    // Beside the plugged count: the outlets without a sprinkler.
    QLabel* lblSinAspersor_v_ = nullptr;
    QLineEdit* txtHorasRevolucao_;
    QLineEdit* txtAObturados_;
    NumberBox* hours_;
    NumberBox* plugged_;
    QLabel* lblUD_v_;
    QLabel* lblCU_v_;
    QLabel* lblLaminaEsperada_v_;
    QLabel* lblLaminaMedia_v_;
    QLabel* lblBandaCU_;
    QLabel* lblMensaje_;
    QChartView* chart_;
    GridView* grid_;
};

}  // namespace kambrix
