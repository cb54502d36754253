// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/diagnosis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "evaluation/water_depth_serie.h"
#include "shell/number_text.h"
#include "shell/unit_system.h"

namespace kambrix {

namespace lim = diagnosis_limits;

namespace {

constexpr double kPercent = 100.0;

double weightedAverage(const std::vector<CanDepth>& cans, std::size_t from, std::size_t to) {
    double w = 0, s = 0;
    for (std::size_t i = from; i < to; ++i) {
        w += cans[i].distance;
        s += cans[i].distance * cans[i].depth;
    }
    return w > 0 ? s / w : std::numeric_limits<double>::quiet_NaN();
}

// The plain mean depth of up to kNeighbours valid cans on each side of can i.
double neighboursMean(const std::vector<CanDepth>& cans, std::size_t i) {
    double sum = 0;
    int n = 0;
    const std::size_t lo = i >= lim::kNeighbours ? i - lim::kNeighbours : 0;
    const std::size_t hi = std::min(cans.size() - 1, i + lim::kNeighbours);
    for (std::size_t k = lo; k <= hi; ++k) {
        if (k != i) {
            sum += cans[k].depth;
            ++n;
        }
    }
    return n > 0 ? sum / n : std::numeric_limits<double>::quiet_NaN();
}

// A number of the sentences in the user's notation and units.
struct Notation {
    char sep = '.';
    UnitSystem units = UnitSystem::SI;
};

std::string metres(double v, const Notation& n) {
    return formatDecimals(toShown(Quantity::Length, n.units, v), 1, n.sep) + " " +
           unitOf(Quantity::Length, n.units).symbol;
}
std::string percent(double v, char sep) {
    return formatDecimals(v, 1, sep) + " %";
}

// Consecutive cans flagged `mark` as zones; the chart's outlets over each zone widened on
// each side by half the distance to the next can.
std::vector<CanZone> zonesOf(const std::vector<CanDepth>& cans, const std::vector<int>& flags,
                             int mark, const std::vector<ChartOutlet>& outlets,
                             const char* reading) {
    std::vector<CanZone> zones;
    for (std::size_t i = 0; i < cans.size();) {
        if (flags[i] != mark) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j + 1 < cans.size() && flags[j + 1] == mark) {
            ++j;
        }
        CanZone z;
        z.from = cans[i].distance;
        z.to = cans[j].distance;
        z.cans.assign(cans.begin() + static_cast<std::ptrdiff_t>(i),
                      cans.begin() + static_cast<std::ptrdiff_t>(j) + 1);
        z.reading = reading;
        const double lo = i > 0 ? z.from - (z.from - cans[i - 1].distance) / 2 : z.from;
        const double hi = j + 1 < cans.size() ? z.to + (cans[j + 1].distance - z.to) / 2 : z.to;
        for (const ChartOutlet& o : outlets) {
            if (o.distance >= lo && o.distance <= hi) {
                z.suspects.push_back(o);
            }
        }
        zones.push_back(std::move(z));
        i = j + 1;
    }
    return zones;
}

// The depth of the profile at x by straight lines between its points; none outside it.
std::optional<double> profileAt(const std::vector<XYPoint>& profile, double x) {
    if (profile.empty() || x < profile.front().x || x > profile.back().x) {
        return std::nullopt;
    }
    const auto it = std::lower_bound(profile.begin(), profile.end(), x,
                                     [](const XYPoint& p, double v) { return p.x < v; });
    if (it == profile.begin() || it->x == x) {
        return it->y;
    }
    const XYPoint& b = *it;
    const XYPoint& a = *(it - 1);
    return a.y + (x - a.x) * (b.y - a.y) / (b.x - a.x);
}

std::string zoneSentence(const CanZone& z, bool low, const Notation& notation) {
    std::string s = std::string(low ? "Low" : "High") + " catch from " + metres(z.from, notation) +
                    " to " + metres(z.to, notation) + " (" + std::to_string(z.cans.size()) +
                    (z.cans.size() == 1 ? " can" : " cans") + "): " + z.reading;
    if (!z.suspects.empty()) {
        s += "; outlets under it:";
        for (std::size_t k = 0; k < z.suspects.size(); ++k) {
            const ChartOutlet& o = z.suspects[k];
            s += (k == 0 ? " " : ", ") +
                 (o.tramo == -1
                      ? std::string("end gun")
                      : "span " + std::to_string(o.tramo) + " outlet " + std::to_string(o.saida)) +
                 " at " + metres(o.distance, notation) +
                 (o.nozzle.empty() ? std::string(" (no sprinkler)") : " (" + o.nozzle + ")");
        }
    }
    return s;
}

}  // namespace

