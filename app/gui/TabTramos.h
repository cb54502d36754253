// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/ideal_results.h"
#include "gui/widgets/tab_page.h"

namespace kambrix {

class GridView;
class MessageService;

// The spans of the ideal operation: inlet and end conditions and the friction loss.
class TabTramos : public TabPage {
    Q_OBJECT

  public:
    TabTramos(const IdealResults& results, MessageService& messages, QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;

  private:
    const IdealResults& results_;
    GridView* grid_;
};

}  // namespace kambrix
