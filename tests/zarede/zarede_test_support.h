// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>
#include <zarede/zarede.h>

#include <functional>
#include <string>
#include <utility>

namespace zarede::test {

// Runs `action` and returns the number of the zarede::Error it throws, or 0 when it throws none.
template <typename Action>
int32_t errorNumberOf(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const Error& error) {
        return error.number();
    }
    return 0;
}

inline int32_t number(ErrorNumber n) {
    return static_cast<int32_t>(n);
}

// A curve given by a lambda; counts its evaluations.
class LambdaFunction : public IFunction {
  public:
    explicit LambdaFunction(std::function<double(double)> f, std::string name = {}, double minX = 0,
                            double maxX = 0)
        : f_(std::move(f)), name_(std::move(name)), minX_(minX), maxX_(maxX) {}

    std::string name() const override { return name_; }
    double getMinX() const override { return minX_; }
    double getMaxX() const override { return maxX_; }
    double calculate(double x) const override {
        ++calls;
        return f_(x);
    }

    mutable int calls = 0;

  private:
    std::function<double(double)> f_;
    std::string name_;
    double minX_;
    double maxX_;
};

}  // namespace zarede::test
