// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/print_tab_presenter.h"
#include "gui/widgets/tab_page.h"

class QLineEdit;

namespace kambrix {

class MessageService;

// The names the printed chart's title block carries ("txtDisenadoPor", "txtRevisadoPor",
// "txtAprobadoPor"), stored with the chart. "Designed by" shows the user's name from the
// program's settings while the chart has none of its own; a blank name prints as a line to
// sign on.
class TabImpresion : public TabPage {
    Q_OBJECT

  public:
    TabImpresion(ChartWorkbench& workbench, MessageService& messages, QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;

  private:
    void take();

    MessageService& messages_;
    PrintTabPresenter presenter_;
    QLineEdit* designed_ = nullptr;
    QLineEdit* checked_ = nullptr;
    QLineEdit* approved_ = nullptr;
};

}  // namespace kambrix
