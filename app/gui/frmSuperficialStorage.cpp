// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmSuperficialStorage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "evaluation/surface_storage_form.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "gui/widgets/units_view.h"

namespace kambrix {

frmSuperficialStorage::frmSuperficialStorage(const AppServices& services, QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName("frmSuperficialStorage");
    setWindowTitle(QStringLiteral("Almacenamiento superficial"));
    const char sep = decimalSeparator();

    txtSm_ = namedEdit(this, "txtSm");
    txtSf_ = namedEdit(this, "txtSf");
    sm_ = new NumberBox(txtSm_, kStorageDepthRange,
                        QStringLiteral("the storage capacity of the micro depressions (Sm)"), true,
                        services_.messages);
    sf_ = new NumberBox(txtSf_, kStorageDepthRange, QStringLiteral("storage on plant foliage (Sf)"),
                        true, services_.messages);
    sm_->setQuantity(Quantity::Depth);
    sf_->setQuantity(Quantity::Depth);
    cmbk_ = new QComboBox(this);
    cmbk_->setObjectName("cmbk");
    for (const auto& item : storageKItems(sep)) {
        cmbk_->addItem(QString::fromStdString(item));
    }
    cmbk_->setCurrentIndex(-1);
    cmbs_ = new QComboBox(this);
    cmbs_->setObjectName("cmbs");
    for (const auto& item : storageSlopeItems()) {
        cmbs_->addItem(QString::fromStdString(item));
    }
    cmbs_->setCurrentIndex(-1);
    lblAs_v_ = namedLabel(this, "lblAs_v", QString());
    lblAs_v_->setMinimumWidth(80);
    lblAs_v_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblAs_v_->setFrameShape(QFrame::StyledPanel);
    lblAs_v_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* grid = new QGridLayout;
    grid->addWidget(namedLabel(this, "lblSm",
                               QStringLiteral("Capacidad de almacenamiento de las "
                                              "microdepresiones Sm (mm)")),
                    0, 0);
    grid->addWidget(txtSm_, 0, 1);
    grid->addWidget(namedLabel(this, "lblk", QStringLiteral("Parámetro k")), 1, 0);
    grid->addWidget(cmbk_, 1, 1);
    grid->addWidget(
        namedLabel(this, "lblSf", QStringLiteral("Almacenamiento en el follaje Sf (mm)")), 2, 0);
    grid->addWidget(txtSf_, 2, 1);
    grid->addWidget(namedLabel(this, "lbls", QStringLiteral("Pendiente media del sistema s (%)")),
                    3, 0);
    grid->addWidget(cmbs_, 3, 1);
    grid->addWidget(namedLabel(this, "lblAs", QStringLiteral("Almacenamiento superficial As (mm)")),
                    4, 0);
    grid->addWidget(lblAs_v_, 4, 1);

    auto* cmdCompute = namedButton(this, "cmdCompute", QStringLiteral("&Calcular"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("&Salir"));
    cmdCompute->setDefault(true);
    onSignal(cmdCompute, &QPushButton::clicked, this, services_.messages, [this] { compute(); });
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCompute);
    buttons->addWidget(cmdSalir);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setTabOrderChain({txtSm_, cmbk_, txtSf_, cmbs_, cmdCompute, cmdSalir});
    captionsFollowUnits(this);
    onUnitsChanged(this, [this] { showAs(); });
    translateForm(this, services_.config.languageFile);
}

void frmSuperficialStorage::showAs() {
    if (!as_) {
        lblAs_v_->clear();
        return;
    }
    const char sep = decimalSeparator();
    const UnitSystem units = shownUnits();
    lblAs_v_->setText(QString::fromStdString(unitOf(Quantity::Depth, units).isStored()
                                                 ? storageText(*as_, sep)
                                                 : shownNumber(Quantity::Depth, units, *as_, sep)));
}

void frmSuperficialStorage::compute() {
    // A box left with a text out of range keeps its message first.
    if (!commitAll({sm_, sf_})) {
        return;
    }
    const SurfaceStorageResult r =
        surfaceStorageFromTexts({sm_->storedText(), cmbk_->currentText().toStdString(),
                                 sf_->storedText(), cmbs_->currentText().toStdString()},
                                decimalSeparator());
    if (r.message) {
        as_.reset();
        showAs();
        services_.messages.showMessage(this, QString::fromStdString(*r.message));
        return;
    }
    as_ = *r.As;
    showAs();
    emit computed(*r.As);
}

}  // namespace kambrix
