// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabTramos.h"

#include <QVBoxLayout>

#include "gui/widgets/grid_view.h"

namespace kambrix {

TabTramos::TabTramos(const IdealResults& results, MessageService& messages, QWidget* parent)
    : TabPage("tabTramos", parent), results_(results) {
    grid_ = new GridView("grdTramos",
                         QStringLiteral("Tramo;Modelo;Presión entrada (kPa);Caudal entrada (l/s);"
                                        "Presión final (kPa);Caudal final (l/s);Pérdida (kPa)"),
                         this);
    grid_->setMessages(&messages);
    (new QVBoxLayout(this))->addWidget(grid_);
}

void TabTramos::updateData() {
    if (!results_.computed) {
        clear();
        return;
    }
    grid_->setTable(idealSpansTable(*results_.computed));
}

void TabTramos::clear() {
    grid_->setTable(TableData{{"span", "model", "inletPressure", "inletDischarge", "endPressure",
                               "endDischarge", "frictionLoss"},
                              {}});
}

}  // namespace kambrix
