// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace kambrix {

// The start window of a chosen system: hydraulic design, and the agronomic design from the
// user's data or from the scheduling model's results.
class frmIniAgronom : public QWidget {
  public:
    explicit frmIniAgronom(QWidget* parent = nullptr);
};

}  // namespace kambrix
