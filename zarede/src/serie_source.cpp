// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <limits>

#include "errors.h"

namespace zarede {

namespace {

int16_t toInteger(std::size_t value) {
    if (value > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
        detail::raise(ErrorNumber::Overflow, "series count does not fit in 16 bits");
    }
    return static_cast<int16_t>(value);
}

}  // namespace

void SerieSource::addFunction(std::shared_ptr<IFunction> aFunction, int32_t numberOfPoints) {
    auto builder = std::make_shared<SerieBuilder>();
    builder->init(std::move(aFunction), numberOfPoints);
    addSerie(std::move(builder));
}

void SerieSource::addSerie(std::shared_ptr<Serie> aSerie) {
    if (!aSerie) {
        detail::raise(ErrorNumber::InvalidArgument, "missing series");
    }
    series_.push_back(std::move(aSerie));
}

void SerieSource::init(const std::vector<std::shared_ptr<IFunction>>& funcs,
                       int32_t numberOfPoints) {
    for (const auto& function : funcs) {
        addFunction(function, numberOfPoints);
    }
}

SerieArray SerieSource::getSerieArray() {
    int32_t rows = 0;
    for (const auto& serie : series_) {
        rows = std::max(rows, serie->numberOfPoints());
    }
    if (series_.empty() || rows == 0) {
        return SerieArray{};
    }
    const int32_t count = toInteger(series_.size());
    // 2S columns must stay addressable by a 16-bit column number.
    toInteger(2 * series_.size());
    SerieArray array(rows, 2 * count);

    for (const auto& serie : series_) {
        serie->prepare();
    }
    for (int32_t m = 1; m <= rows; ++m) {
        for (int32_t l = 1; l <= count; ++l) {
            const Serie& serie = *series_[static_cast<std::size_t>(l - 1)];
            if (serie.numberOfPoints() < m && m > 1) {
                array(m, 2 * l - 1) = array(m - 1, 2 * l - 1);
                array(m, 2 * l) = array(m - 1, 2 * l);
            } else {
                // m <= numberOfPoints <= 32767 here, or m = 1.
                const auto point = static_cast<int16_t>(m);
                array(m, 2 * l - 1) = serie.getValueForX(point);
                array(m, 2 * l) = serie.getValueForY(point);
            }
        }
    }
    return array;
}

int16_t SerieSource::seriesCount() const {
    return toInteger(series_.size());
}

int16_t SerieSource::orderOf(const std::string& Serie_name) const {
    for (std::size_t k = 1; k <= series_.size(); ++k) {
        if (series_[k - 1]->name() == Serie_name) {
            return toInteger(2 * k - 1);
        }
    }
    return 0;
}

double SerieSource::getMaxY(const std::optional<std::string>& exclude) const {
    double result = 0;
    for (const auto& serie : series_) {
        if (exclude && serie->name() == *exclude) {
            continue;
        }
        result = std::max(result, serie->getMaxY());
    }
    return result;
}

double SerieSource::getMaxX() const {
    double result = 0;
    for (const auto& serie : series_) {
        result = std::max(result, serie->getMaxX());
    }
    return result;
}

double SerieSource::getMinY() const {
    double result = 0;
    for (const auto& serie : series_) {
        result = std::min(result, serie->getMinY());
    }
    return result;
}

double SerieSource::getMinX() const {
    double result = 0;
    for (const auto& serie : series_) {
        result = std::min(result, serie->getMinX());
    }
    return result;
}

}  // namespace zarede
