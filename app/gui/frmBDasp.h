// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <quarvex/quarvex.h>

#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QChartView;

namespace kambrix {

// The sprinkler catalogue editor: brands, models and nozzles (q = a·p^b with their pressure
// and discharge ranges), and the discharge curve of the chosen nozzle.
class frmBDasp : public QWidget {
  public:
    explicit frmBDasp(QWidget* parent = nullptr);

    // Stores the nozzle of the boxes (with a new brand or model when the names are new).
    bool cmdGuardar_Click();
    // Draws q = a·p^b over the nozzle's pressure range from the boxes.
    void drawCurve();

  private:
    void reload();
    void brandChosen();
    void showNozzles();
    void nozzleChosen(int row);

    quarvex::Collection<quarvex::marca> marcas_;
    quarvex::Collection<quarvex::modelo> modelos_;
    quarvex::AspersorList aspersores_;
    std::vector<std::shared_ptr<quarvex::Aspersor>> shown_;

    QComboBox* cboMarca_;
    QComboBox* cboModelo_;
    QTableWidget* grdBoquillas_;
    QLineEdit* txtBoquilla_;
    QLineEdit* txtA_;
    QLineEdit* txtB_;
    QLineEdit* txtPmin_;
    QLineEdit* txtPmax_;
    QLineEdit* txtQmin_;
    QLineEdit* txtQmax_;
    QChartView* chtCurva_;
};

}  // namespace kambrix
