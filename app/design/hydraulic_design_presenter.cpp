// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/hydraulic_design_presenter.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "design/chart_print_store.h"
#include "shell/discharge_balance.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

std::optional<double> givenUnlessZero(double value, bool blank) {
    return blank ? std::nullopt : std::optional<double>(value);
}

int clampedSpanCount(const PivotForm& form) {
    return std::clamp(form.spanCount, 0, kMaxSpans);
}

}  // namespace

HydraulicDesignPresenter::HydraulicDesignPresenter(const Projecto& project,
                                                   std::string projectsConnection,
                                                   char decimalSeparator)
    : project_(project),
      projectsConnection_(std::move(projectsConnection)),
      separator_(decimalSeparator),
      storedTramos_(project.Tramos) {
    materials_.push_back(quarvex::statics().PipeMaterials().NullPipeMaterial());
    setReferenceSpans({});
    if (project_.id > 0 && !projectsConnection_.empty()) {
        try {
            pipeHeight_ = readFrom(projectsConnection_, [&](quarvex::Connection& con) {
                              return loadSystemPrintFields(con, project_.id);
                          }).pipeHeight;
        } catch (const std::exception&) {
            // The box starts blank; the system itself opens as it always did.
        }
    }
}

void HydraulicDesignPresenter::loadMaterials(const std::string& projectsConnection) {
    std::vector<quarvex::PipeMaterial> stored;
    readFrom(projectsConnection, [&](quarvex::Connection& con) {
        quarvex::statics().PipeMaterials().All(con).ForEach(
            [&](const quarvex::PipeMaterial& m) { stored.push_back(m); });
    });
    setMaterials(std::move(stored));
}

void HydraulicDesignPresenter::setMaterials(std::vector<quarvex::PipeMaterial> materials) {
    materials_.resize(1);  // the "none chosen" entry stays first
    for (auto& m : materials) {
        materials_.push_back(std::move(m));
    }
}

