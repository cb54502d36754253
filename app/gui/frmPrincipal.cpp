// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmPrincipal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "gui/app_context.h"
#include "gui/frmAbout.h"
#include "gui/frmBDasp.h"
#include "gui/frmBDtramos.h"
#include "gui/frmNuevSist.h"

namespace kambrix {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumHeight(34);
    return b;
}

}  // namespace

frmPrincipal::frmPrincipal(QWidget* parent) : QWidget(parent) {
    setObjectName("frmPrincipal");
    setWindowTitle(QStringLiteral("Kambrix"));

    auto* outer = new QVBoxLayout(this);
    auto* container = new QScrollArea(this);
    container->setObjectName("frmContainer");
    container->setWidgetResizable(true);
    container->horizontalScrollBar()->setObjectName("scrl_h");
    container->verticalScrollBar()->setObjectName("scrl_v");
    outer->addWidget(container);

    auto* content = new QWidget(container);
    auto* grid = new QGridLayout(content);
    auto* title = new QLabel(QStringLiteral("Diseño y Evaluación de Pivot (Kambrix)"), content);
    title->setObjectName("Label1");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    grid->addWidget(title, 0, 0, 1, 2);

    auto* picture = new QLabel(content);
    picture->setObjectName("Picture1");
    picture->setAlignment(Qt::AlignCenter);
    const QPixmap photo(
        QString::fromStdString((app().config.imagesFolder / "fotInicial.jpg").string()));
    if (!photo.isNull()) {
        picture->setPixmap(photo.scaled(560, 420, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    grid->addWidget(picture, 1, 0);

    auto* commands = new QVBoxLayout;
    auto* cmdDisNuevSist =
        button(content, "cmdDisNuevSist", QStringLiteral("&Diseño de un nuevo sistema"));
    auto* cmdEvalSist = button(content, "cmdEvalSist",
                               QStringLiteral("&Evaluación de un sistema en funcionamiento"));
    cmdEvalSist->setEnabled(false);
    cmdEvalSist->setToolTip(
        QStringLiteral("La evaluación de sistemas llega con una versión posterior"));
    auto* cmdBDasp = button(content, "cmdBDasp", QStringLiteral("Catálogo de &aspersores"));
    auto* cmdBDtramos = button(content, "cmdBDtramos", QStringLiteral("Catálogo de &tramos"));
    auto* cmdAbout = button(content, "cmdAbout", QStringLiteral("&About"));
    auto* cmdSalir = button(content, "cmdSalir", QStringLiteral("&Salir"));
    for (auto* b : {cmdDisNuevSist, cmdEvalSist, cmdBDasp, cmdBDtramos, cmdAbout}) {
        commands->addWidget(b);
    }
    commands->addStretch();
    commands->addWidget(cmdSalir);
    grid->addLayout(commands, 1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    container->setWidget(content);

    connect(cmdDisNuevSist, &QPushButton::clicked, this,
            [this] { openNext(this, new frmNuevSist); });
    connect(cmdBDasp, &QPushButton::clicked, this, [this] { openCatalogue(new frmBDasp); });
    connect(cmdBDtramos, &QPushButton::clicked, this, [this] { openCatalogue(new frmBDtramos); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] {
        frmAbout about(this);
        about.exec();
    });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);

    translateForm(this, app().config.languageFile);
    if (auto* screen = QApplication::primaryScreen()) {
        const QSize available = screen->availableSize();
        resize(std::min(available.width(), 1000), std::min(available.height(), 640));
    }
}

void frmPrincipal::openCatalogue(QWidget* editor) {
    openNext(this, editor);
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
