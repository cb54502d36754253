// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmNuevSist.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/app_context.h"
#include "gui/frmIniAgronom.h"
#include "shell/projectos.h"
#include "shell/services.h"

namespace kambrix {

namespace {

// Opens the shared projects connection for one unit of work and closes it after.
struct ProjectsConnection {
    quarvex::Connection con;
    ProjectsConnection() : con(app().config.projectsConnectionString) { con.Open(); }
    ~ProjectsConnection() { con.Close(); }
};

// A validation stop: the message is shown and the command ends.
[[noreturn]] void stop(QWidget* w, const std::string& message) {
    showMessage(w, QString::fromStdString(message));
    raiseError(errc::CommandStopped);
}

QString quoted(const std::string& name) {
    return "'" + QString::fromStdString(name) + "'";
}

}  // namespace

frmNuevSist::frmNuevSist(QWidget* parent) : QWidget(parent) {
    setObjectName("frmNuevSist");
    setWindowTitle(QStringLiteral("Diseño de un nuevo sistema"));
    auto* layout = new QHBoxLayout(this);

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

    lblDenominacion_ = new QLabel(this);
    lblDenominacion_->setObjectName("lblDenominacion");
    txtSistemExistente_ = new QLineEdit(this);
    txtSistemExistente_->setObjectName("txtSistemExistente");
    lblNuevo_ = new QLabel(this);
    lblNuevo_->setObjectName("lblNuevo");
    txtDenNuevSist_ = new QLineEdit(this);
    txtDenNuevSist_->setObjectName("txtDenNuevSist");
    for (QWidget* w : std::initializer_list<QWidget*>{lblDenominacion_, txtSistemExistente_,
                                                      lblNuevo_, txtDenNuevSist_}) {
        right->addWidget(w);
    }
    right->addStretch();

    auto* buttons = new QHBoxLayout;
    auto* cmdAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdAceptar->setObjectName("cmdAceptar");
    auto* cmdBorrar = new QPushButton(QStringLiteral("Borrar"), this);
    cmdBorrar->setObjectName("cmdBorrar");
    auto* cmdSalir = new QPushButton(QStringLiteral("Salir"), this);
    cmdSalir->setObjectName("cmdSalir");
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdBorrar);
    buttons->addStretch();
    buttons->addWidget(cmdSalir);
    right->addLayout(buttons);
    layout->addLayout(right, 2);

    connect(dtalproyecto_, &QListWidget::currentTextChanged, this,
            [this](const QString& name) { txtSistemExistente_->setText(name); });
    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdBorrar, &QPushButton::clicked, this, [this] { cmdBorrar_Click(); });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);

    translateForm(this, app().config.languageFile);
    optConsultar_->setChecked(true);
    setMode();
    refreshList();
    resize(720, 360);
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
}

void frmNuevSist::refreshList() {
    dtalproyecto_->blockSignals(true);
    dtalproyecto_->clear();
    try {
        ProjectsConnection db;
        for (const auto& name : Projectos().projectNames(db.con)) {
            dtalproyecto_->addItem(QString::fromStdString(name));
        }
    } catch (const quarvex::Error& e) {
        showUnexpectedError(this, e);
    }
    dtalproyecto_->blockSignals(false);
}

void frmNuevSist::removeProject(const std::string& name) {
    Projectos store;
    ProjectsConnection db;
    if (auto project = store.loadProject(db.con, store.nameCondition(name))) {
        store.deleteProject(db.con, *project);
    }
}

bool frmNuevSist::clearName(const std::string& name) {
    Projectos store;
    int existing = 0;
    {
        ProjectsConnection db;
        existing = store.countProjects(db.con, store.nameCondition(name));
    }
    if (existing == 0) {
        return true;
    }
    if (!confirm(this, "There is already a project named " + quoted(name) +
                           " Do you want to replace it with a new empty one")) {
        return false;
    }
    removeProject(name);
    return true;
}

void frmNuevSist::cmdAceptar_Click() {
    const std::string existing = trim(txtSistemExistente_->text().toStdString());
    const std::string fresh = trim(txtDenNuevSist_->text().toStdString());
    Projectos store;
    try {
        if (optConsultar_->isChecked()) {
            if (existing.empty()) {
                stop(this, requirementMessage({"the name of the system to open"}));
            }
            std::optional<Projecto> project;
            {
                ProjectsConnection db;
                project = store.loadProject(db.con, store.nameCondition(existing), "tramos");
            }
            if (!project) {
                stop(this, "There is no system named '" + existing + "'");
            }
            app().currentProject = *project;
            app().currentProjectStored = 1;
        } else if (optNuevo_->isChecked()) {
            if (fresh.empty()) {
                stop(this, requirementMessage({"the name of the new system"}));
            }
            if (!clearName(fresh)) {
                return;
            }
            Projecto project = store.newProject(fresh);
            {
                ProjectsConnection db;
                store.saveProject(db.con, project);
            }
            app().currentProject = project;
            app().currentProjectStored = 0;
        } else {
            if (existing.empty() && fresh.empty()) {
                stop(this, requirementMessage(
                               {"the name of the base system", "the name of the new system"}));
            }
            if (fresh.empty()) {
                stop(this, requirementMessage({"the name of the new system"}));
            }
            if (existing.empty()) {
                stop(this, requirementMessage({"the name of the base system"}));
            }
            {
                ProjectsConnection db;
                if (store.countProjects(db.con, store.nameCondition(existing)) == 0) {
                    stop(this, "There is no system named '" + existing + "'");
                }
            }
            if (existing == fresh) {
                stop(this, "The new system needs a name other than its base system's");
            }
            if (!clearName(fresh)) {
                return;
            }
            ProjectsConnection db;
            Projecto copy;
            quarvex::inTransaction(db.con, [&] {
                copy = store.copyProject(db.con, store.nameCondition(existing), fresh);
            });
            app().currentProject = copy;
            app().currentProjectStored = 1;
        }
    } catch (...) {
        if (isException(errc::CommandStopped, false)) {
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            showUnexpectedError(this, e);
            refreshList();
            return;
        }
    }
    refreshList();
    openStartWindow();
}

void frmNuevSist::openStartWindow() {
    openNext(this, new frmIniAgronom);
}

void frmNuevSist::cmdBorrar_Click() {
    const std::string name = trim(txtSistemExistente_->text().toStdString());
    if (name.empty()) {
        showMessage(this, QStringLiteral("Please select the project to remove"));
        return;
    }
    if (!confirm(this,
                 "Please confirm that you want to remove the project " + quoted(name) + " ?")) {
        return;
    }
    try {
        removeProject(name);
    } catch (const std::exception& e) {
        showUnexpectedError(this, e);
    }
    refreshList();
    txtSistemExistente_->clear();
}

}  // namespace kambrix
