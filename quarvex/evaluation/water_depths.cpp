// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>

namespace quarvex {

WaterDepthSample WaterDepths::newWaterDepthSample(double depth, double distanceFromCenter) const {
    WaterDepthSample s;
    s.depth = depth;
    s.distanceFromCenter = distanceFromCenter;
    s.p_null = false;
    return s;
}

WaterDepthSample WaterDepths::NullWaterDepth() const {
    WaterDepthSample s;
    s.p_null = true;
    return s;
}

bool WaterDepths::Valid(const WaterDepthSample& self) const {
    return self.depth >= 0.0 && self.distanceFromCenter > 0.0 && !self.p_null;
}

double WaterDepths::PonderatedDepths(const WaterDepthSample& self) const {
    return self.depth * self.distanceFromCenter;
}

double WaterDepths::PonderatedDeviation(const WaterDepthSample& self, double averageDepth) const {
    return std::fabs(self.depth - averageDepth) * self.distanceFromCenter;
}

Array<WaterDepthSample> WaterDepths::Sort(const Array<WaterDepthSample>& list,
                                          compareWhat by) const {
    WaterDepthsComparator cmp;
    cmp.init(by);
    return statics().Arrays().Sort(list, cmp);
}

Array<WaterDepthSample> WaterDepths::LowQuarter(const Array<WaterDepthSample>& list) const {
    // One copy, sorted where it lies and cut to the low quarter: a long list is not copied
    // twice.
    Array<WaterDepthSample> sorted = list;
    WaterDepthsComparator byDepth;
    byDepth.init(compareWhat::depth);
    statics().Arrays().SortInPlace(sorted, byDepth);
    double total = 0.0;
    for (const auto& s : sorted) {
        total += s.distanceFromCenter;
    }
    const double quarter = 0.25 * total;
    double taken = 0.0;
    int k = 0;
    for (const auto& s : sorted) {
        if (taken + s.distanceFromCenter > quarter) {
            break;
        }
        taken += s.distanceFromCenter;
        ++k;
    }
    if (k == 0) {
        Exceptions::Throw(errc::NotEnoughSamplesToComputeLowQuarter);
    }
    sorted.Resize(k);
    return sorted;
}

double WaterDepths::Average(const Array<WaterDepthSample>& list) const {
    std::int32_t all = 2147483647;
    return Average(list, all);
}

double WaterDepths::Average(const Array<WaterDepthSample>& list, std::int32_t& limit) const {
    if (list.Length() < limit) {
        limit = list.Length();
    }
    double weight = 0.0;
    double sum = 0.0;
    for (int i = 1; i <= limit; ++i) {
        weight += list(i).distanceFromCenter;
        sum += PonderatedDepths(list(i));
    }
    if (weight == 0.0) {
        Exceptions::Throw(errc::DivisionByZero, "average depth of samples without weight");
    }
    return checkedFinite(sum / weight, "average depth");
}

bool WaterDepthsComparator::GT(const WaterDepthSample& a, const WaterDepthSample& b) const {
    if (by_ == compareWhat::distance) {
        return a.distanceFromCenter > b.distanceFromCenter;
    }
    return a.depth > b.depth || (a.depth == b.depth && a.distanceFromCenter > b.distanceFromCenter);
}

bool WaterDepthsComparator::LT(const WaterDepthSample& a, const WaterDepthSample& b) const {
    if (by_ == compareWhat::distance) {
        return a.distanceFromCenter < b.distanceFromCenter;
    }
    return a.depth < b.depth || (a.depth == b.depth && a.distanceFromCenter < b.distanceFromCenter);
}

bool WaterDepthsComparator::EQ(const WaterDepthSample& a, const WaterDepthSample& b) const {
    if (by_ == compareWhat::distance) {
        return a.distanceFromCenter == b.distanceFromCenter;
    }
    return a.depth == b.depth && a.distanceFromCenter == b.distanceFromCenter;
}

bool WaterDepthsComparator::GTE(const WaterDepthSample& a, const WaterDepthSample& b) const {
    return GT(a, b) || EQ(a, b);
}

bool WaterDepthsComparator::LTE(const WaterDepthSample& a, const WaterDepthSample& b) const {
    return LT(a, b) || EQ(a, b);
}

}  // namespace quarvex
