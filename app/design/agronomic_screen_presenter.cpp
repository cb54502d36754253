// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomic_screen_presenter.h"

#include <utility>

namespace kambrix {

std::string AgronomicScreenPresenter::dischargeText(double q) const {
    return q == 0 ? std::string() : resultText(q, kDischargeDecimals, separator_);
}

ResultTexts AgronomicScreenPresenter::dischargeResults(const AgronomicResult& q, const BoxOf& boxOf,
                                                       const std::string& fieldAreaText) const {
    ResultTexts r;
    showResult(r, ResultLabel::Caudal, q, kDischargeDecimals, separator_);
    if (q.available()) {
        r.systemDischarge = *q.value;
        return r;
    }
    const Unavailable& why = *q.unavailable;
    switch (why.kind) {
        case Unavailable::Kind::NotGiven:
            reportNotGiven(r, why.input, fieldAreaText);
            break;
        case Unavailable::Kind::OutOfRange:
            r.message = checkBox(why.input, boxOf(why.input), separator_);
            break;
        case Unavailable::Kind::Fault:
            break;
    }
    return r;
}

std::optional<std::string> AgronomicScreenPresenter::firstBoxMessage(
    std::initializer_list<AgronomicInput> order, const BoxOf& boxOf) const {
    for (AgronomicInput input : order) {
        if (auto m = checkBox(input, boxOf(input), separator_)) {
            return m;
        }
    }
    return std::nullopt;
}

SaveOutcome AgronomicScreenPresenter::saveProject(
    SystemDocument& document, const std::optional<std::string>& boxMessage, double area,
    double hours, const std::function<AgronomicResult(const Projecto&)>& discharge,
    const std::function<void(Projecto&)>& store) const {
    SaveOutcome out;
    if (!document.hasProject()) {
        raiseError(errc::RecordNotFound, "No system is chosen");
    }
    out.message = boxMessage;
    if (out.message) {
        return out;
    }
    Projecto project = document.project();
    project.areaParcela = projectValue(area);
    project.horas_de_operacao_diaria = projectValue(hours);
    const AgronomicResult q = discharge(project);
    if (q.available()) {
        project.q = *q.value;
    } else if (q.unavailable->kind == Unavailable::Kind::Fault) {
        std::rethrow_exception(q.unavailable->fault);
    }
    store(project);
    out.saved = true;
    out.discharge = dischargeText(project.q);
    out.dischargeValue = project.q;
    document.projectSaved(std::move(project));
    return out;
}

}  // namespace kambrix
