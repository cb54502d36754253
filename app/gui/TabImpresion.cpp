// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabImpresion.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/message_service.h"

namespace kambrix {

TabImpresion::TabImpresion(ChartWorkbench& workbench, MessageService& messages, QWidget* parent)
    : TabPage("tabImpresion", parent), messages_(messages), presenter_(workbench) {
    auto* grid = new QGridLayout(this);
    auto* note = namedLabel(this, "lblImpresion",
                            QStringLiteral("Nombres impresos en la carta; un nombre en blanco "
                                           "deja una línea para firmar."));
    note->setWordWrap(true);
    grid->addWidget(note, 0, 0, 1, 2);
    const struct {
        const char* label;
        const char* box;
        const char* caption;
        QLineEdit** edit;
    } lines[] = {{"lblDisenadoPor", "txtDisenadoPor", "Diseñado por", &designed_},
                 {"lblRevisadoPor", "txtRevisadoPor", "Revisado por", &checked_},
                 {"lblAprobadoPor", "txtAprobadoPor", "Aprobado por", &approved_}};
    int r = 1;
    for (const auto& l : lines) {
        grid->addWidget(namedLabel(this, l.label, QString::fromUtf8(l.caption)), r, 0);
        *l.edit = namedEdit(this, l.box, false);
        grid->addWidget(*l.edit, r, 1);
        onSignal(*l.edit, &QLineEdit::textEdited, this, messages_, [this] { take(); });
        ++r;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(r, 1);
    updateData();
}

void TabImpresion::take() {
    if (presenter_.setNames({designed_->text().toStdString(), checked_->text().toStdString(),
                             approved_->text().toStdString()})) {
        emit changed();
    }
}

void TabImpresion::updateData() {
    const SignoffNames n = presenter_.names();
    designed_->setText(QString::fromStdString(n.designedBy));
    checked_->setText(QString::fromStdString(n.checkedBy));
    approved_->setText(QString::fromStdString(n.approvedBy));
}

void TabImpresion::clear() {
    updateData();  // the names belong to the chart, not to a computation
}

}  // namespace kambrix
