// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>
#include <locale>

namespace quarvex {
namespace {

// The number's text with the decimal separator of the program's current locale.
std::string localeNumberText(double x) {
    std::string text = numberText(x);
    const char point = std::use_facet<std::numpunct<char>>(std::locale()).decimal_point();
    for (char& c : text) {
        if (c == '.') {
            c = point;
        }
    }
    return text;
}

}  // namespace

void Aspersor::init(const std::string& boquilla, double a, double b, double pmin, double pmax,
                    double qmin, double qmax, const ::quarvex::modelo& aModelo) {
    nome_ = boquilla;
    a_ = a;
    b_ = b;
    pmin_ = pmin;
    pmax_ = pmax;
    qmin_ = qmin;
    qmax_ = qmax;
    modelo_ = aModelo;
}

std::string Aspersor::a() const {
    return localeNumberText(a_);
}

std::string Aspersor::b() const {
    return localeNumberText(b_);
}

double Aspersor::calculate(double pressao) const {
    return checkedFinite(dischargeLaw(a_, b_, pressao), "discharge of a sprinkler");
}

bool Aspersor::flowWithin(double pressao, double caudal, double variacao) const {
    const double q = calculate(pressao);
    return (1.0 - variacao) * caudal <= q && q <= (1.0 + variacao) * caudal;
}

double Aspersor::variacaoCaudal(double pressao, double caudal) const {
    return checkedFinite(std::fabs(1.0 - calculate(pressao) / caudal),
                         "discharge deviation for a required discharge of 0");
}

bool Aspersor::isOnPressureRange(double presion) const {
    return !isLowPressure(presion) && !isHighPressure(presion);
}

bool Aspersor::isLowPressure(double presion) const {
    return presion < pmin_;
}

bool Aspersor::isHighPressure(double presion) const {
    return presion > pmax_;
}

}  // namespace quarvex
