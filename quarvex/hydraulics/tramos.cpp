// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>

#include "core/units.h"

namespace quarvex {

using units::kCentimetresPerMetre;

tramo Tramos::newTramo(int id, const std::string& denominacion, double longitud, double diametro,
                       double separationSaidas_cm, std::optional<double> cota) const {
    tramo t;
    t.id = id;
    t.denominacion = denominacion;
    t.longitude = longitud;
    t.diametro = diametro;
    t.separationSaidas_cm = separationSaidas_cm;
    t.separacionSaidas = separationSaidas_cm / kCentimetresPerMetre;
    t.cota = cota.value_or(0.0);
    if (t.separacionSaidas > 0) {
        const double n = std::floor(t.longitude / t.separacionSaidas);
        // Also catches NaN and infinite lengths before the outlet array is allocated.
        if (!(n <= kMaxOutlets)) {
            Exceptions::Throw(errc::TooManyOutlets,
                              "the span " + denominacion + " would have " + numberText(n) +
                                  " outlets; a pivot has at most " + std::to_string(kMaxOutlets));
        }
        t.Saidas = Array<saida>(n > 0 ? static_cast<int>(n) : 0);
        t.p_complete = true;
    }
    return t;
}

bool Tramos::AllComplete(const Array<tramo>& spans) const {
    for (const auto& t : spans) {
        if (!isComplete(t)) {
            return false;
        }
    }
    return true;
}

bool Tramos::AllEqual(const Array<tramo>& a, const Array<tramo>& b) const {
    if (a.Length() != b.Length()) {
        return false;
    }
    for (int i = 1; i <= a.Length(); ++i) {
        if (a(i).id != b(i).id) {
            return false;
        }
    }
    return true;
}

bool Tramos::isComplete(const tramo& self) const {
    return Types().isValid(self.site) && self.p_complete;
}

void Tramos::BuildPlacements(Array<tramo>& spans, double start_cota,
                             const Array<double>& cotas) const {
    const Types placements;
    double s = start_cota;
    for (int i = 1; i <= spans.Length(); ++i) {
        spans(i).site = placements.newPlacement(s, cotas(i), spans(i).longitude);
        s = cotas(i);
    }
}

double Tramos::IdealConsumedDischarge(const tramo& self) const {
    return self.ideal_entry_conditions.caudal - self.ideal_exit_conditions.caudal;
}

double Tramos::ConsumedDischarge(const tramo& self) const {
    return self.entry_conditions.caudal - self.exit_condition.caudal;
}

double Tramos::DischargeVariation(const tramo& self) const {
    const double ideal = IdealConsumedDischarge(self);
    return std::fabs((ideal - ConsumedDischarge(self)) / ideal);
}

double Tramos::OutletCount(tramo& self) const {
    if (self.p_outlet_count == 0.0 || std::isnan(self.p_outlet_count)) {
        self.p_outlet_count = self.Saidas.Length();
    }
    return self.p_outlet_count;
}

}  // namespace quarvex
