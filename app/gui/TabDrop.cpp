// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabDrop.h"

#include "gui/widgets/units_view.h"
#include "shell/number_text.h"
#include "shell/unit_system.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/widgets/checked_box.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"

namespace kambrix {

TabDrop::TabDrop(ChartWorkbench& workbench, MessageService& messages, QWidget* parent)
    : TabPage("tabDrop", parent),
      workbench_(workbench),
      messages_(messages),
      presenter_(workbench) {
    auto* outer = new QVBoxLayout(this);
    auto* note = namedLabel(this, "lblDrop",
                            QStringLiteral("El bajante une cada salida del tramo con su "
                                           "aspersor; su pérdida de carga se resta de la "
                                           "presión de cada aspersor."));
    note->setWordWrap(true);
    outer->addWidget(note);

    auto* grid = new QGridLayout;
    cmbMaterial_ = new QComboBox(this);
    cmbMaterial_->setObjectName("cmbMaterialDrop");
    cmbMaterial_->addItem(QString(), 0);
    for (const auto& m : workbench_.pipeMaterials()) {
        cmbMaterial_->addItem(
            QStringLiteral("%1 (C = %2)").arg(QString::fromStdString(m.name)).arg(m.rugosidade),
            m.id);
    }
    cmbMaterial_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* txtLongitud = namedEdit(this, "txtLongitudDrop");
    auto* txtDiametro = namedEdit(this, "txtDiametroDrop");
    longitud_ = new CheckedBox(txtLongitud, &ChartWorkbench::checkDropLengthText, messages_);
    diametro_ = new CheckedBox(txtDiametro, &ChartWorkbench::checkDropDiameterText, messages_);
    longitud_->setQuantity(Quantity::Length);
    diametro_->setQuantity(Quantity::PipeDiameter);
    grid->addWidget(namedLabel(this, "lblMaterialDrop", QStringLiteral("Material")), 0, 0);
    grid->addWidget(cmbMaterial_, 0, 1);
    grid->addWidget(namedLabel(this, "lblLongitudDrop", QStringLiteral("Longitud (m)")), 1, 0);
    grid->addWidget(txtLongitud, 1, 1);
    grid->addWidget(namedLabel(this, "lblDiametroDrop", QStringLiteral("Diámetro interior (mm)")),
                    2, 0);
    grid->addWidget(txtDiametro, 2, 1);
    grid->setColumnStretch(2, 1);
    outer->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* cmdInstall = namedButton(this, "cmd_install_drop", QStringLiteral("Instalar bajante"));
    auto* cmdUninstall = namedButton(this, "cmd_uninstall_drop", QStringLiteral("Quitar bajante"));
    buttons->addWidget(cmdInstall);
    buttons->addWidget(cmdUninstall);
    buttons->addStretch();
    outer->addLayout(buttons);
    lblEstado_ = namedLabel(this, "lblEstadoDrop", QString());
    lblEstado_->setWordWrap(true);
    outer->addWidget(lblEstado_);
    outer->addStretch();

    onSignal(cmdInstall, &QPushButton::clicked, this, messages_, [this] { install(); });
    onSignal(cmdUninstall, &QPushButton::clicked, this, messages_, [this] { uninstall(); });
    onSignal(cmbMaterial_, &QComboBox::currentIndexChanged, this, messages_,
             [this] { showState(); });
    for (auto* b : {longitud_, diametro_}) {
        onSignal(b->box(), &QLineEdit::textChanged, this, messages_, [this] { showState(); });
    }
    // The drop's length and diameter read in the shown units, and their captions.
    captionsFollowUnits(this);
    onUnitsChanged(this, [this] { showState(); });
    updateData();
}

DropInput TabDrop::input() const {
    DropInput in;
    in.materialId = cmbMaterial_->currentData().toInt();
    in.length = longitud_->given().value_or(0);
    in.diameter = diametro_->given().value_or(0);
    return in;
}

void TabDrop::fill(const quarvex::Drop& drop) {
    const int index = cmbMaterial_->findData(drop.pipe_material.id);
    cmbMaterial_->setCurrentIndex(std::max(0, index));
    longitud_->setAcceptedValue(
        drop.longitud > 0 ? std::optional<double>(drop.longitud) : std::nullopt, 2);
    diametro_->setAcceptedValue(
        drop.diametro > 0 ? std::optional<double>(drop.diametro) : std::nullopt, 1);
    presenter_.filled(input(), dropInstalled(drop));
    showState();
}

void TabDrop::updateData() {
    // Boxes being edited stay while the drop held is the one they were filled with.
    if (presenter_.keepsEdits(input())) {
        showState();
        return;
    }
    fill(workbench_.drop());
}

void TabDrop::clear() {
    cmbMaterial_->setCurrentIndex(0);
    longitud_->setAccepted(QString());
    diametro_->setAccepted(QString());
    presenter_.filled(input(), false);
    showState();
}

bool TabDrop::install() {
    for (auto* b : {longitud_, diametro_}) {
        if (!b->commit()) {
            b->box()->setFocus();
            return false;
        }
    }
    const bool done = presenter_.install(input());
    showState();
    emit changed();
    return done;
}

void TabDrop::uninstall() {
    presenter_.uninstall();
    fill(workbench_.drop());
    emit changed();
}

void TabDrop::showState() {
    const DropState state = presenter_.state(input());
    QString text;
    if (!state.installed) {
        text = QStringLiteral("No drop installed: the sprinklers sit on the span's outlets");
    } else {
        const UnitSystem u = shownUnits();
        const char sep = decimalSeparator();
        text =
            QStringLiteral("Installed: %1, %2 long, %3 inside diameter")
                .arg(QString::fromStdString(state.material),
                     QString::fromStdString(shownWithUnit(Quantity::Length, u, state.length, sep)),
                     QString::fromStdString(
                         shownWithUnit(Quantity::PipeDiameter, u, state.diameter, sep)));
        // The loss over the range of the outlets' required discharges.
        if (state.loss) {
            // Losses are small: one decimal more than a pressure.
            const Unit& kPa = unitOf(Quantity::Pressure, u);
            const auto loss = [&](double v) {
                return QString::fromStdString(
                    formatDecimals(toShown(Quantity::Pressure, u, v), kPa.decimals + 1, sep));
            };
            text += QStringLiteral("; pressure loss %1 to %2 %3 over the outlets")
                        .arg(loss(state.loss->minimum), loss(state.loss->maximum),
                             QString::fromStdString(kPa.symbol));
        }
    }
    if (state.unapplied) {
        text += QStringLiteral("\nThe boxes hold changes that are not installed yet");
        lblEstado_->setStyleSheet(QStringLiteral("color: #a05a00;"));
    } else {
        lblEstado_->setStyleSheet(QString());
    }
    lblEstado_->setText(text);
}

}  // namespace kambrix
