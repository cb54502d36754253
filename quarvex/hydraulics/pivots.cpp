// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include "core/units.h"

namespace quarvex {

using units::kPi;
using units::kSecondsPerHour;

Array<int> Pivots::saida2TramoeSaida(pivot& self, int numeroDaSaida) const {
    const Tramos spans;
    double acc = 0;
    int t = 0;
    while (numeroDaSaida > acc) {
        ++t;
        acc += spans.OutletCount(self.Tramos(t));
    }
    if (t == 0) {
        // Outlet numbers start at 1: 0 and below address no span.
        raiseSubscriptOutOfRange(numeroDaSaida, static_cast<int>(FixedSpanOutletCount(self)));
    }
    const double inSpan = spans.OutletCount(self.Tramos(t)) - (acc - numeroDaSaida);
    return Array<int>{t, static_cast<int>(inSpan)};
}

double Pivots::FixedSpanOutletCount(pivot& self) const {
    const Tramos spans;
    double n = 0;
    for (auto& t : self.Tramos) {
        n += spans.OutletCount(t);
    }
    return n;
}

int Pivots::AllSpanOutletCount(pivot& self) const {
    double n = FixedSpanOutletCount(self);
    if (self.p_has_overhang) {
        n += Tramos().OutletCount(self.tramoVOladizo);
    }
    return static_cast<int>(n);
}

int Pivots::AllOutletCount(pivot& self) const {
    return AllSpanOutletCount(self) + (self.p_has_end_gun ? 1 : 0);
}

double Pivots::tramoAte(const pivot& self, int tramo) const {
    double length = 0;
    for (int i = 1; i <= tramo; ++i) {
        length += self.Tramos(i).longitude;
    }
    return length;
}

void Pivots::aplicaRegulador(pivot& self,
                             const Array<std::optional<regulador>>& reguladores) const {
    for (int i = 1; i <= self.Tramos.Length(); ++i) {
        const auto& r = reguladores(i);
        if (!r) {
            self.Tramos(i).temRegulador = false;
        } else {
            self.Tramos(i).temRegulador = true;
            self.Tramos(i).regulador = *r;
        }
    }
}

Array<std::optional<regulador>> Pivots::recolheReguladores(const pivot& self) const {
    Array<std::optional<regulador>> out;
    for (const auto& t : self.Tramos) {
        out.Push(t.temRegulador ? std::optional<regulador>(t.regulador) : std::nullopt);
    }
    return out;
}

double Pivots::pluviosidadeMaxima(const pivot& self, const PivotSample& Sample) const {
    const double R = AllIrrigatedLenght(self);
    const double rate = (self.caudaDaCartaAssociada / (R * R)) * (4.0 / kPi) * kSecondsPerHour *
                        (Sample.distanceToCenter / (Sample.wetDiameter / 2.0));
    return checkedFinite(rate, "maximum application rate (irrigated radius or wetted diameter 0)");
}

double Pivots::AllSpanLenght(const pivot& self) const {
    double length = tramoAte(self, FixedSpansCount(self));
    if (self.p_has_overhang) {
        length += self.tramoVOladizo.longitude;
    }
    return length;
}

double Pivots::AllIrrigatedLenght(const pivot& self) const {
    return AllSpanLenght(self) + (self.p_has_end_gun ? self.endGun.rs : 0.0);
}

double Pivots::IrrigatedArea(const pivot& self) const {
    const double r = AllIrrigatedLenght(self);
    return kPi * r * r;
}

namespace {

// The overhang continues the slope of the last fixed span. The angle is taken from a copy
// so the fixed span's own cache is left as it was.
void placeOverhang(pivot& self) {
    const Types placements;
    Placement last = self.Tramos(self.Tramos.Length()).site;
    const double angle = placements.SlopeAngle(last);
    self.tramoVOladizo.site =
        placements.newVirtualPlacement(last.end_cota, angle, self.tramoVOladizo.longitude);
}

}  // namespace

namespace {

// Outlets of the spans, counted from the outlet arrays themselves (the cached counts of a
// record assembled by hand may be stale).
long outletsOf(const Array<tramo>& spans) {
    long n = 0;
    for (const auto& t : spans) {
        n += t.Saidas.Length();
    }
    return n;
}

void checkMachine(int spans, long outlets) {
    if (spans > kMaxSpans) {
        Exceptions::Throw(
            errc::TooManySpans,
            std::to_string(spans) + " spans; a pivot has at most " + std::to_string(kMaxSpans));
    }
    if (outlets > kMaxOutlets) {
        Exceptions::Throw(errc::TooManyOutlets, std::to_string(outlets) +
                                                    " outlets; a pivot has at most " +
                                                    std::to_string(kMaxOutlets));
    }
}

long overhangOutlets(const pivot& self) {
    return self.p_has_overhang ? self.tramoVOladizo.Saidas.Length() : 0;
}

}  // namespace

void Pivots::checkSize(const pivot& self) const {
    checkMachine(self.Tramos.Length(), outletsOf(self.Tramos) + overhangOutlets(self));
}

void Pivots::setFixedSpans(pivot& self, const Array<tramo>& spans,
                           const Array<double>& endSpanHeights) const {
    checkMachine(spans.Length(), outletsOf(spans) + overhangOutlets(self));
    if (endSpanHeights.Length() < spans.Length()) {
        raiseSubscriptOutOfRange(spans.Length(), endSpanHeights.Length());
    }
    self.Tramos = spans;
    Tramos().BuildPlacements(self.Tramos, self.cota, endSpanHeights);
    if (self.p_has_overhang && self.Tramos.HasAny()) {
        placeOverhang(self);
    }
}

void Pivots::removeFixedSpans(pivot& self) const {
    self.Tramos.Clear();
    if (self.p_has_overhang) {
        self.tramoVOladizo.site = Types().newPlacement(0, 0, 1);
    }
}

void Pivots::setOverhangSpan(pivot& self, const tramo& span) const {
    checkMachine(self.Tramos.Length(), outletsOf(self.Tramos) + span.Saidas.Length());
    self.tramoVOladizo = span;
    self.p_has_overhang = true;
    if (self.Tramos.HasAny()) {
        placeOverhang(self);
    }
}

void Pivots::removeOverhangSpan(pivot& self) const {
    self.p_has_overhang = false;
}

bool Pivots::hasOverHang(const pivot& self) const {
    return self.p_has_overhang;
}

int Pivots::FixedSpansCount(const pivot& self) const {
    return self.Tramos.Length();
}

void Pivots::setEndGun(pivot& self, const Gun& aGun) const {
    self.endGun = aGun;
    self.p_has_end_gun = true;
}

void Pivots::removeEndGun(pivot& self) const {
    self.p_has_end_gun = false;
}

bool Pivots::hasEndGun(const pivot& self) const {
    return self.p_has_end_gun;
}

int Pivots::allSpansCount(const pivot& self) const {
    return FixedSpansCount(self) + (self.p_has_overhang ? 1 : 0);
}

bool Pivots::isComplete(const pivot& self) const {
    const Tramos spans;
    if (!(self.presion > 0 && self.caudal > 0 && self.rugosidad > 0 &&
          spans.AllComplete(self.Tramos))) {
        return false;
    }
    if (self.p_has_overhang && !spans.isComplete(self.tramoVOladizo)) {
        return false;
    }
    if (self.p_has_end_gun && !Types().isComplete(self.endGun)) {
        return false;
    }
    return true;
}

void Pivots::ResetIdealData(pivot& self) const {
    for (auto& t : self.Tramos) {
        t.perdaDeCargaIdeal = 0;
    }
    if (self.p_has_overhang) {
        self.tramoVOladizo.perdaDeCargaIdeal = 0;
    }
    if (self.p_has_end_gun) {
        self.endGun.saida.caudal = 0;
        self.endGun.saida.pressao_ideal = 0;
    }
}

ParPressaoCaudal Pivots::newParPressaoCaudal(double pressao, double caudal) const {
    return {pressao, caudal};
}

saida& Pivots::saidaAt(pivot& self, int index) const {
    const Array<int> at = saida2TramoeSaida(self, index);
    return self.Tramos(at(1)).Saidas(at(2));
}

}  // namespace quarvex
