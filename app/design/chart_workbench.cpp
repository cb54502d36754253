// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/chart_workbench.h"

#include <cmath>
#include <ctime>

#include "design/pivot_design.h"
#include "shell/csv.h"
#include "shell/number_input.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

constexpr double kMaxRegulatorPressure_kPa = 1000;
constexpr double kMaxRegulatorDischarge = 100;  // L/s
constexpr double kMaxDropLength = 20;           // m
constexpr double kMaxDropDiameter = 200;        // mm

std::string spanLabel(int tramo, int fixedSpans) {
    return tramo > fixedSpans ? std::string("Over hang") : "Tower " + std::to_string(tramo);
}

// Whether the pivot has the outlet.
bool hasOutlet(const quarvex::pivot& p, const quarvex::CoordenadasSaida& at) {
    if (at.numeroTramo == -1 && at.saida == -1) {
        return p.p_has_end_gun;
    }
    const int n = p.Tramos.Length();
    const quarvex::tramo* span = nullptr;
    if (at.numeroTramo >= 1 && at.numeroTramo <= n) {
        span = &p.Tramos(at.numeroTramo);
    } else if (at.numeroTramo == n + 1 && p.p_has_overhang) {
        span = &p.tramoVOladizo;
    }
    return span && at.saida >= 1 && at.saida <= span->Saidas.Length();
}

// Sprinklers stored for the chart, whether or not the catalogue still has them.
int storedSprinklerCount(const std::string& projects, int chartId) {
    return readFrom(projects, [&](quarvex::Connection& con) {
        auto rs = con.Execute(
            quarvex::bindParameters("SELECT count(*) as n FROM tb_aspersores WHERE id_carta=?;",
                                    {std::to_string(chartId)}));
        return static_cast<int>(quarvex::nullToZero(rs.Field("n")));
    });
}

