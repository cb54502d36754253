// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmPivotEvaluations.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "evaluation/evaluation_list.h"
#include "gui/frmPluviometros.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/translation.h"
#include "shell/row_versions.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

constexpr QSize kPreferredSize(640, 420);

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The list's questions put through the window's message service. Replacing and deleting
// keep No as the default answer.
class WindowQuestions : public EvaluationQuestions {
  public:
    WindowQuestions(MessageService& messages, QWidget* window)
        : messages_(messages), window_(window) {}
    std::optional<std::string> askName(const std::string& prompt,
                                       const std::string& suggested) override {
        const auto answer = messages_.askText(window_, qs(prompt), qs(suggested));
        lastName = answer ? trim(answer->toStdString()) : std::string();
        return answer ? std::optional(answer->toStdString()) : std::nullopt;
    }
    bool confirm(const std::string& question) override {
        return messages_.confirm(window_, qs(question), MessageService::Default::No);
    }
    void inform(const std::string& message) override {
        messages_.showMessage(window_, qs(message));
    }

    std::string lastName;  // the last name answered, trimmed

  private:
    MessageService& messages_;
    QWidget* window_;
};

}  // namespace

frmPivotEvaluations::frmPivotEvaluations(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName("frmPivotEvaluations");
    setWindowTitle(QStringLiteral("Evaluación de un sistema en funcionamiento"));

    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns, 1);

    auto* left = new QVBoxLayout;
    auto* lblEvaluaciones =
        namedLabel(this, "lblEvaluaciones", QStringLiteral("Evaluaciones guardadas:"));
    lstEvaluaciones_ = new QListWidget(this);
    lstEvaluaciones_->setObjectName("lstEvaluaciones");
    lstEvaluaciones_->setMinimumWidth(260);
    lblEvaluaciones->setBuddy(lstEvaluaciones_);
    left->addWidget(lblEvaluaciones);
    left->addWidget(lstEvaluaciones_, 1);
    columns->addLayout(left, 3);

    auto* commands = new QVBoxLayout;
    auto* cmdNueva = namedButton(this, "cmdNueva", QStringLiteral("&Nueva evaluación…"));
    auto* cmdAbrir = namedButton(this, "cmdAbrir", QStringLiteral("&Abrir…"));
    auto* cmdBorrar = namedButton(this, "cmdBorrar", QStringLiteral("&Borrar…"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("&Salir"));
    for (auto* b : {cmdNueva, cmdAbrir, cmdBorrar}) {
        b->setMinimumHeight(30);
        commands->addWidget(b);
    }
    auto* lblAyuda =
        namedLabel(this, "lblAyuda", QStringLiteral("Doble clic en una evaluación para abrirla."));
    lblAyuda->setWordWrap(true);
    commands->addWidget(lblAyuda);
    commands->addStretch();
    commands->addWidget(cmdSalir);
    columns->addLayout(commands, 2);
    addStatusLine(this, outer);

    auto& m = services_.messages;
    onSignal(cmdNueva, &QPushButton::clicked, this, m, [this] { cmdNueva_Click(); });
    onSignal(cmdAbrir, &QPushButton::clicked, this, m, [this] { cmdAbrir_Click(); });
    onSignal(cmdBorrar, &QPushButton::clicked, this, m, [this] { cmdBorrar_Click(); });
    onSignal(lstEvaluaciones_, &QListWidget::itemActivated, this, m, [this](QListWidgetItem* item) {
        if (item != nullptr) {
            openNamed(item->data(Qt::UserRole).toString());
        }
    });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);
    setTabOrderChain({lstEvaluaciones_, cmdNueva, cmdAbrir, cmdBorrar, cmdSalir});

    translateForm(this, services_.config.languageFile);
    refreshList();
    fitToScreen(this, kPreferredSize);
}

void frmPivotEvaluations::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Back from the evaluation window: what it saved is listed.
    if (!event->spontaneous()) {
        refreshList();
    }
}

void frmPivotEvaluations::refreshList() {
    const QString selected = selectedName();
    lstEvaluaciones_->clear();
    try {
        WindowQuestions questions(services_.messages, this);
        const auto stamps = readFrom(
            services_.config.projectsConnectionString,
            [](quarvex::Connection& con) { return readRowStamps(con, row_kind::Evaluation); });
        for (const auto& [name, system] :
             EvaluationList(services_.config.projectsConnectionString, questions)
                 .namesAndSystems()) {
            // A test linked to a system names it; the item keeps the evaluation's name.
            auto* item = new QListWidgetItem(
                system.empty() ? qs(name) : qs(name + "  \u2014  " + system), lstEvaluaciones_);
            item->setData(Qt::UserRole, qs(name));
            if (const auto stamp = stamps.find(name); stamp != stamps.end()) {
                item->setToolTip(qs(savedByText(stamp->second)));
            }
        }
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The list of evaluations could not be read");
    }
    selectNamed(selected);
}

void frmPivotEvaluations::selectNamed(const QString& name) {
    for (int i = 0; i < lstEvaluaciones_->count(); ++i) {
        if (lstEvaluaciones_->item(i)->data(Qt::UserRole).toString() == name) {
            lstEvaluaciones_->setCurrentRow(i);
            return;
        }
    }
}

QString frmPivotEvaluations::selectedName() const {
    const auto* item = lstEvaluaciones_->currentItem();
    return item != nullptr && item->isSelected() ? item->data(Qt::UserRole).toString() : QString();
}

void frmPivotEvaluations::openEvaluation(const quarvex::PivotEvaluation& evaluation, bool created) {
    refreshList();
    selectNamed(qs(evaluation.name));
    auto* window = new frmPluviometros(services_, evaluation);
    window->discardIfLeftUnsaved(created);
    openNext(this, window);
}

void frmPivotEvaluations::cmdNueva_Click() {
    WindowQuestions questions(services_.messages, this);
    std::optional<quarvex::PivotEvaluation> created;
    try {
        created = EvaluationList(services_.config.projectsConnectionString, questions).create();
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The new evaluation could not be stored");
        refreshList();
        return;
    }
    if (created) {
        openEvaluation(*created, true);
    }
}

void frmPivotEvaluations::cmdAbrir_Click() {
    WindowQuestions questions(services_.messages, this);
    std::optional<quarvex::PivotEvaluation> found;
    try {
        found = EvaluationList(services_.config.projectsConnectionString, questions)
                    .open(selectedName().toStdString());
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The evaluation could not be read");
        return;
    }
    if (found) {
        openEvaluation(*found);
    }
}

void frmPivotEvaluations::openNamed(const QString& name) {
    WindowQuestions questions(services_.messages, this);
    std::optional<quarvex::PivotEvaluation> found;
    try {
        found = EvaluationList(services_.config.projectsConnectionString, questions)
                    .openNamed(name.toStdString());
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The evaluation could not be read");
        return;
    }
    if (found) {
        openEvaluation(*found);
    } else {
        refreshList();  // it went meanwhile
    }
}

void frmPivotEvaluations::cmdBorrar_Click() {
    WindowQuestions questions(services_.messages, this);
    bool deleted = false;
    try {
        deleted = EvaluationList(services_.config.projectsConnectionString, questions)
                      .remove(selectedName().toStdString());
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The evaluation could not be deleted");
    }
    refreshList();
    if (deleted) {
        services_.messages.showStatus(this,
                                      "The evaluation " + qs(questions.lastName) + " was deleted");
    }
}

}  // namespace kambrix
