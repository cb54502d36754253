// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace kambrix {

// Name, version, licence and the libraries the program uses.
class frmAbout : public QDialog {
  public:
    explicit frmAbout(QWidget* parent = nullptr);
};

}  // namespace kambrix