int presentEntries(const quarvex::CartaAspersores& chart) {
    int n = 0;
    chart.mountedAspersores().ForEach(
        [&](const std::shared_ptr<quarvex::MountedAspersor>& m) { n += m->deleted() ? 0 : 1; });
    return n;
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string chartRecordName(const std::string& name) {
    return "The sprinkler chart \"" + name + "\"";
}

std::string chartNameTakenMessage(const std::string& name) {
    return "There is already a sprinkler chart named " + name + ". Please select a diferent name";
}

std::string removeChartQuestion(const std::string& name) {
    return "Please confirm that you want to remove the chart " + name + " ? ";
}

WorkbenchDatabases WorkbenchDatabases::from(const AppConfig& config) {
    return {config.projectsConnectionString, config.asperConnectionString,
            config.asperPath.string(), config.tramosConnectionString};
}

// ---- creation ---------------------------------------------------------------------------

ChartWorkbench::ChartWorkbench(SystemDocument& document, WorkbenchDatabases databases,
                               WorkbenchPrompts& prompts, char decimalSeparator)
    : document_(&document), db_(std::move(databases)), prompts_(prompts) {
    project_ = document.project();
    load(decimalSeparator);
}

ChartWorkbench::ChartWorkbench(const Projecto& project, WorkbenchDatabases databases,
                               WorkbenchPrompts& prompts, char decimalSeparator)
    : ownDocument_(std::make_unique<SystemDocument>()),
      document_(ownDocument_.get()),
      db_(std::move(databases)),
      prompts_(prompts) {
    ownDocument_->setProject(project, project.id > 0);
    project_ = project;
    load(decimalSeparator);
}

ChartWorkbench::~ChartWorkbench() {
    if (document_ && document_->wrapper() &&
        (document_->wrapper() == automatic_.inner() || document_->wrapper() == manual_.inner())) {
        document_->clearCurrent();
    }
}

void ChartWorkbench::load(char decimalSeparator) {
    auto& st = quarvex::statics();
    sep_ = decimalSeparator;
    projectPivot_ = buildPivot(project_);
    if (!st.Pivots().isComplete(projectPivot_)) {
        raiseError(errc::ValueOutOfRange, incompletePivotMessage());
    }
    catalogue_ = st.Aspersores().find(db_.catalogue);
    available_ = catalogue_;
    brands_ = NozzleCatalogue(db_.catalogue).brandNames();
    readFrom(db_.projects, [&](quarvex::Connection& con) {
        st.PipeMaterials().All(con).ForEach(
            [&](const quarvex::PipeMaterial& m) { materials_.push_back(m); });
        if (project_.id > 0) {
            systemPrint_ = loadSystemPrintFields(con, project_.id);
        }
    });
    regulators_ = std::make_shared<quarvex::Reguladores>();
    drop_ = st.Drops().createNull();
    presenter_.init(nullptr, sep_);
    presenter_.setAllowedVariation(allowedVariation());

    automaticStrategy_ = std::make_shared<OptimzerStrategy>();
    automatic_.init(&presenter_, st.newPivotWrapper(projectPivot_, automaticStrategy_));
    automatic_.inner()->setAvaillableAspersores(available_);
    manualStrategy_ = std::make_shared<ManualStrategy>();
    makeManualWrapper();
    runManual(false);
    readChartList();
}

template <class F>
bool ChartWorkbench::guarded(const std::string& action, F&& work) {
    try {
        return work();
    } catch (...) {
        prompts_.failure(action, describeCurrentError());
        return false;
    }
}

// A chart replaced in the manual pivot gets a fresh wrapper: the manual strategy mounts
// what the chart holds and keeps what the outlets already carry, so outlets of the previous
// chart would otherwise keep its sprinklers.
void ChartWorkbench::makeManualWrapper() {
    manual_.init(&presenter_, quarvex::statics().newPivotWrapper(projectPivot_, manualStrategy_));
    manualStrategy_->setAvaillableAspersores(available_);
    manualStrategy_->setAllowableFlowVariation(allowedVariation());
    offered_.Clear();
    offeredRow_ = -1;
}

// ---- grid and pivots --------------------------------------------------------------------

void ChartWorkbench::setGridSink(OutletGridSink* sink) {
    presenter_.init(sink, sep_);
    workPivot(current_).show();
}

const quarvex::saida* ChartWorkbench::outletAtRow(int row) const {
    const auto at = presenter_.translateRowToCoordenadas(row);
    if (!at) {
        return nullptr;
    }
    for (const auto& ref : outletsInOrder(currentWrapper()->pivot())) {
        if (ref.at == *at) {
            return ref.outlet;
        }
    }
    return nullptr;
}

void ChartWorkbench::show(WorkingPivot which) {
    current_ = which;
    workPivot(which).show();
    document_->setCurrent(currentWrapper(), currentChart());
}

std::shared_ptr<quarvex::PivotWrapper> ChartWorkbench::currentWrapper() const {
    return current_ == WorkingPivot::Automatic ? automatic_.inner() : manual_.inner();
}

std::shared_ptr<quarvex::CartaAspersores> ChartWorkbench::currentChart() const {
    return currentWrapper()->carta();
}

void ChartWorkbench::changed(WorkingPivot which) {
    stale_[slot(which)] = true;
}

void ChartWorkbench::changedBoth() {
    stale_[0] = stale_[1] = true;
}

bool ChartWorkbench::needsComputation() const {
    return stale_[slot(current_)];
}

// ---- catalogue filter and variation -----------------------------------------------------

std::vector<std::string> ChartWorkbench::modelNames(const std::string& brand) {
    std::vector<std::string> out;
    guarded("The models of the brand could not be read", [&] {
        out = NozzleCatalogue(db_.catalogue).modelNames(brand);
        return true;
    });
    return out;
}

bool ChartWorkbench::setNozzleFilter(const NozzleFilter& filter) {
    return guarded("The sprinklers of the choice could not be read", [&] {
        available_ = filter.kind == NozzleFilter::Kind::All
                         ? catalogue_
                         : NozzleCatalogue(db_.catalogue).nozzles(filter);
        filter_ = filter;
        automaticStrategy_->setAvaillableAspersores(available_);
        manualStrategy_->setAvaillableAspersores(available_);
        offered_.Clear();
        offeredRow_ = -1;
        changed(WorkingPivot::Automatic);
        return true;
    });
}

const std::vector<std::string>& ChartWorkbench::variationChoices() {
    static const std::vector<std::string> choices = {"10%", "20%", "30%", "50%"};
    return choices;
}

void ChartWorkbench::setAllowedVariation(int choice) {
    if (choice < 0 || choice >= static_cast<int>(variationChoices().size())) {
        return;
    }
    variationChoice_ = choice;
    manualStrategy_->setAllowableFlowVariation(allowedVariation());
    // The discharge warnings follow the variation: the summaries and the grid's rows again
    // (rows changed by hand since the computation wait for the next one).
    presenter_.setAllowedVariation(allowedVariation());
    for (WorkingPivot which : {WorkingPivot::Automatic, WorkingPivot::Manual}) {
        auto& s = summaries_[slot(which)];
        if (computed_[slot(which)] && workPivot(which).inner()) {
            s = summarize(workPivot(which).inner()->pivot(), s.settlement, s.passes,
                          allowedVariation());
        }
    }
    if (!needsComputation() && currentWrapper()) {
        presenter_.redrawComputed(currentWrapper()->pivot());
    }
}

double ChartWorkbench::allowedVariation() const {
    static constexpr double fractions[] = {0.1, 0.2, 0.3, 0.5};
    return fractions[variationChoice_];
}

// ---- computing --------------------------------------------------------------------------

void ChartWorkbench::pushAccessories(quarvex::PivotWrapper& wrapper) {
    wrapper.aplicaReguladores(regulators_);
    wrapper.setDrop(drop_);
    wrapper.setEndGunBoost(boost_);
    wrapper.setIndicadores(indicadores_);
    wrapper.setPluviometriaCheck(pluviometria_);
}

PackageSettings ChartWorkbench::packageSettings() const {
    PackageSettings s;
    s.nozzles = available_;
    s.variation = OptimzerStrategy::kMaximumVariation;
    s.regulators = regulators_;
    s.drop = drop_;
    s.endGunBoost = boost_;
    s.indicadores = indicadores_;
    s.pluviometria = pluviometria_;
    return s;
}

void ChartWorkbench::finishComputation(WorkingPivot which, bool settled, bool wrapperChanged) {
    const int i = slot(which);
    summaries_[i] = summarize(*workPivot(which).inner(), settled, allowedVariation());
    computed_[i] = true;
    stale_[i] = false;
    const bool switched = current_ != which;
    current_ = which;
    workPivot(which).show();
    if (wrapperChanged || switched || document_->wrapper() != currentWrapper() ||
        document_->chart() != currentChart()) {
        document_->setCurrent(currentWrapper(), currentChart());
    }
    document_->notify(SystemDocument::Change::Computation);
    if (!settled) {
        prompts_.message(kNotSettledMessage);
    }
}

bool ChartWorkbench::computeAutomatic() {
    return guarded("The automatic package could not be computed", [&] {
        PackageResult r = computeAutomaticPackage(projectPivot_, packageSettings());
        automaticStrategy_ = r.strategy;
        automatic_.init(&presenter_, r.wrapper);
        finishComputation(WorkingPivot::Automatic, r.settled, true);
        return true;
    });
}

bool ChartWorkbench::computeAutomatic(const ModelChoice& model) {
    return guarded("The automatic package could not be computed", [&] {
        PackageResult r = computeAutomaticPackage(
            projectPivot_, settingsForModel(projectPivot_, packageSettings(), model));
        automaticStrategy_ = r.strategy;
        automatic_.init(&presenter_, r.wrapper);
        finishComputation(WorkingPivot::Automatic, r.settled, true);
        return true;
    });
}

bool ChartWorkbench::computeAutomaticFor(double caudal, double presion) {
    return guarded("The automatic package could not be computed", [&] {
        quarvex::pivot design = projectPivot_;
        design.caudal = caudal;
        design.presion = presion;
        PackageResult r = computeAutomaticPackage(design, packageSettings());
        automaticStrategy_ = r.strategy;
        automatic_.init(&presenter_, r.wrapper);
        finishComputation(WorkingPivot::Automatic, r.settled, true);
        return true;
    });
}

std::vector<ModelFit> ChartWorkbench::modelsForAutomatic() {
    std::vector<ModelFit> out;
    guarded("The models of the catalogue could not be compared", [&] {
        out = rankModelsByFittedOutlets(projectPivot_, packageSettings());
        return true;
    });
    return out;
}

bool ChartWorkbench::runManual(bool announce) {
    auto& w = *manual_.inner();
    pushAccessories(w);
    bool settled = true;
    try {
        manual_.calculate();
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::ComputationDidNotConverge) {
            throw;
        }
        settled = false;
    }
    if (announce) {
        finishComputation(WorkingPivot::Manual, settled, false);
    } else {
        const int i = slot(WorkingPivot::Manual);
        summaries_[i] = summarize(w, settled, allowedVariation());
        computed_[i] = true;
        stale_[i] = false;
        current_ = WorkingPivot::Manual;
        manual_.show();
        document_->setCurrent(currentWrapper(), currentChart());
    }
    return true;
}

