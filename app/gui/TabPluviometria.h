// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

#include "gui/widgets/app_services.h"
#include "gui/widgets/tab_page.h"

class QChartView;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kambrix {

class ChartWorkbench;
class NumberBox;
class frmSuperficialStorage;
struct RunoffTabView;

// The runoff check of the chart under work: for up to two points of the field (distance
// from the pivot point, wetted diameter of the sprinkler there) the application-rate
// ellipse against the soil's Kostiakov infiltration curve, the excess depth of each point
// and, once the surface-storage calculator has given the field's storage, whether the
// surface holds it or how much runs off. The revolution time is the indicator tab's. The
// values are the workbench's (stored with the chart).
class TabPluviometria : public TabPage {
    Q_OBJECT

  public:
    TabPluviometria(const AppServices& services, ChartWorkbench& workbench,
                    QWidget* parent = nullptr);
    ~TabPluviometria() override;

    // Fills the inputs from the workbench's check and recomputes (reasons shown in the tab).
    void updateData() override;
    void clear() override;

    // An outlet chosen in the grid: its distance from the pivot point (m) becomes the
    // distance of point 1 or 2, and the check runs again.
    void setPointDistance(int point, double distance_m);

    // The check with the boxes' values; with messages, a failure is shown in a box as well.
    void compute(bool showMessages);

  private:
    void inputsChanged();
    void fillInputs();
    void show(const RunoffTabView& view);
    void openStorageCalculator();

    const AppServices& services_;
    ChartWorkbench& workbench_;
    int collector_ = 0;

    QLineEdit* txtRadio1_;
    QLineEdit* txtDmoj1_;
    QLineEdit* txtRadio2_;
    QLineEdit* txtDmoj2_;
    QLineEdit* txtk_;
    QLineEdit* txta_;
    NumberBox* radio1_;
    NumberBox* dmoj1_;
    NumberBox* radio2_;
    NumberBox* dmoj2_;
    NumberBox* k_;
    NumberBox* a_;
    QLabel* lblExceso1_v_;
    QLabel* lblExceso2_v_;
    QLabel* lblVeredicto1_;
    QLabel* lblVeredicto2_;
    QLabel* lblAlmacenamiento_v_;
    QLabel* lblMensaje_;
    QPushButton* cmdCalcular_;
    QPushButton* cmdAlmacenamiento_;
    QChartView* chart_;
    QPointer<frmSuperficialStorage> storage_;
};

}  // namespace kambrix
