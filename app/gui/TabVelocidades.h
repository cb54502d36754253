// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/ideal_results.h"
#include "gui/widgets/tab_page.h"

namespace kambrix {

class GridView;
class MessageService;
class NumberBox;

// The speed box: from the hours per revolution at full speed, the revolution time, the speed
// of the last tower and the gross depth of the ten speed settings.
class TabVelocidades : public TabPage {
    Q_OBJECT

  public:
    TabVelocidades(const IdealResults& results, MessageService& messages,
                   QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;
    NumberBox* revolutionTime() const { return tempo_; }

  private:
    const IdealResults& results_;
    NumberBox* tempo_;
    GridView* grid_;
};

}  // namespace kambrix
