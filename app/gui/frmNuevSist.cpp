// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmNuevSist.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "design/system_store.h"
#include "gui/frmIniAgronom.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/translation.h"
#include "shell/new_system.h"
#include "shell/projectos.h"
#include "shell/services.h"

namespace kambrix {

namespace {

QString inQuotes(const std::string& name) {
    return "'" + QString::fromStdString(name) + "'";
}

}  // namespace

frmNuevSist::frmNuevSist(const AppServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      selection_(services.config.projectsConnectionString, systemStore()) {
    setObjectName("frmNuevSist");
    setWindowTitle(QStringLiteral("Diseño de un nuevo sistema"));
    auto* outer = new QVBoxLayout(this);
    auto* layout = new QHBoxLayout;
    outer->addLayout(layout, 1);

    dtalproyecto_ = new QListWidget(this);
    dtalproyecto_->setObjectName("dtalproyecto");
    dtalproyecto_->setMinimumWidth(240);
    layout->addWidget(dtalproyecto_, 1);

    auto* right = new QVBoxLayout;
    auto* modes = new QGroupBox(QStringLiteral("Opciones"), this);
    modes->setObjectName("fraOpciones");
    auto* modesLayout = new QVBoxLayout(modes);
    optConsultar_ = new QRadioButton(QStringLiteral("Consultar un sistema ya existente"), modes);
    optConsultar_->setObjectName("optConsultar");
    optNuevo_ = new QRadioButton(QStringLiteral("Nuevo sistema"), modes);
    optNuevo_->setObjectName("optNuevo");
    optNuevJaExist_ =
        new QRadioButton(QStringLiteral("Nuevo sistema en base a uno ya existente"), modes);
    optNuevJaExist_->setObjectName("optNuevJaExist");
    for (auto* o : {optConsultar_, optNuevo_, optNuevJaExist_}) {
        modesLayout->addWidget(o);
        onSignal(o, &QRadioButton::toggled, this, services_.messages, [this](bool on) {
            if (on) {
                setMode();
            }
        });
    }
    right->addWidget(modes);

    lblDenominacion_ = namedLabel(this, "lblDenominacion", QString());
    txtSistemExistente_ = namedEdit(this, "txtSistemExistente", false);
    lblNuevo_ = namedLabel(this, "lblNuevo", QString());
    txtDenNuevSist_ = namedEdit(this, "txtDenNuevSist", false);
    for (QWidget* w : std::initializer_list<QWidget*>{lblDenominacion_, txtSistemExistente_,
                                                      lblNuevo_, txtDenNuevSist_}) {
        right->addWidget(w);
    }
    right->addStretch();

    auto* buttons = new QHBoxLayout;
    auto* cmdAceptar = namedButton(this, "cmdAceptar", QStringLiteral("Aceptar"));
    cmdAceptar->setDefault(true);
    auto* cmdBorrar = namedButton(this, "cmdBorrar", QStringLiteral("Borrar"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("Salir"));
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdBorrar);
    buttons->addStretch();
    buttons->addWidget(cmdSalir);
    right->addLayout(buttons);
    layout->addLayout(right, 2);
    addStatusLine(this, outer);

    auto& m = services_.messages;
    onSignal(dtalproyecto_, &QListWidget::currentTextChanged, this, services_.messages,
             [this](const QString& name) { txtSistemExistente_->setText(name); });
    onSignal(dtalproyecto_, &QListWidget::itemActivated, this, m,
             [this](QListWidgetItem* item) { listActivated(item); });
    onSignal(cmdAceptar, &QPushButton::clicked, this, m, [this] { cmdAceptar_Click(); });
    onSignal(txtSistemExistente_, &QLineEdit::returnPressed, this, m,
             [this] { cmdAceptar_Click(); });
    onSignal(txtDenNuevSist_, &QLineEdit::returnPressed, this, m, [this] { cmdAceptar_Click(); });
    onSignal(cmdBorrar, &QPushButton::clicked, this, m, [this] { cmdBorrar_Click(); });
    onSignal(cmdSalir, &QPushButton::clicked, this, services_.messages, [this] { close(); });
    setTabOrderChain({dtalproyecto_, optConsultar_, optNuevo_, optNuevJaExist_, txtSistemExistente_,
                      txtDenNuevSist_, cmdAceptar, cmdBorrar, cmdSalir});

    translateForm(this, services_.config.languageFile);
    optConsultar_->setChecked(true);
    setMode();
    refreshList();
    fitToScreen(this, QSize(760, 380));
}

void frmNuevSist::setMode() {
    const bool open = optConsultar_->isChecked();
    const bool fresh = optNuevo_->isChecked();
    txtSistemExistente_->clear();
    txtDenNuevSist_->clear();
    txtSistemExistente_->setVisible(!fresh);
    lblDenominacion_->setVisible(!fresh);
    txtDenNuevSist_->setVisible(!open);
    lblNuevo_->setVisible(!open);
    txtDenNuevSist_->setEnabled(true);
    txtDenNuevSist_->setReadOnly(false);
    lblDenominacion_->setText(open ? QStringLiteral("Open:")
                                   : QStringLiteral("New system based on:"));
    lblNuevo_->setText(QStringLiteral("Enter the new system name:"));
    // The box to type in next.
    if (isVisible()) {
        (open ? txtSistemExistente_ : txtDenNuevSist_)->setFocus();
    }
}

void frmNuevSist::refreshList() {
    dtalproyecto_->blockSignals(true);
    dtalproyecto_->clear();
    try {
        const auto savedBy = selection_.savedBy();
        for (const auto& name : selection_.names()) {
            auto* item = new QListWidgetItem(QString::fromStdString(name), dtalproyecto_);
            if (const auto it = savedBy.find(name); it != savedBy.end()) {
                item->setToolTip(QString::fromStdString(it->second));
            }
        }
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The list of systems could not be read");
    }
    dtalproyecto_->blockSignals(false);
}

void frmNuevSist::listActivated(QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    if (optNuevJaExist_->isChecked()) {
        // Choosing the base of a copy: the new name comes next.
        txtSistemExistente_->setText(item->text());
        txtDenNuevSist_->setFocus();
        return;
    }
    optConsultar_->setChecked(true);
    txtSistemExistente_->setText(item->text());
    cmdAceptar_Click();
}

void frmNuevSist::cmdAceptar_Click() {
    const SelectionMode mode = optConsultar_->isChecked() ? SelectionMode::Open
                               : optNuevo_->isChecked()   ? SelectionMode::New
                                                          : SelectionMode::Copy;
    SelectionOutcome outcome;
    try {
        outcome = selection_.accept(
            mode, txtSistemExistente_->text().toStdString(), txtDenNuevSist_->text().toStdString(),
            services_.document, [this](const std::string& question) {
                return services_.messages.confirm(this, QString::fromStdString(question),
                                                  MessageService::Default::No);
            });
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The system could not be opened or stored");
        refreshList();
        return;
    }
    switch (outcome.status) {
        case SelectionStatus::Refused:
            services_.messages.showMessage(this, QString::fromStdString(outcome.message));
            return;
        case SelectionStatus::Declined:
            return;
        case SelectionStatus::Chosen:
            break;
    }
    refreshList();
    openStartWindow(outcome.newProjectId);
}

void frmNuevSist::openStartWindow(int newProjectId) {
    auto* start = new frmIniAgronom(services_);
    if (newProjectId > 0) {
        // Connected before the hand-over, so the list is read again after the removal when
        // this window shows itself.
        onSignal(start, &QObject::destroyed, this, services_.messages, [this, newProjectId] {
            try {
                discardNewSystemLeftUnsaved(services_.config.projectsConnectionString,
                                            services_.document, newProjectId, systemStore());
            } catch (...) {
                handleDatabaseError(services_.messages, this,
                                    "The new system that was not saved could not be removed");
            }
            refreshList();
        });
    }
    openNext(this, start);
}

void frmNuevSist::cmdBorrar_Click() {
    const std::string name = trim(txtSistemExistente_->text().toStdString());
    if (name.empty()) {
        services_.messages.showMessage(this, QStringLiteral("Please select the project to remove"));
        return;
    }
    if (!services_.messages.confirm(
            this, "Please confirm that you want to remove the project " + inQuotes(name) + " ?",
            MessageService::Default::No)) {
        return;
    }
    bool removed = true;
    try {
        selection_.remove(name);
    } catch (...) {
        handleDatabaseError(services_.messages, this,
                            "The system " + inQuotes(name).toStdString() + " could not be removed");
        removed = false;
    }
    refreshList();
    if (removed) {
        txtSistemExistente_->clear();
        services_.messages.showStatus(this, "The system " + inQuotes(name) + " was removed");
    }
}

}  // namespace kambrix
