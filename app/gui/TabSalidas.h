// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/ideal_results.h"
#include "gui/widgets/tab_page.h"

namespace kambrix {

class GridView;
class MessageService;

// The outlets of the ideal operation, one row each (outlets below 0 kPa marked).
class TabSalidas : public TabPage {
    Q_OBJECT

  public:
    TabSalidas(const IdealResults& results, MessageService& messages, QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;
    GridView* grid() const { return grid_; }

  private:
    const IdealResults& results_;
    GridView* grid_;
};

}  // namespace kambrix
