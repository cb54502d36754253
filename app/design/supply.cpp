// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/supply.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "design/manual_strategy.h"
#include "design/outlet_warnings.h"
#include "evaluation/indicators.h"
#include "shell/errors.h"
#include "shell/number_text.h"

namespace kambrix {

namespace {

constexpr double kKPaPerMetre = 10.0;          // 1 m of head counted as 10 kPa
constexpr double kLargestDischarge = 10000.0;  // L/s
constexpr double kLargestPressure = 10000.0;   // kPa
constexpr double kLargestExponent = 20.0;      // of the fitted power function
constexpr double kPercent = 100.0;
constexpr int kMaxSearchSteps = 300;

std::string number(double v) {
    std::ostringstream s;
    s.precision(6);
    s << v;
    return s.str();
}

[[noreturn]] void refuseRow(std::size_t row, const std::string& why) {
    raiseError(errc::PumpCurveRefused, "Pump curve, row " + std::to_string(row + 1) + ": " + why);
}

[[noreturn]] void refuse(const std::string& why) {
    raiseError(errc::PumpCurveRefused, "Pump curve: " + why);
}

bool within(double v, double lo, double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

}  // namespace

// ---- the pump curve ------------------------------------------------------------------------

PumpCurve::PumpCurve(std::vector<PumpRow> rows) : rows_(std::move(rows)) {
    if (rows_.empty()) {
        refuse("it has no rows");
    }
    if (rows_.size() > kMaxPumpRows) {
        refuse("it has " + std::to_string(rows_.size()) + " rows; at most " +
               std::to_string(kMaxPumpRows) + " are taken");
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const PumpRow& r = rows_[i];
        if (!within(r.caudal, 0, kLargestDischarge)) {
            refuseRow(i, "the discharge must be a number from 0 to " + number(kLargestDischarge) +
                             " L/s");
        }
        if (!within(r.presion, 0, kLargestPressure)) {
            refuseRow(
                i, "the pressure must be a number from 0 to " + number(kLargestPressure) + " kPa");
        }
        if (i > 0 && !(r.caudal > rows_[i - 1].caudal)) {
            refuseRow(i, "the discharge must be larger than the row before's (" +
                             number(rows_[i - 1].caudal) + " L/s)");
        }
        if (i > 0 && r.presion > rows_[i - 1].presion) {
            refuseRow(i, "the pressure must not be higher than the row before's (" +
                             number(rows_[i - 1].presion) + " kPa)");
        }
    }
    if (rows_.size() == 1) {
        kind_ = PumpCurveKind::OnePoint;
        if (!(rows_[0].caudal > 0)) {
            refuseRow(0, "a curve of one row needs a discharge above 0");
        }
        if (!(rows_[0].presion > 0)) {
            refuseRow(0, "a curve of one row needs a pressure above 0");
        }
        lastQ_ = 2 * rows_[0].caudal;
        return;
    }
    if (rows_.size() == 3 && rows_[0].caudal == 0) {
        kind_ = PumpCurveKind::PowerFunction;
        const double h0 = rows_[0].presion;
        const double q1 = rows_[1].caudal;
        const double q2 = rows_[2].caudal;
        const double h4 = h0 - rows_[1].presion;
        const double h5 = h0 - rows_[2].presion;
        if (!(h4 > 0)) {
            refuseRow(1,
                      "a curve of three rows starting at no discharge needs the pressure to "
                      "fall from row to row");
        }
        if (!(h5 > h4)) {
            refuseRow(2,
                      "a curve of three rows starting at no discharge needs the pressure to "
                      "fall from row to row");
        }
        const double c = std::log(h5 / h4) / std::log(q2 / q1);
        if (!(c > 0 && c <= kLargestExponent)) {
            refuseRow(2, "the three rows do not lie on a pump curve P = A - B*Q^C (C would be " +
                             number(c) + ")");
        }
        A_ = h0;
        C_ = c;
        B_ = h4 / std::pow(q1, c);
        lastQ_ = std::pow(A_ / B_, 1.0 / C_);
        return;
    }
    kind_ = PumpCurveKind::Linear;
    if (!(rows_.front().presion > 0)) {
        refuseRow(0, "the pump gives no pressure at any discharge");
    }
    lastQ_ = rows_.back().caudal;
}

std::optional<double> PumpCurve::pressure(double q) const {
    if (!(q >= 0) || q > lastQ_) {
        return std::nullopt;
    }
    switch (kind_) {
        case PumpCurveKind::OnePoint: {
            const double P1 = rows_[0].presion;
            const double r = q / rows_[0].caudal;
            return 4.0 / 3.0 * P1 - 1.0 / 3.0 * P1 * r * r;
        }
        case PumpCurveKind::PowerFunction:
            return A_ - B_ * std::pow(q, C_);
        case PumpCurveKind::Linear:
            break;
    }
    // The segment holding q; before the first row, the first segment.
    std::size_t k = 1;
    while (k + 1 < rows_.size() && q > rows_[k].caudal) {
        ++k;
    }
    const PumpRow& a = rows_[k - 1];
    const PumpRow& b = rows_[k];
    return a.presion + (q - a.caudal) * (b.presion - a.presion) / (b.caudal - a.caudal);
}

// ---- the supply ----------------------------------------------------------------------------

std::optional<std::string> supplyProblem(const Supply& s) {
    if (!s.pump.empty()) {
        try {
            PumpCurve curve(s.pump);
        } catch (const AppError& e) {
            return std::string(e.what());
        }
    }
    const SupplyLine& l = s.line;
    if (!within(l.lift, -1000, 1000)) {
        return "Supply line: the lift must be a number from -1000 to 1000 m";
    }
    if (!within(l.length, 0, 100000)) {
        return "Supply line: the length must be a number from 0 to 100000 m";
    }
    if (l.length > 0) {
        if (!(within(l.diametro, 0, 5000) && l.diametro > 0)) {
            return "Supply line: the inside diameter must be a number above 0 and at most "
                   "5000 mm";
        }
        if (!(within(l.rugosidad, 0, 200) && l.rugosidad > 0)) {
            return "Supply line: the Hazen-Williams C must be a number above 0 and at most 200";
        }
    }
    if (s.measured) {
        if (!(within(s.measured->presion, 0, kLargestPressure) && s.measured->presion > 0)) {
            return "Measured supply: the pressure must be a number above 0 and at most 10000 kPa";
        }
        if (!(within(s.measured->caudal, 0, kLargestDischarge) && s.measured->caudal > 0)) {
            return "Measured supply: the discharge must be a number above 0 and at most 10000 "
                   "L/s";
        }
    }
    if (!within(s.nozzleWear, 0, 1)) {
        return "Nozzle wear: must be a number from 0 to 100 %";
    }
    return std::nullopt;
}

double supplyLineLoss(const SupplyLine& line, double q) {
    if (!(line.length > 0)) {
        return 0;
    }
    return quarvex::hazenWilliamsUnitLoss(q, line.rugosidad, line.diametro) * line.length *
           kKPaPerMetre;
}

std::optional<double> supplyPressureAtPivot(const PumpCurve& pump, const SupplyLine& line,
                                            double q) {
    const auto p = pump.pressure(q);
    if (!p) {
        return std::nullopt;
    }
    return *p - kKPaPerMetre * line.lift - supplyLineLoss(line, q);
}

OperatingPoint findOperatingPoint(const std::function<double(double)>& chartDischarge,
                                  const PumpCurve& pump, const SupplyLine& line) {
    OperatingPoint op;
    const auto pivotPressure = [&](double q) { return *supplyPressureAtPivot(pump, line, q); };
    const auto draw = [&](double p) {
        if (!(p > 0)) {
            return 0.0;
        }
        ++op.evaluations;
        return chartDischarge(p);
    };
    // g falls with the discharge: the supply's pressure falls and the package's draw rises
    // with the pressure.
    const auto g = [&](double q) { return draw(pivotPressure(q)) - q; };

    const double p0 = pivotPressure(0);
    if (!(p0 > 0)) {
        op.reason = "The pump cannot bring water to the pivot point: with no discharge it gives " +
                    number(p0) + " kPa there, after the lift and the line";
        return op;
    }
    double lo = 0;
    double hi = pump.lastDischarge();
    double flo = g(lo);
    double fhi = g(hi);
    if (fhi > 0) {
        op.reason = "The package draws more than the pump curve's last discharge (" + number(hi) +
                    " L/s): the operating point lies beyond the curve";
        return op;
    }
    double root = flo <= 0 ? lo : (fhi == 0 ? hi : -1);
    // Regula falsi with the Illinois change, every third step a bisection, on a bracket that
    // always holds the root.
    int side = 0;
    for (int step = 0; root < 0 && step < kMaxSearchSteps; ++step) {
        if (hi - lo <= kOperatingPointTolerance / 10) {
            break;
        }
        double q = (step % 3 == 2) ? 0.5 * (lo + hi) : (lo * fhi - hi * flo) / (fhi - flo);
        if (!(q > lo && q < hi)) {
            q = 0.5 * (lo + hi);
        }
        const double fq = g(q);
        if (fq == 0) {
            root = q;
        } else if (fq > 0) {
            lo = q;
            flo = fq;
            if (side == 1) {
                fhi /= 2;
            }
            side = 1;
        } else {
            hi = q;
            fhi = fq;
            if (side == -1) {
                flo /= 2;
            }
            side = -1;
        }
    }
    if (root < 0) {
        root = 0.5 * (lo + hi);
    }
    // The point reported is one the package was computed at.
    op.presion = pivotPressure(root);
    op.caudal = draw(op.presion);
    op.found = true;
    return op;
}

// ---- a chart against its supply -------------------------------------------------------------

namespace {

std::shared_ptr<quarvex::Aspersor> wornCopy(const quarvex::Aspersor& a, double wear) {
    auto copy = quarvex::statics().Aspersores().newAspersor(a.nome(), a.aValue() * (1 + wear),
                                                            a.bValue(), a.pmin(), a.pmax(),
                                                            a.qmin(), a.qmax(), a.modelo());
    return copy;
}

bool isGun(const quarvex::CoordenadasSaida& at) {
    return at.numeroTramo == -1;
}

}  // namespace

std::shared_ptr<quarvex::PivotWrapper> computeChartAt(const ChartSetup& setup, double presion,
                                                      const MachineState& state) {
    auto& st = quarvex::statics();
    quarvex::pivot p = setup.pivot;
    p.presion = presion;
    const bool gun = p.p_has_end_gun && state.endGun;
    p.p_has_end_gun = gun;

    auto chart = st.newCartaAspersores();
    chart->transferAcessoriesFrom(*setup.chart);
    PackageSettings settings = setup.settings;
    // The settings' regulators when given (the workbench's tab), else the chart's own.
    if (!settings.regulators) {
        settings.regulators = chart->getReguladores();
    }
    chart->setReguladores(settings.regulators);
    settings.endGunBoost = gun && state.booster ? setup.settings.endGunBoost : 0.0;
    chart->setEndGunBoost(settings.endGunBoost);
    std::map<const quarvex::Aspersor*, std::shared_ptr<quarvex::Aspersor>> worn;
    setup.chart->mountedAspersores().ForEach([&](const auto& mounted) {
        if (mounted->deleted() || !mounted->Aspersor() || (isGun(mounted->saida()) && !gun)) {
            return;
        }
        std::shared_ptr<quarvex::Aspersor> nozzle = mounted->Aspersor();
        if (state.wear != 0) {
            auto& copy = worn[nozzle.get()];
            if (!copy) {
                copy = wornCopy(*nozzle, state.wear);
            }
            nozzle = copy;
        }
        chart->addMountedAspersor(st.CartaAspersor().newMountedAspersor(mounted->saida(), nozzle));
    });
    auto strategy = std::make_shared<ManualStrategy>();
    strategy->init(chart);
    auto wrapper = st.newPivotWrapper(p, strategy);
    configurePackageWrapper(*wrapper, settings);
    wrapper->calculate();
    return wrapper;
}

std::string measuredMeaning(double percent) {
    if (std::abs(percent) <= kMeasuredAgreementPercent) {
        return "The pivot draws what the chart draws at this pressure (within 5 %)";
    }
    if (percent > 0) {
        return "The pivot draws more than the chart at this pressure: worn nozzles or a leak, "
               "or a pressure gauge to check";
    }
    return "The pivot draws less than the chart at this pressure: plugged or wrong nozzles, or "
           "a pressure gauge or flow meter to check";
}

namespace {

void judge(SupplyCase& c, const ChartSetup& setup) {
    auto& w = *c.wrapper;
    const quarvex::indicadores& ind = setup.settings.indicadores;
    const double hours = ind.horasRevolucao;
    if (hours > 0 && std::isfinite(hours)) {
        try {
            const IndicatorResults ir = computeIndicators(w, hours, ind.numeroSaidasObturadas);
            if (ir.UD) {
                c.UD = kPercent * *ir.UD;
            }
            if (ir.CU) {
                c.CU = kPercent * *ir.CU;
            }
            c.depth = ir.averageDepth;
            c.problems.insert(c.problems.end(), ir.problems.begin(), ir.problems.end());
        } catch (const quarvex::Error& e) {
            c.problems.push_back(std::string("UD and CU cannot be computed: ") + e.what());
        }
    } else {
        c.problems.push_back(std::string("UD, CU and the depth need ") + kRevolutionHoursItem);
    }
    for (const auto& ref : outletsInOrder(w.pivot())) {
        if (ref.outlet->obj_aspersor) {
            const double p = ref.outlet->pressao_actuante;
            if (!c.lowestSprinklerPressure || p < *c.lowestSprinklerPressure) {
                c.lowestSprinklerPressure = p;
            }
        }
    }
    c.starvedRegulators = summarize(w, true).starvedRegulator;
}

// The chart computed at `presion`, or none when its computation does not settle there.
std::shared_ptr<quarvex::PivotWrapper> settledAt(const ChartSetup& setup, double presion,
                                                 const MachineState& state) {
    try {
        return computeChartAt(setup, presion, state);
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::ComputationDidNotConverge) {
            throw;
        }
        return nullptr;
    }
}

double drawAt(const ChartSetup& setup, double presion, const MachineState& state) {
    return computeChartAt(setup, presion, state)->pivot().caudaDaCartaAssociada;
}

SupplyCase makeCase(const char* name, const MachineState& state) {
    SupplyCase c;
    c.name = name;
    c.state = state;
    return c;
}

std::string notSettledAt(double presion) {
    return "The package's computation does not settle at " + number(presion) + " kPa";
}

}  // namespace

OperatingPoint operatingPointOf(const ChartSetup& setup, const Supply& supply) {
    const PumpCurve pump(supply.pump);
    const MachineState state{true, true, supply.nozzleWear};
    try {
        return findOperatingPoint([&](double p) { return drawAt(setup, p, state); }, pump,
                                  supply.line);
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::ComputationDidNotConverge) {
            throw;
        }
        OperatingPoint op;
        op.reason = "The package's computation does not settle near the operating point";
        return op;
    }
}