Uniformity uniformityOf(const std::vector<CanDepth>& cans) {
    Uniformity u;
    if (cans.empty()) {
        u.problems.push_back("no valid can");
        return u;
    }
    auto& st = quarvex::statics();
    quarvex::Array<quarvex::WaterDepthSample> samples;
    for (const CanDepth& c : cans) {
        samples.Push(st.WaterDepths().newWaterDepthSample(c.depth, c.distance));
    }
    WaterDepthSerie serie;
    serie.init(samples, "cans");
    try {
        u.UD = kPercent * serie.UniformityOfDestribuition();
    } catch (const quarvex::Error& e) {
        u.problems.push_back(std::string("UD cannot be computed: ") + e.what());
    }
    try {
        u.CU = kPercent * serie.CoeficientOfUniformity();
    } catch (const quarvex::Error& e) {
        u.problems.push_back(std::string("CU cannot be computed: ") + e.what());
    }
    return u;
}

Diagnosis diagnose(const DiagnosisInput& in) {
    const char sep = in.decimalSeparator;
    const Notation notation{sep, in.units};
    Diagnosis d;
    std::vector<CanDepth> cans;
    for (const CanDepth& c : in.cans) {
        if (std::isfinite(c.distance) && std::isfinite(c.depth) && c.distance > 0 && c.depth >= 0) {
            cans.push_back(c);
        }
    }
    std::stable_sort(cans.begin(), cans.end(),
                     [](const CanDepth& a, const CanDepth& b) { return a.distance < b.distance; });
    d.measured = uniformityOf(cans);
    if (in.windSpeed && *in.windSpeed > lim::kWindNotRepresentative) {
        d.wind = "Wind of " + formatDecimals(*in.windSpeed, 1, sep) +
                 " m/s: the test is not representative (above 5 m/s)";
    } else if (in.windSpeed && *in.windSpeed > lim::kWindCaution) {
        d.wind = "Wind of " + formatDecimals(*in.windSpeed, 1, sep) +
                 " m/s: read the results with caution (above 1 m/s)";
    }
    if (!d.wind.empty()) {
        d.findings.push_back(d.wind);
    }
    if (cans.size() < 3) {
        d.findings.push_back("Fewer than three valid cans: nothing more can be said");
        return d;
    }
    const std::size_t n = cans.size();
    double total = 0;
    for (const CanDepth& c : cans) {
        total += c.distance;
    }
    d.averageDepth = weightedAverage(cans, 0, n);

    // Scheduling coefficient: for each can, the run outwards that first reaches 5 % of the
    // total weight; the run with the lowest weighted average.
    double lowest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < n; ++i) {
        double w = 0;
        std::size_t j = i;
        while (j < n && w < lim::kScheduleShare * total) {
            w += cans[j].distance;
            ++j;
        }
        if (w < lim::kScheduleShare * total) {
            break;  // later runs reach even less
        }
        const double avg = weightedAverage(cans, i, j);
        if (avg < lowest) {
            lowest = avg;
            d.scRun = {cans[i].distance, cans[j - 1].distance};
        }
    }
    if (lowest > 0 && std::isfinite(lowest)) {
        d.SC = d.averageDepth / lowest;
        d.findings.push_back("Scheduling coefficient " + formatDecimals(*d.SC, 2, sep) +
                             " (the driest 5 % lies from " + metres(d.scRun.first, notation) +
                             " to " + metres(d.scRun.second, notation) + ")");
    } else if (std::isfinite(lowest)) {
        d.findings.push_back("Scheduling coefficient: the driest 5 % of the field (from " +
                             metres(d.scRun.first, notation) + " to " +
                             metres(d.scRun.second, notation) + ") caught no water");
    }

    // Low and high cans against their neighbours, and their zones.
    std::vector<int> flags(n, 0);
    std::vector<double> means(n);
    for (std::size_t i = 0; i < n; ++i) {
        means[i] = neighboursMean(cans, i);
        if (cans[i].depth < lim::kLowCan * means[i]) {
            flags[i] = -1;
        } else if (cans[i].depth > lim::kHighCan * means[i]) {
            flags[i] = 1;
        }
    }
    d.lowZones = zonesOf(cans, flags, -1, in.outlets, kLowZoneReading);
    d.highZones = zonesOf(cans, flags, 1, in.outlets, kHighZoneReading);
    for (const CanZone& z : d.lowZones) {
        d.findings.push_back(zoneSentence(z, true, notation));
    }
    for (const CanZone& z : d.highZones) {
        d.findings.push_back(zoneSentence(z, false, notation));
    }

    // The trend of depth ÷ average depth from 10 % to 90 % of the pipe length.
    const double L = in.pipeLength.value_or(cans.back().distance);
    {
        const double x0 = lim::kTrendFrom * L, x1 = lim::kTrendTo * L;
        double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        int count = 0;
        for (const CanDepth& c : cans) {
            if (c.distance < x0 || c.distance > x1 || !(d.averageDepth > 0)) {
                continue;
            }
            const double w = c.distance, x = c.distance, y = c.depth / d.averageDepth;
            sw += w;
            sx += w * x;
            sy += w * y;
            sxx += w * x * x;
            sxy += w * x * y;
            ++count;
        }
        const double det = sw * sxx - sx * sx;
        if (count >= 2 && det > 0) {
            const double b = (sw * sxy - sx * sy) / det;
            const double a = (sy - b * sx) / sw;
            const double inner = a + b * x0;
            const double outer = a + b * x1;
            if (inner > 0) {
                d.trendChangePercent = kPercent * (outer - inner) / inner;
                if (*d.trendChangePercent < -lim::kTrendChangePercent) {
                    d.trendVerdict = kSupplyBelowDesign;
                } else if (*d.trendChangePercent > lim::kTrendChangePercent) {
                    d.trendVerdict = kSupplyAboveDesign;
                }
                if (!d.trendVerdict.empty()) {
                    d.findings.push_back("The depth changes by " +
                                         percent(*d.trendChangePercent, sep) + " from " +
                                         metres(x0, notation) + " to " + metres(x1, notation) +
                                         ": " + d.trendVerdict);
                }
            }
        }
    }

    // The end gun: the cans beyond the pipe's end against the rest.
    std::size_t beyond = n;
    if (in.pipeLength) {
        beyond = static_cast<std::size_t>(
            std::upper_bound(cans.begin(), cans.end(), *in.pipeLength,
                             [](double v, const CanDepth& c) { return v < c.distance; }) -
            cans.begin());
        if (beyond < n && beyond > 0) {
            const double gun = weightedAverage(cans, beyond, n);
            const double rest = weightedAverage(cans, 0, beyond);
            if (rest > 0) {
                d.endGunRatio = gun / rest;
                if (*d.endGunRatio < lim::kEndGunLow) {
                    d.endGunVerdict = kEndGunUnder;
                } else if (*d.endGunRatio > lim::kEndGunHigh) {
                    d.endGunVerdict = kEndGunOver;
                }
                if (!d.endGunVerdict.empty()) {
                    d.findings.push_back("Beyond the pipe's end the cans catch " +
                                         percent(kPercent * *d.endGunRatio, sep) +
                                         " of the rest: " + d.endGunVerdict);
                }
            }
        }
    }

    // The supply measured at the pivot against the chart.
    const auto compare = [&](const std::optional<double>& m, const std::optional<double>& c,
                             const char* what, Quantity q) {
        if (m && c && *c > 0 && std::abs(*m - *c) > lim::kSupplyDifference * *c) {
            d.supplyFindings.push_back(std::string(what) + " measured at the pivot " +
                                       shownWithUnit(q, in.units, *m, sep) +
                                       " against the chart's " +
                                       shownWithUnit(q, in.units, *c, sep));
        }
    };
    compare(in.measuredPressure, in.chartPressure, "Pressure", Quantity::Pressure);
    compare(in.measuredDischarge, in.chartDischarge, "Discharge", Quantity::Discharge);
    d.findings.insert(d.findings.end(), d.supplyFindings.begin(), d.supplyFindings.end());

    // The chart's profile at every can.
    for (const CanDepth& c : cans) {
        if (const auto y = profileAt(in.designedProfile, c.distance)) {
            DesignedCan dc{c.distance, c.depth, *y, std::nullopt};
            if (*y > 0) {
                dc.ratio = c.depth / *y;
            }
            d.designed.push_back(dc);
        }
    }

    // After repair: the low and high cans at their neighbours' mean.
    std::vector<CanDepth> repaired = cans;
    for (std::size_t i = 0; i < n; ++i) {
        if (flags[i] != 0) {
            repaired[i].depth = means[i];
        }
    }
    d.afterRepair = uniformityOf(repaired);
    if (!d.lowZones.empty() || !d.highZones.empty()) {
        const auto both = [sep](const Uniformity& u) {
            return "UD " + (u.UD ? percent(*u.UD, sep) : std::string("N/A")) + ", CU " +
                   (u.CU ? percent(*u.CU, sep) : std::string("N/A"));
        };
        d.findings.push_back("After repair: " + both(d.afterRepair) + " (now " + both(d.measured) +
                             ")");
    }
    if (in.pipeLength && beyond < n) {
        d.withoutEndGun = uniformityOf(std::vector<CanDepth>(
            cans.begin(), cans.begin() + static_cast<std::ptrdiff_t>(beyond)));
    }
    std::vector<CanDepth> smooth = cans;
    for (std::size_t i = 0; i < n; ++i) {
        double s = cans[i].depth;
        int k = 1;
        if (i > 0) {
            s += cans[i - 1].depth;
            ++k;
        }
        if (i + 1 < n) {
            s += cans[i + 1].depth;
            ++k;
        }
        smooth[i].depth = s / k;
    }
    d.smoothed = uniformityOf(smooth);
    return d;
}

}  // namespace kambrix
