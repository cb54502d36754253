// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "errors.h"

namespace zarede {

namespace {

// Absolute tolerance on the two function values at a crossing point (not on x).
constexpr double kCrossingTolerance = 1e-6;
// Halvings of the crossing search before it gives up; a double interval stops shrinking long
// before this for any interval of ordinary magnitude.
constexpr int kMaxHalvings = 200;
// Largest number of strips calcula accepts.
constexpr double kMaxStrips = 1e7;

bool isClose(double a, double b, double r) {
    return std::abs(a - b) < r;
}

// Bisection on [lo, hi], where q starts at or above p and ends below it: returns where q falls
// below p, once the two values agree within kCrossingTolerance.
double findCrossing(const IFunction& p, const IFunction& q, double lo, double hi) {
    double mid = lo + (hi - lo) * 0.5;
    for (int halving = 0; halving < kMaxHalvings; ++halving) {
        const double pm = p.calculate(mid);
        const double qm = q.calculate(mid);
        if (isClose(pm, qm, kCrossingTolerance)) {
            return mid;
        }
        double next;
        if (qm >= pm) {
            lo = mid;
            next = mid + (hi - mid) * 0.5;
        } else {
            hi = mid;
            next = mid - (mid - lo) * 0.5;
        }
        if (next == mid) {
            detail::raise(
                ErrorNumber::CurvesDoNotCross,
                detail::join({"the interval stopped shrinking at x = ", std::to_string(mid)}));
        }
        mid = next;
    }
    detail::raise(ErrorNumber::CurvesDoNotCross,
                  detail::join({"no crossing after ", std::to_string(kMaxHalvings), " halvings"}));
}

}  // namespace

double Integrador::calcula(const IFunction& funcao, double X1, double X2, double delta) const {
    if (!std::isfinite(X1) || !std::isfinite(X2) || !std::isfinite(delta)) {
        detail::raise(ErrorNumber::InvalidIntegrationRange, "bounds and step must be finite");
    }
    if (X1 > X2) {
        detail::raise(ErrorNumber::InvalidIntegrationRange, "X1 greater than X2");
    }
    if (delta <= 0) {
        detail::raise(ErrorNumber::InvalidIntegrationRange, "step not positive");
    }
    if ((X2 - X1) / delta > kMaxStrips) {
        detail::raise(ErrorNumber::InvalidIntegrationRange, "more than 1e7 strips");
    }

    double sum = 0;
    double x = X1;
    double next = X1 + delta;
    double yPrev = funcao.calculate(X1);
    while (!isClose(x, X2, delta)) {
        if (!(next > x)) {
            // delta is below the resolution of x: x would never reach X2.
            detail::raise(ErrorNumber::InvalidIntegrationRange, "step too small for the bounds");
        }
        const double y = funcao.calculate(next);
        sum += delta * (y + yPrev) / 2;
        yPrev = y;
        x = next;
        next = x + delta;
    }
    const double y = funcao.calculate(X2);
    sum += (X2 - x) * (y + yPrev) / 2;
    if (!std::isfinite(sum)) {
        detail::raise(ErrorNumber::Overflow, "integral not finite");
    }
    return sum;
}

bool Integrador::funcoesCruzam(const IFunction& porBaixo, const IFunction& porCima,
                               double pontoTest) const {
    return porCima.calculate(pontoTest) < porBaixo.calculate(pontoTest);
}

CrossingPoints Integrador::Encontra2PontosDeCruzamento(const IFunction& porBaixo,
                                                       const IFunction& porCima, double pontoTest,
                                                       double X1, double X2) const {
    if (!funcoesCruzam(porBaixo, porCima, pontoTest)) {
        return CrossingPoints{};
    }
    const double point1 = findCrossing(porBaixo, porCima, X1, pontoTest);
    const double point2 = findCrossing(porCima, porBaixo, pontoTest, X2);
    return CrossingPoints{point1, point2};
}

double Integrador::IntegraDuasFuncoes(const IFunction& porBaixo, const IFunction& porCima,
                                      double X1, double X2, double delta) const {
    const double difference = calcula(porCima, X1, X2, delta) - calcula(porBaixo, X1, X2, delta);
    if (!std::isfinite(difference)) {
        detail::raise(ErrorNumber::Overflow, "difference of the integrals not finite");
    }
    return difference;
}

double Integrador::AreaIntersecao(const IFunction& porBaixo, const IFunction& porCima,
                                  double pontoTeste, double X1, double X2, double delta) const {
    // Seen with the curves swapped, "porBaixo lies below porCima at the test point".
    if (!funcoesCruzam(porCima, porBaixo, pontoTeste)) {
        return 0;
    }
    const CrossingPoints points =
        Encontra2PontosDeCruzamento(porCima, porBaixo, pontoTeste, X1, X2);
    return IntegraDuasFuncoes(porBaixo, porCima, points(1), points(2), delta);
}

}  // namespace zarede
