// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/unit_system.h"

#include <array>
#include <optional>

#include "design/supply.h"
#include "gui/widgets/app_services.h"
#include "gui/widgets/tab_page.h"

class QChartView;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace kambrix {

class NumberBox;

class ChartWorkbench;
class GridView;
struct SupplyBoxes;

// The water that feeds the pivot: the pump's curve, the line to the pivot point, the supply
// measured in the field and the nozzles' wear; where the package under work meets that
// supply with the end gun and its booster on and off (table and figure), and "Design for
// this supply". The supply is the system's (saved with "Save supply"); the figure is
// computed when the tab is shown, as the package changes.
class TabSupply : public TabPage {
    Q_OBJECT

  public:
    TabSupply(const AppServices& services, ChartWorkbench& workbench, QWidget* parent = nullptr);

    void updateData() override;
    void clear() override;

  signals:
    // "Design for this supply" computed a new automatic package: the window shows it.
    void packageRecomputed();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    SupplyBoxes boxes() const;
    void fillBoxes(const Supply& supply);
    void loadStored();
    void compute();
    // Fills the measured boxes from a field test of this system (a choice among them).
    void takeMeasuredFromTest();
    void save();
    void designForSupply();
    // The boxes, the pump grid, the captions and the results in the shown units.
    void redrawInUnits();
    // A pump cell showing a stored value in the shown units (exact until edited), and the
    // stored text of a cell.
    QTableWidgetItem* pumpItem(const std::string& storedText, Quantity quantity) const;
    std::string pumpCell(int row, int column) const;

    const AppServices& services_;
    ChartWorkbench& workbench_;
    int loadedSystem_ = -1;
    bool stale_ = true;
    std::optional<SupplyAnalysis> analysis_;

    QTableWidget* grdBomba_;
    UnitSystem pumpUnits_ = UnitSystem::SI;  // the units the pump grid shows
    NumberBox* altura_ = nullptr;
    NumberBox* longitud_ = nullptr;
    NumberBox* diametro_ = nullptr;
    NumberBox* presionMedida_ = nullptr;
    NumberBox* caudalMedido_ = nullptr;
    QLineEdit* txtAltura_;
    QLineEdit* txtLongitud_;
    QLineEdit* txtDiametro_;
    QLineEdit* txtRugosidad_;
    QLineEdit* txtPresionMedida_;
    QLineEdit* txtCaudalMedido_;
    QLineEdit* txtDesgaste_;
    QPushButton* cmdCalcular_;
    QPushButton* cmdGuardar_;
    QPushButton* cmdDisenar_;
    QLabel* lblResumen_;
    QLabel* lblMedido_;
    QLabel* lblMensaje_;
    QChartView* chart_;
    GridView* grid_;
};

}  // namespace kambrix
