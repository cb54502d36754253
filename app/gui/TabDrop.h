// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/drop_tab_presenter.h"
#include "gui/widgets/tab_page.h"

class QComboBox;
class QLabel;

namespace kambrix {

class CheckedBox;
class MessageService;

// The chart's drop: the pipe between the span and each sprinkler ("cmbMaterialDrop" from
// the pipe materials, "txtLongitudDrop" in m, "txtDiametroDrop" inside diameter in mm),
// installed with "cmd_install_drop" and taken off with "cmd_uninstall_drop". An incomplete
// drop is refused with a message and stays uninstalled.
class TabDrop : public TabPage {
    Q_OBJECT

  public:
    TabDrop(ChartWorkbench& workbench, MessageService& messages, QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;

    // Checks the boxes and installs the drop they describe; false when refused.
    bool install();
    void uninstall();
    DropInput input() const;

  private:
    void fill(const quarvex::Drop& drop);
    void showState();

    ChartWorkbench& workbench_;
    MessageService& messages_;
    DropTabPresenter presenter_;
    QComboBox* cmbMaterial_ = nullptr;
    CheckedBox* longitud_ = nullptr;
    CheckedBox* diametro_ = nullptr;
    QLabel* lblEstado_ = nullptr;
};

}  // namespace kambrix