bool ChartWorkbench::computeManual() {
    return guarded("The sprinkler chart could not be computed", [&] { return runManual(true); });
}

const ComputationSummary& ChartWorkbench::summary() const {
    return summaries_[slot(current_)];
}

std::string ChartWorkbench::summaryText() const {
    std::string t = kambrix::summaryText(summary(), sep_);
    if (needsComputation()) {
        t += " (changes made since: compute again)";
    }
    return t;
}

// ---- the manual chart, outlet by outlet -------------------------------------------------

quarvex::AspersorList ChartWorkbench::possibleAspersoresFor(int row) {
    offered_.Clear();
    offeredRow_ = -1;
    if (!canEditSprinklers()) {
        return offered_;
    }
    const auto at = manual_.translateRowToCoordenadasSaida(row);
    if (!at) {
        return offered_;
    }
    const auto par = manual_.getPressaoCaudalAt(*at);
    if (par.caudal <= 0) {
        return offered_;  // no deviation can be measured against no discharge
    }
    offered_ = manualStrategy_->selectPossibleAspersoresFor(par);
    offeredRow_ = row;
    return offered_;
}

int ChartWorkbench::addAspersorAt(int row, int choice) {
    if (row != offeredRow_ || choice < 0 || choice >= offered_.Count()) {
        return -1;
    }
    return addAspersorAt(row, offered_.Item(choice + 1));
}

