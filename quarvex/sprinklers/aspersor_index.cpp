// SPDX-License-Identifier: GPL-3.0-or-later
//
// The best-match rule over an index. For one pressure p and one exponent b every nozzle's
// discharge is a·pb with the same pb = p^b, so within a group of equal exponents sorted by
// coefficient the discharges are non-decreasing. The nozzles within tolerance are then one
// contiguous range, and the deviation |1 − q/required| falls up to the first discharge at or
// above the required one and rises after it: the smallest deviation sits on one of the two
// entries around that point, and all entries sharing it are adjacent to them. Every
// discharge and deviation is computed with the very expressions the plain rule uses, so the
// comparisons, ties included, come out the same.
#include <quarvex/quarvex.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarvex {

AspersorIndex::AspersorIndex(const AspersorList& all) {
    all.ForEach([&](const std::shared_ptr<Aspersor>& a) { all_.push_back(a); });
    for (int i = 0; i < static_cast<int>(all_.size()); ++i) {
        const auto& asp = all_[static_cast<std::size_t>(i)];
        auto g = std::find_if(groups_.begin(), groups_.end(),
                              [&](const Group& x) { return x.b == asp->bValue(); });
        if (g == groups_.end()) {
            groups_.push_back({asp->bValue(), {}});
            g = groups_.end() - 1;
        }
        g->byA.push_back({asp->aValue(), i, asp});
    }
    for (auto& g : groups_) {
        std::stable_sort(g.byA.begin(), g.byA.end(),
                         [](const Entry& x, const Entry& y) { return x.a < y.a; });
    }
}

std::shared_ptr<Aspersor> AspersorIndex::plainScan(double pressao, double caudal, double v) const {
    std::shared_ptr<Aspersor> best;
    double limit = v;
    for (const auto& a : all_) {
        if (a->flowWithin(pressao, caudal, v)) {
            const double d = a->variacaoCaudal(pressao, caudal);
            if (d <= limit) {
                best = a;
                limit = d;
            }
        }
    }
    return best;
}

std::shared_ptr<Aspersor> AspersorIndex::bestMatch(double pressao, double caudal,
                                                   double variacaoMaxima) const {
    const double v = variacaoMaxima;
    // Outside positive finite pressures and discharges the monotony does not hold (or the
    // plain rule raises): answer with the plain rule itself.
    if (!(pressao > 0) || !(caudal > 0) || !std::isfinite(pressao) || !std::isfinite(caudal) ||
        std::isnan(v)) {
        return plainScan(pressao, caudal, v);
    }
    const double lo = (1.0 - v) * caudal;
    const double hi = (1.0 + v) * caudal;
    double bestD = std::numeric_limits<double>::infinity();
    int bestOrder = -1;
    const Entry* bestEntry = nullptr;

    for (const auto& g : groups_) {
        const double pb = std::pow(pressao, g.b);
        if (!std::isfinite(pb) || !std::isfinite(g.byA.back().a * pb)) {
            return plainScan(pressao, caudal, v);
        }
        const auto& e = g.byA;
        auto c = [&](std::size_t i) { return e[i].a * pb; };
        auto d = [&](std::size_t i) { return std::fabs(1.0 - c(i) / caudal); };
        auto first = [&](std::size_t from, std::size_t to, auto pred) {
            // First index in [from, to) for which pred is false.
            while (from < to) {
                const std::size_t mid = from + (to - from) / 2;
                if (pred(mid)) {
                    from = mid + 1;
                } else {
                    to = mid;
                }
            }
            return from;
        };
        const std::size_t L = first(0, e.size(), [&](std::size_t i) { return c(i) < lo; });
        const std::size_t U = first(L, e.size(), [&](std::size_t i) { return c(i) <= hi; });
        if (L >= U) {
            continue;
        }
        const std::size_t k = first(L, U, [&](std::size_t i) { return c(i) < caudal; });
        double m = std::numeric_limits<double>::infinity();
        if (k > L) {
            m = std::min(m, d(k - 1));
        }
        if (k < U) {
            m = std::min(m, d(k));
        }
        if (!(m <= v) || m > bestD) {
            continue;
        }
        if (m < bestD) {
            bestD = m;
            bestOrder = -1;
        }
        for (std::size_t i = k; i > L && d(i - 1) == m; --i) {
            if (e[i - 1].order > bestOrder) {
                bestOrder = e[i - 1].order;
                bestEntry = &e[i - 1];
            }
        }
        for (std::size_t i = k; i < U && d(i) == m; ++i) {
            if (e[i].order > bestOrder) {
                bestOrder = e[i].order;
                bestEntry = &e[i];
            }
        }
    }
    return bestOrder >= 0 ? bestEntry->aspersor : nullptr;
}

}  // namespace quarvex
