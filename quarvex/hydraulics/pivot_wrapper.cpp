// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/units.h"

namespace quarvex {
namespace {

constexpr double kHazenWilliamsFactor = 1.21e10;
constexpr double kHazenWilliamsExponent = 1.852;
constexpr double kDiameterExponent = -4.87;
using units::kKPaPerMetreOfHead;
constexpr double kIdealShareFactor = 2.0;  // ring 2πrs over the irrigated circle πR²

// Doubles.Max(0, x): NaN stays NaN.
double maxZero(double x) {
    return 0.0 > x ? 0.0 : x;
}

// The safeguarded search gives up when the bracket is narrower than this relative width.
constexpr double kBracketRelativeWidth = 1e-13;
constexpr int kMaxSafeguardedPasses = 200;
constexpr int kMaxBracketGrowth = 60;

}  // namespace

namespace {

// The unit loss with the diameter term D^−4.87 computed once per span: the same factors
// multiplied in the same order, so the results are those of hazenWilliamsUnitLoss.
double unitLoss(double caudal, double C, double diameterTerm) {
    const double q = maxZero(caudal);
    return checkedFinite(
        kHazenWilliamsFactor * std::pow(q / C, kHazenWilliamsExponent) * diameterTerm,
        "pipe friction (roughness or diameter 0)");
}

}  // namespace

double hazenWilliamsUnitLoss(double caudal, double C, double diametro_mm) {
    return unitLoss(caudal, C, std::pow(diametro_mm, kDiameterExponent));
}

PivotApplier::~PivotApplier() = default;
void PivotApplier::apply(pivot&) {}

CalculosStrategy::~CalculosStrategy() = default;
void CalculosStrategy::setAvaillableAspersores(const AspersorList&) {}
void CalculosStrategy::beforeCompute(PivotWrapper&) {}
void CalculosStrategy::afterCompute(PivotWrapper&) {}
std::shared_ptr<Aspersor> CalculosStrategy::aspersorFor(const saida&) {
    return nullptr;
}
std::shared_ptr<CartaAspersores> CalculosStrategy::carta() {
    return nullptr;
}

namespace {

// The pivot, once it is known to be no larger than the library computes.
const pivot& sized(const pivot& p) {
    Pivots().checkSize(p);
    return p;
}

}  // namespace

PivotWrapper::PivotWrapper(const ::quarvex::pivot& apivot,
                           std::shared_ptr<CalculosStrategy> strategy)
    : pivot_(sized(apivot)), strategy_(std::move(strategy)) {
    computeIdeal(Drops().createNull());
}

namespace {

std::shared_ptr<CartaAspersores> requireCarta(CalculosStrategy* s) {
    auto c = s ? s->carta() : nullptr;
    if (!c) {
        Exceptions::Throw(errc::InvalidArgument, "the computation strategy has no chart");
    }
    return c;
}

}  // namespace

void PivotWrapper::setAvaillableAspersores(const AspersorList& all_aspersores) {
    strategy_->setAvaillableAspersores(all_aspersores);
}

void PivotWrapper::aplicaReguladores(std::shared_ptr<Reguladores> reguladores) {
    if (!reguladores) {
        reguladores = std::make_shared<Reguladores>();
    }
    for (auto& t : pivot_.Tramos) {
        t.temRegulador = false;
    }
    if (pivot_.p_has_overhang) {
        pivot_.tramoVOladizo.temRegulador = false;
    }
    reguladores->ForEach([&](const std::shared_ptr<ReguladorPression>& r) { r->apply_to(*this); });
    reguladores_ = reguladores;
    requireCarta(strategy_.get())->setReguladores(reguladores_);
}

std::shared_ptr<Reguladores> PivotWrapper::getReguladores() {
    if (!reguladores_) {
        reguladores_ = std::make_shared<Reguladores>();
    }
    return reguladores_;
}

void PivotWrapper::setIndicadores(const indicadores& aIndicadores) {
    requireCarta(strategy_.get())->setIndicadores(aIndicadores);
}
indicadores PivotWrapper::getIndicadores() {
    return requireCarta(strategy_.get())->getIndicadores();
}
void PivotWrapper::setPluviometriaCheck(const PluviometryCheck& apluviometria) {
    requireCarta(strategy_.get())->setPluviometriaCheck(apluviometria);
}
PluviometryCheck PivotWrapper::getPluviometriaCheck() {
    return requireCarta(strategy_.get())->getPluviometriaCheck();
}
void PivotWrapper::setEndGunBoost(double boost) {
    requireCarta(strategy_.get())->setEndGunBoost(boost);
}
double PivotWrapper::getEndGunBoost() {
    auto c = strategy_ ? strategy_->carta() : nullptr;
    return c ? c->getEndGunBoost() : 0.0;
}
void PivotWrapper::setDrop(const Drop& aDrop) {
    requireCarta(strategy_.get())->setDrop(aDrop);
}
void PivotWrapper::installDrop() {
    requireCarta(strategy_.get())->installDrop();
}
void PivotWrapper::uninstallDrop() {
    requireCarta(strategy_.get())->uninstalDrop();
}
Drop PivotWrapper::getDrop() {
    auto c = strategy_ ? strategy_->carta() : nullptr;
    return c ? c->getDrop() : Drops().createNull();
}

void PivotWrapper::apply(PivotApplier& applier) {
    applier.apply(pivot_);
}

void PivotWrapper::setTimeForCompleteRevolution(double tempo_revolucao) {
    pivot_.caixa.tempoH100 = tempo_revolucao;
}

double PivotWrapper::getLongitudeTotal() const {
    return Pivots().AllSpanLenght(pivot_);
}

int PivotWrapper::numeroTotalDeSaidas() {
    return static_cast<int>(Pivots().FixedSpanOutletCount(pivot_));
}

double PivotWrapper::pluviosidadeMaxima(const PivotSample& Sample) const {
    return Pivots().pluviosidadeMaxima(pivot_, Sample);
}

bool PivotWrapper::hasEndGun() const {
    return Pivots().hasEndGun(pivot_);
}

double PivotWrapper::totalComputedDischarge() const {
    return pivot_.caudaDaCartaAssociada;
}

saida& PivotWrapper::saidaAt(int index) {
    return Pivots().saidaAt(pivot_, index);
}

ParPressaoCaudal PivotWrapper::getPressaoCaudalAt(const CoordenadasSaida& coordenadas) {
    const Pivots pivots;
    const saida* outlet = nullptr;
    static const saida kZero{};
    if (pivots.hasEndGun(pivot_) && CoordenadasSaidas().isAtEndGun(coordenadas)) {
        outlet = &pivot_.endGun.saida;
    } else if (coordenadas.numeroTramo > pivots.FixedSpansCount(pivot_)) {
        if (pivots.hasOverHang(pivot_) && coordenadas.numeroTramo == pivots.allSpansCount(pivot_)) {
            outlet = &pivot_.tramoVOladizo.Saidas(coordenadas.saida);
        } else {
            outlet = &kZero;
        }
    } else {
        outlet = &pivot_.Tramos(coordenadas.numeroTramo).Saidas(coordenadas.saida);
    }
    return {outlet->pressao_actuante, outlet->caudal};
}

Array<WaterDepthSample> PivotWrapper::WaterDepthsSamples(bool ideal) {
    const Types saidas;
    Array<WaterDepthSample> out;
    const double t = pivot_.caixa.tempoH100;
    auto sample = [&](const saida& o, double coroa) {
        out.Push(ideal ? saidas.IdealWaterDepthSample(o, coroa, t)
                       : saidas.ActualWaterDepthSample(o, coroa, t));
    };
    for (const auto& span : pivot_.Tramos) {
        for (const auto& o : span.Saidas) {
            sample(o, span.separacionSaidas);
        }
    }
    if (pivot_.p_has_overhang) {
        for (const auto& o : pivot_.tramoVOladizo.Saidas) {
            sample(o, pivot_.tramoVOladizo.separacionSaidas);
        }
    }
    if (pivot_.p_has_end_gun) {
        sample(pivot_.endGun.saida, pivot_.endGun.rs);
    }
    return out;
}

std::shared_ptr<CartaAspersores> PivotWrapper::extractCarta() {
    auto c = std::make_shared<CartaAspersores>();
    c->init();
    CartaAspersoresStatic& cartas = statics().CartaAspersor();
    const CoordenadasSaidas coords;
    auto addSpan = [&](const tramo& span, int number) {
        for (int k = 1; k <= span.Saidas.Length(); ++k) {
            const auto& asp = span.Saidas(k).obj_aspersor;
            if (asp) {
                c->addMountedAspersor(
                    cartas.newMountedAspersor(coords.newTramoCoordenadas(number, k), asp));
            }
        }
    };
    const int n = pivot_.Tramos.Length();
    for (int i = 1; i <= n; ++i) {
        addSpan(pivot_.Tramos(i), i);
    }
    if (pivot_.p_has_overhang) {
        addSpan(pivot_.tramoVOladizo, n + 1);
    }
    if (pivot_.p_has_end_gun && pivot_.endGun.saida.obj_aspersor) {
        c->addMountedAspersor(cartas.newMountedAspersor(coords.newEndGunCoordenadas(),
                                                        pivot_.endGun.saida.obj_aspersor));
        c->setEndGunBoost(getEndGunBoost());
    }
    return c;
}

Drop PivotWrapper::effectiveDrop() {
    const Drops drops;
    const Drop d = getDrop();
    return drops.IsInstalled(d) ? d : drops.createNull();
}

void PivotWrapper::calculate() {
    const Drop d = effectiveDrop();
    computeIdeal(d);
    strategy_->beforeCompute(*this);
    compute(d);
    strategy_->afterCompute(*this);
}

std::shared_ptr<CartaAspersores> PivotWrapper::carta() {
    return strategy_ ? strategy_->carta() : nullptr;
}

double PivotWrapper::idealContinuosPressureLossForTramo(int order) const {
    if (order == pivot_.Tramos.Length() + 1) {
        return pivot_.tramoVOladizo.perdaDeCargaIdeal;
    }
    return pivot_.Tramos(order).perdaDeCargaIdeal;
}

double PivotWrapper::idealEndGunDischarge() const {
    return pivot_.endGun.saida.caudal;
}

void PivotWrapper::computeIdealOperationMode() {
    computeIdeal(effectiveDrop());
}

void PivotWrapper::update(::quarvex::pivot& toUpdate) const {
    toUpdate = pivot_;
}

// ---- ideal mode ------------------------------------------------------------------------

void PivotWrapper::idealSpan(tramo& span, ParPressaoCaudal& cur, double x0, const Drop& drop,
                             double Q, double R2) {
    const Drops drops;
    const double s = span.separacionSaidas;
    const double dz = Types().Slope(span.site) * s;
    const double C = pivot_.rugosidad;
    const double Dterm = std::pow(span.diametro, kDiameterExponent);
    span.ideal_entry_conditions = cur;
    double pos = x0;
    double zPrev = span.site.start_cota;
    double covered = 0;
    double loss = 0;
    double p = cur.pressao;
    double q = cur.caudal;
    for (auto& o : span.Saidas) {
        o.distanciaAoPivot = pos + s;
        covered = covered + s;
        const double hf = unitLoss(q, C, Dterm) * s * kKPaPerMetreOfHead;
        o.caudal = checkedFinite(kIdealShareFactor * o.distanciaAoPivot * s * Q / R2,
                                 "ideal outlet discharge (irrigated radius 0)");
        const double dropLoss = drops.PressureLoss(drop, o.caudal);
        loss = loss + hf;
        const double pT = p - kKPaPerMetreOfHead * dz - hf;
        o.pressao_ideal = pT - dropLoss;
        o.cota = zPrev + dz;
        zPrev = o.cota;
        p = pT;
        q = q - o.caudal;
        pos = o.distanciaAoPivot;
    }
    const double hfEnd = (span.longitude - covered) * unitLoss(q, C, Dterm) * kKPaPerMetreOfHead;
    loss = loss + hfEnd;
    span.ideal_exit_conditions = {p - kKPaPerMetreOfHead * (span.site.end_cota - zPrev) - hfEnd, q};
    span.perdaDeCargaIdeal = loss;
    cur = span.ideal_exit_conditions;
}

void PivotWrapper::computeIdeal(const Drop& drop) {
    const Pivots pivots;
    const double Q = pivot_.caudal;
    const double R = pivots.AllIrrigatedLenght(pivot_);
    const double R2 = R * R;
    ParPressaoCaudal cur{pivot_.presion, pivot_.caudal};
    // The inlet distance of each span is summed as the spans are walked (the same sums, in
    // the same order, as tramoAte), so a pass stays linear in the number of spans.
    double x0 = 0;
    for (auto& span : pivot_.Tramos) {
        idealSpan(span, cur, x0, drop, Q, R2);
        x0 += span.longitude;
    }
    if (pivot_.p_has_overhang) {
        idealSpan(pivot_.tramoVOladizo, cur, x0, drop, Q, R2);
    }
    if (pivot_.p_has_end_gun) {
        calculaEndGunIdeal(pivot_.endGun, cur);
    }
}

void PivotWrapper::calculaEndGunIdeal(Gun& aGun, const ParPressaoCaudal& initial_conditions) {
    const Pivots pivots;
    const double L = pivots.AllSpanLenght(pivot_);
    const double R = pivots.AllIrrigatedLenght(pivot_);
    aGun.saida.distanciaAoPivot = L;
    aGun.saida.caudal = checkedFinite(kIdealShareFactor * L * aGun.rs * pivot_.caudal / (R * R),
                                      "ideal end-gun discharge (irrigated radius 0)");
    aGun.saida.pressao_ideal = initial_conditions.pressao;
}

// ---- real mode -------------------------------------------------------------------------

void PivotWrapper::mount(saida& outlet, double pAvail, double pAct) {
    outlet.pressao_real = pAvail;
    outlet.pressao_actuante = pAct;
    auto asp = strategy_ ? strategy_->aspersorFor(outlet) : nullptr;
    if (!asp) {
        outlet.obj_aspersor = nullptr;
        outlet.caudal_do_aspersor = 0;
        outlet.over_pressure = false;
    } else {
        outlet.caudal_do_aspersor = asp->calculate(pAct);
        outlet.over_pressure = asp->isHighPressure(pAct);
        outlet.obj_aspersor = std::move(asp);
    }
}

void PivotWrapper::realSpan(tramo& span, ParPressaoCaudal& cur, double x0, const Drop& drop) {
    const Drops drops;
    const double s = span.separacionSaidas;
    const double dz = Types().Slope(span.site) * s;
    const double C = pivot_.rugosidad;
    const double Dterm = std::pow(span.diametro, kDiameterExponent);
    span.entry_conditions = cur;
    double pos = x0;
    double zPrev = span.site.start_cota;
    double covered = 0;
    double p = cur.pressao;
    double q = cur.caudal;
    for (auto& o : span.Saidas) {
        o.distanciaAoPivot = pos + s;
        const double hf = s * kKPaPerMetreOfHead * unitLoss(q, C, Dterm);
        const double dropLoss = drops.PressureLoss(drop, o.caudal);
        const double pT = p - kKPaPerMetreOfHead * dz - hf;
        const double pAvail = maxZero(pT - dropLoss);
        const double pAct = span.temRegulador ? span.regulador.Preg : pAvail;
        mount(o, pAvail, pAct);
        covered = covered + s;
        o.cota = zPrev + dz;
        zPrev = o.cota;
        p = pT;
        q = q - o.caudal_do_aspersor;
        pos = o.distanciaAoPivot;
    }
    span.exit_condition = {
        p - kKPaPerMetreOfHead * (span.site.end_cota - zPrev) -
            (span.longitude - covered) * unitLoss(q, C, Dterm) * kKPaPerMetreOfHead,
        q};
    cur = span.exit_condition;
}

double PivotWrapper::realPass(double Qin, const Drop& drop) {
    ParPressaoCaudal cur{pivot_.presion, Qin};
    double total = 0;
    double x0 = 0;
    for (auto& span : pivot_.Tramos) {
        realSpan(span, cur, x0, drop);
        total = total + (span.entry_conditions.caudal - span.exit_condition.caudal);
        x0 += span.longitude;
    }
    if (pivot_.p_has_overhang) {
        tramo& span = pivot_.tramoVOladizo;
        realSpan(span, cur, x0, drop);
        total = total + (span.entry_conditions.caudal - span.exit_condition.caudal);
    }
    if (pivot_.p_has_end_gun) {
        // The gun's available pressure is clamped at 0 like every outlet's; the booster adds
        // its pressure to that.
        const double pAvail = maxZero(cur.pressao);
        mount(pivot_.endGun.saida, pAvail, pAvail + getEndGunBoost());
        total = total + pivot_.endGun.saida.caudal_do_aspersor;
    }
    pivot_.caudaDaCartaAssociada = total;
    return total;
}

void PivotWrapper::compute(const Drop& aDrop) {
    // The sprinklers always come from the wrapper's own strategy.
    iterations_ = 0;
    convergence_ = Convergence::None;
    std::vector<std::pair<double, double>> passes;  // (inlet, drawn) of every pass
    auto pass = [&](double Qin) {
        const double drawn = realPass(Qin, aDrop);
        ++iterations_;
        passes.emplace_back(Qin, drawn);
        return drawn;
    };

    double Qk = pivot_.caudal;
    double Qn = pass(Qk);
    while (std::fabs(Qn - Qk) > kConvergenceTolerance) {
        // A pass whose result is an inlet discharge already tried repeats a cycle for ever.
        const bool cycling =
            std::any_of(passes.begin(), passes.end() - 1,
                        [&](const std::pair<double, double>& p) { return p.first == Qn; });
        if (cycling || iterations_ >= kMaxPlainPasses || !std::isfinite(Qn)) {
            break;
        }
        Qk = Qn;
        Qn = pass(Qk);
    }
    if (std::fabs(Qn - Qk) <= kConvergenceTolerance) {
        convergence_ = Convergence::Plain;
        return;
    }

    // Safeguarded search for the fixed point of "inlet discharge = discharge drawn":
    // g(Q) = Q − drawn(Q), bracketed between a g < 0 and a g > 0, narrowed by the Illinois
    // variant of regula falsi with bisection as fallback.
    auto g = [&](double Q) { return Q - pass(Q); };
    bool haveNeg = false;
    bool havePos = false;
    double a = 0, ga = 0, b = 0, gb = 0;
    for (const auto& [qin, drawn] : passes) {
        const double gv = qin - drawn;
        if (!std::isfinite(gv)) {
            continue;
        }
        if (gv < 0 && (!haveNeg || qin > a)) {
            a = qin;
            ga = gv;
            haveNeg = true;
        } else if (gv > 0 && (!havePos || qin < b)) {
            b = qin;
            gb = gv;
            havePos = true;
        }
    }
    auto settled = [&](double gv) { return std::fabs(gv) <= kConvergenceTolerance; };
    if (!haveNeg) {
        a = 0;
        ga = g(a);
        if (settled(ga)) {
            convergence_ = Convergence::Safeguarded;
            return;
        }
        haveNeg = ga < 0;
    }
    if (!havePos) {
        double top = std::max({pivot_.caudal, a, 1.0});
        for (int i = 0; i < kMaxBracketGrowth && !havePos; ++i) {
            top *= 2;
            gb = g(top);
            if (settled(gb)) {
                convergence_ = Convergence::Safeguarded;
                return;
            }
            if (gb > 0) {
                b = top;
                havePos = true;
            }
        }
    }
    if (!haveNeg || !havePos) {
        Exceptions::Throw(errc::ComputationDidNotConverge,
                          "no inlet discharge brackets the sprinklers' draw");
    }
    int side = 0;
    for (int it = 0; it < kMaxSafeguardedPasses; ++it) {
        double x = (a * gb - b * ga) / (gb - ga);
        const double lo = std::min(a, b);
        const double hi = std::max(a, b);
        if (!(x > lo && x < hi)) {
            x = 0.5 * (a + b);
        }
        const double gx = g(x);
        if (settled(gx)) {
            convergence_ = Convergence::Safeguarded;
            return;
        }
        if (gx < 0) {
            a = x;
            ga = gx;
            if (side == -1) {
                gb *= 0.5;
            }
            side = -1;
        } else {
            b = x;
            gb = gx;
            if (side == 1) {
                ga *= 0.5;
            }
            side = 1;
        }
        if (std::fabs(b - a) <=
            kBracketRelativeWidth * std::max(1.0, std::fabs(a) + std::fabs(b))) {
            break;
        }
    }
    Exceptions::Throw(errc::ComputationDidNotConverge,
                      "the sprinklers' draw jumps across the inlet discharge between " +
                          numberText(std::min(a, b)) + " and " + numberText(std::max(a, b)) +
                          " L/s");
}

}  // namespace quarvex
