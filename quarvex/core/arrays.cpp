// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {

Arrays::Arrays() : rng_(std::random_device{}()) {}

double Arrays::random01() {
    const std::lock_guard<std::mutex> guard(rngLock_);
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
}

void Arrays::seed(std::uint32_t s) {
    const std::lock_guard<std::mutex> guard(rngLock_);
    rng_.seed(s);
}

std::uint32_t Arrays::nextSeed() {
    const std::lock_guard<std::mutex> guard(rngLock_);
    return static_cast<std::uint32_t>(rng_());
}

}  // namespace quarvex
