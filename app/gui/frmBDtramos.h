// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

#include "shell/reference_tramos.h"

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace kambrix {

// The reference-span catalogue editor: the spans of the machines and their brands.
class frmBDtramos : public QWidget {
  public:
    explicit frmBDtramos(QWidget* parent = nullptr);

    // Stores the span of the boxes (and its brand when the name is new).
    bool cmdGuardar_Click();
    // Stores the brand named in the brand box.
    bool cmdGuardarMarca_Click();

  private:
    void reload();
    bool run(const std::function<void(quarvex::Connection&)>& work);

    quarvex::Collection<TramoMarca> marcas_;
    QComboBox* cboMarca_;
    QTableWidget* grdTramos_;
    QLineEdit* txtDenominacion_;
    QLineEdit* txtLongitud_;
    QLineEdit* txtDiametro_;
    QLineEdit* txtSeparacion_;
};

}  // namespace kambrix
