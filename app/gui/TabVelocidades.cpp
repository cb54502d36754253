// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabVelocidades.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/widgets/controls.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"

namespace kambrix {

namespace {

constexpr NumberRange kRevolution{0, 1000, true, false};  // h

}  // namespace

TabVelocidades::TabVelocidades(const IdealResults& results, MessageService& messages,
                               QWidget* parent)
    : TabPage("tabVelocidades", parent), results_(results) {
    auto* layout = new QGridLayout(this);
    auto* txtTempo = namedEdit(this, "txtTempoH100");
    tempo_ = new NumberBox(txtTempo, kRevolution, QStringLiteral("the time of one revolution"),
                           true, messages, [this] { updateData(); });
    layout->addWidget(namedLabel(this, "lblTempoH100", QStringLiteral("Horas por vuelta al 100 %")),
                      0, 0);
    layout->addWidget(txtTempo, 0, 1);
    grid_ = new GridView("grdVelocidades",
                         QStringLiteral("Velocidad (%);Horas por vuelta;"
                                        "Velocidad de la última torre (m/min);Lámina bruta (mm)"),
                         this);
    grid_->setMessages(&messages);
    layout->addWidget(grid_, 1, 0, 1, 3);
    layout->setColumnStretch(2, 1);
}

void TabVelocidades::updateData() {
    if (!results_.computed) {
        clear();
        return;
    }
    quarvex::pivot machine = *results_.computed;
    grid_->setTable(speedBoxTable(speedBox(machine, tempo_->value(0))));
}

void TabVelocidades::clear() {
    grid_->setTable(speedBoxTable(quarvex::caixaVelocidades{}));
}

}  // namespace kambrix
