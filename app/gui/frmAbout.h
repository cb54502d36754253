// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "gui/widgets/app_services.h"

namespace kambrix {

// Name, version, licence and the libraries the program uses.
class frmAbout : public QDialog {
  public:
    explicit frmAbout(const AppServices& services, QWidget* parent = nullptr);
};

}  // namespace kambrix