void HydraulicDesignPresenter::loadReferenceSpans(const std::string& tramosConnection) {
    std::vector<ReferenceTramo> catalogue;
    std::exception_ptr failure;
    try {
        readFrom(tramosConnection, [&](quarvex::Connection& con) {
            ReferenceTramos().allReferenceTramos(con).ForEach(
                [&](const ReferenceTramo& t) { catalogue.push_back(t); });
        });
    } catch (...) {
        failure = std::current_exception();
        catalogue.clear();
    }
    setReferenceSpans(catalogue);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void HydraulicDesignPresenter::setReferenceSpans(const std::vector<ReferenceTramo>& catalogue) {
    catalogue_.clear();
    for (const auto& t : catalogue) {
        catalogue_[t.denominacion] = t;
    }
    for (const auto& t : project_.Tramos) {
        if (!isBlank(t.denominacion) && catalogue_.find(t.denominacion) == catalogue_.end()) {
            ReferenceTramo kept;
            kept.id = t.id;
            kept.denominacion = t.denominacion;
            kept.longitud = t.longitude;
            kept.diametro = t.diametro;
            kept.separacion_saidas = t.separationSaidas_cm;
            catalogue_[t.denominacion] = kept;
        }
    }
}

std::vector<std::string> HydraulicDesignPresenter::spanNames() const {
    std::vector<std::string> names{std::string()};
    for (const auto& [name, t] : catalogue_) {
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    return names;
}

PivotForm HydraulicDesignPresenter::form() const {
    const Projecto& p = project_;
    PivotForm f;
    f.owner = p.propietario;
    f.discharge = givenUnlessZero(p.q, p.q == 0);
    f.pressure = givenUnlessZero(p.p, p.p == 0);
    // A stored elevation of 0 reads back as 0; a new system without spans has none yet.
    f.elevation = givenUnlessZero(p.cotaCentral, p.cotaCentral == 0 && p.Tramos.IsEmpty());
    f.area = givenUnlessZero(p.areaParcela, p.areaParcela == 0);
    f.hours = givenUnlessZero(p.horas_de_operacao_diaria, p.horas_de_operacao_diaria == 0);
    f.gunRadius = givenUnlessZero(p.endGun.rs, p.endGun.rs == 0);
    for (std::size_t i = 0; i < materials_.size(); ++i) {
        if (materials_[i].id == p.p_pipe_material_id) {
            f.material = static_cast<int>(i);
        }
    }
    const int n = fixedSpanCount(p);
    f.spanCount = n;
    for (int i = 0; i < std::min(n, kMaxSpans); ++i) {
        const auto& t = p.Tramos(i + 1);
        f.spans[i] = catalogue_.count(t.denominacion) > 0 ? t.denominacion : std::string();
        f.endElevations[i] = t.cota;
    }
    f.overhang = p.hasVoladizo;
    if (p.hasVoladizo && p.Tramos.Length() > n &&
        catalogue_.count(p.Tramos(n + 1).denominacion) > 0) {
        f.overhangSpan = p.Tramos(n + 1).denominacion;
    }
    f.endGun = p.hasGun;
    f.pipeHeight = pipeHeight_;
    return f;
}

PivotInputs HydraulicDesignPresenter::inputs(const PivotForm& form) const {
    PivotInputs in;
    in.discharge = form.discharge;
    in.pressure = form.pressure;
    in.elevation = form.elevation;
    in.pipeMaterial = form.material >= 0 && form.material < static_cast<int>(materials_.size()) &&
                      materials_[form.material].rugosidade > 0;
    in.spanCount = clampedSpanCount(form);
    for (int i = 0; i < kMaxSpans; ++i) {
        SpanInput s;
        const auto found = catalogue_.find(form.spans[i]);
        s.chosen = !form.spans[i].empty() && found != catalogue_.end();
        s.length = s.chosen ? found->second.longitud : 0;
        s.endElevation = form.endElevations[i];
        in.spans.push_back(s);
    }
    in.overhang = form.overhang;
    in.overhangChosen = !form.overhangSpan.empty() && catalogue_.count(form.overhangSpan) > 0;
    in.endGun = form.endGun;
    in.gunRadius = form.gunRadius;
    return in;
}

quarvex::tramo HydraulicDesignPresenter::spanFrom(const std::string& name, double cota) const {
    const auto found = name.empty() ? catalogue_.end() : catalogue_.find(name);
    if (found == catalogue_.end()) {
        return quarvex::statics().Tramos().newTramo(0, std::string(), 0, 0, 0, cota);
    }
    return ReferenceTramos().toTramo(found->second, cota);
}

void HydraulicDesignPresenter::readIntoProject(const PivotForm& form) {
    Projecto& p = project_;
    p.propietario = trim(form.owner);
    p.q = form.discharge.value_or(0);
    p.p = form.pressure.value_or(0);
    p.cotaCentral = form.elevation.value_or(0);
    p.areaParcela = form.area.value_or(0);
    p.horas_de_operacao_diaria = form.hours.value_or(0);
    const int material = std::max(0, form.material);
    if (material < static_cast<int>(materials_.size())) {
        p.pipe_material = materials_[material];
        p.p_pipe_material_id = p.pipe_material.id;
    }
    p.Tramos.Clear();
    const int n = clampedSpanCount(form);
    for (int i = 0; i < n; ++i) {
        p.Tramos.Push(spanFrom(form.spans[i], form.endElevations[i].value_or(0)));
    }
    p.hasVoladizo = form.overhang;
    if (p.hasVoladizo) {
        p.Tramos.Push(spanFrom(form.overhangSpan, 0));
    }
    p.hasGun = form.endGun;
    p.endGun = quarvex::statics().Gun().newGun(form.gunRadius.value_or(0));
    p.p_tramos_loaded = true;
    pipeHeight_ = form.pipeHeight;
    read_ = form;
}

void HydraulicDesignPresenter::change(const PivotForm& form) {
    readIntoProject(form);
    dirty_ = true;
    refreshResults();
}

const DesignView& HydraulicDesignPresenter::refreshResults() {
    auto& pivots = quarvex::statics().Pivots();
    quarvex::pivot machine = buildPivot(project_);
    DesignView v;
    v.irrigatedArea_ha = squareMetresToHectares(pivots.IrrigatedArea(machine));
    v.irrigatedRadius_m = pivots.AllIrrigatedLenght(machine);
    results_.computed.reset();
    if (pivotInputsMessage(inputs(read_ ? *read_ : form())).empty() && pivots.isComplete(machine)) {
        results_.computed = computeIdeal(machine);
    }
    if (kambrix::fieldSmallerThanIrrigated(project_.areaParcela, machine)) {
        v.warnings.emplace_back(kFieldSmallerWarning);
    }
    if (results_.computed) {
        v.dischargeBalance =
            dischargeBalanceText(idealDischargeBalance(*results_.computed), separator_);
        if (const auto row = firstNegativePressure(*results_.computed)) {
            v.warnings.push_back(negativePressureMessage(
                *row, pivots.FixedSpansCount(*results_.computed), separator_));
        }
    }
    const DischargeSources sources =
        dischargeSources(agronomics_, project_.areaParcela, project_.horas_de_operacao_diaria);
    v.dischargeNote = dischargeNote(sources, project_.q, separator_);
    view_ = std::move(v);
    return view_;
}

std::optional<std::string> HydraulicDesignPresenter::calculate(const PivotForm& form) {
    std::string problem = pivotInputsMessage(inputs(form));
    if (!problem.empty()) {
        return problem;
    }
    refreshResults();
    if (results_.computed) {
        if (const auto row = firstNegativePressure(*results_.computed)) {
            return negativePressureMessage(
                *row, quarvex::statics().Pivots().FixedSpansCount(*results_.computed), separator_);
        }
    }
    return std::nullopt;
}

bool HydraulicDesignPresenter::fieldSmallerThanIrrigated() const {
    return kambrix::fieldSmallerThanIrrigated(project_.areaParcela, buildPivot(project_));
}

bool HydraulicDesignPresenter::spansDifferFromCharts() const {
    if (project_.id <= 0 || !systemHasCharts(projectsConnection_, project_.id)) {
        return false;
    }
    return !quarvex::statics().Tramos().AllEqual(project_.Tramos, storedTramos_);
}

DesignStep HydraulicDesignPresenter::save(const PivotForm& form, SystemDocument& document,
                                          const ConfirmQuestion& confirm) {
    readIntoProject(form);
    const PivotInputs in = inputs(form);
    DesignStep step;
    if (in.endGun && !in.gunRadius) {
        step.message = requirementMessage({"the wetted radius of the end gun"});
        step.gunRadiusMissing = true;
        return step;
    }
    const auto incomplete = incompleteSpans(in);
    if (!incomplete.empty() || !allSpansDefined(project_)) {
        step.message = undefinedSpansMessage(incomplete);
        return step;
    }
    if (spansDifferFromCharts() && !confirm(kSavingDiffersQuestion)) {
        return step;
    }
    Projecto saved = project_;
    // Another screen of this program may have saved the system since this one read it; the
    // guard is against other users' saves, which the document's stamp still tells apart.
    if (document.hasProject() && document.project().id == saved.id) {
        saved.stamp = document.project().stamp;
    }
    writeTo(projectsConnection_, [&](quarvex::Connection& con) {
        Projectos().saveProject(con, saved);
        saveSystemPrintFields(con, saved.id, {pipeHeight_});
    });
    project_ = saved;
    document.projectSaved(project_);
    storedTramos_ = project_.Tramos;
    dirty_ = false;
    step.done = true;
    return step;
}

DesignStep HydraulicDesignPresenter::checkBeforeWorkbench(const ConfirmQuestion& confirm) {
    auto& pivots = quarvex::statics().Pivots();
    quarvex::pivot machine = buildPivot(project_);
    DesignStep step;
    if (!pivots.isComplete(machine) || pivots.FixedSpansCount(machine) == 0 ||
        !pivotInputsMessage(inputs(read_ ? *read_ : form())).empty()) {
        step.message = incompletePivotMessage();
        return step;
    }
    if (!quarvex::statics().Tramos().AllEqual(project_.Tramos, storedTramos_) || dirty_) {
        if (!confirm(kSpansNotSavedQuestion)) {
            return step;
        }
    } else if (spansDifferFromCharts() && !confirm(kDiffersFromChartsQuestion)) {
        return step;
    }
    step.done = true;
    return step;
}

}  // namespace kambrix
