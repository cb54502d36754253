// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomic_design_presenter.h"

#include "design/agronomic_store.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

using In = AgronomicInput;

std::string boxOf(const AgronomicBoxes& b, In input) {
    switch (input) {
        case In::kf:
            return b.kf;
        case In::Etc:
            return b.Etc;
        case In::Pe:
            return b.Pe;
        case In::FieldArea:
            return b.area;
        case In::HoursPerDay:
            return b.hours;
        case In::Qfc:
            return {};
        default:
            return efficiencyBoxOf(b.epa, input);
    }
}

}  // namespace

AgronomicDesignPresenter::AgronomicDesignPresenter(char decimalSeparator)
    : AgronomicScreenPresenter(decimalSeparator) {}

AgronomicScreen AgronomicDesignPresenter::open(const std::string& connectionString,
                                               const Projecto& project) {
    Agronomics record;
    if (project.id > 0) {
        record = readFrom(connectionString,
                          [&](quarvex::Connection& con) { return loadAgronomic(con, project.id); });
    }
    return open(project, record);
}

AgronomicScreen AgronomicDesignPresenter::open(const Projecto& project, const Agronomics& record) {
    record_ = record;
    AgronomicScreen s;
    s.boxes.kf = boxText(record.kf, separator_);
    s.boxes.Etc = boxText(record.Etc, separator_);
    s.boxes.Pe = boxText(record.Pe, separator_);
    s.boxes.epa = efficiencyBoxes(record.epa, separator_);
    s.boxes.area = boxText(project.areaParcela, separator_, 0.0);
    s.boxes.hours = boxText(project.horas_de_operacao_diaria, separator_, 0.0);
    s.discharge = dischargeText(project.q);
    return s;
}

Agronomics AgronomicDesignPresenter::read(const AgronomicBoxes& boxes) const {
    Agronomics a = record_;
    a.kf = boxValue(boxes.kf, separator_);
    a.Etc = boxValue(boxes.Etc, separator_);
    a.Pe = boxValue(boxes.Pe, separator_);
    a.epa = readEfficiencyBoxes(boxes.epa, separator_, record_.epa);
    return a;
}

ResultTexts AgronomicDesignPresenter::calculate(const AgronomicBoxes& boxes) const {
    const Agronomics a = read(boxes);
    const AgronomicEvaluation ev =
        evaluateAgronomics(a, boxValue(boxes.area, separator_), boxValue(boxes.hours, separator_),
                           kFieldAreaText, separator_);
    ResultTexts r;
    showResult(r, ResultLabel::DEpa, ev.epa, kEfficiencyDecimals, separator_);
    showResult(r, ResultLabel::Re, ev.re, kReDecimals, separator_);
    showResult(r, ResultLabel::Epa, ev.efficiency, kEfficiencyDecimals, separator_);
    showResult(r, ResultLabel::GIR, ev.gir, kGirDecimals, separator_);
    showResult(r, ResultLabel::Caudal, ev.systemDischarge, kDischargeDecimals, separator_);
    if (ev.systemDischarge.available()) {
        r.systemDischarge = *ev.systemDischarge.value;
    }
    try {
        a.checkAgronomicGiven();
    } catch (const AppError& e) {
        const auto input = inputNotGiven(e.number());
        if (!input) {
            throw;
        }
        reportNotGiven(r, *input, kFieldAreaText);
    }
    return r;
}

ResultTexts AgronomicDesignPresenter::computeDischarge(const AgronomicBoxes& boxes) const {
    const Agronomics a = read(boxes);
    const AgronomicEvaluation ev =
        evaluateAgronomics(a, boxValue(boxes.area, separator_), boxValue(boxes.hours, separator_),
                           kFieldAreaText, separator_);
    return dischargeResults(
        ev.systemDischarge, [&](In input) { return boxOf(boxes, input); }, kFieldAreaText);
}

SaveOutcome AgronomicDesignPresenter::save(const std::string& connectionString,
                                           SystemDocument& document, const AgronomicBoxes& boxes) {
    const auto boxMessage = firstBoxMessage({In::Pa, In::CU, In::Eto, In::U, In::CI, In::Oe, In::kf,
                                             In::Etc, In::Pe, In::FieldArea, In::HoursPerDay},
                                            [&](In input) { return boxOf(boxes, input); });
    Agronomics record = read(boxes);
    return saveProject(
        document, boxMessage, boxValue(boxes.area, separator_), boxValue(boxes.hours, separator_),
        [&](const Projecto& project) {
            return evaluateAgronomics(record, project.areaParcela, project.horas_de_operacao_diaria,
                                      kFieldAreaText, separator_)
                .systemDischarge;
        },
        [&](Projecto& project) {
            saveProjectWithAgronomic(connectionString, project, record);
            record_ = record;
        });
}

}  // namespace kambrix
