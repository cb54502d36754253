// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design/ideal_results.h"
#include "gui/widgets/tab_page.h"

class QChartView;

namespace kambrix {

// The radius profile: ideal pressure and ground elevation against the distance from the
// pivot, the towers, and the outlets whose pressure falls below 0 kPa.
class TabPerfil : public TabPage {
    Q_OBJECT

  public:
    explicit TabPerfil(const IdealResults& results, QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;

  private:
    const IdealResults& results_;
    QChartView* view_;
};

}  // namespace kambrix
