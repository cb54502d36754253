// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/runoff.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "shell/units.h"

namespace kambrix {
namespace {

constexpr double kKostiakovStart_h = 0.01;  // keeps t = 0 out of k·t^a
constexpr double kTimeStep_h = 0.001;
constexpr double kNoEnd = -16000;
// The integration walks the whole ellipse in steps of kTimeStep_h; beyond this many steps a
// point takes seconds, and no field point of a real machine comes near it.
constexpr double kMaxSteps = 1e7;

bool hasData(const quarvex::PivotSample& s) {
    return s.distanceToCenter > 0 && s.wetDiameter > 0;
}

// x with `decimals` decimals and "." as separator, whatever the locale.
std::string fixed(double x, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("?");
}

// Why the point's ellipse cannot be integrated, or nothing when it can.
std::optional<std::string> refusal(const quarvex::PivotSample& s, double wet_h,
                                   double revolutionHours) {
    const std::string where = "The point at " + fixed(s.distanceToCenter, 2) + " m";
    if (!(wet_h <= revolutionHours)) {
        return where + " would stay wet for " + fixed(wet_h, 1) +
               " h, longer than one revolution (" + fixed(revolutionHours, 1) +
               " h): its wetted diameter (" + fixed(s.wetDiameter, 2) +
               " m) is larger than the circle it travels (" +
               fixed(kTwoPi * s.distanceToCenter, 2) + " m)";
    }
    if (!(wet_h / kTimeStep_h <= kMaxSteps)) {
        return where + " stays wet for " + fixed(wet_h, 1) +
               " h: its runoff would take more than " + fixed(kMaxSteps, 0) +
               " integration steps of " + fixed(kTimeStep_h, 3) + " h";
    }
    return std::nullopt;
}

}  // namespace

double linearSpeed(double distance, double revolutionHours) {
    return kTwoPi * distance / revolutionHours;
}

std::shared_ptr<zarede::ZaredeFunction> pointEllipse(const quarvex::PivotWrapper& wrapper,
                                                     const quarvex::PivotSample& sample,
                                                     double revolutionHours,
                                                     const std::string& code) {
    const double centreX_h =
        (sample.wetDiameter / linearSpeed(sample.distanceToCenter, revolutionHours)) / 2.0;
    const double centreY_mmh = wrapper.pluviosidadeMaxima(sample);
    return zarede::Factory().newEclipseFunction(centreX_h, centreY_mmh, code);
}

RunoffResult computeRunoff(const quarvex::PivotWrapper& wrapper,
                           const quarvex::PluviometryCheck& check, double revolutionHours) {
    RunoffResult r;
    const bool first = hasData(check.firstSample);
    const bool second = hasData(check.secondSample);
    if (!first && !second) {
        r.failure = kNoPositionMessage;
        return r;
    }
    if (!(revolutionHours > 0) || !std::isfinite(revolutionHours)) {
        r.failure = kNoRevolutionMessage;
        return r;
    }

    const zarede::Factory factory;
    std::shared_ptr<zarede::ZaredeFunction> ellipses[2];
    double longest = kNoEnd;
    const quarvex::PivotSample* samples[2] = {&check.firstSample, &check.secondSample};
    const char* codes[2] = {kFirstEllipse, kSecondEllipse};
    for (int i = 0; i < 2; ++i) {
        if (!hasData(*samples[i])) {
            continue;
        }
        try {
            ellipses[i] = pointEllipse(wrapper, *samples[i], revolutionHours, codes[i]);
        } catch (const std::exception& e) {
            r.problems.push_back(std::string(codes[i]) + ": " + e.what());
            continue;
        }
        if (auto why = refusal(*samples[i], ellipses[i]->getMaxX(), revolutionHours)) {
            RunoffResult refused;
            refused.failure = std::move(why);
            return refused;
        }
        r.curves.Add(ellipses[i], std::string(codes[i]));
        longest = std::max(longest, ellipses[i]->getMaxX());
    }
    std::shared_ptr<zarede::KostiakovFunction> infiltration;
    if (check.kostiakov.k != 0 && check.kostiakov.a != 0 && longest > kNoEnd) {
        infiltration = factory.newKostiakovFunction(kKostiakovStart_h, longest, check.kostiakov.k,
                                                    check.kostiakov.a, std::string(kInfiltration));
        r.curves.Add(infiltration, std::string(kInfiltration));
    }
    if (!infiltration) {
        return r;
    }
    const zarede::Integrador integrador;
    std::optional<double>* areas[2] = {&r.area1, &r.area2};
    for (int i = 0; i < 2; ++i) {
        if (!ellipses[i]) {
            continue;
        }
        const double cx = ellipses[i]->centro_X();
        try {
            *areas[i] =
                integrador.AreaIntersecao(*infiltration, *ellipses[i], cx, 0, 2 * cx, kTimeStep_h);
        } catch (const zarede::Error& e) {
            r.problems.push_back(std::string(codes[i]) +
                                 ": the runoff area cannot be computed: " + e.what());
        }
    }
    return r;
}

}  // namespace kambrix
