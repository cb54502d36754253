// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

namespace zarede {

SerieArray::SerieArray(int32_t rows, int32_t cols) {
    if (rows < 0 || cols < 0) {
        detail::raise(ErrorNumber::SubscriptOutOfRange, "negative array size");
    }
    rows_ = rows;
    cols_ = cols;
    values_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), 0.0);
}

std::size_t SerieArray::offset(int32_t row, int32_t col) const {
    if (row < 1 || row > rows_ || col < 1 || col > cols_) {
        detail::raise(
            ErrorNumber::SubscriptOutOfRange,
            detail::join({"(", std::to_string(row), ", ", std::to_string(col), ") outside (1..",
                          std::to_string(rows_), ", 1..", std::to_string(cols_), ")"}));
    }
    return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(cols_) +
           static_cast<std::size_t>(col - 1);
}

double& SerieArray::operator()(int32_t row, int32_t col) {
    return values_[offset(row, col)];
}

double SerieArray::operator()(int32_t row, int32_t col) const {
    return values_[offset(row, col)];
}

double CrossingPoints::operator()(int32_t i) const {
    if (i < 1 || i > 2) {
        detail::raise(ErrorNumber::SubscriptOutOfRange,
                      detail::join({"crossing point ", std::to_string(i), " outside 1..2"}));
    }
    return points_[i - 1];
}

}  // namespace zarede