int ChartWorkbench::addAspersorAt(int row, const std::shared_ptr<quarvex::Aspersor>& aspersor) {
    if (!canEditSprinklers() || !aspersor) {
        return -1;
    }
    const auto at = manual_.translateRowToCoordenadasSaida(row);
    if (!at) {
        return -1;
    }
    manualStrategy_->addAspersorAt(*at, aspersor);
    presenter_.mostraAspersor(row, manual_.inner()->pivot(), aspersor);
    changed(WorkingPivot::Manual);
    document_->notify(SystemDocument::Change::Chart);
    return row;
}

int ChartWorkbench::removeAspersorAt(int row) {
    if (!canEditSprinklers()) {
        return -1;
    }
    const auto at = manual_.translateRowToCoordenadasSaida(row);
    if (!at || !manualStrategy_->carta()->hasMountedAspersorAt(*at)) {
        return -1;
    }
    manualStrategy_->removeAspersorAt(*at);
    presenter_.limpaLinhaDeAspersor(row, manual_.inner()->pivot());
    changed(WorkingPivot::Manual);
    document_->notify(SystemDocument::Change::Chart);
    return row;
}

bool ChartWorkbench::copyAutomaticToManual() {
    if (!computed_[slot(WorkingPivot::Automatic)]) {
        prompts_.message(
            "Please compute the automatic package before copying it to the manual chart");
        return false;
    }
    return takeIntoManualChart(*automaticStrategy_->carta(), true);
}

bool ChartWorkbench::takeIntoManualChart(quarvex::CartaAspersores& source, bool withAccessories) {
    return fillManualChart(source, withAccessories, false);
}

bool ChartWorkbench::takeAsNewChart(quarvex::CartaAspersores& source) {
    return fillManualChart(source, true, true);
}

bool ChartWorkbench::fillManualChart(quarvex::CartaAspersores& source, bool withAccessories,
                                     bool asNew) {
    return guarded("The package could not be copied to the manual chart", [&] {
        auto& st = quarvex::statics();
        const auto previous = manualStrategy_->carta();
        auto chart = st.newCartaAspersores();
        if (!asNew) {
            chart->setId(previous->id());
            chart->setNome(previous->getNome());
        }
        source.mountedAspersores().ForEach([&](const std::shared_ptr<quarvex::MountedAspersor>& m) {
            if (!m->deleted() && m->Aspersor() && hasOutlet(projectPivot_, m->saida())) {
                chart->addMountedAspersor(
                    st.CartaAspersor().newMountedAspersor(m->saida(), m->Aspersor()));
            }
        });
        if (withAccessories) {
            std::vector<std::string> notes;
            restoreAccessoriesFrom(source, notes);
        }
        manualStrategy_->init(chart);
        makeManualWrapper();
        runManual(true);
        chartChanged_ = true;
        return true;
    });
}

// ---- regulators -------------------------------------------------------------------------

std::vector<RegulatorRow> ChartWorkbench::regulatorRows() const {
    const int n = projectPivot_.Tramos.Length();
    const int all = n + (projectPivot_.p_has_overhang ? 1 : 0);
    std::vector<RegulatorRow> rows;
    for (int t = 1; t <= all; ++t) {
        RegulatorRow row;
        row.label = spanLabel(t, n);
        row.input.tramo = t;
        rows.push_back(row);
    }
    regulators_->ForEach([&](const std::shared_ptr<quarvex::ReguladorPression>& r) {
        if (r->tramo() < 1 || r->tramo() > all) {
            return;
        }
        auto& in = rows[static_cast<std::size_t>(r->tramo() - 1)].input;
        in.fitted = r->installed();
        in.pressure = r->pression();
        in.minimumDischarge.reset();
        in.maximumDischarge.reset();
        if (r->minimum_caudal() > 0 || r->maximum_caudal() > 0) {
            in.minimumDischarge = r->minimum_caudal();
            in.maximumDischarge = r->maximum_caudal();
        }
    });
    return rows;
}

namespace {

// A box's check in the units it is shown in: the stored range's ends in those units (rounded
// inwards), and the box named with its unit ("the drop length (ft)").
std::optional<std::string> checkShownText(const std::string& text, char decimalSeparator,
                                          const NumberRange& stored, Quantity quantity,
                                          UnitSystem units, const std::string& what) {
    NumberRange range = shownRange(quantity, units, stored);
    range.unit = {};  // the name of the box states it
    return checkNumberText(text, decimalSeparator, range,
                           what + " (" + unitOf(quantity, units).symbol + ")");
}

}  // namespace

