// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmPrincipal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "gui/frmAbout.h"
#include "gui/frmBDasp.h"
#include "gui/frmBDtramos.h"
#include "gui/frmNuevSist.h"
#include "gui/frmPivotEvaluations.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/picture_label.h"
#include "gui/widgets/translation.h"
#include "gui/widgets/units_view.h"

namespace kambrix {

namespace {

constexpr QSize kPreferredSize(1000, 640);

}  // namespace

frmPrincipal::frmPrincipal(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName("frmPrincipal");
    setWindowTitle(QStringLiteral("Kambrix"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* container = new QScrollArea(this);
    container->setObjectName("frmContainer");
    container->setWidgetResizable(true);
    container->setFrameShape(QFrame::NoFrame);
    container->horizontalScrollBar()->setObjectName("scrl_h");
    container->verticalScrollBar()->setObjectName("scrl_v");
    outer->addWidget(container);

    auto* content = new QWidget(container);
    content->setObjectName("pnlContenido");
    auto* grid = new QGridLayout(content);
    grid->setContentsMargins(16, 12, 16, 16);
    auto* title =
        namedLabel(content, "Label1", QStringLiteral("Diseño y Evaluación de Pivot (Kambrix)"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);
    grid->addWidget(title, 0, 0, 1, 2);

    // The picture follows the window's size, so the content never needs scroll bars at the
    // sizes a screen offers; they appear only when the window is made very small.
    auto* picture = new PictureLabel(content);
    picture->setObjectName("Picture1");
    picture->setPicture(QPixmap(
        QString::fromStdString((services_.config.imagesFolder / "fotInicial.jpg").string())));
    grid->addWidget(picture, 1, 0);

    auto* commands = new QVBoxLayout;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = namedButton(content, name, caption);
        b->setMinimumHeight(34);
        return b;
    };
    auto* cmdDisNuevSist = button("cmdDisNuevSist", QStringLiteral("&Diseño de un nuevo sistema"));
    auto* cmdEvalSist =
        button("cmdEvalSist", QStringLiteral("&Evaluación de un sistema en funcionamiento"));
    auto* cmdBDasp = button("cmdBDasp", QStringLiteral("Catálogo de &aspersores"));
    auto* cmdBDtramos = button("cmdBDtramos", QStringLiteral("Catálogo de &tramos"));
    auto* cmdAbout = button("cmdAbout", QStringLiteral("&About"));
    auto* cmdSalir = button("cmdSalir", QStringLiteral("&Salir"));
    for (auto* b : {cmdDisNuevSist, cmdEvalSist, cmdBDasp, cmdBDtramos, cmdAbout}) {
        commands->addWidget(b);
    }
    commands->addStretch();
    // The units every window shows; the choice is kept with the program's settings.
    auto* lblUnidades = namedLabel(content, "lblUnidades", QStringLiteral("Unidades"));
    auto* cmbUnidades = new QComboBox(content);
    cmbUnidades->setObjectName("cmbUnidades");
    for (UnitSystem s : unitSystems()) {
        cmbUnidades->addItem(
            QString::fromUtf8(unitSystemName(s).data(), static_cast<int>(unitSystemName(s).size())),
            static_cast<int>(s));
    }
    cmbUnidades->setCurrentIndex(cmbUnidades->findData(static_cast<int>(shownUnits())));
    lblUnidades->setBuddy(cmbUnidades);
    commands->addWidget(lblUnidades);
    commands->addWidget(cmbUnidades);
    commands->addSpacing(12);
    commands->addWidget(cmdSalir);
    grid->addLayout(commands, 1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);
    container->setWidget(content);

    auto& m = services_.messages;
    onSignal(cmdDisNuevSist, &QPushButton::clicked, this, m,
             [this] { openNext(this, new frmNuevSist(services_)); });
    onSignal(cmdEvalSist, &QPushButton::clicked, this, m,
             [this] { openNext(this, new frmPivotEvaluations(services_)); });
    onSignal(cmdBDasp, &QPushButton::clicked, this, m,
             [this] { openNext(this, new frmBDasp(services_)); });
    onSignal(cmdBDtramos, &QPushButton::clicked, this, m,
             [this] { openNext(this, new frmBDtramos(services_)); });
    onSignal(cmdAbout, &QPushButton::clicked, this, m, [this] {
        frmAbout about(services_, this);
        about.exec();
    });
    onSignal(cmbUnidades, &QComboBox::currentIndexChanged, this, m, [cmbUnidades](int i) {
        if (i >= 0) {
            chooseUnits(static_cast<UnitSystem>(cmbUnidades->itemData(i).toInt()));
        }
    });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);
    setTabOrderChain(
        {cmdDisNuevSist, cmdEvalSist, cmdBDasp, cmdBDtramos, cmdAbout, cmbUnidades, cmdSalir});

    translateForm(this, services_.config.languageFile);
    fitToScreen(this, kPreferredSize);
}

void frmPrincipal::closeEvent(QCloseEvent* event) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() && !w->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    QApplication::quit();
}

}  // namespace kambrix
