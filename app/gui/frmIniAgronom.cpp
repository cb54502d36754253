// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmIniAgronom.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/AgronomicDesign.h"
#include "gui/frmDatosTOVREN.h"
#include "gui/frmDisHid.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/translation.h"

namespace kambrix {

frmIniAgronom::frmIniAgronom(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName("frmIniAgronom");
    setWindowTitle(QStringLiteral("Cálculo del diseño agronomico"));
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(0, 1);

    lblSistema_ =
        namedLabel(this, "lblSistema", QString::fromStdString(services_.document.project().nome));
    QFont f = lblSistema_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    lblSistema_->setFont(f);
    grid->addWidget(lblSistema_, 0, 0, 1, 2);

    auto* cmdDisHidrau = namedButton(this, "cmdDisHidrau", QStringLiteral("Diseño hidráulico"));
    grid->addWidget(cmdDisHidrau, 1, 0, 1, 2);

    auto* label1 = namedLabel(this, "Label1", QString());
    label1->setWordWrap(true);
    auto* cmdOKTOVREN =
        namedButton(this, "cmdOKTOVREN", QStringLiteral("Importar resultados del TOVREN"));
    auto* label2 = namedLabel(this, "Label2", QString());
    label2->setWordWrap(true);
    auto* cmdManual = namedButton(this, "cmdManual", QStringLiteral("Datos del utilizador"));
    grid->addWidget(label1, 2, 0);
    grid->addWidget(cmdOKTOVREN, 2, 1);
    grid->addWidget(label2, 3, 0);
    grid->addWidget(cmdManual, 3, 1);

    auto* cmdCartaAspersores =
        namedButton(this, "cmdCartaAspersores", QStringLiteral("Carta de aspersores"));
    grid->addWidget(cmdCartaAspersores, 4, 0, 1, 2);

    auto* command1 = namedButton(this, "Command1", QStringLiteral("Salir"));
    grid->addWidget(command1, 6, 1);
    grid->setRowStretch(5, 1);

    onSignal(cmdDisHidrau, &QPushButton::clicked, this, services_.messages,
             [this] { openNext(this, new frmDisHid(services_)); });
    onSignal(cmdManual, &QPushButton::clicked, this, services_.messages,
             [this] { openNext(this, new AgronomicDesign(services_)); });
    onSignal(cmdOKTOVREN, &QPushButton::clicked, this, services_.messages,
             [this] { openNext(this, new frmDatosTOVREN(services_)); });
    onSignal(cmdCartaAspersores, &QPushButton::clicked, this, services_.messages, [this] {
        // The checks of the hydraulic design on the stored project.
        if (designReadyForWorkbench(services_, this)) {
            openWorkbenchWindow(services_, this);
        }
    });
    onSignal(command1, &QPushButton::clicked, this, services_.messages, [this] { close(); });

    label1->setText(QStringLiteral("Calculo de la dosis y el caudal en base al TOVREN"));
    label2->setText(
        QStringLiteral(" Calculo de la dosis y el caudal en base a datos del utilizador"));
    setTabOrderChain({cmdDisHidrau, cmdOKTOVREN, cmdManual, cmdCartaAspersores, command1});
    // The design screens may save the project under this window.
    subscription_ = services_.document.subscribe([this](SystemDocument::Change c) {
        if (c == SystemDocument::Change::Project) {
            lblSistema_->setText(QString::fromStdString(services_.document.project().nome));
        }
    });
    translateForm(this, services_.config.languageFile);
    fitToScreen(this, QSize(640, 230));
}

frmIniAgronom::~frmIniAgronom() {
    services_.document.unsubscribe(subscription_);
}

}  // namespace kambrix