std::optional<std::string> ChartWorkbench::checkRegulatorPressureText(const std::string& text,
                                                                      char decimalSeparator,
                                                                      const std::string& label,
                                                                      UnitSystem units) {
    NumberRange range;
    range.min = 0;
    range.minExclusive = true;
    range.max = kMaxRegulatorPressure_kPa;
    return checkShownText(text, decimalSeparator, range, Quantity::Pressure, units,
                          "the regulator pressure of " + label);
}

std::optional<std::string> ChartWorkbench::checkRegulatorDischargeText(const std::string& text,
                                                                       char decimalSeparator,
                                                                       const std::string& label,
                                                                       UnitSystem units) {
    NumberRange range;
    range.min = 0;
    range.max = kMaxRegulatorDischarge;
    return checkShownText(text, decimalSeparator, range, Quantity::Discharge, units,
                          "the regulator discharge of " + label);
}

bool ChartWorkbench::applyRegulators(const std::vector<RegulatorInput>& rows) {
    auto& st = quarvex::statics();
    const int n = projectPivot_.Tramos.Length();
    const int all = n + (projectPivot_.p_has_overhang ? 1 : 0);
    auto regs = std::make_shared<quarvex::Reguladores>();
    for (const auto& row : rows) {
        if (row.tramo < 1 || row.tramo > all) {
            prompts_.message("The pivot has no span " + std::to_string(row.tramo));
            return false;
        }
        const std::string label = spanLabel(row.tramo, n);
        const bool hasPressure = std::isfinite(row.pressure) && row.pressure > 0;
        if (row.fitted && (!hasPressure || row.pressure > kMaxRegulatorPressure_kPa)) {
            prompts_.message("The regulator of " + label +
                             " needs a pressure greater than 0 and up to 1000 kPa");
            return false;
        }
        const double qmin = row.minimumDischarge.value_or(0);
        const double qmax = row.maximumDischarge.value_or(0);
        if (!(qmin >= 0) || !(qmax >= 0) || !std::isfinite(qmin) || !std::isfinite(qmax)) {
            prompts_.message("The discharge range of the regulator of " + label +
                             " can not be negative");
            return false;
        }
        if (row.minimumDischarge && row.maximumDischarge && qmin > qmax) {
            prompts_.message("The smallest discharge of the regulator of " + label +
                             " can not exceed its largest discharge");
            return false;
        }
        if (row.fitted || hasPressure) {
            regs->Add(st.newReguladorPression(row.tramo, hasPressure ? row.pressure : 0, qmax, qmin,
                                              row.fitted));
        }
    }
    return guarded("The regulators could not be applied", [&] {
        currentWrapper()->aplicaReguladores(regs);
        regulators_ = regs;
        changedBoth();
        document_->notify(SystemDocument::Change::Chart);
        return true;
    });
}

// ---- drop -------------------------------------------------------------------------------

std::optional<std::string> ChartWorkbench::checkDropLengthText(const std::string& text,
                                                               char decimalSeparator,
                                                               UnitSystem units) {
    NumberRange range;
    range.min = 0;
    range.minExclusive = true;
    range.max = kMaxDropLength;
    return checkShownText(text, decimalSeparator, range, Quantity::Length, units,
                          "the drop length");
}

std::optional<std::string> ChartWorkbench::checkDropDiameterText(const std::string& text,
                                                                 char decimalSeparator,
                                                                 UnitSystem units) {
    NumberRange range;
    range.min = 0;
    range.minExclusive = true;
    range.max = kMaxDropDiameter;
    return checkShownText(text, decimalSeparator, range, Quantity::PipeDiameter, units,
                          "the drop inside diameter");
}

std::string ChartWorkbench::incompleteDropMessage(const quarvex::Drop& drop) {
    std::vector<std::string> needs;
    if (drop.p_pipe_material_id < 1) {
        needs.push_back("a pipe material");
    }
    if (!(drop.longitud > 0)) {
        needs.push_back("a length greater than 0 m");
    }
    if (!(drop.diametro > 0)) {
        needs.push_back("an inside diameter greater than 0 mm");
    }
    std::string list;
    for (std::size_t i = 0; i < needs.size(); ++i) {
        list += (i == 0 ? "" : (i + 1 == needs.size() ? " and " : ", ")) + needs[i];
    }
    return "The drop is incomplete and cannot be installed: it needs " + list;
}

void ChartWorkbench::setDrop(const DropInput& input) {
    auto& st = quarvex::statics();
    quarvex::PipeMaterial material = st.PipeMaterials().NullPipeMaterial();
    for (const auto& m : materials_) {
        if (m.id == input.materialId) {
            material = m;
        }
    }
    drop_ = st.Drops().newDrop(input.diameter, input.length, material);
    currentWrapper()->setDrop(drop_);
    changedBoth();
}

