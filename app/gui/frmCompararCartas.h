// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <vector>

#include "design/package_comparison.h"
#include "gui/widgets/app_services.h"
#include "shell/table_data.h"
#include "shell/unit_system.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace kambrix {

class ChartWorkbench;
class GridView;
class NumberBox;

// "Compare packages": the automatic package of every ticked model with every regulator
// setting and end-gun boost of the lists, computed on wrappers of their own with a progress
// bar and Cancel, shown in a sortable grid (copy, CSV export) and a bar chart of CU
// (feasible packages coloured). "Use this package" makes the chosen package with its
// regulators and booster a new, unnamed and unsaved chart of the workbench (the chart open
// before stays as it was stored); nothing else of the workbench changes.
class frmCompararCartas : public QWidget {
  public:
    frmCompararCartas(const AppServices& services, ChartWorkbench& workbench,
                      QWidget* parent = nullptr);

    // Computes the comparison with the options of the form; false when an option is refused
    // or the user cancelled before any package was computed.
    bool cmdComparar_Click();
    // The selected package as a new chart of the workbench.
    bool cmdUsarCarta_Click();

    // The packages in the order the grid shows them.
    const std::vector<ComparedPackage>& packages() const { return packages_; }
    const ComparedPackage* shownPackage(int row) const;
    bool lastCancelled() const { return cancelled_; }

  private:
    void sortBy(int column);
    void showPackages();
    // The grid's table of the packages, in the shown units.
    TableData shownTable() const;
    void drawChart();
    std::optional<ComparisonOptions> readOptions();

    // A list of pressures typed in a box ("none, 70, 100"): shown and typed in the shown
    // units; the values the program put there read back exactly until the user edits them.
    struct PressureList {
        QLineEdit* edit = nullptr;
        std::vector<std::optional<double>> stored;  // kPa, of the text `shown`
        QString shown;
        UnitSystem shownIn = UnitSystem::SI;
    };
    static void showPressures(PressureList& list, const std::vector<std::optional<double>>& kPa);
    // The values in kPa; none when an item is not a number or "none".
    static std::optional<std::vector<std::optional<double>>> readPressures(
        const PressureList& list);
    static void redrawPressures(PressureList& list);

    AppServices services_;
    ChartWorkbench& workbench_;
    std::vector<ModelChoice> models_;
    std::vector<ComparedPackage> packages_;  // in the grid's order
    bool cancelled_ = false;
    int sortColumn_ = -1;
    bool ascending_ = true;

    QListWidget* lstModelos_;
    QLineEdit* txtPresiones_;
    QLineEdit* txtBoosts_;
    PressureList presiones_;
    PressureList boosts_;
    // The hours of a revolution and the plugged outlets the candidates are judged with; the
    // indicator tab's at first.
    NumberBox* horas_ = nullptr;
    NumberBox* obturadas_ = nullptr;
    QComboBox* cmbModeloCanon_;
    QComboBox* cmbVariacion_;
    QComboBox* cmbOrden_;
    QCheckBox* chkPuntoOperacion_ = nullptr;
    GridView* grdCandidatos_;
    QChartView* chtCU_;
};

}  // namespace kambrix
