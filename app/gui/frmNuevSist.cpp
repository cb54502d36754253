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

#include "design/agronomic_store.h"
#include "gui/frmIniAgronom.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/translation.h"
#include "shell/new_system.h"
#include "shell/projectos.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

QString inQuotes(const std::string& name) {
    return "'" + QString::fromStdString(name) + "'";
}

}  // namespace

frmNuevSist::frmNuevSist(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
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
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
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
    connect(dtalproyecto_, &QListWidget::currentTextChanged, this,
            [this](const QString& name) { txtSistemExistente_->setText(name); });
    connect(dtalproyecto_, &QListWidget::itemActivated, this,
            guarded(m, this, [this](QListWidgetItem* item) { listActivated(item); }));
    connect(cmdAceptar, &QPushButton::clicked, this,
            guarded(m, this, [this] { cmdAceptar_Click(); }));
    connect(txtSistemExistente_, &QLineEdit::returnPressed, this,
            guarded(m, this, [this] { cmdAceptar_Click(); }));
    connect(txtDenNuevSist_, &QLineEdit::returnPressed, this,
            guarded(m, this, [this] { cmdAceptar_Click(); }));
    connect(cmdBorrar, &QPushButton::clicked, this,
            guarded(m, this, [this] { cmdBorrar_Click(); }));
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);
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
        const auto names =
            readFrom(services_.config.projectsConnectionString,
                     [](quarvex::Connection& con) { return Projectos().projectNames(con); });
        for (const auto& name : names) {
            dtalproyecto_->addItem(QString::fromStdString(name));
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

void frmNuevSist::removeProject(const std::string& name) {
    readFrom(services_.config.projectsConnectionString, [&](quarvex::Connection& con) {
        const Projectos store = projectsWithAgronomics();
        if (auto project = store.loadProject(con, store.nameCondition(name))) {
            store.deleteProject(con, *project);
        }
    });
}

bool frmNuevSist::clearName(const std::string& name) {
    Projectos store;
    const int existing =
        readFrom(services_.config.projectsConnectionString, [&](quarvex::Connection& con) {
            return store.countProjects(con, store.nameCondition(name));
        });
    if (existing == 0) {
        return true;
    }
    if (!services_.messages.confirm(this,
                                    "There is already a project named " + inQuotes(name) +
                                        " Do you want to replace it with a new empty one",
                                    MessageService::Default::No)) {
        return false;
    }
    removeProject(name);
    return true;
}

void frmNuevSist::cmdAceptar_Click() {
    try {
        accept();
    } catch (...) {
        if (isException(errc::CommandStopped, false)) {
            return;
        }
        handleDatabaseError(services_.messages, this, "The system could not be opened or stored");
        refreshList();
    }
}

void frmNuevSist::accept() {
    const std::string existing = trim(txtSistemExistente_->text().toStdString());
    const std::string fresh = trim(txtDenNuevSist_->text().toStdString());
    const std::string& cs = services_.config.projectsConnectionString;
    auto stop = [this](const std::string& message) {
        services_.messages.showMessage(this, QString::fromStdString(message));
        raiseError(errc::CommandStopped);
    };
    const Projectos store = projectsWithAgronomics();
    if (optConsultar_->isChecked()) {
        if (existing.empty()) {
            stop(requirementMessage({"the name of the system to open"}));
        }
        const auto project = readFrom(cs, [&](quarvex::Connection& con) {
            return store.loadProject(con, store.nameCondition(existing), "tramos");
        });
        if (!project) {
            stop("There is no system named '" + existing + "'");
        }
        services_.document.setProject(*project, true);
    } else if (optNuevo_->isChecked()) {
        if (fresh.empty()) {
            stop(requirementMessage({"the name of the new system"}));
        }
        if (!clearName(fresh)) {
            return;
        }
        Projecto project = store.newProject(fresh);
        writeTo(cs, [&](quarvex::Connection& con) { store.saveProject(con, project); });
        services_.document.setProject(project, false);
        refreshList();
        openStartWindow(project.id);
        return;
    } else {
        if (existing.empty() && fresh.empty()) {
            stop(requirementMessage({"the name of the base system", "the name of the new system"}));
        }
        if (fresh.empty()) {
            stop(requirementMessage({"the name of the new system"}));
        }
        if (existing.empty()) {
            stop(requirementMessage({"the name of the base system"}));
        }
        const int bases = readFrom(cs, [&](quarvex::Connection& con) {
            return store.countProjects(con, store.nameCondition(existing));
        });
        if (bases == 0) {
            stop("There is no system named '" + existing + "'");
        }
        if (existing == fresh) {
            stop("The new system needs a name other than its base system's");
        }
        if (!clearName(fresh)) {
            return;
        }
        Projecto copy;
        writeTo(cs, [&](quarvex::Connection& con) {
            copy = store.copyProject(con, store.nameCondition(existing), fresh);
        });
        services_.document.setProject(copy, true);
    }
    refreshList();
    openStartWindow();
}

void frmNuevSist::openStartWindow(int newProjectId) {
    auto* start = new frmIniAgronom(services_);
    if (newProjectId > 0) {
        // Connected before the hand-over, so the list is read again after the removal when
        // this window shows itself.
        connect(start, &QObject::destroyed, this, [this, newProjectId] {
            try {
                discardNewSystemLeftUnsaved(services_.config.projectsConnectionString,
                                            services_.document, newProjectId,
                                            projectsWithAgronomics());
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
        removeProject(name);
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