bool ChartWorkbench::installDrop(const DropInput& input) {
    setDrop(input);
    try {
        currentWrapper()->installDrop();
    } catch (...) {
        if (isException(quarvex::errc::DropIncompleteException, false)) {
            drop_ = currentWrapper()->getDrop();
            prompts_.message(incompleteDropMessage(drop_));
            return false;
        }
        prompts_.failure("The drop could not be installed", describeCurrentError());
        return false;
    }
    drop_ = currentWrapper()->getDrop();
    document_->notify(SystemDocument::Change::Chart);
    return true;
}

void ChartWorkbench::uninstallDrop() {
    quarvex::statics().Drops().Uninstall(drop_);
    currentWrapper()->uninstallDrop();
    changedBoth();
    document_->notify(SystemDocument::Change::Chart);
}

// ---- booster ----------------------------------------------------------------------------

const std::vector<BoostChoice>& ChartWorkbench::boostChoices() {
    static const std::vector<BoostChoice> choices = [] {
        std::vector<BoostChoice> c{{"none", 0}};
        for (int kPa = 50; kPa <= 400; kPa += 50) {
            c.push_back({std::to_string(kPa) + " kPa", static_cast<double>(kPa)});
        }
        return c;
    }();
    return choices;
}

bool ChartWorkbench::boostAvailable() const {
    return projectPivot_.p_has_end_gun;
}

bool ChartWorkbench::setEndGunBoost(double kPa) {
    if (!boostAvailable() || !std::isfinite(kPa) || kPa < 0) {
        return false;
    }
    boost_ = kPa;
    currentWrapper()->setEndGunBoost(kPa);
    changedBoth();
    document_->notify(SystemDocument::Change::Chart);
    return true;
}

int ChartWorkbench::boostChoice() const {
    const auto& c = boostChoices();
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i].kPa == boost_) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---- tab values -------------------------------------------------------------------------

void ChartWorkbench::setIndicadores(const quarvex::indicadores& value) {
    indicadores_ = value;
    currentWrapper()->setIndicadores(value);
}

void ChartWorkbench::setPluviometryCheck(const quarvex::PluviometryCheck& value) {
    pluviometria_ = value;
    currentWrapper()->setPluviometriaCheck(value);
}

int ChartWorkbench::addCollector(std::function<void()> collect) {
    const int id = nextCollector_++;
    collectors_[id] = std::move(collect);
    return id;
}

void ChartWorkbench::removeCollector(int id) {
    collectors_.erase(id);
}

void ChartWorkbench::collect() {
    const auto copy = collectors_;  // a collector may remove itself
    for (const auto& [id, f] : copy) {
        if (collectors_.count(id)) {
            f();
        }
    }
}

void ChartWorkbench::writeAccessoriesInto(quarvex::CartaAspersores& chart) {
    chart.setReguladores(regulators_);
    chart.setDrop(drop_);
    chart.setEndGunBoost(boost_);
    chart.setIndicadores(indicadores_);
    chart.setPluviometriaCheck(pluviometria_);
}

// The accessories of a chart become the tabs' values. What this pivot cannot carry (a
// regulator on a span it does not have, a drop whose material is no longer listed) is left
// out and noted.
void ChartWorkbench::restoreAccessoriesFrom(quarvex::CartaAspersores& chart,
                                            std::vector<std::string>& notes) {
    const int all = projectPivot_.Tramos.Length() + (projectPivot_.p_has_overhang ? 1 : 0);
    auto regs = std::make_shared<quarvex::Reguladores>();
    int outside = 0;
    chart.getReguladores()->ForEach([&](const std::shared_ptr<quarvex::ReguladorPression>& r) {
        if (r->tramo() >= 1 && r->tramo() <= all) {
            regs->Add(r);
        } else {
            ++outside;
        }
    });
    if (outside > 0) {
        notes.push_back(plural(outside, "regulator is", "regulators are") +
                        " on spans this pivot does not have; left out");
    }
    regulators_ = regs;
    drop_ = chart.getDrop();
    auto& drops = quarvex::statics().Drops();
    if (drops.IsInstalled(drop_) && drop_.pipe_material.id < 1) {
        drops.Uninstall(drop_);
        notes.push_back(
            "the drop's pipe material is no longer in the list; the drop is not installed");
    }
    boost_ = boostAvailable() ? chart.getEndGunBoost() : 0.0;
    indicadores_ = chart.getIndicadores();
    pluviometria_ = chart.getPluviometriaCheck();
}

// ---- chart store ------------------------------------------------------------------------

void ChartWorkbench::readChartList() {
    std::vector<quarvex::CartaInfo> list;
    std::map<int, RowStamp> stamps;
    if (project_.id > 0) {
        quarvex::statics()
            .CartaAspersor()
            .enumerateAll(db_.projects, project_.id)
            .ForEach([&](const quarvex::CartaInfo& info) { list.push_back(info); });
        const auto stored = readFrom(db_.projects, [&](quarvex::Connection& con) {
            return readRowStamps(con, row_kind::Chart);
        });
        for (const auto& c : list) {
            if (const auto it = stored.find(std::to_string(c.id)); it != stored.end()) {
                stamps[c.id] = it->second;
            }
        }
    }
    charts_ = std::move(list);
    chartStamps_ = std::move(stamps);
}

