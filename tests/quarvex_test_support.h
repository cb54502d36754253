// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <quarvex/quarvex.h>

#include <cstdint>

// The number of the error f raises, or 0 when it raises none.
template <class F>
std::int32_t errorOf(F&& f) {
    try {
        f();
    } catch (const quarvex::Error& e) {
        return e.number();
    }
    return 0;
}
