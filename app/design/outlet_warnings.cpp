// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/outlet_warnings.h"

#include <cmath>
#include <set>

#include "design/ideal_results.h"
#include "shell/number_text.h"

namespace kambrix {

const std::vector<WarningLegendEntry>& warningLegend() {
    static const std::vector<WarningLegendEntry> legend = {
        {warning::NoSprinkler, "No sprinkler", "no sprinkler is mounted on the outlet"},
        {warning::LowPressure, "Low pressure",
         "the sprinkler works below the smallest pressure of its range"},
        {warning::HighPressure, "High pressure",
         "the sprinkler works above the largest pressure of its range"},
        {warning::StarvedRegulator, "Regulator starved",
         "the pressure reaching the regulator is less than its set pressure plus 35 kPa, so it "
         "cannot regulate"},
        {warning::NoPressure, "No pressure",
         "no pressure is left in the pipe at the outlet (friction, elevation and drop use it "
         "all)"},
        {warning::DischargeOff, "Discharge off",
         "the sprinkler delivers more or less than the outlet's ideal discharge by more than "
         "the allowed variation"},
    };
    return legend;
}

std::string warningText(unsigned flags) {
    std::string out;
    for (const auto& e : warningLegend()) {
        if (flags & e.flag) {
            if (!out.empty()) {
                out += ", ";
            }
            out += e.label;
        }
    }
    return out;
}

std::string warningLegendText() {
    std::string out;
    for (const auto& e : warningLegend()) {
        if (!out.empty()) {
            out += "\n";
        }
        out += e.label + ": " + e.description;
    }
    return out;
}

unsigned outletWarnings(const quarvex::saida& outlet, const quarvex::tramo* span,
                        const quarvex::Aspersor* mounted, std::optional<double> allowedVariation,
                        std::optional<double> delivered) {
    unsigned flags = warning::None;
    if (!mounted) {
        flags |= warning::NoSprinkler;
    } else if (mounted->isLowPressure(outlet.pressao_actuante)) {
        flags |= warning::LowPressure;
    } else if (mounted->isHighPressure(outlet.pressao_actuante)) {
        flags |= warning::HighPressure;
    }
    if (span && span->temRegulador &&
        outlet.pressao_real < span->regulador.Preg + kRegulatorMargin_kPa) {
        flags |= warning::StarvedRegulator;
    }
    // The computation writes max(0, pipe pressure − drop loss): exactly 0 means nothing was
    // left.
    if (outlet.pressao_real <= 0) {
        flags |= warning::NoPressure;
    }
    if (mounted && allowedVariation && outlet.caudal > 0) {
        const double q = delivered.value_or(outlet.caudal_do_aspersor);
        // Not within: a discharge that is not a number is off as well.
        if (!(std::fabs(q - outlet.caudal) <= *allowedVariation * outlet.caudal)) {
            flags |= warning::DischargeOff;
        }
    }
    return flags;
}

std::vector<OutletRef> outletsInOrder(const quarvex::pivot& p) {
    std::vector<OutletRef> out;
    const int n = p.Tramos.Length();
    auto span = [&](const quarvex::tramo& t, int number) {
        for (int k = 1; k <= t.Saidas.Length(); ++k) {
            out.push_back({{number, k}, &t.Saidas(k), &t});
        }
    };
    for (int i = 1; i <= n; ++i) {
        span(p.Tramos(i), i);
    }
    if (p.p_has_overhang) {
        span(p.tramoVOladizo, n + 1);
    }
    if (p.p_has_end_gun) {
        out.push_back({{-1, -1}, &p.endGun.saida, nullptr});
    }
    return out;
}

std::string outletSpanLabel(const quarvex::pivot& p, int numeroTramo) {
    if (numeroTramo == -1) {
        return "End Gun";
    }
    if (numeroTramo > p.Tramos.Length()) {
        return kOverhangLabel;
    }
    return "Tower " + std::to_string(numeroTramo);
}

ComputationSummary summarize(const quarvex::pivot& p, Settlement settlement, int passes,
                             std::optional<double> allowedVariation) {
    ComputationSummary s;
    s.settlement = settlement;
    s.passes = passes;
    s.designDischarge = p.caudal;
    s.chartDischarge = p.caudaDaCartaAssociada;
    if (p.Tramos.HasAny()) {
        s.inletDischarge = p.Tramos(1).entry_conditions.caudal;
    } else if (p.p_has_overhang) {
        s.inletDischarge = p.tramoVOladizo.entry_conditions.caudal;
    }
    s.hasEndGun = p.p_has_end_gun;
    std::set<const quarvex::Aspersor*> nozzles;
    for (const auto& ref : outletsInOrder(p)) {
        const quarvex::saida& o = *ref.outlet;
        ++s.outlets;
        if (ref.span) {
            s.lastOutletPressure = o.pressao_real;
        } else {
            s.endGunPressure = o.pressao_real;
            s.endGunActingPressure = o.pressao_actuante;
        }
        if (o.obj_aspersor) {
            ++s.sprinklers;
            nozzles.insert(o.obj_aspersor.get());
        }
        const unsigned f = outletWarnings(o, ref.span, o.obj_aspersor.get(), allowedVariation);
        s.dischargeOff += (f & warning::DischargeOff) ? 1 : 0;
        s.noSprinkler += (f & warning::NoSprinkler) ? 1 : 0;
        s.outOfRange += (f & (warning::LowPressure | warning::HighPressure)) ? 1 : 0;
        s.starvedRegulator += (f & warning::StarvedRegulator) ? 1 : 0;
        s.noPressure += (f & warning::NoPressure) ? 1 : 0;
        s.withWarnings += f != warning::None ? 1 : 0;
    }
    // Two catalogue rows are the same nozzle when they have the same identifier; nozzles
    // not stored (id 0) are told apart by object.
    std::set<int> ids;
    int unstored = 0;
    for (const auto* n : nozzles) {
        if (n->id() > 0) {
            ids.insert(n->id());
        } else {
            ++unstored;
        }
    }
    s.distinctNozzles = static_cast<int>(ids.size()) + unstored;
    return s;
}

ComputationSummary summarize(const quarvex::PivotWrapper& wrapper, bool settled,
                             std::optional<double> allowedVariation) {
    Settlement how = Settlement::NotSettled;
    if (settled) {
        switch (wrapper.lastConvergence()) {
            case quarvex::Convergence::Plain:
                how = Settlement::Plain;
                break;
            case quarvex::Convergence::Safeguarded:
                how = Settlement::Safeguarded;
                break;
            case quarvex::Convergence::None:
                how = Settlement::NotComputed;
                break;
        }
    }
    return summarize(wrapper.pivot(), how, wrapper.lastIterations(), allowedVariation);
}

std::string summaryText(const ComputationSummary& s, char sep) {
    if (s.settlement == Settlement::NotComputed) {
        return "Not computed yet";
    }
    const auto q = [&](double v) { return formatDecimals(v, 3, sep) + " L/s"; };
    const auto p = [&](double v) { return formatDecimals(v, 1, sep) + " kPa"; };
    std::string t = "Inlet " + q(s.inletDischarge) + "; chart " + q(s.chartDischarge) +
                    " (design " + q(s.designDischarge) + "); last outlet " +
                    p(s.lastOutletPressure);
    if (s.hasEndGun) {
        t += "; end gun " + p(s.endGunPressure);
        if (s.endGunActingPressure != s.endGunPressure) {
            t += " (" + p(s.endGunActingPressure) + " with the booster)";
        }
    }
    t += "; " + std::to_string(s.passes) + (s.passes == 1 ? " pass, " : " passes, ");
    switch (s.settlement) {
        case Settlement::Plain:
            t += "settled";
            break;
        case Settlement::Safeguarded:
            t += "settled by a search on the inlet discharge";
            break;
        case Settlement::NotSettled:
            t += "NOT SETTLED: results of the last pass";
            break;
        case Settlement::NotComputed:
            break;
    }
    t += "; " + std::to_string(s.withWarnings) +
         (s.withWarnings == 1 ? " outlet with warnings" : " outlets with warnings");
    return t;
}

}  // namespace kambrix