bool ChartWorkbench::reloadCharts() {
    return guarded("The list of sprinkler charts could not be read", [&] {
        readChartList();
        if (selected_ && !selectedChart()) {
            selected_.reset();
        }
        return true;
    });
}

void ChartWorkbench::selectChart(std::optional<int> id) {
    selected_ = id;
    if (selected_ && !selectedChart()) {
        selected_.reset();
    }
}

std::optional<quarvex::CartaInfo> ChartWorkbench::selectedChart() const {
    if (!selected_) {
        return std::nullopt;
    }
    for (const auto& c : charts_) {
        if (c.id == *selected_) {
            return c;
        }
    }
    return std::nullopt;
}

bool ChartWorkbench::openChart() {
    const auto info = selectedChart();
    if (!info) {
        prompts_.message(kMustSelectChartToOpen);
        return false;
    }
    std::vector<std::string> notes;
    const bool opened = guarded("The sprinkler chart could not be opened", [&] {
        auto& st = quarvex::statics();
        // The stamp before the chart: a save in between makes the stamp older than the chart
        // read, which refuses the next save rather than letting it overwrite unseen.
        const RowStamp stamp = readFrom(db_.projects, [&](quarvex::Connection& con) {
            return readRowStamp(con, row_kind::Chart, std::to_string(info->id));
        });
        auto chart = st.CartaAspersor().find(db_.projects, db_.cataloguePath, info->id);
        if (chart->id() == 0) {
            prompts_.message("The sprinkler chart " + info->nome + " is no longer stored");
            reloadCharts();
            return false;
        }
        const int lost = storedSprinklerCount(db_.projects, info->id) - presentEntries(*chart);
        if (lost > 0) {
            notes.push_back(plural(lost, "sprinkler is", "sprinklers are") +
                            " no longer in the sprinkler catalogue; left out");
        }
        int outside = 0;
        chart->mountedAspersores().ForEach([&](const std::shared_ptr<quarvex::MountedAspersor>& m) {
            outside += !m->deleted() && !hasOutlet(projectPivot_, m->saida()) ? 1 : 0;
        });
        if (outside > 0) {
            // Even a deleted entry is applied to the pivot (to clear its outlet), so entries
            // outside the pivot must leave the chart.
            auto kept = st.newCartaAspersores();
            kept->setId(chart->id());
            kept->setNome(chart->getNome());
            kept->setEndGunBoost(chart->getEndGunBoost());
            kept->transferAcessoriesFrom(*chart);
            chart->mountedAspersores().ForEach(
                [&](const std::shared_ptr<quarvex::MountedAspersor>& m) {
                    if (!m->deleted() && hasOutlet(projectPivot_, m->saida())) {
                        kept->addMountedAspersor(m);
                    }
                });
            chart = kept;
            notes.push_back(plural(outside, "sprinkler is", "sprinklers are") +
                            " on outlets this pivot does not have; left out");
        }
        restoreAccessoriesFrom(*chart, notes);
        signoff_ = readFrom(db_.projects, [&](quarvex::Connection& con) {
            return loadChartSignoff(con, info->id);
        });
        chartStamp_ = stamp;
        manualStrategy_->init(chart);
        makeManualWrapper();
        runManual(true);
        chartChanged_ = false;
        return true;
    });
    if (opened && !notes.empty()) {
        std::string text = "The sprinkler chart " + info->nome + " was opened, but:";
        for (const auto& n : notes) {
            text += "\n- " + n;
        }
        prompts_.message(text);
    }
    return opened;
}

bool ChartWorkbench::newChart() {
    return guarded("A new sprinkler chart could not be started", [&] {
        manualStrategy_->init(quarvex::statics().newCartaAspersores());
        regulators_ = std::make_shared<quarvex::Reguladores>();
        drop_ = quarvex::statics().Drops().createNull();
        boost_ = 0;
        signoff_ = ChartSignoff{};
        chartStamp_ = RowStamp{};
        makeManualWrapper();
        runManual(true);
        chartChanged_ = false;
        return true;
    });
}

void ChartWorkbench::setChartSignoff(const ChartSignoff& value) {
    const std::string saved = signoff_.savedAt;
    signoff_ = value;
    signoff_.savedAt = saved;
}

std::string ChartWorkbench::designerName() const {
    return isBlank(signoff_.designedBy) ? defaultDesigner_ : signoff_.designedBy;
}