SupplyAnalysis analyseSupply(const ChartSetup& setup, const Supply& supply, int curvePoints) {
    if (const auto problem = supplyProblem(supply)) {
        raiseError(supply.pump.empty() ? errc::ValueOutOfRange : errc::PumpCurveRefused, *problem);
    }
    SupplyAnalysis out;
    std::vector<SupplyCase> cases;
    if (!supply.pump.empty()) {
        const double wear = supply.nozzleWear;
        if (setup.pivot.p_has_end_gun) {
            cases.push_back(makeCase(kCaseGunAndBooster, {true, true, wear}));
            cases.push_back(makeCase(kCaseBoosterOff, {true, false, wear}));
        }
        cases.push_back(makeCase(kCaseGunOff, {false, false, wear}));
    }
    const std::size_t operating = cases.size();
    cases.push_back(makeCase(kCaseAsDesigned, {true, true, 0.0}));

    std::optional<PumpCurve> pump;
    if (!supply.pump.empty()) {
        pump.emplace(supply.pump);
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SupplyCase& c = cases[i];
        if (i < operating) {
            try {
                c.point = findOperatingPoint([&](double p) { return drawAt(setup, p, c.state); },
                                             *pump, supply.line);
            } catch (const quarvex::Error& e) {
                if (e.number() != quarvex::errc::ComputationDidNotConverge) {
                    throw;
                }
                c.point.reason =
                    "The package's computation does not settle near the operating "
                    "point";
            }
            if (!c.point.found) {
                c.problems.push_back(c.point.reason);
                continue;
            }
        } else {
            c.point.found = true;
            c.point.presion = setup.pivot.presion;
        }
        c.wrapper = settledAt(setup, c.point.presion, c.state);
        if (!c.wrapper) {
            c.settled = false;
            c.problems.push_back(notSettledAt(c.point.presion));
            continue;
        }
        c.point.caudal = c.wrapper->pivot().caudaDaCartaAssociada;
        judge(c, setup);
    }
    out.cases = std::move(cases);

    if (supply.measured) {
        MeasuredCheck m;
        m.measured = *supply.measured;
        const auto w = settledAt(setup, m.measured.presion, MachineState{});
        if (w) {
            m.chartDischarge = w->pivot().caudaDaCartaAssociada;
            m.differencePercent =
                m.chartDischarge > 0
                    ? kPercent * (m.measured.caudal - m.chartDischarge) / m.chartDischarge
                    : std::numeric_limits<double>::quiet_NaN();
            m.meaning = std::isfinite(m.differencePercent)
                            ? measuredMeaning(m.differencePercent)
                            : std::string("The chart draws no water at this pressure");
        } else {
            m.meaning = notSettledAt(m.measured.presion);
        }
        out.measured = m;
    }

    if (pump && curvePoints > 1) {
        const double qEnd = pump->lastDischarge();
        double pTop = setup.pivot.presion;
        for (int k = 0; k < curvePoints; ++k) {
            const double q = qEnd * k / (curvePoints - 1);
            const double p = *supplyPressureAtPivot(*pump, supply.line, q);
            out.supplyCurve.push_back({q, p});
            pTop = std::max(pTop, p);
        }
        for (std::size_t i = 0; i < operating; ++i) {
            std::vector<SupplyCurvePoint> curve;
            for (int k = 1; k <= curvePoints; ++k) {
                const double p = pTop * k / curvePoints;
                if (const auto w = settledAt(setup, p, out.cases[i].state)) {
                    curve.push_back({w->pivot().caudaDaCartaAssociada, p});
                }
            }
            out.chartCurves.push_back(std::move(curve));
        }
    }
    return out;
}

}  // namespace kambrix
