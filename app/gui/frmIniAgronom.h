// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "gui/widgets/app_services.h"

class QLabel;

namespace kambrix {

// The start window of a chosen system: hydraulic design, the agronomic design from the
// user's data or from the scheduling model's results, and the sprinkler-chart workbench.
class frmIniAgronom : public QWidget {
  public:
    explicit frmIniAgronom(const AppServices& services, QWidget* parent = nullptr);
    ~frmIniAgronom() override;

  private:
    AppServices services_;
    QLabel* lblSistema_;
    int subscription_ = 0;
};

}  // namespace kambrix
