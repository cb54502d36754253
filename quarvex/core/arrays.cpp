// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {

Arrays::Arrays() : rng_(std::random_device{}()) {}

double Arrays::random01() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
}

}  // namespace quarvex
