// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QRadioButton;
class QListWidget;
class QLineEdit;
class QLabel;
class QPushButton;

namespace kambrix {

// System selection: open an existing system, create a new empty one, create one as a copy
// of an existing one, or delete one. The chosen system becomes the current project and the
// agronomic start window opens.
class frmNuevSist : public QWidget {
  public:
    explicit frmNuevSist(QWidget* parent = nullptr);

    void refreshList();
    void cmdAceptar_Click();
    void cmdBorrar_Click();

  private:
    void setMode();
    void openStartWindow();
    // Deletes the project of that name when there is one (no question asked).
    void removeProject(const std::string& name);
    // Asks before replacing an existing system of that name; false to stop.
    bool clearName(const std::string& name);

    QRadioButton* optConsultar_;
    QRadioButton* optNuevo_;
    QRadioButton* optNuevJaExist_;
    QListWidget* dtalproyecto_;
    QLineEdit* txtSistemExistente_;
    QLineEdit* txtDenNuevSist_;
    QLabel* lblDenominacion_;
    QLabel* lblNuevo_;
};

}  // namespace kambrix
