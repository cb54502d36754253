// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmIniAgronom.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/app_context.h"
#include "gui/frmDisHid.h"

namespace kambrix {

frmIniAgronom::frmIniAgronom(QWidget* parent) : QWidget(parent) {
    setObjectName("frmIniAgronom");
    setWindowTitle(QStringLiteral("Cálculo del diseño agronomico"));
    auto* grid = new QGridLayout(this);

    auto* lblSistema = new QLabel(this);
    lblSistema->setObjectName("lblSistema");
    lblSistema->setText(QString::fromStdString(app().currentProject.nome));
    QFont f = lblSistema->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    lblSistema->setFont(f);
    grid->addWidget(lblSistema, 0, 0, 1, 2);

    auto* cmdDisHidrau = new QPushButton(QStringLiteral("Diseño hidráulico"), this);
    cmdDisHidrau->setObjectName("cmdDisHidrau");
    grid->addWidget(cmdDisHidrau, 1, 0, 1, 2);

    auto* label1 = new QLabel(this);
    label1->setObjectName("Label1");
    auto* cmdOKTOVREN = new QPushButton(QStringLiteral("Importar resultados del TOVREN"), this);
    cmdOKTOVREN->setObjectName("cmdOKTOVREN");
    auto* label2 = new QLabel(this);
    label2->setObjectName("Label2");
    auto* cmdManual = new QPushButton(QStringLiteral("Datos del utilizador"), this);
    cmdManual->setObjectName("cmdManual");
    grid->addWidget(label1, 2, 0);
    grid->addWidget(cmdOKTOVREN, 2, 1);
    grid->addWidget(label2, 3, 0);
    grid->addWidget(cmdManual, 3, 1);

    auto* command1 = new QPushButton(QStringLiteral("Salir"), this);
    command1->setObjectName("Command1");
    grid->addWidget(command1, 4, 1, Qt::AlignRight);
    grid->setRowStretch(4, 1);

    connect(cmdDisHidrau, &QPushButton::clicked, this, [this] { openNext(this, new frmDisHid); });
    connect(command1, &QPushButton::clicked, this, &QWidget::close);

    label1->setText(QStringLiteral("Calculo de la dosis y el caudal en base al TOVREN"));
    label2->setText(
        QStringLiteral(" Calculo de la dosis y el caudal en base a datos del utilizador"));
    // Their windows come with the agronomic design; until then the commands stay disabled.
    for (auto* b : {cmdManual, cmdOKTOVREN}) {
        b->setEnabled(false);
        b->setToolTip(QStringLiteral("Esta ventana llega con una versión posterior"));
    }
    translateForm(this, app().config.languageFile);
    resize(620, 240);
}

}  // namespace kambrix
