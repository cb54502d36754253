// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/runoff_tab_presenter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "evaluation/runoff.h"
#include "shell/number_text.h"

namespace kambrix {
namespace {

// The Kostiakov curve starts here (k·t^a has no value at t = 0), h.
constexpr double kInfiltrationStart_h = 0.01;

// The ellipse sampled at kCurvePoints evenly spaced times over its whole span, with the
// smaller of it and the infiltration rate beneath (the ellipse alone where the infiltration
// curve has not started).
RunoffTabView::Shade shadeOf(int point, const zarede::ZaredeFunction& ellipse,
                             const zarede::IFunction& infiltration) {
    RunoffTabView::Shade s;
    s.point = point;
    const double end = ellipse.getMaxX();
    for (int i = 0; i < kCurvePoints; ++i) {
        const double t = std::min(end, end * i / (kCurvePoints - 1));
        const double e = ellipse.calculate(t);
        const double f = t >= kInfiltrationStart_h ? infiltration.calculate(t)
                                                   : std::numeric_limits<double>::infinity();
        s.lower.push_back({t, std::min(e, f)});
        s.upper.push_back({t, e});
    }
    return s;
}

}  // namespace

quarvex::PluviometryCheck runoffCheckFrom(const RunoffBoxes& b) {
    auto& st = quarvex::statics();
    quarvex::PluviometryCheck check;
    check.firstSample =
        st.newPivotSample(b.distance1.value_or(0), b.wetDiameter1.value_or(0), kFirstEllipse);
    check.secondSample =
        st.newPivotSample(b.distance2.value_or(0), b.wetDiameter2.value_or(0), kSecondEllipse);
    check.kostiakov = st.newKostiakovParameters(b.k.value_or(0), b.a.value_or(0));
    return check;
}

std::string runoffVerdict(double excess_mm, double storage_mm, char sep) {
    const auto mm = [&](double x) { return formatDecimals(x, 2, sep) + " mm"; };
    if (excess_mm <= storage_mm) {
        return "Held on the surface: excess " + mm(excess_mm) + ", storage " + mm(storage_mm);
    }
    return "Runoff of " + mm(excess_mm - storage_mm) + " (excess " + mm(excess_mm) + ", storage " +
           mm(storage_mm) + ")";
}

RunoffTabView runoffTabView(const quarvex::PivotWrapper& wrapper,
                            const quarvex::PluviometryCheck& check, double revolutionHours,
                            std::optional<double> storage_mm, char sep) {
    RunoffTabView v;
    const quarvex::PivotSample* samples[2] = {&check.firstSample, &check.secondSample};
    for (int i = 0; i < 2; ++i) {
        v.points[i].hasData = samples[i]->distanceToCenter > 0 && samples[i]->wetDiameter > 0;
    }
    RunoffResult r = computeRunoff(wrapper, check, revolutionHours);
    if (r.failure) {
        v.failure = r.failure;
        return v;
    }
    v.problems = r.problems;

    zarede::SerieSource source;
    const char* keys[3] = {kFirstEllipse, kSecondEllipse, kInfiltration};
    for (const char* key : keys) {
        if (const auto* curve = r.curves.Find(key)) {
            source.addFunction(*curve, kCurvePoints);
        }
    }
    try {
        const zarede::SerieArray grid = source.getSerieArray();
        for (int l = 1; l <= source.seriesCount(); ++l) {
            const auto& serie = *source.series()[static_cast<std::size_t>(l - 1)];
            PlotLine line{serie.name(), {}};
            for (int m = 1; m <= serie.numberOfPoints(); ++m) {
                line.points.push_back({grid(m, 2 * l - 1), grid(m, 2 * l)});
            }
            v.curves.push_back(std::move(line));
        }
    } catch (const zarede::Error& e) {
        v.curves.clear();
        v.problems.push_back(std::string("The curves cannot be drawn: ") + e.what());
    }

    const std::optional<double>* areas[2] = {&r.area1, &r.area2};
    const auto* infiltration = r.curves.Find(kInfiltration);
    for (int i = 0; i < 2; ++i) {
        RunoffPointView& p = v.points[i];
        p.excess_mm = *areas[i];
        if (!p.excess_mm) {
            continue;
        }
        p.excess = formatDecimals(*p.excess_mm, 2, sep);
        if (storage_mm) {
            p.verdict = runoffVerdict(*p.excess_mm, *storage_mm, sep);
            p.runsOff = *p.excess_mm > *storage_mm;
        }
        const auto* ellipse = r.curves.Find(keys[i]);
        const auto* shape =
            ellipse ? dynamic_cast<const zarede::ZaredeFunction*>(ellipse->get()) : nullptr;
        if (shape && infiltration && *p.excess_mm > 0) {
            try {
                v.shaded.push_back(shadeOf(i + 1, *shape, **infiltration));
            } catch (const zarede::Error&) {
                // The area stays without its shading; its depth is shown all the same.
            }
        }
    }
    return v;
}

}  // namespace kambrix
