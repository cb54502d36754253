// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabDrop.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/widgets/checked_box.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"

namespace kambrix {

namespace {

bool sameDrop(const DropInput& a, const DropInput& b) {
    return a.materialId == b.materialId && a.length == b.length && a.diameter == b.diameter;
}

}  // namespace

TabDrop::TabDrop(ChartWorkbench& workbench, MessageService& messages, QWidget* parent)
    : TabPage("tabDrop", parent), workbench_(workbench), messages_(messages) {
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

    connect(cmdInstall, &QPushButton::clicked, this,
            guarded(messages_, this, [this] { install(); }));
    connect(cmdUninstall, &QPushButton::clicked, this,
            guarded(messages_, this, [this] { uninstall(); }));
    connect(cmbMaterial_, &QComboBox::currentIndexChanged, this, [this] { showState(); });
    for (auto* b : {longitud_, diametro_}) {
        connect(b->box(), &QLineEdit::textChanged, this, [this] { showState(); });
    }
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
    longitud_->setAccepted(drop.longitud > 0 ? screenNumber(drop.longitud, 2) : QString());
    diametro_->setAccepted(drop.diametro > 0 ? screenNumber(drop.diametro, 1) : QString());
    filled_ = input();
    filledInstalled_ = quarvex::statics().Drops().IsInstalled(drop);
    showState();
}

void TabDrop::updateData() {
    const quarvex::Drop& d = workbench_.drop();
    const DropInput held{d.pipe_material.id, d.longitud, d.diametro};
    const bool installed = quarvex::statics().Drops().IsInstalled(d);
    // Boxes being edited stay while the drop held is the one they were filled with.
    if (!sameDrop(input(), filled_) && sameDrop(held, filled_) && installed == filledInstalled_) {
        showState();
        return;
    }
    fill(d);
}

void TabDrop::clear() {
    cmbMaterial_->setCurrentIndex(0);
    longitud_->setAccepted(QString());
    diametro_->setAccepted(QString());
    filled_ = input();
    filledInstalled_ = false;
    showState();
}

bool TabDrop::install() {
    for (auto* b : {longitud_, diametro_}) {
        if (!b->commit()) {
            b->box()->setFocus();
            return false;
        }
    }
    const bool done = workbench_.installDrop(input());
    filled_ = input();
    filledInstalled_ = quarvex::statics().Drops().IsInstalled(workbench_.drop());
    showState();
    emit changed();
    return done;
}

void TabDrop::uninstall() {
    workbench_.uninstallDrop();
    fill(workbench_.drop());
    emit changed();
}

void TabDrop::showState() {
    const quarvex::Drop& d = workbench_.drop();
    auto& drops = quarvex::statics().Drops();
    QString text;
    if (!drops.IsInstalled(d)) {
        text = QStringLiteral("No drop installed: the sprinklers sit on the span's outlets");
    } else {
        // The loss over the range of the outlets' required discharges.
        double qmin = 0;
        double qmax = 0;
        bool any = false;
        for (const auto& ref : outletsInOrder(workbench_.currentWrapper()->pivot())) {
            if (ref.span == nullptr || !(ref.outlet->caudal > 0)) {
                continue;
            }
            qmin = any ? std::min(qmin, ref.outlet->caudal) : ref.outlet->caudal;
            qmax = any ? std::max(qmax, ref.outlet->caudal) : ref.outlet->caudal;
            any = true;
        }
        text = QStringLiteral("Installed: %1, %2 m long, %3 mm inside diameter")
                   .arg(QString::fromStdString(d.pipe_material.name), screenNumber(d.longitud, 2),
                        screenNumber(d.diametro, 1));
        if (any) {
            text += QStringLiteral("; pressure loss %1 to %2 kPa over the outlets")
                        .arg(screenNumber(drops.PressureLoss(d, qmin), 2),
                             screenNumber(drops.PressureLoss(d, qmax), 2));
        }
    }
    if (!sameDrop(input(), filled_)) {
        text += QStringLiteral("\nThe boxes hold changes that are not installed yet");
        lblEstado_->setStyleSheet(QStringLiteral("color: #a05a00;"));
    } else {
        lblEstado_->setStyleSheet(QString());
    }
    lblEstado_->setText(text);
}

}  // namespace kambrix
