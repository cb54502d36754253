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
    : separator_(decimalSeparator) {}

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
    s.discharge =
        project.q == 0 ? std::string() : resultText(project.q, kDischargeDecimals, separator_);
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
    ResultTexts r;
    showResult(r, ResultLabel::Caudal, ev.systemDischarge, kDischargeDecimals, separator_);
    if (ev.systemDischarge.available()) {
        r.systemDischarge = *ev.systemDischarge.value;
        return r;
    }
    const Unavailable& why = *ev.systemDischarge.unavailable;
    switch (why.kind) {
        case Unavailable::Kind::NotGiven:
            reportNotGiven(r, why.input, kFieldAreaText);
            break;
        case Unavailable::Kind::OutOfRange:
            r.message = checkBox(why.input, boxOf(boxes, why.input), separator_);
            break;
        case Unavailable::Kind::Fault:
            break;
    }
    return r;
}

std::optional<std::string> AgronomicDesignPresenter::firstBoxMessage(
    const AgronomicBoxes& boxes) const {
    for (In input : {In::Pa, In::CU, In::Eto, In::U, In::CI, In::Oe, In::kf, In::Etc, In::Pe,
                     In::FieldArea, In::HoursPerDay}) {
        if (auto m = checkBox(input, boxOf(boxes, input), separator_)) {
            return m;
        }
    }
    return std::nullopt;
}

SaveOutcome AgronomicDesignPresenter::save(const std::string& connectionString,
                                           SystemDocument& document, const AgronomicBoxes& boxes) {
    SaveOutcome out;
    if (!document.hasProject()) {
        raiseError(errc::RecordNotFound, "No system is chosen");
    }
    out.message = firstBoxMessage(boxes);
    if (out.message) {
        return out;
    }
    Agronomics record = read(boxes);
    Projecto project = document.project();
    project.areaParcela = projectValue(boxValue(boxes.area, separator_));
    project.horas_de_operacao_diaria = projectValue(boxValue(boxes.hours, separator_));
    const AgronomicEvaluation ev = evaluateAgronomics(
        record, project.areaParcela, project.horas_de_operacao_diaria, kFieldAreaText, separator_);
    if (ev.systemDischarge.available()) {
        project.q = *ev.systemDischarge.value;
    } else if (ev.systemDischarge.unavailable->kind == Unavailable::Kind::Fault) {
        std::rethrow_exception(ev.systemDischarge.unavailable->fault);
    }
    saveProjectWithAgronomic(connectionString, project, record);
    record_ = record;
    out.saved = true;
    out.discharge =
        project.q == 0 ? std::string() : resultText(project.q, kDischargeDecimals, separator_);
    document.projectSaved(std::move(project));
    return out;
}

}  // namespace kambrix
