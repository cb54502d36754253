// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabReguladores.h"

#include "gui/widgets/units_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "gui/widgets/checked_box.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"

namespace kambrix {

TabReguladores::TabReguladores(ChartWorkbench& workbench, MessageService& messages, QWidget* parent)
    : TabPage("tabReguladores", parent),
      messages_(messages),
      presenter_(workbench),
      print_(workbench) {
    auto* outer = new QVBoxLayout(this);
    auto* note = namedLabel(this, "lblReguladores",
                            QStringLiteral("Un regulador mantiene la presión de los aspersores "
                                           "de su tramo. El rango de caudal es opcional."));
    note->setWordWrap(true);
    outer->addWidget(note);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scrReguladores");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* area = new QWidget(scroll);
    auto* grid = new QGridLayout(area);
    grid->addWidget(namedLabel(area, "lblTramoReg", QStringLiteral("Tramo")), 0, 0);
    grid->addWidget(namedLabel(area, "lblInstalado", QStringLiteral("Regulador")), 0, 1);
    grid->addWidget(namedLabel(area, "lblPresionReg", QStringLiteral("Presión (kPa)")), 0, 2);
    grid->addWidget(namedLabel(area, "lblCaudalMin", QStringLiteral("Caudal mínimo (l/s)")), 0, 3);
    grid->addWidget(namedLabel(area, "lblCaudalMax", QStringLiteral("Caudal máximo (l/s)")), 0, 4);

    const auto rows = presenter_.rows();
    int r = 1;
    for (const auto& row : rows) {
        const QString i = QString::number(row.input.tramo);
        const std::string label = row.label;
        Row w;
        w.tramo = row.input.tramo;
        w.label = namedLabel(area, ("Label2_" + i).toLatin1(), QString::fromStdString(label));
        w.fitted = new QCheckBox(area);
        w.fitted->setObjectName("Check1_" + i);
        w.fitted->setToolTip(QStringLiteral("Regulator fitted on %1").arg(w.label->text()));
        auto* pressure = namedEdit(area, ("Text1_" + i).toLatin1());
        auto* minimum = namedEdit(area, ("txtCaudalMin_" + i).toLatin1());
        auto* maximum = namedEdit(area, ("txtCaudalMax_" + i).toLatin1());
        w.pressure = new CheckedBox(
            pressure,
            [label](const std::string& text, char sep, UnitSystem units) {
                return ChartWorkbench::checkRegulatorPressureText(text, sep, label, units);
            },
            messages_);
        auto discharge = [label](const std::string& text, char sep, UnitSystem units) {
            return ChartWorkbench::checkRegulatorDischargeText(text, sep, label, units);
        };
        w.minimum = new CheckedBox(minimum, discharge, messages_);
        w.maximum = new CheckedBox(maximum, discharge, messages_);
        w.pressure->setQuantity(Quantity::Pressure);
        w.minimum->setQuantity(Quantity::Discharge);
        w.maximum->setQuantity(Quantity::Discharge);
        grid->addWidget(w.label, r, 0);
        grid->addWidget(w.fitted, r, 1, Qt::AlignCenter);
        grid->addWidget(pressure, r, 2);
        grid->addWidget(minimum, r, 3);
        grid->addWidget(maximum, r, 4);
        ++r;
        rows_.push_back(w);
    }
    for (const Row& w : rows_) {
        onSignal(w.fitted, &QCheckBox::toggled, this, messages_, [this, w] {
            enableRow(w);
            showState();
        });
        for (auto* b : {w.pressure, w.minimum, w.maximum}) {
            onSignal(b->box(), &QLineEdit::textChanged, this, messages_, [this] { showState(); });
        }
    }
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(r, 1);
    scroll->setWidget(area);
    outer->addWidget(scroll, 1);

    auto* modelLine = new QHBoxLayout;
    modelLine->addWidget(
        namedLabel(this, "lblModeloRegulador", QStringLiteral("Modelo de regulador")));
    model_ = namedEdit(this, "txtModeloRegulador", false);
    modelLine->addWidget(model_, 1);
    outer->addLayout(modelLine);
    onSignal(model_, &QLineEdit::textEdited, this, messages_, [this] {
        if (print_.setRegulatorModel(model_->text().toStdString())) {
            emit changed();
        }
    });

    auto* buttons = new QHBoxLayout;
    auto* cmdAplica =
        namedButton(this, "cmdAplicaReguladores", QStringLiteral("Aplicar reguladores"));
    lblEstado_ = namedLabel(this, "lblEstadoReguladores", QString());
    lblEstado_->setWordWrap(true);
    buttons->addWidget(cmdAplica);
    buttons->addWidget(lblEstado_, 1);
    outer->addLayout(buttons);
    onSignal(cmdAplica, &QPushButton::clicked, this, messages_, [this] { apply(); });
    // The set pressures and flow ranges read in the shown units, and their captions.
    captionsFollowUnits(this);
    updateData();
}

void TabReguladores::enableRow(const Row& row) {
    const bool on = row.fitted->isChecked();
    for (auto* b : {row.pressure, row.minimum, row.maximum}) {
        b->box()->setEnabled(on);
    }
}

void TabReguladores::fill(const std::vector<RegulatorRow>& rows) {
    for (std::size_t i = 0; i < rows_.size() && i < rows.size(); ++i) {
        const RegulatorInput& in = rows[i].input;
        Row& w = rows_[i];
        w.fitted->setChecked(in.fitted);
        w.pressure->setAcceptedValue(
            in.pressure > 0 ? std::optional<double>(in.pressure) : std::nullopt, 1);
        w.minimum->setAcceptedValue(in.minimumDischarge, 3);
        w.maximum->setAcceptedValue(in.maximumDischarge, 3);
        enableRow(w);
    }
    presenter_.filled(inputs());
    showState();
}

void TabReguladores::updateData() {
    model_->setText(QString::fromStdString(print_.regulatorModel()));
    // Edits the user has not applied yet stay while the regulators held are those the boxes
    // were filled with; another chart's regulators replace them.
    if (presenter_.keepsEdits(inputs())) {
        showState();
        return;
    }
    fill(presenter_.rows());
}

void TabReguladores::clear() {
    for (Row& w : rows_) {
        w.fitted->setChecked(false);
        for (auto* b : {w.pressure, w.minimum, w.maximum}) {
            b->setAccepted(QString());
        }
        enableRow(w);
    }
    presenter_.filled(inputs());
    showState();
}

std::vector<RegulatorInput> TabReguladores::inputs() const {
    std::vector<RegulatorInput> out;
    for (const Row& w : rows_) {
        RegulatorInput in;
        in.tramo = w.tramo;
        in.fitted = w.fitted->isChecked();
        in.pressure = w.pressure->given().value_or(0);
        in.minimumDischarge = w.minimum->given();
        in.maximumDischarge = w.maximum->given();
        out.push_back(in);
    }
    return out;
}

bool TabReguladores::hasUnappliedEdits() const {
    return presenter_.hasUnappliedEdits(inputs());
}

bool TabReguladores::apply() {
    for (const Row& w : rows_) {
        for (auto* b : {w.pressure, w.minimum, w.maximum}) {
            if (!b->commit()) {
                b->box()->setFocus();
                return false;
            }
        }
    }
    if (!presenter_.apply(inputs())) {
        return false;
    }
    fill(presenter_.rows());
    emit changed();
    return true;
}

void TabReguladores::showState() {
    const RegulatorState state = presenter_.state(inputs());
    const int fitted = state.fitted;
    QString text = fitted == 0 ? QStringLiteral("No regulator applied")
                               : QStringLiteral("%1 %2 applied")
                                     .arg(fitted)
                                     .arg(fitted == 1 ? QStringLiteral("regulator")
                                                      : QStringLiteral("regulators"));
    if (state.unapplied) {
        text += QStringLiteral("; the changes in the boxes are not applied yet");
        lblEstado_->setStyleSheet(QStringLiteral("color: #a05a00;"));
    } else {
        lblEstado_->setStyleSheet(QString());
    }
    lblEstado_->setText(text);
}

}  // namespace kambrix