bool ChartWorkbench::saveChart() {
    auto chart = currentChart();
    if (chart->id() <= 0) {
        return saveChartAs();
    }
    if (project_.id <= 0) {
        prompts_.message("Please save the system before saving its sprinkler charts");
        return false;
    }
    collect();
    writeAccessoriesInto(*chart);
    try {
        storeChart(*chart, false);
    } catch (const AppError& e) {
        if (e.number() != errc::RecordChangedSinceOpened) {
            prompts_.failure("The sprinkler chart could not be saved", describeCurrentError());
            return false;
        }
        return resolveConflict(e.what());
    } catch (...) {
        prompts_.failure("The sprinkler chart could not be saved", describeCurrentError());
        return false;
    }
    chartChanged_ = false;
    reloadCharts();
    return true;
}

void ChartWorkbench::storeChart(quarvex::CartaAspersores& chart, bool asNew) {
    ChartSignoff stored = signoff_;
    stored.savedAt = saveTimeText(std::time(nullptr));
    int id = 0;
    RowStamp stamp;
    writeTo(db_.projects, [&](quarvex::Connection& con) {
        if (!asNew) {
            // Claimed before anything is written: a refused save leaves the stored chart as
            // the other user saved it.
            stamp = claimRow(con, row_kind::Chart, std::to_string(chart.id()), chartStamp_,
                             chartRecordName(chart.getNome()));
        }
        id = quarvex::statics().CartaAspersor().saveIn(con, project_.id, chart, asNew);
        if (asNew) {
            stamp = claimNewRow(con, row_kind::Chart, std::to_string(id));
        }
        saveChartSignoff(con, id, project_.id, stored);
    });
    chart.setId(id);
    chartStamp_ = stamp;
    signoff_ = stored;
}

bool ChartWorkbench::resolveConflict(const std::string& message) {
    switch (prompts_.conflict(message, true)) {
        case WorkbenchPrompts::ConflictChoice::SaveAs:
            return saveChartAs();
        case WorkbenchPrompts::ConflictChoice::Reload: {
            const int id = currentChart()->id();
            reloadCharts();
            selectChart(id);
            if (!selectedChart()) {
                prompts_.message(message + " It is no longer stored.");
                return false;
            }
            (void)openChart();
            return false;
        }
        case WorkbenchPrompts::ConflictChoice::Cancel:
            break;
    }
    return false;
}

std::string ChartWorkbench::chartSavedBy(int chartId) const {
    const auto it = chartStamps_.find(chartId);
    return it == chartStamps_.end() ? std::string() : savedByText(it->second);
}

bool ChartWorkbench::saveChartAs() {
    if (project_.id <= 0) {
        prompts_.message("Please save the system before saving its sprinkler charts");
        return false;
    }
    const std::string name = trim(prompts_.askText(kChartNamePrompt, kAppTitle).value_or(""));
    if (name.empty()) {
        return false;
    }
    if (const auto problem = storedNameProblem(StoredNameKind::Chart, name)) {
        prompts_.message(*problem);
        return false;
    }
    auto chart = currentChart();
    collect();
    writeAccessoriesInto(*chart);
    const std::string previousName = chart->getNome();
    const int previousId = chart->id();
    chart->setNome(name);
    try {
        storeChart(*chart, true);
    } catch (...) {
        // The chart stays what it was: its name and identifier.
        chart->setNome(previousName);
        chart->setId(previousId);
        if (isException(quarvex::errc::NomeDaCartaJaExistente, false)) {
            prompts_.message(chartNameTakenMessage(name));
        } else {
            prompts_.failure("The sprinkler chart could not be saved", describeCurrentError());
        }
        return false;
    }
    chartChanged_ = false;
    reloadCharts();
    selectChart(chart->id());
    document_->notify(SystemDocument::Change::Chart);
    return true;
}

bool ChartWorkbench::removeChart() {
    const auto info = selectedChart();
    if (!info) {
        prompts_.message(kSelectChartToRemove);
        return false;
    }
    if (!prompts_.confirm(removeChartQuestion(info->nome))) {
        return false;
    }
    return guarded("The sprinkler chart could not be removed", [&] {
        writeTo(db_.projects, [&](quarvex::Connection& con) {
            quarvex::statics().CartaAspersor().destroy(con, info->id);
            deleteChartSignoff(con, info->id);
            retireRow(con, row_kind::Chart, std::to_string(info->id));
        });
        // A chart on screen that is no longer stored is saved under a new name next time.
        for (const auto& c : {manualStrategy_->carta(), automaticStrategy_->carta()}) {
            if (c && c->id() == info->id) {
                c->setId(0);
            }
        }
        selected_.reset();
        reloadCharts();
        return true;
    });
}

// ---- export -----------------------------------------------------------------------------

std::string ChartWorkbench::outletTableCsv() const {
    return kambrix::outletTableCsv(currentWrapper()->pivot());
}

bool ChartWorkbench::exportOutletTable(const std::filesystem::path& file) {
    return guarded("The outlet table could not be exported", [&] {
        writeTextFile(file, outletTableCsv());
        return true;
    });
}

}  // namespace kambrix
