// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <optional>

#include "gui/widgets/app_services.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kambrix {

class NumberBox;

// The surface storage capacity of the field, As = Sm + Sf + k (12 − s²)(6 − s) / 144 (mm):
// the depth the soil surface holds before runoff begins. Sm and Sf are checked (0 to 100 mm)
// when the user leaves their boxes. The depths are shown and typed in the units chosen.
class frmSuperficialStorage : public QDialog {
    Q_OBJECT

  public:
    frmSuperficialStorage(const AppServices& services, QWidget* parent);

    // cmdCompute: checks the four inputs in order, shows As with 2 decimals and tells it.
    void compute();

  signals:
    void computed(double As_mm);

  private:
    // lblAs_v: the last As computed (mm) in the shown units, blank when none.
    void showAs();

    const AppServices& services_;
    QLineEdit* txtSm_;
    QLineEdit* txtSf_;
    QComboBox* cmbk_;
    QComboBox* cmbs_;
    QLabel* lblAs_v_;
    NumberBox* sm_;
    NumberBox* sf_;
    std::optional<double> as_;
};

}  // namespace kambrix
