// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "gui/widgets/app_services.h"
#include "shell/system_selection.h"

class QRadioButton;
class QListWidget;
class QListWidgetItem;
class QLineEdit;
class QLabel;

namespace kambrix {

// System selection: open an existing system, create a new empty one, create one as a copy
// of an existing one, or delete one. The chosen system becomes the document's project and
// the agronomic start window opens. A double click on a system opens it. A new empty system
// that is left without ever being saved is removed again when its start window closes.
class frmNuevSist : public QWidget {
  public:
    explicit frmNuevSist(const AppServices& services, QWidget* parent = nullptr);

    void refreshList();
    void cmdAceptar_Click();
    void cmdBorrar_Click();

  private:
    void setMode();
    void listActivated(QListWidgetItem* item);
    // The start window on the document's project; `newProjectId` (0 for none) is a new empty
    // system to remove again if the start window closes with it never saved.
    void openStartWindow(int newProjectId = 0);

    AppServices services_;
    SystemSelection selection_;
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
