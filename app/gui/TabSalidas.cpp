// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabSalidas.h"

#include <QVBoxLayout>

#include "gui/widgets/grid_view.h"

namespace kambrix {

TabSalidas::TabSalidas(const IdealResults& results, MessageService& messages, QWidget* parent)
    : TabPage("tabSalidas", parent), results_(results) {
    grid_ = new GridView("grdSalidas",
                         QStringLiteral("Tramo;Salida;Distancia (m);Cota (m);Caudal ideal (l/s);"
                                        "Presión ideal (kPa)"),
                         this);
    grid_->setMessages(&messages);
    (new QVBoxLayout(this))->addWidget(grid_);
}

void TabSalidas::updateData() {
    if (!results_.computed) {
        clear();
        return;
    }
    grid_->setTable(idealOutletsTable(*results_.computed));
}

void TabSalidas::clear() {
    grid_->setTable(
        TableData{{"span", "outlet", "distance", "elevation", "discharge", "pressure"}, {}});
}

}  // namespace kambrix
