// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "gui/widgets/app_services.h"

namespace kambrix {

// The main window: the four commands of the program, the catalogue editors and the picture.
class frmPrincipal : public QWidget {
  public:
    explicit frmPrincipal(const AppServices& services, QWidget* parent = nullptr);

  protected:
    // Closing the main window ends the program: every other window is closed first (one
    // with unsaved changes may ask and refuse, and then nothing closes).
    void closeEvent(QCloseEvent* event) override;

  private:
    AppServices services_;
};

}  // namespace kambrix
