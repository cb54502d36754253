// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "design/tovren_presenter.h"
#include "gui/widgets/app_services.h"

class QChartView;
class QCloseEvent;
class QLabel;

namespace kambrix {

class EfficiencyFrame;
class GridView;
class NumberBox;

// The system discharge from the continuous discharge (Qfc) the irrigation-scheduling model
// computed for the field: its yearly results imported from the file it exports into the
// grid msfDTOVREN and drawn as a frequency curve, a year chosen in the grid giving Qfc, the
// application-efficiency data, and the save of the project with the chosen Qfc.
class frmDatosTOVREN : public QWidget {
  public:
    explicit frmDatosTOVREN(const AppServices& services, QWidget* parent = nullptr);

    // The import command: asks for the file and reads it into the grid; a file that cannot
    // be read leaves the grid as it was.
    void cmdImportar_Click();
    // Reads the file into the grid (the command after the file dialog).
    void importFile(const QString& path);
    // Choosing a grid row (0-based) puts its Qfc into txtQfc.
    void chooseRow(int row);
    // The efficiency results, and a message for the first efficiency input missing.
    void cmdCalc_Click();
    // The discharge command: the system discharge, or why there is none.
    void cmd_compute_caudal_Click();
    // cmdGuardar; false when a check stopped it or the store failed (nothing saved then).
    bool save();

    bool hasChanges() const { return dirty_; }
    TovrenBoxes boxes() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void changed();
    void showCurve();
    bool commitBoxes();

    AppServices services_;
    TovrenPresenter presenter_;
    GridView* grid_ = nullptr;
    QChartView* chart_ = nullptr;
    QLabel* lblFichero_ = nullptr;
    EfficiencyFrame* efficiency_ = nullptr;
    NumberBox* qfc_ = nullptr;
    NumberBox* area_ = nullptr;
    NumberBox* horas_ = nullptr;
    bool dirty_ = false;
};

}  // namespace kambrix
